// Inverses for division by a matrix and negative matrix powers.
#pragma once

namespace zu::run::ops {

// Writes into `out` (n x n) the inverse of the n x n matrix `a`, which is
// left unchanged: the ordinary inverse, or the generalized inverse when `a`
// is singular.  False only when the generalized inverse fails too.
[[nodiscard]] bool InverseOrGeneralized(double** a, int n, double** out);

// Writes into `out` (c x r) the generalized (Moore-Penrose) inverse of the
// r x c matrix `a`, which is left unchanged.  Singular values up to the
// inversion tolerance times the largest one count as zero.  False when the
// singular value decomposition fails or memory runs out.
[[nodiscard]] bool GeneralizedInverse(double** a, int r, int c, double** out);

}  // namespace zu::run::ops
