#include "items/fillitem.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "items/boundaryloop.h"
#include "items/floodedge.h"
#include "items/geometry.h"
#include "items/hatch.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "platform/recordingcontext.h"
#include "support/constants.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/options.h"
#include "support/printer.h"
#include "support/screen.h"
#include "support/textfile.h"

namespace {

using zeph::CRecordingContext;
using zeph::DcCall;
using zeph::DcOp;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Pt {
  int x;
  int y;
};

std::unique_ptr<CBoundaryLoop> Polygon(std::initializer_list<Pt> vertices) {
  auto loop = std::make_unique<CBoundaryLoop>();
  for (const Pt& p : vertices) {
    std::unique_ptr<CFloodEdge> edge = CreateFloodEdge(kEdgeLine);
    edge->SetStart(p.x, p.y);
    EXPECT_EQ(loop->Append(std::move(edge)), 1);
  }
  loop->JoinEnds();
  return loop;
}

std::unique_ptr<CBoundaryLoop> Square(int x0, int y0, int x1, int y1) {
  return Polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

// The square (0, 0)-(100000, 100000) with the square hole (40000, 40000)-(60000, 60000).
std::unique_ptr<CFillItem> RingFill(int style) {
  auto fill = std::make_unique<CFillItem>();
  fill->AttachBoundary(Square(0, 0, 100000, 100000));
  fill->AddHole(Square(40000, 40000, 60000, 60000));
  fill->SetFillStyle(style);
  fill->SetColour(static_cast<int>(zeph::MakeColour(200, 0, 0)));
  return fill;
}

// One family from its text ("angle,x,y,spacing,shift,n,dashes...").
std::unique_ptr<CHatchPattern> PatternOf(std::initializer_list<const char*> families) {
  auto pattern = std::make_unique<CHatchPattern>();
  for (const char* text : families) {
    auto line = std::make_unique<CHatchLine>();
    EXPECT_EQ(line->Parse(QString::fromLatin1(text)), 1) << text;
    EXPECT_EQ(pattern->AddLine(std::move(line)), 1) << text;
  }
  return pattern;
}

// 1000 drawing units per pixel; drawing (0, 100000) at device (10, 10), y downwards.
CViewMapping Mapping(int unitsPerPixel = 1000) {
  CViewMapping mapping;
  mapping.scaleX = mapping.scaleY = unitsPerPixel;
  mapping.originX = -10 * unitsPerPixel;
  mapping.originY = 100000 + 10 * unitsPerPixel;
  return mapping;
}

// The pixels a recording paints: horizontal and vertical lines (end pixel left out), pixels
// and filled rectangles.
std::set<std::pair<int, int>> PaintedPixels(const CRecordingContext& dc) {
  std::set<std::pair<int, int>> pixels;
  zeph::DcPoint at;
  for (const DcCall& call : dc.calls()) {
    switch (call.op) {
      case DcOp::kMoveTo:
        at = call.points[0];
        break;
      case DcOp::kLineTo: {
        const zeph::DcPoint to = call.points[1];
        if (at.y == to.y) {
          for (int x = std::min(at.x, to.x); x <= std::max(at.x, to.x); ++x) {
            if (x != to.x) pixels.insert({x, at.y});
          }
        } else if (at.x == to.x) {
          for (int y = std::min(at.y, to.y); y <= std::max(at.y, to.y); ++y) {
            if (y != to.y) pixels.insert({at.x, y});
          }
        }
        at = to;
        break;
      }
      case DcOp::kSetPixel:
        pixels.insert({call.points[0].x, call.points[0].y});
        break;
      case DcOp::kFillRect:
        for (int y = call.rect.top; y < call.rect.bottom; ++y) {
          for (int x = call.rect.left; x < call.rect.right; ++x) pixels.insert({x, y});
        }
        break;
      default:
        break;
    }
  }
  return pixels;
}

// The painted runs of one row, as [first, last] column pairs.
std::vector<std::pair<int, int>> RowRuns(const std::set<std::pair<int, int>>& pixels, int row) {
  std::vector<std::pair<int, int>> runs;
  for (const auto& [x, y] : pixels) {
    if (y != row) continue;
    if (!runs.empty() && runs.back().second + 1 == x) {
      runs.back().second = x;
    } else {
      runs.push_back({x, x});
    }
  }
  return runs;
}

int CountOps(const CRecordingContext& dc, DcOp op) {
  return static_cast<int>(std::count_if(dc.calls().begin(), dc.calls().end(),
                                        [op](const DcCall& c) { return c.op == op; }));
}

// Whether the log ring holds the record (code, phase + value).
bool Logged(int code, int phase, int value) {
  for (int i = 0; i < g_logPosition; ++i) {
    if (g_logCodes[i] == code && g_logValues[i] == phase + value) return true;
  }
  return false;
}

// A document that answers undo requests as told, and takes over the hatch pattern when it
// answers 1 to kind 26, as the real journal does.
class CFillTestDocument final : public IItemDocument {
 public:
  std::int16_t answer = 1;
  std::vector<std::pair<UndoKind, const CDrawItem*>> records;
  std::vector<std::pair<int, int>> moves;
  int changed = 0;
  std::vector<std::unique_ptr<CHatchPattern>> keptPatterns;
  int fillPosition = 0;  // 0: the fill is not in the leading block
  int fillCount = 0;

  std::int16_t RecordItemChange(UndoKind kind, CDrawItem* item) override {
    records.push_back({kind, item});
    if (answer == 1 && kind == UndoKind::kHatchPattern && item->GetHatchPattern() != nullptr) {
      keptPatterns.emplace_back(item->GetHatchPattern());
    }
    return answer;
  }
  std::int16_t RecordItemMove(UndoKind kind, CDrawItem* item, int dx, int dy) override {
    records.push_back({kind, item});
    moves.push_back({dx, dy});
    return answer;
  }
  int EnableUndo(int) override { return 1; }
  void MarkChanged() override { ++changed; }
  void DropCachedIntersections(const CDrawItem*) override {}
  int FindCachedIntersections(const CDrawItem*, const CDrawItem*) override { return -1; }
  void CacheIntersections(int, const CDrawItem*, const CDrawItem*) override {}
  int MapGroupNumber(int group) override { return group; }
  int GetFillOrder(const CDrawItem*, int& position, int& count) const override {
    if (fillPosition == 0) return 0;
    position = fillPosition;
    count = fillCount;
    return 1;
  }
  QString GetFilePath() const override { return {}; }
  int GetItemCount() const override { return 0; }
  double GetPrintingScale() const override { return 0.0; }
  double GetAutomaticPrintScale() const override { return 1.0; }
  double GetRealWorldScale() const override { return 1.0; }
};

class FillItemTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAll(); }
  void TearDown() override { ResetAll(); }
  static void ResetAll() {
    ResetLogState();
    ResetFileStatus();
    ResetTextFileState();
    ResetPrinterState();
    ResetOptionsState();
    ResetScreenState();
    ResetViewGlobals();
    ResetGeometryGlobals();
    ResetFillValueFields();
    ResetItemGlobals();
    ResetFloodEdgeState();
  }
};

// ---- Spans ----

struct ScanCase {
  const char* name;
  std::vector<int> spans;
  std::vector<int> hole;
  int answer;
  std::vector<int> after;
  int glitchNumber;  // 0: none
};

TEST_F(FillItemTest, SubtractScanSpans) {
  const ScanCase cases[] = {
      {"hole inside the one span", {0, 100}, {40, 60}, 2, {0, 40, 60, 100}, 0},
      {"hole in the second span", {0, 10, 20, 100}, {40, 60}, 2, {0, 10, 20, 40, 60, 100}, 0},
      {"two holes in one span", {0, 100}, {10, 20, 40, 60}, 4, {0, 10, 20, 40, 60, 100}, 0},
      {"zero-length hole span skipped", {0, 100}, {30, 30, 40, 60}, 2, {0, 40, 60, 100}, 0},
      {"hole starting where a span ends",
       {0, 10, 10, 100},
       {10, 20},
       2,
       {0, 10, 10, 10, 20, 100},
       0},
      {"hole over a gap", {0, 10, 20, 100}, {12, 15}, -1, {0, 10, 20, 100}, 3},
      {"hole beyond its span", {0, 50, 60, 100}, {40, 55}, -1, {0, 50, 60, 100}, 4},
      {"misfit after a cut undoes the cut", {0, 50}, {10, 20, 40, 60}, -1, {0, 50}, 4},
      {"no hole spans", {0, 100}, {}, 0, {0, 100}, 0},
      {"odd region count", {0, 100, 7}, {40, 60}, 0, {0, 100, 7}, 1},
      {"odd hole count", {0, 100}, {40, 60, 70}, 0, {0, 100}, 2},
  };
  for (const ScanCase& c : cases) {
    ResetLogState();
    std::vector<int> spans = c.spans;
    spans.resize(c.spans.size() + c.hole.size() + 2, -7);
    const int answer = SubtractScanSpans(static_cast<int>(c.spans.size()), spans,
                                         static_cast<int>(c.hole.size()), c.hole);
    EXPECT_EQ(answer, c.answer) << c.name;
    const std::size_t kept = c.spans.size() + static_cast<std::size_t>(std::max(answer, 0));
    EXPECT_EQ(std::vector<int>(spans.begin(), spans.begin() + static_cast<long>(kept)), c.after)
        << c.name;
    if (c.glitchNumber == 0) {
      EXPECT_EQ(g_glitchCount, 0) << c.name;
    } else {
      EXPECT_EQ(g_firstGlitchCode, 4102) << c.name;
      EXPECT_EQ(g_firstGlitchNumber, c.glitchNumber) << c.name;
    }
  }
}

TEST_F(FillItemTest, SubtractScanSpansNeedsRoom) {
  std::vector<int> spans = {0, 100};  // no room for the cut
  const std::vector<int> hole = {40, 60};
  EXPECT_EQ(SubtractScanSpans(2, spans, 2, hole), -1);
  EXPECT_EQ(spans, (std::vector<int>{0, 100}));
  EXPECT_EQ(g_firstGlitchCode, 4102);
}

TEST_F(FillItemTest, SubtractSegmentSpans) {
  // A slanted segment ordered by x.
  std::vector<int> xs = {0, 100, 0, 0, 0, 0};
  std::vector<int> ys = {0, 50, 0, 0, 0, 0};
  const std::vector<int> hx = {40, 60};
  const std::vector<int> hy = {20, 30};
  EXPECT_EQ(SubtractSegmentSpans(2, xs, ys, 2, hx, hy), 2);
  EXPECT_EQ(std::vector<int>(xs.begin(), xs.begin() + 4), (std::vector<int>{0, 40, 60, 100}));
  EXPECT_EQ(std::vector<int>(ys.begin(), ys.begin() + 4), (std::vector<int>{0, 20, 30, 50}));

  // A vertical segment is ordered by y.
  std::vector<int> vx = {5, 5, 0, 0};
  std::vector<int> vy = {0, 100, 0, 0};
  const std::vector<int> vhx = {5, 5};
  const std::vector<int> vhy = {40, 60};
  EXPECT_EQ(SubtractSegmentSpans(2, vx, vy, 2, vhx, vhy), 2);
  EXPECT_EQ(vy, (std::vector<int>{0, 40, 60, 100}));
  EXPECT_EQ(g_glitchCount, 0);

  // A misfit keeps the cuts made before it and answers what they added.
  std::vector<int> mx = {0, 50, 0, 0, 0, 0};
  std::vector<int> my = {0, 0, 0, 0, 0, 0};
  const std::vector<int> mhx = {10, 20, 40, 60};
  const std::vector<int> mhy = {0, 0, 0, 0};
  EXPECT_EQ(SubtractSegmentSpans(2, mx, my, 4, mhx, mhy), 2);
  EXPECT_EQ(std::vector<int>(mx.begin(), mx.begin() + 4), (std::vector<int>{0, 10, 20, 50}));
  EXPECT_EQ(g_firstGlitchCode, 4101);
  EXPECT_EQ(g_firstGlitchNumber, 4);
}

// ---- Solid painting ----

TEST_F(FillItemTest, SolidRingLeavesTheHoleAndTheOutermostRows) {
  auto fill = RingFill(kFillSolid);
  CRecordingContext dc;
  const CViewMapping mapping = Mapping();
  fill->Draw(&dc, &mapping, kDrawOwnColour, 0);
  const auto pixels = PaintedPixels(dc);

  // Rows 10 (y 100000) and 110 (y 0) are the outermost and stay empty.
  EXPECT_TRUE(RowRuns(pixels, 10).empty());
  EXPECT_TRUE(RowRuns(pixels, 110).empty());
  using Runs = std::vector<std::pair<int, int>>;
  EXPECT_EQ(RowRuns(pixels, 11), (Runs{{10, 110}}));
  EXPECT_EQ(RowRuns(pixels, 30), (Runs{{10, 110}}));            // above the hole: one span
  EXPECT_EQ(RowRuns(pixels, 60), (Runs{{10, 50}, {70, 110}}));  // through it: two
  EXPECT_EQ(RowRuns(pixels, 109), (Runs{{10, 110}}));
  // Every row between is painted once per span: one line and one end pixel.
  EXPECT_EQ(CountOps(dc, DcOp::kSetPixel), 99 + 21);
  for (const DcCall& call : dc.calls()) {
    if (call.op == DcOp::kSetPixel) {
      EXPECT_EQ(call.colour, zeph::MakeColour(200, 0, 0));
    }
  }
  EXPECT_EQ(dc.calls().back().op, DcOp::kSelectPen);  // the old pen back
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(FillItemTest, SpanWithinOnePixelPaintsThatPixel) {
  CFillItem fill;
  fill.AttachBoundary(Square(50000, 0, 50400, 100000));
  fill.SetFillStyle(kFillSolid);
  CRecordingContext dc;
  const CViewMapping mapping = Mapping();
  fill.Draw(&dc, &mapping, kDrawOwnColour, 0);
  EXPECT_EQ(CountOps(dc, DcOp::kLineTo), 0);
  EXPECT_EQ(CountOps(dc, DcOp::kSetPixel), 99);
  for (const DcCall& call : dc.calls()) {
    if (call.op == DcOp::kSetPixel) {
      EXPECT_EQ(call.points[0].x, 60);
    }
  }
}

TEST_F(FillItemTest, ColourModes) {
  g_highlightFillColour = zeph::MakeColour(1, 2, 3);
  g_backgroundColour = zeph::MakeColour(255, 255, 255);
  struct Case {
    int mode;
    zeph::ColourRef colour;
    bool xor_;
  } cases[] = {
      {kDrawOwnColour, zeph::MakeColour(200, 0, 0), false},
      {kDrawHighlight, zeph::MakeColour(1, 2, 3), false},
      {kDrawXor, zeph::MakeColour(200, 0, 0) ^ zeph::MakeColour(255, 255, 255), true},
      {static_cast<int>(zeph::MakeColour(0, 0, 9)), zeph::MakeColour(0, 0, 9), false},
  };
  auto fill = RingFill(kFillSolid);
  const CViewMapping mapping = Mapping();
  for (const auto& c : cases) {
    CRecordingContext dc;
    fill->Draw(&dc, &mapping, c.mode, 0);
    bool sawPixel = false;
    for (const DcCall& call : dc.calls()) {
      if (call.op != DcOp::kSetPixel) continue;
      sawPixel = true;
      EXPECT_EQ(call.colour, c.colour) << c.mode;
      EXPECT_EQ(call.rasterOp == zeph::RasterOp::kXor, c.xor_) << c.mode;
    }
    EXPECT_TRUE(sawPixel);
    EXPECT_EQ(dc.GetRasterOp(), zeph::RasterOp::kCopy) << c.mode;  // restored
  }
}

TEST_F(FillItemTest, MonochromePrinterPaintsGreyRowsAndIgnoresHighlight) {
  EXPECT_EQ(ColourToGrey(zeph::MakeColour(255, 0, 0)), zeph::kPaletteColourFlag | 0x4C4C4Cu);
  EXPECT_EQ(ColourToGrey(zeph::MakeColour(10, 20, 30)),
            zeph::kPaletteColourFlag | zeph::MakeColour(18, 18, 18));

  CFillItem fill;
  fill.AttachBoundary(Square(0, 0, 100000, 100000));
  fill.SetFillStyle(kFillSolid);
  fill.SetColour(static_cast<int>(zeph::MakeColour(255, 0, 0)));
  CRecordingContext dc;
  zeph::DeviceCaps caps;
  caps.width = 1000;
  caps.height = 1000;
  caps.colourBits = 1;
  dc.SetDeviceCaps(caps);
  dc.SetPrinting(true);
  CViewMapping mapping = Mapping();
  mapping.printScaleX = mapping.printScaleY = 1000.0;
  fill.Draw(&dc, &mapping, kDrawHighlight, 0);
  EXPECT_EQ(CountOps(dc, DcOp::kLineTo), 0);
  ASSERT_GT(CountOps(dc, DcOp::kFillRect), 0);
  for (const DcCall& call : dc.calls()) {
    if (call.op != DcOp::kFillRect) continue;
    EXPECT_EQ(call.colour, zeph::kPaletteColourFlag | 0x4C4C4Cu);
    EXPECT_EQ(call.rect.bottom, call.rect.top + 1);
  }
}

TEST_F(FillItemTest, StylesWithoutDrawingAndValidity) {
  struct Case {
    int style;
    int valid;
    bool drawGlitch;
  } cases[] = {
      {kFillSolid, 1, false}, {kFillHatch, 1, false}, {kFillBlend, 1, true}, {kFillImage, 0, true}};
  for (const auto& c : cases) {
    ResetLogState();
    auto fill = RingFill(c.style);
    EXPECT_EQ(fill->IsValid(), c.valid) << c.style;
    CRecordingContext dc;
    const CViewMapping mapping = Mapping();
    fill->Draw(&dc, &mapping, kDrawOwnColour, 0);
    if (c.drawGlitch) {
      EXPECT_EQ(g_firstGlitchCode, 1845) << c.style;
      EXPECT_EQ(g_firstGlitchNumber, 9001) << c.style;
      EXPECT_EQ(CountOps(dc, DcOp::kSetPixel) + CountOps(dc, DcOp::kLineTo), 0);
    } else {
      EXPECT_EQ(g_glitchCount, 0) << c.style;
    }
  }
  CFillItem empty;
  EXPECT_EQ(empty.IsValid(), 0);
  CFillItem twoEdges;
  twoEdges.AttachBoundary(Polygon({{0, 0}, {100, 100}}));
  EXPECT_EQ(twoEdges.IsValid(), 0);
  CRecordingContext dc;
  const CViewMapping mapping = Mapping();
  empty.Draw(&dc, &mapping, kDrawOwnColour, 0);  // no loop: nothing at all
  EXPECT_TRUE(dc.calls().empty());
}

// ---- Hatch painting ----

TEST_F(FillItemTest, HatchFamiliesAreCutByTheHole) {
  struct Case {
    const char* family;
    bool vertical;
  } cases[] = {{"90,5000,0,10000,0,0", true}, {"180,0,5000,10000,0,0", false}};
  for (const auto& c : cases) {
    auto fill = RingFill(kFillHatch);
    fill->AttachHatchPattern(PatternOf({c.family}));
    CRecordingContext dc;
    const CViewMapping mapping = Mapping();
    fill->Draw(&dc, &mapping, kDrawOwnColour, 0);
    // Ten lines at 5000, 15000, ... 95000; the two through the hole come in two pieces.
    std::map<int, std::vector<std::pair<int, int>>> pieces;  // by line position
    zeph::DcPoint at;
    for (const DcCall& call : dc.calls()) {
      if (call.op == DcOp::kMoveTo) at = call.points[0];
      if (call.op != DcOp::kLineTo) continue;
      const zeph::DcPoint to = call.points[1];
      if (c.vertical) {
        EXPECT_EQ(at.x, to.x) << c.family;
        pieces[at.x].push_back({std::min(at.y, to.y), std::max(at.y, to.y)});
      } else {
        EXPECT_EQ(at.y, to.y) << c.family;
        pieces[at.y].push_back({std::min(at.x, to.x), std::max(at.x, to.x)});
      }
    }
    ASSERT_EQ(pieces.size(), 10u) << c.family;
    for (const auto& [position, list] : pieces) {
      const bool throughHole = position == 55 || position == 65;
      EXPECT_EQ(list.size(), throughHole ? 2u : 1u) << c.family << " at " << position;
      if (!throughHole) {
        EXPECT_EQ(list[0], (std::pair<int, int>{10, 110})) << c.family;
      }
    }
    const auto& split = pieces[55];
    ASSERT_EQ(split.size(), 2u);
    EXPECT_TRUE(
        (split[0] == std::pair<int, int>{10, 50} && split[1] == std::pair<int, int>{70, 110}) ||
        (split[1] == std::pair<int, int>{10, 50} && split[0] == std::pair<int, int>{70, 110}))
        << c.family;
    EXPECT_EQ(g_glitchCount, 0) << c.family;
  }
}

TEST_F(FillItemTest, TooDenseHatchIsLeftOutAndPaintingEnds) {
  auto fill = RingFill(kFillHatch);
  // 0.001 units apart over a box of 100000 units: 10^8 lines.
  fill->AttachHatchPattern(PatternOf({"45,0,0,0.001,0,0", "90,5000,0,10000,0,0"}));
  CRecordingContext dc;
  const CViewMapping mapping = Mapping();
  fill->Draw(&dc, &mapping, kDrawOwnColour, 0);
  EXPECT_TRUE(Logged(1845, 5, kLogInvalid));
  EXPECT_EQ(CountOps(dc, DcOp::kLineTo), 12);  // the second family is still drawn
}

TEST_F(FillItemTest, ShallowHatchFarFromItsOriginStaysOnItsLines) {
  // At 0.0012 degrees and 100000 apart, neighbouring lines meet a horizontal line 4.8e9 units
  // apart, so the first line's start lies outside the coordinate range.
  const double degrees = 0.0012;
  const double ox = 1e9;
  const double oy = 3000;
  const double spacing = 100000;
  auto fill = RingFill(kFillHatch);
  fill->AttachHatchPattern(PatternOf({"0.0012,1000000000,3000,100000,0,0"}));
  CRecordingContext dc;
  const CViewMapping mapping = Mapping();
  fill->Draw(&dc, &mapping, kDrawOwnColour, 0);

  // The rows of the family's lines over the square's middle.
  const double a = degrees * g_radiansPerDegree;
  std::set<int> rows;
  for (int k = -5; k <= 5; ++k) {
    const double y = oy + (50000 - ox) * std::tan(a) + k * spacing / std::cos(a);
    if (y > 0 && y < 100000) rows.insert(static_cast<int>(std::lround((110000 - y) / 1000)));
  }
  ASSERT_EQ(rows.size(), 1u);
  zeph::DcPoint at;
  int lines = 0;
  for (const DcCall& call : dc.calls()) {
    if (call.op == DcOp::kMoveTo) at = call.points[0];
    if (call.op != DcOp::kLineTo) continue;
    ++lines;
    EXPECT_EQ(std::min(at.x, call.points[1].x), 10);
    EXPECT_EQ(std::max(at.x, call.points[1].x), 110);
    EXPECT_EQ(at.y, *rows.begin());
    EXPECT_EQ(call.points[1].y, *rows.begin());
  }
  EXPECT_EQ(lines, 1);
}

// ---- Picking ----

TEST_F(FillItemTest, PickDistance) {
  auto fill = RingFill(kFillSolid);
  const CViewMapping mapping = Mapping(500);
  struct Case {
    const char* name;
    DrawingPoint cursor;
    double distance;
  } cases[] = {
      {"inside the ring", {20000, 20000}, 500.0 * 2},   {"in the hole", {50000, 50000}, kFarAway},
      {"on the hole's edge", {40000, 50000}, kFarAway}, {"on the outer edge", {0, 50000}, kFarAway},
      {"outside", {150000, 50000}, kFarAway},
  };
  for (const auto& c : cases) {
    g_cursorPoint = c.cursor;
    EXPECT_EQ(fill->GetPickDistance(&mapping), c.distance) << c.name;
    EXPECT_EQ(fill->IsInHole(c.cursor.x, c.cursor.y), (c.cursor.x >= 40000 && c.cursor.x <= 60000 &&
                                                       c.cursor.y >= 40000 && c.cursor.y <= 60000)
                                                          ? 1
                                                          : 0)
        << c.name;
  }
  CFillItem empty;
  g_cursorPoint = {20000, 20000};
  EXPECT_EQ(empty.GetPickDistance(&mapping), kFarAway);
  EXPECT_TRUE(Logged(1844, 1, kLogMinorFailure));
}

// ---- Moving, transforming, handles ----

TEST_F(FillItemTest, MoveByMovesLoopsNotTheHatch) {
  auto fill = RingFill(kFillHatch);
  ASSERT_EQ(fill->SetHatch(4, 0.0, 1.0), 1);
  const double originX = fill->GetHatchPattern()->GetLine(0)->GetOriginX();
  CFillTestDocument document;
  fill->SetDocument(&document);

  fill->MoveBy(0, 0);
  EXPECT_TRUE(document.records.empty());

  fill->MoveBy(1000, -2000);
  ASSERT_EQ(document.records.size(), 1u);
  EXPECT_EQ(document.records[0].first, UndoKind::kMove);
  EXPECT_EQ(document.moves[0], (std::pair<int, int>{1000, -2000}));
  EXPECT_EQ(document.changed, 1);
  EXPECT_EQ(fill->GetHandleX(0), 1000);
  EXPECT_EQ(fill->GetHandleY(0), -2000);
  EXPECT_EQ(fill->GetHandleX(4), 41000);  // the hole's first vertex
  EXPECT_EQ(fill->GetHatchPattern()->GetLine(0)->GetOriginX(), originX);

  document.answer = kUndoRefused;
  fill->MoveBy(5, 5);
  EXPECT_EQ(fill->GetHandleX(0), 1000);
  fill->SetDocument(nullptr);
}

TEST_F(FillItemTest, TransformTurnsLoopsAndTheHatchOfHatchedFills) {
  for (int style : {kFillSolid, kFillHatch}) {
    auto fill = RingFill(style);
    fill->AttachHatchPattern(PatternOf({"0,0,0,10000,0,0"}));
    CTransform rotation;
    rotation.SetRotation(90.0, 50000, 50000);
    fill->Transform(rotation);
    // (0, 0) turns to (100000, 0) about the centre.
    EXPECT_EQ(fill->GetHandleX(0), 100000) << style;
    EXPECT_EQ(fill->GetHandleY(0), 0) << style;
    EXPECT_EQ(fill->GetHandleX(4), 60000) << style;
    EXPECT_EQ(fill->GetHandleY(4), 40000) << style;
    const double angle = fill->GetHatchPattern()->GetLine(0)->GetAngle();
    EXPECT_NEAR(angle, style == kFillHatch ? g_halfPi : 0.0, 1e-12) << style;
  }
}

TEST_F(FillItemTest, HandlesWalkTheOuterLoopThenTheHoles) {
  CFillItem fill;
  EXPECT_EQ(fill.GetHandleCount(), 0);
  fill.AttachBoundary(Square(0, 0, 100, 100));
  fill.AddHole(Polygon({{10, 10}, {30, 10}, {20, 30}}));
  EXPECT_EQ(fill.GetHandleCount(), 7);
  EXPECT_EQ(fill.GetHandleX(5), 30);  // vertex 1 of the hole
  EXPECT_EQ(fill.GetHandleY(5), 10);

  fill.SetHandle(5, 35, 12);
  EXPECT_EQ(fill.GetHandleX(5), 35);
  EXPECT_EQ(fill.GetHole(0)->GetEdge(0)->GetEndX(), 35);  // the edge before follows
  fill.SetHandle(1, 110, 0);
  EXPECT_EQ(fill.GetBoundary()->GetEdge(1)->GetStartX(), 110);

  struct Bad {
    int handle;
    int glitch;
    int number;
  } bads[] = {{7, 1854, 4}, {-1, 1854, 2}};
  for (const auto& b : bads) {
    ResetLogState();
    EXPECT_EQ(fill.GetHandleX(b.handle), 0);
    EXPECT_EQ(g_firstGlitchCode, b.glitch) << b.handle;
    EXPECT_EQ(g_firstGlitchNumber, b.number) << b.handle;
  }
  ResetLogState();
  fill.SetHandle(7, 1, 1);
  EXPECT_EQ(g_firstGlitchCode, 1850);
  EXPECT_EQ(g_firstGlitchNumber, 2);
  ResetLogState();
  EXPECT_EQ(fill.GetHole(1), nullptr);
  EXPECT_EQ(g_firstGlitchCode, 1846);

  CFillItem empty;
  ResetLogState();
  empty.SetHandle(0, 1, 1);
  EXPECT_EQ(g_firstGlitchCode, 1850);
  EXPECT_EQ(g_firstGlitchNumber, 1);
}

TEST_F(FillItemTest, HoleArrayGrows) {
  CFillItem fill;
  fill.AttachBoundary(Square(0, 0, 100000, 100000));
  for (int i = 0; i < 45; ++i) {
    const int x = 1000 + (i % 9) * 10000;
    const int y = 1000 + (i / 9) * 10000;
    fill.AddHole(Square(x, y, x + 100, y + 100));
  }
  EXPECT_EQ(fill.GetHoleCount(), 45);
  EXPECT_EQ(fill.GetHandleCount(), 4 + 45 * 4);
  EXPECT_EQ(fill.IsInHole(81050, 41050), 1);  // hole 44
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(FillItemTest, BoundingBox) {
  auto fill = RingFill(kFillSolid);
  fill->CalcBoundingBox(nullptr);
  EXPECT_EQ(g_itemBounds.minX, 0);
  EXPECT_EQ(g_itemBounds.maxY, 100000);
  CFillItem empty;
  empty.CalcBoundingBox(nullptr);
  EXPECT_EQ(g_firstGlitchCode, 1847);
}

// ---- Style, hatch setters and undo ----

TEST_F(FillItemTest, SetFillStyle) {
  CFillItem fill;
  fill.SetFillStyle(7);
  EXPECT_EQ(fill.GetFillStyle(), kFillSolid);
  EXPECT_EQ(g_firstGlitchCode, 1849);
  EXPECT_EQ(g_firstGlitchNumber, 0);

  CFillTestDocument document;
  fill.SetDocument(&document);
  fill.SetFillStyle(kFillSolid);  // unchanged: nothing recorded
  EXPECT_TRUE(document.records.empty());
  fill.SetFillStyle(kFillHatch);
  ASSERT_EQ(document.records.size(), 1u);
  EXPECT_EQ(document.records[0].first, UndoKind::kFillStyle);
  EXPECT_EQ(fill.GetFillStyle(), kFillHatch);
  document.answer = kUndoRefused;
  fill.SetFillStyle(kFillBlend);
  EXPECT_EQ(fill.GetFillStyle(), kFillHatch);
  fill.SetDocument(nullptr);
}

TEST_F(FillItemTest, ReplacedPatternsGoToTheJournalOrAreFreed) {
  auto fill = RingFill(kFillHatch);
  // Without a document the old pattern is freed (the leak checker would see it otherwise).
  ASSERT_EQ(fill->SetHatch(0, 0.0, 1.0), 1);
  ASSERT_EQ(fill->SetHatch(1, 0.0, 1.0), 1);
  EXPECT_EQ(fill->GetHatchPattern()->GetNumber(), g_hatchDefinitions[1].GetNumber());
  EXPECT_EQ(fill->IsHatched(), 1);

  CFillTestDocument document;
  fill->SetDocument(&document);
  // Answer 1: the journal holds the old pattern now.
  CHatchPattern* before = fill->GetHatchPattern();
  ASSERT_EQ(fill->SetHatch(2, 0.0, 1.0), 1);
  ASSERT_EQ(document.keptPatterns.size(), 1u);
  EXPECT_EQ(document.keptPatterns[0].get(), before);
  EXPECT_NE(fill->GetHatchPattern(), before);
  EXPECT_EQ(document.records.back().first, UndoKind::kHatchPattern);
  EXPECT_EQ(document.changed, 1);

  // Answer 0 (recording off): the old pattern is freed here.
  document.answer = 0;
  ASSERT_EQ(fill->SetHatch(3, 0.0, 1.0), 1);
  EXPECT_EQ(document.keptPatterns.size(), 1u);

  // Refused: nothing changes, the new pattern is dropped.
  document.answer = kUndoRefused;
  before = fill->GetHatchPattern();
  EXPECT_EQ(fill->SetHatch(4, 0.0, 1.0), 0);
  EXPECT_EQ(fill->GetHatchPattern(), before);
  EXPECT_EQ(fill->SetHatchAngle(1.0), 0);
  EXPECT_EQ(fill->SetHatchSpacing(2.0), 0);
  EXPECT_EQ(fill->GetHatchPattern(), before);
  fill->SetDocument(nullptr);

  // Undo swaps patterns through detach and attach.
  std::unique_ptr<CHatchPattern> taken = fill->DetachHatchPattern();
  EXPECT_EQ(taken.get(), before);
  EXPECT_EQ(fill->IsHatched(), 0);
  fill->AttachHatchPattern(std::move(taken));
  EXPECT_EQ(fill->GetHatchPattern(), before);
}

TEST_F(FillItemTest, HatchSettersRefuseDegenerateValues) {
  auto fill = RingFill(kFillHatch);
  EXPECT_EQ(fill->SetHatchAngle(0.5), 0);      // no pattern yet
  EXPECT_EQ(fill->SetHatch(27, 0.0, 1.0), 0);  // no such definition
  EXPECT_EQ(fill->GetHatchPattern(), nullptr);
  EXPECT_EQ(fill->SetHatch(4, 0.0, 0.0), 0);
  EXPECT_EQ(fill->GetHatchPattern(), nullptr);
  ASSERT_EQ(fill->SetHatch(4, 0.0, 1.0), 1);
  const CHatchPattern* pattern = fill->GetHatchPattern();
  const double spacing = pattern->GetLine(0)->GetSpacing();
  for (double scale : {0.0, -1.0, kNaN, std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(fill->SetHatchSpacing(scale), 0) << scale;
    EXPECT_EQ(fill->GetHatchPattern(), pattern) << scale;
  }
  EXPECT_EQ(fill->SetHatchAngle(kNaN), 0);
  EXPECT_EQ(fill->GetHatchPattern(), pattern);

  // The present values change nothing and answer 1.
  CFillTestDocument document;
  fill->SetDocument(&document);
  EXPECT_EQ(fill->SetHatchAngle(pattern->GetAngle()), 1);
  EXPECT_EQ(fill->SetHatchSpacing(pattern->GetScale()), 1);
  EXPECT_TRUE(document.records.empty());

  ASSERT_EQ(fill->SetHatchSpacing(2.0), 1);
  EXPECT_NEAR(fill->GetHatchPattern()->GetLine(0)->GetSpacing(), 2 * spacing, 1e-9);
  EXPECT_NEAR(fill->GetHatchPattern()->GetScale(), 2.0, 1e-12);
  ASSERT_EQ(fill->SetHatchAngle(0.25), 1);
  EXPECT_NEAR(fill->GetHatchPattern()->GetAngle(), 0.25, 1e-12);
  EXPECT_EQ(document.records.size(), 2u);
  fill->SetDocument(nullptr);
}

// ---- Copies and records ----

TEST_F(FillItemTest, CopyIsDeep) {
  auto fill = RingFill(kFillHatch);
  ASSERT_EQ(fill->SetHatch(5, 0.3, 2.0), 1);
  fill->SetObjectNumber(12);
  CFillItem copy;
  copy.CopyFrom(fill.get());
  EXPECT_EQ(copy.GetFillStyle(), kFillHatch);
  EXPECT_EQ(copy.GetColour(), fill->GetColour());
  EXPECT_EQ(copy.GetObjectNumber(), 12);
  EXPECT_EQ(copy.GetHoleCount(), 1);
  ASSERT_NE(copy.GetHatchPattern(), nullptr);
  EXPECT_NE(copy.GetHatchPattern(), fill->GetHatchPattern());
  EXPECT_EQ(copy.GetHatchPattern()->GetLineCount(), fill->GetHatchPattern()->GetLineCount());

  const CViewMapping mapping = Mapping();
  CRecordingContext a;
  CRecordingContext b;
  fill->Draw(&a, &mapping, kDrawOwnColour, 0);
  copy.Draw(&b, &mapping, kDrawOwnColour, 0);
  EXPECT_EQ(a.Lines(), b.Lines());

  fill->MoveBy(5000, 0);
  EXPECT_EQ(copy.GetHandleX(0), 0);
}

TEST_F(FillItemTest, RecordsReadBackDrawTheSame) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("fill.txt"));
  auto fill = RingFill(kFillHatch);
  fill->AddHole(Square(10000, 10000, 20000, 20000));
  ASSERT_EQ(fill->SetHatch(7, 0.4, 1.5), 1);

  CTextFileWriter writer;
  ASSERT_EQ(writer.Open(path), 1);
  fill->GetBoundary()->Write(writer);
  writer.WriteInt(fill->GetHoleCount());
  for (int i = 0; i < fill->GetHoleCount(); ++i) fill->GetHole(i)->Write(writer);
  writer.WriteInt(fill->GetFillStyle());
  fill->GetHatchPattern()->Write(writer);
  writer.Close();
  ASSERT_EQ(g_fileStatus, kFileOk);

  CTextFileReader reader;
  ASSERT_EQ(reader.Open(path), 1);
  CFillItem back;
  auto outer = std::make_unique<CBoundaryLoop>();
  ASSERT_EQ(outer->Read(reader), 1);
  back.AttachBoundary(std::move(outer));
  int holes = 0;
  ASSERT_EQ(reader.ReadInt(holes), 1);
  for (int i = 0; i < holes; ++i) {
    auto hole = std::make_unique<CBoundaryLoop>();
    ASSERT_EQ(hole->Read(reader), 1);
    back.AddHole(std::move(hole));
  }
  int style = 0;
  ASSERT_EQ(reader.ReadInt(style), 1);
  back.SetFillStyle(style);
  auto pattern = std::make_unique<CHatchPattern>();
  ASSERT_EQ(pattern->Read(reader), 1);
  back.AttachHatchPattern(std::move(pattern));
  back.SetColour(fill->GetColour());
  EXPECT_EQ(g_fileStatus, kFileOk);

  EXPECT_EQ(back.GetHandleCount(), fill->GetHandleCount());
  const CViewMapping mapping = Mapping();
  for (int s : {kFillHatch, kFillSolid}) {
    fill->SetFillStyle(s);
    back.SetFillStyle(s);
    CRecordingContext a;
    CRecordingContext b;
    fill->Draw(&a, &mapping, kDrawOwnColour, 0);
    back.Draw(&b, &mapping, kDrawOwnColour, 0);
    EXPECT_GT(a.calls().size(), 20u);
    EXPECT_EQ(a.Lines(), b.Lines()) << s;
  }
}

// ---- Values bar ----

TEST_F(FillItemTest, ValuesBar) {
  auto fill = RingFill(kFillSolid);
  fill->PublishProperties();
  EXPECT_EQ(g_valueFieldCount, 2);
  EXPECT_EQ(g_valueFieldIds[1], kFieldFillType);
  EXPECT_EQ(g_valueFillStyle, kFillSolid);
  EXPECT_EQ(g_valueColour, static_cast<int>(zeph::MakeColour(200, 0, 0)));

  fill->SetFillStyle(kFillHatch);
  ASSERT_EQ(fill->SetHatch(3, 0.5, 2.0), 1);
  fill->PublishProperties();
  EXPECT_EQ(g_valueFieldCount, 4);
  EXPECT_EQ(g_valueFieldIds[2], kFieldHatch);
  EXPECT_EQ(g_valueFieldIds[3], kFieldHatchAngleScale);
  EXPECT_EQ(g_valueHatchIndex, 3);
  EXPECT_NEAR(g_valueHatchAngle, 0.5, 1e-12);
  EXPECT_NEAR(g_valueHatchScale, 2.0, 1e-12);

  fill->PublishInformation();
  EXPECT_EQ(g_valueFieldCount, 2);
  EXPECT_EQ(g_valueFieldIds[0], kFieldFillEdges);
  EXPECT_EQ(g_valueFieldIds[1], kFieldPlottingOrder);
  EXPECT_EQ(g_valueEdgeCount, 4);
  EXPECT_EQ(g_valueHoleCount, 1);
  EXPECT_TRUE(g_valuePlottingOrder.isEmpty());

  CFillTestDocument document;
  document.fillPosition = 2;
  document.fillCount = 5;
  fill->SetDocument(&document);
  fill->PublishInformation();
  EXPECT_EQ(g_valuePlottingOrder, QStringLiteral("2 of 5"));
  document.fillPosition = 0;
  g_valuePlottingOrder = QStringLiteral("stale");
  fill->PublishInformation();
  EXPECT_TRUE(g_valuePlottingOrder.isEmpty());
  fill->SetDocument(nullptr);
}

}  // namespace
