// Library functions over the eigenvalue, QR and singular value kernels.
// Outputs given by address are written last, from scratch matrices, so an
// output may name the argument itself.
/// @family Linear algebra

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

/// eigensym(a, &eval [, &evec])
/// Eigenvalues and eigenvectors of the symmetric matrix a: eval receives the eigenvalues as a row in
/// decreasing order, evec the eigenvectors by columns in the same order (orthonormal).
/// Returns 0 on success, 1 when the iteration fails (with the warning "eigensym(): decomposition failed";
/// nothing is stored).
/// Example:
///     decl eval, evec;
///     println(eigensym(<2,1;1,2>, &eval, &evec));
///     print(eval, evec);
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

/// eigen(a, &eval [, &evec])
/// Eigenvalues and eigenvectors of the general square matrix a. eval receives the eigenvalues as a row, or as
/// a 2 by n matrix (real parts, imaginary parts) when some are complex; evec the eigenvectors by columns, n
/// by n, or 2n by n (real parts above imaginary parts) when some are complex. The order of the eigenvalues is
/// that of the iteration, not sorted.
/// Returns 0 on success, 1 when the iteration fails (with the warning "eigen(): decomposition failed";
/// nothing is stored).
/// Example:
///     decl eval;
///     println(eigen(<0,1;-2,-3>, &eval));
///     print(eval);
///     eigen(<0,-1;1,0>, &eval);
///     print(eval);
void FnEigen(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* evalOut = library::OutputArg(pv, 1, cArg);
    ZuVALUE* evecOut = library::OutputArg(pv, 2, cArg);
    if (!library::SquareArg(pv, 0)) return;
    const int n = Rows(&pv[0]);
    // The eigenvectors' blocks only when they are asked for.
    const int vectorRows = evecOut != nullptr ? n : 0;
    Block a(n, n), eval(2, n), v(vectorRows, n), spread(2 * vectorRows, n);
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

/// decsvd(a [, &u, &v])
/// Singular value decomposition of the r by c matrix a: a = u diag(s) v' with u r by k and v c by k, k =
/// min(r, c), both with orthonormal columns.
/// Returns the singular values s as a 1 by k row in decreasing order. When the decomposition fails, the
/// warning "decsvd(): decomposition failed" is given and the result is the int 0.
/// Example:
///     decl u, v, a = <3,0;4,5>;
///     decl s = decsvd(a, &u, &v);
///     print(s, u, v);
///     println(norm(u * diag(s) * v' - a) < 1e-12);
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

/// decqr(a, &q, &r, &p)
/// QR decomposition with column pivoting of the r by c matrix a: a[][p] = q * r, with q r by k (k = min(r,
/// c)) with orthonormal columns, r k by c upper triangular, and p a row of the original column indices (from
/// 0) in pivot order. Pass 0 to leave an output out.
/// Returns 1, or 0 (with the warning "decqr(): decomposition failed") when the decomposition fails.
/// Example:
///     decl q, r, p, a = <1,2;1,3;1,5>;
///     println(decqr(a, &q, &r, &p));
///     print(r, p);
///     println(norm(a[][p] - q * r) < 1e-12);
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

/// rank(a [, eps])
/// The rank of the matrix a: the number of its singular values above eps times the largest singular value;
/// eps defaults to the inversion tolerance (see `inverteps`). An empty matrix has rank 0; a failed
/// decomposition is the run-time error "SVD failed".
/// Example:
///     println(rank(<1,2;2,4;3,6>), " ", rank(<1,2;3,4>));
///     println(rank(<1,0;0,1e-8>), " ", rank(<1,0;0,1e-8>, 1e-6));
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

/// nullspace(a)
/// An orthonormal basis of the null space of the r by c matrix a, by columns: the c by c-rank matrix of right
/// singular vectors whose singular values do not exceed the inversion tolerance times the largest. Returns
/// the int 0 when a has full column rank.
/// Example:
///     decl n = nullspace(<1,1,1>);
///     println(columns(n), " columns, ", norm(<1,1,1> * n) < 1e-12, " ", norm(n'n - unit(2)) < 1e-12);
///     println(nullspace(<1,2;3,4>));
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
