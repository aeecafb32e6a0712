// The element choice ".?": condition, value if true, value if false.  A
// NaN condition counts as true (it is not zero).
#include <initializer_list>

#include "run/opr_engine.h"
#include "run/opr_ops.h"
#include "run/opr_support.h"

namespace zu::run::ops {
namespace {

bool IsNumber(const ZuVALUE* v) {
    const Kind kind = KindOf(v);
    return kind == kInt || kind == kDouble || kind == kUnit || kind == kMatrix;
}

// A choice operand fits the condition's r x c shape when it is a scalar or
// each of its dimensions is the condition's or 1.
bool Fits(const ZuVALUE* v, int r, int c) {
    if ((v->t & ZU_TYPE_MASK) != ZU_MATRIX) return true;
    return (Rows(v) == r || Rows(v) == 1) && (Columns(v) == c || Columns(v) == 1) && HasElements(v);
}

void ChooseElements(ZuVALUE* condition, ZuVALUE* whenTrue, ZuVALUE* whenFalse) {
    const int r = Rows(condition), c = Columns(condition);
    double** m = condition->w3.m;
    const Spread a(whenTrue), b(whenFalse);
    MatrixResult result;
    double** out = result.Prepare(condition, nullptr, r, c);
    for (int i = 0; i < r; ++i) {
        const double* x = a.Row(i);
        const double* y = b.Row(i);
        const int sx = a.Step(), sy = b.Step();
        for (int j = 0; j < c; ++j) out[i][j] = m[i][j] != 0.0 ? x[j * sx] : y[j * sy];
    }
    result.Commit();
}

}  // namespace

void Choice(ZuVALUE* condition, ZuVALUE* whenTrue, ZuVALUE* whenFalse, int code) {
    const Kind kind = KindOf(condition);
    if (kind == kInt || kind == kDouble) {
        Assign(condition, ScalarOf(condition) != 0.0 ? whenTrue : whenFalse);
        return;
    }
    if (kind != kUnit && kind != kMatrix) {
        BadOperand(condition, code, whenTrue);
        return;
    }
    const bool empty = !HasElements(condition);
    for (ZuVALUE* operand : {whenTrue, whenFalse}) {
        if (!IsNumber(operand) || (!empty && !Fits(operand, Rows(condition), Columns(condition)))) {
            BadOperand(condition, code, operand);
            return;
        }
    }
    if (empty) return;  // the empty choice is the empty condition
    ChooseElements(condition, whenTrue, whenFalse);
}

}  // namespace zu::run::ops
