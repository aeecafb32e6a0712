// Fortran entry points of BLAS and LAPACK (double precision), called with
// column-major arrays.  A row-major block of r rows by c columns is the
// column-major c by r transpose, which is how the kernels pass matrices.
#pragma once

extern "C" {
void dgemm_(const char* transa, const char* transb, const int* m,
            const int* n, const int* k, const double* alpha, const double* a,
            const int* lda, const double* b, const int* ldb,
            const double* beta, double* c, const int* ldc);
void dsyrk_(const char* uplo, const char* trans, const int* n, const int* k,
            const double* alpha, const double* a, const int* lda,
            const double* beta, double* c, const int* ldc);
void dtrsm_(const char* side, const char* uplo, const char* transa,
            const char* diag, const int* m, const int* n,
            const double* alpha, const double* a, const int* lda, double* b,
            const int* ldb);
void dgebal_(const char* job, const int* n, double* a, const int* lda, int* ilo,
             int* ihi, double* scale, int* info);
void dgetrf_(const int* m, const int* n, double* a, const int* lda,
             int* ipiv, int* info);
void dgetri_(const int* n, double* a, const int* lda, const int* ipiv,
             double* work, const int* lwork, int* info);
void dpotrf_(const char* uplo, const int* n, double* a, const int* lda,
             int* info);
void dpotri_(const char* uplo, const int* n, double* a, const int* lda,
             int* info);
void dsyevd_(const char* jobz, const char* uplo, const int* n, double* a,
             const int* lda, double* w, double* work, const int* lwork,
             int* iwork, const int* liwork, int* info);
void dgeev_(const char* jobvl, const char* jobvr, const int* n, double* a,
            const int* lda, double* wr, double* wi, double* vl,
            const int* ldvl, double* vr, const int* ldvr, double* work,
            const int* lwork, int* info);
void dgeqrf_(const int* m, const int* n, double* a, const int* lda,
             double* tau, double* work, const int* lwork, int* info);
void dgeqp3_(const int* m, const int* n, double* a, const int* lda,
             int* jpvt, double* tau, double* work, const int* lwork,
             int* info);
void dorgqr_(const int* m, const int* n, const int* k, double* a,
             const int* lda, const double* tau, double* work,
             const int* lwork, int* info);
void dgesdd_(const char* jobz, const int* m, const int* n, double* a,
             const int* lda, double* s, double* u, const int* ldu,
             double* vt, const int* ldvt, double* work, const int* lwork,
             int* iwork, int* info);
// LAPACK's selection callbacks return a Fortran LOGICAL (an int).
using SchurSelect = int (*)(const double* re, const double* im);
using PencilSelect = int (*)(const double* ar, const double* ai, const double* beta);

void dgees_(const char* jobvs, const char* sort, SchurSelect select, const int* n, double* a,
            const int* lda, int* sdim, double* wr, double* wi, double* vs, const int* ldvs,
            double* work, const int* lwork, int* bwork, int* info);
void dgges_(const char* jobvsl, const char* jobvsr, const char* sort, PencilSelect selctg,
            const int* n, double* a, const int* lda, double* b, const int* ldb, int* sdim,
            double* alphar, double* alphai, double* beta, double* vsl, const int* ldvsl,
            double* vsr, const int* ldvsr, double* work, const int* lwork, int* bwork,
            int* info);
void dsygv_(const int* itype, const char* jobz, const char* uplo, const int* n, double* a,
            const int* lda, double* b, const int* ldb, double* w, double* work,
            const int* lwork, int* info);
}
