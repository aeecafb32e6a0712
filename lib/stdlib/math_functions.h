// The one-argument functions of doubles, applied element by element through
// ZuFnDouble: an int or a double gives a double, a matrix a matrix of the
// same size, anything else is converted to double or raises the type error.
#ifndef ZU_STDLIB_MATH_FUNCTIONS_H
#define ZU_STDLIB_MATH_FUNCTIONS_H

#include "zu.h"

namespace zu::stdlib {

// A string is text, not a number: it gets the type error of the argument
// check instead of a conversion of its bytes.  False after that report.
bool NotText(ZuVALUE* pv);

template <ZuFNDOUBLE F>
void FnMath(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    if (NotText(pv)) ZuFnDouble(rtn, pv, F);
}

// The scalar functions, one per library name.
double MathAcos(double x);
double MathAsin(double x);
double MathAtan(double x);
double MathCeil(double x);
double MathCos(double x);
double MathCosh(double x);
double MathExp(double x);
double MathFabs(double x);
double MathFloor(double x);
double MathLog(double x);
double MathLog10(double x);
double MathRound(double x);  // x + 0.5 rounded down: halves go up
double MathSin(double x);
double MathSinh(double x);
double MathSqr(double x);
double MathSqrt(double x);
double MathTan(double x);
double MathTanh(double x);
double MathTrunc(double x);  // towards zero

}  // namespace zu::stdlib

#endif
