// Operators of the ZuGauss mode without a Zu counterpart: the factorial
// "!", the string join "$+" and the string comparisons, plain ("$<" ...:
// an int) and element by element (".$<" ...: over arrays of strings, a
// column of 0 and 1).  ".eqv", ".xor" and ".not" are element-wise logical
// operators in opr_arithmetic.cpp and opr_unary.cpp; "$~" and "$|" join
// string arrays as "~" joins arrays.
#include <algorithm>
#include <cmath>

#include "program/tokens.h"
#include "run/opr_ops.h"
#include "run/opr_support.h"

namespace zu::run::ops {
namespace {

namespace tok = program::tok;

// n! of a non-negative integral n; NaN for anything else.
double Factorial(double x) {
    if (!(x >= 0.0) || x != std::floor(x)) return NAN;
    return x > 170.0 ? INFINITY : DFactorial(static_cast<int>(x));
}

bool IsText(const ZuVALUE* v) { return KindOf(v) == kString; }

// An array operand of the element forms: every element a string.
bool IsTextList(const ZuVALUE* v) {
    if (KindOf(v) != kArray) return false;
    for (int k = 0; k < v->w1.i; ++k) {
        if (!IsText(&v->w2.v[k])) return false;
    }
    return true;
}

int TextCount(const ZuVALUE* v) { return IsText(v) ? 1 : std::max(v->w1.i, 0); }
// Element k of a string operand; a string or a one-element array stands
// for every element.
const ZuVALUE* TextAt(const ZuVALUE* v, int k) {
    if (IsText(v)) return v;
    return &v->w2.v[TextCount(v) == 1 ? 0 : k];
}

// b / A for a tall A of full column rank: (A'A)^-1 A'b, through the
// Cholesky inverse of A'A.  False (nothing changed) when A'A is not
// positive definite: the generalised inverse then decides.
bool LeastSquares(ZuVALUE* left, ZuVALUE* right, int r, int c, int k) {
    double** ata = CMatAlloc(c, c);
    double** atb = CMatAlloc(c, k);
    if (ata == nullptr || atb == nullptr) {
        if (ata != nullptr) CMatFree(ata, c, c);
        if (atb != nullptr) CMatFree(atb, c, k);
        return false;
    }
    MatAtB(ata, right->w3.m, r, c, right->w3.m, c);
    MatAtB(atb, right->w3.m, r, c, left->w3.m, k);
    const bool solved = ISymInv(ata, c) == 0;
    if (solved) {
        MatrixResult result;
        double** out = result.PrepareNew(left, c, k);
        MatAB(out, ata, c, c, atb, k);
        result.Commit();
    }
    CMatFree(ata, c, c);
    CMatFree(atb, c, k);
    return solved;
}

}  // namespace

void GaussFactorial(ZuVALUE* top, int code) {
    switch (KindOf(top)) {
    case kInt:
    case kDouble: SetDouble(top, Factorial(ScalarOf(top))); return;
    case kUnit:
    case kMatrix: {
        const int r = Rows(top), c = Columns(top);
        double** m = top->w3.m;
        MatrixResult result;
        double** out = result.Prepare(top, nullptr, r, c);
        for (int i = 0; i < r; ++i) {
            for (int j = 0; j < c; ++j) out[i][j] = Factorial(m[i][j]);
        }
        result.Commit();
        return;
    }
    default: BadOperand(code, top);
    }
}

void GaussDivide(ZuVALUE* left, ZuVALUE* right, int code) {
    if (KindOf(left) != kMatrix || KindOf(right) != kMatrix) {
        ArithmeticAs(left, right, tok::DotSlash, code);
        return;
    }
    const int r = Rows(right), c = Columns(right), k = Columns(left);
    if (r > c && Rows(left) == r && LeastSquares(left, right, r, c, k)) return;
    // b / A = (b' / A')', and the Zu division multiplies by the inverse
    // (generalised when A is not square) on the right.
    Transpose(left, code);
    Transpose(right, code);
    MatrixDivide(left, right, code);
    Transpose(left, code);
}

void GaussStringJoin(ZuVALUE* left, ZuVALUE* right, int code) {
    if (!IsText(left) || !IsText(right)) {
        BadOperand(left, code, right);
        return;
    }
    JoinStrings(left, right);
}

void GaussStringCompare(ZuVALUE* left, ZuVALUE* right, int code) {
    if (IsText(left) && IsText(right)) {
        SetInt(left, RelationHolds(code, CompareStrings(left, right)) ? 1 : 0);
        return;
    }
    const bool elementwise = code >= tok::DotStrLt && code <= tok::DotStrNe;
    const bool lists = (IsText(left) || IsTextList(left)) && (IsText(right) || IsTextList(right));
    const int nl = lists ? TextCount(left) : 0, nr = lists ? TextCount(right) : 0;
    if (!elementwise || !lists || (nl != nr && nl != 1 && nr != 1)) {
        BadOperand(left, code, right);
        return;
    }
    // A single string repeats; against an empty array the result is empty.
    const int n = nl == nr ? nl : (nl == 1 ? nr : nl);
    MatrixResult result;
    double** out = result.PrepareNew(left, n, n > 0 ? 1 : 0);
    for (int k = 0; k < n; ++k) {
        const int sign = CompareStrings(TextAt(left, k), TextAt(right, k));
        out[k][0] = RelationHolds(code, sign) ? 1.0 : 0.0;
    }
    result.Commit();
}

}  // namespace zu::run::ops
