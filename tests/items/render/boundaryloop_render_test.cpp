// The boundary of a region with a hole, traced from real items (lines, a circle, a curve and
// an ellipse) as the fill search records it, painted row by row from the loops' scan crossings
// (the outer loop strict, the hole inclusive, as a solid fill is painted) and outlined edge by
// edge, into a PNG under the build folder for a person to look at.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cmath>
#include <vector>

#include "items/arcitem.h"
#include "items/bezieritem.h"
#include "items/boundaryloop.h"
#include "items/ellipseitem.h"
#include "items/floodedge.h"
#include "items/lineitem.h"
#include "items/viewmapping.h"
#include "platform/qt/imagecontext.h"
#include "support/constants.h"
#include "support/log.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr zeph::ColourRef kFill = zeph::MakeColour(170, 210, 250);
constexpr zeph::ColourRef kOutline = zeph::MakeColour(0, 0, 0);

struct Point {
  double x = 0.0;
  double y = 0.0;
};

// Points along an edge from its start to its end, close enough for a smooth outline.
std::vector<Point> SampleEdge(const CFloodEdge& edge) {
  const Point start{static_cast<double>(edge.GetStartX()), static_cast<double>(edge.GetStartY())};
  const Point end{static_cast<double>(edge.GetEndX()), static_cast<double>(edge.GetEndY())};
  std::vector<Point> points;
  constexpr int kSteps = 200;
  // The counter-clockwise sweep from angle a to angle b (a whole turn when they are equal),
  // run backwards for a clockwise edge.
  auto sweep = [](double a, double b, int direction) {
    double turn = direction == kEdgeCounterClockwise ? b - a : a - b;
    while (turn <= 0.0) turn += g_twoPi;
    return direction == kEdgeCounterClockwise ? turn : -turn;
  };
  switch (edge.GetKind()) {
    case kEdgeArc: {
      double cx = 0, cy = 0, r = 0;
      const int direction = edge.GetArc(cx, cy, r);
      const double a = std::atan2(start.y - cy, start.x - cx);
      const double b = std::atan2(end.y - cy, end.x - cx);
      const double span = sweep(a, b, direction);
      for (int i = 0; i <= kSteps; ++i) {
        const double t = a + span * i / kSteps;
        points.push_back({cx + r * std::cos(t), cy + r * std::sin(t)});
      }
      break;
    }
    case kEdgeEllipse: {
      double cx = 0, cy = 0, rx = 0, ry = 0, rotation = 0;
      const int direction = edge.GetEllipseCentre(cx, cy);
      edge.GetEllipseShape(rx, ry, rotation);
      const double c = std::cos(rotation), s = std::sin(rotation);
      auto parameter = [&](const Point& p) {
        const double u = (p.x - cx) * c + (p.y - cy) * s;
        const double v = -(p.x - cx) * s + (p.y - cy) * c;
        return std::atan2(v / ry, u / rx);
      };
      const double a = parameter(start);
      const double span = sweep(a, parameter(end), direction);
      for (int i = 0; i <= kSteps; ++i) {
        const double t = a + span * i / kSteps;
        const double u = rx * std::cos(t), v = ry * std::sin(t);
        points.push_back({cx + u * c - v * s, cy + u * s + v * c});
      }
      break;
    }
    case kEdgeBezier: {
      const auto& curve = static_cast<const CBezierEdge&>(edge);
      curve.EnsureParameterRange();
      const double t0 = curve.GetStartParameter(), t1 = curve.GetEndParameter();
      for (int i = 0; i <= kSteps; ++i) {
        const double t = t0 + (t1 - t0) * i / kSteps;
        points.push_back({curve.EvaluateX(t), curve.EvaluateY(t)});
      }
      break;
    }
    default:
      points = {start, end};
      break;
  }
  return points;
}

void DrawOutline(zeph::CDrawContext& dc, const CViewMapping& mapping, const CBoundaryLoop& loop) {
  for (int i = 0; i < loop.GetCount(); ++i) {
    const std::vector<Point> points = SampleEdge(*loop.GetEdge(i));
    dc.MoveTo(mapping.DrawingToDeviceXReal(points[0].x), mapping.DrawingToDeviceYReal(points[0].y));
    for (std::size_t j = 1; j < points.size(); ++j) {
      dc.LineTo(mapping.DrawingToDeviceXReal(points[j].x),
                mapping.DrawingToDeviceYReal(points[j].y));
    }
  }
}

bool InSpans(const std::vector<int>& spans, int n, int x) {
  for (int k = 0; k + 1 < n; k += 2) {
    if (spans[static_cast<std::size_t>(k)] <= x && x <= spans[static_cast<std::size_t>(k) + 1]) {
      return true;
    }
  }
  return false;
}

TEST(BoundaryLoopRender, RegionWithAHoleTracedFromItems) {
  ResetLogState();
  // The outer boundary, counter-clockwise: a bottom line, the right half of a circle, a curve
  // back across the top and a line down the left side.
  CLineItem bottom;
  bottom.SetStart(10000, 10000);
  bottom.SetEnd(110000, 10000);
  CCircleItem circle;
  circle.SetCentre(110000, 50000);
  circle.SetRadius(40000);
  CBezierItem curve;
  curve.SetStart(110000, 90000);
  curve.SetEnd(10000, 90000);
  curve.SetControlPoint(0, 80000, 130000);
  curve.SetControlPoint(1, 40000, 50000);
  CLineItem left;
  left.SetStart(10000, 90000);
  left.SetEnd(10000, 10000);
  CBoundaryLoop outer;
  ASSERT_EQ(outer.AddEdge(0, 60000, &left, kDirectionDown, 100), 1);  // a lead-in
  ASSERT_EQ(outer.AddEdge(10000, 10000, &bottom, kDirectionRight, 101), 1);
  ASSERT_EQ(outer.AddEdge(110000, 10000, &circle, kDirectionCounterClockwise, 102), 1);
  ASSERT_EQ(outer.AddEdge(110000, 90000, &curve, kDirectionAlongCurve, 103), 1);
  ASSERT_EQ(outer.AddEdge(10000, 90000, &left, kDirectionDown, 104), 1);
  int x = 10000, y = 10000;
  ASSERT_EQ(outer.CloseAtPoint(x, y), 1);
  outer.JoinEnds();
  ASSERT_EQ(outer.GetCount(), 4);
  EXPECT_EQ(outer.GetSense(), 0);

  // The hole: a tilted ellipse, traced clockwise from the end of its major axis.
  CEllipseItem ellipse;
  ellipse.SetCentre(75000, 50000);
  ellipse.SetSemiAxes(25000, 12000);
  ellipse.SetRotation(0.5);
  CBoundaryLoop hole;
  ASSERT_EQ(hole.AddEdge(75000 + static_cast<int>(std::lround(25000 * std::cos(0.5))),
                         50000 + static_cast<int>(std::lround(25000 * std::sin(0.5))), &ellipse,
                         kDirectionClockwise, 105),
            1);
  hole.JoinEnds();
  ASSERT_EQ(hole.IsValid(), 1);
  EXPECT_EQ(hole.GetSense(), 1);

  QImage image(640, 400, QImage::Format_RGB32);
  image.fill(kWhite);
  zeph::CImageContext dc(image);
  CViewMapping mapping;
  mapping.scaleX = mapping.scaleY = 300;  // drawing units per pixel
  mapping.originX = -5000;
  mapping.originY = 125000;

  std::vector<int> spans(static_cast<std::size_t>(outer.GetMaxCrossings()));
  std::vector<int> holeSpans(static_cast<std::size_t>(hole.GetMaxCrossings()));
  int rowsWithTwoSpans = 0;
  for (int row = 0; row < image.height(); ++row) {
    const int dy = mapping.DeviceToDrawingY(row, 0);
    const int n = outer.GetScanCrossings(dy, spans.data(), 0);
    const int k = hole.GetScanCrossings(dy, holeSpans.data(), 1);
    ASSERT_EQ(n % 2, 0) << dy;
    ASSERT_EQ(k % 2, 0) << dy;
    if (k > 0) ++rowsWithTwoSpans;
    for (int column = 0; column < image.width(); ++column) {
      const int dx = mapping.DeviceToDrawingX(column);
      if (InSpans(spans, n, dx) && !InSpans(holeSpans, k, dx)) dc.SetPixel(column, row, kFill);
    }
  }
  EXPECT_GT(rowsWithTwoSpans, 100);
  dc.SelectPen({zeph::PenStyle::kSolid, 1, kOutline});
  DrawOutline(dc, mapping, outer);
  DrawOutline(dc, mapping, hole);

  const QString path =
      QDir::current().absoluteFilePath(QStringLiteral("boundary_loop_with_hole.png"));
  EXPECT_TRUE(image.save(path)) << path.toStdString();

  auto pixelAt = [&](int drawingX, int drawingY) {
    return image.pixel(mapping.DrawingToDeviceX(drawingX), mapping.DrawingToDeviceY(drawingY));
  };
  const QRgb fill = qRgb(170, 210, 250);
  EXPECT_EQ(pixelAt(30000, 50000), fill);     // inside, left of the hole
  EXPECT_EQ(pixelAt(140000, 50000), fill);    // inside the circle's bulge
  EXPECT_EQ(pixelAt(60000, 80000), fill);     // under the curve
  EXPECT_EQ(pixelAt(75000, 50000), kWhite);   // the hole
  EXPECT_EQ(pixelAt(155000, 50000), kWhite);  // right of the circle
  EXPECT_EQ(pixelAt(85000, 112000), kWhite);  // above the curve's crest
  EXPECT_EQ(pixelAt(5000, 50000), kWhite);
  EXPECT_EQ(pixelAt(150000, 50000), qRgb(0, 0, 0));  // the outline at the rightmost point
  EXPECT_EQ(g_glitchCount, 0);
}

}  // namespace
