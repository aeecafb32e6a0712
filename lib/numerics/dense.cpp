#include "numerics/dense.h"

#include <cstring>

namespace zu::numerics {

bool IsContiguous(double** m, int r, int c) {
    if (m == nullptr || r < 1 || c < 1 || m[0] == nullptr) return false;
    for (int i = 1; i < r; ++i)
        if (m[i] != m[0] + static_cast<std::ptrdiff_t>(i) * c) return false;
    return true;
}

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

void CopyToColumnMajor(double** m, int r, int c, double* dst) {
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) dst[i + static_cast<std::size_t>(j) * r] = m[i][j];
}

void CopyFromColumnMajor(const double* src, int r, int c, double** m) {
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) m[i][j] = src[i + static_cast<std::size_t>(j) * r];
}

void MirrorLower(double** m, int n) {
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < i; ++j) m[j][i] = m[i][j];
}

}  // namespace zu::numerics
