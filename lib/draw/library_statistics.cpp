// The drawing functions that plot statistics of a data series:
// autocorrelations, spectrum, densities and histograms, quantile plots and
// box plots.  The numbers come from the library's own routines (acf,
// pacf, periodogram, quantilec, the kernel density and the distribution
// functions), so a plot shows what a program can print.
/// @family Graphics

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "draw/library.h"
#include "draw/render_scale.h"
#include "numerics/kernel_density.h"
#include "stdlib/routines.h"

namespace zu::draw::library {
namespace {

// Value records that free what they hold: the arguments and result of a
// library routine called from here.
template <int N>
struct ValueArray {
    ZuVALUE v[N]{};
    ValueArray() {
        for (ZuVALUE& e : v) ZuLibValZero(&e);
    }
    ValueArray(const ValueArray&) = delete;
    ValueArray& operator=(const ValueArray&) = delete;
    ~ValueArray() {
        for (ZuVALUE& e : v) ZuFreeValue(&e);
    }
};

// Calls a library routine on a column of data and optional int and
// double arguments; the result matrix is copied out column 0 (empty when
// the routine gave none).
std::vector<double> CallOnColumn(ZuLIBFUNC routine, const std::vector<double>& data, std::vector<double> extra,
                                 bool extraAsInt) {
    ValueArray<4> args;
    const int n = static_cast<int>(data.size());
    ZuLibValMatMalloc(&args.v[0], n, 1);
    double** m = ZuValGetMat(&args.v[0]);
    for (int i = 0; i < n; ++i) m[i][0] = data[static_cast<std::size_t>(i)];
    int count = 1;
    for (const double e : extra) {
        if (count >= 4) break;
        if (extraAsInt)
            ZuValSetInt(&args.v[count], static_cast<int>(e));
        else
            ZuValSetDouble(&args.v[count], e);
        ++count;
    }
    ValueArray<1> result;
    routine(&result.v[0], args.v, count);
    std::vector<double> out;
    if (ZuValType(&result.v[0]) == ZU_MATRIX) {
        double** r = ZuValGetMat(&result.v[0]);
        for (int i = 0; i < ZuValGetMatr(&result.v[0]); ++i) out.push_back(r[i][0]);
    }
    return out;
}

// The finite values of the data, in order.
std::vector<double> Finite(const std::vector<double>& data) {
    std::vector<double> out;
    out.reserve(data.size());
    for (const double v : data)
        if (std::isfinite(v)) out.push_back(v);
    return out;
}

void MeanSd(const std::vector<double>& x, double* mean, double* sd) {
    double sum = 0;
    for (const double v : x) sum += v;
    *mean = x.empty() ? 0 : sum / static_cast<double>(x.size());
    double ss = 0;
    for (const double v : x) ss += (v - *mean) * (v - *mean);
    *sd = x.size() > 1 ? std::sqrt(ss / static_cast<double>(x.size() - 1)) : 0;
}

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", v);
    return text;
}

bool DataArgs(ZuVALUE* pv, int cArg, int* area, std::vector<double>* data, std::string* label) {
    return AreaArg(pv, 0, area) && VectorArg(pv, 1, data) && StringOr(pv, cArg, 2, label);
}

// Autocorrelations (bars) and partial autocorrelations (lines) at lags
// 1..lags, with the band +/- 2 / sqrt(T).
void Correlogram(int area, const std::vector<double>& raw, const std::string& label, int lags, bool acf, bool pacf,
                 bool band, int colour, bool bars) {
    const std::vector<double> data = Finite(raw);
    const int t = static_cast<int>(data.size());
    Drawing* d = Current();
    if (d == nullptr || t < 2) return;
    lags = std::clamp(lags, 1, t - 1);
    if (acf) {
        const std::vector<double> r = CallOnColumn(stdlib::FnAcf, data, {static_cast<double>(lags)}, true);
        if (r.size() < 2) return;
        const std::string name = "ACF" + std::string(label.empty() ? "" : "-") + label;
        const int pos =
            IDrawVector(d, area, r.data() + 1, static_cast<int>(r.size()) - 1, name.c_str(), 1, 1, colour, true);
        if (!Built(pos)) return;
        SetDrawVecIndex(d, pos, bars ? 2 : 1, 0);
    }
    if (pacf) {
        const std::vector<double> p = CallOnColumn(stdlib::FnPacf, data, {static_cast<double>(lags)}, true);
        const std::string name = "PACF" + std::string(label.empty() ? "" : "-") + label;
        // Beside the bars of the autocorrelations when both are drawn.
        const double first = acf && bars ? 1.4 : 1;
        const int pos =
            IDrawVector(d, area, p.data(), static_cast<int>(p.size()), name.c_str(), first, 1, colour + 1, true);
        if (!Built(pos)) return;
        SetDrawVecIndex(d, pos, 1, 0);
    }
    if (band) {
        const double b = 2 / std::sqrt(static_cast<double>(t));
        for (const double y : {b, -b}) {
            const int pos = IDrawLine(d, area, 0.5, y, 0, lags + 0.5, y, 0, 14);
            if (!Built(pos)) return;
            SetDrawColour(d, pos, 14, 5);
        }
    }
    SetDrawVecMinMax(d, -1, -0.2, 0.2);
    DrawObject* settings = AreaSettings(d, area, false);
    if (settings != nullptr && !settings->areaSet.hasX) {
        settings->areaSet.hasX = true;
        settings->areaSet.xmin = 0;
        settings->areaSet.xmax = lags + 1;
    }
}

// Histogram bins: nice breaks over the data, about sqrt(n) of them
// (between 5 and 50) unless a count is given.
void Bins(const std::vector<double>& x, int wanted, double* start, double* step, std::vector<double>* counts) {
    const auto [lo, hi] = std::minmax_element(x.begin(), x.end());
    int bins = wanted > 0 ? wanted : static_cast<int>(std::lround(std::sqrt(static_cast<double>(x.size()))));
    bins = std::clamp(bins, wanted > 0 ? 1 : 5, wanted > 0 ? 10000 : 50);
    double width = *hi > *lo ? (*hi - *lo) / bins : 1;
    if (wanted <= 0) width = NiceStep(width);
    if (!(width > 0) || !std::isfinite(width)) width = 1;
    *step = width;
    *start = wanted > 0 ? *lo : std::floor(*lo / width) * width;
    // The largest value closes the last bin rather than opening another.
    const int n = std::max(1, static_cast<int>(std::ceil((*hi - *start) / width - 1e-9)));
    counts->assign(static_cast<std::size_t>(std::min(n, 100000)), 0.0);
    for (const double v : x) {
        const int k =
            std::clamp(static_cast<int>(std::floor((v - *start) / width)), 0, static_cast<int>(counts->size()) - 1);
        (*counts)[static_cast<std::size_t>(k)] += 1;
    }
}

// Points of a curve over lo..hi.
template <class F>
std::vector<double> Curve(double lo, double hi, int points, F&& f, std::vector<double>* xs) {
    std::vector<double> ys;
    xs->clear();
    for (int i = 0; i < points; ++i) {
        const double x = lo + (hi - lo) * i / (points - 1);
        xs->push_back(x);
        ys.push_back(f(x));
    }
    return ys;
}

enum QQDistribution { kQQNormal = 0, kQQT = 1, kQQChi = 2, kQQF = 3, kQQUniform = 4 };

double Quantile(int distribution, double p, double df1, double df2) {
    switch (distribution) {
    case kQQT: return DQuanTD(p, df1);
    case kQQChi: return DQuanChi(p, df1);
    case kQQF: return DQuanF(p, df1, df2);
    case kQQUniform: return p;
    default: return DQuanNormal(p);
    }
}

}  // namespace

/// DrawAcf(iArea, vY, sY, cLag [, fAcf, fPacf, fErrorBand, iIndex, fBar])
/// Draws the autocorrelations of the series vY (missing values left out) at lags 1 to cLag as bars (fBar, the
/// default) or lines, its partial autocorrelations as lines (fPacf), and the band of two standard errors, +/-
/// 2/sqrt(T) (fErrorBand, the default); sY names the series in the legend.
/// Example:
///     decl y = <1;3;2;4;3;5;4;6;5;7>;
///     DrawAcf(0, y, "y", 3, 1, 1);
///     SaveDrawWindow("acf.gwg");
///     decl f = fopen("acf.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("acf.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawAcf) {
    (void)rtn;
    int area = 0, lags = 0, acf = 1, pacf = 0, band = 1, colour = 2, bars = 1;
    std::vector<double> data;
    std::string label;
    if (!DataArgs(pv, cArg, &area, &data, &label) || !IntOr(pv, cArg, 3, 10, &lags) || !IntOr(pv, cArg, 4, 1, &acf) ||
        !IntOr(pv, cArg, 5, 0, &pacf) || !IntOr(pv, cArg, 6, 1, &band) || !IntOr(pv, cArg, 7, 2, &colour) ||
        !IntOr(pv, cArg, 8, 1, &bars))
        return;
    Correlogram(area, data, label, lags, acf != 0, pacf != 0, band != 0, colour, bars != 0);
}

/// DrawCorrelogram(iArea, vY, sY, cLag)
/// Draws the autocorrelations of the series vY at lags 1 to cLag as bars with the band +/- 2/sqrt(T).
/// Example:
///     DrawCorrelogram(0, <1;3;2;4;3;5;4;6;5;7>, "y", 3);
///     SaveDrawWindow("corr.gwg");
///     decl f = fopen("corr.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("corr.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawCorrelogram) {
    (void)rtn;
    int area = 0, lags = 0;
    std::vector<double> data;
    std::string label;
    if (!DataArgs(pv, cArg, &area, &data, &label) || !IntOr(pv, cArg, 3, 10, &lags)) return;
    Correlogram(area, data, label, lags, true, false, true, 2, true);
}

/// DrawSpectrum(iArea, vY, sY, iOrder)
/// Draws the estimated spectral density of the series vY over the frequencies 0 to pi, against frequency/pi:
/// the periodogram smoothed with the Parzen window truncated at lag iOrder, or the raw periodogram for iOrder
/// 0.
/// Example:
///     DrawSpectrum(0, <1;3;2;4;3;5;4;6>, "y", 2);   // 128 frequencies
///     SaveDrawWindow("spectrum.gwg");
///     decl f = fopen("spectrum.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("spectrum.gwg");
///     print(s[:240], "...\n");
ZU_DRAWLIB_ROUTINE(FnDrawSpectrum) {
    (void)rtn;
    int area = 0, order = 0;
    std::vector<double> raw;
    std::string label;
    if (!DataArgs(pv, cArg, &area, &raw, &label) || !IntOr(pv, cArg, 3, 0, &order)) return;
    const std::vector<double> data = Finite(raw);
    Drawing* d = Current();
    if (d == nullptr || data.size() < 2) return;
    const int t = static_cast<int>(data.size());
    const std::vector<double> f = order > 0 ? CallOnColumn(stdlib::FnPeriodogram, data,
                                                           {static_cast<double>(std::min(order, t - 1)), 128, 2}, true)
                                            : CallOnColumn(stdlib::FnPeriodogram, data, {}, true);
    if (f.size() < 2) return;
    const std::string name = "Spectral density" + std::string(label.empty() ? "" : " ") + label;
    Built(IDrawVector(d, area, f.data(), static_cast<int>(f.size()), name.c_str(), 0,
                      1.0 / static_cast<double>(f.size() - 1), 2, true));
}

/// DrawDensity(iArea, vY, sY [, fDens, fHist, fNormal, cBins, fCdf])
/// Draws the kernel estimate of the density of vY (fDens, the default), its histogram scaled to a density
/// (fHist), and the normal density with the mean and standard deviation of vY (fNormal), the histogram with
/// cBins bars (0 chooses about the square root of the count). With fCdf the empirical distribution function
/// (and the normal one) is drawn instead.
/// Example:
///     DrawDensity(0, <1;2;2;3;3;3;4;4;5>, "y", 0, 1, 0, 4);
///     SaveDrawWindow("density.gwg");
///     decl f = fopen("density.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("density.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawDensity) {
    (void)rtn;
    int area = 0, dens = 1, hist = 0, normal = 0, bins = 0, cdf = 0;
    std::vector<double> raw;
    std::string label;
    if (!DataArgs(pv, cArg, &area, &raw, &label) || !IntOr(pv, cArg, 3, 1, &dens) || !IntOr(pv, cArg, 4, 0, &hist) ||
        !IntOr(pv, cArg, 5, 0, &normal) || !IntOr(pv, cArg, 6, 0, &bins) || !IntOr(pv, cArg, 7, 0, &cdf))
        return;
    std::vector<double> x = Finite(raw);
    Drawing* d = Current();
    if (d == nullptr || x.empty()) return;
    double mean = 0, sd = 0;
    MeanSd(x, &mean, &sd);
    const std::string normalName = "N(" + Number(mean) + "," + Number(sd) + "^2)";
    if (cdf) {
        std::sort(x.begin(), x.end());
        std::vector<double> p(x.size());
        for (std::size_t i = 0; i < x.size(); ++i) p[i] = (i + 1.0) / static_cast<double>(x.size());
        const int pos = IDrawXVector(d, area, p.data(), static_cast<int>(p.size()), ("CDF " + label).c_str(), x.data(),
                                     label.c_str(), 2, true);
        if (!Built(pos) || !normal || !(sd > 0)) return;
        std::vector<double> xs;
        const std::vector<double> ys = Curve(
            x.front(), x.back(), 200, [&](double v) { return DProbNormal((v - mean) / sd); }, &xs);
        Built(IDrawXVector(d, area, ys.data(), 200, normalName.c_str(), xs.data(), "", 3, true));
        return;
    }
    double lo = *std::min_element(x.begin(), x.end()), hi = *std::max_element(x.begin(), x.end());
    if (hist) {
        double start = 0, step = 1;
        std::vector<double> counts;
        Bins(x, bins, &start, &step, &counts);
        for (double& c : counts) c /= static_cast<double>(x.size()) * step;
        if (!Built(IDrawHist(d, area, counts.data(), static_cast<int>(counts.size()), start, step, 2, true))) return;
        lo = std::min(lo, start);
        hi = std::max(hi, start + step * static_cast<double>(counts.size()));
    }
    if (dens) {
        std::vector<double> sorted(x.size());
        const double h = numerics::KernelBandwidth(x.data(), static_cast<int>(x.size()), sorted.data());
        std::vector<double> xs;
        const std::vector<double> ys = Curve(
            lo - (hist ? 0 : 3 * h), hi + (hist ? 0 : 3 * h), 256,
            [&](double v) { return numerics::DDensKernel(v, x.data(), static_cast<int>(x.size()), h); }, &xs);
        const std::string name = "Density" + std::string(label.empty() ? "" : " ") + label;
        if (!Built(IDrawXVector(d, area, ys.data(), 256, name.c_str(), xs.data(), label.c_str(), hist ? 1 : 2, true)))
            return;
    }
    if (normal && sd > 0) {
        std::vector<double> xs;
        const double a = std::min(lo, mean - 3 * sd), b = std::max(hi, mean + 3 * sd);
        const std::vector<double> ys = Curve(
            hist ? lo : a, hist ? hi : b, 256, [&](double v) { return DDensNormal((v - mean) / sd) / sd; }, &xs);
        Built(IDrawXVector(d, area, ys.data(), 256, normalName.c_str(), xs.data(), "", 3, true));
    }
}

/// DrawHistogram(iArea, vBar [, dMin, dStep, iIndex, iColour])
/// Draws bars of the heights vBar, the first from dMin (0 by default), each dStep wide (1 by default), filled
/// in colour iColour (2 by default) with the outline in colour iIndex (black by default).
/// Example:
///     DrawHistogram(0, <3,5,2>, 10, 5);
///     SaveDrawWindow("hist.gwg");
///     decl f = fopen("hist.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("hist.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawHistogram) {
    (void)rtn;
    int area = 0, outline = 1, colour = 2;
    double start = 0, step = 1;
    std::vector<double> bars;
    if (!AreaArg(pv, 0, &area) || !VectorArg(pv, 1, &bars) || !DoubleOr(pv, cArg, 2, 0, &start) ||
        !DoubleOr(pv, cArg, 3, 1, &step) || !IntOr(pv, cArg, 4, 1, &outline) || !IntOr(pv, cArg, 5, 2, &colour))
        return;
    Drawing* d = Current();
    if (d == nullptr) return;
    const int pos = IDrawHist(d, area, bars.data(), static_cast<int>(bars.size()), start, step, colour, true);
    if (Built(pos)) d->objects.back()->hist.outline = outline;
}

/// DrawQQ(iArea, vY, sY, iDens, df1, df2)
/// Draws the sorted values of vY against the quantiles of a distribution, with the 45-degree line: QQ_N the
/// standard normal (vY is standardised first), QQ_T Student t with df1 degrees of freedom, QQ_CHI chi-squared
/// with df1, QQ_F F with df1 and df2, QQ_U uniform on 0 to 1.
/// Example:
///     DrawQQ(0, <0.1;0.5;0.2;0.9>, "u", QQ_U, 0, 0);
///     SaveDrawWindow("qq.gwg");
///     decl f = fopen("qq.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("qq.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawQQ) {
    (void)rtn;
    int area = 0, distribution = 0;
    double df1 = 1, df2 = 1;
    std::vector<double> raw;
    std::string label;
    if (!DataArgs(pv, cArg, &area, &raw, &label) || !IntOr(pv, cArg, 3, 0, &distribution) ||
        !DoubleOr(pv, cArg, 4, 1, &df1) || !DoubleOr(pv, cArg, 5, 1, &df2))
        return;
    if (distribution < kQQNormal || distribution > kQQUniform) {
        ZuLibArgError(3);
        return;
    }
    std::vector<double> y = Finite(raw);
    Drawing* d = Current();
    if (d == nullptr || y.empty()) return;
    if (distribution == kQQNormal) {
        double mean = 0, sd = 0;
        MeanSd(y, &mean, &sd);
        for (double& v : y) v = sd > 0 ? (v - mean) / sd : v - mean;
    }
    std::sort(y.begin(), y.end());
    const auto n = static_cast<double>(y.size());
    std::vector<double> q(y.size());
    for (std::size_t i = 0; i < y.size(); ++i) q[i] = Quantile(distribution, (i + 0.5) / n, df1, df2);
    const int pos = IDrawXVector(d, area, y.data(), static_cast<int>(y.size()), label.c_str(), q.data(), "", 2, true);
    if (!Built(pos)) return;
    SetDrawVecSymbolUse(d, pos, 1);
    double lo = INFINITY, hi = -INFINITY;
    for (std::size_t i = 0; i < y.size(); ++i)
        if (std::isfinite(q[i])) lo = std::min({lo, q[i], y[i]}), hi = std::max({hi, q[i], y[i]});
    if (lo < hi) Built(IDrawLine(d, area, lo, lo, 0, hi, hi, 0, 1));
}

/// DrawBoxPlot(iArea, vY, sY)
/// Draws the box plot of vY: the box of the quartiles with the median, whiskers to the furthest values within
/// 1.5 times the interquartile range, and the values beyond as circles.
/// Example:
///     DrawBoxPlot(0, <1;2;3;4;5;6;7;30>, "y");
///     SaveDrawWindow("box.gwg");
///     decl f = fopen("box.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("box.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawBoxPlot) {
    (void)rtn;
    int area = 0;
    std::vector<double> raw;
    std::string label;
    if (!DataArgs(pv, cArg, &area, &raw, &label)) return;
    const std::vector<double> y = Finite(raw);
    Drawing* d = Current();
    if (d == nullptr || y.empty()) return;
    // The quartiles as quantilec computes them.
    ValueArray<2> args;
    ValueArray<1> result;
    ZuLibValMatMalloc(&args.v[0], static_cast<int>(y.size()), 1);
    double** m = ZuValGetMat(&args.v[0]);
    for (std::size_t i = 0; i < y.size(); ++i) m[i][0] = y[i];
    ZuLibValMatMalloc(&args.v[1], 3, 1);
    double** p = ZuValGetMat(&args.v[1]);
    p[0][0] = 0.25, p[1][0] = 0.5, p[2][0] = 0.75;
    stdlib::FnQuantilec(&result.v[0], args.v, 2);
    if (ZuValType(&result.v[0]) != ZU_MATRIX || ZuValGetMatr(&result.v[0]) < 3) return;
    double** r = ZuValGetMat(&result.v[0]);
    const double q1 = r[0][0], median = r[1][0], q3 = r[2][0], reach = 1.5 * (q3 - q1);
    double low = q1, high = q3;
    for (const double v : y) {
        if (v >= q1 - reach) low = std::min(low, v);
        if (v <= q3 + reach) high = std::max(high, v);
    }
    const double x0 = 0.3, x1 = 0.7, mid = 0.5;
    const double segments[][4] = {{x0, q1, x1, q1},       {x1, q1, x1, q3},     {x1, q3, x0, q3},
                                  {x0, q3, x0, q1},       {mid, q3, mid, high}, {mid, q1, mid, low},
                                  {0.4, high, 0.6, high}, {0.4, low, 0.6, low}};
    for (const auto& s : segments)
        if (!Built(IDrawLine(d, area, s[0], s[1], 0, s[2], s[3], 0, 2))) return;
    if (!Built(IDrawLine(d, area, x0, median, 0, x1, median, 0, 1))) return;
    SetDrawColour(d, -1, 1, 0);
    for (const double v : y) {
        if (v >= low && v <= high) continue;
        if (!Built(IDrawSymbol(d, area, mid, v, mid, v, 4, 2))) return;
    }
    DrawObject* settings = AreaSettings(d, area, false);
    if (settings != nullptr) {
        settings->areaSet.hasX = true;
        settings->areaSet.xmin = 0;
        settings->areaSet.xmax = 1;
    }
    Built(IDrawAxisAuto(d, area, 1, false, false, 0));
    if (!label.empty()) Built(IDrawText(d, area, label.c_str(), 0, 0, -1, -1, 2, 1));
}

}  // namespace zu::draw::library
