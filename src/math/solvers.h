// Closed-form real roots of polynomials of degree 2, 3 and 4, for the torus.
// Coefficients come lowest power first; roots are returned unsorted, in the order computed.
#pragma once

// A value counts as zero when it lies strictly between -EQN_EPS and EQN_EPS.
inline constexpr double EQN_EPS = 1e-9;

// c[0] + c[1]x + c[2]x²; writes up to 2 roots into s and returns their number.
int solve_quadric(const double c[3], double s[2]);
// c[0] + ... + c[3]x³ (Cardano); writes 1 to 3 roots.
int solve_cubic(const double c[4], double s[3]);
// c[0] + ... + c[4]x⁴ (Ferrari); writes 0 to 4 roots.
int solve_quartic(const double c[5], double s[4]);
// Ascending selection sort in place; returns n.
int sort_roots(double* s, int n);
