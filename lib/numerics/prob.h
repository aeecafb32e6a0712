// Internals of the probability functions.
#pragma once

#include "zu.h"

namespace zu::numerics {

inline double NaN() {
    double d;
    return SetNaN(&d);
}

// Regularised incomplete gamma and beta functions (NaN outside their
// domain, never an exception).
double RegularisedGammaP(double a, double x);
double RegularisedGammaQ(double a, double x);
double RegularisedBetaComplement(double a, double b, double x);  // 1 - I_x(a, b)
double RegularisedBeta(double a, double b, double x);            // I_x(a, b)

// The Student t tails P(T > t) and P(T <= t) for any positive degrees of
// freedom, each from the incomplete beta function on its own side, never
// as 1 minus the other tail (NaN outside the domain).
double StudentUpperTail(double t, double df);
double StudentLowerTail(double t, double df);

// The standard normal distribution function to full double accuracy,
// for the routines whose own accuracy depends on it.
double PhiAccurate(double x);

}  // namespace zu::numerics
