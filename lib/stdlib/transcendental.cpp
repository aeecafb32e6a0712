// Special functions of real arguments: bessel, dawson and expint, through
// Boost.Math with the NaN-returning error policy of the library (a domain
// error or a pole gives a missing value or an infinity, never an exception).
/// @family Mathematics
#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/expint.hpp>
#include <boost/math/special_functions/hypergeometric_1F1.hpp>

#include <cctype>
#include <cmath>
#include <limits>
#include <string>

#include "numerics/boost_policy.h"
#include "numerics/library_support.h"
#include "stdlib/argument_faults.h"
#include "stdlib/math_functions.h"
#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::DoubleOf;
using zu::value::MatrixData;
using zu::value::Rows;
using zu::value::StringLength;
using zu::value::StringText;

namespace zu::stdlib {
namespace {

namespace lib = numerics::library;
using numerics::BoostPolicy;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---- Bessel functions ---------------------------------------------------

enum class BesselKind { J, Y, I, K, IScaled, KScaled };

// Above this |x| the plain e^x of the scaling would overflow (and I or K
// with it), so the scaled forms switch to their large-argument expansions.
constexpr double kScaleLimit = 700.0;

// The series sum_k c_k / x^k of the large-argument expansions of I and K,
// with c_k = prod_{j <= k} (mu - (2j - 1)^2) / (8 j) and mu = 4 nu^2,
// alternating for I.  The series is asymptotic: it is summed to its smallest
// term, and refused (missing) when the largest term is so big that the
// cancellation leaves fewer than about twelve digits, which happens for
// orders far above sqrt(x).
double LargeArgumentSeries(double nu, double x, bool alternate) {
    const double mu = 4.0 * nu * nu;
    double term = 1.0, sum = 1.0, largest = 1.0;
    for (int k = 1; k < 500; ++k) {
        const double odd = 2.0 * k - 1.0;
        const double next = term * (mu - odd * odd) / (8.0 * k * x) * (alternate ? -1.0 : 1.0);
        if (std::fabs(next) >= std::fabs(term) && k > 2.0 * std::fabs(nu) + 1.0) break;
        term = next;
        sum += term;
        largest = std::max(largest, std::fabs(term));
        if (std::fabs(term) <= 1e-17 * std::fabs(sum)) break;
    }
    return largest > 1e4 ? kNaN : sum;
}

// e^-|x| I_nu(x); for negative x only integer orders are real.
double ScaledI(double nu, double x) {
    if (std::fabs(x) <= kScaleLimit) return std::exp(-std::fabs(x)) * boost::math::cyl_bessel_i(nu, x, BoostPolicy{});
    double sign = 1.0;
    if (x < 0) {
        if (std::floor(nu) != nu) return kNaN;
        sign = std::fmod(std::fabs(nu), 2.0) == 1.0 ? -1.0 : 1.0;
    }
    const double ax = std::fabs(x);
    return sign * LargeArgumentSeries(nu, ax, true) / std::sqrt(2.0 * M_PI * ax);
}

// e^x K_nu(x), for x > 0.
double ScaledK(double nu, double x) {
    if (!(x > 0)) return x == 0 ? std::numeric_limits<double>::infinity() : kNaN;
    if (x <= kScaleLimit) return std::exp(x) * boost::math::cyl_bessel_k(nu, x, BoostPolicy{});
    return LargeArgumentSeries(nu, x, false) * std::sqrt(M_PI / (2.0 * x));
}

// Orders above this are refused (missing): the library's recurrences over
// the order take seconds per element there.
constexpr double kMaxOrder = 1e5;

template <BesselKind Kind>
double Bessel(double x, double nu) {
    if (std::isnan(x) || !(std::fabs(nu) <= kMaxOrder)) return kNaN;
    switch (Kind) {
    case BesselKind::J: return boost::math::cyl_bessel_j(nu, x, BoostPolicy{});
    case BesselKind::Y: return boost::math::cyl_neumann(nu, x, BoostPolicy{});
    case BesselKind::I: return boost::math::cyl_bessel_i(nu, x, BoostPolicy{});
    case BesselKind::K: return boost::math::cyl_bessel_k(nu, x, BoostPolicy{});
    case BesselKind::IScaled: return ScaledI(nu, x);
    case BesselKind::KScaled: return ScaledK(nu, x);
    }
    return kNaN;
}

using Function2 = double (*)(double, double);

// The routine of a type text: one letter J, Y, I or K, in either case,
// followed by E for the exponentially scaled I and K; null for anything else.
Function2 BesselOfType(const ZuVALUE* v) {
    const std::string type =
        StringText(v) != nullptr && StringLength(v) > 0 ? std::string(StringText(v), StringLength(v)) : std::string{};
    std::string upper;
    for (char ch : type) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (upper == "J") return Bessel<BesselKind::J>;
    if (upper == "Y") return Bessel<BesselKind::Y>;
    if (upper == "I") return Bessel<BesselKind::I>;
    if (upper == "K") return Bessel<BesselKind::K>;
    if (upper == "IE") return Bessel<BesselKind::IScaled>;
    if (upper == "KE") return Bessel<BesselKind::KScaled>;
    return nullptr;
}

// An element-wise operand: one number for every element, or a matrix.
struct Operand {
    double** m = nullptr;
    int r = 1;
    int c = 1;
    double s = 0.0;
    double At(int i, int j) const { return m != nullptr ? m[i][j] : s; }
};

bool OperandArg(ZuVALUE* pv, int k, Operand* out) {
    ZuVALUE* v = &pv[k];
    if (value::TypeCode(v) == ZU_STRING) {
        ZuLibArgTypeError(k, ZU_DOUBLE, ZU_STRING);
        return false;
    }
    if (value::IsMatrix(v) && !(Rows(v) == 1 && Columns(v) == 1)) {
        *out = Operand{MatrixData(v), Rows(v), Columns(v), 0.0};
        return true;
    }
    if (ZuLibCheckType(ZU_DOUBLE, pv, k, k) == 0) return false;
    out->s = DoubleOf(v);
    return true;
}

// f(x, n) over the arguments kx and kn, element by element: a double when
// both are scalars, else a matrix of the shape of the matrix operand (both
// matrices must have one shape).
void Elementwise(ZuVALUE* rtn, ZuVALUE* pv, int kx, int kn, Function2 f) {
    Operand x, n;
    if (!OperandArg(pv, kx, &x) || !OperandArg(pv, kn, &n)) return;
    if (x.m != nullptr && n.m != nullptr && ZuLibCheckMatrixSize(pv, kn, kn, x.r, x.c) == 0) return;
    if (x.m == nullptr && n.m == nullptr) {
        ZuValSetDouble(rtn, f(x.s, n.s));
        return;
    }
    const Operand& shape = x.m != nullptr ? x : n;
    if (!lib::Allocated(lib::ResultMatrix(rtn, shape.r, shape.c))) return;
    for (int i = 0; i < shape.r; ++i)
        for (int j = 0; j < shape.c; ++j) MatrixData(rtn)[i][j] = f(x.At(i, j), n.At(i, j));
}

// ---- Dawson's integral and the exponential integral -----------------------

// Beyond this |x|, x^2 would lose the function: D(x) = 1 / (2x) to double
// precision (the next term is 1 / (2x^2) relative).
constexpr double kDawsonAsymptotic = 1e8;

double Dawson(double x) {
    if (std::isnan(x)) return kNaN;
    if (std::fabs(x) > kDawsonAsymptotic) return 0.5 / x;
    return x * boost::math::hypergeometric_1F1(1.0, 1.5, -x * x, BoostPolicy{});
}

double Ei(double x) {
    if (std::isnan(x)) return kNaN;
    if (x == 0.0) return -std::numeric_limits<double>::infinity();
    return boost::math::expint(x, BoostPolicy{});
}

}  // namespace

/// bessel(x, type, n)
/// The Bessel function of order `n` at `x`, element by element over `x` and `n` (scalars or
/// matrices of one shape). `type` is "J" (first kind), "Y" (second kind), "I" (modified, first
/// kind), "K" (modified, second kind), or "IE" for e^-|x| I_n(x) and "KE" for e^x K_n(x), the
/// scaled forms that stay finite for large x; letters in either case. Real orders are allowed;
/// values that are not real (Y and K at x <= 0, J and I of a negative x at a fractional order)
/// are missing, and so are orders above 1e5 in magnitude.
/// Example:
///     print(bessel(<1,2>, "J", 0), bessel(1, "k", <0,1>));
void FnBessel(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (value::TypeCode(&pv[1]) != ZU_STRING || value::IsNul(&pv[1])) {
        ZuLibArgTypeError(1, ZU_STRING, value::TypeCode(&pv[1]));
        return;
    }
    const Function2 f = BesselOfType(&pv[1]);
    if (f == nullptr) {
        ArgumentFault(1, "type must be \"J\", \"Y\", \"I\", \"K\", \"IE\" or \"KE\"");
        return;
    }
    Elementwise(rtn, pv, 0, 2, f);
}

/// dawson(x)
/// Dawson's integral exp(-x^2) times the integral of exp(t^2) from 0 to `x`, element by element.
/// Example:
///     print(dawson(<0,1,10>));
void FnDawson(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (NotText(pv)) ZuFnDouble(rtn, pv, Dawson);
}

/// expint(x)
/// The exponential integral Ei(x), the principal value of the integral of e^t / t from
/// -infinity to `x`, element by element; for x < 0 this is -E1(-x), and Ei(0) is -.Inf.
/// Example:
///     print(expint(<1,-1,0>));
void FnExpint(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (NotText(pv)) ZuFnDouble(rtn, pv, Ei);
}

}  // namespace zu::stdlib
