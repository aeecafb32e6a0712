// The unary operators: negation, logical not, increment and decrement,
// and the transpose.  An owned matrix is changed in its own storage.
#include <algorithm>
#include <cstddef>
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
    const auto run = [](double* z, const double* x, std::size_t n) {
ZU_INDEPENDENT_ITERATIONS
        for (std::size_t k = 0; k < n; ++k) z[k] = F(x[k]);
    };
    if (r > 0 && c > 0 && RowsAdjoin(m, r, c) && RowsAdjoin(out, r, c)) {
        run(out[0], m[0], static_cast<std::size_t>(r) * c);
    } else {
        for (int i = 0; i < r; ++i) run(out[i], m[i], static_cast<std::size_t>(c));
    }
    result.Commit();
}

// Tiles of the transpose: a tile's rows and columns both stay in the
// first-level cache while it is copied.
constexpr int kTransposeTile = 32;

// out (c x r) = m' (m is r x c), tile by tile, so that neither the reads
// nor the writes stride through memory a whole row apart each time.
void TransposeInto(double** out, double** m, int r, int c) {
    for (int i0 = 0; i0 < r; i0 += kTransposeTile) {
        const int i1 = std::min(r, i0 + kTransposeTile);
        for (int j0 = 0; j0 < c; j0 += kTransposeTile) {
            const int j1 = std::min(c, j0 + kTransposeTile);
            for (int i = i0; i < i1; ++i) {
                const double* row = m[i];
                for (int j = j0; j < j1; ++j) out[j][i] = row[j];
            }
        }
    }
}

// The square transpose in place, tile pair by tile pair.
void TransposeSquare(double** m, int n) {
    for (int i0 = 0; i0 < n; i0 += kTransposeTile) {
        const int i1 = std::min(n, i0 + kTransposeTile);
        for (int j0 = i0; j0 < n; j0 += kTransposeTile) {
            const int j1 = std::min(n, j0 + kTransposeTile);
            for (int i = i0; i < i1; ++i)
                for (int j = std::max(j0, i + 1); j < j1; ++j) std::swap(m[i][j], m[j][i]);
        }
    }
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
        TransposeSquare(m, r);
        return;
    }
    MatrixResult result;
    double** out = result.PrepareNew(top, c, r);
    TransposeInto(out, m, r, c);
    result.Commit();
}

}  // namespace zu::run::ops
