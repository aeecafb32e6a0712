// Loading imports: one object file, one import by name (object file
// first, else the source), the loop over the imports the literal table
// records, and the search for files beside the imports.
#include "objfile/objfile.h"

#include "program/literals.h"
#include "program/symbols.h"
#include "zu.h"

#include <cstring>
#include <string>
#include <strings.h>

namespace zu::objfile {
namespace {

bool isDirectory(const char* name) {
    const std::size_t n = std::strlen(name);
    return n > 0 && (name[n - 1] == '/' || name[n - 1] == '\\');
}

bool namesObjectFile(const char* name) {
    const char* ext = SFileExt(name);
    return !*ext || strcasecmp(ext, ".zuo") == 0;
}

// The object file of an import along the include path, loaded; -1 when
// there is none.
int loadFoundObjectFile(const char* name) {
    char found[ZU_PATH_MAX] = "";
    std::FILE* file = ZuFileOpenSearch(name, 1, 0, found, ".zuo");
    if (!file) return -1;
    const int errors = LoadObjectFile(file, found);
    std::fclose(file);
    return errors;
}

// Compiles the source of an import into the program, in the mode the
// import asks for.
int compileImportSource(const char* name, bool gauss) {
    const int wasGauss = ZuIsGaussMode();
    ZuSetGaussMode(gauss ? 1 : 0);
    const int errors = IZuParseInsertFile(name, 0, 0);
    ZuSetGaussMode(wasGauss);
    if (errors == -1) {
        const std::string text = std::string("Import file not found: ") + name;
        ZuMessage(text.c_str());
        return 1;
    }
    return errors;
}

bool isImport(const ZuVALUE& v) { return (v.t & ZU_TYPE_MASK) == ZU_IMPORTNAME; }

bool linkedBefore(int entry) {
    program::LiteralTable& lt = program::literalTable();
    const char* name = lt[entry].w1.s ? lt[entry].w1.s : "";
    for (int i = 0; i < entry; ++i)
        if (isImport(lt[i]) && lt[i].w2.i && lt[i].w1.s && strcasecmp(lt[i].w1.s, name) == 0) return true;
    return false;
}

// One pass over the import entries; -1 after a failing load, else the
// number of files loaded.  Loading may add entries (and move the table),
// so entries are taken by index.
int linkImportsOnce() {
    program::LiteralTable& lt = program::literalTable();
    int loaded = 0;
    for (int i = 0; i < lt.count(); ++i) {
        if (!isImport(lt[i]) || lt[i].w2.i) continue;
        lt[i].w2.i = 1;
        if (linkedBefore(i)) continue;
        const std::string name = lt[i].w1.s ? lt[i].w1.s : "";
        const bool gauss = lt[i].w3.i != 0;
        if (IZuGetImportFile(name.c_str(), 0, gauss ? 1 : 0) != 0) return -1;
        ++loaded;
    }
    return loaded;
}

}  // namespace

int LoadObjectFile(std::FILE* file, const char* name) {
    StagedProgram stage;
    if (!ReadObjectFile(file, name, stage)) return IZuGetLinkErrors() > 0 ? IZuGetLinkErrors() : 1;
    return JoinStage(stage);
}

bool ZuSearchAlongImports(char* foundPath, const char* name, const char* defaultExtension) {
    if (!foundPath || !name) return false;
    if (std::FILE* f = ZuFileOpenSearch(name, 1, 0, foundPath, defaultExtension)) {
        std::fclose(f);
        return true;
    }
    const bool addExtension = defaultExtension && *defaultExtension && !*SFileExt(name);
    program::LiteralTable& lt = program::literalTable();
    for (int i = 0; i < lt.count(); ++i) {
        if (!isImport(lt[i]) || !lt[i].w1.s) continue;
        const std::string import = lt[i].w1.s;
        const std::size_t slash = import.find_last_of("/\\");
        if (slash == std::string::npos) continue;
        std::string candidate = import.substr(0, slash + 1) + name;
        if (addExtension) candidate += defaultExtension;
        if (candidate.size() >= ZU_PATH_MAX) continue;
        if (std::FILE* f = FileOpen(candidate.c_str(), "rb")) {
            std::fclose(f);
            std::memcpy(foundPath, candidate.c_str(), candidate.size() + 1);
            return true;
        }
    }
    return false;
}

}  // namespace zu::objfile

using namespace zu::objfile;

extern "C" {

// The caller's linked flag does not change what is loaded: the import
// loop has marked the entry already, and the link pragma records its own.
int IZuGetImportFile(const char* name, int /*linked*/, int gaussFlag) {
    if (!name || !zu::program::symbolTable().isOpen() || !zu::program::literalTable().isOpen()) {
        ZuLinkError(static_cast<int>(LinkError::kNotInitialized), name);
        return 1;
    }
    if (isDirectory(name)) return 0;
    if (gaussFlag && !FZuParseInitGauss("zugauss.zu", 1)) return 1;
    if (namesObjectFile(name)) {
        const int errors = loadFoundObjectFile(name);
        if (errors >= 0) return errors;
    }
    return compileImportSource(name, gaussFlag != 0);
}

int IZuParseLinkImports(void) {
    for (;;) {
        const int loaded = linkImportsOnce();
        if (loaded < 0) return 1;
        if (loaded == 0) return 0;
    }
}

}  // extern "C"
