// Entry points of the later stages that the driver and the console layer
// call: the scanner, compiler, linker, object files, interpreter, run-time
// library, kernels and the ZuGauss mode.
#pragma once

#include "zu.h"

extern "C" {

// The compiler, the interpreter, ZuStdClosePrintBuffer, ZuLibFreeFunctions
// and ZuLinkError are declared in zu.h.

// Object files and imports (lib/objfile).
// Loads one import: a directory name loads nothing; an object file found
// along the include path is linked, else the source is compiled in.  The
// result is the number of errors.
int  IZuGetImportFile(const char* name, int linked, int gaussFlag);
// Loads every import the literal table records until a pass finds none
// new; 1 after a failing load, else 0.
int  IZuParseLinkImports();
// Writes the program to an object file and closes the stream; 1 when it
// was all written, 0 after "writing file".
int  ZuWriteCode(FILE* file);

// Run-time library.
void ZuAddStdLib();
void ZuAddStdIOLib();
void ZuAddArmaLib();
void ZuAddProbLib();
void ZuAddGaussStdLib();
void ZuAddGaussStdIOLib();

// ZuGauss mode.
// Compiles the current source as ZuGauss main code and procedures, with
// the scanner started by the caller; the result is the parser's errors.
int  IZuParseGaussMain();
int  FZuParseInitGauss(const char* startup, int run);
int  IZuParseGaussAutoload();
void ZuParseExitGauss();

}  // extern "C"
