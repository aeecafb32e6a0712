// Stand-ins for the stages that are not built yet.  Each says plainly that
// its stage is missing and does nothing, so the driver's answers stay
// true: nothing is compiled, linked, written or run.  A stand-in goes away
// when its stage lands.
#include "driver/stages.h"

#include <string>

namespace {

void notBuilt(const char* stage)
{
    std::string text = std::string(stage) + " is not part of this build";
    ZuMessage(text.c_str());
}

}  // namespace

extern "C" {

// Compiler: without it no source can be compiled.
void ZuParseInterDebug(int, int) {}
void ZuOpenCode() {}
void ZuCloseCode() {}
int IZuParse()
{
    notBuilt("The compiler");
    return 1;
}
void ZuParseEmitMainDummy() {}
void ZuParseDelUnusedExternals() {}
void ZuParseOptimization(int) {}
void ZuParseSetLineno(int) {}
void ZuParseWarningLevel(int) {}

// Object files.
int IZuGetImportFile(const char*, int, int)
{
    notBuilt("Object-file linking");
    return 1;
}
int IZuParseLinkImports() { return 0; }
int ZuWriteCode(FILE*)
{
    notBuilt("Object-file writing");
    return 0;
}

// Interpreter: nothing can run.
void ZuSetStackSize(int) {}
int IZuRunInit()
{
    notBuilt("The interpreter");
    return -1;
}
int FZuRun(int, int) { return 0; }
void ZuRunExit() {}
void ZuRunNumbering(int) {}
void ZuRunTrace(int) {}
void ZuRunAbort(void) {}
void ZuRunPrintErrorMsg(int code, const char* text)
{
    std::string line = "Runtime error " + std::to_string(code);
    if (text && *text)
        line += std::string(": ") + text;
    ZuRunMessage(line.c_str());
}
void ZuRunUserWarning(const char* name, const char* text)
{
    std::string line = "Warning: ";
    if (name && *name)
        line += std::string(name) + ": ";
    line += text ? text : "";
    ZuRunMessage(line.c_str());
}

// Run-time library: no function is registered until it is written.
void ZuStdClosePrintBuffer() {}
void ZuAddStdLib() {}
void ZuAddStdIOLib() {}
void ZuAddArmaLib() {}
void ZuAddProbLib() {}
void ZuAddGaussStdLib() {}
void ZuAddGaussStdIOLib() {}
void ZuAddDrawLib(void) {}

// ZuGauss mode.
int FZuParseInitGauss(const char*, int)
{
    notBuilt("The Gauss mode");
    return 0;
}
int IZuParseGaussAutoload() { return 0; }
void ZuParseExitGauss() {}

}  // extern "C"
