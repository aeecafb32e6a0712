// IZuLink and FZuLinkIntFunction: binding the externals of a program.
#include "run/link.h"

#include "program/pcode.h"
#include "value/function_table.h"
#include "value/heap.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace zu::run {
using program::code;
using program::Op;

namespace {

// Library names longer than this are not looked up as packages.
constexpr std::size_t kMaxPackageName = 48;

std::vector<char*> linkedTexts;  // signatures of symbols bound to extension routines

void BindRoutine(ZuVALUE& v, int count, char* declaration, ZuLIBFUNC routine) {
    v.t = (v.t & ~(ZU_TYPE_MASK | ZU_FLAG_EXT)) | ZU_INTFUNC;
    v.w1.i = count;
    v.w2.i = 0;
    v.w3.s = declaration;
    v.w4.p = nullptr;
    v.w5.p = reinterpret_cast<void*>(routine);
}

// Tries a found path of a library; the routine, or null.
void* TryPath(const char* path, const std::string& function) {
    int err = 0;
    return GetDynamicLink(path, function.c_str(), &err);
}

// The library's file found along a search; empty when not found.
std::string Found(const std::string& name) {
    char found[ZU_PATH_MAX] = "";
    FILE* f = ZuFileOpenSearch(name.c_str(), 1, 0, found, ".so");
    if (!f) return {};
    std::fclose(f);
    return found;
}

// The directories of the imported files that name one.
std::vector<std::string> ImportDirectories() {
    std::vector<std::string> dirs;
    ZuVALUE* literals = ZuGetLitStack();
    int n = ZuGetLitStackCount();
    for (int i = 0; literals && i < n; ++i) {
        const ZuVALUE& v = literals[i];
        if ((v.t & ZU_TYPE_MASK) != ZU_IMPORTNAME || !v.w1.s) continue;
        std::string name = v.w1.s;
        std::size_t slash = name.find_last_of("/\\");
        if (slash != std::string::npos) dirs.push_back(name.substr(0, slash + 1));
    }
    return dirs;
}

void* SearchAlongImports(const std::string& library, const std::string& function) {
    std::string path = Found(library);
    if (!path.empty())
        if (void* routine = TryPath(path.c_str(), function)) return routine;
    for (const std::string& dir : ImportDirectories()) {
        std::string candidate = dir + library;
        if (candidate.find('.', dir.size()) == std::string::npos) candidate += ".so";
        if (FILE* f = std::fopen(candidate.c_str(), "rb")) {
            std::fclose(f);
            if (void* routine = TryPath(candidate.c_str(), function)) return routine;
        }
    }
    return nullptr;
}

void* SearchPackage(const std::string& library, const std::string& function) {
    if (library.size() >= kMaxPackageName || library.find_first_of("/\\") != std::string::npos) return nullptr;
    std::string path = Found("packages/" + library + "/" + library);
    return path.empty() ? nullptr : TryPath(path.c_str(), function);
}

// The routine of an extension library, searched as given, along the
// imports and as a package; reports what failed.
void* LoadRoutine(const std::string& library, const std::string& function) {
    int err = 0;
    if (void* routine = GetDynamicLink(library.c_str(), function.c_str(), &err)) return routine;
    if (err == 2) {
        ZuLinkError(18, function.c_str());
        return nullptr;
    }
    if (void* routine = SearchAlongImports(library, function)) return routine;
    if (void* routine = SearchPackage(library, function)) return routine;
    ZuLinkError(17, library.c_str());
    return nullptr;
}

// An external function whose declaration names "library,function" after
// an at sign.
void LinkExtension(ZuNAMEDVALUE& symbol) {
    char* text = symbol.val.w3.s;
    char* at = std::strchr(text, '@');
    const char* link = at + 1;
    const char* comma = std::strchr(link, ',');
    if (!comma) {
        ZuLinkError(16, link);
        return;
    }
    std::string library(link, static_cast<std::size_t>(comma - link));
    std::string function(comma + 1);
    void* routine = LoadRoutine(library, function);
    if (!routine) return;
    *at = '\0';
    linkedTexts.push_back(text);
    BindRoutine(symbol.val, symbol.val.w1.i, text, reinterpret_cast<ZuLIBFUNC>(routine));
}

// The globals that NEW, LOD and STO use.
std::vector<bool> UsedGlobals(const ZuPCODE* program, int length, int count) {
    std::vector<bool> used(static_cast<std::size_t>(count > 0 ? count : 0), false);
    for (int a = 0; program && a < length; ++a) {
        int op = program[a].op;
        int i = program[a].arg;
        if ((op == code(Op::NEW) || op == code(Op::LOD) || op == code(Op::STO)) && i >= 0 && i < count)
            used[static_cast<std::size_t>(i)] = true;
    }
    return used;
}

}  // namespace

void ReleaseLinkedTexts() {
    for (char* text : linkedTexts) value::HeapFree(text);
    linkedTexts.clear();
}

}  // namespace zu::run

using namespace zu::run;

extern "C" {

int FZuLinkIntFunction(ZuNAMEDVALUE* symbol) {
    if (!symbol || !symbol->name) return 0;
    const zu::value::FunctionEntry* entry = zu::value::FindFunction(symbol->name);
    if (!entry) return 0;
    // The compiler's signature of an extern declaration gives way to the
    // table's declaration, which lives as long as the table.
    if ((symbol->val.t & ZU_TYPE_MASK) == ZU_FUNCTION) zu::value::HeapFree(symbol->val.w3.s);
    BindRoutine(symbol->val, entry->count, const_cast<char*>(entry->declaration), entry->routine);
    return 1;
}

int IZuLink(ZuPCODE* code, int codeLength, int mainPosition) {
    ZuNAMEDVALUE* globals = ZuGetSymGloBase();
    int count = ZuGetSymTabCount();
    for (int i = count - 1; globals && i >= 0; --i) {
        ZuNAMEDVALUE& symbol = globals[i];
        if (!symbol.name || !(symbol.val.t & ZU_FLAG_EXT)) continue;
        if (FZuLinkIntFunction(&symbol)) continue;
        if ((symbol.val.t & ZU_TYPE_MASK) == ZU_FUNCTION && symbol.val.w3.s && std::strchr(symbol.val.w3.s, '@'))
            LinkExtension(symbol);
    }
    std::vector<bool> used = UsedGlobals(code, codeLength, count);
    for (int i = 0; globals && i < count; ++i) {
        ZuNAMEDVALUE& symbol = globals[i];
        int type = symbol.val.t & ZU_TYPE_MASK;
        if (symbol.name && (symbol.val.t & ZU_FLAG_EXT) && used[static_cast<std::size_t>(i)])
            ZuLinkError(type == ZU_FUNCTION ? 12 : 13, symbol.name);
        if (type != ZU_CLASS) symbol.val.t &= ~ZU_FLAG_STA;
        if (code && mainPosition >= 0 && mainPosition < codeLength && type == ZU_FUNCTION && symbol.name &&
            std::strcmp(symbol.name, "main") == 0)
            code[mainPosition].arg = i;
    }
    return IZuGetLinkErrors();
}

}  // extern "C"
