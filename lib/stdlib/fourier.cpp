// Fourier transforms and spectra: fft, dfft and periodogram.
//
// A complex vector is a 2 x n matrix, real parts in row 0 and imaginary
// parts in row 1, the layout in which eigen returns complex eigenvalues.
// A real series is a 1 x n row.  The transforms are
//     forward  X[k] = sum_j x[j] exp(-2 pi i j k / N)
//     inverse  x[j] = (1 / N) sum_k X[k] exp(+2 pi i j k / N)
// so that the inverse of the forward transform gives the series back.
// A missing value makes the whole transform missing.
/// @family Time series
#include <fftw3.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "numerics/dense.h"
#include "numerics/lapack.h"
#include "numerics/library_support.h"
#include "stdlib/argument_faults.h"
#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::stdlib {
namespace {

namespace lib = numerics::library;

constexpr double kPi = 3.14159265358979323846;
constexpr int kLongestPaddedLength = 1 << 30;

// What the optional second argument of fft and dfft asks for.
enum class Direction { kForward = 0, kInverse = 1, kInverseReal = 2 };

// The transforms work in place on the rows of the result, so that a long
// series needs no buffer beside its result.

// The last plan of each kind is kept for the next transform of the same
// length: for a long series FFTW spends about as long planning (its
// twiddle factors) as transforming.  A plan runs on new arrays through
// FFTW's new-array interface, which asks for the alignment it was planned
// with.  A kept plan holds about 8 bytes an element, so only plans up to
// this length are kept.  They are never destroyed: at exit the process
// releases them, and destroying them from a static destructor could come
// after FFTW is closed.
constexpr int kLongestKeptPlan = 1 << 23;

// From this length on a transform is shared among threads; below it the
// threads would cost more than they save.
constexpr int kShortestThreadedLength = 1 << 17;

// The threads a long transform uses: as many as the BLAS may use.
// FFTW's idle threads sleep; they do not spin.
int TransformThreads() {
    static const int threads = [] {
        const int count = numerics::BlasThreadCount();
        return count > 1 && fftw_init_threads() != 0 ? count : 1;
    }();
    return threads;
}

// Sets the threads of the plans made next for length n.
void PlanThreadsFor(int n) {
    const int threads = n >= kShortestThreadedLength ? TransformThreads() : 1;
    static int current = 1;
    if (threads == current) return;
    fftw_plan_with_nthreads(threads);
    current = threads;
}

struct KeptPlan {
    fftw_plan plan = nullptr;
    int n = -1;
    int alignments = -1;
};

// A plan for length n and these alignments: the kept one, or one made by
// `make` (nullptr when none could be made), which is then kept in place of
// the last.
template <class Make>
fftw_plan PlanFor(KeptPlan& kept, int n, int alignments, Make make) {
    if (kept.plan != nullptr && kept.n == n && kept.alignments == alignments) return kept.plan;
    PlanThreadsFor(n);
    fftw_plan plan = make();
    if (plan == nullptr || n > kLongestKeptPlan) return plan;
    if (kept.plan != nullptr) fftw_destroy_plan(kept.plan);
    kept = {plan, n, alignments};
    return plan;
}

// Runs `execute` with the plan, then destroys the plan unless it is kept.
template <class Execute>
bool RunPlan(const KeptPlan& kept, fftw_plan plan, Execute execute) {
    if (plan == nullptr) return false;
    execute(plan);
    if (plan != kept.plan) fftw_destroy_plan(plan);
    return true;
}

// The alignments of a plan's two arrays, as one key.
int Alignments(double* a, double* b) { return fftw_alignment_of(a) + 16 * fftw_alignment_of(b); }

// Transforms the complex series re + i im of n elements in place, in
// FFTW's split format (real and imaginary parts in arrays of their own);
// false when no plan could be made.  FFTW_ESTIMATE plans without touching
// the data.  The split interface computes the forward transform only;
// with the real and imaginary parts exchanged it computes the backward
// one.
bool Transform(double* re, double* im, int n, Direction direction) {
    if (direction != Direction::kForward) std::swap(re, im);
    static KeptPlan kept;
    const fftw_plan plan = PlanFor(kept, n, Alignments(re, im), [&] {
        const fftw_iodim dim{n, 1, 1};
        return fftw_plan_guru_split_dft(1, &dim, 0, nullptr, re, im, re, im, FFTW_ESTIMATE);
    });
    if (!RunPlan(kept, plan, [&](fftw_plan p) { fftw_execute_split_dft(p, re, im, re, im); })) return false;
    if (direction != Direction::kForward) {
        for (int k = 0; k < n; ++k) {
            re[k] /= n;
            im[k] /= n;
        }
    }
    return true;
}

// The forward transform of the real series in[0..n-1] into re + i im,
// where im = re + n (the two rows of one block).  Half the work of the
// complex transform: the upper half of a real series' transform is the
// conjugate of the lower half.  FFTW writes the lower half as interleaved
// pairs into the block, faster than its split format; the pairs are then
// parted in place.  The input is left as it is.  False when no plan could
// be made.
bool RealForward(const double* in, double* re, int n) {
    static KeptPlan kept;
    auto* const input = const_cast<double*>(in);
    auto* const pairs = reinterpret_cast<fftw_complex*>(re);
    const fftw_plan plan = PlanFor(kept, n, Alignments(input, re), [&] {
        return fftw_plan_dft_r2c_1d(n, input, pairs, FFTW_ESTIMATE | FFTW_PRESERVE_INPUT);
    });
    if (!RunPlan(kept, plan, [&](fftw_plan p) { fftw_execute_dft_r2c(p, input, pairs); })) return false;
    // Pair k sits at re[2k], re[2k + 1] for k = 0 .. n / 2.  Walking up,
    // element k of each part is written below 2k or at n + k, never over a
    // pair still to be read, except for the last pair, which is taken
    // first (it reaches into im for an even n).
    double* const im = re + n;
    const int half = n / 2;
    const double lastRe = re[2 * half], lastIm = re[2 * half + 1];
    for (int k = 0; k < half; ++k) {
        const double a = re[2 * k], b = re[2 * k + 1];
        re[k] = a;
        im[k] = b;
    }
    re[half] = lastRe;
    im[half] = lastIm;
    for (int k = half + 1; k < n; ++k) {
        re[k] = re[n - k];
        im[k] = -im[n - k];
    }
    return true;
}

std::string Shape(const ZuVALUE* v) {
    return "matrix[" + std::to_string(Rows(v)) + "][" + std::to_string(Columns(v)) + "]";
}

// Argument 0 as a real row or a complex 2 x n matrix, and the direction.
bool TransformArgs(ZuVALUE* pv, int cArg, Direction* direction) {
    if (cArg > 2) return ZuLibArgError(2) != 0;
    if (value::TypeCode(&pv[0]) == ZU_STRING) return ZuLibArgTypeError(0, ZU_MATRIX, ZU_STRING) != 0;
    if (!lib::MatrixArg(pv, 0)) return false;
    if (Rows(&pv[0]) != 1 && Rows(&pv[0]) != 2) {
        return ArgumentFault(0, "found " + Shape(&pv[0]) + " but expected 1 row (real) or 2 rows (complex)",
                             kArgumentSizeError);
    }
    *direction = Direction::kForward;
    if (cArg < 2) return true;
    int code = 0;
    if (!lib::IntArg(pv, 1, &code)) return false;
    if (code < 0 || code > 2) return ArgumentFault(1, "direction " + std::to_string(code) + " is not 0, 1 or 2");
    *direction = static_cast<Direction>(code);
    return true;
}

bool HasMissing(const ZuVALUE* x) {
    for (int i = 0; i < Rows(x); ++i) {
        for (int j = 0; j < Columns(x); ++j) {
            if (std::isnan(MatrixData(x)[i][j])) return true;
        }
    }
    return false;
}

// The transform of argument 0 zero-padded to length n (at least its own).
void FourierTransform(ZuVALUE* rtn, ZuVALUE* pv, int n, Direction direction) {
    const ZuVALUE* x = &pv[0];
    const bool complexInput = Rows(x) == 2;
    const int rows = direction == Direction::kInverseReal ? 1 : 2;
    const int count = Columns(x);
    if (!lib::ResultMatrix(rtn, rows, n) || n == 0) return;
    // The transform skips products with zero twiddle parts, so a missing
    // value need not reach every element: it is made to.
    if (HasMissing(x)) {
        MatNaN(MatrixData(rtn), rows, n);
        return;
    }
    double* re = MatrixData(rtn)[0];
    numerics::Scratch imagOnly;  // the imaginary parts that the result leaves out
    double* im = rows == 2 ? MatrixData(rtn)[1] : nullptr;
    if (im == nullptr) {
        if (!lib::Allocated(imagOnly.Allocate(static_cast<std::size_t>(n)))) return;
        im = imagOnly.data();
    }
    if (!complexInput && direction == Direction::kForward) {
        // The series itself is the input when it needs no padding.
        numerics::Scratch padded;
        const double* in = MatrixData(x)[0];
        if (count < n) {
            if (!lib::Allocated(padded.Allocate(static_cast<std::size_t>(n)))) return;
            for (int j = 0; j < n; ++j) padded.data()[j] = j < count ? in[j] : 0.0;
            in = padded.data();
        }
        if (im == re + n) {
            (void)lib::Allocated(RealForward(in, re, n));
            return;
        }
        for (int j = 0; j < n; ++j) {
            re[j] = in[j];
            im[j] = 0.0;
        }
        (void)lib::Allocated(Transform(re, im, n, direction));
        return;
    }
    for (int j = 0; j < n; ++j) {
        const bool inside = j < count;
        re[j] = inside ? MatrixData(x)[0][j] : 0.0;
        im[j] = inside && complexInput ? MatrixData(x)[1][j] : 0.0;
    }
    (void)lib::Allocated(Transform(re, im, n, direction));
}

// The autocovariances c[0..lags] of column j with divisor T (mean removed).
std::vector<double> Autocovariances(const ZuVALUE* x, int j, int lags) {
    const int t = Rows(x);
    double mean = 0.0;
    for (int i = 0; i < t; ++i) mean += MatrixData(x)[i][j];
    mean /= t;
    std::vector<double> c(static_cast<std::size_t>(lags) + 1, 0.0);
    for (int k = 0; k <= lags && k < t; ++k) {
        double sum = 0.0;
        for (int i = k; i < t; ++i) sum += (MatrixData(x)[i][j] - mean) * (MatrixData(x)[i - k][j] - mean);
        c[static_cast<std::size_t>(k)] = sum / t;
    }
    return c;
}

enum class Kernel { kTruncated = 0, kBartlett = 1, kParzen = 2 };

// The lag window at z = lag / truncation, 0 <= z.
double Weight(Kernel kernel, double z) {
    if (z > 1.0) return 0.0;
    switch (kernel) {
    case Kernel::kTruncated: return 1.0;
    case Kernel::kBartlett: return 1.0 - z;
    case Kernel::kParzen:
        return z <= 0.5 ? 1.0 - 6.0 * z * z + 6.0 * z * z * z : 2.0 * (1.0 - z) * (1.0 - z) * (1.0 - z);
    }
    return 0.0;
}

// The settings of periodogram after the series.
struct SpectrumSettings {
    int truncation;  // the lags that enter are 0 .. truncation (at most T - 1)
    int points;      // frequencies pi k / (points - 1), k = 0 .. points - 1
    Kernel kernel;
};

bool SpectrumArgs(ZuVALUE* pv, int cArg, SpectrumSettings* s) {
    if (cArg > 4) return ZuLibArgError(4) != 0;
    if (value::TypeCode(&pv[0]) == ZU_STRING) return ZuLibArgTypeError(0, ZU_MATRIX, ZU_STRING) != 0;
    if (!lib::MatrixArg(pv, 0)) return false;
    const int t = Rows(&pv[0]);
    if (t < 1) return ArgumentFault(0, "no observations", kArgumentSizeError);
    *s = {t - 1, t / 2 + 1, cArg >= 2 ? Kernel::kParzen : Kernel::kTruncated};
    if (cArg >= 2 && !lib::IntArg(pv, 1, &s->truncation)) return false;
    if (s->truncation < 1 && t > 1) return ArgumentFault(1, "truncation " + std::to_string(s->truncation) + " below 1");
    if (cArg >= 3 && !lib::IntArg(pv, 2, &s->points)) return false;
    if (s->points < 2) return ArgumentFault(2, "fewer than 2 points");
    int kernel = static_cast<int>(s->kernel);
    if (cArg >= 4 && !lib::IntArg(pv, 3, &kernel)) return false;
    if (kernel < 0 || kernel > 2) return ArgumentFault(3, "kernel " + std::to_string(kernel) + " is not 0, 1 or 2");
    s->kernel = static_cast<Kernel>(kernel);
    return true;
}

}  // namespace

/// fft(x [, direction])
/// The Fourier transform of a real row `x` (1 by n) or of a complex row `x` (2 by n), padded
/// with zeros to the next power of 2, N. `direction` 0 (the default) is the forward transform
/// and 1 the inverse, both giving a 2 by N complex result; 2 is the inverse keeping only the
/// real parts, 1 by N. A missing value makes the whole transform missing.
/// Example:
///     decl f = fft(<1,2,3,4>);
///     print(f, fft(f, 2));
void FnFft(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    Direction direction{};
    if (!TransformArgs(pv, cArg, &direction)) return;
    const int n = Columns(&pv[0]);
    if (n > kLongestPaddedLength) {
        ArgumentFault(0, "length " + std::to_string(n) + " beyond the longest padded length", kArgumentSizeError);
        return;
    }
    int padded = n == 0 ? 0 : 1;
    while (padded < n) padded *= 2;
    FourierTransform(rtn, pv, padded, direction);
}

/// dfft(x [, direction])
/// As `fft`, but of exactly the length n of `x`, with no padding: the discrete Fourier
/// transform by its definition, computed in O(n log n) for any n, prime lengths included.
/// Example:
///     print(dfft(<1,2,3>));
void FnDfft(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    Direction direction{};
    if (!TransformArgs(pv, cArg, &direction)) return;
    FourierTransform(rtn, pv, Columns(&pv[0]), direction);
}

/// periodogram(x [, truncation [, points [, kernel]]])
/// The spectral density of each column of `x` (T observations down the rows) at the `points`
/// frequencies pi k / (points - 1), k = 0 .. points - 1: f(w) = (1 / 2 pi) sum over |j| <= m
/// of K(j / m) c[j] cos(j w), where c[j] are the autocovariances (mean removed, divisor T) and
/// m the truncation. With `x` alone it is the raw periodogram: m = T - 1, weights 1 and
/// points = floor(T / 2) + 1. Given a truncation the lag window is Parzen's (`kernel` 2, the
/// default), Bartlett's 1 - |z| (1), or the truncated window of weights 1 (0). The result is
/// points by columns; a column with a missing value is missing throughout.
/// Example:
///     print(periodogram(<1;3;2;5;4;6;5;8>, 2, 3, 1));
void FnPeriodogram(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    SpectrumSettings s{};
    if (!SpectrumArgs(pv, cArg, &s)) return;
    const ZuVALUE* x = &pv[0];
    const int t = Rows(x), columns = Columns(x);
    const int lags = s.truncation < t - 1 ? s.truncation : t - 1;
    if (!lib::ResultMatrix(rtn, s.points, columns)) return;
    std::vector<double> weights(static_cast<std::size_t>(lags) + 1);
    for (int j = 0; j <= lags; ++j) {
        weights[static_cast<std::size_t>(j)] = Weight(s.kernel, static_cast<double>(j) / s.truncation);
    }
    for (int col = 0; col < columns; ++col) {
        const std::vector<double> c = Autocovariances(x, col, lags);
        for (int k = 0; k < s.points; ++k) {
            const double w = kPi * k / (s.points - 1);
            double sum = c[0];
            for (int j = 1; j <= lags; ++j) {
                sum += 2.0 * weights[static_cast<std::size_t>(j)] * c[static_cast<std::size_t>(j)] * std::cos(j * w);
            }
            MatrixData(rtn)[k][col] = sum / (2.0 * kPi);
        }
    }
}

}  // namespace zu::stdlib
