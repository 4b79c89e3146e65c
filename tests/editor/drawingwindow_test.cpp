// The drawing window's paint: the grid decision and its lines, the items in list order with
// their colour modes, and the exclusive-or overlays that a second drawing removes exactly.
#include <QImage>
#include <functional>

#include "controls/input.h"
#include "editor_fixture.h"

namespace zeph::testing {
namespace {

using DrawingWindowTest = EditorTest;

struct GridCase {
  const char* name;
  int gridMode;
  int zoom;
  int distance;
  int show;
  int snap;
  bool shown;
};

TEST_F(DrawingWindowTest, GridDecisionTable) {
  const GridCase cases[] = {
      {"zoom 5 + distance 3 is too close", kGridByOptions, 5, 3, 1, kSnapNone, false},
      {"zoom 6 + distance 3 shows", kGridByOptions, 6, 3, 1, kSnapNone, true},
      {"by options, only while grid snapping: off", kGridByOptions, 8, 3, 0, kSnapHunt, false},
      {"by options, only while grid snapping: on", kGridByOptions, 8, 3, 0, kSnapGrid, true},
      {"by options, never", kGridByOptions, 8, 3, 2, kSnapGrid, false},
      {"window shows it whatever the options", kGridShown, 8, 3, 2, kSnapNone, true},
      {"window hides it whatever the options", kGridHidden, 8, 3, 1, kSnapGrid, false},
      {"shown by the window, still too close", kGridShown, 5, 3, 1, kSnapNone, false},
      {"distance outside the table counts as 10 mm", kGridByOptions, 6, 99, 1, kSnapNone, true},
      {"negative distance counts as 10 mm", kGridByOptions, 5, -4, 1, kSnapNone, false},
  };
  SetOptionShort(kOptionGridColour, 1);
  for (const GridCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetZoom(c.zoom, 20, kHeight - 20);
    m_window->SetGridMode(c.gridMode);
    SetOptionShort(kOptionGridDistance, static_cast<std::int16_t>(c.distance));
    SetOptionShort(kOptionGridShow, static_cast<std::int16_t>(c.show));
    g_snapMode = c.snap;
    Repaint();
    EXPECT_EQ(m_window->IsGridShown(), c.shown ? 1 : 0);
    // Drawing x 0 is always on a grid line; the next column never is.
    EXPECT_EQ(Pixel(20, 7), c.shown ? UiColour(8) & kColourMask : Background());
    EXPECT_EQ(Pixel(21, 7), Background());
    if (c.distance == 99) {
      // 10 mm at 2000 units a pixel: every fifth column.
      EXPECT_EQ(Pixel(25, 7), UiColour(8) & kColourMask);
      EXPECT_EQ(Pixel(20, kHeight - 20), UiColour(8) & kColourMask);
    }
  }
}

TEST_F(DrawingWindowTest, GridColoursAndDots) {
  SetZoom(8, 20, kHeight - 20);
  SetOptionShort(kOptionGridShow, 1);
  SetOptionShort(kOptionGridDistance, 3);  // 10 mm = 20 pixels at zoom 8
  const std::pair<int, int> lineColours[] = {{1, 8}, {2, 19}, {3, 13}, {0, 18}, {9, 18}};
  for (const auto& [option, index] : lineColours) {
    SetOptionShort(kOptionGridColour, static_cast<std::int16_t>(option));
    Repaint();
    EXPECT_EQ(Pixel(40, 7), UiColour(index) & kColourMask) << option;
  }
  SetOptionShort(kOptionGridType, 1);
  const std::pair<int, int> dotColours[] = {{1, 7}, {2, 2}, {3, 5}, {0, 1}};
  for (const auto& [option, index] : dotColours) {
    SetOptionShort(kOptionGridColour, static_cast<std::int16_t>(option));
    Repaint();
    // Dots only where the lines cross.
    EXPECT_EQ(Pixel(40, kHeight - 40), g_colourTable[static_cast<std::size_t>(index)] & kColourMask)
        << option;
    EXPECT_EQ(Pixel(40, kHeight - 41), Background());
    EXPECT_EQ(Pixel(41, kHeight - 40), Background());
  }
}

TEST_F(DrawingWindowTest, GridLineOnTheLastColumnAndRowIsDrawn) {
  SetOptionShort(kOptionGridShow, 1);
  SetOptionShort(kOptionGridColour, 1);
  SetZoom(8, kWidth - 1, kHeight - 1);
  Repaint();
  EXPECT_EQ(Pixel(kWidth - 1, 5), UiColour(8) & kColourMask);
  EXPECT_EQ(Pixel(5, kHeight - 1), UiColour(8) & kColourMask);
}

TEST_F(DrawingWindowTest, IsometricGridCrossesTheWindowBothWays) {
  SetOptionShort(kOptionGridShow, 1);
  SetOptionShort(kOptionGridLayout, 1);
  SetOptionShort(kOptionGridColour, 1);
  Repaint();
  const ColourRef grid = UiColour(8) & kColourMask;
  int rising = 0;
  int marked = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (Pixel(x, y) != grid) continue;
      ++marked;
      if (x + 2 < kWidth && y - 1 >= 0 && Pixel(x + 2, y - 1) == grid) ++rising;
    }
  }
  EXPECT_GT(marked, kWidth);
  EXPECT_GT(rising, 0);
  // No horizontal or vertical lines in this layout.
  int fullColumn = 0;
  for (int x = 0; x < kWidth; ++x) {
    int count = 0;
    for (int y = 0; y < kHeight; ++y) count += Pixel(x, y) == grid ? 1 : 0;
    if (count == kHeight) ++fullColumn;
  }
  EXPECT_EQ(fullColumn, 0);
}

TEST_F(DrawingWindowTest, BadGridShowIsReportedAndReset) {
  SetOptionShort(kOptionGridShow, 7);
  Repaint();
  EXPECT_EQ(m_window->IsGridShown(), 0);
  EXPECT_EQ(GetOptionShort(kOptionGridShow), 0);
  ExpectGlitch(3601, 1);
}

TEST_F(DrawingWindowTest, BadGridModeIsReportedAndReset) {
  m_window->SetGridMode(5);
  Repaint();
  EXPECT_EQ(m_window->IsGridShown(), 0);
  EXPECT_EQ(m_window->GetGridMode(), kGridByOptions);
  ExpectGlitch(3601, 2);
}

TEST_F(DrawingWindowTest, NoDocumentPaintsNothing) {
  m_window->SetDocument(nullptr);
  SetOptionShort(kOptionGridShow, 1);
  Repaint();
  // The background is erased; nothing else, not even the grid.
  EXPECT_EQ(Pixel(20, 5), Background());
  EXPECT_EQ(Pixel(20, kHeight - 20), Background());
}

// Device row 50 at zoom 8: drawing y 50 * 500 above the origin row.
int RowY(int row, int originRow, int scale) { return (originRow - row) * scale; }

TEST_F(DrawingWindowTest, ItemsInTheirColourModes) {
  const int s = Scale();
  const int originRow = kHeight - 20;
  // Three horizontal lines: plain, chosen (selected bit), invisible.
  Add(MakeLine(0, RowY(30, originRow, s), 100 * s, RowY(30, originRow, s)));
  Add(MakeLine(0, RowY(50, originRow, s), 100 * s, RowY(50, originRow, s)));
  Add(MakeLine(0, RowY(70, originRow, s), 100 * s, RowY(70, originRow, s), kBlue));
  m_doc.GetItem(1)->Select();
  m_doc.GetItem(2)->SetInvisible();

  Repaint();
  EXPECT_EQ(Pixel(40, 30), kRed);
  EXPECT_EQ(Pixel(40, 50), kRed) << "a selected item in its own colour while not shown";
  EXPECT_EQ(Pixel(40, 70), Background()) << "an invisible item is never drawn";

  m_window->SetSelectionShown(1);
  Repaint();
  EXPECT_EQ(Pixel(40, 30), kRed);
  EXPECT_EQ(Pixel(40, 50), g_highlightColour & kColourMask);
  EXPECT_EQ(Pixel(40, 70), Background());

  // The override colour goes to the unselected items only.
  m_window->SetOverrideColour(static_cast<int>(kBlue));
  Repaint();
  EXPECT_EQ(Pixel(40, 30), kBlue);
  EXPECT_EQ(Pixel(40, 50), g_highlightColour & kColourMask);
  EXPECT_EQ(Pixel(40, 70), Background());
}

TEST_F(DrawingWindowTest, ItemsInListOrder) {
  const int s = Scale();
  Add(MakeLine(0, RowY(40, kHeight - 20, s), 100 * s, RowY(40, kHeight - 20, s), kRed));
  Add(MakeLine(50 * s, 0, 50 * s, 100 * s, kBlue));  // vertical, crosses the first at (70, 40)
  Repaint();
  EXPECT_EQ(Pixel(70, 40), kBlue);
}

TEST_F(DrawingWindowTest, SetDocumentGivesTheWindowSize) {
  EXPECT_EQ(m_doc.GetWindowWidth(), kWidth);
  EXPECT_EQ(m_doc.GetWindowHeight(), kHeight);
}

// ---- Overlays ----

TEST_F(DrawingWindowTest, AnyOverlayDrawnTwiceLeavesTheBufferAsItWas) {
  SetOptionShort(kOptionGridShow, 1);
  const int s = Scale();
  Add(MakeLine(0, 0, 120 * s, 90 * s));
  Repaint();
  const QImage before = m_window->BackBuffer().copy();
  struct Overlay {
    const char* name;
    std::function<void()> draw;
  };
  g_snapPoint = {30 * s, 40 * s};
  const Overlay overlays[] = {
      {"mark", [&] { m_window->DrawMark(10 * s, 10 * s, nullptr, 0); }},
      {"mark at the edge", [&] { m_window->DrawMark(-20 * s, -18 * s, nullptr, 0); }},
      {"grip", [&] { m_window->DrawGrip(30 * s, 30 * s, nullptr, 0); }},
      {"grip on the line", [&] { m_window->DrawGrip(40 * s, 30 * s, nullptr, 0); }},
      {"vertical guide line",
       [&] {
         m_window->SetGuideVertical(1);
         m_window->MoveGuideLine(m_window->GetGuidePosition() == -1 ? 1 : 0);
       }},
      {"horizontal guide line",
       [&] {
         m_window->SetGuideVertical(0);
         m_window->MoveGuideLine(m_window->GetGuidePosition() == -1 ? 1 : 0);
       }},
  };
  for (const Overlay& overlay : overlays) {
    SCOPED_TRACE(overlay.name);
    overlay.draw();
    EXPECT_NE(m_window->BackBuffer(), before);
    overlay.draw();
    EXPECT_EQ(m_window->BackBuffer(), before);
  }
  // The rubber band: shown while dragged, and gone when hidden.
  m_window->StartRubberBand(15, 15);
  m_window->TrackRubberBand(0, 60, 45);
  EXPECT_NE(m_window->BackBuffer(), before);
  m_window->TrackRubberBand(0, 90, 25);
  m_window->HideRubberBand();
  EXPECT_EQ(m_window->BackBuffer(), before);
}

TEST_F(DrawingWindowTest, MarkCrossWithItsEndPixels) {
  m_window->DrawMark(0, 0, nullptr, 1);
  const int u = 20;
  const int v = kHeight - 20;
  const ColourRef ink = (g_colourTable[15] ^ g_backgroundColour) & kColourMask;
  for (int k : {-4, -3, -1, 1, 3, 4}) {
    EXPECT_EQ(Pixel(u + k, v + k), ink) << k;
    EXPECT_EQ(Pixel(u + k, v - k), ink) << k;
  }
  // Both diagonals pass the centre, so it is combined twice.
  EXPECT_EQ(Pixel(u, v), Background());
  EXPECT_EQ(Pixel(u + 5, v + 5), Background());
}

TEST_F(DrawingWindowTest, MarksToggleByPixelAndKeepTheirOrder) {
  const int s = Scale();
  EXPECT_EQ(m_window->ToggleMark(s, s), 1);
  EXPECT_EQ(m_window->ToggleMark(s + 1, s), 1) << "same pixel: removed";
  EXPECT_EQ(m_window->GetMarkCount(), 0);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(m_window->ToggleMark(i * 10 * s, i * 7 * s), 1);
  EXPECT_EQ(m_window->ToggleMark(50 * s, 50 * s), 0) << "a fifth mark is refused";
  EXPECT_EQ(m_window->GetMarkCount(), 4);
  EXPECT_EQ(m_window->ToggleMark(20 * s, 14 * s), 1);
  ASSERT_EQ(m_window->GetMarkCount(), 3);
  EXPECT_EQ(m_window->GetMark(0), (DrawingPoint{10 * s, 7 * s}));
  EXPECT_EQ(m_window->GetMark(1), (DrawingPoint{30 * s, 21 * s}));
  EXPECT_EQ(m_window->GetMark(2), (DrawingPoint{40 * s, 28 * s}));
}

TEST_F(DrawingWindowTest, MarksAndGripsSurviveARepaintAndClearCleanly) {
  const int s = Scale();
  Add(MakeLine(0, 0, 100 * s, 50 * s));
  Repaint();
  const QImage plain = m_window->BackBuffer().copy();
  m_window->DrawMark(10 * s, 10 * s, nullptr, 1);
  m_window->DrawGrip(60 * s, 30 * s, nullptr, 1);
  const QImage marked = m_window->BackBuffer().copy();
  Repaint();
  EXPECT_EQ(m_window->BackBuffer(), marked);
  m_window->ClearMarks();
  m_window->ClearGrips();
  EXPECT_EQ(m_window->BackBuffer(), plain);
  EXPECT_EQ(m_window->GetMarkCount(), 0);
  EXPECT_EQ(m_window->GetGripCount(), 0);
}

TEST_F(DrawingWindowTest, GripsFoundNearTheCursor) {
  const int s = Scale();
  m_window->DrawGrip(40 * s, 40 * s, nullptr, 1);
  m_window->DrawGrip(40 * s + 1, 40 * s, nullptr, 1);  // the same pixel: removed again
  EXPECT_EQ(m_window->GetGripCount(), 0);
  m_window->DrawGrip(40 * s, 40 * s, nullptr, 1);
  m_window->DrawGrip(80 * s, 10 * s, nullptr, 1);
  EXPECT_EQ(m_window->FindGrip(60, kHeight - 60), 0);
  EXPECT_EQ(m_window->FindGrip(61, kHeight - 60), -1);
  g_cursorPoint = {45 * s, 35 * s};
  EXPECT_EQ(m_window->FindGripAtCursor(), 0) << "5 pixels away both ways";
  g_cursorPoint = {46 * s, 40 * s};
  EXPECT_EQ(m_window->FindGripAtCursor(), -1) << "6 pixels away";
  int x = 0;
  int y = 0;
  g_cursorPoint = {70 * s, 15 * s};
  EXPECT_EQ(m_window->FindNearestGrip(x, y), 1);
  EXPECT_EQ(x, 80 * s);
  EXPECT_EQ(y, 10 * s);
}

TEST_F(DrawingWindowTest, GripsOfActiveItemsOncePerPixel) {
  const int s = Scale();
  Add(MakeLine(0, 0, 40 * s, 0));
  Add(MakeLine(40 * s, 0, 40 * s, 30 * s));
  Add(MakeLine(90 * s, 0, 90 * s, 30 * s));
  m_doc.GetItem(2)->Select();  // dormant while a choice is shown
  m_window->ShowGripsOfActive();
  EXPECT_EQ(m_window->GetGripCount(), 3);
  EXPECT_EQ(m_window->FindGrip(20 + 40, kHeight - 20), 1);
  EXPECT_EQ(m_window->FindGrip(20 + 90, kHeight - 20), -1);
}

TEST_F(DrawingWindowTest, RubberBandSizeAndCtrlTravel) {
  m_window->StartRubberBand(50, 50);
  m_window->UpdateRubberBand(0, 52, 51);
  EXPECT_EQ(m_window->IsRubberBandVisible(), 0) << "2 by 1 is not shown";
  m_window->UpdateRubberBand(0, 52, 52);
  EXPECT_EQ(m_window->IsRubberBandVisible(), 1) << "2 by 2 is";
  m_window->UpdateRubberBand(0, 40, 70);
  EXPECT_EQ(m_window->GetRubberBandRect(), (DcRect{40, 50, 50, 70}));
  m_window->UpdateRubberBand(kMkControl, 45, 80);  // the whole band moves by (5, 10)
  EXPECT_EQ(m_window->GetRubberBandRect(), (DcRect{45, 60, 55, 80}));
}

TEST_F(DrawingWindowTest, Screenshot) {
  SetOptionShort(kOptionGridShow, 1);
  SetOptionShort(kOptionGridColour, 1);
  const int s = Scale();
  Add(MakeLine(0, 0, 120 * s, 0));
  Add(MakeLine(120 * s, 0, 120 * s, 80 * s, kBlue));
  Add(MakeLine(120 * s, 80 * s, 0, 0));
  Repaint();
  m_window->ShowGripsOfActive();
  m_window->DrawMark(60 * s, 40 * s, nullptr, 1);
  m_window->StartRubberBand(150, 20);
  m_window->TrackRubberBand(0, 190, 60);
  const QString path = RenderPath(QStringLiteral("drawing_window.png"));
  ASSERT_TRUE(m_window->BackBuffer().save(path));
  EXPECT_EQ(m_window->GetGripCount(), 3);
}

}  // namespace
}  // namespace zeph::testing
