// Least squares by pivoted QR of the data, or pivoted Choleski of the cross
// products, over LAPACK, each solve refined with residuals formed in
// extended precision (x87 long double).
//
// Both first scale every regressor by a power of two that brings its norm
// into [1/2, 1): the scaling is exact, so a regressor multiplied by any
// power of two gives bit for bit the same fit with that coefficient
// divided by it, and any other factor changes the fit only by rounding.
// The rank test then compares pivots with the largest, so the units of the
// data play no part in it.
#include "numerics/least_squares.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "numerics/dense.h"
#include "numerics/lapack.h"
#include "zu.h"

namespace zu::numerics {
namespace {

std::size_t Count(int r, int c) { return static_cast<std::size_t>(r) * static_cast<std::size_t>(c); }

// The power of two that scales a positive finite norm into [1/2, 1).
double PowerOfTwoScale(double norm) {
    int exponent = 0;
    (void)std::frexp(norm, &exponent);
    return std::ldexp(1.0, -exponent);
}

// The Euclidean norm of n elements, safe from overflow and underflow.
double Norm(const double* v, int n) {
    double largest = 0;
    for (int i = 0; i < n; ++i) largest = std::max(largest, std::fabs(v[i]));
    if (largest == 0) return 0;
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += (v[i] / largest) * (v[i] / largest);
    return largest * std::sqrt(sum);
}

bool AllFinite(const double* v, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

// The regressors copied column by column into x (T by k), as LAPACK wants
// them; false when a datum (regressor or dependent) is not finite.
bool LoadRegressors(const RegressionData& d, double* x) {
    for (int t = 0; t < d.T; ++t) {
        for (int j = 0; j < d.k; ++j) {
            const double v = d.observationsInColumns ? d.x[j][t] : d.x[t][j];
            if (!std::isfinite(v)) return false;
            x[t + Count(j, d.T)] = v;
        }
        for (int c = 0; c < d.n; ++c)
            if (!std::isfinite(d.observationsInColumns ? d.y[c][t] : d.y[t][c])) return false;
    }
    return true;
}

// Scales each column of x (T by k) by the power of two of its norm into
// scale; false for a zero column.
bool ScaleColumns(double* x, int T, int k, double* scale) {
    for (int j = 0; j < k; ++j) {
        double* column = x + Count(j, T);
        const double norm = Norm(column, T);
        if (norm == 0) return false;
        scale[j] = PowerOfTwoScale(norm);
        for (int t = 0; t < T; ++t) column[t] *= scale[j];
    }
    return true;
}

// Passes of refinement after the first solve: two for the coefficients,
// one for (X'X)^-1, whose k columns make each pass as dear as the
// decomposition, and which a second pass improves by a tenth of a digit.
constexpr int kRefinements = 2;
constexpr int kInverseRefinements = 1;

// Rows of the data read together when they are stored by observation.
constexpr int kRowBlock = 128;

// The pivoted QR factors of the scaled regressors, as dgeqp3 left them.
struct Factor {
    double* qr;  // T by k: R on and above the diagonal, reflectors below
    int T;
    int k;
    const double* tau;
    const int* pivot;  // column j of the factors is regressor pivot[j]
    const double* scale;

    // Applies Q' (trans "T") or Q (trans "N") to the T by n matrix v.
    bool ApplyQ(const char* trans, double* v, int n) const {
        return WithWorkspace([&](double* work, int lwork) {
                   int i = 0;
                   dormqr_("L", trans, &T, &n, &k, qr, &T, tau, v, &T, work, &lwork, &i);
                   return i;
               }) == 0;
    }
    // Solves R v = v (trans "N") or R' v = v (trans "T") for the k by n
    // top of v (leading dimension T).
    void SolveR(const char* trans, double* v, int n) const {
        const double one = 1;
        dtrsm_("L", "U", trans, "N", &k, &n, &one, qr, &T, v, &T);
    }
};

// The augmented system  r + X b = y,  X' r = -e:  with e = 0 its solution
// is the least-squares fit b with its residuals r; with y = 0 and the
// columns of e those of the identity, b is (X'X)^-1.  Each pass forms what
// is left of both equations in extended precision and solves for the
// corrections with the factors; the first pass, from r = 0 and b = 0, is
// the plain QR solution, and the later ones gain back the digits that the
// factors lost, also when the residuals are large.
class AugmentedSystem {
public:
    // The fit of the data's y (n columns), or with forInverse the k
    // columns of (X'X)^-1.
    AugmentedSystem(const RegressionData& d, const Factor& f, bool forInverse)
        : d_(d), f_(f), inverse_(forInverse), n_(forInverse ? d.k : d.n) {}
    bool Allocate() {
        return r_.Allocate(Count(d_.T, n_)) && top_.Allocate(Count(d_.T, n_)) && bottom_.Allocate(Count(d_.T, n_)) &&
               gSum_.Allocate(Count(d_.k, n_)) && fSum_.Allocate(d_.observationsInColumns ? Count(d_.T, n_) : 1);
    }
    // One pass: b and the residuals take their corrections.
    bool Refine(double** b, bool first) {
        const int T = d_.T, k = d_.k, n = n_;
        double* f = top_.data();
        double* g = bottom_.data();  // k by n at leading dimension T
        if (first) {
            // With r = 0 and b = 0 what is left is y and -e themselves.
            std::fill(r_.data(), r_.data() + Count(T, n), 0.0);
            for (int c = 0; c < n; ++c) {
                for (int t = 0; t < T; ++t) f[t + Count(c, T)] = Y(t, c);
                for (int j = 0; j < k; ++j) g[j + Count(c, T)] = -E(f_.pivot[j], c) * f_.scale[f_.pivot[j]];
            }
        } else {
            Remainders(b, f, g);
        }
        // Q' of the zero f of the inverse's first pass is zero.
        if (!(first && inverse_) && !f_.ApplyQ("T", f, n)) return false;
        f_.SolveR("T", g, n);  // u1 = R^-T g
        for (int c = 0; c < n; ++c)
            for (int j = 0; j < k; ++j) {
                const std::size_t at = j + Count(c, T);
                const double u1 = g[at];
                g[at] = f[at] - u1;  // becomes the right-hand side of R db
                f[at] = u1;          // f becomes [u1; f2], Q of it is dr
            }
        f_.SolveR("N", g, n);
        if (!f_.ApplyQ("N", f, n)) return false;
        for (int c = 0; c < n; ++c) {
            for (int j = 0; j < k; ++j) {
                const int p = f_.pivot[j];
                b[p][c] += g[j + Count(c, T)] * f_.scale[p];
            }
            for (int t = 0; t < T; ++t) r_.data()[t + Count(c, T)] += f[t + Count(c, T)];
        }
        return true;
    }

private:
    double Y(int t, int c) const {
        if (inverse_) return 0;
        return d_.observationsInColumns ? d_.y[c][t] : d_.y[t][c];
    }
    double E(int j, int c) const { return inverse_ && j == c ? 1 : 0; }

    // f = y - r - X b, and g = -e - X' r in the coordinates of the factors
    // (scaled and pivoted), each element summed in extended precision.
    // The data are read once a pass, in the order they are stored.
    void Remainders(double** b, double* f, double* g) {
        const int T = d_.T, k = d_.k, n = n_;
        const double* r = r_.data();
        long double* fSum = fSum_.data();
        long double* gSum = gSum_.data();  // k by n, in the regressors' order
        for (int j = 0; j < k; ++j)
            for (int c = 0; c < n; ++c) gSum[j + Count(c, k)] = -E(j, c);
        if (!d_.observationsInColumns) {
            // Blocks of rows small enough to stay in cache while every
            // column of X' r takes its share of them.
            for (int t0 = 0; t0 < T; t0 += kRowBlock) {
                const int t1 = std::min(T, t0 + kRowBlock);
                for (int t = t0; t < t1; ++t) {
                    const double* row = d_.x[t];
                    for (int c = 0; c < n; ++c) {
                        long double sum = static_cast<long double>(Y(t, c)) - r[t + Count(c, T)];
                        for (int j = 0; j < k; ++j) sum -= static_cast<long double>(row[j]) * b[j][c];
                        f[t + Count(c, T)] = static_cast<double>(sum);
                    }
                }
                for (int c = 0; c < n; ++c) {
                    const double* rc = r + Count(c, T);
                    for (int j = 0; j < k; ++j) {
                        long double sum = gSum[j + Count(c, k)];
                        for (int t = t0; t < t1; ++t) sum -= static_cast<long double>(d_.x[t][j]) * rc[t];
                        gSum[j + Count(c, k)] = sum;
                    }
                }
            }
        } else {
            for (int c = 0; c < n; ++c)
                for (int t = 0; t < T; ++t)
                    fSum[t + Count(c, T)] = static_cast<long double>(Y(t, c)) - r[t + Count(c, T)];
            for (int j = 0; j < k; ++j) {
                const double* row = d_.x[j];
                for (int c = 0; c < n; ++c) {
                    const double bj = b[j][c];
                    long double* fc = fSum + Count(c, T);
                    const double* rc = r + Count(c, T);
                    long double sum = gSum[j + Count(c, k)];
                    for (int t = 0; t < T; ++t) {
                        fc[t] -= static_cast<long double>(row[t]) * bj;
                        sum -= static_cast<long double>(row[t]) * rc[t];
                    }
                    gSum[j + Count(c, k)] = sum;
                }
            }
            for (std::size_t i = 0; i < Count(T, n); ++i) f[i] = static_cast<double>(fSum[i]);
        }
        for (int j = 0; j < k; ++j) {
            const int p = f_.pivot[j];
            for (int c = 0; c < n; ++c) g[j + Count(c, T)] = static_cast<double>(gSum[p + Count(c, k)]) * f_.scale[p];
        }
    }

    const RegressionData& d_;
    const Factor& f_;
    bool inverse_;
    int n_;                        // columns of the right-hand side
    Scratch r_;                    // T by n residuals
    Scratch top_;                  // T by n
    Scratch bottom_;               // T by n, of which the top k rows are used
    ScratchOf<long double> gSum_;  // k by n
    ScratchOf<long double> fSum_;  // T by n, for data stored by regressor
};

}  // namespace

double RankTolerance() { return DGetInvertEps(); }

FitStatus FitByQR(const RegressionData& d, double** b, double** ixx) {
    const int T = d.T, k = d.k, n = d.n;
    if (k == 0) return FitStatus::kFitted;
    if (k > T) return FitStatus::kRankDeficient;
    if (!FitsLapack(T, k) || !FitsLapack(T, n)) return FitStatus::kNoMemory;
    Scratch data, scale, tau;
    ScratchOf<int> pivot;
    if (!data.Allocate(Count(T, k)) || !scale.Allocate(Count(1, k)) || !tau.Allocate(Count(1, k)) ||
        !pivot.Allocate(Count(1, k)))
        return FitStatus::kNoMemory;
    double* x = data.data();
    if (!LoadRegressors(d, x) || !ScaleColumns(x, T, k, scale.data())) return FitStatus::kRankDeficient;

    std::fill(pivot.data(), pivot.data() + k, 0);  // every column free to move
    int info = WithWorkspace([&](double* work, int lwork) {
        int i = 0;
        dgeqp3_(&T, &k, x, &T, pivot.data(), tau.data(), work, &lwork, &i);
        return i;
    });
    if (info != 0) return FitStatus::kNoMemory;
    for (int j = 0; j < k; ++j) pivot.data()[j] -= 1;
    const double largest = std::fabs(x[0]);
    for (int j = 0; j < k; ++j)
        if (!(std::fabs(x[j + Count(j, T)]) > RankTolerance() * largest)) return FitStatus::kRankDeficient;

    const Factor factor{x, T, k, tau.data(), pivot.data(), scale.data()};
    const auto solve = [&](double** out, int columns, bool forInverse) {
        AugmentedSystem system(d, factor, forInverse);
        if (!system.Allocate()) return false;
        for (int j = 0; j < k; ++j)
            for (int c = 0; c < columns; ++c) out[j][c] = 0;
        for (int pass = 0; pass <= (forInverse ? kInverseRefinements : kRefinements); ++pass)
            if (!system.Refine(out, pass == 0)) return false;
        return true;
    };
    if (b != nullptr && n > 0 && !solve(b, n, false)) return FitStatus::kNoMemory;
    if (ixx != nullptr) {
        if (!solve(ixx, k, true)) return FitStatus::kNoMemory;
        // The columns are solved one by one; the mean of the two halves
        // makes the inverse exactly symmetric.
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < i; ++j) ixx[i][j] = ixx[j][i] = (ixx[i][j] + ixx[j][i]) / 2;
    }
    return FitStatus::kFitted;
}

FitStatus FitFromCrossProducts(double** xtx, double** xty, int k, int n, double** b, double** ixx) {
    if (k == 0) return FitStatus::kFitted;
    if (!FitsLapack(k, k) || !FitsLapack(k, n)) return FitStatus::kNoMemory;
    Scratch s, scale, pivotWork, rhs;
    ScratchOf<int> pivot;
    if (!s.Allocate(Count(k, k)) || !scale.Allocate(Count(1, k)) || !pivotWork.Allocate(Count(2, k)) ||
        !rhs.Allocate(Count(k, n)) || !pivot.Allocate(Count(1, k)))
        return FitStatus::kNoMemory;
    for (int j = 0; j < k; ++j) {
        const double diagonal = xtx[j][j];
        if (!(diagonal > 0) || !std::isfinite(diagonal)) return FitStatus::kRankDeficient;
        scale.data()[j] = PowerOfTwoScale(std::sqrt(diagonal));
    }
    // The scaled lower triangle; its diagonal lies in [1/4, 1).
    for (int j = 0; j < k; ++j)
        for (int i = j; i < k; ++i) s.data()[i + Count(j, k)] = xtx[i][j] * scale.data()[i] * scale.data()[j];
    for (int j = 0; j < k; ++j)
        for (int c = 0; c < n; ++c) rhs.data()[j + Count(c, k)] = xty[j][c];
    for (int j = 0; j < k; ++j)
        for (int i = j; i < k; ++i)
            if (!std::isfinite(s.data()[i + Count(j, k)])) return FitStatus::kRankDeficient;
    if (!AllFinite(rhs.data(), Count(k, n))) return FitStatus::kRankDeficient;

    // A pivot of the cross products is a squared pivot of R, so the
    // tolerance applies to it directly, relative to the largest diagonal.
    double largest = 0;
    for (int j = 0; j < k; ++j) largest = std::max(largest, s.data()[j + Count(j, k)]);
    const double tol = RankTolerance() * largest;
    int rank = 0, info = 0;
    dpstrf_("L", &k, s.data(), &k, pivot.data(), &rank, &tol, pivotWork.data(), &info);
    if (info != 0 || rank < k) return FitStatus::kRankDeficient;
    for (int j = 0; j < k; ++j) pivot.data()[j] -= 1;

    // X'X z = v is (P'SP) w = P' D v with z = D P w.  Each pass solves for
    // the correction from what is left of the equations, formed in
    // extended precision from the cross products as given.
    const auto solve = [&](const double* v, int columns, double** z) {
        Scratch left;
        if (!left.Allocate(Count(k, columns))) return false;
        for (int j = 0; j < k; ++j)
            for (int c = 0; c < columns; ++c) z[j][c] = 0;
        for (int pass = 0; pass <= kRefinements; ++pass) {
            for (int j = 0; j < k; ++j) {
                const int p = pivot.data()[j];
                for (int c = 0; c < columns; ++c) {
                    long double sum = v[p + Count(c, k)];
                    for (int i = 0; i < k; ++i)
                        sum -= static_cast<long double>(p >= i ? xtx[p][i] : xtx[i][p]) * z[i][c];
                    left.data()[j + Count(c, k)] = static_cast<double>(sum) * scale.data()[p];
                }
            }
            dpotrs_("L", &k, &columns, s.data(), &k, left.data(), &k, &info);
            if (info != 0) return false;
            for (int j = 0; j < k; ++j) {
                const int p = pivot.data()[j];
                for (int c = 0; c < columns; ++c) z[p][c] += left.data()[j + Count(c, k)] * scale.data()[p];
            }
        }
        return true;
    };
    if (b != nullptr && n > 0 && !solve(rhs.data(), n, b)) return FitStatus::kNoMemory;
    if (ixx != nullptr) {
        Scratch identity;
        if (!identity.Allocate(Count(k, k))) return FitStatus::kNoMemory;
        for (int j = 0; j < k; ++j)
            for (int i = 0; i < k; ++i) identity.data()[i + Count(j, k)] = i == j ? 1 : 0;
        if (!solve(identity.data(), k, ixx)) return FitStatus::kNoMemory;
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < i; ++j) ixx[i][j] = ixx[j][i] = (ixx[i][j] + ixx[j][i]) / 2;
    }
    return FitStatus::kFitted;
}

}  // namespace zu::numerics
