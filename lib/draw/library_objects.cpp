// The drawing functions for single objects: lines and symbols in world or
// sheet coordinates, texts and titles, legends and axes.  Sheet
// coordinates run from 0 to 15000 across and 0 to 10000 up the page.
/// @family Graphics

#include <cmath>

#include "draw/library.h"

namespace zu::draw::library {
namespace {

bool Doubles(ZuVALUE* pv, int cArg, int first, int count, double* out) {
    for (int k = 0; k < count; ++k)
        if (!DoubleOr(pv, cArg, first + k, 0, &out[k])) return false;
    return true;
}

bool Ints(ZuVALUE* pv, int cArg, int first, int count, int* out) {
    for (int k = 0; k < count; ++k)
        if (!IntOr(pv, cArg, first + k, 0, &out[k])) return false;
    return true;
}

bool SymbolType(int k, int type) {
    if (type >= 0 && type <= 11) return true;
    ZuLibArgError(k);
    return false;
}

}  // namespace

/// DrawLine(iArea, dX1, dY1, dX2, dY2, iIndex [, ...])
/// Draws a line in area iArea (0 to 35) between the points (dX1, dY1) and (dX2, dY2) of the area's data
/// coordinates, in the colour and line type of index iIndex. With eight arguments, `DrawLine(iArea, dX1, dY1,
/// dZ1, dX2, dY2, dZ2, iIndex)`, the line joins two points of a 3-D area. An area outside 0 to 35 is an
/// argument error.
/// Example:
///     DrawLine(0, 0, 0, 1, 2, 3);
///     SaveDrawWindow("line.gwg");
///     decl f = fopen("line.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("line.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawLine) {
    (void)rtn;
    int area = 0, colour = 1;
    double c[6] = {0, 0, 0, 0, 0, 0};
    if (!AreaArg(pv, 0, &area)) return;
    const bool threeD = cArg >= 8;
    if (threeD ? !Doubles(pv, cArg, 1, 6, c) || !IntOr(pv, cArg, 7, 1, &colour)
               : !Doubles(pv, cArg, 1, 4, c) || !IntOr(pv, cArg, 5, 1, &colour))
        return;
    Drawing* d = Current();
    if (d == nullptr) return;
    if (threeD)
        Built(IDrawLine(d, area, c[0], c[1], c[2], c[3], c[4], c[5], colour));
    else
        Built(IDrawLine(d, area, c[0], c[1], 0, c[2], c[3], 0, colour));
}

/// DrawPLine(iArea, iX1, iY1, iX2, iY2, iIndex)
/// Draws a line in area iArea between two points in sheet coordinates, which run from 0 to 15000 across and 0
/// to 10000 up the page, in the colour and line type of index iIndex.
/// Example:
///     DrawPLine(0, 1000, 1000, 14000, 9000, 2);
///     SaveDrawWindow("pline.gwg");
///     decl f = fopen("pline.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("pline.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawPLine) {
    (void)rtn;
    int area = 0, c[5] = {0, 0, 0, 0, 1};
    if (!AreaArg(pv, 0, &area) || !Ints(pv, cArg, 1, 5, c)) return;
    Drawing* d = Current();
    if (d != nullptr) Built(IDrawPline(d, area, c[0], c[1], c[2], c[3], c[4]));
}

/// DrawSymbol(iArea, dX1, dY1, dX2, dY2, iSymType, iIndex [, dZ])
/// Draws a symbol in the box between the points (dX1, dY1) and (dX2, dY2) of data coordinates (one point
/// twice gives the default size), in the colour of index iIndex. iSymType: PL_FILLBOX 0, PL_BOX 1, PL_PLUS 2,
/// PL_DASH 3, PL_CIRCLE 4, PL_FILLCIRCLE 6, PL_TRIANGLE 7, PL_FILLTRIANGLE 8, PL_DIAMOND 9, PL_FILLDIAMOND
/// 10, PL_CROSS 11; another type is an argument error. With dZ the symbol is drawn at the centre of the box
/// at height dZ of a 3-D area.
/// Example:
///     DrawSymbol(0, 1, 1, 2, 2, PL_CIRCLE, 3);
///     SaveDrawWindow("symbol.gwg");
///     decl f = fopen("symbol.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("symbol.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawSymbol) {
    (void)rtn;
    int area = 0, type = 0, colour = 1;
    double c[4] = {0, 0, 0, 0}, z = 0;
    if (!AreaArg(pv, 0, &area) || !Doubles(pv, cArg, 1, 4, c) || !IntOr(pv, cArg, 5, 0, &type) ||
        !IntOr(pv, cArg, 6, 1, &colour) || !DoubleOr(pv, cArg, 7, 0, &z) || !SymbolType(5, type))
        return;
    Drawing* d = Current();
    if (d == nullptr) return;
    if (cArg >= 8)
        Built(IDrawSymbol3(d, area, (c[0] + c[2]) / 2, (c[1] + c[3]) / 2, z, type, 90, colour));
    else
        Built(IDrawSymbol(d, area, c[0], c[1], c[2], c[3], type, colour));
}

/// DrawPSymbol(iArea, iX1, iY1, iX2, iY2, iSymType, iIndex)
/// Draws a symbol in a box of sheet coordinates (0 to 15000 across, 0 to 10000 up), of the symbol types of
/// `DrawSymbol`, in the colour of index iIndex.
/// Example:
///     DrawPSymbol(0, 7000, 4500, 8000, 5500, PL_FILLDIAMOND, 4);
///     SaveDrawWindow("psymbol.gwg");
///     decl f = fopen("psymbol.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("psymbol.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawPSymbol) {
    (void)rtn;
    int area = 0, c[6] = {0, 0, 0, 0, 0, 1};
    if (!AreaArg(pv, 0, &area) || !Ints(pv, cArg, 1, 6, c) || !SymbolType(5, c[4])) return;
    Drawing* d = Current();
    if (d != nullptr) Built(IDrawPsymbol(d, area, c[0], c[1], c[2], c[3], c[4], c[5]));
}

/// DrawText(iArea, sText, dX, dY [, iFontNo, iFontSize, iTitle, iRotation, dZ])
/// Draws the text sText at the point (dX, dY) of data coordinates (with dZ, at that height of a 3-D area).
/// Font -1 and size -1 (the defaults) take those of `SetDraw(SET_FONT, ...)`. iTitle TEXT_TITLE makes the
/// text the title of the area, TEXT_XLABEL and TEXT_YLABEL the labels of its axes (the position is then not
/// used); iRotation turns it by that many degrees. The text may hold markup: \alpha and the other Greek
/// letters, $x^2$ and $x_t$ for raised and lowered text, \it, \bf and \rm for the fonts. An empty text draws
/// nothing.
/// Example:
///     Draw(0, <1,3,2,4>);
///     DrawText(0, "peak", 4, 4);
///     DrawText(0, "$\\alpha_t$", 0, 0, -1, -1, TEXT_YLABEL);
///     SaveDrawWindow("text.gwg");
///     decl f = fopen("text.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("text.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawText) {
    (void)rtn;
    int area = 0, font = -1, size = -1, role = 0, rotation = 0;
    std::string text;
    double x = 0, y = 0, z = 0;
    if (!AreaArg(pv, 0, &area) || !StringArg(pv, 1, &text) || !DoubleOr(pv, cArg, 2, 0, &x) ||
        !DoubleOr(pv, cArg, 3, 0, &y) || !IntOr(pv, cArg, 4, -1, &font) || !IntOr(pv, cArg, 5, -1, &size) ||
        !IntOr(pv, cArg, 6, 0, &role) || !IntOr(pv, cArg, 7, 0, &rotation) || !DoubleOr(pv, cArg, 8, 0, &z))
        return;
    Drawing* d = Current();
    if (d == nullptr || text.empty()) return;
    const int pos = cArg >= 9 ? IDrawWtext3(d, area, text.c_str(), x, y, z, font, size, 1)
                              : IDrawWtext(d, area, text.c_str(), x, y, font, size, role, 1);
    if (Built(pos) && rotation != 0) d->objects[static_cast<std::size_t>(pos)]->text.rotation = rotation % 360;
}

/// DrawPText(iArea, sText, iPx, iPy [, iFontNo, iFontSize, iTitle, iRotation])
/// Draws the text sText at the point (iPx, iPy) of sheet coordinates (0 to 15000 across, 0 to 10000 up), with
/// the font, size, role and rotation of `DrawText`.
/// Example:
///     DrawPText(0, "A note", 500, 9500, -1, 300, TEXT_TEXT, 90);
///     SaveDrawWindow("ptext.gwg");
///     decl f = fopen("ptext.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("ptext.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawPText) {
    (void)rtn;
    int area = 0, x = 0, y = 0, font = -1, size = -1, role = 0, rotation = 0;
    std::string text;
    if (!AreaArg(pv, 0, &area) || !StringArg(pv, 1, &text) || !IntOr(pv, cArg, 2, 0, &x) ||
        !IntOr(pv, cArg, 3, 0, &y) || !IntOr(pv, cArg, 4, -1, &font) || !IntOr(pv, cArg, 5, -1, &size) ||
        !IntOr(pv, cArg, 6, 0, &role) || !IntOr(pv, cArg, 7, 0, &rotation))
        return;
    Drawing* d = Current();
    if (d == nullptr || text.empty()) return;
    const int pos = IDrawText(d, area, text.c_str(), x, y, font, size, role, 1);
    if (Built(pos) && rotation != 0) d->objects[static_cast<std::size_t>(pos)]->text.rotation = rotation % 360;
}

/// DrawTitle(iArea, sTitle)
/// Draws the title sTitle above area iArea; a second title replaces the first. An empty title draws nothing.
/// Example:
///     Draw(0, <1,3,2,4>);
///     DrawTitle(0, "A line");
///     SaveDrawWindow("title.gwg");
///     decl f = fopen("title.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("title.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawTitle) {
    (void)rtn, (void)cArg;
    int area = 0;
    std::string text;
    if (!AreaArg(pv, 0, &area) || !StringArg(pv, 1, &text)) return;
    Drawing* d = Current();
    if (d != nullptr && !text.empty()) Built(IDrawTitle(d, area, text.c_str()));
}

/// DrawLegend(iArea, iOffsX, iOffsY, fHidden)
/// Places the legend of area iArea iOffsX sheet units right of the area's left edge and iOffsY down from its
/// top (20 and 20 let the legend find the corner with the least data), or hides it when fHidden is not 0.
/// Example:
///     DrawMatrix(0, <1,3,2,4>, {"y"}, 1, 1);
///     DrawLegend(0, 500, 300, 0);
///     SaveDrawWindow("legend.gwg");
///     decl f = fopen("legend.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("legend.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawLegend) {
    (void)rtn;
    int area = 0, x = 20, y = 20, hidden = 0;
    if (!AreaArg(pv, 0, &area) || !IntOr(pv, cArg, 1, 20, &x) || !IntOr(pv, cArg, 2, 20, &y) ||
        !IntOr(pv, cArg, 3, 0, &hidden))
        return;
    Drawing* d = Current();
    if (d != nullptr) Built(IDrawLegend(d, area, x, y, hidden != 0));
}

/// DrawAxis(iArea, iIsXaxis, dAnchor, dAxmin, dAxmax, dFirstLarge, dLargeStep, dSmallStep, iFreq [, ...])
/// Draws an axis of area iArea with a scale of its own: the x axis when iIsXaxis is 1, else the y axis,
/// placed at dAnchor of the other axis, from dAxmin to dAxmax, with labelled ticks from dFirstLarge every
/// dLargeStep and small ticks every dSmallStep; iFreq not 0 labels dates of that frequency. Arguments after
/// iFreq are ignored.
/// Example:
///     Draw(0, <1,3,2,4>);
///     DrawAxis(0, 0, 1, 0, 5, 0, 1, 0.5, 0);
///     SaveDrawWindow("axis.gwg");
///     decl f = fopen("axis.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("axis.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawAxis) {
    (void)rtn;
    int area = 0, isX = 1, freq = 0;
    double c[6] = {0, 0, 0, 0, 0, 0};
    if (!AreaArg(pv, 0, &area) || !IntOr(pv, cArg, 1, 1, &isX) || !Doubles(pv, cArg, 2, 6, c) ||
        !IntOr(pv, cArg, 8, 0, &freq))
        return;
    Drawing* d = Current();
    if (d != nullptr) Built(IDrawAxis(d, area, isX != 0 ? 1 : 0, c[0], c[1], c[2], c[3], c[4], c[5], freq));
}

/// DrawAxisAuto(iArea, iIsXaxis [, fShow, iAnchor, dAnchor])
/// Draws an axis of area iArea (the x axis when iIsXaxis is 1, else the y axis) whose scale follows the data;
/// fShow 0 hides it. iAnchor ANCHOR_USER puts it at dAnchor of the other axis; the default, ANCHOR_MIN, at
/// the other axis's minimum.
/// Example:
///     Draw(0, <1,3,-2,4>);
///     DrawAxisAuto(0, 1, 1, ANCHOR_USER, 0);
///     SaveDrawWindow("axisauto.gwg");
///     decl f = fopen("axisauto.gwg"), s; fread(f, &s, 'c', fsize(f)); fclose(f); fremove("axisauto.gwg");
///     print(s);
ZU_DRAWLIB_ROUTINE(FnDrawAxisAuto) {
    (void)rtn;
    int area = 0, isX = 1, show = 1, anchor = 0;
    double value = 0;
    if (!AreaArg(pv, 0, &area) || !IntOr(pv, cArg, 1, 1, &isX) || !IntOr(pv, cArg, 2, 1, &show) ||
        !IntOr(pv, cArg, 3, 0, &anchor) || !DoubleOr(pv, cArg, 4, 0, &value))
        return;
    Drawing* d = Current();
    if (d != nullptr) Built(IDrawAxisAuto(d, area, isX != 0 ? 1 : 0, show != 0, anchor == 2, value));
}

}  // namespace zu::draw::library
