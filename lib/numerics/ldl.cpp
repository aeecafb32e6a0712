// LDL' decomposition of a symmetric matrix and the built-in symmetric
// inversion.
//
// On success every pivot is above the tolerance and so positive: the
// matrix is positive definite and L sqrt(D) is its Choleski factor.  The
// accelerated path therefore factors a copy with dpotrf and inverts with
// dpotri; whenever that fails or a pivot comes within the tolerance, the
// row-by-row algorithm runs on the untouched input and decides.
#include <cfloat>
#include <cmath>
#include <cstring>

#include "numerics/dense.h"
#include "numerics/kernels.h"
#include "numerics/lapack.h"

namespace zu::numerics {
namespace {

constexpr int kLapackOrder = 48;

bool UseLapack(int n) { return FUsingFastMath() && n >= kLapackOrder && FitsLapack(n, n); }

// Copies A into the row-major n by n array c and factors it; the row-major
// lower triangle then holds the Choleski factor C.  False when dpotrf
// fails or a pivot (the square of a diagonal element) is within the
// tolerance.
bool LapackFactor(double** A, int n, double* c) {
    for (int i = 0; i < n; ++i) std::memcpy(c + static_cast<std::size_t>(i) * n, A[i], sizeof(double) * (i + 1));
    int info = 0;
    // Row-major lower is column-major upper.
    dpotrf_("U", &n, c, &n, &info);
    if (info != 0) return false;
    const double eps = DGetInvertEps();
    for (int i = 0; i < n; ++i) {
        const double cii = c[static_cast<std::size_t>(i) * n + i];
        if (!(cii * cii > eps)) return false;
    }
    return true;
}

// The inverse from the factors of LDLdecExact: A^-1 = L^-T diag(d) L^-1,
// built in the lower triangle of A, then mirrored.
bool InvertFromFactors(double** A, const double* d, int n) {
    Scratch store;
    if (!store.Allocate(static_cast<std::size_t>(n) * n)) return false;
    // X = L^-1, unit lower triangular, row-major in the scratch.
    double* x = store.data();
    auto X = [x, n](int i, int j) -> double& { return x[static_cast<std::size_t>(i) * n + j]; };
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < i; ++j) {
            double s = A[i][j];
            for (int m = j + 1; m < i; ++m) s += A[i][m] * X(m, j);
            X(i, j) = -s;
        }
        X(i, i) = 1;
    }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j) {
            double s = 0;
            for (int m = i; m < n; ++m) s += X(m, i) * d[m] * X(m, j);
            A[i][j] = s;
        }
    MirrorLower(A, n);
    return true;
}

}  // namespace

int LDLdecExact(double** A, double* d, int n) {
    const double eps = DGetInvertEps();
    int singular = 0;
    for (int i = 0; i < n; ++i) {
        double* row = A[i];
        // Unscaled l(i,j): row i's earlier entries are still unscaled,
        // row j's are final.
        for (int j = 0; j < i; ++j) {
            const double* rj = A[j];
            double s = row[j];
            for (int m = 0; m < j; ++m) s -= row[m] * rj[m];
            row[j] = s;
        }
        double residual = row[i];
        for (int j = 0; j < i; ++j) {
            residual -= d[j] * row[j] * row[j];
            row[j] *= d[j];
        }
        if (!(residual > eps)) {  // NaN counts as singular
            d[i] = DBL_MAX;
            singular = 1;
        } else {
            d[i] = 1 / residual;
        }
    }
    return singular;
}

int KnlInvertsym(double** A, int n, double* logdet) {
    if (A == nullptr) return 3;
    if (n < 1) {
        if (logdet != nullptr) *logdet = 0;
        return 0;
    }
    Scratch c;
    if (UseLapack(n) && c.Allocate(static_cast<std::size_t>(n) * n) && LapackFactor(A, n, c.data())) {
        double* f = c.data();
        double sum = 0;
        for (int i = 0; i < n; ++i) sum += 2 * std::log(f[static_cast<std::size_t>(i) * n + i]);
        int info = 0;
        dpotri_("U", &n, f, &n, &info);
        if (info == 0) {
            for (int i = 0; i < n; ++i)
                std::memcpy(A[i], f + static_cast<std::size_t>(i) * n, sizeof(double) * (i + 1));
            MirrorLower(A, n);
            if (logdet != nullptr) *logdet = sum;
            return 0;
        }
    }
    Scratch d;
    if (!d.Allocate(static_cast<std::size_t>(n))) return 1;
    const int result = LDLdecExact(A, d.data(), n);
    if (result != 0) return result;
    if (logdet != nullptr) {
        double sum = 0;
        for (int i = 0; i < n; ++i) sum -= std::log(d.data()[i]);
        *logdet = sum;
    }
    return InvertFromFactors(A, d.data(), n) ? 0 : 1;
}

}  // namespace zu::numerics

using namespace zu::numerics;

extern "C" int ILDLdec(double** A, double* d, int n) {
    if (A == nullptr || d == nullptr) return 3;
    if (n <= 0) return 0;
    Scratch c;
    if (UseLapack(n) && c.Allocate(static_cast<std::size_t>(n) * n) && LapackFactor(A, n, c.data())) {
        // L = C diag(C)^-1 and the inverse pivots are 1 / c(j,j)^2.
        const double* f = c.data();
        for (int j = 0; j < n; ++j) {
            const double cjj = f[static_cast<std::size_t>(j) * n + j];
            d[j] = 1 / (cjj * cjj);
        }
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < i; ++j)
                A[i][j] = f[static_cast<std::size_t>(i) * n + j] / f[static_cast<std::size_t>(j) * n + j];
        return 0;
    }
    return LDLdecExact(A, d, n);
}
