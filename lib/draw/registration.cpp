// The registration list of the drawing library and ZuAddDrawLib, which
// the launcher calls after the standard tables.
#include <iterator>
#include <new>

#include "draw/library.h"
#include "value/function_table.h"

namespace zu::draw::library {
namespace {

// Memory that runs out inside a routine (copies of the data, the display
// list) is the run-time error of a program, never an exception that
// leaves the engine.
template <ZuLIBFUNC routine>
void Guarded(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    try {
        routine(rtn, pv, cArg);
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    }
}

using value::LibraryFunction;

constexpr LibraryFunction kDrawLib[] = {
    {"c$SetTextWindow", Guarded<FnSetTextWindow>, false},
    {"c$SaveDrawWindow", Guarded<FnSaveDrawWindow>, false},
    {"c$SetDrawWindow", Guarded<FnSetDrawWindow>, false},
    {"$ShowDrawWindow", Guarded<FnShowDrawWindow>, false},
    {"$CloseDrawWindow", Guarded<FnCloseDrawWindow>, false},
    {"cccc$DrawAcf", Guarded<FnDrawAcf>, true},
    {"cccc$DrawCorrelogram", Guarded<FnDrawCorrelogram>, false},
    {"cccc$DrawSpectrum", Guarded<FnDrawSpectrum>, false},
    {"ccc$DrawDensity", Guarded<FnDrawDensity>, true},
    {"cc$DrawHistogram", Guarded<FnDrawHistogram>, true},
    {"cccccc$DrawQQ", Guarded<FnDrawQQ>, false},
    {"cc$Draw", Guarded<FnDraw>, true},
    {"ccccc$DrawT", Guarded<FnDrawT>, false},
    {"ccc$DrawX", Guarded<FnDrawX>, false},
    {"ccccc$DrawMatrix", Guarded<FnDrawMatrix>, true},
    {"cccccc$DrawTMatrix", Guarded<FnDrawTMatrix>, true},
    {"ccccc$DrawXMatrix", Guarded<FnDrawXMatrix>, true},
    {"c$SetDraw", Guarded<FnSetDraw>, true},
    {"ccc$DrawBoxPlot", Guarded<FnDrawBoxPlot>, false},
    {"cccccc$DrawLine", Guarded<FnDrawLine>, true},
    {"cccccc$DrawPLine", Guarded<FnDrawPLine>, false},
    {"ccccccc$DrawSymbol", Guarded<FnDrawSymbol>, true},
    {"ccccccc$DrawPSymbol", Guarded<FnDrawPSymbol>, false},
    {"cccc$DrawText", Guarded<FnDrawText>, true},
    {"cccc$DrawPText", Guarded<FnDrawPText>, true},
    {"cc$DrawTitle", Guarded<FnDrawTitle>, false},
    {"cccc$DrawLegend", Guarded<FnDrawLegend>, false},
    {"ccccccccc$DrawAxis", Guarded<FnDrawAxis>, true},
    {"cc$DrawAxisAuto", Guarded<FnDrawAxisAuto>, true},
    {"c$DrawAdjust", Guarded<FnDrawAdjust>, true},
    {"c$DrawZ", Guarded<FnDrawZ>, true},
    {"cccc$DrawXYZ", Guarded<FnDrawXYZ>, true},
};

static_assert(std::size(kDrawLib) == 32);

}  // namespace
}  // namespace zu::draw::library

extern "C" void ZuAddDrawLib(void) { zu::value::RegisterFunctions(zu::draw::library::kDrawLib); }
