// The Arc tool, through three points or from its centre, and the Circle tool, each with a
// fixed radius or (arcs) a fixed included angle when the values bar sets one.
#include <cmath>
#include <numbers>

#include "document/document.h"
#include "document/wholedrawing.h"
#include "editor/editdrawing.h"
#include "editor/editorstate.h"
#include "editor/ownerview.h"
#include "editor/prompts.h"
#include "editor/toolparams.h"
#include "items/geometry.h"
#include "support/log.h"
#include "support/numbers.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double AngleTo(const DrawingPoint& from, const DrawingPoint& to) {
  return AngleOf(static_cast<double>(to.y) - from.y, static_cast<double>(to.x) - from.x);
}

DrawingPoint StartOf(const CDrawItem& item) {
  DrawingPoint p;
  item.GetStart(p.x, p.y);
  return p;
}

DrawingPoint EndOf(const CDrawItem& item) {
  DrawingPoint p;
  item.GetEnd(p.x, p.y);
  return p;
}

// The point at distance r from centre in direction angle.
DrawingPoint PointAround(const DrawingPoint& centre, double angle, double r) {
  return {centre.x + RoundToInt(std::cos(angle) * r), centre.y + RoundToInt(std::sin(angle) * r)};
}

// The arc's circle into the read-outs.
void ReadCircle(const CDrawItem& arc) {
  double cx = 0.0;
  double cy = 0.0;
  double radius = 0.0;
  arc.GetCircle(cx, cy, radius);
  g_readoutCentre = {RoundToInt(cx), RoundToInt(cy)};
  g_readoutRadius = radius;
  g_readoutAngle = arc.GetAngle();
}

}  // namespace

void CEditDrawing::ShowArcFeedback(CDrawItem& arc) {
  arc.Recalculate();
  DrawRubberBand();
  ReadCircle(arc);
  GetOwnerView().ShowArcValues();
}

void CEditDrawing::ClickArcThreePoints() {
  LogScope trace(2432);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  SetSnapDistance();
  if (m_clickStep == 0 && !BeginConstruction(kItemArc, kPromptArcStart)) {
    trace.Exit(kLogMemory);
    return;
  }
  CDrawItem* arc = ConstructionOfKind(kItemArc, 2432);
  if (arc == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  RemoveRubberBand();
  IOwnerView& view = GetOwnerView();
  const int step = m_clickStep;
  if (step <= 2) {
    ClearMarks();
    SnapPoint(g_snapMode);
    arc->SetStart(g_snapPoint.x, g_snapPoint.y);
    ToggleSnapMark();
    if (step == 2) {
      m_clickStep = 3;
      document->SelectPointsAt(g_snapPoint.x, g_snapPoint.y);
      SetPrompt(kPromptPressDown);
    }
    ShowSnapPointValues(0);
  } else if (step <= 5) {
    if (GetMarkCount() == 2) ToggleSnapMark();
    SnapPoint(g_snapMode);
    arc->SetEnd(g_snapPoint.x, g_snapPoint.y);
    const DrawingPoint start = StartOf(*arc);
    if (GetMarkCount() == 0) DrawMark(start.x, start.y, nullptr, 1);
    ToggleSnapMark();
    if (step == 4) ShowPromptText(kPromptArcEnd);
    const bool same = start == g_snapPoint;
    // Whether the fixed radius spans the chord; a chord it cannot span shows no arc.
    bool spanned = true;
    if (g_arcRadiusSet != 0) {
      const double h = VectorLength(g_snapPoint.x - start.x, g_snapPoint.y - start.y) / 2.0;
      const double r = g_arcRadius;
      spanned = h > 0.0 && h <= r;
      if (spanned) {
        // The minor arc of the fixed radius over the chord.
        arc->SetAngle(2.0 * AngleOf(h, std::sqrt(r * r - h * h)));
        ShowArcFeedback(*arc);
      } else {
        ShowSnapPointValues(0);
      }
    } else if (g_arcAngleSet != 0) {
      arc->SetAngle(g_arcAngle);
      if (same) {
        ShowSnapPointValues(0);
      } else {
        ShowArcFeedback(*arc);
      }
    } else {
      ShowSnapPointValues(0);
    }
    if (step == 5) {
      if (same || !spanned) {
        // Start and end together make no arc, and neither does an end the fixed radius cannot
        // reach (the arc would keep an angle from an earlier end and another radius): the
        // gesture ends without one.
        DropConstruction();
        trace.Exit(kLogHandled, 1);
        return;
      }
      if (g_arcRadiusSet != 0 || g_arcAngleSet != 0) {
        m_clickStep = 8;
      } else {
        m_clickStep = 6;
        SetPrompt(kPromptPressDown);
      }
    }
  } else {
    // The third point: the arc through start, end and the cursor.
    ClearMarks();
    const DrawingPoint cursor = g_cursorPoint;
    const double a1 = AngleTo(cursor, StartOf(*arc));
    if (StartOf(*arc) != cursor) {
      const double a2 = AngleTo(cursor, EndOf(*arc));
      if (EndOf(*arc) != cursor) {
        double d = a1 - a2;
        // Reversing puts the arc on the cursor's side of the chord; the next event sees the
        // swapped ends and reverses no more.
        if (d < 0.0) {
          d = -d;
          arc->Reverse();
        }
        if (d > std::numbers::pi) {
          d = kTwoPi - d;
          arc->Reverse();
        }
        arc->SetAngle(kTwoPi - 2.0 * d);
      }
    }
    const bool valid = arc->IsValid() != 0;
    if (valid) {
      arc->Recalculate();
      DrawRubberBand();
      g_snapPoint = cursor;
      ReadCircle(*arc);
    }
    if (step == 7) ShowPromptText(kPromptArcThirdPoint);
    if (valid) {
      view.ShowArcValues();
    } else {
      ShowSnapPointValues(0);
    }
  }
  if (m_clickStep > 7) {
    ClearMarks();
    FinishConstruction();
    SetPrompt(0);
    ShowSnapPointValues(0);
  }
  trace.Exit();
}

void CEditDrawing::ClickArcCentre() {
  LogScope trace(2433);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  SetSnapDistance();
  if (m_clickStep == 0 && !BeginConstruction(kItemArc, kPromptArcCentre)) {
    trace.Exit(kLogMemory);
    return;
  }
  CDrawItem* arc = ConstructionOfKind(kItemArc, 2433);
  if (arc == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  RemoveRubberBand();
  IOwnerView& view = GetOwnerView();
  DrawingPoint& centre = m_toolGesture.first;
  const int step = m_clickStep;
  if (step <= 2) {
    ClearMarks();
    SnapPoint(g_snapMode);
    centre = g_snapPoint;
    ToggleSnapMark();
    if (step == 2) {
      if (g_arcAngleSet != 0) arc->SetAngle(g_arcAngle);
      m_clickStep = 3;
      document->SelectPointsAt(centre.x, centre.y);
      SetPrompt(kPromptPressDown);
    }
    ShowSnapPointValues(0);
  } else if (step <= 5) {
    if (GetMarkCount() == 0) DrawMark(centre.x, centre.y, nullptr, 1);
    if (step == 4) ShowPromptText(kPromptArcStart);
    // The end that a fixed angle puts after the start, about the centre.
    const auto placeEnd = [&](const DrawingPoint& start, double r) {
      const double t = AngleTo(centre, start);
      const DrawingPoint end = PointAround(centre, t + g_arcAngle, r);
      arc->SetEnd(end.x, end.y);
      if (r > 0.0) {
        ShowArcFeedback(*arc);
      } else {
        arc->Recalculate();
        ShowSnapPointValues(0);
      }
    };
    if (g_arcRadiusSet != 0) {
      // The start lies on the circle of the fixed radius towards the cursor, whatever handle
      // is nearer.
      if (GetMarkCount() == 2) {
        const DrawingPoint old = StartOf(*arc);
        DrawMark(old.x, old.y, nullptr, 1);
      }
      const DrawingPoint start = PointAround(centre, AngleTo(centre, g_cursorPoint), g_arcRadius);
      arc->SetStart(start.x, start.y);
      DrawMark(start.x, start.y, nullptr, 1);
      g_readoutRadius = g_arcRadius;
      // The values bar never lets both be fixed; should they be, the angle still counts.
      if (g_arcAngleSet != 0) {
        placeEnd(start, g_arcRadius);
      } else {
        view.ShowPointValues(start.x, start.y, 0);
      }
    } else {
      if (GetMarkCount() == 2) ToggleSnapMark();
      SnapPoint(g_snapMode);
      arc->SetStart(g_snapPoint.x, g_snapPoint.y);
      ToggleSnapMark();
      if (g_arcAngleSet != 0) {
        g_readoutRadius = VectorLength(g_snapPoint.x - centre.x, g_snapPoint.y - centre.y);
        placeEnd(g_snapPoint, g_readoutRadius);
      } else {
        ShowSnapPointValues(0);
      }
    }
    if (step == 5) {
      const DrawingPoint start = StartOf(*arc);
      if (start == centre) {
        DropConstruction();
        trace.Exit(kLogHandled, 1);
        return;
      }
      if (g_arcAngleSet != 0) {
        m_clickStep = 8;
      } else {
        g_readoutCentre = centre;
        g_readoutRadius = g_arcRadiusSet != 0
                              ? g_arcRadius
                              : VectorLength(start.x - centre.x, start.y - centre.y);
        m_clickStep = 6;
        SetPrompt(kPromptPressDown);
      }
    }
  } else {
    // The end lies on the circle in the cursor's direction.
    if (step == 7) ShowPromptText(kPromptArcEnd);
    bool valid = false;
    if (g_cursorPoint != centre) {
      const DrawingPoint end = PointAround(centre, AngleTo(centre, g_cursorPoint), g_readoutRadius);
      arc->SetEnd(end.x, end.y);
      arc->SetAngleFromCentre(centre.x, centre.y);
      valid = arc->IsValid() != 0;
      if (valid) {
        g_readoutAngle = arc->GetAngle();
        arc->Recalculate();
        DrawRubberBand();
        g_snapPoint = g_cursorPoint;
      }
    }
    if (valid) {
      view.ShowArcValues();
    } else {
      ShowSnapPointValues(0);
    }
  }
  if (m_clickStep > 7) {
    FinishConstruction();
    ClearMarks();
    SetPrompt(0);
    ShowSnapPointValues(0);
  }
  trace.Exit();
}

void CEditDrawing::ClickCircle() {
  LogScope trace(2434);
  CZephDoc* document = GetDocument();
  if (document == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  SetSnapDistance();
  if (m_clickStep == 0) {
    if (!BeginConstruction(kItemCircle, kPromptCircleCentre)) {
      trace.Exit(kLogMemory);
      return;
    }
    if (g_circleRadiusSet != 0) m_construction->SetRadius(RoundToInt(g_circleRadius));
  }
  CDrawItem* circle = ConstructionOfKind(kItemCircle, 2434);
  if (circle == nullptr) {
    trace.Exit(kLogInvalid);
    return;
  }
  // With a fixed radius one press, drag and release places the circle.
  if (m_clickStep == 2 && g_circleRadiusSet != 0) m_clickStep = 5;
  RemoveRubberBand();
  DrawingPoint& centre = m_toolGesture.first;
  const int step = m_clickStep;
  if (step <= 2) {
    ClearMarks();
    SnapPoint(g_snapMode);
    centre = g_snapPoint;
    circle->SetCentre(centre.x, centre.y);
    if (g_circleRadiusSet != 0) DrawRubberBand();
    ToggleSnapMark();
    if (step == 2) {
      document->SelectLinesAtPoint(centre.x, centre.y);
      m_clickStep = 3;
      SetPrompt(kPromptPressDown);
    }
    ShowSnapPointValues(0);
  } else if (g_circleRadiusSet == 0) {
    if (GetMarkCount() == 0) DrawMark(centre.x, centre.y, nullptr, 1);
    SnapPoint(g_snapMode);
    g_readoutRadius = VectorLength(g_snapPoint.x - centre.x, g_snapPoint.y - centre.y);
    circle->SetRadius(RoundToInt(g_readoutRadius));
    if (step <= 4) DrawRubberBand();
    if (step == 4) ShowPromptText(kPromptCirclePoint);
    GetOwnerView().ShowCircleValues();
  }
  if (m_clickStep > 4) {
    ClearMarks();
    FinishConstruction();  // radius 0 (released on the centre) is refused
    SetPrompt(0);
    ShowSnapPointValues(0);
  }
  trace.Exit();
}
