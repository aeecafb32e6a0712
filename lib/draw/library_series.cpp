// The drawing functions for data series: against observation numbers,
// against dates, against x values; z values of a series; surfaces.
// Each row of the matrix given is one series (a column vector is one
// series too); the series take successive colours from the index given.
/// @family Graphics

#include <algorithm>
#include <cmath>

#include "draw/library.h"

namespace zu::draw::library {
namespace {

// Draw styles (ST_... in zustd.h).
enum Style { kLine = 0, kSymbols = 1, kLineSymbols = 2, kIndex = 3, kBars = 4 };

void ApplyStyle(Drawing* d, int position, int style) {
    if (style == kIndex) {
        SetDrawVecIndex(d, position, 1, 0);
        return;
    }
    SetDrawVecSymbolUse(d, position, std::clamp(style, 0, 4));
}

// The colour for the next series of an area: the one given, or the first
// not taken by the area's earlier series.
int NextColour(Drawing* d, int area, int given) {
    if (given >= 0) return given;
    return 2 + CountDrawObject(d, area, kKindVector);
}

const char* LabelOf(const std::vector<std::string>& labels, int i) {
    return i < static_cast<int>(labels.size()) ? labels[static_cast<std::size_t>(i)].c_str() : "";
}

// The series of a matrix one by one: `add(row, values, n)` makes the
// object and returns its position.
template <class Add>
void EachSeries(Drawing* d, const Series& s, int style, Add&& add) {
    for (int i = 0; i < s.rows; ++i) {
        const int pos = add(i, s.row(i), s.columns);
        if (!Built(pos)) return;
        ApplyStyle(d, pos, style);
    }
}

struct Options {
    int style = kLine;
    int colour = -1;
};

bool OptionsAt(ZuVALUE* pv, int cArg, int k, Options* o) {
    return IntOr(pv, cArg, k, kLine, &o->style) && IntOr(pv, cArg, k + 1, -1, &o->colour);
}

void DrawEvenly(ZuVALUE* pv, int cArg, bool labelled) {
    int area = 0;
    Series s;
    std::vector<std::string> labels;
    double first = 1, step = 1;
    Options o;
    const int k = labelled ? 3 : 2;
    if (!AreaArg(pv, 0, &area) || !SeriesArg(pv, 1, &s)) return;
    if (labelled && !LabelsArg(pv, cArg, 2, &labels)) return;
    if (!DoubleOr(pv, cArg, k, 1, &first) || !DoubleOr(pv, cArg, k + 1, 1, &step)) return;
    if (labelled && !OptionsAt(pv, cArg, 5, &o)) return;
    Drawing* d = Current();
    if (d == nullptr) return;
    EachSeries(d, s, o.style, [&](int i, const double* y, int n) {
        const int colour = o.colour >= 0 ? o.colour + i : NextColour(d, area, -1);
        return IDrawVector(d, area, y, n, LabelOf(labels, i), first, step, colour, true);
    });
}

void DrawDated(ZuVALUE* pv, int cArg, bool labelled) {
    int area = 0, year = 0, period = 1, freq = 1;
    Series s;
    std::vector<std::string> labels;
    Options o;
    const int k = labelled ? 3 : 2;
    if (!AreaArg(pv, 0, &area) || !SeriesArg(pv, 1, &s)) return;
    if (labelled && !LabelsArg(pv, cArg, 2, &labels)) return;
    if (!IntOr(pv, cArg, k, 1, &year) || !IntOr(pv, cArg, k + 1, 1, &period) || !IntOr(pv, cArg, k + 2, 1, &freq))
        return;
    if (labelled && !OptionsAt(pv, cArg, 6, &o)) return;
    if (freq < 1 || freq > 100000) {
        ZuLibArgError(k + 2);
        return;
    }
    Drawing* d = Current();
    if (d == nullptr) return;
    EachSeries(d, s, o.style, [&](int i, const double* y, int n) {
        const int colour = o.colour >= 0 ? o.colour + i : NextColour(d, area, -1);
        return IDrawTimeVector(d, area, y, n, LabelOf(labels, i), year, period, freq, colour, true);
    });
}

void DrawAgainstX(ZuVALUE* pv, int cArg, bool labelled) {
    int area = 0;
    Series s;
    std::vector<double> x;
    std::vector<std::string> labels;
    std::string xLabel;
    Options o;
    if (!AreaArg(pv, 0, &area) || !SeriesArg(pv, 1, &s)) return;
    if (labelled && !LabelsArg(pv, cArg, 2, &labels)) return;
    if (!VectorArg(pv, labelled ? 3 : 2, &x)) return;
    if (labelled && (!StringOr(pv, cArg, 4, &xLabel) || !OptionsAt(pv, cArg, 5, &o))) return;
    if (static_cast<int>(x.size()) != s.columns) {
        ZuLibCheckMatrixSize(pv, labelled ? 3 : 2, labelled ? 3 : 2, 1, s.columns);
        return;
    }
    Drawing* d = Current();
    if (d == nullptr) return;
    EachSeries(d, s, o.style, [&](int i, const double* y, int n) {
        const int colour = o.colour >= 0 ? o.colour + i : NextColour(d, area, -1);
        return IDrawXVector(d, area, y, n, LabelOf(labels, i), x.data(), xLabel.c_str(), colour, true);
    });
}

}  // namespace

/// Draw(iArea, mY [, dXfirst, dXstep])
/// Draws each row of the matrix mY (a column vector is one series too) as a line in area iArea against
/// dXfirst, dXfirst + dXstep, ... (1, 2, ... by default); the series take successive colours.
/// Example:
///     Draw(0, <1,3,2,4;2,2,3,1>);
///     SaveDrawWindow("draw.gwg");
///     decl f = fopen("draw.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("draw.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDraw) {
    (void)rtn;
    DrawEvenly(pv, cArg, false);
}

/// DrawMatrix(iArea, mY, asY, dXfirst, dXstep [, iStyle, iIndex])
/// As `Draw`, with a label for each series (a string or an array of strings, shown in the legend), the style
/// iStyle (ST_LINE, ST_SYMBOLS, ST_LINESYMBOLS, ST_INDEX or ST_BARS) and the colour index of the first
/// series.
/// Example:
///     DrawMatrix(0, <1,3,2,4;2,2,3,1>, {"a", "b"}, 0, 0.5, ST_LINESYMBOLS, 2);
///     SaveDrawWindow("drawmatrix.gwg");
///     decl f = fopen("drawmatrix.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("drawmatrix.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawMatrix) {
    (void)rtn;
    DrawEvenly(pv, cArg, true);
}

/// DrawT(iArea, mY, iYear1, iPeriod1, iFreq)
/// Draws each row of mY as a time series that starts in period iPeriod1 of year iYear1, with iFreq periods a
/// year; the x axis shows the dates.
/// Example:
///     DrawT(0, <1,3,2,4,3,5>, 2020, 3, 4);
///     SaveDrawWindow("drawt.gwg");
///     decl f = fopen("drawt.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("drawt.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawT) {
    (void)rtn;
    DrawDated(pv, cArg, false);
}

/// DrawTMatrix(iArea, mY, asY, iYear1, iPeriod1, iFreq [, iStyle, iIndex])
/// As `DrawT`, with labels, style and colour as for `DrawMatrix`.
/// Example:
///     DrawTMatrix(0, <1,3,2,4,3,5>, "gdp", 2020, 3, 4, ST_BARS);
///     SaveDrawWindow("drawtmatrix.gwg");
///     decl f = fopen("drawtmatrix.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("drawtmatrix.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawTMatrix) {
    (void)rtn;
    DrawDated(pv, cArg, true);
}

/// DrawX(iArea, mY, vX)
/// Draws each row of mY against the values of vX (as many as mY has columns): points joined by lines in the
/// order given.
/// Example:
///     DrawX(0, <1,4,9>, <1,2,3>);
///     SaveDrawWindow("drawx.gwg");
///     decl f = fopen("drawx.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("drawx.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawX) {
    (void)rtn;
    DrawAgainstX(pv, cArg, false);
}

/// DrawXMatrix(iArea, mY, asY, vX, sX [, iStyle, iIndex])
/// As `DrawX`, with labels for the series (asY) and for x (sX), style and colour as for `DrawMatrix`;
/// ST_SYMBOLS gives a scatter plot.
/// Example:
///     DrawXMatrix(0, <1,4,9>, {"y"}, <1,2,3>, "x", ST_SYMBOLS, 3);
///     SaveDrawWindow("drawxmatrix.gwg");
///     decl f = fopen("drawxmatrix.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("drawxmatrix.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawXMatrix) {
    (void)rtn;
    DrawAgainstX(pv, cArg, true);
}

/// DrawZ(vZ [, sZ, iMode, dFac])
/// Adds z values to the series drawn last: ZMODE_SYMBOL scales its symbols by z, ZMODE_BAR (the default)
/// draws y +/- dFac z as error bars, ZMODE_BAND the same as a band, ZMODE_HILO bars from z to y (dFac their
/// width as a share of the step). Nothing happens when the last object is not a series; a mode outside 0 to 3
/// is an argument error.
/// Example:
///     Draw(0, <1,3,2,4>);
///     DrawZ(<0.5,0.5,1,1>, "se", ZMODE_BAND, 2);
///     SaveDrawWindow("drawz.gwg");
///     decl f = fopen("drawz.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("drawz.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawZ) {
    (void)rtn;
    std::vector<double> z;
    std::string label;
    int mode = kZErrorBars;
    double factor = 1;
    if (!VectorArg(pv, 0, &z) || !StringOr(pv, cArg, 1, &label) || !IntOr(pv, cArg, 2, kZErrorBars, &mode) ||
        !DoubleOr(pv, cArg, 3, 1, &factor))
        return;
    if (mode < 0 || mode > kZHighLow) {
        ZuLibArgError(2);
        return;
    }
    Drawing* d = Current();
    if (d == nullptr) return;
    const DrawObject* last = FindDrawObject(d, -1);
    if (last == nullptr || last->kind != kKindVector) return;  // nothing to add z to
    if (!SetDrawVecZ(d, -1, z.data(), static_cast<int>(z.size()), label.c_str(), mode, factor, true)) OutOfMemory();
}

/// DrawXYZ(iArea, vX, vY, mZ [, iMode, iIndex])
/// Draws the surface of the matrix mZ over the grid of vX (one value a column) by vY (one a row), seen from
/// above at an angle, in the colours of index iIndex (2 by default); iMode 1 draws the contour lines of the
/// surface instead. When vX, vY and mZ are vectors of one length, the points (x, y, z) are drawn in 3-D.
/// Sizes that fit neither form are an argument error.
/// Example:
///     DrawXYZ(0, <0,1,2>, <0,1>, <0,1,4;1,2,5>);
///     SaveDrawWindow("drawxyz.gwg");
///     decl f = fopen("drawxyz.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("drawxyz.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawXYZ) {
    (void)rtn;
    int area = 0, mode = 0, colour = 2;
    std::vector<double> x, y;
    Series z;
    if (!AreaArg(pv, 0, &area) || !VectorArg(pv, 1, &x) || !VectorArg(pv, 2, &y) || !SeriesArg(pv, 3, &z) ||
        !IntOr(pv, cArg, 4, 0, &mode) || !IntOr(pv, cArg, 5, 2, &colour))
        return;
    Drawing* d = Current();
    if (d == nullptr) return;
    const int rows = ZuValGetMatr(&pv[3]), columns = ZuValGetMatc(&pv[3]);
    if (rows == static_cast<int>(y.size()) && columns == static_cast<int>(x.size()) && rows >= 2 && columns >= 2) {
        const int pos = IDrawMesh(d, area, x.data(), columns, y.data(), rows, z.values.data(), colour, true);
        if (!Built(pos)) return;
        if (mode == 1) SetDrawContour(d, pos, 10, 0);
        return;
    }
    const std::size_t n = x.size();
    if (y.size() != n || z.values.size() != n) {
        ZuLibCheckMatrixSize(pv, 3, 3, static_cast<int>(y.size()), static_cast<int>(x.size()));
        return;
    }
    Built(IDrawTriangulation(d, area, x.data(), y.data(), z.values.data(), static_cast<int>(n), colour, true));
}

}  // namespace zu::draw::library
