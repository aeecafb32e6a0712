// Object files and import linking: the section writers and readers, the
// loading of one object file, and the search along the imports.
//
// A file is read in two steps.  First every section is decoded into a
// staged program (values owned by the stage, code not yet relocated) and
// checked: a fault of the format leaves the tables untouched.  Then the
// stage is joined to the program: literals and code behind the existing
// ones, symbols linked by name.  A file with link errors is loaded as far
// as it goes, but the records that were already in the table keep their
// values unless the whole file links cleanly, so that rolling back the
// appended part leaves a sound program.
#pragma once

#include "objfile/byte_io.h"
#include "zu.h"

#include <cstdio>
#include <string>
#include <vector>

namespace zu::objfile {

// A symbol entry as read: the record (name malloc'd or null, value owned)
// and, for a class, the name of its base class.
struct StagedSymbol {
    ZuNAMEDVALUE record{};
    bool hasBase = false;  // a class with a base class, named here:
    std::string baseName;
};

// Everything one file holds, owned until it is joined to the program.
class StagedProgram {
public:
    StagedProgram() = default;
    StagedProgram(const StagedProgram&) = delete;
    StagedProgram& operator=(const StagedProgram&) = delete;
    ~StagedProgram();

    std::vector<ZuVALUE> literals;
    std::vector<StagedSymbol> symbols;
    std::vector<ZuPCODE> code;  // operands as in the file
};

// ---- writing ---------------------------------------------------------------

// The section writers; each reports "writing file" when the stream has
// failed.  `map` gives each table symbol its number in the file, -1 for
// one that is not written.
void ZuPutHeader(ByteWriter& out);
void ZuPutLiteralStack(ByteWriter& out, const ZuVALUE* literals, int n);
void ZuPutSymbolStack(ByteWriter& out, const ZuNAMEDVALUE* symbols, int n, const std::vector<int>& map);
void ZuPutPcodeStack(ByteWriter& out, const ZuPCODE* code, int n, const std::vector<int>& map);

// ---- reading ---------------------------------------------------------------

// Checks the header and reads the info section; resets the link-error
// count.  Reports its own faults with the file name.
bool FZuGetHeader(ByteReader& in, const char* name);
// The marker and count of a section; -1 after a fault.
int IZuGetLiteralStackSize(ByteReader& in);
int IZuGetPcodeStackSize(ByteReader& in);
// Decode n entries into the stage (and the section's end marker).
void IZuGetLiteralStack(ByteReader& in, int n, StagedProgram& stage);
void IZuGetSymbolStack(ByteReader& in, StagedProgram& stage);
void IZuGetPcodeStack(ByteReader& in, int n, StagedProgram& stage);
// Operands and code addresses that do not lie inside the file's own
// sections are "file error".
bool CheckStage(ByteReader& in, const StagedProgram& stage);

// Decodes and checks a whole file.  False (with the fault reported) when
// the file is not sound.
bool ReadObjectFile(std::FILE* file, const char* name, StagedProgram& stage);

// Joins a checked stage to the open tables; returns the link errors.
int JoinStage(StagedProgram& stage);

// Loads one object file into the program; the number of link errors.
int LoadObjectFile(std::FILE* file, const char* name);

// Finds a file along the include path, else in the directory of any import
// name that has one; the found name is left in foundPath (ZU_PATH_MAX
// bytes).  True when found.
bool ZuSearchAlongImports(char* foundPath, const char* name, const char* defaultExtension);

}  // namespace zu::objfile
