// The library statement: catalogues (.lcg) name the source files of a
// Gauss library and the procedures and variables each defines.  Sources
// become ZuGauss imports; the names become external globals.
#include "gauss/gauss_parser.h"

#include "compiler/literals.h"
#include "compiler/symbols.h"
#include "compiler/tokens.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <strings.h>

namespace zu::gauss {

using compiler::Error;
using compiler::State;
using compiler::literalTable;
using compiler::symbolTable;
namespace tok = compiler::tok;

namespace {

// Catalogue lines are read in pieces of this size; a longer line goes on
// in the next piece, which then counts as a line of its own.
constexpr int kLineSize = 256;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string trimRight(std::string s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.pop_back();
    return s;
}

// A name listed by a source: a procedure, a keyword procedure or a
// variable, declared external in the namespace.
void declareListed(const std::string& name, const std::string& type)
{
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
        const int kind = compiler::kindOf(v);
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
        if (type == "keyword")
            v.t |= kKeywordFlag;
        return;
    }
    DeclareExternalFunction(name, 0, type == "keyword" ? kKeywordFlag : 0);
}

// "  name [: type] name [: type] ..."
void listedNames(const char* line)
{
    const char* p = line;
    while (*p) {
        while (*p && !(std::isalnum(static_cast<unsigned char>(*p)) || *p == '_'))
            ++p;
        if (!*p)
            break;
        std::string name;
        while (std::isalnum(static_cast<unsigned char>(*p)) || *p == '_')
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(*p++)));
        while (*p == ' ' || *p == '\t')
            ++p;
        std::string type;
        if (*p == ':') {
            ++p;
            while (*p == ' ' || *p == '\t')
                ++p;
            while (std::isalpha(static_cast<unsigned char>(*p)))
                type += static_cast<char>(std::tolower(static_cast<unsigned char>(*p++)));
        }
        declareListed(name, type);
    }
}

// A source line: recorded as a ZuGauss import.
void sourceLine(const std::string& line)
{
    std::string source = trimRight(line);
    if (source.find(':') == std::string::npos && source[0] != '/' && source[0] != '\\')
        source = "zugauss/src/" + source;
    literalTable().addImport(source, false, true);
}

bool readCatalogue(const std::string& name)
{
    char found[ZU_PATH_MAX] = "";
    const std::string path = "zugauss/lib/" + name;
    std::unique_ptr<std::FILE, FileCloser> file(
        ZuFileOpenSearch(path.c_str(), 0, 0, found, ".lcg"));
    if (!file)
        return false;
    char line[kLineSize];
    while (std::fgets(line, sizeof line, file.get())) {
        const std::size_t n = std::strlen(line);
        if (n < 2 || std::strncmp(line, "/*", 2) == 0 || line[0] == '*')
            continue;
        if (std::isspace(static_cast<unsigned char>(line[0])))
            listedNames(line);
        else
            sourceLine(line);
    }
    return true;
}

}  // namespace

// library name, name ... ;
void LibraryStatement()
{
    for (;;) {
        SkipSpaces();
        const int t = GPeek();
        if (t == tok::Comma) {
            GNext();
            continue;
        }
        if (t != tok::Identifier && t != tok::String)
            break;
        GNext();
        const std::string name = State().text;
        if (strcasecmp(name.c_str(), "gauss") == 0)
            continue;
        if (!readCatalogue(name))
            Error(Msg::FileNotFound, name);
    }
    if (!GAccept(tok::Semicolon) && GPeek() != tok::Eof) {
        compiler::ExpectedError(tok::Semicolon, GPeek());
        SkipStatement();
    }
}

}  // namespace zu::gauss
