// The drawing functions for single objects: lines and symbols in world or
// sheet coordinates, texts and titles, legends and axes.  Sheet
// coordinates run from 0 to 15000 across and 0 to 10000 up the page.
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

// DrawLine(iArea, dX1, dY1, dX2, dY2, iIndex): a line between two points
// of the area's data coordinates in colour and line type iIndex.
// DrawLine(iArea, dX1, dY1, dZ1, dX2, dY2, dZ2, iIndex): the same in 3-D.
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

// DrawPLine(iArea, iX1, iY1, iX2, iY2, iIndex): a line between two points
// in sheet coordinates.
ZU_DRAWLIB_ROUTINE(FnDrawPLine) {
    (void)rtn;
    int area = 0, c[5] = {0, 0, 0, 0, 1};
    if (!AreaArg(pv, 0, &area) || !Ints(pv, cArg, 1, 5, c)) return;
    Drawing* d = Current();
    if (d != nullptr) Built(IDrawPline(d, area, c[0], c[1], c[2], c[3], c[4]));
}

// DrawSymbol(iArea, dX1, dY1, dX2, dY2, iSymType, iIndex [, dZ]): a symbol
// in the box between two points of data coordinates (a point gives the
// default size): PL_FILLBOX 0, PL_BOX 1, PL_PLUS 2, PL_DASH 3,
// PL_CIRCLE 4, PL_FILLCIRCLE 6, PL_TRIANGLE 7, PL_FILLTRIANGLE 8,
// PL_DIAMOND 9, PL_FILLDIAMOND 10, PL_CROSS 11.  With dZ at that height
// of a 3-D area.
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

// DrawPSymbol(iArea, iX1, iY1, iX2, iY2, iSymType, iIndex): a symbol in a
// box of sheet coordinates.
ZU_DRAWLIB_ROUTINE(FnDrawPSymbol) {
    (void)rtn;
    int area = 0, c[6] = {0, 0, 0, 0, 0, 1};
    if (!AreaArg(pv, 0, &area) || !Ints(pv, cArg, 1, 6, c) || !SymbolType(5, c[4])) return;
    Drawing* d = Current();
    if (d != nullptr) Built(IDrawPsymbol(d, area, c[0], c[1], c[2], c[3], c[4], c[5]));
}

// DrawText(iArea, sText, dX, dY [, iFontNo, iFontSize, iTitle, iRotation,
// dZ]): a text at a point of data coordinates (with dZ in a 3-D area).
// Font -1 and size -1 take the defaults (SetDraw(SET_FONT, ...)).  iTitle:
// TEXT_TITLE makes it the title of the area, TEXT_XLABEL and TEXT_YLABEL
// the labels of its axes (the position is then not used).  The text may
// hold markup: \alpha and the other Greek letters, ^ and _ for raised and
// lowered text in $...$, \it, \bf and more.
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

// DrawPText(iArea, sText, iPx, iPy [, iFontNo, iFontSize, iTitle,
// iRotation]): a text at a point of sheet coordinates.
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

// DrawTitle(iArea, sTitle): the title above the area (a second title
// replaces the first).
ZU_DRAWLIB_ROUTINE(FnDrawTitle) {
    (void)rtn, (void)cArg;
    int area = 0;
    std::string text;
    if (!AreaArg(pv, 0, &area) || !StringArg(pv, 1, &text)) return;
    Drawing* d = Current();
    if (d != nullptr && !text.empty()) Built(IDrawTitle(d, area, text.c_str()));
}

// DrawLegend(iArea, iOffsX, iOffsY, fHidden): places the legend of the
// area iOffsX sheet units right of its left edge and iOffsY down from its
// top (20, 20 lets the legend find the corner with the least data), or
// hides it.
ZU_DRAWLIB_ROUTINE(FnDrawLegend) {
    (void)rtn;
    int area = 0, x = 20, y = 20, hidden = 0;
    if (!AreaArg(pv, 0, &area) || !IntOr(pv, cArg, 1, 20, &x) || !IntOr(pv, cArg, 2, 20, &y) ||
        !IntOr(pv, cArg, 3, 0, &hidden))
        return;
    Drawing* d = Current();
    if (d != nullptr) Built(IDrawLegend(d, area, x, y, hidden != 0));
}

// DrawAxis(iArea, iIsXaxis, dAnchor, dAxmin, dAxmax, dFirstLarge,
// dLargeStep, dSmallStep, iFreq): an axis with the given scale: from dAxmin
// to dAxmax, labelled ticks from dFirstLarge every dLargeStep, small ticks
// every dSmallStep.  iIsXaxis: 1 the x axis, 0 the y axis.
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

// DrawAxisAuto(iArea, iIsXaxis [, fShow, iAnchor, dAnchor]): an axis whose
// scale follows the data; fShow 0 hides it.  iAnchor ANCHOR_USER puts it
// at dAnchor of the other axis; the default is its minimum.
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
