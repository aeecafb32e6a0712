// Kernel slots, the inversion tolerance, the fast-math flag, and the
// exported calls that go through the slots.

#include "numerics/dense.h"
#include "numerics/kernels.h"

namespace zu::numerics {
namespace {

// The slots.  Every heavy matrix operation of the library goes through
// one of these, so that a host or a kernel library can replace it.
struct KernelSlots {
    ZuKNLCHOLESKI choleski = KnlCholeski;
    ZuKNLINVERTSYM invertsym = KnlInvertsym;
    ZuKNLINVERT invert = KnlInvert;
    ZuKNLEIGENSYM eigensym = KnlEigensym;
    ZuKNLEIGEN eigen = IEigen_lapack;
    ZuKNLDECQR decqr = KnlDecqr;
    ZuKNLDECSVD decsvd = KnlDecsvd;
    ZuKNLMATMUL matmul = KnlMatMul;
};

KernelSlots g_slots;

// Absolute singularity tolerance shared by all inversions: 1000 times the
// double machine epsilon.
double g_invertEps = 2.220446049250313e-13;

// When set, the decompositions may use the LAPACK routines for their
// work (falling back on the exact scalar algorithms whenever a pivot
// comes near the tolerance); when clear they run the scalar algorithms.
int g_fastMath = 0;

template <class Fn>
void Install(Fn& slot, Fn fn, Fn builtin) {
    slot = fn != nullptr ? fn : builtin;
}

}  // namespace
}  // namespace zu::numerics

using namespace zu::numerics;

extern "C" {

void SetKnlCholeski(ZuKNLCHOLESKI fn) { Install(g_slots.choleski, fn, KnlCholeski); }
void SetKnlInvertsym(ZuKNLINVERTSYM fn) { Install(g_slots.invertsym, fn, KnlInvertsym); }
void SetKnlInvert(ZuKNLINVERT fn) { Install(g_slots.invert, fn, KnlInvert); }
void SetKnlEigensym(ZuKNLEIGENSYM fn) { Install(g_slots.eigensym, fn, KnlEigensym); }
void SetKnlEigen(ZuKNLEIGEN fn) { Install(g_slots.eigen, fn, IEigen_lapack); }
void SetKnlDecqr(ZuKNLDECQR fn) { Install(g_slots.decqr, fn, KnlDecqr); }
void SetKnlDecsvd(ZuKNLDECSVD fn) { Install(g_slots.decsvd, fn, KnlDecsvd); }
void SetKnlMatMul(ZuKNLMATMUL fn) { Install(g_slots.matmul, fn, KnlMatMul); }

void SetInvertEps(double eps) {
    // Negative values are ignored, and so is NaN, which would make every
    // pivot test fail silently.
    if (eps >= 0) g_invertEps = eps;
}

double DGetInvertEps(void) { return g_invertEps; }

double DGetInvertEpsNorm(double** A, int n) {
    if (n < 1 || A == nullptr) return 0;
    return g_invertEps * zu::numerics::MaxAbsRowSum(A, n);
}

void SetFastMath(int on) { g_fastMath = on != 0; }
int FUsingFastMath(void) { return g_fastMath; }

int FPPtDec(double** A, int n) { return g_slots.choleski(A, n) == 0; }

int ISymInvDet(double** A, int n, double* logdet) { return g_slots.invertsym(A, n, logdet); }

int ISymInv(double** A, int n) { return g_slots.invertsym(A, n, nullptr); }

int IInvDet(double** A, int n, double* logdet, int* sign) { return g_slots.invert(A, n, logdet, sign); }

int IInvert(double** A, int n) { return g_slots.invert(A, n, nullptr, nullptr); }

int IEigenSym(double** A, int n, double* eval, int wantvec) { return g_slots.eigensym(A, n, eval, wantvec); }

int IEigen(double** A, int n, double* re, double* im, double** V) { return g_slots.eigen(A, n, re, im, V); }

int IDecQRtEx(double** At, int c, int r, int* piv, double* tau) { return g_slots.decqr(At, c, r, piv, tau); }

int IDecSVD(double** A, int r, int c, double* sv, double** U, double** V) { return g_slots.decsvd(A, r, c, sv, U, V); }

// The products.  An empty inner dimension gives a result of missing
// values rather than zeros: nothing was multiplied.
static double** Product(double** R, int rR, int cR, int inner, double** A, int rA, int cA, double** B, int rB, int cB,
                        int transA, int transB) {
    if (R == nullptr || rR < 1 || cR < 1) return R;
    if (inner < 1) return MatNaN(R, rR, cR);
    g_slots.matmul(R, A, rA, cA, B, rB, cB, transA, transB);
    return R;
}

double** MatAB(double** R, double** A, int rA, int cA, double** B, int cB) {
    return Product(R, rA, cB, cA, A, rA, cA, B, cA, cB, 0, 0);
}

double** MatABt(double** R, double** A, int rA, int cA, double** B, int rB) {
    return Product(R, rA, rB, cA, A, rA, cA, B, rB, cA, 0, 1);
}

double** MatAtB(double** R, double** A, int rA, int cA, double** B, int cB) {
    return Product(R, cA, cB, rA, A, rA, cA, B, rA, cB, 1, 0);
}

double** MatBtB(double** R, double** B, int rB, int cB) { return Product(R, cB, cB, rB, B, rB, cB, B, rB, cB, 1, 0); }

double** MatBBt(double** R, double** B, int rB, int cB) { return Product(R, rB, rB, cB, B, rB, cB, B, rB, cB, 0, 1); }

}  // extern "C"
