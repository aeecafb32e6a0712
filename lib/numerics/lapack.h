// Fortran entry points of BLAS and LAPACK (double precision), called with
// column-major arrays.  A row-major block of r rows by c columns is the
// column-major c by r transpose, which is how the kernels pass matrices.
//
// The library is opened on the first call, not when zul.so.3 loads: a
// program that never multiplies a large matrix pays neither for its
// relocations nor for its thread pool.  Each entry point below is an inline
// wrapper (C++ linkage, so it never meets the library's own symbol) that
// looks its routine up once and calls it.
#pragma once

namespace zu::numerics {
// The routine of that name in the BLAS/LAPACK library, opened on first use;
// a library or routine that cannot be found is a fatal error.
void* BlasSymbol(const char* name);
// The number of threads the library runs its routines on (at least 1):
// OPENBLAS_NUM_THREADS, else OMP_NUM_THREADS, else the processors this
// process may run on, at most 64.
int BlasThreadCount();
}  // namespace zu::numerics

// LAPACK's selection callbacks return a Fortran LOGICAL (an int).
using SchurSelect = int (*)(const double* re, const double* im);
using PencilSelect = int (*)(const double* ar, const double* ai, const double* beta);

#define ZU_BLAS_ROUTINE(name, params, args)                                                          \
    inline void name params {                                                                        \
        using Routine = void params;                                                                 \
        static Routine* const routine = reinterpret_cast<Routine*>(zu::numerics::BlasSymbol(#name)); \
        routine args;                                                                                \
    }

ZU_BLAS_ROUTINE(dgemm_,
                (const char* transa, const char* transb, const int* m, const int* n, const int* k, const double* alpha,
                 const double* a, const int* lda, const double* b, const int* ldb, const double* beta, double* c,
                 const int* ldc),
                (transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc))
ZU_BLAS_ROUTINE(dsyrk_,
                (const char* uplo, const char* trans, const int* n, const int* k, const double* alpha, const double* a,
                 const int* lda, const double* beta, double* c, const int* ldc),
                (uplo, trans, n, k, alpha, a, lda, beta, c, ldc))
ZU_BLAS_ROUTINE(dtrsm_,
                (const char* side, const char* uplo, const char* transa, const char* diag, const int* m, const int* n,
                 const double* alpha, const double* a, const int* lda, double* b, const int* ldb),
                (side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb))
ZU_BLAS_ROUTINE(dgetrf_, (const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info),
                (m, n, a, lda, ipiv, info))
ZU_BLAS_ROUTINE(dgetri_,
                (const int* n, double* a, const int* lda, const int* ipiv, double* work, const int* lwork, int* info),
                (n, a, lda, ipiv, work, lwork, info))
ZU_BLAS_ROUTINE(dpotrf_, (const char* uplo, const int* n, double* a, const int* lda, int* info),
                (uplo, n, a, lda, info))
ZU_BLAS_ROUTINE(dpotri_, (const char* uplo, const int* n, double* a, const int* lda, int* info),
                (uplo, n, a, lda, info))
ZU_BLAS_ROUTINE(dsyevd_,
                (const char* jobz, const char* uplo, const int* n, double* a, const int* lda, double* w, double* work,
                 const int* lwork, int* iwork, const int* liwork, int* info),
                (jobz, uplo, n, a, lda, w, work, lwork, iwork, liwork, info))
ZU_BLAS_ROUTINE(dgeev_,
                (const char* jobvl, const char* jobvr, const int* n, double* a, const int* lda, double* wr, double* wi,
                 double* vl, const int* ldvl, double* vr, const int* ldvr, double* work, const int* lwork, int* info),
                (jobvl, jobvr, n, a, lda, wr, wi, vl, ldvl, vr, ldvr, work, lwork, info))
ZU_BLAS_ROUTINE(dgeqrf_,
                (const int* m, const int* n, double* a, const int* lda, double* tau, double* work, const int* lwork,
                 int* info),
                (m, n, a, lda, tau, work, lwork, info))
ZU_BLAS_ROUTINE(dgeqp3_,
                (const int* m, const int* n, double* a, const int* lda, int* jpvt, double* tau, double* work,
                 const int* lwork, int* info),
                (m, n, a, lda, jpvt, tau, work, lwork, info))
ZU_BLAS_ROUTINE(dorgqr_,
                (const int* m, const int* n, const int* k, double* a, const int* lda, const double* tau, double* work,
                 const int* lwork, int* info),
                (m, n, k, a, lda, tau, work, lwork, info))
ZU_BLAS_ROUTINE(dgesdd_,
                (const char* jobz, const int* m, const int* n, double* a, const int* lda, double* s, double* u,
                 const int* ldu, double* vt, const int* ldvt, double* work, const int* lwork, int* iwork, int* info),
                (jobz, m, n, a, lda, s, u, ldu, vt, ldvt, work, lwork, iwork, info))
ZU_BLAS_ROUTINE(dgees_,
                (const char* jobvs, const char* sort, SchurSelect select, const int* n, double* a, const int* lda,
                 int* sdim, double* wr, double* wi, double* vs, const int* ldvs, double* work, const int* lwork,
                 int* bwork, int* info),
                (jobvs, sort, select, n, a, lda, sdim, wr, wi, vs, ldvs, work, lwork, bwork, info))
ZU_BLAS_ROUTINE(dgges_,
                (const char* jobvsl, const char* jobvsr, const char* sort, PencilSelect selctg, const int* n, double* a,
                 const int* lda, double* b, const int* ldb, int* sdim, double* alphar, double* alphai, double* beta,
                 double* vsl, const int* ldvsl, double* vsr, const int* ldvsr, double* work, const int* lwork,
                 int* bwork, int* info),
                (jobvsl, jobvsr, sort, selctg, n, a, lda, b, ldb, sdim, alphar, alphai, beta, vsl, ldvsl, vsr, ldvsr,
                 work, lwork, bwork, info))
ZU_BLAS_ROUTINE(dsygv_,
                (const int* itype, const char* jobz, const char* uplo, const int* n, double* a, const int* lda,
                 double* b, const int* ldb, double* w, double* work, const int* lwork, int* info),
                (itype, jobz, uplo, n, a, lda, b, ldb, w, work, lwork, info))
ZU_BLAS_ROUTINE(dpotrs_,
                (const char* uplo, const int* n, const int* nrhs, const double* a, const int* lda, double* b,
                 const int* ldb, int* info),
                (uplo, n, nrhs, a, lda, b, ldb, info))
ZU_BLAS_ROUTINE(dormqr_,
                (const char* side, const char* trans, const int* m, const int* n, const int* k, const double* a,
                 const int* lda, const double* tau, double* c, const int* ldc, double* work, const int* lwork,
                 int* info),
                (side, trans, m, n, k, a, lda, tau, c, ldc, work, lwork, info))
ZU_BLAS_ROUTINE(dpstrf_,
                (const char* uplo, const int* n, double* a, const int* lda, int* piv, int* rank, const double* tol,
                 double* work, int* info),
                (uplo, n, a, lda, piv, rank, tol, work, info))
ZU_BLAS_ROUTINE(dgebal_,
                (const char* job, const int* n, double* a, const int* lda, int* ilo, int* ihi, double* scale,
                 int* info),
                (job, n, a, lda, ilo, ihi, scale, info))

#undef ZU_BLAS_ROUTINE
