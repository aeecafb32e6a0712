// The element-wise probability functions: densities, distribution
// functions, tails and quantiles, and the special functions.  Each applies
// its scalar routine to every element through the element-wise wrappers;
// a parameter that must be an integer and is not gives a missing value.
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

void FnPolygamma(ZuVALUE* rtn, ZuVALUE* pv, int) { ZuFnDoubleInt(rtn, pv, DPolyGamma); }

void FnProbchi(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    Optional(
        rtn, pv, cArg, 2, [](ZuVALUE* r, ZuVALUE* p) { ZuFnDouble2(r, p, DProbChi); },
        [](ZuVALUE* r, ZuVALUE* p) { ZuFnDouble3(r, p, DProbChiNc); });
}

void FnProbf(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    Optional(
        rtn, pv, cArg, 3, [](ZuVALUE* r, ZuVALUE* p) { ZuFnDouble3(r, p, DProbF); },
        [](ZuVALUE* r, ZuVALUE* p) { ZuFnDouble4(r, p, DProbFNc); });
}

void FnProbt(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    Optional(
        rtn, pv, cArg, 2, [](ZuVALUE* r, ZuVALUE* p) { ZuFnDouble2(r, p, ProbT); },
        [](ZuVALUE* r, ZuVALUE* p) { ZuFnDouble3(r, p, DProbTNc); });
}

// densgh(x, alpha, beta, delta, lambda): element by element over x, the
// four parameters scalars.
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

// probmvn(x, sigma): P(X <= x) for X normal with mean 0 and covariance
// sigma (n by n, n at most 100), for each column of the n by m matrix x;
// the result is a 1 by m row.
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
