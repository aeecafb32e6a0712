// The registration list of the drawing library and ZuAddDrawLib, which
// the launcher calls after the standard tables.
#include <iterator>

#include "draw/library.h"

namespace zu::draw::library {
namespace {

struct LibraryFunction {
    const char* declaration;  // one 'c' per argument, '$', the name
    ZuLIBFUNC routine;
    bool atLeast;  // takes that many arguments or more
};

constexpr LibraryFunction kDrawLib[] = {
    {"c$SetTextWindow", FnSetTextWindow, false},
    {"c$SaveDrawWindow", FnSaveDrawWindow, false},
    {"c$SetDrawWindow", FnSetDrawWindow, false},
    {"$ShowDrawWindow", FnShowDrawWindow, false},
    {"$CloseDrawWindow", FnCloseDrawWindow, false},
    {"cccc$DrawAcf", FnDrawAcf, true},
    {"cccc$DrawCorrelogram", FnDrawCorrelogram, false},
    {"cccc$DrawSpectrum", FnDrawSpectrum, false},
    {"ccc$DrawDensity", FnDrawDensity, true},
    {"cc$DrawHistogram", FnDrawHistogram, true},
    {"cccccc$DrawQQ", FnDrawQQ, false},
    {"cc$Draw", FnDraw, true},
    {"ccccc$DrawT", FnDrawT, false},
    {"ccc$DrawX", FnDrawX, false},
    {"ccccc$DrawMatrix", FnDrawMatrix, true},
    {"cccccc$DrawTMatrix", FnDrawTMatrix, true},
    {"ccccc$DrawXMatrix", FnDrawXMatrix, true},
    {"c$SetDraw", FnSetDraw, true},
    {"ccc$DrawBoxPlot", FnDrawBoxPlot, false},
    {"cccccc$DrawLine", FnDrawLine, true},
    {"cccccc$DrawPLine", FnDrawPLine, false},
    {"ccccccc$DrawSymbol", FnDrawSymbol, true},
    {"ccccccc$DrawPSymbol", FnDrawPSymbol, false},
    {"cccc$DrawText", FnDrawText, true},
    {"cccc$DrawPText", FnDrawPText, true},
    {"cc$DrawTitle", FnDrawTitle, false},
    {"cccc$DrawLegend", FnDrawLegend, false},
    {"ccccccccc$DrawAxis", FnDrawAxis, true},
    {"cc$DrawAxisAuto", FnDrawAxisAuto, true},
    {"c$DrawAdjust", FnDrawAdjust, true},
    {"c$DrawZ", FnDrawZ, true},
    {"cccc$DrawXYZ", FnDrawXYZ, true},
};

static_assert(std::size(kDrawLib) == 32);

}  // namespace
}  // namespace zu::draw::library

extern "C" void ZuAddDrawLib(void) {
    for (const auto& f : zu::draw::library::kDrawLib)
        (void)FZuLibAddFunction(f.declaration, f.routine, f.atLeast ? 1 : 0);
}
