// Symmetric and general eigenvalue problems over LAPACK.
#include <algorithm>
#include <cstring>

#include "numerics/dense.h"
#include "numerics/kernels.h"
#include "numerics/lapack.h"

namespace zu::numerics {

int KnlEigensym(double** A, int n, double* eval, int wantvec) {
    if (A == nullptr || eval == nullptr) return 1;
    if (n < 1) return 0;
    if (!FitsLapack(n, n)) return 1;
    const std::size_t nn = static_cast<std::size_t>(n) * n;
    Scratch z, w;
    if (!z.Allocate(nn) || !w.Allocate(static_cast<std::size_t>(n))) return 1;
    // The lower triangle of the row-major input is the column-major upper.
    for (int i = 0; i < n; ++i) std::memcpy(z.data() + static_cast<std::size_t>(i) * n, A[i], sizeof(double) * (i + 1));
    const char* job = wantvec ? "V" : "N";
    int info = 0, lwork = -1, liwork = -1, iquery = 0;
    double query = 0;
    dsyevd_(job, "U", &n, z.data(), &n, w.data(), &query, &lwork, &iquery, &liwork, &info);
    if (info != 0 || !WorkspaceSize(query, &lwork) || iquery < 1) return 1;
    liwork = iquery;
    Scratch work;
    ScratchOf<int> iwork;
    if (!work.Allocate(static_cast<std::size_t>(lwork)) || !iwork.Allocate(static_cast<std::size_t>(liwork))) return 1;
    dsyevd_(job, "U", &n, z.data(), &n, w.data(), work.data(), &lwork, iwork.data(), &liwork, &info);
    if (info != 0) return 1;
    // LAPACK orders the eigenvalues upwards; ours go downwards.  The
    // eigenvector of w[k] is column k of the column-major z.
    for (int j = 0; j < n; ++j) eval[j] = w.data()[n - 1 - j];
    if (wantvec)
        for (int j = 0; j < n; ++j) {
            const double* v = z.data() + static_cast<std::size_t>(n - 1 - j) * n;
            for (int i = 0; i < n; ++i) A[i][j] = v[i];
        }
    return 0;
}

}  // namespace zu::numerics

using namespace zu::numerics;

extern "C" int IEigen_lapack(double** A, int n, double* re, double* im, double** V) {
    if (A == nullptr || re == nullptr || im == nullptr) return 1;
    if (n < 1) return 0;
    if (!FitsLapack(n, n)) return 1;
    const std::size_t nn = static_cast<std::size_t>(n) * n;
    Scratch a, vr;
    if (!a.Allocate(nn) || (V != nullptr && !vr.Allocate(nn))) return 1;
    CopyToColumnMajor(A, n, n, a.data());
    const char* jobvr = V != nullptr ? "V" : "N";
    const int one = 1;
    int info = 0, lwork = -1;
    double query = 0, dummy = 0;
    double* vrp = V != nullptr ? vr.data() : &dummy;
    const int ldvr = V != nullptr ? n : 1;
    dgeev_("N", jobvr, &n, a.data(), &n, re, im, &dummy, &one, vrp, &ldvr, &query, &lwork, &info);
    if (info != 0 || !WorkspaceSize(query, &lwork)) return 1;
    Scratch work;
    if (!work.Allocate(static_cast<std::size_t>(lwork))) return 1;
    dgeev_("N", jobvr, &n, a.data(), &n, re, im, &dummy, &one, vrp, &ldvr, work.data(), &lwork, &info);
    if (info != 0) return 1;
    if (V != nullptr) CopyFromColumnMajor(vr.data(), n, n, V);
    return 0;
}
