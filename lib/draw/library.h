// The routines of the drawing library, by file; the registration list
// (registration.cpp) is their user.
#pragma once

#include "draw/library_args.h"

namespace zu::draw::library {

// library_window.cpp: saving, showing, closing; defaults and adjustments
ZU_DRAWLIB_ROUTINE(FnSetTextWindow);
ZU_DRAWLIB_ROUTINE(FnSaveDrawWindow);
ZU_DRAWLIB_ROUTINE(FnSetDrawWindow);
ZU_DRAWLIB_ROUTINE(FnShowDrawWindow);
ZU_DRAWLIB_ROUTINE(FnCloseDrawWindow);
ZU_DRAWLIB_ROUTINE(FnSetDraw);
ZU_DRAWLIB_ROUTINE(FnDrawAdjust);

// library_series.cpp: data series, with observation numbers, dates or x values
ZU_DRAWLIB_ROUTINE(FnDraw);
ZU_DRAWLIB_ROUTINE(FnDrawT);
ZU_DRAWLIB_ROUTINE(FnDrawX);
ZU_DRAWLIB_ROUTINE(FnDrawMatrix);
ZU_DRAWLIB_ROUTINE(FnDrawTMatrix);
ZU_DRAWLIB_ROUTINE(FnDrawXMatrix);
ZU_DRAWLIB_ROUTINE(FnDrawZ);
ZU_DRAWLIB_ROUTINE(FnDrawXYZ);

// library_statistics.cpp: plots of statistics of the data
ZU_DRAWLIB_ROUTINE(FnDrawAcf);
ZU_DRAWLIB_ROUTINE(FnDrawCorrelogram);
ZU_DRAWLIB_ROUTINE(FnDrawSpectrum);
ZU_DRAWLIB_ROUTINE(FnDrawDensity);
ZU_DRAWLIB_ROUTINE(FnDrawHistogram);
ZU_DRAWLIB_ROUTINE(FnDrawQQ);
ZU_DRAWLIB_ROUTINE(FnDrawBoxPlot);

// library_objects.cpp: lines, symbols, texts, legends and axes
ZU_DRAWLIB_ROUTINE(FnDrawLine);
ZU_DRAWLIB_ROUTINE(FnDrawPLine);
ZU_DRAWLIB_ROUTINE(FnDrawSymbol);
ZU_DRAWLIB_ROUTINE(FnDrawPSymbol);
ZU_DRAWLIB_ROUTINE(FnDrawText);
ZU_DRAWLIB_ROUTINE(FnDrawPText);
ZU_DRAWLIB_ROUTINE(FnDrawTitle);
ZU_DRAWLIB_ROUTINE(FnDrawLegend);
ZU_DRAWLIB_ROUTINE(FnDrawAxis);
ZU_DRAWLIB_ROUTINE(FnDrawAxisAuto);

}  // namespace zu::draw::library
