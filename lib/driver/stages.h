// Entry points of the later stages that the driver and the console layer
// call: the scanner, compiler, linker, object files, interpreter, run-time
// library, kernels and the ZuGauss mode.  A stage that is not built yet is
// stood in for by stages_pending.cpp, which says so and does nothing.
#pragma once

#include "zu.h"

extern "C" {

// Compiler.
void ZuParseInterDebug(int interactive, int debug);
void ZuOpenCode();
void ZuCloseCode();
int  IZuParse();
void ZuParseEmitMainDummy();
void ZuParseDelUnusedExternals();
void ZuParseOptimization(int on);
void ZuParseSetLineno(int on);
void ZuParseWarningLevel(int level);
void ZuSetSymbolSize(int size);

// Object files and imports.
int  IZuGetImportFile(const char* name, int flags, int level);
int  IZuParseLinkImports();
int  ZuWriteCode(FILE* file);

// Interpreter.
void ZuSetStackSize(int size);
int  IZuRunInit();
int  FZuRun(int position, int flags);
void ZuRunExit();
void ZuRunNumbering(int on);
void ZuRunAbort(void);
void ZuRunTrace(int on);
void ZuRunPrintErrorMsg(int code, const char* text);
void ZuRunUserWarning(const char* name, const char* text);

// Run-time library.
void ZuStdClosePrintBuffer();
void ZuLibFreeFunctions();
void ZuAddStdLib();
void ZuAddStdIOLib();
void ZuAddArmaLib();
void ZuAddProbLib();
void ZuAddGaussStdLib();
void ZuAddGaussStdIOLib();

// ZuGauss mode.
int  FZuParseInitGauss(const char* startup, int run);
int  IZuParseGaussAutoload();
void ZuParseExitGauss();

// Link errors.
void ZuLinkError(int code, const char* text);

}  // extern "C"
