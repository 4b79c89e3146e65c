#include "items/solvers.h"

#include <cmath>

int IsNegligible(double x) { return std::fabs(x) < 1e-14 ? 1 : 0; }

double CubeRoot(double x) { return x >= 0.0 ? std::pow(x, 1.0 / 3.0) : -std::pow(-x, 1.0 / 3.0); }

std::int16_t SolveQuadratic(const double* /*c*/, double* /*s*/) { return 0; }
std::int16_t SolveCubic(const double* /*c*/, double* /*s*/) { return 0; }
std::int16_t SolveQuartic(const double* /*c*/, double* /*s*/) { return 0; }
