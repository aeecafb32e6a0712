// The remainder "%": doubles are first rounded to ints (x + 0.5 rounded
// down), and the remainder is that of truncated division, its sign
// following the left operand.  A zero divisor stops with "divide by zero".
#include <cmath>

#include "program/tokens.h"
#include "run/opr_ops.h"
#include "run/opr_support.h"
#include "value/cast.h"

namespace zu::run::ops {
namespace {

namespace tok = program::tok;

// The rounded int of a double; false when there is none (NaN, too large).
bool Rounded(double x, int* i) { return value::DoubleToInt(std::floor(x + 0.5), i); }

// a % b for b != 0; INT_MIN % -1 is 0 rather than a trap.
int IntRemainder(int a, int b) { return b == -1 ? 0 : a % b; }

double ElementRemainder(double x, double y) {
    int a = 0, b = 0;
    if (!Rounded(x, &a) || !Rounded(y, &b)) return NAN;  // a missing value stays missing
    if (b == 0) {
        OperatorError(kDivideByZero, tok::Percent);
        return NAN;
    }
    return IntRemainder(a, b);
}

void ScalarRemainder(ZuVALUE* left, ZuVALUE* right, int code) {
    int a = 0, b = 0;
    if (!Rounded(ScalarOf(left), &a) || !Rounded(ScalarOf(right), &b)) {
        OperatorError(kInvalidNumber, code);
        return;
    }
    if (b == 0) {
        OperatorError(kDivideByZero, code);
        return;
    }
    SetInt(left, IntRemainder(a, b));
}

}  // namespace

void Remainder(ZuVALUE* left, ZuVALUE* right, int code) {
    UnitToDouble(left);
    UnitToDouble(right);
    switch (PairOf(left, right)) {
    case Pair::kInts:
    case Pair::kScalars: ScalarRemainder(left, right, code); return;
    case Pair::kScalarMatrix: ElementLoop<ElementRemainder>(left, right, Rows(right), Columns(right)); return;
    case Pair::kMatrixScalar: ElementLoop<ElementRemainder>(left, right, Rows(left), Columns(left)); return;
    case Pair::kMatrices:
        if (Rows(left) == Rows(right) && Columns(left) == Columns(right)) {
            ElementLoop<ElementRemainder>(left, right, Rows(left), Columns(left));
            return;
        }
        break;
    default: break;
    }
    BadOperand(left, code, right);
}

}  // namespace zu::run::ops
