// Stand-ins for the stages that are not built yet.  Each says plainly that
// its stage is missing and does nothing, so the driver's answers stay
// true: nothing is compiled, linked, written or run.  A stand-in goes away
// when its stage lands.
#include "zu.h"

#include <string>

namespace {

void notBuilt(const char* stage)
{
    std::string text = std::string(stage) + " is not part of this build";
    ZuMessage(text.c_str());
}

}  // namespace

extern "C" {

// Drawing library: no function is registered until it is written.
void ZuAddDrawLib(void) {}

// ZuGauss mode.
int IZuParseGaussMain()
{
    notBuilt("The Gauss mode");
    return 1;
}
int FZuParseInitGauss(const char*, int)
{
    notBuilt("The Gauss mode");
    return 0;
}
int IZuParseGaussAutoload() { return 0; }
void ZuParseExitGauss() {}

}  // extern "C"
