// The built-in routines behind the kernel slots, and the exact scalar
// algorithms that the accelerated paths fall back on.
#pragma once

#include "numerics/dense.h"
#include "zu.h"

namespace zu::numerics {

// Order up to which the Choleski decomposition runs unblocked, and the
// block size above it.
inline constexpr int kCholeskiBlock = 64;

// Built-in slot routines (the call forms of the slot typedefs in zu.h).
int KnlCholeski(double** A, int n);
int KnlInvertsym(double** A, int n, double* logdet);
int KnlInvert(double** A, int n, double* logdet, int* sign);
int KnlEigensym(double** A, int n, double* eval, int wantvec);
int KnlDecqr(double** At, int c, int r, int* piv, double* tau);
int KnlDecsvd(double** A, int r, int c, double* sv, double** U, double** V);
void KnlMatMul(double** R, double** A, int rA, int cA, double** B, int rB, int cB, int transA, int transB);

// Row-by-row Choleski of the n by n matrix whose rows are given; returns 1
// when a pivot residual is not above the tolerance.
int CholeskiUnblocked(double** A, int n);
// Blocked Choleski with 64 by 64 blocks on a contiguous row-major array.
int CholeskiBlocked(double* a, int n);

// Crout LU exactly in the documented order (no acceleration).
int LUPdecExact(double** A, int n, int* perm);

// The LU factors of A (left as it is) by LAPACK, column-major in `lu`,
// when the fast path applies to order n and every pivot is above the
// tolerance; false otherwise, and the exact algorithm decides.  perm
// receives the interchanges as ILUPdec gives them.
bool LapackLUInto(double** A, int n, Scratch& lu, int* perm);
// The sign and log |det| of A (left as it is) as ILUPdec gives them, read
// from the diagonal of LapackLUInto's factors, so that A is neither copied
// row-wise nor written back; false when that path does not apply.
bool LapackLogdet(double** A, int n, double* logdet, int* sign);
// LDL' exactly row by row (no acceleration).
int LDLdecExact(double** A, double* d, int n);

// Forms the k by r transpose of the explicit Q (k = min(r, c)) from the
// output of KnlDecqr; returns 0 on success.
int DecQRtFormQ(double** At, int c, int r, const double* tau, double** Qt);

}  // namespace zu::numerics
