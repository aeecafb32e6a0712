// Real Schur and generalised real Schur (QZ) decompositions and the
// symmetric-definite generalised eigenvalue problem, over LAPACK.  All
// matrices are row-pointer matrices of order n; results overwrite them.
#pragma once

namespace zu::numerics {

// Eigenvalues whose modulus lies in [lo, hi) are moved to the top left of
// a Schur form (a complex pair moves as one block).
struct ModulusRange {
    double lo;  // smallest modulus selected
    double hi;  // moduli from here on stay behind
};

// Codes of the Schur routines.  A form that could not be reordered is
// still a valid Schur form, only not (fully) in the order asked for.
inline constexpr int kSchurFailed = 1;
inline constexpr int kSchurNotReordered = 2;

// A = V S V' with V orthogonal and S quasi upper triangular (1 by 1
// blocks and 2 by 2 blocks of complex pairs, standardised so that a pair
// has equal diagonal elements).  A is overwritten by S; V may be null.
// re and im receive the eigenvalues in the order of S's diagonal, the
// member of a pair with positive imaginary part first.  With order, the
// eigenvalues of that range come first.  0 on success.
int SchurReal(double** A, int n, double* re, double* im, double** V, const ModulusRange* order);

// A = Q S Z' and B = Q T Z' with Q and Z orthogonal, S quasi upper
// triangular and T upper triangular.  A and B are overwritten by S and T;
// Q and Z may be null.  The generalised eigenvalues are
// (alphar + i alphai) / beta with beta >= 0 (beta 0: infinite), in the
// order of the diagonals.  With order, those whose modulus lies in the
// range come first (an infinite or 0/0 eigenvalue never does).
int SchurGeneral(double** A, double** B, int n, double* alphar, double* alphai, double* beta, double** Q, double** Z,
                 const ModulusRange* order);

// A x = lambda B x for symmetric A and symmetric positive definite B (the
// lower triangles are used).  eval receives the eigenvalues in
// decreasing order; with wantvec, A is overwritten by the eigenvectors by
// columns, normalised to x' B x = 1.  B is left as it is.  0 on success,
// kSchurFailed when the iteration fails, kEigenNotDefinite when B is not
// positive definite.
inline constexpr int kEigenNotDefinite = 2;
int EigenSymGeneral(double** A, double** B, int n, double* eval, bool wantvec);

}  // namespace zu::numerics
