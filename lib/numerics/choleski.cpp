// The built-in Choleski decomposition: row by row up to order 64, in
// 64 by 64 blocks above it.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "numerics/dense.h"
#include "numerics/kernels.h"
#include "numerics/lapack.h"

namespace zu::numerics {
namespace {

// Row-by-row factorisation of the rows given.  While it runs, the diagonal
// holds the reciprocals r(j) = 1/l(j,j); afterwards the true diagonal.
// Leaves the part above the diagonal alone.
int FactorRows(double** A, int n) {
    const double eps = DGetInvertEps();
    for (int i = 0; i < n; ++i) {
        double* row = A[i];
        for (int j = 0; j < i; ++j) {
            const double* rj = A[j];
            double s = row[j];
            for (int m = 0; m < j; ++m) s -= row[m] * rj[m];
            row[j] = s * rj[j];
        }
        double s = row[i];
        for (int j = 0; j < i; ++j) s -= row[j] * row[j];
        if (!(s > eps)) return 1;  // NaN is not positive definite either
        row[i] = 1 / std::sqrt(s);
    }
    for (int i = 0; i < n; ++i) A[i][i] = 1 / A[i][i];
    return 0;
}

void ZeroUpper(double** A, int n) {
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) A[i][j] = 0;
}

}  // namespace

int CholeskiUnblocked(double** A, int n) {
    if (FactorRows(A, n) != 0) return 1;
    ZeroUpper(A, n);
    return 0;
}

// Left-looking by block columns on the row-major array a.  Its memory is
// the column-major upper factor U = L', for which block K is finished by
//   A(K,K) -= U(0:k0,K)' U(0:k0,K)      (dsyrk)
//   U(K,K)  = factor of A(K,K)          (the row-by-row routine)
//   A(K,R) -= U(0:k0,K)' U(0:k0,R)      (dgemm, R the later columns)
//   U(K,R)  = U(K,K)^-T A(K,R)          (dtrsm)
int CholeskiBlocked(double* a, int n) {
    const double one = 1, minus = -1;
    double* rows[kCholeskiBlock];
    for (int k0 = 0; k0 < n; k0 += kCholeskiBlock) {
        const int b = n - k0 < kCholeskiBlock ? n - k0 : kCholeskiBlock;
        const int rest = n - k0 - b;
        auto at = [a, n](int i, int j) {
            return a + i + static_cast<std::size_t>(j) * n;  // U(i,j)
        };
        if (k0 > 0) dsyrk_("U", "T", &b, &k0, &minus, at(0, k0), &n, &one, at(k0, k0), &n);
        for (int i = 0; i < b; ++i) rows[i] = at(k0, k0 + i);
        if (FactorRows(rows, b) != 0) return 1;
        if (rest > 0) {
            if (k0 > 0)
                dgemm_("T", "N", &b, &rest, &k0, &minus, at(0, k0), &n, at(0, k0 + b), &n, &one, at(k0, k0 + b), &n);
            dtrsm_("L", "U", "T", "N", &b, &rest, &one, at(k0, k0), &n, at(k0, k0 + b), &n);
        }
    }
    return 0;
}

namespace {

// Moves the strict lower triangle into the strict upper one, or back.
// Both hold n(n-1)/2 elements; taken row by row, each is a run of
// stretches of whole rows, so the move is a few copies a row, where a
// transposed copy would write each element a row apart (order 6000: 19 ms
// against 44).
void MoveStrictLower(double** A, int n, bool intoUpper) {
    int li = 1, lj = 0;  // the next element of the lower triangle
    int ui = 0, uj = 1;  // the next element of the upper one
    while (li < n) {
        const int k = std::min(li - lj, n - uj);
        double* lower = A[li] + lj;
        double* upper = A[ui] + uj;
        const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(k);
        if (intoUpper)
            std::memcpy(upper, lower, bytes);
        else
            std::memcpy(lower, upper, bytes);
        lj += k;
        if (lj == li) {
            ++li;
            lj = 0;
        }
        uj += k;
        if (uj == n) {
            ++ui;
            uj = ui + 1;
        }
    }
}

// LAPACK's Choleski (dpotrf) on the row-major array a, accepted only when
// every pivot clears the tolerance by more than the rounding in which its
// summation order may differ from the row-by-row one; otherwise false,
// with the lower triangle as it was, and the exact algorithm decides.
// The original lower triangle waits in the upper one meanwhile (which the
// decomposition neither reads nor keeps), the diagonal in a scratch.
bool LapackCholeski(double** A, double* a, int n) {
    Scratch diagonal;
    if (!diagonal.Allocate(static_cast<std::size_t>(n))) return false;
    double* d = diagonal.data();
    for (int i = 0; i < n; ++i) d[i] = A[i][i];
    MoveStrictLower(A, n, true);
    int info = 0;
    // The memory of the row-major lower triangle is the column-major
    // upper one, and its factor U = L'.
    dpotrf_("U", &n, a, &n, &info);
    bool accepted = info == 0;
    const double eps = DGetInvertEps(), unit = 0x1p-53;
    for (int i = 0; i < n && accepted; ++i) {
        const double l = A[i][i];
        // The residual s and the one summed here differ by at most about
        // (i + 2) units of the diagonal element's magnitude.
        accepted = l * l > eps + 4.0 * (i + 2) * unit * std::fabs(d[i]);
    }
    if (!accepted) {
        MoveStrictLower(A, n, false);
        for (int i = 0; i < n; ++i) A[i][i] = d[i];
    }
    return accepted;
}

}  // namespace

int KnlCholeski(double** A, int n) {
    if (n < 1) return 0;
    if (A == nullptr) return 1;
    if (n <= kCholeskiBlock) return CholeskiUnblocked(A, n);
    if (FUsingFastMath() && FitsLapack(n, n) && IsContiguous(A, n, n) && LapackCholeski(A, A[0], n)) {
        ZeroUpper(A, n);
        return 0;
    }
    DenseView view;
    if (!view.Open(A, n, n, true)) return CholeskiUnblocked(A, n);
    const int result = CholeskiBlocked(view.data(), n);
    view.WriteBack();
    if (result == 0) ZeroUpper(A, n);
    return result;
}

}  // namespace zu::numerics
