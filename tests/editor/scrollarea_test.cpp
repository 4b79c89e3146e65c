// The drawing window as the viewport of its scroll area: it paints and hears the mouse itself,
// and its size (the back buffer and the document's window size) is the area's inside less the
// scroll bars.
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include "editor/drawingscrollarea.h"
#include "fake_tool.h"

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
