// The tool palette of the editing view: shortcut letters and digits, the snap switches, rows
// and arrows of a short window, press-leave-return with the mouse, the hover timers and the
// flyout list, Insert's symbol choice, and a picture of the palette with its list open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "controls/input.h"
#include "controls/timers.h"
#include "document/document.h"
#include "editor/buttoncolours.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "editor/flyouttools.h"
#include "editor/tooltable.h"
#include "editor/viewframe.h"
#include "items/drawitem.h"
#include "items/geometry.h"
#include "items/viewmapping.h"
#include "platform/presenter.h"
#include "platform/qt/imagecontext.h"
#include "support/fontspec.h"
#include "support/help.h"
#include "support/log.h"
#include "support/options.h"
#include "support/screen.h"

namespace zeph::testing {
namespace {

using Selection = std::pair<int, int>;

// An editing view over an editor that can take up every tool (the real editor refuses the
// tools whose handlers are still to come), recording what the palette asks for.
class CPaletteView final : public CEditingView {
 public:
  std::vector<Selection> selected;

  void SelectTool(int tool, int subMode) override {
    selected.emplace_back(tool, subMode);
    CEditingView::SelectTool(tool, subMode);
    const bool symbolReady = g_symbolDoc != nullptr && g_symbolDoc->GetItemCount() > 0;
    if (g_currentTool != tool && tool != kToolHunt && tool != kToolGrid &&
        (tool != kToolInsert || symbolReady)) {
      if (g_currentTool >= 0) DrawToolButton(g_currentTool, kLookNormal);
      g_currentTool = tool;
      g_currentSubMode = subMode;
      DrawToolButton(tool, kLookCurrent);
    }
  }
  std::vector<Selection> Take() { return std::exchange(selected, {}); }
};

// A main frame whose symbol choices put a line into the library or the symbol, or cancel.
class CSymbolFrame final : public IViewFrame {
 public:
  bool libraryChosen = false;
  bool symbolChosen = false;
  int libraryCalls = 0;
  int symbolCalls = 0;
  CZephDoc* library = nullptr;
  CZephDoc* symbol = nullptr;

  bool ChooseSymbolLibrary() override {
    ++libraryCalls;
    if (libraryChosen) AddLine(*library);
    return libraryChosen;
  }
  bool ChooseSymbol() override {
    ++symbolCalls;
    if (symbolChosen) AddLine(*symbol);
    return symbolChosen;
  }
  static void AddLine(CZephDoc& doc) {
    DrawItemPtr line = CreateItem(kItemLine);
    line->SetStart(0, 0);
    line->SetEnd(1000, 0);
    line->SetColour(0);
    line->SetLineStyle(kLineStyleUnbroken);
    ASSERT_EQ(doc.AddItem(line), 1);
  }
};

class PaletteTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 520;
  static constexpr int kHeight = 620;

  void SetUp() override {
    ResetLogState();
    ResetScreenState();
    ResetOptionsState();
    ResetViewGlobals();
    ResetGeometryGlobals();
    ResetSharedFonts();
    ResetEditingViewGlobals();
    ResetButtonColours();
    SetTimerService(&m_clock);
    SetPresenter(&m_presenter);
    QImage screen(8, 8, QImage::Format_RGB32);
    CImageContext dc(screen);
    SetUpDisplay(dc);
    ResetEditorState();
    MakeView(kHeight);
  }

  void TearDown() override {
    if (m_view) m_view->ReleaseMouseCapture();
    m_view.reset();
    SetViewFrame(nullptr);
    g_symbolDoc = nullptr;
    g_symbolLibraryDoc = nullptr;
    SetTimerService(nullptr);
    SetPresenter(nullptr);
    if (!m_glitchExpected) {
      EXPECT_EQ(g_glitchCount, 0) << "glitch " << g_firstGlitchCode << "/" << g_firstGlitchNumber;
    }
    ResetEditorState();
    ResetOptionsState();
    ResetScreenState();
    ResetEditingViewGlobals();
    ResetLogState();
  }

  void MakeView(int height) {
    m_view.reset();
    m_view = std::make_unique<CPaletteView>();
    m_view->SetDocument(&m_doc);
    ASSERT_EQ(m_view->Create(), 0);
    m_view->resize(kWidth, height);
    m_view->show();
    QApplication::sendPostedEvents();
    m_view->PrepareToShow();
    g_appActive = 1;
    m_view->UpdateView();
    m_view->Take();
  }

  // The middle of a tool's row, as last painted.
  QPoint RowPoint(int tool) const {
    const int x = m_view->GetPaletteLeft() + m_view->GetPaletteWidth() / 2;
    return {x, m_view->m_toolTops[static_cast<std::size_t>(tool)] + m_view->GetLineHeight() / 2};
  }
  // The middle of a flyout entry.
  QPoint EntryPoint(int entry) const {
    const QRect box = m_view->GetFlyout()->geometry();
    const int h = m_view->GetLineHeight();
    return {box.left() + 20, box.top() + entry * (h + 10) + 4 + h / 2};
  }
  QPoint Outside() const { return {20, 20}; }  // over the drawing window

  void Key(char16_t key) { m_view->OnChar(key); }
  void Move(QPoint point) { m_view->OnMouseMove(0, point); }
  void Press(QPoint point) { m_view->OnLButtonDown(kMkLButton, point); }
  void Drag(QPoint point) { m_view->OnMouseMove(kMkLButton, point); }
  void Release(QPoint point) { m_view->OnLButtonUp(0, point); }

  ColourRef ScreenPixel(int x, int y) const {
    const QRgb rgb = m_view->BackBuffer().pixel(x, y);
    return MakeColour(qRed(rgb), qGreen(rgb), qBlue(rgb));
  }

  void ExpectGlitch(int code, int number) {
    m_glitchExpected = true;
    EXPECT_GE(g_glitchCount, 1);
    EXPECT_EQ(g_firstGlitchCode, code);
    EXPECT_EQ(g_firstGlitchNumber, number);
  }

  CManualTimerService m_clock;
  ScriptedPresenter m_presenter;
  CZephDoc m_doc;
  std::unique_ptr<CPaletteView> m_view;
  bool m_glitchExpected = false;
};

TEST(ToolTable, NamesLettersEntriesAndHelpTopics) {
  EXPECT_EQ(GetPaletteToolName(0), QStringLiteral("New line"));
  EXPECT_EQ(GetPaletteToolName(27), QStringLiteral("Origin"));
  EXPECT_TRUE(GetPaletteToolName(28).isEmpty());
  QString letters;
  for (int tool = 0; tool < kToolCount; ++tool) letters += QChar(GetToolLetter(tool));
  EXPECT_EQ(letters, QStringLiteral("NLACECFTSDCIHGMCRRESODMVCBEO"));
  for (int tool = 0; tool < kToolCount; ++tool) {
    const QString page = g_helpTopics[static_cast<std::size_t>(GetToolHelpTopic(tool))].GetName();
    if (tool == kToolHunt || tool == kToolGrid) {
      EXPECT_EQ(page, QStringLiteral("welcome"));
    } else if (tool == kToolEnlarge) {
      EXPECT_EQ(page, QStringLiteral("tool_scale"));
    } else if (tool == kToolNewLine) {
      EXPECT_EQ(page, QStringLiteral("tool_line"));
    } else {
      EXPECT_EQ(page, QStringLiteral("tool_") + GetPaletteToolName(tool).toLower()) << tool;
    }
  }
  EXPECT_EQ(GetToolFlyoutText(10, 1, 1), QStringLiteral("2  Chamfer"));
  EXPECT_TRUE(GetToolFlyoutText(10, 2, 0).isEmpty());
}

TEST_F(PaletteTest, TheLetterCStepsThroughItsToolsAndTwoPicksChamfer) {
  g_currentTool = kToolCircle;
  struct Step {
    char16_t key;
    Selection selected;  // {-1, -1}: nothing selected
    int flyoutTool;      // -1: no list open
  };
  const Step steps[] = {
      {u'c', {kToolCurve, -1}, -1}, {u'C', {-1, -1}, kToolCorner}, {u'2', {kToolCorner, 1}, -1},
      {u'c', {kToolCopy, -1}, -1},  {u'c', {kToolColour, -1}, -1}, {u'c', {kToolCircle, -1}, -1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(static_cast<int>(step.key));
    Key(step.key);
    const std::vector<Selection> made = m_view->Take();
    if (step.selected.first < 0) {
      EXPECT_TRUE(made.empty());
    } else {
      ASSERT_EQ(made.size(), 1U);
      EXPECT_EQ(made[0], step.selected);
      EXPECT_EQ(g_currentTool, step.selected.first);
    }
    if (step.flyoutTool < 0) {
      EXPECT_EQ(m_view->m_flyoutOpen, 0);
    } else {
      ASSERT_EQ(m_view->m_flyoutOpen, 1);
      EXPECT_EQ(m_view->GetFlyout()->GetTool(), step.flyoutTool);
      // Opened from the keyboard: numbered rows.
      EXPECT_EQ(m_view->GetFlyout()->GetEntryText(0), QStringLiteral("1  Fillet"));
      EXPECT_EQ(m_view->m_keyboardFlyout, 1);
    }
  }
}

TEST_F(PaletteTest, ADigitPicksASubModeOfTheToolUnderTheMouseWithinItsCount) {
  Move(RowPoint(kToolMove));
  EXPECT_EQ(m_view->m_flyoutOpen, 0);  // the list waits for its timer
  EXPECT_EQ(m_view->OnPaletteChar(u'7'), 0);
  EXPECT_TRUE(m_view->Take().empty());
  EXPECT_EQ(m_view->OnPaletteChar(u'6'), 1);
  EXPECT_EQ(m_view->Take(), (std::vector<Selection>{{kToolMove, 5}}));
  // Over a tool without sub-modes a digit is nobody's.
  Move(RowPoint(kToolArc));
  EXPECT_EQ(m_view->OnPaletteChar(u'1'), 0);
}

TEST_F(PaletteTest, AListOpenedByALetterWaitsForADigitWhileTheMouseWanders) {
  Key(u'm');
  ASSERT_EQ(m_view->m_flyoutOpen, 1);
  CFlyoutTools* list = m_view->GetFlyout();
  EXPECT_EQ(list->GetEntryText(3), QStringLiteral("4  Move points"));
  // Over the list the view takes the mouse; over the drawing window it lets it go again.
  QTest::mouseMove(list, QPoint(10, 10));
  EXPECT_EQ(zeph::GetCapture(), m_view.get());
  QTest::mouseMove(m_view->GetDrawingWindow(), QPoint(30, 30));
  EXPECT_NE(zeph::GetCapture(), m_view.get());
  m_clock.Advance(2000);
  ASSERT_EQ(m_view->m_flyoutOpen, 1);
  Key(u'4');
  EXPECT_EQ(m_view->Take(), (std::vector<Selection>{{kToolMove, 3}}));
  EXPECT_EQ(m_view->m_flyoutOpen, 0);
  EXPECT_EQ(m_view->m_keyboardFlyout, 0);
}

TEST_F(PaletteTest, HuntAndGridSwitchTheSnapModeAndRememberGridSnapping) {
  const int tool = g_currentTool;
  struct Step {
    char16_t key;
    int snap;
    int gridSnap;
  };
  const Step steps[] = {
      {u'h', kSnapHunt, 0}, {u'g', kSnapGrid, 1}, {u'h', kSnapHunt, 0},
      {u'h', kSnapNone, 0}, {u'g', kSnapGrid, 1}, {u'g', kSnapNone, 0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(static_cast<int>(step.key));
    Key(step.key);
    EXPECT_EQ(g_snapMode, step.snap);
    EXPECT_EQ(GetOptionFlag(kOptionGridSnap), step.gridSnap);
    EXPECT_EQ(m_view->IsToolActive(kToolHunt), step.snap == kSnapHunt ? 1 : 0);
    EXPECT_EQ(m_view->IsToolActive(kToolGrid), step.snap == kSnapGrid ? 1 : 0);
  }
  EXPECT_EQ(g_currentTool, tool);  // never the tool in use
}

TEST_F(PaletteTest, AShortWindowShowsOnlyTheArrowsItNeedsAndALetterScrollsToItsTool) {
  MakeView(300);
  const int first = m_view->m_firstTool;
  const int end = m_view->m_endTool;
  ASSERT_EQ(first, 0);
  ASSERT_LT(end, kToolCount);
  EXPECT_EQ(m_view->m_paletteFlags & (kArrowForwardShown | kArrowBackShown), kArrowForwardShown);

  Key(u'b');  // Break, below the visible rows
  EXPECT_EQ(m_view->Take(), (std::vector<Selection>{{kToolBreak, -1}}));
  EXPECT_EQ(m_view->m_endTool, kToolCount);
  EXPECT_LE(m_view->m_firstTool, kToolBreak);
  EXPECT_EQ(m_view->m_endTool - m_view->m_firstTool, end - first);
  EXPECT_EQ(m_view->m_paletteFlags & (kArrowForwardShown | kArrowBackShown), kArrowBackShown);

  // Back to the top with the up arrow, one row a press.
  const int firstNow = m_view->m_firstTool;
  const QPoint up(m_view->m_upArrowBox.left + 2, m_view->m_upArrowBox.top + 2);
  Press(up);
  Release(up);
  EXPECT_EQ(m_view->m_firstTool, firstNow - 1);
  EXPECT_EQ(m_view->m_paletteFlags & (kArrowForwardShown | kArrowBackShown),
            kArrowForwardShown | kArrowBackShown);

  MakeView(60);  // no room for even one row: one is shown all the same
  EXPECT_EQ(m_view->m_endTool - m_view->m_firstTool, 1);
  Key(u'o');  // Origin, the first O after Break
  EXPECT_EQ(m_view->m_firstTool, kToolOrigin);
  EXPECT_EQ(m_view->m_endTool, kToolCount);

  MakeView(kHeight);  // tall enough for every row
  EXPECT_EQ(m_view->m_endTool - m_view->m_firstTool, kToolCount);
  EXPECT_EQ(m_view->m_paletteFlags & (kArrowForwardShown | kArrowBackShown), 0);
}

TEST_F(PaletteTest, RowsFollowInOrderAndStayClearOfTheArrowsAtEveryHeight) {
  for (int height : {240, 300, 420, 560, 900}) {
    SCOPED_TRACE(height);
    MakeView(height);
    const int h = m_view->GetLineHeight();
    const int area = m_view->GetDrawingAreaHeight();
    int arrowsTop = area;
    if ((m_view->m_paletteFlags & kArrowForwardShown) != 0) {
      arrowsTop = std::min(arrowsTop, m_view->m_downArrowBox.top);
    }
    int previousBottom = 0;
    for (int tool = m_view->m_firstTool; tool < m_view->m_endTool; ++tool) {
      const int top = m_view->m_toolTops[static_cast<std::size_t>(tool)];
      EXPECT_GT(top, previousBottom - h) << tool;  // a row's box from top - 1 to top + h + 1
      previousBottom = top + h + 1;
      int hit = -1;
      EXPECT_EQ(m_view->HitTestPalette(RowPoint(tool).x(), RowPoint(tool).y(), hit), 1);
      EXPECT_EQ(hit, tool);
    }
    EXPECT_LT(previousBottom, arrowsTop);
  }
}

TEST_F(PaletteTest, APressOnlySelectsWhenReleasedOnTheSameTool) {
  for (int tool : {kToolNewLine, kToolArc, kToolHunt}) {
    SCOPED_TRACE(tool);
    // Press, leave, release elsewhere: nothing.
    Press(RowPoint(tool));
    EXPECT_EQ(m_view->m_toolPressed, 1);
    Drag(Outside());
    EXPECT_EQ(m_view->m_toolPressed, 0);
    Release(Outside());
    EXPECT_TRUE(m_view->Take().empty());
    // Press, leave, come back, release: selected.
    Press(RowPoint(tool));
    Drag(Outside());
    Drag(RowPoint(tool));
    EXPECT_EQ(m_view->m_toolPressed, 1);
    Release(RowPoint(tool));
    EXPECT_EQ(m_view->Take(), (std::vector<Selection>{{tool, -1}}));
    Move(Outside());
  }
  EXPECT_EQ(g_snapMode, kSnapHunt);
}

TEST_F(PaletteTest, RowsArePaintedInTheirLooksAndBadRowsAreRefused) {
  g_currentTool = kToolLine;
  m_view->UpdateView();
  const auto fillOf = [this](int tool) {
    const QPoint p = RowPoint(tool);
    return ScreenPixel(m_view->GetPaletteLeft() + m_view->GetPaletteWidth() - 6, p.y());
  };
  EXPECT_EQ(fillOf(kToolLine), UiColour(kUiWhite) & kColourMask);
  EXPECT_EQ(fillOf(kToolArc), g_buttonFaceColour & kColourMask);
  const struct {
    int look;
    ColourRef fill;
  } looks[] = {{kLookHovered, g_buttonHoverColour},
               {kLookPressed, g_buttonPressedColour},
               {kLookCurrentHovered, UiColour(kUiWhite)},
               {kLookNormal, g_buttonFaceColour}};
  for (const auto& look : looks) {
    m_view->DrawToolButton(kToolArc, look.look);
    EXPECT_EQ(fillOf(kToolArc), look.fill & kColourMask) << look.look;
  }
  const QImage before = m_view->BackBuffer().copy();
  m_view->DrawToolButton(28, kLookHovered);
  ExpectGlitch(2821, 1);
  ResetLogState();
  m_view->DrawToolButton(kToolArc, 5);
  ExpectGlitch(2821, 2);
  EXPECT_EQ(m_view->BackBuffer(), before);
}

TEST_F(PaletteTest, HoverOpensTheFlyoutWhichStaysWhileTheMouseIsOnItAndClosesAfterLeaving) {
  Move(RowPoint(kToolMove));
  m_clock.Advance(599);
  EXPECT_EQ(m_view->m_flyoutOpen, 0);
  m_clock.Advance(1);
  ASSERT_EQ(m_view->m_flyoutOpen, 1);
  CFlyoutTools* list = m_view->GetFlyout();
  EXPECT_EQ(list->GetEntryText(0), QStringLiteral("Move an item"));  // the mouse's plain form
  EXPECT_EQ(list->x(), m_view->GetPaletteLeft() - m_view->GetFlyoutWidth());
  EXPECT_EQ(list->y(), m_view->m_toolTops[kToolMove] - 4);
  const int h = m_view->GetLineHeight();
  EXPECT_EQ(list->height(), 6 * h + 5 * 10 + 10);

  // The editor asks in its own points whether the mouse is over the list.
  const QWidget* drawing = m_view->GetDrawingWindow();
  EXPECT_EQ(m_view->IsPointInFlyout(drawing->mapFrom(m_view.get(), EntryPoint(0))), 1);
  EXPECT_EQ(m_view->IsPointInFlyout(drawing->mapFrom(m_view.get(), Outside())), 0);

  // Into the list: it stays however long the mouse rests there, its entry lit.
  Move(EntryPoint(2));
  m_clock.Advance(3000);
  ASSERT_EQ(m_view->m_flyoutOpen, 1);
  EXPECT_EQ(m_view->m_hotEntry, 2);
  EXPECT_EQ(m_view->m_hotTool, kToolMove);
  // Back onto the tool and away from both over the drawing window: closed a second later.
  Move(RowPoint(kToolMove));
  EXPECT_EQ(m_view->m_flyoutOpen, 1);
  QTest::mouseMove(m_view->GetDrawingWindow(), QPoint(20, 20));
  EXPECT_EQ(m_view->m_hotTool, -1);
  m_clock.Advance(999);
  EXPECT_EQ(m_view->m_flyoutOpen, 1);
  m_clock.Advance(1);
  EXPECT_EQ(m_view->m_flyoutOpen, 0);
  EXPECT_TRUE(m_view->Take().empty());
}

TEST_F(PaletteTest, LeavingTheWindowFromThePaletteLetsTheToolAndItsListGo) {
  Move(RowPoint(kToolShape));
  m_clock.Advance(600);
  ASSERT_EQ(m_view->m_flyoutOpen, 1);
  ASSERT_EQ(zeph::GetCapture(), m_view.get());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(m_view.get(), &leave);
  EXPECT_EQ(m_view->m_hotTool, -1);
  EXPECT_NE(zeph::GetCapture(), m_view.get());
  m_clock.Advance(1000);
  EXPECT_EQ(m_view->m_flyoutOpen, 0);
}

TEST_F(PaletteTest, AClickedToolOpensItsListAndAClickedEntrySelectsItsSubMode) {
  Press(RowPoint(kToolObject));
  Release(RowPoint(kToolObject));
  EXPECT_TRUE(m_view->Take().empty());
  ASSERT_EQ(m_view->m_flyoutOpen, 1);
  // The mouse moves over the list as a user's would: the list hands it to the view.
  CFlyoutTools* list = m_view->GetFlyout();
  const QPoint entry = list->mapFrom(m_view.get(), EntryPoint(3));
  QTest::mouseMove(list, entry);
  QTest::mouseMove(list, entry + QPoint(1, 0));
  EXPECT_EQ(m_view->m_hotEntry, 3);
  QTest::mousePress(list, Qt::LeftButton, {}, entry);
  EXPECT_EQ(m_view->m_entryPressed, 1);
  QTest::mouseRelease(list, Qt::LeftButton, {}, entry);
  EXPECT_EQ(m_view->Take(), (std::vector<Selection>{{kToolObject, 3}}));
  EXPECT_EQ(m_view->m_flyoutOpen, 0);
  EXPECT_EQ(g_currentSubMode, 3);
}

TEST_F(PaletteTest, InsertWithoutASymbolAsksTheFrameAndCancellingChangesNothing) {
  CZephDoc library(DocumentRole::kAuxiliary);
  CZephDoc symbol(DocumentRole::kAuxiliary);
  g_symbolLibraryDoc = &library;
  g_symbolDoc = &symbol;
  CSymbolFrame frame;
  frame.library = &library;
  frame.symbol = &symbol;
  SetViewFrame(&frame);
  const int tool = g_currentTool;

  m_view->SelectTool(kToolInsert, -1);  // no library chosen
  EXPECT_EQ(frame.libraryCalls, 1);
  EXPECT_EQ(frame.symbolCalls, 0);
  EXPECT_EQ(g_currentTool, tool);

  frame.libraryChosen = true;  // a library, but no symbol of it
  m_view->SelectTool(kToolInsert, -1);
  EXPECT_EQ(frame.libraryCalls, 2);
  EXPECT_EQ(frame.symbolCalls, 1);
  EXPECT_EQ(g_currentTool, tool);

  frame.symbolChosen = true;  // the library is there: only the symbol is asked for
  m_view->SelectTool(kToolInsert, -1);
  EXPECT_EQ(frame.libraryCalls, 2);
  EXPECT_EQ(frame.symbolCalls, 2);
  EXPECT_EQ(g_currentTool, kToolInsert);
}

TEST_F(PaletteTest, PictureOfThePaletteWithItsListOpen) {
  g_currentTool = kToolMove;
  g_currentSubMode = 3;
  g_snapMode = kSnapGrid;
  m_view->UpdateView();
  Move(RowPoint(kToolMove));
  m_clock.Advance(600);
  ASSERT_EQ(m_view->m_flyoutOpen, 1);
  Move(EntryPoint(1));
  QApplication::processEvents();
  const QImage picture = m_view->grab().toImage();
  QDir().mkpath(QStringLiteral(ZEPH_RENDER_DIR));
  EXPECT_TRUE(picture.save(QStringLiteral(ZEPH_RENDER_DIR "/palette_flyout.png")));
  // The list covers the drawing window's right edge, left of the palette.
  const QRect box = m_view->GetFlyout()->geometry();
  EXPECT_LT(box.left(), m_view->GetPaletteLeft());
  EXPECT_EQ(box.right() + 1, m_view->GetPaletteLeft());
}

}  // namespace
}  // namespace zeph::testing
