// The element-wise functions of the Gauss table: mathematics and the
// normal, chi-squared, t and F probabilities, each applied to every
// element of a matrix (and two-argument ones element by element, a scalar
// standing for every element).
/// @family Gauss compatibility

#include "gauss/routines.h"

#include <cmath>

namespace zu::gauss {
namespace {

// A text is not a number: the type error instead of a conversion.
bool notText(ZuVALUE* pv, int count) {
    for (int k = 0; k < count; ++k)
        if ((pv[k].t & ZU_TYPE_MASK) == ZU_STRING) {
            ZuLibArgTypeError(k, ZU_MATRIX, ZU_STRING);
            return false;
        }
    return true;
}

template <ZuFNDOUBLE F>
void elementwise(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (notText(pv, 1)) ZuFnDouble(rtn, pv, F);
}

template <ZuFNDOUBLE2 F>
void elementwise2(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (notText(pv, 2)) ZuFnDouble2(rtn, pv, F);
}

template <ZuFNDOUBLE3 F>
void elementwise3(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (notText(pv, 3)) ZuFnDouble3(rtn, pv, F);
}

double absolute(double x) { return std::fabs(x); }
double arccos(double x) { return std::acos(x); }
double arcsin(double x) { return std::asin(x); }
double arctan(double x) { return std::atan(x); }
// arctan2(y, x): the angle of the point (x, y).
double arctan2(double y, double x) { return std::atan2(y, x); }
double ceiling(double x) { return std::ceil(x); }
double cosine(double x) { return std::cos(x); }
double hyperbolicCosine(double x) { return std::cosh(x); }
double errorFunction(double x) { return std::erf(x); }
double exponential(double x) { return std::exp(x); }
double flooring(double x) { return std::floor(x); }
// fmod(x, y): the remainder of x / y with the sign of x.
double remainder(double x, double y) { return std::fmod(x, y); }
double gammaFunction(double x) { return std::tgamma(x); }
double integerPart(double x) { return std::trunc(x); }
double naturalLog(double x) { return std::log(x); }
double commonLog(double x) { return std::log10(x); }
// Halves are rounded away from zero.
double rounded(double x) { return std::round(x); }
double sine(double x) { return std::sin(x); }
double hyperbolicSine(double x) { return std::sinh(x); }
double squareRoot(double x) { return std::sqrt(x); }
double tangent(double x) { return std::tan(x); }
double hyperbolicTangent(double x) { return std::tanh(x); }

double normalDensity(double x) { return DDensNormal(x); }
double normalProbability(double x) { return DProbNormal(x); }
double normalTail(double x) { return DTailProbNormal(x); }
double normalQuantile(double p) { return DQuanNormal(p); }
// cdfchic(x, n): P(X > x) for chi-squared with n degrees of freedom.
double chiTail(double x, double n) { return DTailProbChi(x, n); }
// cdfchii(p, n): the x with P(X <= x) = p.
double chiQuantile(double p, double n) { return DQuanChi(p, n); }
// cdftc(t, n): P(T > t) for Student t with n > 0 degrees of freedom.  A
// whole n takes the routine of integer degrees; any other goes through
// T^2 ~ F(1, n), whose upper tail keeps the accuracy of small p-values.
double tTail(double t, double n) {
    if (!(n > 0) || !std::isfinite(n) || std::isnan(t)) return NAN;
    if (n <= 2147483647.0 && n == std::floor(n)) return DTailProbT(t, static_cast<int>(n));
    const double half = 0.5 * DTailProbF(t * t, 1, n);
    return t >= 0 ? half : 1 - half;
}
// cdffc(f, n1, n2): P(F > f) for F with n1 and n2 degrees of freedom.
double fTail(double f, double n1, double n2) { return DTailProbF(f, n1, n2); }

}  // namespace

/// gauss::abs(x)
/// The absolute values of the elements of x (Gauss's `abs`), a matrix of x's size; a string is a type error.
/// Example:
///     print abs(-1.5~0~2);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussAbs, elementwise<absolute>)
/// gauss::arccos(x)
/// The inverse cosine of each element of x, in radians (0 to pi); a missing value outside -1 to 1.
/// Example:
///     print arccos(1~0~-1);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussArccos, elementwise<arccos>)
/// gauss::arcsin(x)
/// The inverse sine of each element of x, in radians (-pi/2 to pi/2); a missing value outside -1 to 1.
/// Example:
///     print arcsin(0~0.5~1);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussArcsin, elementwise<arcsin>)
/// gauss::arctan(x)
/// The inverse tangent of each element of x, in radians (-pi/2 to pi/2). `atan` is the same function.
/// Example:
///     print arctan(0~1~-1);

/// gauss::atan(x)
/// The inverse tangent of each element of x, in radians; the same function as `arctan`.
/// Example:
///     print (atan(1) * 4);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussArctan, elementwise<arctan>)
/// gauss::arctan2(y, x)
/// The angle of the point (x, y) in radians, from -pi to pi, element by element (y and x of one size, or
/// either a scalar). Note the order: y first. `atan2` is the same function.
/// Example:
///     print arctan2(1~1~-1, 1~-1~-1);

/// gauss::atan2(y, x)
/// The angle of the point (x, y) in radians, from -pi to pi, element by element; the same function as
/// `arctan2`.
/// Example:
///     print atan2(1, 0);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussArctan2, elementwise2<arctan2>)
/// gauss::ceil(x)
/// The smallest whole numbers not below the elements of x.
/// Example:
///     print ceil(1.2~-1.2~3);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCeil, elementwise<ceiling>)
/// gauss::cos(x)
/// The cosine of each element of x (radians).
/// Example:
///     print cos(0~pi);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCos, elementwise<cosine>)
/// gauss::cosh(x)
/// The hyperbolic cosine of each element of x.
/// Example:
///     print cosh(0~1);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCosh, elementwise<hyperbolicCosine>)
/// gauss::sin(x)
/// The sine of each element of x (radians).
/// Example:
///     print sin(0~pi/2);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussSin, elementwise<sine>)
/// gauss::sinh(x)
/// The hyperbolic sine of each element of x.
/// Example:
///     print sinh(0~1);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussSinh, elementwise<hyperbolicSine>)
/// gauss::tan(x)
/// The tangent of each element of x (radians).
/// Example:
///     print tan(0~pi/4);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussTan, elementwise<tangent>)
/// gauss::tanh(x)
/// The hyperbolic tangent of each element of x.
/// Example:
///     print tanh(0~1);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussTanh, elementwise<hyperbolicTangent>)
/// gauss::erf(x)
/// The error function of each element of x: 2/sqrt(pi) times the integral of exp(-t^2) from 0 to x.
/// Example:
///     print erf(0~0.5~1);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussErf, elementwise<errorFunction>)
/// gauss::exp(x)
/// The exponential of each element of x.
/// Example:
///     print exp(0~1~-1);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussExp, elementwise<exponential>)
/// gauss::floor(x)
/// The largest whole numbers not above the elements of x.
/// Example:
///     print floor(1.7~-1.2~3);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussFloor, elementwise<flooring>)
/// gauss::fmod(x, y)
/// The remainders of x/y with the sign of x, element by element (x and y of one size, or either a scalar); a
/// missing value where y is 0.
/// Example:
///     print fmod(7~-7~7.5, 3);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussFmod, elementwise2<remainder>)
/// gauss::gamma(x)
/// The gamma function of each element of x (gamma(n+1) = n!).
/// Example:
///     print gamma(0.5~1~5);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussGamma, elementwise<gammaFunction>)
/// gauss::int(x)
/// The whole parts of the elements of x, towards zero (Gauss's `int`); `trunc` is the same function.
/// Example:
///     print int(2.7~-2.7);

/// gauss::trunc(x)
/// The whole parts of the elements of x, towards zero; the same function as `int`.
/// Example:
///     print trunc(2.7~-2.7);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussInt, elementwise<integerPart>)
/// gauss::ln(x)
/// The natural logarithm of each element of x; -inf at 0 and a missing value below 0.
/// Example:
///     print ln(1~exp(2));
ZU_GAUSS_ROUTINE_DEFINE(FnGaussLn, elementwise<naturalLog>)
/// gauss::log(x)
/// The base-10 logarithm of each element of x (in Gauss `log` is base 10; `ln` is the natural one).
/// Example:
///     print log(1~10~1000);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussLog, elementwise<commonLog>)
/// gauss::round(x)
/// The nearest whole numbers to the elements of x, halves rounded away from zero.
/// Example:
///     print round(2.5~-2.5~2.4);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussRound, elementwise<rounded>)
/// gauss::sqrt(x)
/// The square root of each element of x; a missing value below 0.
/// Example:
///     print sqrt(4~2);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussSqrt, elementwise<squareRoot>)
/// gauss::pdfn(x)
/// The standard normal density of each element of x.
/// Example:
///     print pdfn(0~1.96);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussPdfn, elementwise<normalDensity>)
/// gauss::cdfn(x)
/// The standard normal distribution function P(Z <= x) of each element of x.
/// Example:
///     print cdfn(-1.96~0~1.96);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdfn, elementwise<normalProbability>)
/// gauss::cdfnc(x)
/// The standard normal upper tail P(Z > x) of each element of x, computed on its own side so that it keeps
/// its accuracy far in the tail.
/// Example:
///     print cdfnc(1.96~5);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdfnc, elementwise<normalTail>)
/// gauss::cdfni(p)
/// The standard normal quantile of each element of p: the x with P(Z <= x) = p.
/// Example:
///     print cdfni(0.025~0.5~0.975);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdfni, elementwise<normalQuantile>)
/// gauss::cdfchic(x, n)
/// The chi-squared upper tail P(X > x) with n degrees of freedom, element by element (the p-value of a
/// chi-squared statistic).
/// Example:
///     print cdfchic(3.841459~5.991465, 1~2);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdfchic, elementwise2<chiTail>)
/// gauss::cdfchii(p, n)
/// The chi-squared quantile with n degrees of freedom: the x with P(X <= x) = p, element by element.
/// Example:
///     print cdfchii(0.95, 1~2);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdfchii, elementwise2<chiQuantile>)
/// gauss::cdftc(t, n)
/// The Student t upper tail P(T > t) with n degrees of freedom (n > 0, not necessarily whole), element by
/// element; the two-sided p-value of t is 2 cdftc(abs(t), n). n not positive gives a missing value.
/// Example:
///     print cdftc(2.228139~1, 10~2.5);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdftc, elementwise2<tTail>)
/// gauss::cdffc(f, n1, n2)
/// The F upper tail P(F > f) with n1 and n2 degrees of freedom, element by element (the parameters scalars,
/// or all matrices of f's size).
/// Example:
///     print cdffc(4.964603~1, 1, 10);
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdffc, elementwise3<fTail>)

}  // namespace zu::gauss
