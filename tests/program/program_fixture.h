#pragma once
// The program started as main() starts it (PrepareProgram, the application object, InitInstance)
// on the test's X server: its own presenter, dialog runner, string table, views, measurer and
// dialogs. The test is the person: it clicks the start screen's and the palette's buttons, works
// the drawing with the mouse, types on the widget that has the focus, and answers the windows
// the program opens with their own buttons and fields. Every window and prompt button seen must
// carry words.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPoint>
#include <QString>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/mainframe.h"
#include "app/zephapp.h"
#include "controls/viewcontrols.h"
#include "document/document.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "items/drawitem.h"
#include "program/person.h"

// Drawing points and texts in the tests' messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const DrawingPoint& p, std::ostream* os) {
  *os << "(" << p.x << ", " << p.y << ")";
}

namespace zeph::testing {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // ---- Starting ----
  // The program as main() starts it; the person gives their name when asked.
  void StartProgram();
  // The start screen's "Create a new drawing", then the editing view's first paint.
  void CreateDrawing();

  CZephApp& App() { return *m_app; }
  CMainFrame& Frame() { return *m_app->GetMainFrame(); }
  CEditingView& View() { return *qobject_cast<CEditingView*>(m_app->GetEditingView()); }
  CEditDrawing& Window() { return *View().GetDrawingWindow(); }
  CZephDoc& Doc() { return *m_app->GetActiveDocument(); }

  // ---- The palette ----
  // Clicks the tool's row, and for a sub-mode the entry of the list that opens beside it.
  void PickTool(int tool, int subMode = -1);
  // The view's point at the middle of a tool's row.
  QPoint ToolRow(int tool);

  // ---- The drawing (points of the drawing window) ----
  void Click(QPoint p);
  void Drag(QPoint from, QPoint to);
  // The drawing point under a pixel, and the pixel of a drawing point.
  DrawingPoint At(QPoint p);
  QPoint PixelOf(DrawingPoint p);
  // A prompt button by its command id, clicked; fails without one.
  void PressPromptButton(int id);

  // ---- The values bar ----
  // Clicks the box of a field shown on the values bar (line 0 or 1 of it); fails when the
  // field is not shown.
  void ClickField(int fieldId, int line = 0);
  // Types into the values bar's edit box, which has the focus, and presses Enter.
  void TypeValue(const QString& text);

  // ---- The drawing's items ----
  int Count() { return Doc().GetItemCount(); }
  CDrawItem* Item(int i) { return Doc().GetItem(i); }
  CDrawItem* Last() { return Item(Count() - 1); }
  static DrawingPoint StartOf(const CDrawItem* item);
  static DrawingPoint EndOf(const CDrawItem* item);
  // The line with these ends (either way round, within tolerance drawing units); null for none.
  CDrawItem* FindLine(DrawingPoint a, DrawingPoint b, int tolerance = 2);
  // The items of a kind, in list order.
  std::vector<CDrawItem*> ItemsOfKind(int type);

  // ---- Pictures ----
  // The main window (or a widget) as the screen shows it, saved under render/program/.
  static void SaveShot(QWidget& widget, const QString& name);
  // The drawing window's screen.
  QImage DrawingScreen();

  // ---- Golden files ----
  // The drawing, and each Undo of its whole history (Ctrl+Z, then every step done again with
  // Ctrl+Y), against the test's golden files under tests/data/golden/program; part names a
  // drawing of a test that makes several. The end of every test that leaves the editing view
  // showing checks its drawing so.
  void CheckGoldens(const QString& part = {});

  // Answers a message box by pressing the button, after checking its words.
  void ExpectMessage(const QString& what, const QString& button, const QString& wantedText = {});

  // Opens a list field of the values bar and chooses the entry with this text.
  void ChooseInList(int fieldId, const QString& text);

  // ---- A drawing with an item of every kind ----
  struct Placed {
    const char* kind;
    int type;
    QPoint click;  // a point of the drawing window where a click takes the item
    CDrawItem* item;
  };
  // Line, arc, circle, ellipse, elliptic arc, curve, text, solid and hatched fill and
  // dimension, drawn with the tools; the hatch is the chooser's sample hatchSample.
  std::vector<Placed> DrawEveryKind(int hatchSample = 0);
  // A closed rectangle drawn with Shape.
  void DrawRectangle(QPoint a, QPoint b);
  // A line with New line and Line.
  CDrawItem* DrawLine(QPoint from, QPoint to);

  // Answers for the common windows.
  // The hatch chooser: the sample of definition index clicked (scrolled to), then OK; answers
  // the pattern number of that sample.
  static int ChooseHatchSample(QWidget& window, int index);
  static void ChooseFile(QWidget& window, const QString& path);
  static void ChooseColour(QWidget& window, const QString& html);

  CPerson m_person;
  std::unique_ptr<CZephApp> m_app;
  bool m_glitchExpected = false;
};

// Within pixels of each other.
bool Near(DrawingPoint a, DrawingPoint b, int tolerance);

}  // namespace zeph::testing
