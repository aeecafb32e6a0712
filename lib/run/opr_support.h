// What the operator files share: the operand kinds and the type-pair
// table, the error reports, result records and the storage of matrix
// results.
//
// Ownership on the stack: a binary operator writes its result into the
// left entry; the dispatcher frees the right entry afterwards.  A run-time
// error may unwind out of any operator, so every entry must be in a sound
// state (each block owned by at most one entry) whenever an error is
// raised, and scratch storage is held by owners that free it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "run/run_errors.h"
#include "value/value.h"
#include "zu.h"

// Before a loop whose iterations are independent (each element is read
// before it is written, so a result may be one of the operands): lets GCC
// vectorise it without a run-time overlap check.  Clang, which builds only
// the fuzz targets, is left to its own checks.
#if defined(__clang__)
#define ZU_INDEPENDENT_ITERATIONS
#else
#define ZU_INDEPENDENT_ITERATIONS _Pragma("GCC ivdep")
#endif

namespace zu::run::ops {

// Run-time error codes raised by the operators (from the one message
// table).
inline constexpr int kOutOfMemory = static_cast<int>(Err::OutOfMemory);
inline constexpr int kDivideByZero = static_cast<int>(Err::DivideByZero);
inline constexpr int kBadOperand = static_cast<int>(Err::BadOperand);
inline constexpr int kScalarExpected = static_cast<int>(Err::ScalarExpected);
inline constexpr int kWrongType = static_cast<int>(Err::WrongType);
inline constexpr int kNegativePowerOfZero = static_cast<int>(Err::NegativePowerOfZero);
inline constexpr int kSvdFailed = static_cast<int>(Err::SvdFailed);
inline constexpr int kCannotCastToInt = static_cast<int>(Err::CastToInt);
inline constexpr int kInvalidNumber = static_cast<int>(Err::InvalidNumber);

// Warning kinds issued by the operators.
inline constexpr int kWarnPadded = 2;
inline constexpr int kWarnNonInteger = 3;

// ---------------------------------------------------------------------------
// Operand kinds and the type-pair table
// ---------------------------------------------------------------------------

// How an operand takes part in arithmetic.  A 1 x 1 matrix is a kind of
// its own because it counts as a double next to a scalar or another 1 x 1
// matrix and as a matrix next to any other matrix.  A value without a
// value (nul) is Other.
enum Kind : std::uint8_t { kInt, kDouble, kUnit, kMatrix, kString, kArray, kOther, kKinds };

Kind KindOf(const ZuVALUE* v);

// The combinations that the arithmetic operators tell apart.
enum class Pair : std::uint8_t {
    kBad,           // no rule: error 10
    kInts,          // int with int
    kScalars,       // ints, doubles and 1 x 1 matrices, computed as doubles
    kScalarMatrix,  // a scalar on the left, a matrix on the right
    kMatrixScalar,
    kMatrices,  // two matrices (a 1 x 1 one next to a larger one)
    kStrings,
};

Pair PairOf(const ZuVALUE* left, const ZuVALUE* right);

// The double of an int, a double or a 1 x 1 matrix (the caller knows the
// kind).
inline double ScalarOf(const ZuVALUE* v) {
    switch (v->t & ZU_TYPE_MASK) {
    case ZU_INT: return v->w1.i;
    case ZU_DOUBLE: return v->w1.d;
    default: return v->w3.m[0][0];
    }
}

using value::Columns;
using value::MatrixData;
using value::Rows;
inline bool HasElements(const ZuVALUE* v) { return Rows(v) > 0 && Columns(v) > 0 && MatrixData(v) != nullptr; }

// ---------------------------------------------------------------------------
// Errors and warnings
// ---------------------------------------------------------------------------

// Thrown when a run-time error report returns, which it does only when no
// run is active (a host calling an exported cast outside a run): the
// operation is abandoned with its operands left as they are.  DoOpr,
// DoFni and the exported entry points catch it.
struct Abandoned {};

// Raises run-time error `code`; never returns.
[[noreturn]] void Fail(int code, const char* text);

// The operator's text in messages (the token text; own names for the
// string operators of the ZuGauss mode, which have none).
const char* OperatorText(int code);

// Error 10 "bad operand": the left description, the operator text between
// blanks and the right description; the unary form names the operator and
// then the operand.
[[noreturn]] void BadOperand(const ZuVALUE* left, int code, const ZuVALUE* right);
[[noreturn]] void BadOperand(int code, const ZuVALUE* operand);

// A run-time error with the operator's text (e.g. 28 with " ^ ").
[[noreturn]] void OperatorError(int error, int code);

// A warning of the given kind, located at the running instruction.
void Warn(int kind, const char* text);

// ---------------------------------------------------------------------------
// Results
// ---------------------------------------------------------------------------

// Replace the record's content by a scalar (freeing what it owned).
inline void SetInt(ZuVALUE* v, int i) {
    ZuFreeByValue(v);
    v->t = ZU_INT;
    v->w1.i = i;
}
inline void SetDouble(ZuVALUE* v, double d) {
    ZuFreeByValue(v);
    v->t = ZU_DOUBLE;
    v->w1.d = d;
}

// A 1 x 1 matrix becomes a double where an operator takes it as one.
inline void UnitToDouble(ZuVALUE* v) {
    if (KindOf(v) == kUnit) SetDouble(v, v->w3.m[0][0]);
}

// Moves `from` into `to`, which first frees what it owned; `from` is left
// as int 0, owning nothing.
void MoveValue(ZuVALUE* to, ZuVALUE* from);

// An element source that repeats a scalar, or a matrix along its
// dimensions of size 1, to fill a larger shape.
class Spread {
public:
    explicit Spread(const ZuVALUE* v);
    // Row i of the source and the step between its elements (0 when one
    // value is repeated across the row).
    const double* Row(int i) const { return m_ == nullptr ? &scalar_ : m_[r_ == 1 ? 0 : i]; }
    int Step() const { return m_ != nullptr && c_ != 1 ? 1 : 0; }
    // True when the source walks an r x c shape as one run: a single value,
    // or an r x c matrix whose rows lie one after another.
    bool Whole(int r, int c) const;
    // The step of that single run: 0 for a single value, else 1.
    int WholeStep() const { return m_ != nullptr && (r_ != 1 || c_ != 1) ? 1 : 0; }

private:
    double scalar_ = 0.0;
    double** m_ = nullptr;
    int r_ = 1;
    int c_ = 1;
};

// An int, a double or a matrix seen as a matrix (a scalar as 1 x 1).  It
// points into itself, so it is neither copied nor moved.
class OperandMatrix {
public:
    explicit OperandMatrix(const ZuVALUE* v);
    OperandMatrix(const OperandMatrix&) = delete;
    OperandMatrix& operator=(const OperandMatrix&) = delete;
    double** m = nullptr;
    int r = 1;
    int c = 1;

private:
    double value_ = 0.0;
    double* row_ = &value_;
};

// The shape of an element-wise result of two matrices: empty (0 x 0) when
// either has no elements, else the larger of each dimension, a dimension of
// 1 conforming to any other.  False when the shapes do not conform.
bool CombinedShape(const ZuVALUE* a, const ZuVALUE* b, int* r, int* c);

// The storage of a matrix result that replaces the left entry.  With an
// operand given, the result goes into the operand's own matrix when the
// operand owns one of the result's shape (element-wise results read each
// element before writing it); otherwise a new block is allocated.  Until
// Commit, the operands are untouched and a new block belongs to this
// object, so an error raised in between loses nothing.
class MatrixResult {
public:
    MatrixResult() = default;
    MatrixResult(const MatrixResult&) = delete;
    MatrixResult& operator=(const MatrixResult&) = delete;
    ~MatrixResult();

    // Row table of an r x c result for `left`, reusing `left` or `right`
    // (either may be null) as described; raises error 4 when memory runs
    // out.  Null for a result without rows.
    double** Prepare(ZuVALUE* left, ZuVALUE* right, int r, int c);
    // A new block only (results that must not overlap an operand).
    double** PrepareNew(ZuVALUE* left, int r, int c) { return Prepare(left, nullptr, r, c, false); }
    // The left entry becomes the result; the right entry, if its storage
    // was taken, is left as int 0.
    void Commit();

private:
    double** Prepare(ZuVALUE* left, ZuVALUE* right, int r, int c, bool reuse);

    ZuVALUE* left_ = nullptr;
    ZuVALUE* taken_ = nullptr;  // the operand whose storage holds the result
    ZuVALUE fresh_{};
};

// z[k] = F(x[k * sx], y[k * sy]) for k < n, with each step 0 (one value
// repeated) or 1.  Each combination has its own loop with constant steps,
// so that the compiler vectorises it; z may be x or y itself, which the
// loops allow because every element is read before it is written.
template <double (*F)(double, double)>
void ElementRun(double* z, const double* x, int sx, const double* y, int sy, std::size_t n) {
    if (sx != 0 && sy != 0) {
ZU_INDEPENDENT_ITERATIONS
        for (std::size_t k = 0; k < n; ++k) z[k] = F(x[k], y[k]);
    } else if (sy != 0) {
        const double a = *x;
ZU_INDEPENDENT_ITERATIONS
        for (std::size_t k = 0; k < n; ++k) z[k] = F(a, y[k]);
    } else if (sx != 0) {
        const double b = *y;
ZU_INDEPENDENT_ITERATIONS
        for (std::size_t k = 0; k < n; ++k) z[k] = F(x[k], b);
    } else {
        const double v = F(*x, *y);
        for (std::size_t k = 0; k < n; ++k) z[k] = v;
    }
}

using value::RowsAdjoin;

// The element loop of an r x c result of two operands (scalars or
// matrices that spread to that shape): z = F(x, y) element by element.
// When neither operand spreads a row or a column and the blocks are
// contiguous, the whole matrix is one run.
template <double (*F)(double, double)>
void ElementLoop(ZuVALUE* left, ZuVALUE* right, int r, int c) {
    const Spread a(left);
    const Spread b(right);
    MatrixResult result;
    double** out = result.Prepare(left, right, r, c);
    if (c == 1) {
        // A column: one element a row, reached through the row pointers,
        // which costs no more than checking that the rows adjoin (both
        // read the whole row table; the check then reads the data again).
        for (int i = 0; i < r; ++i) out[i][0] = F(*a.Row(i), *b.Row(i));
    } else if (r > 0 && c > 0) {
        if (a.Whole(r, c) && b.Whole(r, c) && RowsAdjoin(out, r, c)) {
            ElementRun<F>(out[0], a.Row(0), a.WholeStep(), b.Row(0), b.WholeStep(), static_cast<std::size_t>(r) * c);
        } else {
            for (int i = 0; i < r; ++i)
                ElementRun<F>(out[i], a.Row(i), a.Step(), b.Row(i), b.Step(), static_cast<std::size_t>(c));
        }
    }
    result.Commit();
}

// Owner of a scratch matrix block from the cache.
class ScratchMatrix {
public:
    ScratchMatrix() = default;
    ScratchMatrix(const ScratchMatrix&) = delete;
    ScratchMatrix& operator=(const ScratchMatrix&) = delete;
    ~ScratchMatrix() { Reset(); }
    // An r x c block (r, c >= 1); raises error 4 when memory runs out.
    double** Allocate(int r, int c);
    double** get() const { return m_; }
    void Reset();
    // Hands the block over to the caller.
    double** Release();

private:
    double** m_ = nullptr;
    int r_ = 0;
    int c_ = 0;
};

// Makes `v` an owned matrix that takes the block `m` (r x c) over.
void AdoptMatrix(ZuVALUE* v, double** m, int r, int c);

}  // namespace zu::run::ops
