// FFTW, opened at the first Fourier transform rather than at every
// start-up (see value/lazy_library.h): the library is bound at load time
// with over a thousand symbol relocations.  The lists hold every routine
// that fourier.cpp calls; a routine missing from them fails to link.  The
// threads library comes in the same package as FFTW itself.
#include "value/lazy_library.h"

#include <fftw3.h>

// clang-format off
#define ZU_FFTW_ROUTINES(X)                                                                        \
    X(fftw_plan, fftw_plan_guru_split_dft, (int rank, const fftw_iodim* dims, int howmany_rank,    \
                                            const fftw_iodim* howmany_dims, double* ri, double* ii, \
                                            double* ro, double* io, unsigned flags),                \
      (rank, dims, howmany_rank, howmany_dims, ri, ii, ro, io, flags))                             \
    X(fftw_plan, fftw_plan_dft_r2c_1d, (int n, double* in, fftw_complex* out, unsigned flags),      \
      (n, in, out, flags))                                                                         \
    X(void, fftw_execute_split_dft, (const fftw_plan p, double* ri, double* ii, double* ro,         \
                                     double* io), (p, ri, ii, ro, io))                             \
    X(void, fftw_execute_dft_r2c, (const fftw_plan p, double* in, fftw_complex* out), (p, in, out)) \
    X(int, fftw_alignment_of, (double* p), (p))                                                    \
    X(void, fftw_destroy_plan, (fftw_plan p), (p))
// clang-format on

ZU_LAZY_LIBRARY(Fftw, "libfftw3.so.3", ZU_FFTW_ROUTINES)
#define ZU_FFTW_FORWARD(...) ZU_LAZY_FORWARD(Fftw, __VA_ARGS__)
ZU_FFTW_ROUTINES(ZU_FFTW_FORWARD)

#define ZU_FFTW_THREADS_ROUTINES(X)                            \
    X(int, fftw_init_threads, (void), ())                      \
    X(void, fftw_plan_with_nthreads, (int nthreads), (nthreads))

ZU_LAZY_LIBRARY(FftwThreads, "libfftw3_threads.so.3", ZU_FFTW_THREADS_ROUTINES)
#define ZU_FFTW_THREADS_FORWARD(...) ZU_LAZY_FORWARD(FftwThreads, __VA_ARGS__)
ZU_FFTW_THREADS_ROUTINES(ZU_FFTW_THREADS_FORWARD)
