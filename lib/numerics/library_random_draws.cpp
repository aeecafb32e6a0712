// The random draws of the probability library.  Most take the shape of
// the result (r, c) and then scalar parameters; a draw outside its
// distribution's domain is a missing value.  Every draw comes from the
// current uniform generator and the polar normal.
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

void FnRanbeta(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanBeta(p[0], p[1]); });
}

void FnRanbinomial(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) {
        bool ok = false;
        const int n = IntParameter(p[0], &ok);
        return ok ? Counted(IRanBinomial(n, p[1])) : NaN();
    });
}

void FnRancauchy(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<0>(rtn, pv, [](const double*) { return DRanCauchy(); });
}

void FnRanchi(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return DRanChi(p[0]); });
}

void FnRanexp(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return DRanExp(p[0]); });
}

// Location alpha and scale beta > 0 around the standard draw.
void FnRanextremevalue(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return p[1] > 0 ? p[0] + p[1] * DRanExtremeValue() : NaN(); });
}

void FnRanf(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanF(p[0], p[1]); });
}

void FnRangamma(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanGamma(p[0], p[1]); });
}

void FnRangeometric(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return Counted(IRanGeometric(p[0])); });
}

void FnRangh(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<4>(rtn, pv, [](const double* p) { return DRanGH(p[0], p[1], p[2], p[3]); });
}

void FnRangig(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<3>(rtn, pv, [](const double* p) { return DRanGIG(p[0], p[1], p[2]); });
}

void FnRanhypergeometric(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<3>(rtn, pv, [](const double* p) {
        bool a = false, b = false, c = false;
        const int N = IntParameter(p[0], &a), k = IntParameter(p[1], &b), n = IntParameter(p[2], &c);
        return a && b && c ? DRanHypergeometric(N, k, n) : NaN();
    });
}

void FnRaninvgaussian(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanInvGaussian(p[0], p[1]); });
}

void FnRanlogarithmic(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return Counted(IRanLogarithmic(p[0])); });
}

void FnRanlogistic(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<0>(rtn, pv, [](const double*) { return DRanLogistic(); });
}

void FnRanlogn(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<0>(rtn, pv, [](const double*) { return DRanLogNormal(); });
}

// Von Mises draws around 0 with concentration kappa.
void FnRanmises(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return DRanMises(0, p[0]); });
}

void FnRannegbin(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) {
        bool ok = false;
        const int n = IntParameter(p[0], &ok);
        return ok ? Counted(IRanNegBin(n, p[1])) : NaN();
    });
}

void FnRanpareto(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanPareto(p[0], p[1]); });
}

void FnRanpoisson(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return Counted(IRanPoisson(p[0])); });
}

void FnRanstable(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanStable(p[0], p[1]); });
}

void FnRant(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<1>(rtn, pv, [](const double* p) { return DRanStudentT(p[0]); });
}

void FnRanweibull(ZuVALUE* rtn, ZuVALUE* pv, int) {
    Draws<2>(rtn, pv, [](const double* p) { return DRanWeibull(p[0], p[1]); });
}

// ranbrownianmotion(r, c): c standard Brownian paths by columns, observed
// at the times 1 to r.
void FnRanbrownianmotion(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_INT, pv, 0, 1) == 0) return;
    Paths(rtn, IntOf(&pv[0]), IntOf(&pv[1]), [](double* x, int n) { return RanBrownianMotion(x, n, 1); });
}

// ranpoissonprocess(r, c, mu): c paths by columns of a Poisson process of
// rate mu, the counts at the times 1 to r.
void FnRanpoissonprocess(ZuVALUE* rtn, ZuVALUE* pv, int) {
    double mu = 0;
    if (ZuLibCheckType(ZU_INT, pv, 0, 1) == 0 || !library::DoubleArg(pv, 2, &mu)) return;
    Paths(rtn, IntOf(&pv[0]), IntOf(&pv[1]), [mu](double* x, int n) { return RanPoissonProcess(x, n, mu); });
}

// randirichlet(r, alpha): r draws by rows from the Dirichlet distribution
// with the parameters of the vector alpha.
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

// ranmultinomial(n, p): the counts of n trials over the outcomes of the
// probabilities p (a vector), as a row.
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

// ransubsample(k, n): k indices out of 0 to n - 1 without replacement, in
// increasing order, as a column.
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

// ranuorder(n): the order statistics of n uniform draws, as a row.
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

// ranwishart(df, sigma): one Wishart draw with df degrees of freedom and
// the positive definite scale sigma.
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
