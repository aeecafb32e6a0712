// Matrices for the numerics tests: an owner of a matrix block, random
// well-conditioned test matrices and the relative distance of two matrices.
#pragma once

#include <cmath>
#include <random>

#include "zu.h"

namespace zu::test {

class Matrix {
public:
    Matrix(int r, int c) : r_(r), c_(c), m_(MatAllocBlock(r, c)) {
        if (m_ != nullptr) MatZero(m_, r, c);
    }
    ~Matrix() { MatFreeBlock(m_); }
    Matrix(const Matrix& other) : Matrix(other.r_, other.c_) { MatCopy(m_, other.m_, r_, c_); }
    Matrix& operator=(const Matrix&) = delete;

    double** m() const { return m_; }
    double* operator[](int i) const { return m_[i]; }
    int rows() const { return r_; }
    int cols() const { return c_; }

private:
    int r_, c_;
    double** m_;
};

// Entries uniform in (-1, 1), seeded for reproducibility.
inline Matrix RandomMatrix(int r, int c, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    Matrix a(r, c);
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) a[i][j] = u(gen);
    return a;
}

// Random plus n on the diagonal: diagonally dominant, well conditioned.
inline Matrix WellConditioned(int n, unsigned seed) {
    Matrix a = RandomMatrix(n, n, seed);
    for (int i = 0; i < n; ++i) a[i][i] += n;
    return a;
}

// B B' + n I: symmetric positive definite and well conditioned.
inline Matrix PositiveDefinite(int n, unsigned seed) {
    Matrix b = RandomMatrix(n, n, seed);
    Matrix a(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double s = 0;
            for (int k = 0; k < n; ++k) s += b[i][k] * b[j][k];
            a[i][j] = s + (i == j ? n : 0);
        }
    return a;
}

// Straightforward product for checking, op flags as in the kernel.
inline Matrix NaiveProduct(const Matrix& a, bool ta, const Matrix& b, bool tb) {
    const int m = ta ? a.cols() : a.rows();
    const int k = ta ? a.rows() : a.cols();
    const int n = tb ? b.rows() : b.cols();
    Matrix r(m, n);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) {
            long double s = 0;
            for (int l = 0; l < k; ++l)
                s += static_cast<long double>(ta ? a[l][i] : a[i][l]) * (tb ? b[j][l] : b[l][j]);
            r[i][j] = static_cast<double>(s);
        }
    return r;
}

// max |a - b| / max |b|.
inline double RelativeDistance(const Matrix& a, const Matrix& b) {
    double diff = 0, scale = 0;
    for (int i = 0; i < b.rows(); ++i)
        for (int j = 0; j < b.cols(); ++j) {
            diff = std::fmax(diff, std::fabs(a[i][j] - b[i][j]));
            scale = std::fmax(scale, std::fabs(b[i][j]));
        }
    return scale > 0 ? diff / scale : diff;
}

// Restores the process-wide numerics settings when a test ends.
class SettingsGuard {
public:
    SettingsGuard() : eps_(DGetInvertEps()), fast_(FUsingFastMath()) {}
    ~SettingsGuard() {
        SetInvertEps(eps_);
        SetFastMath(fast_);
    }

private:
    double eps_;
    int fast_;
};

}  // namespace zu::test
