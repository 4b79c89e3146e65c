// Edit > Copy puts the items alone on the clipboard, clipped to the window; Undo and Redo put
// the tool's screen state aside around the journal step; the three timers tick on the manual
// clock and stop while the program is not active.
#include <QClipboard>
#include <QGuiApplication>
#include <set>

#include "editor_fixture.h"
#include "document/wholedrawing.h"
#include "items/textitem.h"
#include "recording_view.h"

namespace zeph::testing {
namespace {

class EditorClipboardTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ResetTextEditState();
    m_view.document = &m_doc;
    m_window->SetOwnerView(&m_view);
    m_window->AttachDrawing();
    SetZoom(8, 20, kHeight - 20);
    m_sentinel = QImage(3, 3, QImage::Format_RGB32);
    m_sentinel.fill(Qt::green);
    QGuiApplication::clipboard()->setImage(m_sentinel);
  }
  void TearDown() override {
    ResetTextEditState();
    EditorTest::TearDown();
  }

  // The colours of the picture other than the background.
  static std::set<QRgb> ColoursOf(const QImage& image) {
    std::set<QRgb> colours;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRgb background = qRgb(qRed(Background()), qGreen(Background()), qBlue(Background()));
    for (int y = 0; y < rgb.height(); ++y) {
      for (int x = 0; x < rgb.width(); ++x) {
        const QRgb pixel = rgb.pixel(x, y) | 0xFF000000u;
        if (pixel != (background | 0xFF000000u)) colours.insert(pixel);
      }
    }
    return colours;
  }
  // Red as the back buffer holds it.
  static QRgb Red() { return qRgb(255, 0, 0) | 0xFF000000u; }
  bool ClipboardUntouched() const {
    return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32) ==
           m_sentinel;
  }
  // A device pixel as drawing units.
  int U(int pixels) const { return pixels * Scale(); }

  CRecordingView m_view;
  QImage m_sentinel;
};

TEST_F(EditorClipboardTest, CopyTakesTheItemsWithoutGridGripsMarksOrCrossHairs) {
  SetOptionShort(kOptionGridShow, 1);
  Add(MakeLine(U(10), U(10), U(60), U(40)));
  Repaint();
  ASSERT_EQ(m_window->IsGridShown(), 1);
  m_window->ToggleGrip(U(10), U(10));
  m_window->ToggleMark(U(60), U(40));
  m_window->SetSelectionShown(1);
  m_window->DrawCrossHairs(100, 50);
  Repaint();
  // The screen has more than the line: grid, grip and mark.
  EXPECT_GT(ColoursOf(m_window->BackBuffer()).size(), 1u);

  m_window->CopyToClipboard();

  const QImage picture = QGuiApplication::clipboard()->image();
  ASSERT_FALSE(picture.isNull());
  // The line's box in pixels, the drawing's own margin and 5 pixels on every side.
  const int margin = (kExtentsMargin + Scale() - 1) / Scale();
  EXPECT_GE(picture.width(), 50 + 10);
  EXPECT_LE(picture.width(), 50 + 10 + 2 * margin + 2);
  EXPECT_GE(picture.height(), 30 + 10);
  EXPECT_LE(picture.height(), 30 + 10 + 2 * margin + 2);
  EXPECT_EQ(ColoursOf(picture), std::set<QRgb>{Red()});
  // Everything is back on the screen afterwards.
  EXPECT_EQ(m_window->GetGripCount(), 1);
  EXPECT_EQ(m_window->GetMarkCount(), 1);
  EXPECT_EQ(m_window->GetSelectionShown(), 1);
  EXPECT_EQ(m_window->GetGridMode(), kGridByOptions);
  EXPECT_EQ(m_window->IsGridShown(), 1);
  EXPECT_GT(ColoursOf(m_window->BackBuffer()).size(), 1u);
}

TEST_F(EditorClipboardTest, CopyIsClippedToTheWindowAndSkipsWhatLiesWhollyOutside) {
  SetOptionShort(kOptionGridShow, 2);
  struct Case {
    const char* what;
    int x1, y1, x2, y2;  // device pixels from the drawing's origin, (20, kHeight - 20)
    bool copied;
    bool atLeft;  // the picture is the window's left part, else its right part
    bool atTop;   // the picture is the window's upper part, else its lower part
  };
  const Case cases[] = {
      {"beyond the right and top edges", 100, 20, 400, 300, true, false, true},
      {"beyond the left and bottom edges", -100, -50, 30, 0, true, true, false},
      {"wholly beyond the right edge", 300, 0, 400, 50, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    m_doc.ClearDrawing();
    QGuiApplication::clipboard()->setImage(m_sentinel);
    Add(MakeLine(U(c.x1), U(c.y1), U(c.x2), U(c.y2)));
    m_window->CopyToClipboard();
    if (!c.copied) {
      EXPECT_TRUE(ClipboardUntouched());
      continue;
    }
    const QImage picture =
        QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_LT(picture.width(), kWidth);
    ASSERT_LT(picture.height(), kHeight);
    const int x = c.atLeft ? 0 : kWidth - picture.width();
    const int y = c.atTop ? 0 : kHeight - picture.height();
    Repaint();
    EXPECT_EQ(picture, m_window->BackBuffer().copy(x, y, picture.width(), picture.height())
                           .convertToFormat(QImage::Format_RGB32));
  }
}

TEST_F(EditorClipboardTest, AnEmptyDrawingLeavesTheClipboardAlone) {
  m_window->CopyToClipboard();
  EXPECT_TRUE(ClipboardUntouched());
  // A drawing of hidden items only counts as empty.
  DrawItemPtr hidden = MakeLine(U(10), U(10), U(60), U(40));
  hidden->SetInvisible();
  Add(std::move(hidden));
  m_window->CopyToClipboard();
  EXPECT_TRUE(ClipboardUntouched());
}

TEST_F(EditorClipboardTest, UndoWhileATextIsEditedAbandonsTheTyping) {
  DrawItemPtr made = CreateItem(kItemText);
  made->SetPosition(U(20), U(40));
  made->SetColour(static_cast<int>(kRed));
  ASSERT_EQ(made->SetText(QStringLiteral("abc")), 1);
  CDrawItem* text = made.get();
  Add(std::move(made));
  Add(MakeLine(U(10), U(10), U(60), U(40)));
  ASSERT_EQ(m_doc.GetItemCount(), 2);

  g_currentTool = kToolModify;
  m_window->AddPicked(text);
  text->BeginEdit(-1);
  m_window->SetTextState(kTextEditing);
  m_window->StartTimer(kTimerCaret, 1);
  for (char c : {'x', 'y'}) m_window->OnChar(c, 1, 0);

  m_window->Undo(1);

  EXPECT_EQ(m_window->GetTextState(), kTextNone);
  EXPECT_EQ(m_window->GetTimerId(kTimerCaret), 0);
  EXPECT_EQ(m_window->GetPickCount(), 0);
  // The line's step was undone; the text holds what it held before the edit.
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(m_doc.GetItem(0)->GetText(), QStringLiteral("abc"));
  EXPECT_EQ(m_doc.CanRedo(), 1);
  m_window->Redo();
  EXPECT_EQ(m_doc.GetItemCount(), 2);
}

TEST_F(EditorClipboardTest, TimersTickOnTheClockAndOnlyTheFirstRestartsAfterReactivation) {
  DrawItemPtr typed = CreateItem(kItemText);
  typed->SetPosition(U(20), U(40));
  typed->BeginEdit(-1);
  m_window->SetConstructionItem(std::move(typed));
  m_window->SetTextState(kTextTyping);
  m_window->StartTimer(kTimerCaret, 1);
  m_window->StartTimer(kTimerFlashBreak, 1);
  EXPECT_TRUE(m_clock.IsSet(*m_window, kTimerCaret + 1));
  EXPECT_EQ(m_clock.IntervalOf(*m_window, kTimerCaret + 1), 400);
  EXPECT_EQ(m_clock.IntervalOf(*m_window, kTimerFlashBreak + 1), 200);

  m_window->SuspendFeedback();
  EXPECT_EQ(m_window->GetTimerToResume(), kTimerCaret);
  for (int i = 0; i < kEditorTimerCount; ++i) {
    EXPECT_FALSE(m_clock.IsSet(*m_window, i + 1)) << i;
    EXPECT_EQ(m_window->GetTimerId(i), 0) << i;
  }
  m_clock.Advance(2000);

  EXPECT_EQ(m_window->ResumeFeedback(), 2);  // a text is typed: the keyboard goes to it
  EXPECT_TRUE(m_clock.IsSet(*m_window, kTimerCaret + 1));
  EXPECT_FALSE(m_clock.IsSet(*m_window, kTimerFlashBreak + 1));
  EXPECT_EQ(m_window->GetTimerToResume(), -1);
  m_clock.Advance(1200);  // the caret blinks without a glitch

  m_window->StopAllTimers();
  m_window->EndText(0);
  g_currentTool = kToolDelete;
  EXPECT_EQ(m_window->ResumeFeedback(), 1);
  g_currentTool = kToolLine;
  EXPECT_EQ(m_window->ResumeFeedback(), 0);
}

TEST_F(EditorClipboardTest, TimerIndexesAndIdsOutsideTheEditorsAreGlitches) {
  struct Case {
    int code;
    void (*call)(CEditDrawing&);
  };
  const Case cases[] = {
      {2428, [](CEditDrawing& w) { w.StartTimer(3, 0); }},
      {2429, [](CEditDrawing& w) { w.StopTimer(-1); }},
      {2420, [](CEditDrawing& w) { w.OnTimer(7); }},
  };
  for (const Case& c : cases) {
    ResetLogState();
    c.call(*m_window);
    ExpectGlitch(c.code, 1);
  }
  for (int i = 0; i < kEditorTimerCount; ++i) EXPECT_FALSE(m_clock.IsSet(*m_window, i + 1));
}

TEST_F(EditorClipboardTest, CrossHairsComeBackWhereTheyWereAfterACopy) {
  Add(MakeLine(U(10), U(10), U(60), U(40)));
  Repaint();
  const QImage without = m_window->BackBuffer().copy();
  m_window->DrawCrossHairs(150, 30);
  const QImage with = m_window->BackBuffer().copy();
  ASSERT_NE(with, without);

  m_window->CopyToClipboard();

  EXPECT_EQ(ColoursOf(QGuiApplication::clipboard()->image()), std::set<QRgb>{Red()});
  EXPECT_EQ(m_window->AreCrossHairsShown(), 1);
  EXPECT_EQ(m_window->BackBuffer(), with);
  // Taken off again they leave the drawing as it was.
  m_window->HideCrossHairs();
  EXPECT_EQ(m_window->BackBuffer(), without);
}

TEST_F(EditorClipboardTest, ItemsChosenForDeletionFlashOnTheClockWhileFlashDeleteIsOn) {
  Add(MakeLine(U(10), U(10), U(60), U(10)));
  CDrawItem* line = m_doc.GetItem(0);
  const QPoint probe(20 + 30, kHeight - 20 - 10);
  g_currentTool = kToolDelete;
  m_window->SetSelectionShown(1);
  m_window->SetAllSelected(1);
  Repaint();
  struct Row {
    int flash;
    bool flashes;
  };
  for (const Row& row : {Row{1, true}, Row{0, false}}) {
    SCOPED_TRACE(row.flash);
    SetOptionFlag(kOptionFlashDelete, row.flash);
    m_view.calls.clear();
    ASSERT_EQ(m_window->ToggleChosen(line, 1, 0), 1);
    m_window->UpdateDeleteFlash(0);
    EXPECT_EQ(m_view.Calls(QStringLiteral("EnableOKButton")),
              QStringList{QStringLiteral("EnableOKButton 1")});
    EXPECT_EQ(m_clock.IsSet(*m_window, kTimerFlashChosen + 1), row.flashes);
    // Every 200 ms: shown for three ticks, gone for one.
    QString seen;
    for (int tick = 0; tick < 8; ++tick) {
      m_clock.Advance(200);
      seen += Pixel(probe.x(), probe.y()) == kRed ? u'#' : u'.';
    }
    EXPECT_EQ(seen, row.flashes ? QStringLiteral(".###.###") : QStringLiteral("########"));
    // Nothing chosen any more: OK goes grey, the flashing stops and the line is shown.
    m_view.calls.clear();
    ASSERT_EQ(m_window->ToggleChosen(line, 0, 0), 1);
    m_window->UpdateDeleteFlash(1);
    EXPECT_EQ(m_view.Calls(QStringLiteral("EnableOKButton")),
              QStringList{QStringLiteral("EnableOKButton 0")});
    EXPECT_FALSE(m_clock.IsSet(*m_window, kTimerFlashChosen + 1));
    EXPECT_EQ(m_window->GetTimerId(kTimerFlashChosen), 0);
  }
}

}  // namespace
}  // namespace zeph::testing
