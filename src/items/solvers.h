#pragma once
// Closed-form real roots of polynomials of degree 2, 3 and 4. A polynomial is an array of
// doubles indexed by power (element k is the coefficient of x^k); roots go to a caller's
// array of at least the degree's size, in the order the formulas give them: not sorted, and
// a double root may appear more than once. Callers sort and de-duplicate where they need to.
//
// Coefficients that are not finite give no roots, and a root that comes out not finite is
// dropped, so callers never turn a NaN into a coordinate.
#include <cstdint>

// 1 when |x| < 1e-14 (absolute): the solvers' only zero test.
int IsNegligible(double x);
// The real cube root of any sign.
double CubeRoot(double x);

// c0 + c1 x + c2 x^2 = 0; s holds 2. Returns 0..2, the larger root first.
std::int16_t SolveQuadratic(const double* c, double* s);
// c0 + c1 x + c2 x^2 + c3 x^3 = 0; s holds 3. Returns 0..3.
std::int16_t SolveCubic(const double* c, double* s);
// c0 + ... + c4 x^4 = 0; s holds 4 (also scratch for the resolvent cubic). Returns 0..4.
std::int16_t SolveQuartic(const double* c, double* s);
