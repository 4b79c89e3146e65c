#include "items/ellipsegeom.h"

#include <cmath>

#include "items/geometry.h"
#include "support/constants.h"
#include "support/numbers.h"

namespace {

constexpr double kArcRangeWidening = 0.0001;
constexpr double kThreeHalfPi = 3.0 * g_halfPi;

bool AllFinite(double a, double b, double c) {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c);
}

}  // namespace

// ---- Stretch ----

void StretchEllipse(double& a, double& b, double& rotation, double factor, int alongY) {
  if (!std::isfinite(factor) || !AllFinite(a, b, rotation)) return;
  // The mirror part of a negative factor does not change an ellipse whose axes lie on the
  // coordinate axes: only the size changes.
  const double size = std::fabs(factor);
  if (rotation == 0.0 || rotation == kPi) {
    (alongY != 0 ? b : a) *= size;
    return;
  }
  if (rotation == g_halfPi || rotation == kThreeHalfPi) {
    (alongY != 0 ? a : b) *= size;
    return;
  }

  const double c = std::cos(rotation);
  const double s = std::sin(rotation);
  const double semiA = std::fabs(a);
  const double semiB = std::fabs(b);
  if (semiA == 0.0 || semiB == 0.0) {
    // A flat ellipse is the segment along its one remaining half-axis: stretch that vector.
    double ux = semiA != 0.0 ? semiA * c : -semiB * s;
    double uy = semiA != 0.0 ? semiA * s : semiB * c;
    (alongY != 0 ? uy : ux) *= factor;
    a = std::hypot(ux, uy);
    b = 0.0;
    rotation = a == 0.0 ? 0.0 : NormaliseAngle(std::atan2(uy, ux), 1);
    return;
  }
  if (factor == 0.0) {
    // Squashed onto the other axis: what is left is the ellipse's extent across the stretch.
    if (alongY != 0) {
      a = std::hypot(semiA * c, semiB * s);
      rotation = 0.0;
    } else {
      a = std::hypot(semiA * s, semiB * c);
      rotation = g_halfPi;
    }
    b = 0.0;
    return;
  }

  // The ellipse as the quadratic form alpha x^2 + 2 beta x y + gamma y^2 = 1. A stretch
  // divides the coefficients by the factor once per stretched coordinate, which also carries
  // the mirror of a negative factor into beta. Its determinant is known exactly,
  // 1 / (a b k)^2, so the smaller eigenvalue never comes from a cancellation; the eigenvalues
  // are 1 / (new a)^2 and 1 / (new b)^2.
  const double inverseA2 = 1.0 / (semiA * semiA);
  const double inverseB2 = 1.0 / (semiB * semiB);
  double alpha = c * c * inverseA2 + s * s * inverseB2;
  double beta = c * s * (inverseA2 - inverseB2);
  double gamma = s * s * inverseA2 + c * c * inverseB2;
  if (alongY != 0) {
    gamma /= factor * factor;
  } else {
    alpha /= factor * factor;
  }
  beta /= factor;
  const double mean = (alpha + gamma) / 2.0;
  const double spread = std::hypot((alpha - gamma) / 2.0, beta);
  const double largest = mean + spread;
  const double scale = semiA * semiB * size;
  a = std::sqrt(largest) * scale;  // 1 / sqrt(det / largest)
  b = 1.0 / std::sqrt(largest);
  // The direction of the largest eigenvalue is the minor axis; the a axis is across it.
  rotation = spread == 0.0
                 ? 0.0
                 : NormaliseAngle(0.5 * std::atan2(2.0 * beta, alpha - gamma) + g_halfPi, 1);
}

// ---- Implicit form ----

EllipseForm MakeEllipseForm(double a, double b, double rotation) {
  const double c = std::cos(rotation);
  const double s = std::sin(rotation);
  const double ux = RoundToWhole(a * c);
  const double uy = RoundToWhole(a * s);
  const double vx = -RoundToWhole(b * s);
  const double vy = RoundToWhole(b * c);
  EllipseForm form;
  form.p = uy * uy + vy * vy;
  form.q = -(ux * uy + vx * vy);
  form.r = ux * ux + vx * vx;
  form.s = a * a * b * b;
  return form;
}

double EllipseResidual(const EllipseForm& form, double x, double y) {
  return std::fabs(form.p * x * x + 2.0 * form.q * x * y + form.r * y * y - form.s);
}

// ---- Angle ranges ----

int IsAngleInArcStartShift(double angle, double startAngle, double endAngle) {
  const double low = startAngle - kArcRangeWidening;
  double high = endAngle + kArcRangeWidening;
  if (endAngle < startAngle) high += g_twoPi;
  if (angle < low) angle += g_twoPi;
  return low <= angle && angle <= high ? 1 : 0;
}

int IsAngleInArcEndShift(double angle, double startAngle, double endAngle) {
  const double low = startAngle - kArcRangeWidening;
  double high = endAngle + kArcRangeWidening;
  if (endAngle < startAngle) {
    high += g_twoPi;
    if (angle < endAngle) angle += g_twoPi;
  }
  return low <= angle && angle <= high ? 1 : 0;
}

// ---- Eight-arc outline ----

std::array<OutlineArc, 8> MakeEllipseOutlineArcs(double a, double b) {
  std::array<OutlineArc, 8> arcs{};
  if (!(a > 0.0) || !(b > 0.0) || !std::isfinite(a) || !std::isfinite(b)) return arcs;

  // Top arc: through (0, b) and the point P1 of the upper right quarter where the tangent has
  // slope -1/2, centred on the y axis.
  const double m1 = std::sqrt((a / 2.0) * (a / 2.0) + b * b);
  const double p1x = a * a / (2.0 * m1);
  const double p1y = b * b / m1;
  const double e = (p1x * p1x + p1y * p1y - b * b) / (2.0 * (p1y - b));
  const double topRadius = b - e;
  const double topSpan = 2.0 * std::atan2(p1x, p1y - e);

  // Left arc: through (-a, 0) and the point P2 of the upper left quarter where the tangent has
  // slope 2, centred on the x axis.
  const double m2 = std::sqrt((2.0 * a) * (2.0 * a) + b * b);
  const double p2x = -2.0 * a * a / m2;
  const double p2y = b * b / m2;
  const double o = (p2x * p2x + p2y * p2y - a * a) / (2.0 * (p2x + a));
  const double sideRadius = a + o;
  const double sideSpan = 2.0 * std::atan2(p2y, o - p2x);

  // The four joints share what is left of the half turn; the upper left one runs from
  // T = (-P1x, P1y) to P2, its centre to the left of that chord.
  const double joint = (kPi - topSpan - sideSpan) / 2.0;
  const double tx = -p1x;
  const double ty = p1y;
  const double chord = std::hypot(p2x - tx, p2y - ty);
  const double sinHalf = std::sin(joint / 2.0);
  const double jointRadius = sinHalf != 0.0 ? chord / 2.0 / sinHalf : 0.0;
  const double chordAngle = std::atan2(p2y - p1y, p2x + p1x);
  const double startAngle = chordAngle - joint / 2.0 - g_halfPi;
  const double jcx = tx - jointRadius * std::cos(startAngle);
  const double jcy = ty - jointRadius * std::sin(startAngle);

  arcs[0] = {jcx, jcy, jointRadius, tx, ty, p2x, p2y};
  arcs[1] = {o, 0.0, sideRadius, p2x, p2y, p2x, -p2y};
  arcs[2] = {jcx, -jcy, jointRadius, p2x, -p2y, -p1x, -p1y};
  arcs[3] = {0.0, -e, topRadius, -p1x, -p1y, p1x, -p1y};
  arcs[4] = {-jcx, -jcy, jointRadius, p1x, -p1y, -p2x, -p2y};
  arcs[5] = {-o, 0.0, sideRadius, -p2x, -p2y, -p2x, p2y};
  arcs[6] = {-jcx, jcy, jointRadius, -p2x, p2y, p1x, p1y};
  arcs[7] = {0.0, e, topRadius, p1x, p1y, tx, ty};
  return arcs;
}
