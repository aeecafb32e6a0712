// The unary operators: negation, logical not, increment and decrement,
// and the transpose.  An owned matrix is changed in its own storage.
#include <utility>

#include "program/tokens.h"
#include "run/opr_ops.h"
#include "run/opr_support.h"

namespace zu::run::ops {
namespace {

namespace tok = program::tok;

constexpr double Minus(double x) { return -x; }
constexpr double IsZero(double x) { return x == 0.0 ? 1.0 : 0.0; }  // NaN is not zero
constexpr double PlusOne(double x) { return x + 1.0; }
constexpr double MinusOne(double x) { return x - 1.0; }

int WrapAdd(int a, int b) { return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b)); }

template <double (*F)(double)>
void Elements(ZuVALUE* top) {
    const int r = Rows(top), c = Columns(top);
    double** m = top->w3.m;
    MatrixResult result;
    double** out = result.Prepare(top, nullptr, r, c);
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j) out[i][j] = F(m[i][j]);
    }
    result.Commit();
}

// One unary operator: what an int becomes (int or double), what a double
// and every matrix element become.
template <double (*F)(double)>
void Apply(ZuVALUE* top, int code, int (*onInt)(int)) {
    switch (KindOf(top)) {
    case kInt: SetInt(top, onInt(top->w1.i)); return;
    case kDouble: SetDouble(top, F(top->w1.d)); return;
    case kUnit:
    case kMatrix: Elements<F>(top); return;
    default: BadOperand(code, top);
    }
}

}  // namespace

void Negate(ZuVALUE* top, int code) {
    // -(-2147483648) wraps to itself.
    Apply<Minus>(top, code, [](int i) { return static_cast<int>(0U - static_cast<unsigned>(i)); });
}

void Not(ZuVALUE* top, int code) {
    Apply<IsZero>(top, code, [](int i) { return i == 0 ? 1 : 0; });
}

void Step(ZuVALUE* top, int code) {
    if (code == tok::PlusPlus) {
        Apply<PlusOne>(top, code, [](int i) { return WrapAdd(i, 1); });
    } else {
        Apply<MinusOne>(top, code, [](int i) { return WrapAdd(i, -1); });
    }
}

void Transpose(ZuVALUE* top, int code) {
    const Kind kind = KindOf(top);
    if (kind == kInt || kind == kDouble) return;
    if (kind != kUnit && kind != kMatrix) {
        BadOperand(code, top);
        return;
    }
    const int r = Rows(top), c = Columns(top);
    double** m = top->w3.m;
    if (r == c && value::HasFlag(top, ZU_FLAG_VAL)) {
        for (int i = 0; i < r; ++i) {
            for (int j = i + 1; j < c; ++j) std::swap(m[i][j], m[j][i]);
        }
        return;
    }
    MatrixResult result;
    double** out = result.PrepareNew(top, c, r);
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j) out[j][i] = m[i][j];
    }
    result.Commit();
}

}  // namespace zu::run::ops
