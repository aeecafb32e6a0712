// Library functions over the Schur decompositions and the generalised
// symmetric eigenvalue problem.  Outputs given by address are written
// last, from scratch matrices, so an output may name an argument itself.
/// @family Linear algebra

#include "numerics/dense.h"
#include "numerics/library.h"
#include "numerics/library_support.h"
#include "numerics/schur.h"
#include "value/value.h"

using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::numerics {
namespace {

using library::Block;

using library::Allocated;

// The optional trailing pair (lo, hi) at argument `first`: the arguments
// end either before it or with it.  False after the report.
bool OptionalRange(ZuVALUE* pv, int cArg, int first, bool* given, ModulusRange* range) {
    *given = cArg > first;
    if (cArg == first + 1 || cArg > first + 2) {
        ZuLibArgError(cArg == first + 1 ? first : first + 2);
        return false;
    }
    return !*given || (library::DoubleArg(pv, first, &range->lo) && library::DoubleArg(pv, first + 1, &range->hi));
}

// Argument k as a square matrix of order n; false after the report.
bool SquareOfOrder(ZuVALUE* pv, int k, int n) {
    if (!library::SquareArg(pv, k)) return false;
    return Rows(&pv[k]) == n || ZuLibCheckMatrixSize(pv, k, k, n, n) != 0;
}

// Real parts and imaginary parts (two rows) into target, or the real
// parts alone when no imaginary part is non-zero.
void OutEigenvalues(ZuVALUE* target, double** reim, int n) {
    bool complex = false;
    for (int j = 0; j < n; ++j) complex = complex || reim[1][j] != 0;
    library::OutMatrix(target, reim, complex ? 2 : 1, n);
}

// The result of a Schur routine; false when nothing is to be stored.
bool SchurDone(ZuVALUE* rtn, int code) {
    ZuValSetInt(rtn, code);
    if (code != kSchurFailed) return true;
    library::DecompositionFailed();
    return false;
}

}  // namespace

/// decschur(a, &eval, &s [, &v [, lo, hi]])
/// The real Schur form of the square matrix a: a = v s v' with v orthogonal and s quasi upper triangular,
/// whose 2 by 2 diagonal blocks (with equal diagonal elements) hold the complex pairs. eval receives the
/// eigenvalues in the order of s's diagonal, as a row, or as two rows (real parts, imaginary parts) when some
/// are complex, the member of a pair with positive imaginary part first. With lo and hi, the eigenvalues with
/// lo <= |lambda| < hi are moved to the top (lo 0 and hi 1 put the stable roots of a difference equation
/// first).
/// Returns 0 on success, 1 on failure (nothing stored), 2 when the ordering could not be completed (a valid
/// Schur form is stored nonetheless).
/// Example:
///     decl eval, s, v, a = <0.5,1;0,2>;
///     println(decschur(a, &eval, &s, &v, 1, 10));
///     print(eval, s);
///     println(norm(v * s * v' - a) < 1e-12);
void FnDecschur(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* evalOut = library::OutputArg(pv, 1, cArg);
    ZuVALUE* sOut = library::OutputArg(pv, 2, cArg);
    ZuVALUE* vOut = library::OutputArg(pv, 3, cArg);
    bool ordered = false;
    ModulusRange range{0, 0};
    if (!OptionalRange(pv, cArg, 4, &ordered, &range) || !library::SquareArg(pv, 0)) return;
    const int n = Rows(&pv[0]);
    Block s(n, n), v(n, n), eval(2, n);
    if (!Allocated(s.ok() && v.ok() && eval.ok())) return;
    if (n >= 1) MatCopy(s.m(), MatrixData(&pv[0]), n, n);
    double** vWanted = vOut != nullptr ? v.m() : nullptr;
    const ModulusRange* order = ordered ? &range : nullptr;
    const int code = n < 1 ? 0 : SchurReal(s.m(), n, eval.m()[0], eval.m()[1], vWanted, order);
    if (!SchurDone(rtn, code)) return;
    OutEigenvalues(evalOut, eval.m(), n);
    library::OutMatrix(sOut, s.m(), n, n);
    library::OutMatrix(vOut, v.m(), n, n);
}

/// decschurgen(a, b, &alpha, &beta, &s [, &t [, &q [, &z [, lo, hi]]]])
/// The generalised real Schur form of the square matrices a and b: a = q s z', b = q t z' with q and z
/// orthogonal, s quasi upper triangular and t upper triangular. The generalised eigenvalues (a x = lambda b
/// x) are alpha ./ beta in the order of the diagonals: alpha receives a row, or two rows (real parts,
/// imaginary parts) when some are complex; beta a row of non-negative values, 0 for an infinite eigenvalue.
/// With lo and hi, the eigenvalues with lo <= |lambda| < hi come first (an infinite one never does).
/// Returns 0 on success, 1 on failure (nothing stored), 2 when the ordering could not be completed.
/// Example:
///     decl alpha, beta, s, t, q, z, a = <1,2;0,3>, b = <1,0;0,2>;
///     println(decschurgen(a, b, &alpha, &beta, &s, &t, &q, &z));
///     print(alpha ./ beta);
///     println(norm(q * s * z' - a) < 1e-12, " ", norm(q * t * z' - b) < 1e-12);
void FnDecschurgen(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* alphaOut = library::OutputArg(pv, 2, cArg);
    ZuVALUE* betaOut = library::OutputArg(pv, 3, cArg);
    ZuVALUE* sOut = library::OutputArg(pv, 4, cArg);
    ZuVALUE* tOut = library::OutputArg(pv, 5, cArg);
    ZuVALUE* qOut = library::OutputArg(pv, 6, cArg);
    ZuVALUE* zOut = library::OutputArg(pv, 7, cArg);
    bool ordered = false;
    ModulusRange range{0, 0};
    if (!OptionalRange(pv, cArg, 8, &ordered, &range) || !library::SquareArg(pv, 0)) return;
    const int n = Rows(&pv[0]);
    if (!SquareOfOrder(pv, 1, n)) return;
    Block s(n, n), t(n, n), q(n, n), z(n, n), alpha(2, n), beta(1, n);
    if (!Allocated(s.ok() && t.ok() && q.ok() && z.ok() && alpha.ok() && beta.ok())) return;
    if (n >= 1) {
        MatCopy(s.m(), MatrixData(&pv[0]), n, n);
        MatCopy(t.m(), MatrixData(&pv[1]), n, n);
    }
    double** qWanted = qOut != nullptr ? q.m() : nullptr;
    double** zWanted = zOut != nullptr ? z.m() : nullptr;
    const ModulusRange* order = ordered ? &range : nullptr;
    const int code =
        n < 1 ? 0 : SchurGeneral(s.m(), t.m(), n, alpha.m()[0], alpha.m()[1], beta.m()[0], qWanted, zWanted, order);
    if (!SchurDone(rtn, code)) return;
    OutEigenvalues(alphaOut, alpha.m(), n);
    library::OutMatrix(betaOut, beta.m(), 1, n);
    library::OutMatrix(sOut, s.m(), n, n);
    library::OutMatrix(tOut, t.m(), n, n);
    library::OutMatrix(qOut, q.m(), n, n);
    library::OutMatrix(zOut, z.m(), n, n);
}

/// eigensymgen(a, b, &eval, &evec)
/// The generalised symmetric eigenproblem a x = lambda b x for symmetric a and symmetric positive definite b
/// (their lower triangles are read): eval receives the eigenvalues as a row in decreasing order, evec the
/// eigenvectors by columns, normalised to x' b x = 1.
/// Returns 0 on success, 1 on failure, 2 when b is not positive definite (nothing is stored after a failure).
/// Example:
///     decl eval, evec, a = <2,1;1,2>, b = <2,0;0,1>;
///     println(eigensymgen(a, b, &eval, &evec));
///     print(eval);
///     println(norm(evec' * b * evec - unit(2)) < 1e-12, " ", norm(a * evec - b * evec * diag(eval)) < 1e-12);
void FnEigensymgen(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE* evalOut = library::OutputArg(pv, 2, cArg);
    ZuVALUE* evecOut = library::OutputArg(pv, 3, cArg);
    if (!library::SquareArg(pv, 0)) return;
    const int n = Rows(&pv[0]);
    if (!SquareOfOrder(pv, 1, n)) return;
    Block a(n, n), b(n, n), eval(1, n);
    if (!Allocated(a.ok() && b.ok() && eval.ok())) return;
    if (n >= 1) {
        MatCopy(a.m(), MatrixData(&pv[0]), n, n);
        MatCopy(b.m(), MatrixData(&pv[1]), n, n);
    }
    const int code = n < 1 ? 0 : EigenSymGeneral(a.m(), b.m(), n, eval.m()[0], evecOut != nullptr);
    ZuValSetInt(rtn, code);
    if (code != 0) {
        library::DecompositionFailed();
        return;
    }
    library::OutMatrix(evalOut, eval.m(), 1, n);
    library::OutMatrix(evecOut, a.m(), n, n);
}

}  // namespace zu::numerics
