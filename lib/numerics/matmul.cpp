// The built-in multiplication kernel: dgemm, or dsyrk for the product of
// a matrix with its own transpose.
//
// A row-major r by c array is the column-major c by r transpose, so the
// row-major product R = op(A) op(B) is computed as the column-major
// R' = op(B)' op(A)', passing B first with the same transpose flags.
#include "numerics/dense.h"
#include "numerics/kernels.h"
#include "numerics/lapack.h"

namespace zu::numerics {
namespace {

// Up to this many multiplications a self product goes through dgemm
// rather than dsyrk: the BLAS runs so small a dgemm on the calling thread,
// while its dsyrk hands the work to its threads, which then wait for a
// core longer than the product takes.
constexpr long long kSmallSelfProduct = 1LL << 20;

// R = B'B (transB clear: R is cB by cB) or B B' (R is rB by rB); the
// lower triangle of the row-major R.
void SelfProduct(double* r, const double* b, int rB, int cB, bool outer) {
    const long long n = outer ? rB : cB, k = outer ? cB : rB;
    const int nn = static_cast<int>(n), kk = static_cast<int>(k);
    const double one = 1, zero = 0;
    if (n * n * k <= kSmallSelfProduct) {
        dgemm_(outer ? "T" : "N", outer ? "N" : "T", &nn, &nn, &kk, &one, b, &cB, b, &cB, &zero, r, &nn);
        return;
    }
    // The memory of B is the column-major cB by rB matrix X = B'.  B'B is
    // X X' and B B' is X'X; the upper triangle of the column-major result
    // is the lower triangle of the row-major one.
    dsyrk_("U", outer ? "T" : "N", &nn, &kk, &one, b, &cB, &zero, r, &nn);
}

}  // namespace

void KnlMatMul(double** R, double** A, int rA, int cA, double** B, int rB, int cB, int transA, int transB) {
    const int m = transA ? cA : rA;  // rows of the result
    const int n = transB ? rB : cB;  // columns of the result
    const int k = transA ? rA : cA;  // inner dimension
    if (m < 1 || n < 1) return;
    if (k < 1) {
        MatNaN(R, m, n);
        return;
    }
    DenseView a, b, r;
    if (!a.Open(A, rA, cA, true) || !b.Open(B, rB, cB, true) || !r.Open(R, m, n, false)) {
        // No scratch: multiply element by element.
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < n; ++j) {
                double s = 0;
                for (int l = 0; l < k; ++l) s += (transA ? A[l][i] : A[i][l]) * (transB ? B[j][l] : B[l][j]);
                R[i][j] = s;
            }
        return;
    }
    const bool self = A == B && rA == rB && cA == cB && transA != transB;
    if (self) {
        SelfProduct(r.data(), a.data(), rA, cA, transB != 0);
        r.WriteBack();
        MirrorLower(R, m);
        return;
    }
    const double one = 1, zero = 0;
    dgemm_(transB ? "T" : "N", transA ? "T" : "N", &n, &m, &k, &one, b.data(), &cB, a.data(), &cA, &zero, r.data(), &n);
    r.WriteBack();
}

}  // namespace zu::numerics
