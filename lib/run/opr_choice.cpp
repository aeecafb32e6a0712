// The element choice ".?": condition, value if true, value if false.  A
// NaN condition counts as true (it is not zero).
#include <cstddef>
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

// z[k] = m[k] != 0 ? x[k * sx] : y[k * sy] for k < n, each step 0 or 1,
// with a loop of constant steps for each combination.
void ChooseRun(double* z, const double* m, const double* x, int sx, const double* y, int sy, std::size_t n) {
    if (sx != 0 && sy != 0) {
ZU_INDEPENDENT_ITERATIONS
        for (std::size_t k = 0; k < n; ++k) z[k] = m[k] != 0.0 ? x[k] : y[k];
    } else if (sx != 0) {
        const double b = *y;
ZU_INDEPENDENT_ITERATIONS
        for (std::size_t k = 0; k < n; ++k) z[k] = m[k] != 0.0 ? x[k] : b;
    } else if (sy != 0) {
        const double a = *x;
ZU_INDEPENDENT_ITERATIONS
        for (std::size_t k = 0; k < n; ++k) z[k] = m[k] != 0.0 ? a : y[k];
    } else {
        const double a = *x, b = *y;
ZU_INDEPENDENT_ITERATIONS
        for (std::size_t k = 0; k < n; ++k) z[k] = m[k] != 0.0 ? a : b;
    }
}

void ChooseElements(ZuVALUE* condition, ZuVALUE* whenTrue, ZuVALUE* whenFalse) {
    const int r = Rows(condition), c = Columns(condition);
    double** m = condition->w3.m;
    const Spread a(whenTrue), b(whenFalse);
    MatrixResult result;
    double** out = result.Prepare(condition, nullptr, r, c);
    if (c == 1) {
        // A column is walked through its row pointers, as in ElementLoop.
        for (int i = 0; i < r; ++i) out[i][0] = m[i][0] != 0.0 ? *a.Row(i) : *b.Row(i);
    } else if (RowsAdjoin(m, r, c) && a.Whole(r, c) && b.Whole(r, c) && RowsAdjoin(out, r, c)) {
        ChooseRun(out[0], m[0], a.Row(0), a.WholeStep(), b.Row(0), b.WholeStep(), static_cast<std::size_t>(r) * c);
    } else {
        for (int i = 0; i < r; ++i)
            ChooseRun(out[i], m[i], a.Row(i), a.Step(), b.Row(i), b.Step(), static_cast<std::size_t>(c));
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
