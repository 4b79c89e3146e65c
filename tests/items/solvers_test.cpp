#include "items/solvers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

double Evaluate(const std::vector<double>& c, double x) {
  double value = 0.0;
  for (std::size_t k = c.size(); k-- > 0;) value = value * x + c[k];
  return value;
}

std::int16_t Solve(const std::vector<double>& c, double* s) {
  switch (c.size()) {
    case 3:
      return SolveQuadratic(c.data(), s);
    case 4:
      return SolveCubic(c.data(), s);
    default:
      return SolveQuartic(c.data(), s);
  }
}

struct Case {
  const char* name;
  std::vector<double> c;      // by power, constant first
  std::vector<double> roots;  // as returned, in order, when order matters
  bool ordered;               // false: compare as sorted sets of distinct values
};

TEST(SolversTest, RootsSatisfyTheirPolynomials) {
  const double nan = std::nan("");
  const std::vector<Case> cases = {
      {"two roots, larger first", {-8, 0, 2}, {2, -2}, true},
      {"double root once", {1, -2, 1}, {1}, true},
      {"no real root", {1, 0, 1}, {}, true},
      {"linear", {4, 2, 0}, {-2}, true},
      {"nothing left, even 0 = 0", {0, 0, 0}, {}, true},
      {"negligible leading term", {4, 2, 1e-15}, {-2}, true},
      {"triple root", {-1, 3, -3, 1}, {1}, true},
      {"three roots in the trigonometric order", {0, -1, 0, 1}, {1, 0, -1}, true},
      {"single and double root", {2, -3, 0, 1}, {-2, 1}, true},
      {"one real root", {-8, 0, 0, 1}, {2}, true},
      {"scaled cubic", {-12, 22, -12, 2}, {1, 2, 3}, false},
      {"cubic with negligible leading term", {-8, 0, 2, 1e-16}, {2, -2}, true},
      {"four roots", {24, -50, 35, -10, 1}, {1, 2, 3, 4}, false},
      {"two of four", {-1, 0, 0, 0, 1}, {-1, 1}, false},
      {"no root of four", {1, 0, 0, 0, 1}, {}, false},
      {"two double roots", {4, -12, 13, -6, 1}, {1, 2}, false},
      {"zero constant after the shift: 0 last", {0, 0, -1, 0, 1}, {1, 0, -1, 0}, true},
      {"quartic with negligible leading term", {0, -1, 0, 1, 1e-15}, {1, 0, -1}, true},
  };
  for (const Case& c : cases) {
    double s[4] = {nan, nan, nan, nan};
    const int count = Solve(c.c, s);
    std::vector<double> got(s, s + count);
    for (double root : got) {
      // Substitution, relative to the size of the terms.
      double scale = 0.0;
      for (std::size_t k = 0; k < c.c.size(); ++k) scale += std::fabs(c.c[k] * std::pow(root, k));
      EXPECT_LE(std::fabs(Evaluate(c.c, root)), 1e-9 * std::max(scale, 1.0))
          << c.name << " root " << root;
    }
    if (c.ordered) {
      ASSERT_EQ(got.size(), c.roots.size()) << c.name;
      for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.roots[i], 1e-6) << c.name;
    } else {
      // Repeated roots may come more than once: compare the distinct values.
      std::sort(got.begin(), got.end());
      got.erase(std::unique(got.begin(), got.end(),
                            [](double a, double b) { return std::fabs(a - b) < 1e-5; }),
                got.end());
      ASSERT_EQ(got.size(), c.roots.size()) << c.name;
      for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.roots[i], 1e-5) << c.name;
    }
  }
}

TEST(SolversTest, NonFiniteCoefficientsGiveNoRoots) {
  const double nan = std::nan("");
  const double inf = std::numeric_limits<double>::infinity();
  double s[4];
  const double quadratic[3] = {1, nan, 1};
  const double cubic[4] = {1, 0, inf, 1};
  const double quartic[5] = {-1, 0, 0, 0, nan};
  EXPECT_EQ(SolveQuadratic(quadratic, s), 0);
  EXPECT_EQ(SolveCubic(cubic, s), 0);
  EXPECT_EQ(SolveQuartic(quartic, s), 0);
}

TEST(SolversTest, HugeQuotientsNeverGiveNonFiniteRoots) {
  // A leading coefficient just above the negligible limit divides into an overflow.
  const double c[4] = {1e300, 1e300, 1e300, 2e-14};
  double s[3];
  const int count = SolveCubic(c, s);
  for (int i = 0; i < count; ++i) EXPECT_TRUE(std::isfinite(s[i])) << s[i];
}

TEST(SolversTest, NearlyDoubleRootsStayNumbers) {
  // Three real roots, two almost equal, where rounding can push the arccosine's argument
  // just past 1: every root stays a number and satisfies the cubic.
  int checked = 0;
  for (int i = 1; i <= 2000; ++i) {
    const double r = 1.0 + i * 1e-9;
    // (x - 1)(x - r)(x + 2)
    const std::vector<double> c = {2 * r, -(2 + 2 * r - r), 2 - 1 - r, 1};
    double s[3];
    const int count = SolveCubic(c.data(), s);
    ASSERT_GE(count, 1);
    for (int k = 0; k < count; ++k) {
      ASSERT_TRUE(std::isfinite(s[k])) << i;
      EXPECT_LE(std::fabs(Evaluate(c, s[k])), 1e-6) << i;
      ++checked;
    }
  }
  EXPECT_GT(checked, 2000);
}

TEST(SolversTest, SmallHelpers) {
  EXPECT_EQ(IsNegligible(9e-15), 1);
  EXPECT_EQ(IsNegligible(-1e-14), 0);
  EXPECT_DOUBLE_EQ(CubeRoot(27.0), 3.0);
  EXPECT_DOUBLE_EQ(CubeRoot(-8.0), -2.0);
  EXPECT_EQ(CubeRoot(0.0), 0.0);
}

}  // namespace
