// Shared steps of the library routines of this folder: matrix arguments,
// output arguments given by address, scratch blocks and the messages.
#pragma once

#include <cmath>
#include <climits>

#include "zu.h"

namespace zu::numerics::library {

// A cache block that frees itself; null when memory ran out (or a size is
// below 1, when there is nothing to hold).
class Block {
public:
    Block(int r, int c) : r_(r), c_(c), m_(r >= 1 && c >= 1 ? CMatAlloc(r, c) : nullptr) {}
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    ~Block() {
        if (m_ != nullptr) CMatFree(m_, r_, c_);
    }
    double** m() const { return m_; }
    bool ok() const { return m_ != nullptr || r_ < 1 || c_ < 1; }

private:
    int r_;
    int c_;
    double** m_;
};

// Argument k converted to a matrix; false after the report.
bool MatrixArg(ZuVALUE* pv, int k);
// Argument k converted to a square matrix; false after the report.
bool SquareArg(ZuVALUE* pv, int k);
// Argument k converted to int or double; false after the report.
bool IntArg(ZuVALUE* pv, int k, int* out);
bool DoubleArg(ZuVALUE* pv, int k, double* out);

// The value that output argument k refers to (a program passes &x); null
// for the int 0 that leaves an output out.  A value of any other kind gets
// the argument error.
ZuVALUE* OutputArg(ZuVALUE* pv, int k, int cArg);

// Stores into an output target (which may be null: nothing happens).
void OutMatrix(ZuVALUE* target, double** m, int r, int c);
void OutDouble(ZuVALUE* target, double d);
void OutInt(ZuVALUE* target, int i);

// Result setters; false when the result matrix could not be made.
bool ResultMatrix(ZuVALUE* rtn, int r, int c);

// Raises the out-of-memory run-time error.
void OutOfMemory();
// ok, after raising the out-of-memory error when it is false.
bool Allocated(bool ok);

// "Warning: name(): decomposition failed" (filtered by its mask bit).
void DecompositionFailed();
// A warning with the given text only (no appended text).
void Notice(const char* text);

// A double as an int parameter when it is integral and in range.
inline bool AsInt(double x, int* out) {
    if (!(x >= INT_MIN && x <= INT_MAX) || std::floor(x) != x) return false;
    *out = static_cast<int>(x);
    return true;
}

}  // namespace zu::numerics::library
