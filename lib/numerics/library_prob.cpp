// The element-wise probability functions: densities, distribution
// functions, tails and quantiles, and the special functions.  Each applies
// its scalar routine to every element through the element-wise wrappers;
// a parameter that must be an integer and is not gives a missing value.
/// @family Probability

#include <cmath>

#include "numerics/library.h"
#include "numerics/library_support.h"
#include "numerics/prob.h"
#include "value/value.h"

namespace zu::numerics {
namespace {

using library::AsInt;

// The one-argument functions refuse a string (its bytes are no number)
// before the wrapper would convert it.
bool NotText(ZuVALUE* pv) {
    if (value::TypeCode(pv) != ZU_STRING || value::IsNul(pv)) return true;
    ZuLibCheckType(ZU_DOUBLE, pv, 0, 0);
    return false;
}

// Integer parameters passed as doubles.
double ProbBinomial(double x, double n, double p) {
    int k;
    return AsInt(n, &k) ? DProbBinomial(x, k, p) : NaN();
}
double DensBinomial(double x, double n, double p) {
    int k;
    return AsInt(n, &k) ? DDensBinomial(x, k, p) : NaN();
}
double QuanBinomial(double q, double n, double p) {
    int k;
    return AsInt(n, &k) ? DQuanBinomial(q, k, p) : NaN();
}
double ProbNegBin(double x, double n, double p) {
    int k;
    return AsInt(n, &k) ? DProbNegBin(x, k, p) : NaN();
}
double DensNegBin(double x, double n, double p) {
    int k;
    return AsInt(n, &k) ? DDensNegBin(x, k, p) : NaN();
}
double QuanNegBin(double q, double n, double p) {
    int k;
    return AsInt(n, &k) ? DQuanNegBin(q, k, p) : NaN();
}

template <double (*F)(double, int, int, int)>
double Hypergeometric(double x, double N, double k, double n) {
    int a, b, c;
    return AsInt(N, &a) && AsInt(k, &b) && AsInt(n, &c) ? F(x, a, b, c) : NaN();
}

// Student t with integer degrees of freedom by the routines of integer
// degrees, any others from the incomplete beta function, each tail on its
// own side.
double ProbT(double t, double df) {
    int k;
    return AsInt(df, &k) ? DProbT(t, k) : StudentLowerTail(t, df);
}
double TailT(double t, double df) {
    int k;
    return AsInt(df, &k) ? DTailProbT(t, k) : StudentUpperTail(t, df);
}

double Binomial(double n, double k) {
    int a, b;
    return AsInt(n, &a) && AsInt(k, &b) ? DBinomial(a, b) : NaN();
}
double Factorial(double n) {
    int k;
    return AsInt(n, &k) ? DFactorial(k) : NaN();
}
double GammaFact(double x) { return std::tgamma(x); }

template <ZuFNDOUBLE F>
void One(ZuVALUE* rtn, ZuVALUE* pv) {
    if (NotText(pv)) ZuFnDouble(rtn, pv, F);
}

// A function with an optional last parameter: `plain` with `count`
// arguments, `extended` with one more.
template <typename Plain, typename Extended>
void Optional(ZuVALUE* rtn, ZuVALUE* pv, int cArg, int count, Plain plain, Extended extended) {
    if (cArg > count + 1) {
        ZuLibArgError(count + 1);
        return;
    }
    if (cArg == count)
        plain(rtn, pv);
    else
        extended(rtn, pv);
}

}  // namespace

/// densn(x)
/// The standard normal density exp(-x^2/2)/sqrt(2 pi), element by element: an int or double gives a double, a
/// matrix a matrix of the same size.
/// Example:
///     println(densn(0), " ", densn(<-1, 1.96>));

/// probn(x)
/// The standard normal distribution function P(X <= x), element by element (algorithm AS 66). Exactly 0.5 at
/// 0 and exactly 1 above 8; below -8 the lower tail is computed directly, down to 0 below -37.
/// Example:
///     println(probn(<-1.96, 0, 1.644854>));

/// quann(p)
/// The standard normal quantile: the x with P(X <= x) = p, element by element (algorithm AS 241, to about 16
/// digits); p outside (0, 1) gives -inf, +inf or a missing value.
/// Example:
///     println(quann(<0.025, 0.5, 0.95>));

/// tailn(x)
/// The upper tail of the standard normal distribution, P(X > x) = 1 - probn(x), computed directly so that it
/// keeps its accuracy far in the tail (0 beyond 37).
/// Example:
///     println(tailn(<1.96, 5, 10>));

/// denschi(x, df)
/// The density of the chi-squared distribution with df degrees of freedom (df > 0, not necessarily whole),
/// element by element over x and df: 0 for x < 0, and a missing value for df not positive.
/// Example:
///     println(denschi(<0.5, 1, 4>, 3));

/// quanchi(p, df)
/// The quantile of the chi-squared distribution with df degrees of freedom, element by element: the x with
/// P(X <= x) = p.
/// Example:
///     println(quanchi(<0.05, 0.95>, 3));

/// tailchi(x, df)
/// The upper tail P(X > x) of the chi-squared distribution with df degrees of freedom (the p-value of a
/// chi-squared statistic), element by element, from the upper incomplete gamma function.
/// Example:
///     println(tailchi(<3.84146, 10>, <1, 3>));

/// densf(x, df1, df2)
/// The density of the F distribution with df1 and df2 degrees of freedom (both positive), element by element
/// (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(densf(<0.5, 1, 2>, 4, 10));

/// quanf(p, df1, df2)
/// The quantile of the F distribution with df1 and df2 degrees of freedom, element by element (the parameters
/// are scalars, or all of them matrices of the size of p).
/// Example:
///     println(quanf(<0.5, 0.95>, 4, 10));

/// tailf(x, df1, df2)
/// The upper tail P(X > x) of the F distribution with df1 and df2 degrees of freedom (the p-value of an F
/// statistic), element by element (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(tailf(<1, 3.47805>, 4, 10));

/// denst(x, df)
/// The density of the Student t distribution with df degrees of freedom (df > 0, not necessarily whole),
/// element by element.
/// Example:
///     println(denst(<0, 1, 2>, 5));

/// quant(p, df)
/// The quantile of the Student t distribution with df degrees of freedom (any positive df), element by
/// element.
/// Example:
///     println(quant(<0.025, 0.975>, 10), " ", quant(0.975, 2.5));

/// tailt(x, df)
/// The upper tail P(T > x) of the Student t distribution with df degrees of freedom (any positive df; 0 for a
/// whole df below 1), element by element; each tail is computed on its own side, so small p-values keep their
/// accuracy. The two-sided p-value of t is 2 tailt(|t|, df).
/// Example:
///     println(tailt(<1, 2.228139, 10>, 10), " ", tailt(1, 1));

/// erf(x)
/// The error function 2/sqrt(pi) times the integral of exp(-t^2) from 0 to x, element by element, computed as
/// 2 probn(x sqrt(2)) - 1.
/// Family: Gamma, beta and error functions
/// Example:
///     println(erf(<0, 0.5, 1, -2>));

/// loggamma(x)
/// The logarithm of the absolute value of the gamma function, element by element, for every x: log |G(x)|
/// below zero too, and +inf at 0 and the negative integers.
/// Family: Gamma, beta and error functions
/// Example:
///     println(loggamma(<0.5, 3, 10, 100, -0.5>));

/// gammafact(x)
/// The gamma function G(x), element by element (G(n+1) = n!); +inf or a missing value at the poles.
/// Family: Gamma, beta and error functions
/// Example:
///     println(gammafact(<0.5, 1, 5, 10.5, -1.5>));

/// factorial(n)
/// n! for a whole n >= 0, element by element, as a double (+inf above 170); n negative or not whole gives a
/// missing value.
/// Family: Gamma, beta and error functions
/// Example:
///     println(factorial(<0, 1, 5, 20>));

/// gammafunc(x, r)
/// The regularised lower incomplete gamma function P(r, x): the integral of t^(r-1) exp(-t) from 0 to x,
/// divided by G(r); element by element, r > 0 and x >= 0. It is the distribution function of a gamma variable
/// of shape r and rate 1.
/// Family: Gamma, beta and error functions
/// Example:
///     println(gammafunc(<0.5, 1, 3>, 2));

/// betafunc(x, a, b)
/// The regularised incomplete beta function I_x(a, b): the integral of t^(a-1) (1-t)^(b-1) from 0 to x,
/// divided by the complete beta function B(a, b); element by element (the parameters are scalars, or all of
/// them matrices of the size of x) (the parameters are scalars, or all of them matrices of the size of x), 0
/// <= x <= 1, a and b positive. It is the distribution function of a beta(a, b) variable.
/// Family: Gamma, beta and error functions
/// Example:
///     println(betafunc(<0.2, 0.5, 0.9>, 2, 3));

/// binomial(n, k)
/// The binomial coefficient n over k (n!/(k!(n-k)!)) for whole n and k, element by element, as a double; 0
/// when k is above n. A negative n or k, or arguments that are not whole, give a missing value.
/// Family: Gamma, beta and error functions
/// Example:
///     println(binomial(<5, 10, 50>, <2, 5, 25>));

/// densbeta(x, a, b)
/// The density of the beta distribution with parameters a and b (both positive), element by element (the
/// parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(densbeta(<0.2, 0.5, 0.9>, 2, 3));

/// probbeta(x, a, b)
/// The distribution function of the beta distribution with parameters a and b, element by element (the
/// parameters are scalars, or all of them matrices of the size of x) (the regularised incomplete beta
/// function).
/// Example:
///     println(probbeta(<0.2, 0.5, 0.9>, 2, 3));

/// quanbeta(p, a, b)
/// The quantile of the beta distribution with parameters a and b, element by element (the parameters are
/// scalars, or all of them matrices of the size of p).
/// Example:
///     println(quanbeta(<0.1, 0.5, 0.9>, 2, 3));

/// densbinomial(x, n, p)
/// The probability P(X = x) of the binomial distribution of n trials of probability p (0 for x not a whole
/// number in 0 to n), element by element (the parameters are scalars, or all of them matrices of the size of
/// x); n not whole gives a missing value.
/// Example:
///     println(densbinomial(<0, 3, 10>, 10, 0.3));

/// probbinomial(x, n, p)
/// The distribution function P(X <= x) of the binomial distribution of n trials of probability p, element by
/// element (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(probbinomial(<0, 3, 10>, 10, 0.3));

/// quanbinomial(p, n, prob)
/// The quantile of the binomial distribution of n trials of probability prob: the smallest whole x with P(X
/// <= x) >= p, element by element (the parameters are scalars, or all of them matrices of the size of p).
/// Example:
///     println(quanbinomial(<0.1, 0.5, 0.99>, 10, 0.3));

/// denscauchy(x)
/// The density of the standard Cauchy distribution, 1/(pi (1 + x^2)), element by element.
/// Example:
///     println(denscauchy(<0, 1, 10>));

/// probcauchy(x)
/// The distribution function of the standard Cauchy distribution, 1/2 + atan(x)/pi, element by element.
/// Example:
///     println(probcauchy(<-1, 0, 10>));

/// quancauchy(p)
/// The quantile of the standard Cauchy distribution, tan(pi (p - 1/2)), element by element.
/// Example:
///     println(quancauchy(<0.25, 0.5, 0.975>));

/// densexp(x, lambda)
/// The density lambda exp(-lambda x) of the exponential distribution with rate lambda (0 for x < 0), element
/// by element.
/// Example:
///     println(densexp(<-1, 0, 1>, 2));

/// probexp(x, lambda)
/// The distribution function 1 - exp(-lambda x) of the exponential distribution with rate lambda (0 for x <=
/// 0), element by element.
/// Example:
///     println(probexp(<-1, 0.5, 1>, 2));

/// quanexp(p, lambda)
/// The quantile -log(1-p)/lambda of the exponential distribution with rate lambda, element by element.
/// Example:
///     println(quanexp(<0.5, 0.9>, 2));

/// densextremevalue(x, alpha, beta)
/// The density of the extreme value (Gumbel) distribution of location alpha and scale beta > 0, whose
/// distribution function is exp(-exp(-(x-alpha)/beta)), element by element (the parameters are scalars, or
/// all of them matrices of the size of x).
/// Example:
///     println(densextremevalue(<0, 1, 3>, 1, 2));

/// probextremevalue(x, alpha, beta)
/// The distribution function exp(-exp(-(x-alpha)/beta)) of the extreme value (Gumbel) distribution of
/// location alpha and scale beta, element by element (the parameters are scalars, or all of them matrices of
/// the size of x).
/// Example:
///     println(probextremevalue(<0, 1, 3>, 1, 2));

/// quanextremevalue(p, alpha, beta)
/// The quantile alpha - beta log(-log p) of the extreme value (Gumbel) distribution of location alpha and
/// scale beta, element by element (the parameters are scalars, or all of them matrices of the size of p).
/// Example:
///     println(quanextremevalue(<0.1, 0.5, 0.9>, 1, 2));

/// densgamma(x, r, a)
/// The density a^r x^(r-1) exp(-a x)/G(r) of the gamma distribution with shape r and rate a (mean r/a),
/// element by element (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(densgamma(<0.5, 1, 2>, 2, 4));

/// probgamma(x, r, a)
/// The distribution function of the gamma distribution with shape r and rate a (mean r/a), element by element
/// (the parameters are scalars, or all of them matrices of the size of x): `gammafunc(a x, r)`.
/// Example:
///     println(probgamma(<0.5, 1, 2>, 2, 4));

/// quangamma(p, r, a)
/// The quantile of the gamma distribution with shape r and rate a, element by element (the parameters are
/// scalars, or all of them matrices of the size of p).
/// Example:
///     println(quangamma(<0.1, 0.5, 0.9>, 2, 4));

/// densgeometric(x, p)
/// The probability p (1-p)^x of x failures before the first success in trials of probability p (x = 0, 1,
/// ...), element by element.
/// Example:
///     println(densgeometric(<0, 1, 5>, 0.25));

/// probgeometric(x, p)
/// The distribution function 1 - (1-p)^(x+1) of the geometric distribution (failures before the first
/// success, probability p), element by element.
/// Example:
///     println(probgeometric(<0, 1, 5>, 0.25));

/// quangeometric(p, prob)
/// The quantile of the geometric distribution (failures before the first success of probability prob): the
/// smallest whole x with P(X <= x) >= p, element by element.
/// Example:
///     println(quangeometric(<0.1, 0.5, 0.9>, 0.25));

/// densgig(x, lambda, chi, psi)
/// The density of the generalised inverse Gaussian distribution, proportional to x^(lambda-1) exp(-(chi/x +
/// psi x)/2) for x > 0 (chi and psi non-negative, not both 0), element by element (the parameters are
/// scalars, or all of them matrices of the size of x).
/// Example:
///     println(densgig(<0.5, 1, 2>, 1, 1, 1));

/// denshypergeometric(x, N, k, n)
/// The probability of x successes in n draws without replacement from N items of which k are successes,
/// element by element (the parameters are scalars, or all of them matrices of the size of x); arguments that
/// are not whole numbers give a missing value.
/// Example:
///     println(denshypergeometric(<0, 2, 5>, 20, 5, 10));

/// probhypergeometric(x, N, k, n)
/// The distribution function P(X <= x) of the hypergeometric distribution (n draws from N items of which k
/// are successes), element by element (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(probhypergeometric(<0, 2, 5>, 20, 5, 10));

/// quanhypergeometric(p, N, k, n)
/// The quantile of the hypergeometric distribution (n draws from N items of which k are successes): the
/// smallest x with P(X <= x) >= p, element by element (the parameters are scalars, or all of them matrices of
/// the size of x).
/// Example:
///     println(quanhypergeometric(<0.1, 0.5, 0.9>, 20, 5, 10));

/// densinvgaussian(x, mu, lambda)
/// The density of the inverse Gaussian distribution with mean mu and shape lambda (both positive), element by
/// element (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(densinvgaussian(<0.5, 1, 3>, 2, 3));

/// probinvgaussian(x, mu, lambda)
/// The distribution function of the inverse Gaussian distribution with mean mu and shape lambda, element by
/// element (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(probinvgaussian(<0.5, 1, 3>, 2, 3));

/// quaninvgaussian(p, mu, lambda)
/// The quantile of the inverse Gaussian distribution with mean mu and shape lambda, element by element (the
/// parameters are scalars, or all of them matrices of the size of p).
/// Example:
///     println(quaninvgaussian(<0.1, 0.5, 0.9>, 2, 3));

/// denslogarithmic(x, a)
/// The probability -a^x/(x log(1-a)) of the logarithmic distribution with parameter a in (0, 1), for x = 1,
/// 2, ... (0 elsewhere), element by element.
/// Example:
///     println(denslogarithmic(<1, 2, 5>, 0.5));

/// problogarithmic(x, a)
/// The distribution function P(X <= x) of the logarithmic distribution with parameter a, element by element.
/// Example:
///     println(problogarithmic(<1, 2, 5>, 0.5));

/// quanlogarithmic(p, a)
/// The quantile of the logarithmic distribution with parameter a: the smallest x with P(X <= x) >= p, element
/// by element.
/// Example:
///     println(quanlogarithmic(<0.5, 0.9, 0.99>, 0.5));

/// denslogistic(x, alpha, beta)
/// The density of the logistic distribution with location alpha and scale beta > 0, element by element (the
/// parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(denslogistic(<0, 1, 3>, 1, 2));

/// problogistic(x, alpha, beta)
/// The distribution function 1/(1 + exp(-(x-alpha)/beta)) of the logistic distribution with location alpha
/// and scale beta, element by element (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(problogistic(<0, 1, 3>, 1, 2));

/// quanlogistic(p, alpha, beta)
/// The quantile alpha + beta log(p/(1-p)) of the logistic distribution, element by element (the parameters
/// are scalars, or all of them matrices of the size of p).
/// Example:
///     println(quanlogistic(<0.1, 0.5, 0.9>, 1, 2));

/// denslogn(x)
/// The density of the standard log-normal distribution (log x standard normal), element by element; 0 for x
/// <= 0.
/// Example:
///     println(denslogn(<0.5, 1, 2>));

/// problogn(x)
/// The distribution function probn(log x) of the standard log-normal distribution, element by element.
/// Example:
///     println(problogn(<0.5, 1, 2>));

/// quanlogn(p)
/// The quantile exp(quann(p)) of the standard log-normal distribution, element by element.
/// Example:
///     println(quanlogn(<0.1, 0.5, 0.9>));

/// densmises(x, mu, kappa)
/// The density exp(kappa cos(x-mu))/(2 pi I0(kappa)) of the von Mises distribution with mean mu and
/// concentration kappa, on (mu-pi, mu+pi] (0 outside), element by element (the parameters are scalars, or all
/// of them matrices of the size of x).
/// Example:
///     println(densmises(<0, 1, 3>, 0, 2));

/// probmises(x, mu, kappa)
/// The distribution function of the von Mises distribution with mean mu and concentration kappa, on (mu-pi,
/// mu+pi], element by element (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(probmises(<-1, 0, 1>, 0, 2));

/// quanmises(p, mu, kappa)
/// The quantile of the von Mises distribution with mean mu and concentration kappa, element by element (the
/// parameters are scalars, or all of them matrices of the size of p).
/// Example:
///     println(quanmises(<0.1, 0.25, 0.9>, 0, 2));

/// densnegbin(x, n, p)
/// The probability of x failures before the n-th success in trials of probability p, element by element (the
/// parameters are scalars, or all of them matrices of the size of x); n not whole gives a missing value.
/// Example:
///     println(densnegbin(<0, 3, 6>, 3, 0.5));

/// probnegbin(x, n, p)
/// The distribution function of the negative binomial distribution (failures before the n-th success of
/// probability p), element by element (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(probnegbin(<0, 3, 6>, 3, 0.5));

/// quannegbin(p, n, prob)
/// The quantile of the negative binomial distribution (failures before the n-th success of probability prob):
/// the smallest x with P(X <= x) >= p, element by element (the parameters are scalars, or all of them
/// matrices of the size of p).
/// Example:
///     println(quannegbin(<0.1, 0.5, 0.9>, 3, 0.5));

/// denspareto(x, k, a)
/// The density a k^a / x^(a+1) of the Pareto distribution with scale k and shape a, for x >= k (0 below),
/// element by element (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(denspareto(<0.5, 1, 2>, 1, 3));

/// probpareto(x, k, a)
/// The distribution function 1 - (k/x)^a of the Pareto distribution with scale k and shape a, for x >= k (0
/// below), element by element (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(probpareto(<0.5, 1, 2>, 1, 3));

/// quanpareto(p, k, a)
/// The quantile k (1-p)^(-1/a) of the Pareto distribution with scale k and shape a, element by element (the
/// parameters are scalars, or all of them matrices of the size of p).
/// Example:
///     println(quanpareto(<0.1, 0.5, 0.9>, 1, 3));

/// denspoisson(x, mu)
/// The probability exp(-mu) mu^x/x! of the Poisson distribution with mean mu (0 for x not a whole number >=
/// 0), element by element.
/// Example:
///     println(denspoisson(<0, 4, 10>, 4));

/// probpoisson(x, mu)
/// The distribution function P(X <= x) of the Poisson distribution with mean mu, element by element.
/// Example:
///     println(probpoisson(<0, 4, 10>, 4));

/// quanpoisson(p, mu)
/// The quantile of the Poisson distribution with mean mu: the smallest whole x with P(X <= x) >= p, element
/// by element.
/// Example:
///     println(quanpoisson(<0.1, 0.5, 0.99>, 4));

/// densweibull(x, a, b)
/// The density of the Weibull distribution with shape a and scale b, whose distribution function is 1 -
/// exp(-(x/b)^a) for x >= 0, element by element (the parameters are scalars, or all of them matrices of the
/// size of x).
/// Example:
///     println(densweibull(<0.5, 1, 2>, 2, 1));

/// probweibull(x, a, b)
/// The distribution function 1 - exp(-(x/b)^a) of the Weibull distribution with shape a and scale b, element
/// by element (the parameters are scalars, or all of them matrices of the size of x).
/// Example:
///     println(probweibull(<0.5, 1, 2>, 2, 1));

/// quanweibull(p, a, b)
/// The quantile b (-log(1-p))^(1/a) of the Weibull distribution with shape a and scale b, element by element
/// (the parameters are scalars, or all of them matrices of the size of p).
/// Example:
///     println(quanweibull(<0.1, 0.5, 0.9>, 2, 1));

/// probbvn(x1, x2, rho)
/// The bivariate standard normal distribution function P(X1 <= x1, X2 <= x2) for correlation rho (-1 <= rho
/// <= 1), element by element (the parameters are scalars, or all of them matrices of the size of x1).
/// Example:
///     println(probbvn(0, 0, 0.5), " ", probbvn(<0, 1, -1>, <0, 1, 2>, <0.5, 0.5, -0.5>));

#define ZU_NUMLIB_ONE(name, f) \
    void name(ZuVALUE* rtn, ZuVALUE* pv, int) { One<f>(rtn, pv); }
#define ZU_NUMLIB_TWO(name, f) \
    void name(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuFnDouble2(rtn, pv, f); }
#define ZU_NUMLIB_THREE(name, f) \
    void name(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuFnDouble3(rtn, pv, f); }
#define ZU_NUMLIB_FOUR(name, f) \
    void name(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuFnDouble4(rtn, pv, f); }
#include "numerics/library_prob.def"
#undef ZU_NUMLIB_ONE
#undef ZU_NUMLIB_TWO
#undef ZU_NUMLIB_THREE
#undef ZU_NUMLIB_FOUR

/// polygamma(x, n)
/// The n-th derivative of the digamma function (the logarithmic derivative of G): n = 0 the digamma function,
/// 1 the trigamma and so on, element by element over x; n an int.
/// Family: Gamma, beta and error functions
/// Example:
///     println(polygamma(<1, 2, 0.5>, 0));
///     println(polygamma(<1, 2, 0.5>, 1));
void FnPolygamma(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuFnDoubleInt(rtn, pv, DPolyGamma); }

/// probchi(x, df [, nc])
/// The distribution function P(X <= x) of the chi-squared distribution with df degrees of freedom (any
/// positive df), or of the noncentral chi-squared with noncentrality nc (the sum of the squared means),
/// element by element.
/// Example:
///     println(probchi(<1, 3.84146, 10>, 1));
///     println(probchi(<1, 5, 10>, 3, 2));
void FnProbchi(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    Optional(
        rtn, pv, cArg, 2, [](ZuVALUE* r, ZuVALUE* p) { ZuFnDouble2(r, p, DProbChi); },
        [](ZuVALUE* r, ZuVALUE* p) { ZuFnDouble3(r, p, DProbChiNc); });
}

/// probf(x, df1, df2 [, nc])
/// The distribution function P(X <= x) of the F distribution with df1 and df2 degrees of freedom, or of the
/// noncentral F with noncentrality nc, element by element.
/// Example:
///     println(probf(<1, 3.47805>, 4, 10));
///     println(probf(<1, 3>, 4, 10, 2));
void FnProbf(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    Optional(
        rtn, pv, cArg, 3, [](ZuVALUE* r, ZuVALUE* p) { ZuFnDouble3(r, p, DProbF); },
        [](ZuVALUE* r, ZuVALUE* p) { ZuFnDouble4(r, p, DProbFNc); });
}

/// probt(x, df [, nc])
/// The distribution function P(T <= x) of the Student t distribution with df degrees of freedom (any positive
/// df), or of the noncentral t with noncentrality nc, element by element.
/// Example:
///     println(probt(<-2.228139, 0, 1>, 10), " ", probt(1, 2.5));
///     println(probt(<0, 1, 3>, 10, 1));
void FnProbt(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    Optional(
        rtn, pv, cArg, 2, [](ZuVALUE* r, ZuVALUE* p) { ZuFnDouble2(r, p, ProbT); },
        [](ZuVALUE* r, ZuVALUE* p) { ZuFnDouble3(r, p, DProbTNc); });
}

/// densgh(x, alpha, beta, delta, lambda)
/// The density of the generalised hyperbolic distribution (location 0) with tail parameter alpha, skewness
/// beta (|beta| < alpha), scale delta > 0 and index lambda, element by element over x (the four parameters
/// are scalars). Parameters outside the domain give missing values.
/// Example:
///     println(densgh(<-1, 0, 1>, 2, 0.5, 1, 1));
void FnDensgh(ZuVALUE* rtn, ZuVALUE* pv, int) {
    double a[4];
    for (int k = 0; k < 4; ++k)
        if (!library::DoubleArg(pv, k + 1, &a[k])) return;
    if (value::IsMatrix(&pv[0])) {
        const int r = value::Rows(&pv[0]), c = value::Columns(&pv[0]);
        if (!library::ResultMatrix(rtn, r, c)) return;
        for (int i = 0; i < r; ++i)
            for (int j = 0; j < c; ++j)
                value::MatrixData(rtn)[i][j] = DDensGH(value::MatrixData(&pv[0])[i][j], a[0], a[1], a[2], a[3]);
        return;
    }
    double x = 0;
    if (library::DoubleArg(pv, 0, &x)) ZuValSetDouble(rtn, DDensGH(x, a[0], a[1], a[2], a[3]));
}

/// probmvn(x, sigma)
/// The multivariate normal distribution function P(X <= x) for X normal with mean 0 and the n by n covariance
/// sigma (n at most 100), for each column of the n by m matrix x; the result is a 1 by m row. Exact up to two
/// dimensions; above, a lattice rule accurate to about 1e-6. sigma larger than 100 by 100 is an argument
/// error.
/// Example:
///     decl sigma = <1,0.5,0.5;0.5,1,0.5;0.5,0.5,1>;
///     println(probmvn(<0,1;0,1;0,1>, sigma));
///     println(probmvn(<0;0>, <1,0.5;0.5,1>), " ", probbvn(0, 0, 0.5));
void FnProbmvn(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (!library::SquareArg(pv, 1) || !library::MatrixArg(pv, 0)) return;
    const int n = value::Rows(&pv[1]);
    if (n < 1 || n > 100) {
        ZuLibArgError(1);
        return;
    }
    if (value::Rows(&pv[0]) != n) {
        ZuLibCheckMatrixSize(pv, 0, 0, n, value::Columns(&pv[0]));
        return;
    }
    const int m = value::Columns(&pv[0]);
    double x[100];
    if (!library::ResultMatrix(rtn, 1, m)) return;
    for (int j = 0; j < m; ++j) {
        for (int i = 0; i < n; ++i) x[i] = value::MatrixData(&pv[0])[i][j];
        value::MatrixData(rtn)[0][j] = DProbMVN(x, value::MatrixData(&pv[1]), n);
    }
}

}  // namespace zu::numerics
