// Powers: the element power ".^" (also "^" of scalars) and the matrix
// power "^" of a square matrix.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "program/tokens.h"
#include "run/opr_engine.h"
#include "run/opr_inverse.h"
#include "run/opr_ops.h"
#include "run/opr_support.h"

namespace zu::run::ops {
namespace {

namespace tok = program::tok;

double Pow(double x, double y) { return std::pow(x, y); }

// An int base stays exact while every base that squaring produces stays
// within this bound; the product of such bases always fits an int.
constexpr std::int64_t kExactBase = 32767;

// int ^ int: exact by repeated squaring, else the double power.
void IntPower(ZuVALUE* left, int x, int n, int code) {
    if (n < 0) {
        if (x == 0) {
            OperatorError(kNegativePowerOfZero, code);
            return;
        }
        SetDouble(left, std::pow(static_cast<double>(x), n));
        return;
    }
    std::int64_t result = 1, base = x;
    for (unsigned k = static_cast<unsigned>(n); k != 0;) {
        if ((k & 1U) != 0) result *= base;
        k >>= 1;
        if (k == 0) break;
        base *= base;
        if (std::llabs(base) > kExactBase) {
            SetDouble(left, std::pow(static_cast<double>(x), n));
            return;
        }
    }
    SetInt(left, static_cast<int>(result));
}

// The exponent of a matrix power: truncated towards zero, with a warning
// when it was not integral.  False for NaN and infinities.
bool MatrixExponent(const ZuVALUE* right, int code, std::int64_t* n) {
    const double e = ScalarOf(right);
    if (!std::isfinite(e) || std::fabs(e) > 4.0e18) return false;
    const double t = std::trunc(e);
    if (t != e) {
        const std::string text = std::string(" ") + OperatorText(code) + " ";
        Warn(kWarnNonInteger, text.c_str());
    }
    *n = static_cast<std::int64_t>(t);
    return true;
}

// r = a b for n x n blocks (r distinct from both).
void Multiply(double** r, double** a, double** b, int n) { MatAB(r, a, n, n, b, n); }

void MatrixPower(ZuVALUE* left, ZuVALUE* right, int code) {
    const int n = Rows(left);
    std::int64_t e = 0;
    if (n != Columns(left) || !MatrixExponent(right, code, &e)) {
        BadOperand(left, code, right);
        return;
    }
    if (n == 0) return;  // the empty matrix is its own power
    ScratchMatrix base, result, temp;
    base.Allocate(n, n);
    result.Allocate(n, n);
    temp.Allocate(n, n);
    if (e < 0) {
        if (!InverseOrGeneralized(left->w3.m, n, base.get())) {
            OperatorError(kSvdFailed, code);
            return;
        }
    } else {
        MatCopy(base.get(), left->w3.m, n, n);
    }
    MatI(result.get(), n);
    double** b = base.get();
    double** p = result.get();
    double** t = temp.get();
    for (std::uint64_t k = static_cast<std::uint64_t>(e < 0 ? -e : e); k != 0;) {
        if ((k & 1U) != 0) {
            Multiply(t, p, b, n);
            std::swap(p, t);
        }
        k >>= 1;
        if (k == 0) break;
        Multiply(t, b, b, n);
        std::swap(b, t);
    }
    // The three blocks change roles while squaring; keep the one that holds
    // the power and let the owners free the other two.
    double** blocks[3] = {base.Release(), result.Release(), temp.Release()};
    for (double** m : blocks) {
        if (m != p) CMatFree(m, n, n);
    }
    AdoptMatrix(left, p, n, n);
}

}  // namespace

void DotPower(ZuVALUE* left, ZuVALUE* right, int code) {
    UnitToDouble(left);
    UnitToDouble(right);
    switch (PairOf(left, right)) {
    case Pair::kInts: IntPower(left, left->w1.i, right->w1.i, code); return;
    case Pair::kScalars: SetDouble(left, Pow(ScalarOf(left), ScalarOf(right))); return;
    case Pair::kScalarMatrix: ElementLoop<Pow>(left, right, Rows(right), Columns(right)); return;
    case Pair::kMatrixScalar: ElementLoop<Pow>(left, right, Rows(left), Columns(left)); return;
    case Pair::kMatrices: {
        int r = 0, c = 0;
        if (CombinedShape(left, right, &r, &c)) {
            ElementLoop<Pow>(left, right, r, c);
            return;
        }
        break;
    }
    default: break;
    }
    BadOperand(left, tok::DotCaret, right);  // "^" of scalars is the element power
}

void Power(ZuVALUE* left, ZuVALUE* right, int code) {
    const Kind exponent = KindOf(right);
    if (code == tok::Caret && KindOf(left) == kMatrix &&
        (exponent == kInt || exponent == kDouble || exponent == kUnit)) {
        MatrixPower(left, right, code);
        return;
    }
    DotPower(left, right, code);
}

}  // namespace zu::run::ops

extern "C" ZU_API void ZuRunDotPower(ZuVALUE* v1, ZuVALUE* v2) {
    try {
        zu::run::ops::Materialise(v1);
        zu::run::ops::Materialise(v2);
        zu::run::ops::DotPower(v1, v2, zu::program::tok::DotCaret);
    } catch (const zu::run::ops::Abandoned&) {
        // an error was reported outside a run; the operands stay
    }
}
