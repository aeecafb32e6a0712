// Contiguous views of row-pointer matrices for the BLAS and LAPACK calls.
//
// A matrix block from MatAllocBlock keeps its rows one after another, so
// its first row pointer already addresses a row-major array; a plain
// matrix (rows allocated one by one) or a table of row pointers made by
// hand does not, and is copied into scratch storage instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "value/heap.h"

namespace zu::numerics {

// True when row i starts i * c doubles after row 0 for every row.
bool IsContiguous(double** m, int r, int c);

// Scratch array that reports failure instead of throwing.  It comes from
// the value layer's heap, which keeps recently freed large blocks for the
// next matrix of their size; its elements start undefined.  A scratch is
// written whole soon after it is made (a copy of a matrix, a workspace),
// so a large one is faulted in at once, as a matrix block is.
template <class T>
class ScratchOf {
    static_assert(std::is_trivially_default_constructible_v<T> && std::is_trivially_destructible_v<T>);

public:
    // False when the memory cannot be had; the scratch is then empty.
    [[nodiscard]] bool Allocate(std::size_t count) {
        data_.reset();
        if (count == 0) count = 1;
        if (count > SIZE_MAX / sizeof(T)) return false;
        data_.reset(static_cast<T*>(value::HeapAllocWritten(count * sizeof(T))));
        return data_ != nullptr;
    }
    T* data() const { return data_.get(); }

private:
    std::unique_ptr<T[], value::HeapDeleter> data_;
};
using Scratch = ScratchOf<double>;

// A row-major array holding an r by c row-pointer matrix: the matrix's
// own storage when it is contiguous, a copy otherwise.
class DenseView {
public:
    // With copyIn the elements are copied into scratch storage when a
    // copy is needed (otherwise the scratch starts undefined).  False when
    // the scratch cannot be allocated.
    [[nodiscard]] bool Open(double** m, int r, int c, bool copyIn);
    // Writes the scratch back into the matrix when a copy was made.
    void WriteBack() const;
    double* data() const { return data_; }

private:
    double** m_ = nullptr;
    int r_ = 0;
    int c_ = 0;
    double* data_ = nullptr;
    Scratch copy_;
};

// LAPACK indexes its arrays with 32-bit integers: a matrix of r by c
// elements is handed to it only when this holds.
inline bool FitsLapack(long long r, long long c) { return r * c < 2147483647LL; }

// The workspace size from a LAPACK size query; false when it does not fit.
inline bool WorkspaceSize(double query, int* lwork) {
    if (!(query >= 0 && query < 2147483647.0)) return false;
    *lwork = query < 1 ? 1 : static_cast<int>(query);
    return true;
}

// A LAPACK call made twice: first as a workspace size query, then with
// that workspace; f(work, lwork) returns the LAPACK info.  -1 when the
// workspace cannot be had.
template <class Call>
int WithWorkspace(Call f) {
    double query = 0;
    int info = f(&query, -1);
    int lwork = 0;
    if (info != 0) return info;
    if (!WorkspaceSize(query, &lwork)) return -1;
    Scratch work;
    if (!work.Allocate(static_cast<std::size_t>(lwork))) return -1;
    return f(work.data(), lwork);
}

// Row-major <-> column-major copies of an r by c matrix.
void CopyToColumnMajor(double** m, int r, int c, double* dst);
void CopyFromColumnMajor(const double* src, int r, int c, double** m);

// The unit lower triangle l and the upper triangle u (either may be null)
// of the n by n LU factors held column-major in lu, in one pass.
void SplitLUFromColumnMajor(const double* lu, int n, double** l, double** u);

// The largest sum of absolute values over the rows of the n by n matrix
// (0 for none), each row summed from its first element on.
double MaxAbsRowSum(double** m, int n);

// Copies the lower triangle of the n by n matrix onto its upper one.
void MirrorLower(double** m, int n);

}  // namespace zu::numerics
