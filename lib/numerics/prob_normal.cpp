// The normal family, the Student t with integer degrees of freedom, and
// the log-gamma function, each by its fixed published algorithm.
#include <boost/math/special_functions/sin_pi.hpp>

#include <cmath>

#include "numerics/boost_policy.h"

#include "numerics/prob.h"

namespace zu::numerics {
namespace {

constexpr double kPi = 3.141592653589793;
// Below -kReflectBelow log-gamma reflects instead of stepping up to 8.5.
constexpr double kReflectBelow = 20;

// Hill's AS 66: the upper or lower tail of the standard normal at z >= 0.
double As66(double z, bool upper) {
    if (z > 8) {
        if (!upper) return 1;
        if (z > 37) return 0;
    }
    const double y = z * z / 2;
    double q;
    if (z > 1.28) {
        q = 0.398942280385 * std::exp(-y) /
            (z - 3.8052e-08 +
             1.00000615302 /
                 (z + 0.000398064794 +
                  1.98615381364 /
                      (z - 0.151679116635 +
                       5.29330324926 / (z + 4.8385912808 -
                                        15.1508972451 / (z + 0.742380924027 + 30.789933034 / (z + 3.99019417011))))));
    } else {
        q = 0.5 -
            z * (0.398942280444 -
                 0.399903438504 * y /
                     (y + 5.75885480458 - 29.8213557808 / (y + 2.62433121679 + 48.6959930692 / (y + 5.92885724438))));
    }
    return upper ? q : 1 - q;
}

double NormalTail(double x, bool upper) {
    if (x == 0) return 0.5;
    if (std::isnan(x)) return x;
    // Below zero the requested tail is the other tail of |x|.
    return x < 0 ? As66(-x, !upper) : As66(x, upper);
}

// Wichura's AS 241 (PPND16): rational approximations in three regions.
double As241(double p) {
    const double q = p - 0.5;
    if (std::fabs(q) <= 0.425) {
        const double r = 0.180625 - q * q;
        return q *
               (((((((2.5090809287301226727e+3 * r + 3.3430575583588128105e+4) * r + 6.7265770927008700853e+4) * r +
                    4.5921953931549871457e+4) *
                       r +
                   1.3731693765509461125e+4) *
                      r +
                  1.9715909503065514427e+3) *
                     r +
                 1.3314166789178437745e+2) *
                    r +
                3.3871328727963666080e+0) /
               (((((((5.2264952788528545610e+3 * r + 2.8729085735721942674e+4) * r + 3.9307895800092710610e+4) * r +
                    2.1213794301586595867e+4) *
                       r +
                   5.3941960214247511077e+3) *
                      r +
                  6.8718700749205790830e+2) *
                     r +
                 4.2313330701600911252e+1) *
                    r +
                1.0);
    }
    double r = std::sqrt(-std::log(q < 0 ? p : 1 - p));
    double x;
    if (r <= 5) {
        r -= 1.6;
        x = (((((((7.74545014278341407640e-4 * r + 2.27238449892691845833e-2) * r + 2.41780725177450611770e-1) * r +
                 1.27045825245236838258e+0) *
                    r +
                3.64784832476320460504e+0) *
                   r +
               5.76949722146069140550e+0) *
                  r +
              4.63033784615654529590e+0) *
                 r +
             1.42343711074968357734e+0) /
            (((((((1.05075007164441684324e-9 * r + 5.47593808499534494600e-4) * r + 1.51986665636164571966e-2) * r +
                 1.48103976427480074590e-1) *
                    r +
                6.89767334985100004550e-1) *
                   r +
               1.67638483018380384940e+0) *
                  r +
              2.05319162663775882187e+0) *
                 r +
             1.0);
    } else {
        r -= 5;
        x = (((((((2.01033439929228813265e-7 * r + 2.71155556874348757815e-5) * r + 1.24266094738807843860e-3) * r +
                 2.65321895265761230930e-2) *
                    r +
                2.96560571828504891230e-1) *
                   r +
               1.78482653991729133580e+0) *
                  r +
              5.46378491116411436990e+0) *
                 r +
             6.65790464350110377720e+0) /
            (((((((2.04426310338993978564e-15 * r + 1.42151175831644588870e-7) * r + 1.84631831751005468180e-5) * r +
                 7.86869131145613259100e-4) *
                    r +
                1.48753612908506148525e-2) *
                   r +
               1.36929880922735805310e-1) *
                  r +
              5.99832206555887937690e-1) *
                 r +
             1.0);
    }
    return q < 0 ? -x : x;
}

}  // namespace

// P(T > |t|) = I_x(df/2, 1/2) / 2 with x = df / (df + t^2).  Where t^2 is
// the larger, x is below 1/2 and formed well; elsewhere the function is
// taken as 1 - I_(1-x)(1/2, df/2) with 1 - x = t^2 / (df + t^2) formed
// directly, because x itself carries a rounding error that many degrees of
// freedom magnify.
double StudentUpperTail(double t, double df) {
    if (!(df > 0) || std::isnan(t)) return NaN();
    if (t == 0) return 0.5;
    if (std::isinf(t)) return t > 0 ? 0 : 1;
    const double t2 = t * t;
    const double half = t2 > df ? 0.5 * RegularisedBeta(df / 2, 0.5, df / (df + t2))
                                : 0.5 * RegularisedBetaComplement(0.5, df / 2, t2 / (df + t2));
    return t > 0 ? half : 1 - half;
}

double StudentLowerTail(double t, double df) { return StudentUpperTail(-t, df); }

}  // namespace zu::numerics

using namespace zu::numerics;

// Function-try-blocks: no exception from Boost.Math leaves a C entry point.
extern "C" {

double DProbNormal(double x) { return NormalTail(x, false); }
double DTailProbNormal(double x) { return NormalTail(x, true); }

double DDensNormal(double x) { return std::exp(-x * x / 2) / 2.5066282746310007; }

double DQuanNormal(double p) try {
    if (!(p >= 0 && p <= 1)) return NaN();
    if (p == 0) return -HUGE_VAL;
    if (p == 1) return HUGE_VAL;
    return As241(p);
} catch (...) {
    return NaN();
}

// The same function as 2 DProbNormal(1.4142135623731 x) - 1, but that form
// is only as good as the normal distribution function (1e-11) and loses
// everything near 0; the C library's erf is accurate to the last bit over
// the whole range.
double DErf(double x) { return std::erf(x); }

// With integer degrees of freedom the tail is that of any others: the
// finite series in t^2/(t^2 + df) that subtracts from 1/2 costs up to two
// digits near t = 4, and 1 - I over a rounded argument loses the far tail.
double DTailProbT(double t, int df) try {
    if (df < 1) return 0;
    if (t == 0) return 0.5;
    return StudentUpperTail(t, df);
} catch (...) {
    return NaN();
}

double DProbT(double t, int df) try {
    if (t > 0) return 1 - DTailProbT(t, df);
    if (t < 0) return DTailProbT(-t, df);
    return t == 0 ? 0.5 : t;
} catch (...) {
    return NaN();
}

// log |G(x)|: Stirling's series above 8.5, reached by
// log |G(x)| = log |G(x+1)| - log |x|, which holds below 0 as well.  Far
// below 0 the reflection G(x) G(1-x) = pi / sin(pi x) takes over; the
// poles (0 and the negative integers) give +Inf.
double DLogGamma(double x) try {
    if (std::isnan(x) || x == -HUGE_VAL) return NaN();
    if (std::isinf(x)) return x;
    if (x <= 0 && x == std::floor(x)) return HUGE_VAL;
    if (x < -kReflectBelow) return std::log(kPi / std::fabs(boost::math::sin_pi(x, BoostPolicy()))) - DLogGamma(1 - x);
    double shift = 0;
    while (x < 8.5) {
        shift += std::log(std::fabs(x));
        x += 1;
    }
    const double r = 1 / x, r2 = r * r;
    const double series =
        r *
        (1.0 / 12 +
         r2 * (-1.0 / 360 +
               r2 * (1.0 / 1260 + r2 * (-1.0 / 1680 + r2 * (1.0 / 1188 + r2 * (-691.0 / 360360 + r2 * (1.0 / 156)))))));
    return (x - 0.5) * std::log(x) - x + 0.9189385332046727 + series - shift;
} catch (...) {
    return NaN();
}

double DProbChi(double x, double df) try {
    if (!(df > 0) || std::isnan(x)) return NaN();
    return x <= 0 ? 0 : RegularisedGammaP(df / 2, x / 2);
} catch (...) {
    return NaN();
}

double DTailProbChi(double x, double df) try {
    if (!(df > 0) || std::isnan(x)) return NaN();
    return x <= 0 ? 1 : RegularisedGammaQ(df / 2, x / 2);
} catch (...) {
    return NaN();
}

double DProbExp(double x, double lambda) try {
    if (!(lambda > 0) || std::isnan(x)) return NaN();
    // 1 - exp(-lambda x), without the cancellation near 0.
    return x <= 0 ? 0 : -std::expm1(-lambda * x);
} catch (...) {
    return NaN();
}

}  // extern "C"
