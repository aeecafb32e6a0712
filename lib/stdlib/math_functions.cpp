// The scalar functions behind the one-argument library functions.
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

double MathAcos(double x) { return std::acos(x); }
double MathAsin(double x) { return std::asin(x); }
double MathAtan(double x) { return std::atan(x); }
double MathCeil(double x) { return std::ceil(x); }
double MathCos(double x) { return std::cos(x); }
double MathCosh(double x) { return std::cosh(x); }
double MathExp(double x) { return std::exp(x); }
double MathFabs(double x) { return std::fabs(x); }
double MathFloor(double x) { return std::floor(x); }
double MathLog(double x) { return std::log(x); }
double MathLog10(double x) { return std::log10(x); }
double MathRound(double x) { return std::floor(x + 0.5); }
double MathSin(double x) { return std::sin(x); }
double MathSinh(double x) { return std::sinh(x); }
double MathSqr(double x) { return x * x; }
double MathSqrt(double x) { return std::sqrt(x); }
double MathTan(double x) { return std::tan(x); }
double MathTanh(double x) { return std::tanh(x); }
double MathTrunc(double x) { return std::trunc(x); }

}  // namespace zu::stdlib
