// The Shape tool: squares and regular polygons from one side, rectangles from two opposite
// corners, or placed with one click when their sizes are fixed. A shape's lines share one new
// group number and go into the drawing as one undo step.
#include <cmath>
#include <numbers>

#include "document/document.h"
#include "document/wholedrawing.h"
#include "editor/editdrawing.h"
#include "editor/editordialogs.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "editor/toolparams.h"
#include "items/geometry.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int kSubModeSquare = 0;
constexpr int kSubModeRectangle = 1;
constexpr int kMinimumSides = 3;
constexpr int kMaximumSides = 1000;

double AngleTo(const DrawingPoint& from, const DrawingPoint& to) {
  if (from == to) return 0.0;
  return AngleOf(static_cast<double>(to.y) - from.y, static_cast<double>(to.x) - from.x);
}

}  // namespace

void CEditDrawing::ClickPolygon() {
  LogScope trace(2439);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  IOwnerView& view = GetOwnerView();
  const bool square = g_shapeSubMode == kSubModeSquare;
  if (!square && (g_polygonSidesSet == 0 || g_polygonSides < kMinimumSides ||
                  g_polygonSides > kMaximumSides)) {
    // Until a number of sides is chosen a click only asks for it, at the release.
    if (m_clickStep >= 2) {
      m_clickStep = 0;
      std::int16_t sides = static_cast<std::int16_t>(g_polygonSides);
      if (GetEditorDialogs().ChoosePolygonSides(sides) != 0 && sides >= kMinimumSides &&
          sides <= kMaximumSides) {
        g_polygonSides = static_cast<std::uint16_t>(sides);
        g_polygonSidesSet = 1;
        view.DrawFieldValues();
      }
    }
    trace.Exit(kLogHandled, 1);
    return;
  }
  SetSnapDistance();
  const bool bothFixed = g_sideLengthSet != 0 && g_polygonRotationSet != 0;
  int mode = g_snapMode;
  if (mode == kSnapNone && g_sideLengthSet == 0 && g_polygonRotationSet == 0) mode = kSnapHunt;
  const int n = square ? 4 : g_polygonSides;
  if (m_clickStep == 0) {
    m_feedbackDrawn = 0;
    document->GetSelectedPoints().RemoveAll();
    if (MakeShapeLines(n) == 0) {
      trace.Exit(kLogMemory);
      return;
    }
    m_clickStep = 1;
    SetPrompt(kPromptShapeCorner);
  }
  if (GetShapeLineCount() != n) {
    SetGlitchValue(GetShapeLineCount());
    SetGlitchValue(n);
    ReportGlitch(2439, 1);
    m_shapeList.clear();
    m_clickStep = 0;
    trace.Exit(kLogInvalid);
    return;
  }
  if (m_clickStep == 2 && bothFixed) m_clickStep = 5;
  if (m_feedbackDrawn != 0) ToggleShapeFeedback();
  const double u = kTwoPi / n;  // the turn at each corner
  const double w = (std::numbers::pi - u) / 2.0;
  // The corners round the circumcircle of the side leaving first in the direction, on its
  // left; corner 1 is set here only when from is 0 (otherwise it is the second corner itself).
  const auto placeCorners = [&](const DrawingPoint& first, double side, double direction,
                                int from) {
    const double r = std::sin(w) * side / std::sin(u);
    const double cx = first.x + r * std::cos(direction + w);
    const double cy = first.y + r * std::sin(direction + w);
    double g = direction + w - std::numbers::pi + u;
    for (int i = 0; i <= n - 2; ++i, g += u) {
      if (i < from) continue;
      const int x = RoundToInt(cx + r * std::cos(g));
      const int y = RoundToInt(cy + r * std::sin(g));
      m_shapeList[static_cast<std::size_t>(i)]->SetEnd(x, y);
      m_shapeList[static_cast<std::size_t>(i + 1)]->SetStart(x, y);
    }
    m_shapeList[static_cast<std::size_t>(n - 1)]->SetEnd(first.x, first.y);
  };
  const int step = m_clickStep;
  DrawingPoint& first = m_toolGesture.first;
  if (step <= 2) {
    ClearMarks();
    SnapPoint(mode == kSnapGrid ? kSnapGrid : kSnapHunt);
    const DrawingPoint p = g_snapPoint;
    if (bothFixed) {
      // The whole polygon hangs from the snap point with its first side at the rotation.
      m_shapeList[0]->SetStart(p.x, p.y);
      placeCorners(p, g_sideLength, g_polygonRotation, 0);
      ToggleShapeFeedback();
    }
    ToggleSnapMark();
    if (step == 2) {
      first = p;
      m_shapeList[0]->SetStart(p.x, p.y);
      m_clickStep = 3;
      SetPrompt(kPromptPressDown);
    }
    ShowSnapPointValues(0);
  } else if (!bothFixed) {
    DrawingPoint q;
    if (mode != kSnapNone) {
      SnapPoint(mode);
      q = g_snapPoint;
      g_readoutAngle = AngleTo(first, q);
      g_readoutLength = VectorLength(q.x - first.x, q.y - first.y);
    } else {
      double angle = AngleTo(first, g_cursorPoint);
      double length = VectorLength(g_cursorPoint.x - first.x, g_cursorPoint.y - first.y);
      if (g_sideLengthSet != 0) length = g_sideLength;
      if (g_polygonRotationSet != 0) angle = g_polygonRotation;
      q = {first.x + TruncateToInt(std::cos(angle) * length),
           first.y + TruncateToInt(std::sin(angle) * length)};
      g_snapPoint = q;
      g_readoutAngle = angle;
      g_readoutLength = length;
    }
    m_shapeList[0]->SetEnd(q.x, q.y);
    m_shapeList[1]->SetStart(q.x, q.y);
    const double side =
        Hypot(static_cast<double>(q.x) - first.x, static_cast<double>(q.y) - first.y);
    placeCorners(first, side, AngleTo(first, q), 1);
    if (step <= 4) ToggleShapeFeedback();
    if (step == 4) ShowPromptText(kPromptShapeCorner);
    view.ShowShapeValues();
  }
  if (m_clickStep > 4) FinishShape();
  trace.Exit();
}

void CEditDrawing::ClickRectangle() {
  LogScope trace(2440);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  SetSnapDistance();
  const bool bothFixed = g_rectangleLengthSet != 0 && g_rectangleWidthSet != 0;
  int mode = g_snapMode;
  if (mode == kSnapNone && g_rectangleLengthSet == 0 && g_rectangleWidthSet == 0) {
    mode = kSnapHunt;
  }
  DrawingPoint& first = m_toolGesture.first;
  // Level with or straight above the first corner, a constrained corner is undefined: such an
  // event changes nothing, not even a release, and the next move settles it.
  if (m_clickStep > 2 && !bothFixed && mode == kSnapNone &&
      (g_cursorPoint.x == first.x || g_cursorPoint.y == first.y)) {
    trace.Exit(kLogHandled, 2);
    return;
  }
  if (m_clickStep == 0) {
    m_feedbackDrawn = 0;
    document->GetSelectedPoints().RemoveAll();
    if (MakeShapeLines(4) == 0) {
      trace.Exit(kLogMemory);
      return;
    }
    m_clickStep = 1;
    SetPrompt(kPromptRectangleCorner);
  }
  if (GetShapeLineCount() != 4) {
    SetGlitchValue(GetShapeLineCount());
    ReportGlitch(2440, 1);
    m_shapeList.clear();
    m_clickStep = 0;
    trace.Exit(kLogInvalid);
    return;
  }
  if (m_clickStep == 2 && bothFixed) m_clickStep = 5;
  if (m_feedbackDrawn != 0) ToggleShapeFeedback();
  const double theta = g_shapeRotation;
  const double cosT = std::cos(theta);
  const double sinT = std::sin(theta);
  const auto setLines = [&](const DrawingPoint(&p)[4]) {
    for (int i = 0; i < 4; ++i) {
      const DrawingPoint& a = p[i];
      const DrawingPoint& b = p[(i + 1) % 4];
      m_shapeList[static_cast<std::size_t>(i)]->SetStart(a.x, a.y);
      m_shapeList[static_cast<std::size_t>(i)]->SetEnd(b.x, b.y);
    }
  };
  IOwnerView& view = GetOwnerView();
  const int step = m_clickStep;
  if (step <= 2) {
    ClearMarks();
    SnapPoint(mode == kSnapGrid ? kSnapGrid : kSnapHunt);
    ShowSnapPointValues(0);
    if (bothFixed) {
      const double l = g_rectangleLength;
      const double w = g_rectangleWidth;
      const DrawingPoint p0 = g_snapPoint;
      const DrawingPoint p1{p0.x + RoundToInt(cosT * l), p0.y + RoundToInt(sinT * l)};
      const DrawingPoint p2{p1.x - RoundToInt(sinT * w), p1.y + RoundToInt(cosT * w)};
      const DrawingPoint p3{p0.x - RoundToInt(sinT * w), p0.y + RoundToInt(cosT * w)};
      const DrawingPoint corners[4] = {p0, p1, p2, p3};
      setLines(corners);
      ToggleShapeFeedback();
    }
    ToggleSnapMark();
    if (step == 2) {
      first = g_snapPoint;
      m_shapeList[0]->SetStart(first.x, first.y);
      m_clickStep = 3;
      SetPrompt(kPromptPressDown);
    }
  } else if (!bothFixed) {
    DrawingPoint q;
    if (mode != kSnapNone) {
      SnapPoint(mode);
      q = g_snapPoint;
      const double e = VectorLength(q.x - first.x, q.y - first.y);
      const double a = AngleTo(first, q);
      g_readoutLength = std::fabs(std::cos(a - theta) * e);
      g_readoutWidth = std::fabs(std::sin(a - theta) * e);
    } else {
      const double dx = static_cast<double>(g_cursorPoint.x) - first.x;
      const double dy = static_cast<double>(g_cursorPoint.y) - first.y;
      const double e = Hypot(dx, dy);
      const double a = AngleOf(dy, dx);
      const double c = g_rectangleLengthSet != 0 ? g_rectangleLength : std::cos(a - theta) * e;
      const double b = g_rectangleWidthSet != 0 ? g_rectangleWidth : std::sin(a - theta) * e;
      q = {first.x + RoundToInt(cosT * c - sinT * b), first.y + RoundToInt(sinT * c + cosT * b)};
      g_snapPoint = q;
      g_readoutLength = std::fabs(c);
      g_readoutWidth = std::fabs(b);
    }
    const double h = Hypot(static_cast<double>(q.x) - first.x, static_cast<double>(q.y) - first.y);
    const double g = AngleTo(first, q);
    const double c = g_rectangleLengthSet != 0 ? g_rectangleLength : std::cos(g - theta) * h;
    const DrawingPoint p1{first.x + RoundToInt(cosT * c), first.y + RoundToInt(sinT * c)};
    const DrawingPoint p3{q.x - (p1.x - first.x), q.y - (p1.y - first.y)};
    const DrawingPoint corners[4] = {first, p1, q, p3};
    setLines(corners);
    if (step <= 4) ToggleShapeFeedback();
    if (step == 4) ShowPromptText(kPromptRectangleOtherCorner);
    view.ShowRectangleValues();
  }
  if (m_clickStep > 4) FinishShape();
  trace.Exit();
}
