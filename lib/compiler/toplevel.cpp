// The top level: global variables and constants, enums, functions,
// classes, namespaces, pragmas and imports.
#include "compiler/parser.h"

#include "program/literals.h"
#include "program/symbols.h"
#include "program/tokens.h"
#include "zu.h"

#include <cstdlib>
#include <limits>

namespace zu::compiler {
namespace tok = program::tok;
using program::Declaration;
using program::Declared;
using program::kindOf;
using program::literalTable;
using program::SymbolTable;
using program::symbolTable;

namespace {

// ---------------------------------------------------------------------------
// Global variables and constants

// A dimensioned global: an r by c matrix filled with the initialiser.
ZuVALUE filledMatrix(int rows, int columns, const ConstValue& init) {
    ZuVALUE v{};
    v.t = ZU_MATRIX | ZU_FLAG_VAL;
    double fill = 0;
    if (init.isNumber())
        fill = init.number();
    else
        Error(Msg::MustBeScalar);
    if (static_cast<double>(rows) * columns > (1 << 24)) {
        Error(Msg::OutOfMemory);
        return v;
    }
    double** m = MatAllocBlock(rows, columns);
    if (!m) {
        Error(Msg::OutOfMemory);
        return v;
    }
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) m[i][j] = fill;
    v.w1.i = rows;
    v.w2.i = columns;
    v.w3.m = m;
    return v;
}

int dimension() {
    ConstValue v = ParseConstExpression();
    Expect(tok::RBracket);
    if (v.kind() != ZU_INT) {
        Error(Msg::MustBeInteger);
        return 1;
    }
    const int n = v.value().w1.i;
    if (n < 1) {
        Error(Msg::DimensionBelowOne);
        return 1;
    }
    return n;
}

// Puts a value into a new or completed global.
void defineGlobal(const std::string& name, int flags, ZuVALUE value, bool hasValue) {
    SymbolTable& st = symbolTable();
    if (const int old = st.find(name, 0, st.count());
        old >= 0 && (flags & ZU_FLAG_CON) && (st[old].val.t & ZU_FLAG_CON)) {
        if (!SameValue(st[old].val, value)) Error(Msg::ConstantRedefined, name);
        ZuFreeValue(&value);
        return;
    }
    const int kind = kindOf(value);
    const Declaration d = st.declare(name, kind | ZU_FLAG_GLO | flags, 0);
    if (d.outcome == Declared::Duplicate || d.outcome == Declared::Existing) {
        ZuFreeValue(&value);
        return;
    }
    ZuVALUE& v = st[d.index].val;
    // A completed extern may be a function declaration, whose record owns
    // its signature text.
    if (d.outcome == Declared::Completed) ZuFreeValue(&v);
    v = value;
    v.t = value.t | ZU_FLAG_GLO | flags;
    if (!hasValue && (flags & ZU_FLAG_EXT)) v.t |= ZU_FLAG_NUL;
}

// decl name [[r][c]] [= constant], ... ;
void globals(int flags) {
    Next();
    do {
        if (!Expect(tok::Identifier)) break;
        const std::string name = Qualified(State().text);
        int rows = 0, columns = 1;
        if (Accept(tok::LBracket)) {
            rows = dimension();
            if (Accept(tok::LBracket)) columns = dimension();
        }
        ConstValue init;
        bool hasValue = false;
        if (Accept(tok::Assign)) {
            if (flags & ZU_FLAG_EXT) Error(Msg::CannotInitializeExternal, name);
            init = ParseConstExpression();
            hasValue = true;
        }
        ZuVALUE value = rows > 0 ? filledMatrix(rows, columns, init) : init.release();
        defineGlobal(name, flags, value, hasValue || rows > 0);
    } while (Accept(tok::Comma));
    Expect(tok::Semicolon);
}

// enum [name] { name [= integer], ... } [;]
void enumeration() {
    Next();
    Accept(tok::Identifier);
    Expect(tok::LBrace);
    int next = 0;
    while (Peek() == tok::Identifier) {
        Next();
        const std::string name = Qualified(State().text);
        if (Accept(tok::Assign)) next = ParseConstInt();
        ZuVALUE v{};
        v.t = ZU_INT;
        v.w1.i = next;
        defineGlobal(name, ZU_FLAG_CON | ZU_FLAG_STA, v, true);
        next = next == std::numeric_limits<int>::max() ? next : next + 1;
        if (!Accept(tok::Comma)) break;
    }
    Expect(tok::RBrace);
    Accept(tok::Semicolon);
}

// ---------------------------------------------------------------------------
// Prefixed items

// What follows extern, static or inline: variables or a function.
void declarationAfterPrefix(int flags, std::string_view link) {
    const int t = Peek();
    if (t == tok::KwDecl) {
        globals(flags);
    } else if (t == tok::KwConst) {
        Next();
        if (Peek() != tok::KwDecl) {
            Error(Msg::OutOfPlace, SZuTokenName(Peek()));
            return;
        }
        globals(flags | ZU_FLAG_CON | ZU_FLAG_STA);
    } else if (t == tok::Identifier) {
        Next();
        const std::string name = State().text;
        ParseFunction(name, flags, link);
    } else {
        Next();
        Error(Msg::FunctionDeclarationExpected, SZuTokenName(t));
    }
}

// extern ["link"] declaration
void externItem() {
    Next();
    if (Peek() == tok::KwStatic) {
        Next();
        Error(Msg::TypeSpecifierUnexpected, "static");
    }
    std::string link;
    if (Accept(tok::String)) link = State().text;
    declarationAfterPrefix(ZU_FLAG_EXT, link);
}

// static declaration   inline function
void staticItem(bool isInline) {
    Next();
    if (Peek() == tok::KwExtern) {
        Next();
        Error(Msg::TypeSpecifierUnexpected, "extern");
    }
    declarationAfterPrefix(ZU_FLAG_STA | (isInline ? ZU_FLAG_INL : 0), {});
}

// namespace name { top-level items }
void namespaceItem() {
    ParseState& s = State();
    Next();
    if (Peek() != tok::Identifier) {
        Error(Msg::EmptyNamespace);
        if (Accept(tok::LBrace)) ParseTopLevel(true);
        return;
    }
    Next();
    const std::string name = s.text;
    if (!s.nameSpace.empty()) {
        Error(Msg::NestedNamespace, name);
        if (Accept(tok::LBrace)) ParseTopLevel(true);
        return;
    }
    if (!Expect(tok::LBrace)) return;
    s.nameSpace = name;
    ParseTopLevel(true);
    s.nameSpace.clear();
}

// #pragma name ( operand )
void pragmaItem() {
    Next();
    if (!Expect(tok::Identifier)) return;
    const std::string name = State().text;
    if (!Expect(tok::LParen)) return;
    if (name == "array_base") {
        if (Expect(tok::Int)) State().arrayBase = std::atoi(State().text.c_str());
    } else if (name == "link") {
        if (Expect(tok::String)) {
            const std::string file = State().text;
            literalTable().addImport(file, true, false);
            if (IZuGetImportFile(file.c_str(), 1, 0) != 0) Error(Msg::LinkErrors, file);
        }
    } else {
        Next();
    }
    Expect(tok::RParen);
}

// The import token: its name is linked after compilation.
void importItem() {
    Next();
    std::string name = State().text;
    bool gauss = false;
    if (name.rfind("gauss::", 0) == 0) {
        name.erase(0, 7);
        gauss = true;
    }
    literalTable().addImport(name, false, gauss);
}

void topLevelItem() {
    const int t = Peek();
    switch (t) {
    case tok::KwClass:
        ParseClass();
        Accept(tok::Semicolon);
        return;
    case tok::KwDecl: globals(0); return;
    case tok::KwConst:
        Next();
        if (Peek() == tok::KwDecl)
            globals(ZU_FLAG_CON | ZU_FLAG_STA);
        else
            Error(Msg::OutOfPlace, "const");
        return;
    case tok::KwExtern: externItem(); return;
    case tok::KwStatic: staticItem(false); return;
    case tok::KwInline: staticItem(true); return;
    case tok::KwEnum: enumeration(); return;
    case tok::KwNamespace: namespaceItem(); return;
    case tok::Pragma: pragmaItem(); return;
    case tok::Import: importItem(); return;
    case tok::Identifier: {
        Next();
        const std::string name = State().text;
        if (Accept(tok::ColonColon))
            ParseMemberDefinition(name);
        else
            ParseFunction(name, 0, {});
        return;
    }
    default:
        Next();
        Error(Msg::OutOfPlace, SZuTokenName(t));
        return;
    }
}

}  // namespace

std::string Qualified(std::string_view name) {
    const std::string& ns = State().nameSpace;
    if (ns.empty()) return std::string(name);
    return ns + "::" + std::string(name);
}

int FindGlobal(std::string_view name) {
    SymbolTable& st = symbolTable();
    if (!State().nameSpace.empty())
        if (const int g = st.findVisibleGlobal(Qualified(name)); g >= 0) return g;
    return st.findVisibleGlobal(name);
}

// { top-level item }
void ParseTopLevel(bool inNamespace) {
    for (;;) {
        symbolTable().ensureRoom();
        const int t = Peek();
        if (t == tok::Eof) {
            if (inNamespace) Error(Msg::UnexpectedEndOfFile);
            return;
        }
        if (t == tok::RBrace && inNamespace) {
            Next();
            return;
        }
        const long before = State().taken;
        topLevelItem();
        if (State().taken == before) Next();
    }
}

}  // namespace zu::compiler
