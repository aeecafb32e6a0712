// Matrix products and division by a matrix: "*" on two matrices, "/" with
// a matrix on the right, the Kronecker product "**", the horizontal direct
// product "*~", "X'X" and "XY'".  Products go through the kernel slots and
// never write over an operand, so their results are new blocks.
#include <cstdint>
#include <climits>

#include "program/tokens.h"
#include "run/opr_inverse.h"
#include "run/opr_ops.h"
#include "run/opr_support.h"

namespace zu::run::ops {
namespace {

namespace tok = program::tok;

bool IsScalar(const ZuVALUE* v) {
    const Kind kind = KindOf(v);
    return kind == kInt || kind == kDouble || kind == kUnit;
}

bool IsNumeric(const ZuVALUE* v) { return IsScalar(v) || KindOf(v) == kMatrix; }

// The product of two dimensions, or -1 when it leaves int.
int DimensionProduct(int a, int b) {
    const std::int64_t n = static_cast<std::int64_t>(a) * b;
    return n > INT_MAX ? -1 : static_cast<int>(n);
}

}  // namespace

void MatrixProduct(ZuVALUE* left, ZuVALUE* right, int code) {
    const int rA = Rows(left), cA = Columns(left), cB = Columns(right);
    if (cA != Rows(right)) {
        BadOperand(left, code, right);
        return;
    }
    MatrixResult result;
    MatAB(result.PrepareNew(left, rA, cB), left->w3.m, rA, cA, right->w3.m, cB);
    result.Commit();
}

void MatrixDivide(ZuVALUE* left, ZuVALUE* right, int code) {
    if (!IsNumeric(left)) {
        BadOperand(left, code, right);
        return;
    }
    const int r = Rows(right), c = Columns(right);
    if (KindOf(left) == kMatrix && Columns(left) != c) {
        BadOperand(left, code, right);
        return;
    }
    // right is replaced by its inverse, c x r, which then multiplies left.
    MatrixResult inverse;
    double** inv = inverse.PrepareNew(right, c, r);
    const bool done = r == c ? InverseOrGeneralized(right->w3.m, r, inv) : GeneralizedInverse(right->w3.m, r, c, inv);
    if (!done) {
        OperatorError(kSvdFailed, code);
        return;
    }
    inverse.Commit();
    if (KindOf(left) == kMatrix) {
        MatrixProduct(left, right, code);
    } else {
        ArithmeticAs(left, right, tok::DotStar, code);
    }
}

void Kronecker(ZuVALUE* left, ZuVALUE* right, int code) {
    if (!IsNumeric(left) || !IsNumeric(right)) {
        BadOperand(left, code, right);
        return;
    }
    if (IsScalar(left) && IsScalar(right)) {
        ArithmeticAs(left, right, tok::DotStar, code);
        return;
    }
    const OperandMatrix a(left), b(right);
    const int r = DimensionProduct(a.r, b.r), c = DimensionProduct(a.c, b.c);
    if (r < 0 || c < 0) {
        Fail(kOutOfMemory, nullptr);
        return;
    }
    MatrixResult result;
    double** out = result.PrepareNew(left, r, c);
    for (int i = 0; i < a.r; ++i) {
        for (int k = 0; k < b.r; ++k) {
            double* row = out[i * b.r + k];
            for (int j = 0; j < a.c; ++j) {
                const double x = a.m[i][j];
                for (int l = 0; l < b.c; ++l) row[j * b.c + l] = x * b.m[k][l];
            }
        }
    }
    result.Commit();
}

void DirectProduct(ZuVALUE* left, ZuVALUE* right, int code) {
    if (!IsNumeric(left) || !IsNumeric(right)) {
        BadOperand(left, code, right);
        return;
    }
    const OperandMatrix a(left), b(right);
    const int c = DimensionProduct(a.c, b.c);
    if (a.r != b.r) {
        BadOperand(left, code, right);
        return;
    }
    if (c < 0) {
        Fail(kOutOfMemory, nullptr);
        return;
    }
    MatrixResult result;
    double** out = result.PrepareNew(left, a.r, c);
    for (int i = 0; i < a.r; ++i) {
        for (int j = 0; j < a.c; ++j) {
            const double x = a.m[i][j];
            for (int l = 0; l < b.c; ++l) out[i][j * b.c + l] = x * b.m[i][l];
        }
    }
    result.Commit();
}

void MultiplyTransposed(ZuVALUE* left, ZuVALUE* right, int code) {
    if (KindOf(left) == kMatrix && KindOf(right) == kMatrix) {
        const int rA = Rows(left), cA = Columns(left), rB = Rows(right);
        if (cA != Columns(right)) {
            BadOperand(left, code, right);
            return;
        }
        MatrixResult result;
        MatABt(result.PrepareNew(left, rA, rB), left->w3.m, rA, cA, right->w3.m, rB);
        result.Commit();
        return;
    }
    if (!IsNumeric(left) || !IsNumeric(right)) {
        BadOperand(left, code, right);
        return;
    }
    // With a scalar on either side the product is element by element.
    Transpose(right, code);
    ArithmeticAs(left, right, tok::DotStar, code);
}

void CrossProduct(ZuVALUE* top, int code) {
    switch (KindOf(top)) {
    case kInt:
        SetInt(top, static_cast<int>(static_cast<unsigned>(top->w1.i) * static_cast<unsigned>(top->w1.i)));
        return;
    case kDouble: SetDouble(top, top->w1.d * top->w1.d); return;
    case kUnit:
    case kMatrix: {
        const int r = Rows(top), c = Columns(top);
        MatrixResult result;
        MatBtB(result.PrepareNew(top, c, c), top->w3.m, r, c);
        result.Commit();
        return;
    }
    default: BadOperand(code, top);
    }
}

}  // namespace zu::run::ops
