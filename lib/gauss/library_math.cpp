// The element-wise functions of the Gauss table: mathematics and the
// normal, chi-squared, t and F probabilities, each applied to every
// element of a matrix (and two-argument ones element by element, a scalar
// standing for every element).
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

// gauss::abs(x): absolute values.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussAbs, elementwise<absolute>)
// gauss::arccos(x), arcsin(x), arctan(x) and atan(x): inverse functions in radians.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussArccos, elementwise<arccos>)
ZU_GAUSS_ROUTINE_DEFINE(FnGaussArcsin, elementwise<arcsin>)
ZU_GAUSS_ROUTINE_DEFINE(FnGaussArctan, elementwise<arctan>)
// gauss::arctan2(y, x) and atan2(y, x): the angle of (x, y), in -pi to pi.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussArctan2, elementwise2<arctan2>)
// gauss::ceil(x): the smallest integers not below x.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCeil, elementwise<ceiling>)
// gauss::cos(x), cosh(x), sin(x), sinh(x), tan(x), tanh(x).
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCos, elementwise<cosine>)
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCosh, elementwise<hyperbolicCosine>)
ZU_GAUSS_ROUTINE_DEFINE(FnGaussSin, elementwise<sine>)
ZU_GAUSS_ROUTINE_DEFINE(FnGaussSinh, elementwise<hyperbolicSine>)
ZU_GAUSS_ROUTINE_DEFINE(FnGaussTan, elementwise<tangent>)
ZU_GAUSS_ROUTINE_DEFINE(FnGaussTanh, elementwise<hyperbolicTangent>)
// gauss::erf(x): the error function.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussErf, elementwise<errorFunction>)
// gauss::exp(x).
ZU_GAUSS_ROUTINE_DEFINE(FnGaussExp, elementwise<exponential>)
// gauss::floor(x): the largest integers not above x.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussFloor, elementwise<flooring>)
// gauss::fmod(x, y): remainders of x / y, with the sign of x.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussFmod, elementwise2<remainder>)
// gauss::gamma(x): the gamma function.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussGamma, elementwise<gammaFunction>)
// gauss::int(x) and trunc(x): the integer parts, towards zero.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussInt, elementwise<integerPart>)
// gauss::ln(x): natural logarithms; gauss::log(x): base 10.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussLn, elementwise<naturalLog>)
ZU_GAUSS_ROUTINE_DEFINE(FnGaussLog, elementwise<commonLog>)
// gauss::round(x): the nearest integers, halves away from zero.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussRound, elementwise<rounded>)
// gauss::sqrt(x): square roots (NaN below 0).
ZU_GAUSS_ROUTINE_DEFINE(FnGaussSqrt, elementwise<squareRoot>)
// gauss::pdfn(x): the standard normal density.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussPdfn, elementwise<normalDensity>)
// gauss::cdfn(x): P(Z <= x); cdfnc(x): P(Z > x); cdfni(p): the inverse.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdfn, elementwise<normalProbability>)
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdfnc, elementwise<normalTail>)
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdfni, elementwise<normalQuantile>)
// gauss::cdfchic(x, n): chi-squared upper tail; cdfchii(p, n): quantile.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdfchic, elementwise2<chiTail>)
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdfchii, elementwise2<chiQuantile>)
// gauss::cdftc(t, n): Student t upper tail.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdftc, elementwise2<tTail>)
// gauss::cdffc(f, n1, n2): F upper tail.
ZU_GAUSS_ROUTINE_DEFINE(FnGaussCdffc, elementwise3<fTail>)

}  // namespace zu::gauss
