// The library statement: catalogues (.lcg) name the source files of a
// Gauss library and the procedures and variables each defines.  Sources
// become ZuGauss imports; the names become external globals.
#include "gauss/gauss_parser.h"

#include "program/literals.h"
#include "program/symbols.h"
#include "program/tokens.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <strings.h>

namespace zu::gauss {

using compiler::Error;
using compiler::State;
using program::literalTable;
using program::symbolTable;
namespace tok = program::tok;

namespace {

// Catalogue lines are read in pieces of this size; a longer line goes on
// in the next piece, which then counts as a line of its own.
constexpr int kLineSize = 256;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string trimRight(std::string s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
    return s;
}

// A name listed by a source: a procedure, a keyword procedure or a
// variable, declared external in the namespace.
void declareListed(const std::string& name, const std::string& type) {
    const int existing = FindGaussGlobal(name);
    const bool function = type != "matrix" && type != "string";
    if (!function) {
        if (existing < 0) {
            const int g = DeclareGaussGlobal(name, type == "string");
            symbolTable()[g].val.t &= ~ZU_FLAG_NUL;
        }
        return;
    }
    if (existing >= 0) {
        ZuVALUE& v = symbolTable()[existing].val;
        const int kind = program::kindOf(v);
        if (kind != ZU_FUNCTION && kind != ZU_INTFUNC) {
            if (!(v.t & ZU_FLAG_NUL) || kind != ZU_INT) {
                Error(Msg::IllegalRedefinition, GaussName(name));
                return;
            }
            // A name only seen so far becomes the procedure.
            v.t = ZU_FUNCTION | ZU_FLAG_GLO | ZU_FLAG_EXT;
            v.w1.i = 0;
            v.w3.s = compiler::CopyText("$" + GaussName(name));
        }
        if (type == "keyword") v.t |= kKeywordFlag;
        return;
    }
    DeclareExternalFunction(name, 0, type == "keyword" ? kKeywordFlag : 0);
}

// The sources of the standard catalogue by the names they define.
std::map<std::string, std::string, std::less<>>& StandardSources() {
    static std::map<std::string, std::string, std::less<>> sources;
    return sources;
}

// "  name [: type] name [: type] ...": each declared; for the standard
// catalogue only where the name is defined is remembered (its procedures
// are declared by their first use, with the count of arguments used, which
// their definitions then match).
void listedNames(const char* line, const std::string* source = nullptr) {
    const char* p = line;
    while (*p) {
        while (*p && !(std::isalnum(static_cast<unsigned char>(*p)) || *p == '_')) ++p;
        if (!*p) break;
        std::string name;
        while (std::isalnum(static_cast<unsigned char>(*p)) || *p == '_')
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(*p++)));
        while (*p == ' ' || *p == '\t') ++p;
        std::string type;
        if (*p == ':') {
            ++p;
            while (*p == ' ' || *p == '\t') ++p;
            while (std::isalpha(static_cast<unsigned char>(*p)))
                type += static_cast<char>(std::tolower(static_cast<unsigned char>(*p++)));
        }
        if (source)
            StandardSources()[name] = *source;
        else
            declareListed(name, type);
    }
}

// The file a source line names: under zugauss/src unless it is a path.
std::string sourcePath(const std::string& line) {
    std::string source = trimRight(line);
    if (source.find(':') == std::string::npos && source[0] != '/' && source[0] != '\\')
        source = "zugauss/src/" + source;
    return source;
}

// Reads a catalogue: a standard one only remembers its sources, which
// autoload compiles when a program uses one of their names; any other has
// its sources recorded as ZuGauss imports at once.
bool readCatalogue(const std::string& name, bool standard = false) {
    char found[ZU_PATH_MAX] = "";
    const std::string path = "zugauss/lib/" + name;
    std::unique_ptr<std::FILE, FileCloser> file(ZuFileOpenSearch(path.c_str(), 0, 0, found, ".lcg"));
    if (!file) return false;
    char line[kLineSize];
    std::string source;
    while (std::fgets(line, sizeof line, file.get())) {
        const std::size_t n = std::strlen(line);
        if (n < 2 || std::strncmp(line, "/*", 2) == 0 || line[0] == '*') continue;
        if (std::isspace(static_cast<unsigned char>(line[0]))) {
            listedNames(line, standard ? &source : nullptr);
        } else {
            source = sourcePath(line);
            if (!standard) literalTable().addImport(source, false, true);
        }
    }
    return true;
}

}  // namespace

void ReadStandardCatalogue() {
    StandardSources().clear();
    (void)readCatalogue("gauss", true);
}

std::string StandardSource(std::string_view name) {
    auto it = StandardSources().find(name);
    return it == StandardSources().end() ? std::string() : it->second;
}

// library name, name ... ;
void LibraryStatement() {
    for (;;) {
        SkipSpaces();
        const int t = GPeek();
        if (t == tok::Comma) {
            GNext();
            continue;
        }
        if (t != tok::Identifier && t != tok::String) break;
        GNext();
        const std::string name = State().text;
        if (strcasecmp(name.c_str(), "gauss") == 0) continue;
        if (!readCatalogue(name)) Error(Msg::FileNotFound, name);
    }
    if (!GAccept(tok::Semicolon) && GPeek() != tok::Eof) {
        compiler::ExpectedError(tok::Semicolon, GPeek());
        SkipStatement();
    }
}

}  // namespace zu::gauss
