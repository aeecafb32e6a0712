// Real Schur (dgees), generalised real Schur (dgges) and
// symmetric-definite generalised eigenvalues (dsygv).
#include "numerics/schur.h"

#include <cmath>
#include <cstring>

#include "numerics/dense.h"
#include "numerics/lapack.h"

namespace zu::numerics {
namespace {

// The callbacks carry no user data, so the range of the decomposition in
// progress is kept here; the system runs one computation at a time.
ModulusRange selected{0, 0};

int SelectEigenvalue(const double* re, const double* im) {
    const double m = std::hypot(*re, *im);
    return m >= selected.lo && m < selected.hi;
}

// |alpha / beta| in the range without dividing: beta is never negative.
int SelectPencilEigenvalue(const double* ar, const double* ai, const double* beta) {
    const double a = std::hypot(*ar, *ai), b = std::fabs(*beta);
    return b > 0 && a >= selected.lo * b && a < selected.hi * b;
}

// LAPACK iterates on NaN or infinite elements until it gives up, or
// stops the process in its argument check: such input is refused first.
bool AllFinite(double** m, int n) {
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (!std::isfinite(m[i][j])) return false;
    return true;
}

// Scratch for n by n column-major matrices and LAPACK's work arrays.
struct Workspace {
    Scratch a, b, q, z, work;
    ScratchOf<int> bwork;
    [[nodiscard]] bool Open(int n, int matrices) {
        const std::size_t nn = static_cast<std::size_t>(n) * n;
        const bool pair = matrices == 2;
        return a.Allocate(nn) && q.Allocate(nn) && (!pair || (b.Allocate(nn) && z.Allocate(nn))) &&
               bwork.Allocate(static_cast<std::size_t>(n));
    }
    [[nodiscard]] bool Work(double query, int* lwork) {
        return WorkspaceSize(query, lwork) && work.Allocate(static_cast<std::size_t>(*lwork));
    }
};

// The code for LAPACK's info of a Schur routine: beyond n it tells that
// the reordering failed, and the form itself is still valid.
int SchurCode(int info, int n) {
    if (info == 0) return 0;
    return info > n ? kSchurNotReordered : kSchurFailed;
}

// Clears what lies below the given subdiagonal of a row-major matrix.
void ClearBelow(double** m, int n, int subdiagonal) {
    for (int i = subdiagonal + 1; i < n; ++i)
        for (int j = 0; j < i - subdiagonal; ++j) m[i][j] = 0;
}

// Column-major copy of the lower triangle of a row-major symmetric
// matrix: the column-major upper triangle.
void CopyLowerAsUpper(double** m, int n, double* dst) {
    for (int i = 0; i < n; ++i) std::memcpy(dst + static_cast<std::size_t>(i) * n, m[i], sizeof(double) * (i + 1));
}

}  // namespace

int SchurReal(double** A, int n, double* re, double* im, double** V, const ModulusRange* order) {
    if (A == nullptr || re == nullptr || im == nullptr) return kSchurFailed;
    if (n < 1) return 0;
    if (!FitsLapack(n, n) || !AllFinite(A, n)) return kSchurFailed;
    Workspace w;
    if (!w.Open(n, 1)) return kSchurFailed;
    CopyToColumnMajor(A, n, n, w.a.data());
    const char* jobvs = V != nullptr ? "V" : "N";
    const char* sort = order != nullptr ? "S" : "N";
    if (order != nullptr) selected = *order;
    int sdim = 0, info = 0, lwork = -1;
    double query = 0;
    dgees_(jobvs, sort, SelectEigenvalue, &n, w.a.data(), &n, &sdim, re, im, w.q.data(), &n, &query, &lwork,
           w.bwork.data(), &info);
    if (info != 0 || !w.Work(query, &lwork)) return kSchurFailed;
    dgees_(jobvs, sort, SelectEigenvalue, &n, w.a.data(), &n, &sdim, re, im, w.q.data(), &n, w.work.data(), &lwork,
           w.bwork.data(), &info);
    const int code = SchurCode(info, n);
    if (code == kSchurFailed) return code;
    CopyFromColumnMajor(w.a.data(), n, n, A);
    ClearBelow(A, n, 1);
    if (V != nullptr) CopyFromColumnMajor(w.q.data(), n, n, V);
    return code;
}

int SchurGeneral(double** A, double** B, int n, double* alphar, double* alphai, double* beta, double** Q, double** Z,
                 const ModulusRange* order) {
    if (A == nullptr || B == nullptr || alphar == nullptr || alphai == nullptr || beta == nullptr) return kSchurFailed;
    if (n < 1) return 0;
    if (!FitsLapack(n, n) || !AllFinite(A, n) || !AllFinite(B, n)) return kSchurFailed;
    Workspace w;
    if (!w.Open(n, 2)) return kSchurFailed;
    CopyToColumnMajor(A, n, n, w.a.data());
    CopyToColumnMajor(B, n, n, w.b.data());
    const char* jobl = Q != nullptr ? "V" : "N";
    const char* jobr = Z != nullptr ? "V" : "N";
    const char* sort = order != nullptr ? "S" : "N";
    if (order != nullptr) selected = *order;
    int sdim = 0, info = 0, lwork = -1;
    double query = 0;
    dgges_(jobl, jobr, sort, SelectPencilEigenvalue, &n, w.a.data(), &n, w.b.data(), &n, &sdim, alphar, alphai, beta,
           w.q.data(), &n, w.z.data(), &n, &query, &lwork, w.bwork.data(), &info);
    if (info != 0 || !w.Work(query, &lwork)) return kSchurFailed;
    dgges_(jobl, jobr, sort, SelectPencilEigenvalue, &n, w.a.data(), &n, w.b.data(), &n, &sdim, alphar, alphai, beta,
           w.q.data(), &n, w.z.data(), &n, w.work.data(), &lwork, w.bwork.data(), &info);
    const int code = SchurCode(info, n);
    if (code == kSchurFailed) return code;
    CopyFromColumnMajor(w.a.data(), n, n, A);
    CopyFromColumnMajor(w.b.data(), n, n, B);
    ClearBelow(A, n, 1);
    ClearBelow(B, n, 0);
    if (Q != nullptr) CopyFromColumnMajor(w.q.data(), n, n, Q);
    if (Z != nullptr) CopyFromColumnMajor(w.z.data(), n, n, Z);
    return code;
}

int EigenSymGeneral(double** A, double** B, int n, double* eval, bool wantvec) {
    if (A == nullptr || B == nullptr || eval == nullptr) return kSchurFailed;
    if (n < 1) return 0;
    if (!FitsLapack(n, n) || !AllFinite(A, n) || !AllFinite(B, n)) return kSchurFailed;
    Workspace w;
    if (!w.Open(n, 2)) return kSchurFailed;
    CopyLowerAsUpper(A, n, w.a.data());
    CopyLowerAsUpper(B, n, w.b.data());
    const int itype = 1;
    const char* jobz = wantvec ? "V" : "N";
    int info = 0, lwork = -1;
    double query = 0;
    dsygv_(&itype, jobz, "U", &n, w.a.data(), &n, w.b.data(), &n, w.q.data(), &query, &lwork, &info);
    if (info != 0 || !w.Work(query, &lwork)) return kSchurFailed;
    dsygv_(&itype, jobz, "U", &n, w.a.data(), &n, w.b.data(), &n, w.q.data(), w.work.data(), &lwork, &info);
    if (info > n) return kEigenNotDefinite;
    if (info != 0) return kSchurFailed;
    // LAPACK orders the eigenvalues upwards; ours go downwards.  The
    // eigenvector of w[k] is column k of the column-major result.
    for (int j = 0; j < n; ++j) eval[j] = w.q.data()[n - 1 - j];
    if (wantvec)
        for (int j = 0; j < n; ++j) {
            const double* v = w.a.data() + static_cast<std::size_t>(n - 1 - j) * n;
            for (int i = 0; i < n; ++i) A[i][j] = v[i];
        }
    return 0;
}

}  // namespace zu::numerics
