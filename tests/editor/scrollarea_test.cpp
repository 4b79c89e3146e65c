// The drawing window as the viewport of its scroll area: it paints and hears the mouse itself,
// and its size (the back buffer and the document's window size) is the area's inside less the
// scroll bars.
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include "editor/drawingscrollarea.h"
#include "fake_tool.h"
#include "recording_view.h"

namespace zeph::testing {
namespace {

using ScrollAreaTest = EditorTest;

TEST_F(ScrollAreaTest, ViewportPaintsAndHearsTheMouseItself) {
  auto* window = new CFakeToolWindow;
  CDrawingScrollArea area(window);
  area.resize(320, 240);
  area.show();
  QApplication::sendPostedEvents();
  ASSERT_EQ(area.GetDrawingWindow(), window);
  ASSERT_EQ(area.viewport(), window);
  const int bar = area.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &area);
  EXPECT_EQ(window->width(), 320 - bar);
  EXPECT_EQ(window->height(), 240 - bar);
  EXPECT_EQ(window->BackBuffer().size(), window->size());
  window->SetDocument(&m_doc);
  EXPECT_EQ(m_doc.GetWindowWidth(), 320 - bar);
  Add(MakeLine(0, 0, 50 * Scale(), 0));
  window->GetMapping() = m_window->GetMapping();
  window->Invalidate();
  window->UpdateWindow();
  const QRgb drawn = window->BackBuffer().pixel(40, kHeight - 20);
  EXPECT_EQ(MakeColour(qRed(drawn), qGreen(drawn), qBlue(drawn)), kRed);
  g_currentTool = kToolLine;
  QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_EQ(window->Take(), (std::vector<int>{0, 1, 2}));
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

TEST_F(ScrollAreaTest, ScreenshotOfTheEditorWithGridGripsAndRubberBand) {
  auto* window = new CEditDrawing;
  CDrawingScrollArea area(window);
  area.resize(420, 300);
  area.show();
  QApplication::sendPostedEvents();
  window->GetMapping() = m_window->GetMapping();
  window->SetDocument(&m_doc);
  SetOptionShort(kOptionGridShow, 1);
  SetOptionShort(kOptionGridColour, 1);
  const int s = Scale();
  Add(MakeLine(0, 0, 200 * s, 0));
  Add(MakeLine(200 * s, 0, 200 * s, 120 * s, kBlue));
  Add(MakeLine(200 * s, 120 * s, 0, 0));
  DrawItemPtr circle = CreateItem(kItemCircle);
  circle->SetCentre(300 * s, 60 * s);
  circle->SetRadius(50 * s);
  circle->SetColour(static_cast<int>(kRed));
  Add(std::move(circle));
  window->Invalidate();
  window->UpdateWindow();
  window->ShowGripsOfActive();
  window->StartRubberBand(250, 20);
  window->TrackRubberBand(0, 380, 110);
  const QImage shot = area.grab().toImage();
  ASSERT_TRUE(shot.save(RenderPath(QStringLiteral("editor_window.png"))));
  EXPECT_GT(window->GetGripCount(), 3);
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

class ScrollRangesTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    m_drawing = new CEditDrawing;
    m_area = std::make_unique<CDrawingScrollArea>(m_drawing);
    m_area->resize(320, 240);
    m_area->show();
    QApplication::sendPostedEvents();
    m_drawing->GetMapping() = m_window->GetMapping();
    m_drawing->SetDocument(&m_doc);
  }
  void TearDown() override {
    m_area.reset();
    EditorTest::TearDown();
  }
  int OriginX() const { return m_drawing->GetMapping().originX; }
  int OriginY() const { return m_drawing->GetMapping().originY; }
  QScrollBar* Horizontal() const { return m_area->horizontalScrollBar(); }
  QScrollBar* Vertical() const { return m_area->verticalScrollBar(); }

  CEditDrawing* m_drawing = nullptr;
  std::unique_ptr<CDrawingScrollArea> m_area;
};

TEST_F(ScrollRangesTest, AnEmptyDrawingScrollsOneWindowBeyondTheOriginsWindowEachWay) {
  const int s = Scale();
  const int w = m_drawing->width();
  const int h = m_drawing->height();
  EXPECT_EQ(CDrawingScrollArea::ViewportSizeFor(m_area->size(), m_area->style()),
            m_drawing->size());
  const int pageX = w / 10 * 10 * s;
  const int pageY = h / 10 * 10 * s;
  m_drawing->UpdateScrollRanges(1);
  EXPECT_EQ(Horizontal()->maximum(), 2 * (w / 10));
  EXPECT_EQ(Vertical()->maximum(), 2 * (h / 10));
  EXPECT_EQ(Horizontal()->pageStep(), w / 10 / 2);
  EXPECT_EQ(Vertical()->pageStep(), h / 10 / 2);
  // Each bar's ends put the window one window beyond the rectangle from the drawing's origin.
  Horizontal()->setValue(0);
  EXPECT_EQ(OriginX(), -pageX);
  Horizontal()->setValue(Horizontal()->maximum());
  EXPECT_EQ(OriginX(), pageX);
  Vertical()->setValue(0);
  EXPECT_EQ(OriginY(), h * s + pageY);
  Vertical()->setValue(Vertical()->maximum());
  EXPECT_EQ(OriginY(), h * s - pageY);
  EXPECT_EQ(m_drawing->HorizontalScroll().position, Horizontal()->maximum());
}

TEST_F(ScrollRangesTest, ScrollingPaintsTheDrawingAtItsNewPlace) {
  const int s = Scale();
  const int row = 40;
  Add(MakeLine(0, (kHeight - 20 - row) * s, 60 * s, (kHeight - 20 - row) * s));
  m_drawing->UpdateScrollRanges(1);
  const int position = Horizontal()->value();
  // One unit to the right moves the picture 10 pixels to the left.
  Horizontal()->setValue(position + 1);
  EXPECT_EQ(OriginX(), -20 * s + 10 * s);
  const QRgb at = m_drawing->BackBuffer().pixel(65, row);
  const QRgb past = m_drawing->BackBuffer().pixel(75, row);
  EXPECT_EQ(MakeColour(qRed(at), qGreen(at), qBlue(at)), kRed);
  EXPECT_EQ(MakeColour(qRed(past), qGreen(past), qBlue(past)), Background());
}

TEST_F(ScrollRangesTest, TheDrawingsExtentsWidenTheRangesUpToTheLimits) {
  const int s = Scale();
  const int w = m_drawing->width();
  const int pageX = w / 10 * 10 * s;
  Add(MakeLine(0, 0, 3000 * s, 0));
  m_drawing->UpdateScrollRanges(1);
  Horizontal()->setValue(Horizontal()->maximum());
  EXPECT_EQ(OriginX(), 3000 * s);
  // An origin beyond the ranges is brought back into them.
  m_drawing->GetMapping().originX = 40'000'000;
  m_drawing->UpdateScrollRanges(0);
  EXPECT_EQ(OriginX(), 3000 * s);
  EXPECT_EQ(Horizontal()->value(), Horizontal()->maximum());
  // A drawing reaching past the limit scrolls only until the window's edge is at the limit.
  Add(MakeLine(0, 0, 49'990'000, 0));
  m_drawing->UpdateScrollRanges(1);
  Horizontal()->setValue(Horizontal()->maximum());
  EXPECT_EQ(OriginX(), 50'000'000 - pageX);
  // Zoomed far out, a window wider than the whole range has nothing to scroll.
  CViewMapping& mapping = m_drawing->GetMapping();
  mapping.SetZoomLevel(1);
  mapping.scaleX = mapping.scaleY = ZoomScaleOfLevel(1);
  m_area->resize(2200, 1600);
  QApplication::sendPostedEvents();
  m_drawing->UpdateScrollRanges(1);
  EXPECT_EQ(Horizontal()->maximum(), 0);
  EXPECT_EQ(Vertical()->maximum(), 0);
}

TEST_F(ScrollRangesTest, ASizeChangeOfAnAttachedDrawingSetsTheRangesAgain) {
  CRecordingView view;
  view.document = &m_doc;
  m_drawing->SetOwnerView(&view);
  m_drawing->AttachDrawing();
  m_area->resize(420, 300);
  QApplication::sendPostedEvents();
  EXPECT_EQ(Horizontal()->maximum(), 2 * (m_drawing->width() / 10));
  EXPECT_EQ(Vertical()->maximum(), 2 * (m_drawing->height() / 10));
}

}  // namespace
}  // namespace zeph::testing
