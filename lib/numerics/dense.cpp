#include "numerics/dense.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "numerics/lapack.h"
#include "value/value.h"

namespace zu::numerics {

bool IsContiguous(double** m, int r, int c) { return r >= 1 && c >= 1 && value::RowsAdjoin(m, r, c); }

bool DenseView::Open(double** m, int r, int c, bool copyIn) {
    m_ = m;
    r_ = r;
    c_ = c;
    if (IsContiguous(m, r, c)) {
        data_ = m[0];
        return true;
    }
    if (!copy_.Allocate(static_cast<std::size_t>(r) * c)) return false;
    data_ = copy_.data();
    if (copyIn)
        for (int i = 0; i < r; ++i) std::memcpy(data_ + static_cast<std::size_t>(i) * c, m[i], sizeof(double) * c);
    return true;
}

void DenseView::WriteBack() const {
    if (copy_.data() == nullptr) return;
    for (int i = 0; i < r_; ++i) std::memcpy(m_[i], data_ + static_cast<std::size_t>(i) * c_, sizeof(double) * c_);
}

namespace {

// Tiles of the transposing copies: a tile's source rows and destination
// columns both stay in the first-level cache.
constexpr int kTile = 32;

// For each tile of the r by c index space, f(i0, i1, j0, j1).
template <class F>
void ForEachTile(int r, int c, F f) {
    for (int i0 = 0; i0 < r; i0 += kTile) {
        const int i1 = i0 + kTile < r ? i0 + kTile : r;
        for (int j0 = 0; j0 < c; j0 += kTile) f(i0, i1, j0, j0 + kTile < c ? j0 + kTile : c);
    }
}

// Below this many elements a second thread costs more than it saves.
constexpr std::size_t kThreadedCopy = std::size_t{1} << 20;

// f(i0, i1) over [0, r), split at row `at` (rounded to whole tiles): on
// two threads when the copy is large and the BLAS may use two cores, since
// one core alone cannot keep a transposing copy's scattered writes going
// at the memory's speed (order 5000: 27 ms against 45).
template <class F>
void SplitRows(int r, int c, F f, int at) {
    const int half = at / kTile * kTile;
    if (static_cast<std::size_t>(r) * c >= kThreadedCopy && half > 0 && BlasThreadCount() > 1) {
        std::optional<std::jthread> helper;
        try {
            helper.emplace([&f, half, r] { f(half, r); });
        } catch (const std::system_error&) {
            // No thread to be had: the caller's does it all.
        }
        if (helper) {
            f(0, half);
            return;
        }
    }
    f(0, r);
}

// out(j)[i] = in(i)[j] over the tile i0..i1 by j0..j1, where in(i) and
// out(j) are the starts of the source's rows and of the destination's.
template <class In, class Out>
void TransposeTile(In in, Out out, int i0, int i1, int j0, int j1) {
    int i = i0;
#if defined(__SSE2__)
    // Two rows at a time, two elements of each: a 2 by 2 block turns in
    // registers and leaves as two pairs.
    for (; i + 1 < i1; i += 2) {
        const double* a = in(i);
        const double* b = in(i + 1);
        int j = j0;
        for (; j + 1 < j1; j += 2) {
            const __m128d x = _mm_loadu_pd(a + j), y = _mm_loadu_pd(b + j);
            _mm_storeu_pd(out(j) + i, _mm_unpacklo_pd(x, y));
            _mm_storeu_pd(out(j + 1) + i, _mm_unpackhi_pd(x, y));
        }
        if (j < j1) {
            out(j)[i] = a[j];
            out(j)[i + 1] = b[j];
        }
    }
#endif
    for (; i < i1; ++i)
        for (int j = j0; j < j1; ++j) out(j)[i] = in(i)[j];
}

// The rows of a row-major table, and the columns of a column-major array.
struct Rows {
    double* const* m;
    double* operator()(int i) const { return m[i]; }
};
template <class T>
struct Columns {
    T* a;
    std::size_t r;
    T* operator()(int j) const { return a + static_cast<std::size_t>(j) * r; }
};
// Spelled out for compilers without deduction for aggregates.
template <class T>
Columns(T*, std::size_t) -> Columns<T>;

}  // namespace

void CopyToColumnMajor(double** m, int r, int c, double* dst) {
    SplitRows(r, c, [&](int b, int e) {
        ForEachTile(e - b, c, [&](int i0, int i1, int j0, int j1) {
            TransposeTile(Rows{m}, Columns{dst, static_cast<std::size_t>(r)}, b + i0, b + i1, j0, j1);
        });
    }, r / 2);
}

void CopyFromColumnMajor(const double* src, int r, int c, double** m) {
    // Column j of src is row j of the transposed source; the ranges split
    // m's rows, so the threads' writes never meet.
    const Columns in{src, static_cast<std::size_t>(r)};
    SplitRows(r, c, [&](int b, int e) {
        ForEachTile(c, e - b, [&](int j0, int j1, int i0, int i1) {
            TransposeTile(in, Rows{m}, j0, j1, b + i0, b + i1);
        });
    }, r / 2);
}

void SplitLUFromColumnMajor(const double* lu, int n, double** l, double** u) {
    const Columns in{lu, static_cast<std::size_t>(n)};
    auto zero = [](double** m, int i0, int i1, int j0, int j1) {
        if (m != nullptr)
            for (int i = i0; i < i1; ++i) std::fill(m[i] + j0, m[i] + j1, 0.0);
    };
    SplitRows(n, n, [&](int b, int e) {
        ForEachTile(n, e - b, [&](int j0, int j1, int i0, int i1) {
            i0 += b;
            i1 += b;
            if (j0 >= i1) {  // wholly above the diagonal: u's
                if (u != nullptr) TransposeTile(in, Rows{u}, j0, j1, i0, i1);
                zero(l, i0, i1, j0, j1);
            } else if (i0 >= j1) {  // wholly below: l's
                if (l != nullptr) TransposeTile(in, Rows{l}, j0, j1, i0, i1);
                zero(u, i0, i1, j0, j1);
            } else {
                for (int i = i0; i < i1; ++i)
                    for (int j = j0; j < j1; ++j) {
                        const double x = lu[i + static_cast<std::size_t>(j) * n];
                        if (l != nullptr) l[i][j] = i == j ? 1 : i > j ? x : 0;
                        if (u != nullptr) u[i][j] = i <= j ? x : 0;
                    }
            }
        });
    }, n / 2);
}

double MaxAbsRowSum(double** m, int n) {
    double upper = 0, lower = 0;  // of the rows after the split, and before
    SplitRows(n, n, [&](int b, int e) {
        double largest = 0;
        for (int i = b; i < e; ++i) {
            double sum = 0;
            for (int j = 0; j < n; ++j) sum += std::fabs(m[i][j]);
            if (sum > largest) largest = sum;
        }
        (b == 0 ? lower : upper) = largest;
    }, n / 2);
    return std::max(lower, upper);
}

void MirrorLower(double** m, int n) {
    // Tiles wholly below the diagonal turn whole into their mirror tiles;
    // each thread reads lower rows of its own and writes only upper
    // positions of its rows' columns, so the two never meet.  Row i holds i
    // elements of the triangle: the rows before n/sqrt(2) hold half of them.
    SplitRows(n, n, [&](int b, int e) {
        for (int i0 = b; i0 < e; i0 += kTile) {
            const int i1 = std::min(i0 + kTile, e);
            for (int j0 = 0; j0 < i1; j0 += kTile) {
                const int j1 = std::min(j0 + kTile, n);
                if (j1 <= i0) {
                    TransposeTile(Rows{m}, Rows{m}, i0, i1, j0, j1);
                    continue;
                }
                for (int i = i0; i < i1; ++i)
                    for (int j = j0; j < j1 && j < i; ++j) m[j][i] = m[i][j];
            }
        }
    }, static_cast<int>(n * 0.7071));
}

}  // namespace zu::numerics
