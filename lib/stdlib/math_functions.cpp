// The scalar functions behind the one-argument library functions.
/// @family Mathematics
#include "stdlib/math_functions.h"
#include "console/run_error_codes.h"

#include <cmath>
#include <string>

#include "value/cast.h"

namespace zu::stdlib {

bool NotText(ZuVALUE* pv) {
    if ((pv->t & ZU_TYPE_MASK) != ZU_STRING || (pv->t & ZU_FLAG_NUL) != 0) return true;
    const std::string text = std::string{SZuIntFunc()} +
                             "(): type error in argument 1; expected: " + SZuGetTypeName(ZU_DOUBLE) +
                             ", found: " + value::Describe(pv);
    ZuRunMessage(text.c_str());
    ReportRunError(RunErrorCode::Argument);
    return false;
}

/// acos(x)
/// The arc cosine (in radians) of each element of `x`. An int or a double gives a double, a
/// matrix a matrix of the same size; a string is a type error. Outside [-1, 1] the result is NaN.
/// Example:
///     print(acos(<1,0,-1>));
double MathAcos(double x) { return std::acos(x); }
/// asin(x)
/// The arc sine (in radians) of each element of `x`, a double for a scalar and a matrix of the
/// same size for a matrix. Outside [-1, 1] the result is NaN.
/// Example:
///     print(asin(<0,0.5,1>));
double MathAsin(double x) { return std::asin(x); }
/// atan(x)
/// The arc tangent (in radians, between -pi/2 and pi/2) of each element of `x`, a double for a
/// scalar and a matrix of the same size for a matrix.
/// Example:
///     print(atan(<0,1,-1>));
double MathAtan(double x) { return std::atan(x); }
/// ceil(x)
/// Each element of `x` rounded up to a whole number, as a double (a matrix of the same size
/// for a matrix).
/// Example:
///     print(ceil(<1.2,-1.2,3>));
double MathCeil(double x) { return std::ceil(x); }
/// cos(x)
/// The cosine of each element of `x` (in radians), a double for a scalar and a matrix of the
/// same size for a matrix.
/// Example:
///     print(cos(<0,1>));
double MathCos(double x) { return std::cos(x); }
/// cosh(x)
/// The hyperbolic cosine of each element of `x`, a double for a scalar and a matrix of the
/// same size for a matrix.
/// Example:
///     print(cosh(<0,1>));
double MathCosh(double x) { return std::cosh(x); }
/// exp(x)
/// The exponential of each element of `x`, a double for a scalar and a matrix of the same
/// size for a matrix.
/// Example:
///     print(exp(<0,1,2>));
double MathExp(double x) { return std::exp(x); }
/// fabs(x)
/// The absolute value of each element of `x`, as a double (a matrix of the same size for a
/// matrix).
/// Example:
///     print(fabs(<-1.5,2,-3>));
double MathFabs(double x) { return std::fabs(x); }
/// floor(x)
/// Each element of `x` rounded down to a whole number, as a double (a matrix of the same size
/// for a matrix).
/// Example:
///     print(floor(<1.8,-1.2,3>));
double MathFloor(double x) { return std::floor(x); }
/// log(x)
/// The natural logarithm of each element of `x`, a double for a scalar and a matrix of the
/// same size for a matrix. Zero gives -.Inf, a negative number NaN.
/// Example:
///     print(log(<1,M_E,0>));
double MathLog(double x) { return std::log(x); }
/// log10(x)
/// The base-10 logarithm of each element of `x`, a double for a scalar and a matrix of the
/// same size for a matrix. Zero gives -.Inf, a negative number NaN.
/// Example:
///     print(log10(<1,10,1000>));
double MathLog10(double x) { return std::log10(x); }
/// round(x)
/// Each element of `x` rounded to the nearest whole number, as a double; halves go up (x + 0.5
/// rounded down), so -2.5 becomes -2.
/// Example:
///     print(round(<1.4,1.5,-2.5,-2.6>));
double MathRound(double x) { return std::floor(x + 0.5); }
/// sin(x)
/// The sine of each element of `x` (in radians), a double for a scalar and a matrix of the
/// same size for a matrix.
/// Example:
///     print(sin(<0,M_PI_2>));
double MathSin(double x) { return std::sin(x); }
/// sinh(x)
/// The hyperbolic sine of each element of `x`, a double for a scalar and a matrix of the same
/// size for a matrix.
/// Example:
///     print(sinh(<0,1>));
double MathSinh(double x) { return std::sinh(x); }
/// sqr(x)
/// The square of each element of `x`, a double for a scalar and a matrix of the same size for
/// a matrix.
/// Example:
///     print(sqr(<1,-2,3>));
double MathSqr(double x) { return x * x; }
/// sqrt(x)
/// The square root of each element of `x`, a double for a scalar and a matrix of the same size
/// for a matrix; a negative element gives NaN.
/// Example:
///     print(sqrt(<4,2,-1>));
double MathSqrt(double x) { return std::sqrt(x); }
/// tan(x)
/// The tangent of each element of `x` (in radians), a double for a scalar and a matrix of the
/// same size for a matrix.
/// Example:
///     print(tan(<0,1>));
double MathTan(double x) { return std::tan(x); }
/// tanh(x)
/// The hyperbolic tangent of each element of `x`, a double for a scalar and a matrix of the
/// same size for a matrix.
/// Example:
///     print(tanh(<0,1>));
double MathTanh(double x) { return std::tanh(x); }
/// trunc(x)
/// Each element of `x` with its fraction dropped (rounded towards zero), as a double.
/// Example:
///     print(trunc(<1.8,-1.8>));
double MathTrunc(double x) { return std::trunc(x); }

}  // namespace zu::stdlib
