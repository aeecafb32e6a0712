// The random draws of the probability library.  Most take the shape of
// the result (r, c) and then scalar parameters; a draw outside its
// distribution's domain is a missing value.  Every draw comes from the
// current uniform generator and the polar normal.
/// @family Random numbers

#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "numerics/dense.h"
#include "numerics/library.h"
#include "numerics/library_support.h"
#include "numerics/prob.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::IntOf;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::numerics {
namespace {

using library::AsInt;

// An integer draw, -1 outside the domain, as a double draw.
double Counted(int k) { return k < 0 ? NaN() : k; }

// r by c draws of `draw`, which takes the N parameters from argument 2 on.
template <std::size_t N, typename Draw>
void Draws(ZuVALUE* rtn, ZuVALUE* pv, Draw draw) {
    if (ZuLibCheckType(ZU_INT, pv, 0, 1) == 0) return;
    std::array<double, N + 1> p{};
    for (std::size_t k = 0; k < N; ++k)
        if (!library::DoubleArg(pv, static_cast<int>(k) + 2, &p[k])) return;
    const int r = IntOf(&pv[0]), c = IntOf(&pv[1]);
    if (!library::ResultMatrix(rtn, r, c)) return;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) MatrixData(rtn)[i][j] = draw(p.data());
}

// An int parameter given as a double; false (and the draw is missing)
// when it is not integral.
int IntParameter(double x, bool* ok) {
    int k = 0;
    *ok = AsInt(x, &k);
    return k;
}

// Paths by columns: column j of the r by c result is one run of `path`
// over r elements.
template <typename Path>
void Paths(ZuVALUE* rtn, int r, int c, Path path) {
    Scratch column;
    if (!column.Allocate(static_cast<std::size_t>(r > 0 ? r : 1))) {
        library::OutOfMemory();
        return;
    }
    if (!library::ResultMatrix(rtn, r, c)) return;
    for (int j = 0; j < c; ++j) {
        if (path(column.data(), r) != 0)
            for (int i = 0; i < r; ++i) column.data()[i] = NaN();
        for (int i = 0; i < r; ++i) MatrixData(rtn)[i][j] = column.data()[i];
    }
}

// Argument k as a vector (row or column) of at least one element; false
// after the report.
bool VectorArg(ZuVALUE* pv, int k) {
    if (!library::MatrixArg(pv, k)) return false;
    const int r = Rows(&pv[k]), c = Columns(&pv[k]);
    if ((r == 1 || c == 1) && r * c >= 1) return true;
    ZuLibArgError(k);
    return false;
}

// The elements of a vector argument checked by VectorArg, copied.
bool VectorCopy(const ZuVALUE& v, Scratch* out, int* n) {
    *n = Rows(&v) * Columns(&v);
    if (!out->Allocate(static_cast<std::size_t>(*n))) {
        library::OutOfMemory();
        return false;
    }
    for (int i = 0; i < *n; ++i) out->data()[i] = Columns(&v) == 1 ? MatrixData(&v)[i][0] : MatrixData(&v)[0][i];
    return true;
}

}  // namespace

/// ranbeta(r, c, a, b)
/// An r by c matrix of draws from the beta distribution with parameters a and b (mean a/(a+b)), each drawn as
/// x/(x+y) of two gamma draws; a or b not positive gives missing values.
/// Example:
///     ranseed(123456);
///     print(ranbeta(2, 3, 2, 5));
///     println("mean of 10000: ", double(meanc(ranbeta(10000, 1, 2, 5))), ", expected ", 2 / 7);
void FnRanbeta(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanBeta(p[0], p[1]); });
}

/// ranbinomial(r, c, n, p)
/// An r by c matrix of binomial draws: the number of successes in n trials of probability p. n not a whole
/// number, or a parameter outside its domain, gives missing values.
/// Example:
///     ranseed(123456);
///     print(ranbinomial(2, 5, 10, 0.3));
///     println("mean of 10000: ", double(meanc(ranbinomial(10000, 1, 10, 0.3))), ", expected ", 3);
void FnRanbinomial(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) {
        bool ok = false;
        const int n = IntParameter(p[0], &ok);
        return ok ? Counted(IRanBinomial(n, p[1])) : NaN();
    });
}

/// rancauchy(r, c)
/// An r by c matrix of draws from the standard Cauchy distribution (the Student t with 1 degree of freedom).
/// Example:
///     ranseed(123456);
///     print(rancauchy(2, 3));
///     println(quantilec(rancauchy(10000, 1), <0.25, 0.5, 0.75>));
void FnRancauchy(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<0>(rtn, pv, [](const double*) { return DRanCauchy(); });
}

/// ranchi(r, c, df)
/// An r by c matrix of chi-squared draws with df degrees of freedom (df > 0, not necessarily whole); df not
/// positive gives missing values.
/// Example:
///     ranseed(123456);
///     print(ranchi(2, 3, 4));
///     println("mean of 10000: ", double(meanc(ranchi(10000, 1, 4))), ", expected ", 4);
void FnRanchi(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return DRanChi(p[0]); });
}

/// ranexp(r, c, lambda)
/// An r by c matrix of exponential draws with rate lambda (mean 1/lambda); lambda not positive gives missing
/// values.
/// Example:
///     ranseed(123456);
///     print(ranexp(2, 3, 2));
///     println("mean of 10000: ", double(meanc(ranexp(10000, 1, 2))), ", expected ", 0.5);
void FnRanexp(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return DRanExp(p[0]); });
}

/// ranextremevalue(r, c, alpha, beta)
/// An r by c matrix of draws from the extreme value (Gumbel) distribution of location alpha and scale beta,
/// with distribution function exp(-exp(-(x-alpha)/beta)) and mean alpha + 0.5772 beta; beta not positive
/// gives missing values.
/// Example:
///     ranseed(123456);
///     print(ranextremevalue(2, 3, 1, 2));
///     println("mean of 10000: ", double(meanc(ranextremevalue(10000, 1, 1, 2))), ", expected ", 1 + 2 * 0.5772157);
void FnRanextremevalue(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return p[1] > 0 ? p[0] + p[1] * DRanExtremeValue() : NaN(); });
}

/// ranf(r, c, df1, df2)
/// An r by c matrix of F draws with df1 and df2 degrees of freedom (both positive), each the ratio of two
/// scaled chi-squared draws; parameters outside the domain give missing values.
/// Example:
///     ranseed(123456);
///     print(ranf(2, 3, 4, 10));
///     println("mean of 10000: ", double(meanc(ranf(10000, 1, 4, 10))), ", expected ", 10 / 8);
void FnRanf(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanF(p[0], p[1]); });
}

/// rangamma(r, c, shape, rate)
/// An r by c matrix of gamma draws with density proportional to x^(shape-1) exp(-rate x): the mean is
/// shape/rate. A shape or rate that is not positive gives missing values.
/// Example:
///     ranseed(123456);
///     print(rangamma(2, 3, 2, 4));
///     println("mean of 10000: ", double(meanc(rangamma(10000, 1, 2, 4))), ", expected ", 0.5);
void FnRangamma(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanGamma(p[0], p[1]); });
}

/// rangeometric(r, c, p)
/// An r by c matrix of geometric draws: the number of failures before the first success in trials of
/// probability p (mean (1-p)/p); p outside (0, 1] gives missing values.
/// Example:
///     ranseed(123456);
///     print(rangeometric(2, 5, 0.25));
///     println("mean of 10000: ", double(meanc(rangeometric(10000, 1, 0.25))), ", expected ", 3);
void FnRangeometric(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return Counted(IRanGeometric(p[0])); });
}

/// rangh(r, c, alpha, beta, delta, lambda)
/// An r by c matrix of draws from the generalised hyperbolic distribution (location 0) with tail parameter
/// alpha, skewness beta (|beta| < alpha), scale delta and index lambda, drawn as a normal mean-variance
/// mixture over a generalised inverse Gaussian; parameters outside the domain give missing values. Its
/// density is `densgh`.
/// Example:
///     ranseed(123456);
///     print(rangh(2, 3, 2, 0.5, 1, 1));
void FnRangh(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<4>(rtn, pv, [](const double* p) { return DRanGH(p[0], p[1], p[2], p[3]); });
}

/// rangig(r, c, lambda, chi, psi)
/// An r by c matrix of draws from the generalised inverse Gaussian distribution, whose density is
/// proportional to x^(lambda-1) exp(-(chi/x + psi x)/2) for x > 0; parameters outside the domain give missing
/// values. Its density is `densgig`.
/// Example:
///     ranseed(123456);
///     print(rangig(2, 3, 1, 1, 1));
///     println("mean of 10000: ", double(meanc(rangig(10000, 1, 1, 1, 1))));
void FnRangig(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<3>(rtn, pv, [](const double* p) { return DRanGIG(p[0], p[1], p[2]); });
}

/// ranhypergeometric(r, c, N, k, n)
/// An r by c matrix of hypergeometric draws: the number of successes in n draws without replacement from N
/// items of which k are successes (mean n k/N). Parameters that are not whole numbers or are outside the
/// domain give missing values.
/// Example:
///     ranseed(123456);
///     print(ranhypergeometric(2, 5, 20, 5, 10));
///     println("mean of 10000: ", double(meanc(ranhypergeometric(10000, 1, 20, 5, 10))), ", expected ", 2.5);
void FnRanhypergeometric(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<3>(rtn, pv, [](const double* p) {
        bool a = false, b = false, c = false;
        const int N = IntParameter(p[0], &a), k = IntParameter(p[1], &b), n = IntParameter(p[2], &c);
        return a && b && c ? DRanHypergeometric(N, k, n) : NaN();
    });
}

/// raninvgaussian(r, c, mu, lambda)
/// An r by c matrix of inverse Gaussian draws with mean mu and shape lambda (both positive; the variance is
/// mu^3/lambda); parameters outside the domain give missing values.
/// Example:
///     ranseed(123456);
///     print(raninvgaussian(2, 3, 2, 3));
///     println("mean of 10000: ", double(meanc(raninvgaussian(10000, 1, 2, 3))), ", expected ", 2);
void FnRaninvgaussian(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanInvGaussian(p[0], p[1]); });
}

/// ranlogarithmic(r, c, a)
/// An r by c matrix of draws from the logarithmic distribution with parameter a in (0, 1): P(x) = -a^x / (x
/// log(1-a)) for x = 1, 2, ...; a outside (0, 1) gives missing values.
/// Example:
///     ranseed(123456);
///     print(ranlogarithmic(2, 5, 0.5));
///     println("mean of 10000: ", double(meanc(ranlogarithmic(10000, 1, 0.5))), ", expected ", 1 / log(2));
void FnRanlogarithmic(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return Counted(IRanLogarithmic(p[0])); });
}

/// ranlogistic(r, c)
/// An r by c matrix of draws from the standard logistic distribution (location 0, scale 1): -log(1/u-1) for a
/// uniform u.
/// Example:
///     ranseed(123456);
///     print(ranlogistic(2, 3));
void FnRanlogistic(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<0>(rtn, pv, [](const double*) { return DRanLogistic(); });
}

/// ranlogn(r, c)
/// An r by c matrix of standard log-normal draws: exp of a standard normal (mean exp(1/2)).
/// Example:
///     ranseed(123456);
///     print(ranlogn(2, 3));
///     println("mean of 10000: ", double(meanc(ranlogn(10000, 1))), ", expected ", exp(0.5));
void FnRanlogn(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<0>(rtn, pv, [](const double*) { return DRanLogNormal(); });
}

/// ranmises(r, c, kappa)
/// An r by c matrix of von Mises draws around 0 with concentration kappa (angles in (-pi, pi]); kappa not
/// positive gives missing values.
/// Example:
///     ranseed(123456);
///     print(ranmises(2, 3, 2));
void FnRanmises(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return DRanMises(0, p[0]); });
}

/// rannegbin(r, c, n, p)
/// An r by c matrix of negative binomial draws: the number of failures before the n-th success in trials of
/// probability p (mean n(1-p)/p). n not a whole number, or a parameter outside its domain, gives missing
/// values.
/// Example:
///     ranseed(123456);
///     print(rannegbin(2, 5, 3, 0.5));
///     println("mean of 10000: ", double(meanc(rannegbin(10000, 1, 3, 0.5))), ", expected ", 3);
void FnRannegbin(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) {
        bool ok = false;
        const int n = IntParameter(p[0], &ok);
        return ok ? Counted(IRanNegBin(n, p[1])) : NaN();
    });
}

/// ranpareto(r, c, k, a)
/// An r by c matrix of Pareto draws with scale k and shape a, P(X > x) = (k/x)^a for x >= k (mean a k/(a-1)
/// when a > 1), by inverting the distribution function; parameters not positive give missing values.
/// Example:
///     ranseed(123456);
///     print(ranpareto(2, 3, 1, 3));
///     println("mean of 10000: ", double(meanc(ranpareto(10000, 1, 1, 3))), ", expected ", 1.5);
void FnRanpareto(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanPareto(p[0], p[1]); });
}

/// ranpoisson(r, c, mu)
/// An r by c matrix of Poisson draws with mean mu; mu negative gives missing values.
/// Example:
///     ranseed(123456);
///     print(ranpoisson(2, 5, 4));
///     println("mean of 10000: ", double(meanc(ranpoisson(10000, 1, 4))), ", expected ", 4);
void FnRanpoisson(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return Counted(IRanPoisson(p[0])); });
}

/// ranstable(r, c, alpha, beta)
/// An r by c matrix of draws from the standard stable distribution with index alpha in (0, 2] and skewness
/// beta in [-1, 1], by the Chambers-Mallows-Stuck transform; alpha 2 is the normal with variance 2, alpha 1
/// with beta 0 the Cauchy. Parameters outside the range give missing values.
/// Example:
///     ranseed(123456);
///     print(ranstable(2, 3, 1.5, 0));
///     println("variance of 10000: ", double(varc(ranstable(10000, 1, 2, 0))), ", expected ", 2);
void FnRanstable(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanStable(p[0], p[1]); });
}

/// rant(r, c, df)
/// An r by c matrix of Student t draws with df degrees of freedom (df > 0, not necessarily whole): a standard
/// normal over the root of an independent chi-squared draw divided by df. df not positive gives missing
/// values.
/// Example:
///     ranseed(123456);
///     print(rant(2, 3, 5));
///     println("variance of 10000: ", double(varc(rant(10000, 1, 5))), ", expected ", 5 / 3);
void FnRant(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return DRanStudentT(p[0]); });
}

/// ranweibull(r, c, a, b)
/// An r by c matrix of Weibull draws with shape a and scale b, P(X > x) = exp(-(x/b)^a), by inverting the
/// distribution function; parameters not positive give missing values.
/// Example:
///     ranseed(123456);
///     print(ranweibull(2, 3, 2, 1));
///     println("mean of 10000: ", double(meanc(ranweibull(10000, 1, 2, 1))), ", expected ", gammafact(1.5));
void FnRanweibull(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanWeibull(p[0], p[1]); });
}

/// ranbrownianmotion(r, c)
/// c paths of a standard Brownian motion by columns, observed at the times 1 to r: each column is the
/// cumulative sum of r independent standard normal increments.
/// Example:
///     ranseed(123456);
///     print(ranbrownianmotion(4, 2));
void FnRanbrownianmotion(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_INT, pv, 0, 1) == 0) return;
    Paths(rtn, IntOf(&pv[0]), IntOf(&pv[1]), [](double* x, int n) { return RanBrownianMotion(x, n, 1); });
}

/// ranpoissonprocess(r, c, mu)
/// c paths of a Poisson process of rate mu by columns: the counts at the times 1 to r. mu negative gives
/// missing values.
/// Example:
///     ranseed(123456);
///     print(ranpoissonprocess(5, 3, 2));
void FnRanpoissonprocess(ZuVALUE* rtn, ZuVALUE* pv, int) {
    double mu = 0;
    if (ZuLibCheckType(ZU_INT, pv, 0, 1) == 0 || !library::DoubleArg(pv, 2, &mu)) return;
    Paths(rtn, IntOf(&pv[0]), IntOf(&pv[1]), [mu](double* x, int n) { return RanPoissonProcess(x, n, mu); });
}

/// randirichlet(r, alpha)
/// r draws by rows from the Dirichlet distribution with the parameters of the vector alpha (a row or column
/// of n positive values): an r by n matrix whose rows sum to 1. A row with a parameter that is not positive
/// is missing.
/// Example:
///     ranseed(123456);
///     decl x = randirichlet(3, <1,2,3>);
///     print(x, sumr(x));
void FnRandirichlet(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_INT, pv, 0, 0) == 0 || !VectorArg(pv, 1)) return;
    Scratch alpha;
    int n = 0;
    if (!VectorCopy(pv[1], &alpha, &n)) return;
    const int r = IntOf(&pv[0]);
    if (!library::ResultMatrix(rtn, r, n)) return;
    for (int i = 0; i < r; ++i)
        if (RanDirichlet(MatrixData(rtn)[i], alpha.data(), n) != 0)
            for (int j = 0; j < n; ++j) MatrixData(rtn)[i][j] = NaN();
}

/// ranmultinomial(n, p)
/// The counts of n independent trials over the outcomes of the probabilities p (a row or column of k values
/// summing to 1), as a 1 by k row; probabilities outside the domain give missing values.
/// Example:
///     ranseed(123456);
///     println(ranmultinomial(100, <0.2, 0.3, 0.5>));
void FnRanmultinomial(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_INT, pv, 0, 0) == 0 || !VectorArg(pv, 1)) return;
    Scratch p;
    int k = 0;
    if (!VectorCopy(pv[1], &p, &k)) return;
    ScratchOf<int> counts;
    if (!counts.Allocate(static_cast<std::size_t>(k))) {
        library::OutOfMemory();
        return;
    }
    const bool ok = RanMultinomial(counts.data(), IntOf(&pv[0]), p.data(), k) == 0;
    if (!library::ResultMatrix(rtn, 1, k)) return;
    for (int j = 0; j < k; ++j) MatrixData(rtn)[0][j] = ok ? counts.data()[j] : NaN();
}

/// ransubsample(k, n)
/// k distinct indices drawn at random out of 0 to n-1 (without replacement), in increasing order, as a k by 1
/// column. k negative or above n is an argument error. See `ranshuffle` for the indices in random order.
/// Example:
///     ranseed(123456);
///     print(ransubsample(4, 10)');
void FnRansubsample(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_INT, pv, 0, 1) == 0) return;
    const int k = IntOf(&pv[0]), n = IntOf(&pv[1]);
    if (k < 0 || k > n) {
        ZuLibArgError(k < 0 ? 0 : 1);
        return;
    }
    ScratchOf<int> idx;
    if (!idx.Allocate(static_cast<std::size_t>(k))) {
        library::OutOfMemory();
        return;
    }
    if (RanSubSample(idx.data(), k, n) != 0 || !library::ResultMatrix(rtn, k, 1)) return;
    for (int i = 0; i < k; ++i) MatrixData(rtn)[i][0] = idx.data()[i];
}

/// ranuorder(n)
/// The order statistics of n uniform draws: a 1 by n row of uniforms in increasing order.
/// Example:
///     ranseed(123456);
///     print(ranuorder(5));
void FnRanuorder(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_INT, pv, 0, 0) == 0) return;
    const int n = IntOf(&pv[0]);
    if (!library::ResultMatrix(rtn, 1, n) || n < 1) return;
    if (RanUorder(MatrixData(rtn)[0], n) != 0)
        for (int j = 0; j < n; ++j) MatrixData(rtn)[0][j] = NaN();
}

namespace {

// The Choleski factor of the symmetric a in place, with positive
// definiteness judged relative to its scale: a is first scaled by powers
// of two to a diagonal in [1/4, 1), which is exact, factored by the kernel,
// and the factor scaled back.  False when a is not positive definite.
bool RelativeCholeski(double** a, int p) {
    std::vector<double> scale(static_cast<std::size_t>(p));
    for (int i = 0; i < p; ++i) {
        if (!(a[i][i] > 0) || !std::isfinite(a[i][i])) return false;
        int exponent = 0;
        (void)std::frexp(std::sqrt(a[i][i]), &exponent);
        scale[static_cast<std::size_t>(i)] = std::ldexp(1.0, -exponent);
    }
    for (int i = 0; i < p; ++i)
        for (int j = 0; j < p; ++j) a[i][j] *= scale[static_cast<std::size_t>(i)] * scale[static_cast<std::size_t>(j)];
    if (!FPPtDec(a, p)) return false;
    for (int i = 0; i < p; ++i)
        for (int j = 0; j <= i; ++j) a[i][j] /= scale[static_cast<std::size_t>(i)];
    return true;
}

}  // namespace

/// ranwishart(df, sigma [, ...])
/// One draw from the Wishart distribution with df degrees of freedom and the positive definite p by p scale
/// sigma (the sum of df outer products of normal vectors with covariance sigma; its mean is df sigma). When
/// sigma is not positive definite, the warning "ranwishart(): decomposition failed" is given and the result
/// is the int 0. A third argument is an argument error.
/// Example:
///     ranseed(123456);
///     print(ranwishart(10, <1,0.5;0.5,2>));
void FnRanwishart(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 2) {
        ZuLibArgError(2);
        return;
    }
    int df = 0;
    if (!library::IntArg(pv, 0, &df) || !library::SquareArg(pv, 1)) return;
    const int p = Rows(&pv[1]);
    library::Block l(p, p);
    if (!l.ok()) {
        library::OutOfMemory();
        return;
    }
    if (p < 1) {
        (void)library::ResultMatrix(rtn, 0, 0);
        return;
    }
    MatCopy(l.m(), MatrixData(&pv[1]), p, p);
    if (!RelativeCholeski(l.m(), p)) {
        library::DecompositionFailed();
        return;
    }
    if (library::ResultMatrix(rtn, p, p)) (void)RanWishart(MatrixData(rtn), l.m(), p, df);
}

}  // namespace zu::numerics
