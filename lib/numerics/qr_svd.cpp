// QR decomposition of a transposed matrix and the singular value
// decomposition, over LAPACK.
#include <algorithm>
#include <cstring>

#include "numerics/dense.h"
#include "numerics/kernels.h"
#include "numerics/lapack.h"

namespace zu::numerics {
namespace {}  // namespace

// At (c rows of r) holds A column by column, so it is A in column-major
// order with leading dimension r.
int KnlDecqr(double** At, int c, int r, int* piv, double* tau) {
    if (At == nullptr || tau == nullptr) return 1;
    if (c < 1 || r < 1) return 0;
    if (!FitsLapack(r, c)) return 1;
    DenseView a;
    if (!a.Open(At, c, r, true)) return 1;
    int info = 0;
    if (piv != nullptr) {
        std::fill(piv, piv + c, 0);  // every column free to move
        info = WithWorkspace([&](double* work, int lwork) {
            int i = 0;
            dgeqp3_(&r, &c, a.data(), &r, piv, tau, work, &lwork, &i);
            return i;
        });
        for (int j = 0; j < c; ++j) piv[j] -= 1;
    } else {
        info = WithWorkspace([&](double* work, int lwork) {
            int i = 0;
            dgeqrf_(&r, &c, a.data(), &r, tau, work, &lwork, &i);
            return i;
        });
    }
    if (info != 0) return 1;
    a.WriteBack();
    return 0;
}

int DecQRtFormQ(double** At, int c, int r, const double* tau, double** Qt) {
    if (At == nullptr || tau == nullptr || Qt == nullptr) return 1;
    if (c < 1 || r < 1) return 0;
    if (!FitsLapack(r, c)) return 1;
    const int k = std::min(r, c);
    Scratch q;
    if (!q.Allocate(static_cast<std::size_t>(k) * r)) return 1;
    for (int j = 0; j < k; ++j) std::memcpy(q.data() + static_cast<std::size_t>(j) * r, At[j], sizeof(double) * r);
    const int info = WithWorkspace([&](double* work, int lwork) {
        int i = 0;
        dorgqr_(&r, &k, &k, q.data(), &r, tau, work, &lwork, &i);
        return i;
    });
    if (info != 0) return 1;
    for (int j = 0; j < k; ++j) std::memcpy(Qt[j], q.data() + static_cast<std::size_t>(j) * r, sizeof(double) * r);
    return 0;
}

// The memory of the row-major A is the column-major A' (c by r).  With
// A' = U1 S VT1 from dgesdd, A = VT1' S U1': the memory of VT1 (k by r,
// column-major) is U row-major, and V is U1 read column by column.
int KnlDecsvd(double** A, int r, int c, double* sv, double** U, double** V) {
    if (A == nullptr || sv == nullptr) return 1;
    if (r < 1 || c < 1) return 0;
    if (!FitsLapack(r, c)) return 1;
    const int k = std::min(r, c);
    const bool vectors = U != nullptr || V != nullptr;
    Scratch a, u1, vt1;
    ScratchOf<int> iwork;
    if (!a.Allocate(static_cast<std::size_t>(r) * c) || !iwork.Allocate(static_cast<std::size_t>(8) * k) ||
        (vectors && (!u1.Allocate(static_cast<std::size_t>(c) * k) || !vt1.Allocate(static_cast<std::size_t>(k) * r))))
        return 1;
    for (int i = 0; i < r; ++i) std::memcpy(a.data() + static_cast<std::size_t>(i) * c, A[i], sizeof(double) * c);
    double dummy = 0;
    const char* job = vectors ? "S" : "N";
    double* up = vectors ? u1.data() : &dummy;
    double* vp = vectors ? vt1.data() : &dummy;
    const int ldu = vectors ? c : 1, ldvt = vectors ? k : 1;
    const int info = WithWorkspace([&](double* work, int lwork) {
        int i = 0;
        dgesdd_(job, &c, &r, a.data(), &c, sv, up, &ldu, vp, &ldvt, work, &lwork, iwork.data(), &i);
        return i;
    });
    if (info != 0) return 1;
    if (U != nullptr)
        for (int i = 0; i < r; ++i) std::memcpy(U[i], vt1.data() + static_cast<std::size_t>(i) * k, sizeof(double) * k);
    if (V != nullptr) CopyFromColumnMajor(u1.data(), c, k, V);
    return 0;
}

}  // namespace zu::numerics
