// Scalar functions of doubles applied element by element.
//
// An operand is either a matrix or a scalar repeated over the result; the
// result matrix is allocated once, after every argument has been checked,
// and filled row by row.
#include <array>
#include <cstddef>
#include <type_traits>

#include "value/cast.h"
#include "console/run_error_codes.h"
#include "value/value.h"

using zu::value::IsMatrix;
using zu::value::RowsAdjoin;
using zu::value::TypeCode;

namespace {

constexpr int kIncompatibleType = zu::ErrorNumber(zu::RunErrorCode::IncompatibleType);

struct Operand {
    double** m = nullptr;  // null for a scalar
    double s = 0.0;
    double At(int i, int j) const { return m != nullptr ? m[i][j] : s; }
};

bool IsOneByOne(const ZuVALUE* v) { return IsMatrix(v) && v->w1.i == 1 && v->w2.i == 1; }

// A first argument that is not a matrix must become a double.
bool IsScalarKind(const ZuVALUE* v) {
    const int code = TypeCode(v);
    return code == ZU_INT || code == ZU_DOUBLE || code == ZU_STRING;
}

void Incompatible() { ZuRunError(kIncompatibleType, SZuIntFunc()); }

bool ScalarArg(ZuVALUE* args, int k, Operand* op) {
    if (ZuLibCheckType(ZU_DOUBLE, args, k, k) == 0) return false;
    *op = Operand{nullptr, args[k].w1.d};
    return true;
}

Operand MatrixArg(const ZuVALUE* v) { return Operand{v->w3.m, 0.0}; }

// Allocates an r x c result and stores at(i, j) in each element, unless
// `run` (given the result's rows) has filled it in one run already.
template <typename At, typename Run = bool (*)(double**)>
void Fill(ZuVALUE* rtn, int r, int c, At at, Run run = [](double**) { return false; }) {
    ZuLibValMatMalloc(rtn, r, c);
    if (!IsMatrix(rtn) || rtn->w3.m == nullptr || run(rtn->w3.m)) return;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) rtn->w3.m[i][j] = at(i, j);
}

// z = f(x, y) over an r x c result `out` as one run, when the result and
// each matrix operand are single blocks; false (nothing done) otherwise.
// Most matrices are single blocks, and a matrix walked row by row through
// its row table pays a loop and a load a row for nothing.  A column is
// the exception: checking that its rows adjoin reads the whole row table,
// as the walk does, and then the data a second time, so it is walked.
template <typename F>
bool FillRun(double** out, int r, int c, const Operand& x, const Operand& y, F f) {
    if (c == 1 || !RowsAdjoin(out, r, c) || (x.m != nullptr && !RowsAdjoin(x.m, r, c)) ||
        (y.m != nullptr && !RowsAdjoin(y.m, r, c)))
        return false;
    const std::size_t n = static_cast<std::size_t>(r) * static_cast<std::size_t>(c);
    double* z = out[0];
    if (x.m != nullptr && y.m != nullptr) {
        for (std::size_t k = 0; k < n; ++k) z[k] = f(x.m[0][k], y.m[0][k]);
    } else if (x.m != nullptr) {
        for (std::size_t k = 0; k < n; ++k) z[k] = f(x.m[0][k], y.s);
    } else {
        for (std::size_t k = 0; k < n; ++k) z[k] = f(x.s, y.m[0][k]);
    }
    return true;
}

// Arguments 0..N: x and the further operands.  `call` takes the N + 1
// element values.  Rules of the wrappers with three and four arguments.
template <std::size_t N, typename Call>
void ApplyMany(ZuVALUE* rtn, ZuVALUE* args, Call call) {
    constexpr int last = static_cast<int>(N);
    bool anyMatrix = false;
    for (int k = 1; k <= last; ++k) {
        if (IsOneByOne(&args[k]) && ZuLibCheckType(ZU_DOUBLE, args, k, k) == 0) return;
        anyMatrix = anyMatrix || IsMatrix(&args[k]);
    }
    std::array<Operand, N + 1> ops{};
    int r = 0, c = 0;
    if (IsMatrix(&args[0])) {
        r = args[0].w1.i;
        c = args[0].w2.i;
        ops[0] = MatrixArg(&args[0]);
        if (anyMatrix ? ZuLibCheckMatrixSize(args, 1, last, r, c) == 0 : ZuLibCheckType(ZU_DOUBLE, args, 1, last) == 0)
            return;
    } else if (IsScalarKind(&args[0])) {
        if (!ScalarArg(args, 0, &ops[0])) return;
        if (anyMatrix) {
            if (ZuLibCheckType(ZU_MATRIX, args, 1, 1) == 0) return;
            r = args[1].w1.i;
            c = args[1].w2.i;
            if (ZuLibCheckMatrixSize(args, 2, last, r, c) == 0) return;
        } else if (ZuLibCheckType(ZU_DOUBLE, args, 1, last) == 0) {
            return;
        }
    } else {
        Incompatible();
        return;
    }
    for (int k = 1; k <= last; ++k) ops[k] = anyMatrix ? MatrixArg(&args[k]) : Operand{nullptr, args[k].w1.d};
    auto at = [&](int i, int j) {
        std::array<double, N + 1> x{};
        for (std::size_t k = 0; k <= N; ++k) x[k] = ops[k].At(i, j);
        return call(x);
    };
    if (IsMatrix(&args[0]) || anyMatrix) {
        Fill(rtn, r, c, at);
    } else {
        ZuValSetDouble(rtn, at(0, 0));
    }
}

// The second operand of the two-argument wrappers: matrix x combines with a
// matrix y of its size or a scalar y; scalar x spreads over a matrix y.
// `Y` is how an element of y is handed to f (double or int).
template <typename Y, typename F>
void ApplyTwo(ZuVALUE* rtn, ZuVALUE* args, F f) {
    constexpr bool kIntY = std::is_same_v<Y, int>;
    ZuVALUE* x = &args[0];
    ZuVALUE* y = &args[1];
    Operand xs;
    if (IsMatrix(x)) {
        xs = MatrixArg(x);
    } else if (!IsScalarKind(x)) {
        Incompatible();
        return;
    } else if (!ScalarArg(args, 0, &xs)) {
        return;
    }
    const bool yMatrix = IsMatrix(x) ? IsMatrix(y) && !IsOneByOne(y) : IsMatrix(y);
    if (yMatrix && IsMatrix(x) && ZuLibCheckMatrixSize(args, 1, 1, x->w1.i, x->w2.i) == 0) return;
    const int r = IsMatrix(x) ? x->w1.i : y->w1.i;
    const int c = IsMatrix(x) ? x->w2.i : y->w2.i;
    Operand ys;
    if (yMatrix) {
        ys = MatrixArg(y);
        // Every element of an int operand must be an int before the result
        // exists.
        int unused = 0;
        for (int i = 0; kIntY && i < r; ++i)
            for (int j = 0; j < c; ++j)
                if (!zu::value::DoubleToInt(ys.At(i, j), &unused)) {
                    ZuLibArgError(1);
                    return;
                }
    } else if (ZuLibCheckType(kIntY ? ZU_INT : ZU_DOUBLE, args, 1, 1) == 0) {
        return;
    }
    auto yAt = [&](int i, int j) -> Y {
        if constexpr (kIntY) {
            int n = y->w1.i;
            if (yMatrix) (void)zu::value::DoubleToInt(ys.At(i, j), &n);
            return n;
        } else {
            return yMatrix ? ys.At(i, j) : y->w1.d;
        }
    };
    if (IsMatrix(x) || yMatrix) {
        if constexpr (!kIntY) {
            const Operand ysRun = yMatrix ? ys : Operand{nullptr, y->w1.d};
            Fill(rtn, r, c, [&](int i, int j) { return f(xs.At(i, j), yAt(i, j)); },
                 [&](double** out) { return FillRun(out, r, c, xs, ysRun, f); });
            return;
        }
        Fill(rtn, r, c, [&](int i, int j) { return f(xs.At(i, j), yAt(i, j)); });
    } else {
        ZuValSetDouble(rtn, f(xs.s, yAt(0, 0)));
    }
}

}  // namespace

extern "C" void ZuFnDouble(ZuVALUE* rtn, ZuVALUE* args, ZuFNDOUBLE f) {
    ZuVALUE* x = &args[0];
    if (IsMatrix(x)) {
        const Operand xs = MatrixArg(x);
        Fill(rtn, x->w1.i, x->w2.i, [&](int i, int j) { return f(xs.At(i, j)); });
        return;
    }
    Operand xs;
    if (ScalarArg(args, 0, &xs)) ZuValSetDouble(rtn, f(xs.s));
}

extern "C" void ZuFnDouble2(ZuVALUE* rtn, ZuVALUE* args, ZuFNDOUBLE2 f) { ApplyTwo<double>(rtn, args, f); }

extern "C" void ZuFnDoubleInt(ZuVALUE* rtn, ZuVALUE* args, ZuFNDOUBLEINT f) { ApplyTwo<int>(rtn, args, f); }

extern "C" void ZuFnDouble3(ZuVALUE* rtn, ZuVALUE* args, ZuFNDOUBLE3 f) {
    ApplyMany<2>(rtn, args, [f](const std::array<double, 3>& x) { return f(x[0], x[1], x[2]); });
}

extern "C" void ZuFnDouble4(ZuVALUE* rtn, ZuVALUE* args, ZuFNDOUBLE4 f) {
    ApplyMany<3>(rtn, args, [f](const std::array<double, 4>& x) { return f(x[0], x[1], x[2], x[3]); });
}
