// The editing view's layout: sizes from the small font, the drawing window, palette and values
// bar after a resize, the prompt buttons re-created (or not) by a size change and their places,
// the prompt text, closing the value editor, and placing the object list.
#include <QStyle>

#include "controls/edits.h"
#include "controls/viewcontrols.h"
#include "editor/drawingscrollarea.h"
#include "editor/viewparts.h"
#include "items/drawitem.h"
#include "editor_fixture.h"
#include "view_fixture.h"

namespace zeph::testing {
namespace {

TEST(EditingViewSizes, FollowTheSmallFont) {
  ResetEditingViewGlobals();
  ResetLogState();
  CEditingView view;
  ASSERT_EQ(g_smallFontMade, 1);
  FontMeasure small(SmallBoldArial());
  const int h = small.LineHeight();
  EXPECT_EQ(view.GetLineHeight(), h);
  EXPECT_EQ(view.GetPaletteWidth(), small.Width(QStringLiteral("Dimension")) + 12);
  EXPECT_EQ(view.GetFlyoutWidth(), small.Width(QStringLiteral("Move a dimension")) + 14);
  EXPECT_EQ(view.GetValuesBarHeight(), 2 * h + 16);
  ASSERT_NE(view.GetDrawingWindow(), nullptr);
  EXPECT_EQ(view.GetDrawingWindow()->windowTitle(), QStringLiteral("Edit drawing"));
  EXPECT_EQ(view.windowTitle(), QStringLiteral("Drawing view"));
  // The value editors exist hidden; creating again changes nothing.
  EXPECT_FALSE(view.GetValueEdit()->isVisible());
  CEditDrawing* drawing = view.GetDrawingWindow();
  EXPECT_EQ(view.Create(), 0);
  EXPECT_EQ(view.GetDrawingWindow(), drawing);
  ResetEditingViewGlobals();
}

TEST(EditingViewSizes, FirstShowBeforeAnyLayoutTakesTheExtentFromTheViewArea) {
  ResetEditingViewGlobals();
  ResetLogState();
  ResetOptionsState();
  g_viewAreaSize = QSize(800, 600);
  CZephDoc doc;
  CEditingView view;
  view.SetDocument(&doc);
  view.PrepareToShow();
  const CViewMapping& mapping = view.GetDrawingWindow()->GetMapping();
  const int bar = view.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  EXPECT_EQ(mapping.windowWidth, 800 - view.GetPaletteWidth() - bar);
  EXPECT_EQ(mapping.windowHeight, 600 - view.GetValuesBarHeight() - bar);
  EXPECT_EQ(mapping.anchorY, mapping.windowHeight);
  EXPECT_EQ(mapping.GetZoomLevel(), GetOptionShort(kOptionZoomStart));
  EXPECT_EQ(g_glitchCount, 0);
  ResetEditingViewGlobals();
}

TEST_F(ViewTest, ResizeLaysOutDrawingPaletteAndValuesBar) {
  const int paletteLeft = kWidth - m_view->GetPaletteWidth();
  const int barTop = kHeight - m_view->GetValuesBarHeight();
  EXPECT_EQ(m_view->GetPaletteLeft(), paletteLeft);
  EXPECT_EQ(m_view->GetDrawingAreaHeight(), barTop);
  EXPECT_EQ(m_view->GetScrollArea()->geometry(), QRect(0, 0, paletteLeft, barTop));
  // The drawing window is the scroll area's viewport, and its mapping spans it.
  const QSize viewport = m_view->GetScrollArea()->viewport()->size();
  EXPECT_EQ(Mapping().windowWidth, viewport.width());
  EXPECT_EQ(Mapping().windowHeight, viewport.height());

  m_view->UpdateView();
  const QImage& screen = m_view->BackBuffer();
  ASSERT_EQ(screen.size(), QSize(kWidth, kHeight));
  const auto colour = [&screen](int x, int y) {
    const QRgb rgb = screen.pixel(x, y);
    return MakeColour(qRed(rgb), qGreen(rgb), qBlue(rgb));
  };
  // Edge lines in UI colour 7, palette and values bar filled with one face colour.
  EXPECT_EQ(colour(10, barTop), UiColour(7) & kColourMask);
  EXPECT_EQ(colour(paletteLeft, barTop / 2), UiColour(7) & kColourMask);
  EXPECT_EQ(colour(paletteLeft + 5, barTop / 2), colour(10, barTop + 5));
  EXPECT_NE(colour(paletteLeft + 5, barTop / 2), UiColour(7) & kColourMask);
}

// Geometry of the single button and the prompt text as the layout shares out the bar's width.
struct ExpectedLayout {
  int left;
  int right;
  int boxRight;
};

ExpectedLayout ExpectLayout(int width, const QString& caption, const QString& prompt) {
  FontMeasure dialog(GetDialogFont());
  FontMeasure promptFont(SmallBoldArial());
  const int lineFeed = prompt.indexOf(QLatin1Char('\n'));
  const int promptWidth = std::max(promptFont.Width(prompt.left(lineFeed)),
                                   promptFont.Width(prompt.mid(lineFeed + 1)));
  const int captionWidth = dialog.Width(caption);
  int spare = width - (captionWidth + 10) - (promptWidth + 10);
  const int gap = std::clamp(spare / 3, 5, 30);
  spare -= 3 * gap;
  int margin = 0;
  if (spare > 0) {
    margin = std::min(spare / 4, 25);
    spare -= 4 * margin;
  }
  int fieldMargin = gap;
  if (spare < gap) {
    fieldMargin = std::max(gap / 2, 5);
    spare += 2 * (gap - fieldMargin);
  }
  const int left = fieldMargin + std::max(spare, 0) / 2;
  return {left, left + captionWidth + 10 + 2 * margin, width - fieldMargin};
}

TEST_F(ViewTest, OkButtonAndPromptTextShareTheValuesBar) {
  const QString caption = ViewTestStrings(kIdsActionCopy);
  const QString prompt = ViewTestStrings(kIdsPromptGrips);
  m_view->SetAction(kIdsActionCopy, 0);
  m_view->SetPromptText(kIdsPromptGrips);
  CViewButton* ok = m_view->GetPromptButton(kIdPromptOK);
  ASSERT_NE(ok, nullptr);
  EXPECT_FALSE(ok->isEnabled());
  EXPECT_EQ(ok->text(), caption);

  for (const int width : {kWidth, 420, 900}) {
    SCOPED_TRACE(width);
    m_view->resize(width, kHeight);
    m_view->UpdateView();
    ok = m_view->GetPromptButton(kIdPromptOK);
    ASSERT_NE(ok, nullptr);
    const ExpectedLayout expected = ExpectLayout(width, caption, prompt);
    const int top = m_view->GetDrawingAreaHeight() + (m_view->GetValuesBarHeight() - 30) / 2;
    EXPECT_EQ(ok->geometry(), QRect(expected.left, top, expected.right - expected.left, 30));
    EXPECT_EQ(m_view->GetPromptTextBox().right - 1, expected.boxRight);
    // The prompt box lies within the bar and right of the button.
    EXPECT_GT(m_view->GetPromptTextBox().left, expected.right);
    EXPECT_GE(m_view->GetPromptTextBox().top, m_view->GetDrawingAreaHeight());
    EXPECT_LE(m_view->GetPromptTextBox().bottom, kHeight);
  }
  m_view->EnableOKButton(1);
  EXPECT_TRUE(m_view->GetPromptButton(kIdPromptOK)->isEnabled());
  // The Restart caption takes the OK button's place.
  m_view->SetRestartCaption(kIdsSelectNewItems);
  m_view->RedrawValuesBar(1);
  EXPECT_EQ(m_view->GetPromptButton(kIdPromptOK), nullptr);
  ASSERT_NE(m_view->GetPromptButton(kIdPromptRestart), nullptr);
  EXPECT_TRUE(m_view->GetPromptButton(kIdPromptRestart)->isEnabled());
}

TEST_F(ViewTest, SizeChangeRecreatesBreakButtonsButNotOrderButtons) {
  m_view->ShowOrderButtons(0, 1);
  ASSERT_NE(m_view->GetPromptButton(kIdPromptBringToFront), nullptr);
  EXPECT_TRUE(m_view->GetPromptButton(kIdPromptBringToFront)->isEnabled());
  EXPECT_FALSE(m_view->GetPromptButton(kIdPromptSendToBack)->isEnabled());
  // The same size again does nothing at all.
  m_view->resize(kWidth, kHeight);
  QApplication::sendPostedEvents();
  EXPECT_NE(m_view->GetPromptButton(kIdPromptBringToFront), nullptr);
  m_view->resize(kWidth + 40, kHeight);
  EXPECT_EQ(m_view->AreButtonsShown(), 0);
  EXPECT_EQ(m_view->GetPromptButton(kIdPromptBringToFront), nullptr);

  DrawItemPtr item = MakeLine(0, 0, 10000, 0);
  CDrawItem* line = item.get();
  ASSERT_EQ(m_doc.AddItem(item), 1);
  g_currentTool = kToolBreak;
  Drawing().SetBreakOffer(line, 0);
  m_view->ShowBreakButtons();
  for (const int width : {kWidth + 40, 500}) {
    SCOPED_TRACE(width);
    m_view->resize(width, kHeight + 20);
    const int top = m_view->GetDrawingAreaHeight() + (m_view->GetValuesBarHeight() - 30) / 2;
    // From the right edge inwards, 70 wide and 10 apart: Help, Cancel, Yes, No.
    const int ids[] = {kIdPromptHelp, kIdPromptCancel, kIdPromptYes, kIdPromptNo};
    for (int i = 0; i < 4; ++i) {
      CViewButton* button = m_view->GetPromptButton(ids[i]);
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->geometry(), QRect(width - 90 - 80 * i, top, 70, 30)) << ids[i];
    }
  }
  // The question is painted at the left of the values bar.
  m_view->UpdateView();
  const int c = m_view->GetDrawingAreaHeight() +
                (m_view->GetValuesBarHeight() - m_view->GetLineHeight()) / 2;
  const QRgb inside = m_view->BackBuffer().pixel(15, c - 5);
  EXPECT_EQ(MakeColour(qRed(inside), qGreen(inside), qBlue(inside)), UiColour(27) & kColourMask);
}

TEST_F(ViewTest, EnablingAMissingOkButtonIsAGlitch) {
  g_currentTool = kToolBreak;
  m_view->ShowBreakButtons();
  m_view->EnableOKButton(1);
  ExpectGlitch(2805, 1);
}

// Values part that refuses the first value it is asked to apply.
class RefusingValues : public IValuesBarPart {
 public:
  int ApplyValueEditor(CEditingView&, int kind) override {
    kinds.push_back(kind);
    return kinds.size() == 1 ? 0 : 1;
  }
  std::vector<int> kinds;
};

TEST_F(ViewTest, ClosingTheValueEditorAppliesIt) {
  RefusingValues values;
  SetValuesBarPart(&values);
  EXPECT_EQ(m_view->CloseValueEditorResult(), 1);  // nothing open
  m_view->SetOpenEditor(kValueEditorEdit, 40);
  EXPECT_EQ(m_view->CloseValueEditorResult(), 0);
  EXPECT_EQ(m_view->GetOpenEditor(), kValueEditorEdit);  // refused: stays open
  m_view->CancelOperation();
  EXPECT_EQ(m_view->GetOpenEditor(), kValueEditorNone);
  EXPECT_EQ(values.kinds, (std::vector<int>{kValueEditorEdit, kValueEditorEdit}));
  SetValuesBarPart(nullptr);

  m_view->SetOpenEditor(9, 40);
  EXPECT_EQ(m_view->CloseValueEditorResult(), 1);
  EXPECT_EQ(m_view->GetOpenEditor(), kValueEditorNone);
  ExpectGlitch(2802, 1);
}

class FakeObjectList : public IObjectListWindow {
 public:
  explicit FakeObjectList(QWidget* parent, int rows) : m_rows(rows) {
    m_window = new QWidget(parent);
    m_window->setGeometry(2000, 1500, 120, 90);
  }
  QWidget* GetWindow() override { return m_window; }
  int Fill(CZephDoc*) override { return m_rows; }

 private:
  QWidget* m_window;
  int m_rows;
};

class FakeObjectListFactory : public IObjectListFactory {
 public:
  std::unique_ptr<IObjectListWindow> Create(CEditingView&, QWidget* parent) override {
    ++made;
    return std::make_unique<FakeObjectList>(parent, rows);
  }
  int rows = 2;
  int made = 0;
};

TEST_F(ViewTest, ObjectListIsKeptWithinTheDrawingArea) {
  FakeObjectListFactory factory;
  SetObjectListFactory(&factory);
  m_view->ShowObjectList(1);  // an empty drawing has no list
  EXPECT_EQ(factory.made, 0);
  DrawItemPtr line = MakeLine(0, 0, 1000, 1000);
  ASSERT_EQ(m_doc.AddItem(line), 1);
  m_view->ShowObjectList(1);
  ASSERT_EQ(m_view->IsObjectListShown(), 1);
  const int bar = m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const QRect place(m_view->GetPaletteLeft() - bar - 120, m_view->GetDrawingAreaHeight() - bar - 90,
                    120, 90);
  EXPECT_EQ(m_view->IsPointInObjectList(place.center()), 1);
  EXPECT_EQ(m_view->IsPointInObjectList(QPoint(place.left() - 1, place.top())), 0);
  // A smaller view moves it in again.
  m_view->resize(kWidth - 100, kHeight - 50);
  const QPoint corner(m_view->GetPaletteLeft() - bar - 1, m_view->GetDrawingAreaHeight() - bar - 1);
  EXPECT_EQ(m_view->IsPointInObjectList(corner), 1);
  m_view->ShowObjectList(0);
  EXPECT_EQ(m_view->IsPointInObjectList(corner), 0);
  EXPECT_EQ(factory.made, 1);
  SetObjectListFactory(nullptr);
}

TEST_F(ViewTest, ShowingAgainResetsZoomButKeepsTheWindowExtent) {
  const int width = Mapping().windowWidth;
  const int height = Mapping().windowHeight;
  ASSERT_GT(width, 0);
  EXPECT_EQ(Mapping().GetZoomLevel(), GetOptionShort(kOptionZoomStart));
  SetZoom(11, 37, 44);
  m_view->PrepareToShow();
  EXPECT_EQ(Mapping().GetZoomLevel(), GetOptionShort(kOptionZoomStart));
  EXPECT_EQ(Mapping().windowWidth, width);
  EXPECT_EQ(Mapping().windowHeight, height);
  // Drawing point (0, 0) at the window's bottom-left corner.
  EXPECT_EQ(Mapping().DrawingToDeviceX(0), 0);
  EXPECT_EQ(Mapping().DrawingToDeviceY(0), Mapping().anchorY);
  EXPECT_EQ(Mapping().anchorY, height);
}

}  // namespace
}  // namespace zeph::testing
