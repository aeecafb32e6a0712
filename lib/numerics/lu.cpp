// LU decomposition with partial pivoting (Crout order), its determinant,
// the solves and the built-in general inversion.
#include <cmath>
#include <cstring>
#include <utility>

#include "numerics/dense.h"
#include "numerics/kernels.h"
#include "numerics/lapack.h"

namespace zu::numerics {
namespace {

// Below this order the LAPACK path gains nothing over the scalar loop.
constexpr int kLapackOrder = 48;

// Sign and log of |det| from the diagonal and the interchanges; the sign
// is doubled when the smallest |u(k,k)| is within tol.  diag(k) returns
// u(k,k).
template <class Diag>
int LogdetFromDiagonal(Diag diag, int n, const int* perm, double tol, double* logdet) {
    int sign = 1;
    for (int k = 0; k < n; ++k)
        if (perm[k] != k) sign = -sign;
    double sum = 0, smallest = HUGE_VAL;
    for (int k = 0; k < n; ++k) {
        const double u = diag(k);
        if (u == 0) {
            sign = 0;
            break;
        }
        if (u < 0) sign = -sign;
        sum += std::log(std::fabs(u));
        if (std::fabs(u) < smallest) smallest = std::fabs(u);
    }
    if (logdet != nullptr) *logdet = sum;
    return smallest <= tol ? 2 * sign : sign;
}

// Column-major copy of A factored by dgetrf, accepted only when every
// pivot is above the tolerance (otherwise the exact algorithm decides
// what happens).  Fills perm from the interchanges.
bool LapackLU(double** A, int n, double* lu, int* perm) {
    CopyToColumnMajor(A, n, n, lu);
    int info = 0;
    dgetrf_(&n, &n, lu, &n, perm, &info);
    if (info < 0) return false;
    const double eps = DGetInvertEps();
    for (int k = 0; k < n; ++k) {
        if (!(std::fabs(lu[k + static_cast<std::size_t>(k) * n]) > eps)) return false;
        perm[k] -= 1;
    }
    return true;
}

bool UseLapack(int n) { return FUsingFastMath() && n >= kLapackOrder && FitsLapack(n, n); }

}  // namespace

bool LapackLUInto(double** A, int n, Scratch& lu, int* perm) {
    return UseLapack(n) && lu.Allocate(static_cast<std::size_t>(n) * n) && LapackLU(A, n, lu.data(), perm);
}

bool LapackLogdet(double** A, int n, double* logdet, int* sign) {
    if (!UseLapack(n)) return false;
    ScratchOf<int> perm;
    Scratch lu;
    if (!perm.Allocate(static_cast<std::size_t>(n)) || !LapackLUInto(A, n, lu, perm.data())) return false;
    const double* f = lu.data();
    const double tol = DGetInvertEpsNorm(A, n);
    *sign = LogdetFromDiagonal([f, n](int k) { return f[k + static_cast<std::size_t>(k) * n]; }, n, perm.data(),
                               tol, logdet);
    return true;
}

int LUPdecExact(double** A, int n, int* perm) {
    Scratch column;
    if (!column.Allocate(static_cast<std::size_t>(n))) return n + 1;
    double* u = column.data();
    const double eps = DGetInvertEps();
    for (int k = 0; k < n; ++k) {
        // u(j,k) for j < k are final; gather them for the row dots.
        for (int j = 0; j < k; ++j) u[j] = A[j][k];
        int p = k;
        double largest = -1;
        for (int i = k; i < n; ++i) {
            double s = A[i][k];
            for (int j = 0; j < k; ++j) s -= A[i][j] * u[j];
            A[i][k] = s;
            if (std::fabs(s) > largest) {
                largest = std::fabs(s);
                p = i;
            }
        }
        if (p != k) std::swap_ranges(A[p], A[p] + n, A[k]);
        perm[k] = p;
        const double pivot = A[k][k];
        if (!(std::fabs(pivot) > eps)) {
            for (int j = k + 1; j < n; ++j) perm[j] = j;
            for (int j = k; j < n; ++j) A[j][j] = 0;
            return k + 1;
        }
        for (int i = k + 1; i < n; ++i) A[i][k] /= pivot;
        double* row = A[k];
        for (int m = 0; m < k; ++m) {
            const double l = row[m];
            const double* um = A[m];
            for (int j = k + 1; j < n; ++j) row[j] -= l * um[j];
        }
    }
    return 0;
}

}  // namespace zu::numerics

using namespace zu::numerics;

extern "C" {

int ILUPlogdet(double** LU, int n, const int* perm, double tol, double* logdet) {
    return LogdetFromDiagonal([LU](int k) { return LU[k][k]; }, n, perm, tol, logdet);
}

int ILUPdec(double** A, int n, int* perm, double* logdet, int* sign) {
    if (A == nullptr || perm == nullptr) return 1;
    if (n < 1) {
        if (logdet != nullptr) *logdet = 0;
        if (sign != nullptr) *sign = 1;
        return 0;
    }
    const double tol = logdet != nullptr || sign != nullptr ? DGetInvertEpsNorm(A, n) : 0;
    int result = 1;
    Scratch lu;
    if (UseLapack(n) && lu.Allocate(static_cast<std::size_t>(n) * n) && LapackLU(A, n, lu.data(), perm)) {
        CopyFromColumnMajor(lu.data(), n, n, A);
        result = 0;
    } else {
        result = LUPdecExact(A, n, perm);
    }
    double ld = 0;
    const int sg = ILUPlogdet(A, n, perm, tol, &ld);
    if (logdet != nullptr) *logdet = ld;
    if (sign != nullptr) *sign = sg;
    return result;
}

void LUPsolve(double** LU, int n, const int* perm, double* b) {
    for (int k = 0; k < n; ++k)
        if (perm[k] != k) std::swap(b[k], b[perm[k]]);
    for (int i = 1; i < n; ++i) {
        double s = b[i];
        for (int j = 0; j < i; ++j) s -= LU[i][j] * b[j];
        b[i] = s;
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = b[i];
        for (int j = i + 1; j < n; ++j) s -= LU[i][j] * b[j];
        b[i] = s / LU[i][i];
    }
}

void LUPsolveInv(double** LU, int n, const int* perm, double** Ainv) {
    Scratch column;
    if (!column.Allocate(static_cast<std::size_t>(n))) return;
    double* b = column.data();
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) b[i] = i == j ? 1 : 0;
        LUPsolve(LU, n, perm, b);
        for (int i = 0; i < n; ++i) Ainv[i][j] = b[i];
    }
}

}  // extern "C"

namespace zu::numerics {

int KnlInvert(double** A, int n, double* logdet, int* sign) {
    if (A == nullptr) return 1;
    if (n < 1) return 0;
    ScratchOf<int> perm_store;
    if (!perm_store.Allocate(static_cast<std::size_t>(n))) return 1;
    int* perm = perm_store.data();
    const bool wantDet = logdet != nullptr || sign != nullptr;

    Scratch lu;
    if (!lu.Allocate(static_cast<std::size_t>(n) * n)) return 1;
    if (UseLapack(n) && LapackLU(A, n, lu.data(), perm)) {
        double* a = lu.data();
        if (wantDet) {
            const int sg = LogdetFromDiagonal([a, n](int k) { return a[k + static_cast<std::size_t>(k) * n]; }, n, perm,
                                              DGetInvertEpsNorm(A, n), logdet);
            if (sign != nullptr) *sign = sg;
        }
        for (int k = 0; k < n; ++k) perm[k] += 1;
        int info = 0, lwork = -1;
        double query = 0;
        dgetri_(&n, a, &n, perm, &query, &lwork, &info);
        Scratch work;
        if (info == 0 && WorkspaceSize(query, &lwork) && work.Allocate(static_cast<std::size_t>(lwork))) {
            dgetri_(&n, a, &n, perm, work.data(), &lwork, &info);
            if (info == 0) {
                CopyFromColumnMajor(a, n, n, A);
                return 0;
            }
        }
        for (int k = 0; k < n; ++k) perm[k] -= 1;
    }

    // The copy as row pointers over the scratch block.
    ScratchOf<double*> rows_store;
    if (!rows_store.Allocate(static_cast<std::size_t>(n))) return 1;
    double** rows = rows_store.data();
    for (int i = 0; i < n; ++i) {
        rows[i] = lu.data() + static_cast<std::size_t>(i) * n;
        std::memcpy(rows[i], A[i], sizeof(double) * n);
    }
    const double tol = wantDet ? DGetInvertEpsNorm(A, n) : 0;
    const int failed = LUPdecExact(rows, n, perm);
    if (wantDet) {
        const int sg = ILUPlogdet(rows, n, perm, tol, logdet);
        if (sign != nullptr) *sign = sg;
    }
    if (failed != 0) return 1;
    LUPsolveInv(rows, n, perm, A);
    return 0;
}

}  // namespace zu::numerics
