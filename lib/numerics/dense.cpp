#include "numerics/dense.h"

#include <cstring>

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

}  // namespace

void CopyToColumnMajor(double** m, int r, int c, double* dst) {
    ForEachTile(r, c, [&](int i0, int i1, int j0, int j1) {
        for (int i = i0; i < i1; ++i)
            for (int j = j0; j < j1; ++j) dst[i + static_cast<std::size_t>(j) * r] = m[i][j];
    });
}

void SplitLUFromColumnMajor(const double* lu, int n, double** l, double** u) {
    ForEachTile(n, n, [&](int i0, int i1, int j0, int j1) {
        for (int i = i0; i < i1; ++i)
            for (int j = j0; j < j1; ++j) {
                const double x = lu[i + static_cast<std::size_t>(j) * n];
                if (l != nullptr) l[i][j] = i == j ? 1 : i > j ? x : 0;
                if (u != nullptr) u[i][j] = i <= j ? x : 0;
            }
    });
}

void CopyFromColumnMajor(const double* src, int r, int c, double** m) {
    ForEachTile(r, c, [&](int i0, int i1, int j0, int j1) {
        for (int i = i0; i < i1; ++i)
            for (int j = j0; j < j1; ++j) m[i][j] = src[i + static_cast<std::size_t>(j) * r];
    });
}

void MirrorLower(double** m, int n) {
    ForEachTile(n, n, [&](int i0, int i1, int j0, int j1) {
        if (j0 > i1) return;  // wholly above the diagonal
        for (int i = i0; i < i1; ++i)
            for (int j = j0; j < j1 && j < i; ++j) m[j][i] = m[i][j];
    });
}

}  // namespace zu::numerics
