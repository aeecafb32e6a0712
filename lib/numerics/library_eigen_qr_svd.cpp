// Library functions over the eigenvalue, QR and singular value kernels.
// Outputs given by address are written last, from scratch matrices, so an
// output may name the argument itself.
#include <algorithm>
#include <cmath>

#include "numerics/dense.h"
#include "console/run_error_codes.h"
#include "numerics/kernels.h"
#include "numerics/library.h"
#include "numerics/library_support.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::numerics {
namespace {

using library::Block;

using library::Allocated;

// Singular values of the r by c matrix a, decreasing; with u and v also
// the factors (r by k and c by k, k = min(r, c)).  0 on success.
int SingularValues(double** a, int r, int c, double* sv, double** u, double** v) {
    Block work(r, c);
    if (!work.ok()) return 1;
    MatCopy(work.m(), a, r, c);
    return IDecSVD(work.m(), r, c, sv, u, v);
}

// The number of singular values above tolerance times the largest.
int RankOf(const double* sv, int k, double tolerance) {
    int rank = 0;
    while (rank < k && sv[rank] > tolerance * sv[0] && sv[rank] > 0) ++rank;
    return rank;
}

// Eigenvectors in the kernel's layout (a complex pair j, j+1 as real part
// in column j and imaginary part in column j + 1) spread into the real
// parts (rows 0..n-1) and imaginary parts (rows n..2n-1) of every column.
void SpreadComplex(double** v, const double* im, int n, double** out) {
    for (int j = 0; j < n; ++j) {
        const bool pair = im[j] != 0 && j + 1 < n;
        for (int i = 0; i < n; ++i) {
            out[i][j] = v[i][j];
            out[n + i][j] = pair ? v[i][j + 1] : 0;
            if (pair) {
                out[i][j + 1] = v[i][j];
                out[n + i][j + 1] = -v[i][j + 1];
            }
        }
        if (pair) ++j;
    }
}

}  // namespace

// eigensym(a, &eval [, &evec]): eigenvalues of the symmetric a as a row in
// decreasing order, eigenvectors by columns; 0 on success, 1 on failure.
void FnEigensym(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* evalOut = library::OutputArg(pv, 1, cArg);
    ZuVALUE* evecOut = library::OutputArg(pv, 2, cArg);
    if (!library::SquareArg(pv, 0)) return;
    const int n = Rows(&pv[0]);
    Block a(n, n), eval(1, n);
    if (!Allocated(a.ok() && eval.ok())) return;
    if (n >= 1) {
        MatCopy(a.m(), MatrixData(&pv[0]), n, n);
        if (IEigenSym(a.m(), n, eval.m()[0], evecOut != nullptr) != 0) {
            library::DecompositionFailed();
            ZuValSetInt(rtn, 1);
            return;
        }
    }
    library::OutMatrix(evalOut, eval.m(), 1, n);
    library::OutMatrix(evecOut, a.m(), n, n);
    ZuValSetInt(rtn, 0);
}

// eigen(a, &eval [, &evec]): eigenvalues of a general a as a row, or as two
// rows (real parts, imaginary parts) when some are complex; the
// eigenvectors by columns, n by n, or 2n by n (real parts above the
// imaginary parts) when some are complex.  0 on success, 1 on failure.
void FnEigen(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* evalOut = library::OutputArg(pv, 1, cArg);
    ZuVALUE* evecOut = library::OutputArg(pv, 2, cArg);
    if (!library::SquareArg(pv, 0)) return;
    const int n = Rows(&pv[0]);
    Block a(n, n), eval(2, n), v(n, n), spread(2 * n, n);
    if (!Allocated(a.ok() && eval.ok() && v.ok() && spread.ok())) return;
    bool complex = false;
    if (n >= 1) {
        MatCopy(a.m(), MatrixData(&pv[0]), n, n);
        if (IEigen(a.m(), n, eval.m()[0], eval.m()[1], evecOut != nullptr ? v.m() : nullptr) != 0) {
            library::DecompositionFailed();
            ZuValSetInt(rtn, 1);
            return;
        }
        for (int j = 0; j < n; ++j) complex = complex || eval.m()[1][j] != 0;
    }
    library::OutMatrix(evalOut, eval.m(), complex ? 2 : 1, n);
    if (evecOut != nullptr) {
        if (complex) {
            SpreadComplex(v.m(), eval.m()[1], n, spread.m());
            library::OutMatrix(evecOut, spread.m(), 2 * n, n);
        } else {
            library::OutMatrix(evecOut, v.m(), n, n);
        }
    }
    ZuValSetInt(rtn, 0);
}

// decsvd(a [, &u, &v]): the singular values of the r by c matrix a as a
// row in decreasing order, with a = u diag(s) v' (u r by k, v c by k).
void FnDecsvd(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* uOut = library::OutputArg(pv, 1, cArg);
    ZuVALUE* vOut = library::OutputArg(pv, 2, cArg);
    if (!library::MatrixArg(pv, 0)) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]), k = std::min(r, c);
    Block sv(1, k), u(r, k), v(c, k);
    if (!Allocated(sv.ok() && u.ok() && v.ok())) return;
    if (k >= 1 && SingularValues(MatrixData(&pv[0]), r, c, sv.m()[0], u.m(), v.m()) != 0) {
        library::DecompositionFailed();
        return;
    }
    library::OutMatrix(uOut, u.m(), r, k);
    library::OutMatrix(vOut, v.m(), c, k);
    if (library::ResultMatrix(rtn, 1, k) && k >= 1) MatCopy(MatrixData(rtn), sv.m(), 1, k);
}

// decqr(a, &q, &r, &p): a[][p] = q r with column pivoting; q r by k with
// orthonormal columns, r k by c upper triangular, p the row of original
// column indices.  1 on success, 0 on failure.
void FnDecqr(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* qOut = library::OutputArg(pv, 1, cArg);
    ZuVALUE* rOut = library::OutputArg(pv, 2, cArg);
    ZuVALUE* pOut = library::OutputArg(pv, 3, cArg);
    if (!library::MatrixArg(pv, 0)) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]), k = std::min(r, c);
    Block at(c, r), qt(k, r), q(r, k), rr(k, c), p(1, c);
    ScratchOf<int> piv;
    Scratch tau;
    if (!Allocated(at.ok() && qt.ok() && q.ok() && rr.ok() && p.ok() && piv.Allocate(static_cast<std::size_t>(c)) &&
                   tau.Allocate(static_cast<std::size_t>(k))))
        return;
    if (k >= 1) {
        for (int i = 0; i < r; ++i)
            for (int j = 0; j < c; ++j) at.m()[j][i] = MatrixData(&pv[0])[i][j];
        if (IDecQRtEx(at.m(), c, r, piv.data(), tau.data()) != 0 ||
            DecQRtFormQ(at.m(), c, r, tau.data(), qt.m()) != 0) {
            library::DecompositionFailed();
            return;
        }
        for (int i = 0; i < r; ++i)
            for (int j = 0; j < k; ++j) q.m()[i][j] = qt.m()[j][i];
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < c; ++j) rr.m()[i][j] = j >= i ? at.m()[j][i] : 0;
    }
    for (int j = 0; j < c; ++j) p.m()[0][j] = k >= 1 ? piv.data()[j] : j;
    library::OutMatrix(qOut, q.m(), r, k);
    library::OutMatrix(rOut, rr.m(), k, c);
    library::OutMatrix(pOut, p.m(), 1, c);
    ZuValSetInt(rtn, 1);
}

// rank(a [, eps]): the number of singular values above eps (by default the
// inversion tolerance) times the largest.
void FnRank(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    double eps = DGetInvertEps();
    if (cArg > 1 && !library::DoubleArg(pv, 1, &eps)) return;
    if (!library::MatrixArg(pv, 0)) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]), k = std::min(r, c);
    if (k < 1) return;
    Scratch sv;
    if (!Allocated(sv.Allocate(static_cast<std::size_t>(k)))) return;
    if (SingularValues(MatrixData(&pv[0]), r, c, sv.data(), nullptr, nullptr) != 0) {
        ReportRunError(RunErrorCode::SvdFailed);
        return;
    }
    ZuValSetInt(rtn, RankOf(sv.data(), k, eps));
}

// nullspace(a): an orthonormal basis of the null space of the r by c
// matrix a, by columns (c by c - rank); 0 when a has full column rank.
// A wide matrix is padded with zero rows so that the decomposition gives
// all c right singular vectors.
void FnNullspace(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    if (!library::MatrixArg(pv, 0)) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]);
    if (r < 1 || c < 1) return;
    const int rows = std::max(r, c);
    Block a(rows, c), v(c, c);
    Scratch sv;
    if (!Allocated(a.ok() && v.ok() && sv.Allocate(static_cast<std::size_t>(c)))) return;
    MatZero(a.m(), rows, c);
    MatCopy(a.m(), MatrixData(&pv[0]), r, c);
    if (IDecSVD(a.m(), rows, c, sv.data(), nullptr, v.m()) != 0) {
        ReportRunError(RunErrorCode::SvdFailed);
        return;
    }
    const int rank = RankOf(sv.data(), c, DGetInvertEps());
    if (rank == c || !library::ResultMatrix(rtn, c, c - rank)) return;
    for (int i = 0; i < c; ++i)
        for (int j = rank; j < c; ++j) MatrixData(rtn)[i][j - rank] = v.m()[i][j];
}

}  // namespace zu::numerics
