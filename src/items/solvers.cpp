#include "items/solvers.h"

#include <algorithm>
#include <cmath>

#include "support/constants.h"

int IsNegligible(double x) { return std::fabs(x) < 1e-14 ? 1 : 0; }

double CubeRoot(double x) { return x >= 0.0 ? std::pow(x, 1.0 / 3.0) : -std::pow(-x, 1.0 / 3.0); }

namespace {

bool AllFinite(const double* c, int n) {
  return std::all_of(c, c + n, [](double v) { return std::isfinite(v); });
}

// Removes roots that are not finite (a huge quotient of a nearly negligible coefficient),
// keeping the order of the rest.
std::int16_t KeepFinite(double* s, int count) {
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    if (std::isfinite(s[i])) s[kept++] = s[i];
  }
  return static_cast<std::int16_t>(kept);
}

int Quadratic(const double* c, double* s) {
  if (IsNegligible(c[2])) {
    if (IsNegligible(c[1])) return 0;
    s[0] = -c[0] / c[1];
    return 1;
  }
  const double p = c[1] / (2.0 * c[2]);
  const double q = c[0] / c[2];
  const double d = p * p - q;
  if (IsNegligible(d)) {
    s[0] = -p;
    return 1;
  }
  if (d < 0.0) return 0;
  const double root = std::sqrt(d);
  s[0] = root - p;
  s[1] = -root - p;
  return 2;
}

int Cubic(const double* c, double* s) {
  if (IsNegligible(c[3])) return Quadratic(c, s);
  const double a = c[2] / c[3];
  const double b = c[1] / c[3];
  const double cc = c[0] / c[3];
  const double third = 1.0 / 3.0;
  const double p = third * (b - third * a * a);
  const double q = 0.5 * (0.07407407407407407 * a * a * a - third * a * b + cc);
  const double d = q * q + p * p * p;
  int count = 0;
  if (IsNegligible(d)) {
    if (IsNegligible(q)) {
      s[0] = 0.0;
      count = 1;
    } else {
      const double u = CubeRoot(-q);
      s[0] = 2.0 * u;
      s[1] = -u;
      count = 2;
    }
  } else if (d < 0.0) {
    // Rounding can put the quotient just outside -1..1, where acos has no value.
    const double cosine = std::clamp(-q / std::sqrt(-p * p * p), -1.0, 1.0);
    const double phi = third * std::acos(cosine);
    const double t = 2.0 * std::sqrt(-p);
    const double piThird = kPi / 3.0;
    s[0] = t * std::cos(phi);
    s[1] = -t * std::cos(phi + piThird);
    s[2] = -t * std::cos(phi - piThird);
    count = 3;
  } else {
    const double root = std::sqrt(d);
    const double u = CubeRoot(root - q);
    const double v = -CubeRoot(root + q);
    s[0] = u + v;
    count = 1;
  }
  const double shift = third * a;
  for (int i = 0; i < count; ++i) s[i] -= shift;
  return count;
}

}  // namespace

std::int16_t SolveQuadratic(const double* c, double* s) {
  if (!AllFinite(c, 3)) return 0;
  return KeepFinite(s, Quadratic(c, s));
}

std::int16_t SolveCubic(const double* c, double* s) {
  if (!AllFinite(c, 4)) return 0;
  return KeepFinite(s, Cubic(c, s));
}

std::int16_t SolveQuartic(const double* c, double* s) {
  if (!AllFinite(c, 5)) return 0;
  if (IsNegligible(c[4])) return SolveCubic(c, s);
  const double a = c[3] / c[4];
  const double b = c[2] / c[4];
  const double cc = c[1] / c[4];
  const double dd = c[0] / c[4];
  const double a2 = a * a;
  const double p = -0.375 * a2 + b;
  const double q = 0.125 * a2 * a - 0.5 * a * b + cc;
  const double r = -0.01171875 * a2 * a2 + 0.0625 * a2 * b - 0.25 * a * cc + dd;
  int count = 0;
  if (IsNegligible(r)) {
    // y (y^3 + p y + q) = 0
    const double cubic[4] = {q, p, 0.0, 1.0};
    count = SolveCubic(cubic, s);
    s[count++] = 0.0;
  } else {
    const double resolvent[4] = {0.5 * r * p - 0.125 * q * q, -r, -0.5 * p, 1.0};
    if (SolveCubic(resolvent, s) == 0) return 0;
    const double z = s[0];
    double u = z * z - r;
    double v = 2.0 * z - p;
    if (std::fabs(z) / 50000.0 > std::fabs(u)) {
      u = 0.0;
    } else if (u > 0.0) {
      u = std::sqrt(u);
    } else {
      return 0;
    }
    if (IsNegligible(v)) {
      v = 0.0;
    } else if (v > 0.0) {
      v = std::sqrt(v);
    } else {
      return 0;
    }
    const double first[3] = {z - u, q >= 0.0 ? v : -v, 1.0};
    const double second[3] = {z + u, q >= 0.0 ? -v : v, 1.0};
    count = Quadratic(first, s);
    count += Quadratic(second, s + count);
  }
  const double shift = 0.25 * a;
  for (int i = 0; i < count; ++i) s[i] -= shift;
  return KeepFinite(s, count);
}
