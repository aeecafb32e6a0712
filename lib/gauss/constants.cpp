// Gauss constants: the elements of "{ }", let and declare, and the
// declaration statements declare and external.
#include "gauss/gauss_parser.h"

#include "program/literals.h"
#include "compiler/scanner.h"
#include "program/symbols.h"
#include "program/tokens.h"
#include "program/pcode.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace zu::gauss {

using compiler::Emit;
using compiler::Error;
using compiler::State;
using program::code;
using program::literalTable;
using program::Op;
using program::symbolTable;
namespace tok = program::tok;

namespace {

// Bounds a constant matrix as the Zu matrix constants are bounded.
constexpr long kMaxElements = 1L << 24;

// The first 8 bytes of a text as the bytes of a double.
double characterElement(std::string_view text) {
    if (text.size() > 8 && State().warningLevel > 0) Error(Msg::WarnLongString, text);
    char bytes[8] = {};
    std::memcpy(bytes, text.data(), std::min<std::size_t>(text.size(), 8));
    double d;
    std::memcpy(&d, bytes, sizeof d);
    return d;
}

// The elements read so far and the shape they came in.
struct Elements {
    std::vector<double> values;
    std::vector<int> rowLengths;  // for "{ }": elements in each row
    bool onlyText = true;         // every element was a name or string
    std::string firstText;        // the text of a lone string element
};

// Elements up to one of the stop tokens (not taken); commas separate rows
// when `rows` is set and are ignored otherwise.
void readElements(Elements& e, bool rows, int stop) {
    int inRow = 0;
    for (;;) {
        const int t = GPeek();
        if (t == stop || t == tok::Semicolon || t == tok::Eof || t == tok::SemiSemi) break;
        if (t == tok::Comma) {
            GNext();
            if (rows) {
                e.rowLengths.push_back(inRow);
                inRow = 0;
            }
            continue;
        }
        double d = 0;
        std::string text;
        bool isText = false;
        if (!ParseConstantElement(d, text, isText)) {
            GNext();
            Error(Msg::MustBeConstant, State().text);
            continue;
        }
        if (static_cast<long>(e.values.size()) >= kMaxElements) {
            Error(Msg::OutOfMemory);
            return;
        }
        if (!isText)
            e.onlyText = false;
        else if (e.values.empty())
            e.firstText = text;
        e.values.push_back(d);
        ++inRow;
    }
    if (rows) e.rowLengths.push_back(inRow);
}

// An r by c matrix value (owned) of the values, row by row.
ZuVALUE matrixValue(const std::vector<double>& values, int r, int c) {
    ZuVALUE v{};
    v.t = ZU_MATRIX | ZU_FLAG_VAL;
    double** m = MatAllocBlock(r, c);
    if (!m) {
        Error(Msg::OutOfMemory);
        v.t = ZU_INT;
        return v;
    }
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j)
            m[i][j] = values.empty() ? 0.0 : values[static_cast<std::size_t>(i * c + j) % values.size()];
    v.w1.i = r;
    v.w2.i = c;
    v.w3.m = m;
    return v;
}

// A constant value as an operand: ints coded in LTI, the rest literals.
Operand literalOperand(ZuVALUE v) {
    Operand x;
    x.kind = Storage::Constant;
    if ((v.t & ZU_TYPE_MASK) == ZU_INT) {
        x.op = code(Op::LTI);
        x.index = v.w1.i;
        return x;
    }
    v.t = (v.t & ~ZU_FLAG_VAL) | ZU_FLAG_CON;
    x.op = code(Op::LIT);
    x.index = literalTable().add(v);
    return x;
}

// The value a list of elements makes: one number alone is a scalar (an
// int when it is one), a string alone a string, more a column (or r by c
// when dimensions are given).
ZuVALUE elementsValue(const Elements& e, int rows, int columns, bool quotedString) {
    if (rows > 0) {
        if (static_cast<double>(rows) * columns > kMaxElements) {
            Error(Msg::OutOfMemory);
            ZuVALUE none{};
            none.t = ZU_INT;
            return none;
        }
        if (!e.values.empty() && e.values.size() != 1 &&
            e.values.size() != static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns))
            Error(Msg::WrongElementCount);
        return matrixValue(e.values, rows, columns);
    }
    if (e.values.size() == 1) {
        if (quotedString) return compiler::ConstValue::string(e.firstText).release();
        ZuVALUE v{};
        const double d = e.values[0];
        if (!e.onlyText && d == std::trunc(d) && std::fabs(d) < 2147483647.0 && !(d == 0 && std::signbit(d))) {
            v.t = ZU_INT;
            v.w1.i = static_cast<int>(d);
        } else {
            v.t = ZU_DOUBLE;
            v.w1.d = d;
        }
        return v;
    }
    if (e.values.empty()) {
        ZuVALUE v{};
        v.t = ZU_INT;
        return v;
    }
    if (e.rowLengths.size() > 1) {
        const int c = e.rowLengths[0];
        for (int n : e.rowLengths)
            if (n != c) Error(Msg::WrongElementCount);
        const int r = static_cast<int>(e.rowLengths.size());
        if (static_cast<std::size_t>(r) * static_cast<std::size_t>(c) != e.values.size())
            return matrixValue(e.values, r, 1);
        return matrixValue(e.values, r, c);
    }
    return matrixValue(e.values, static_cast<int>(e.values.size()), 1);
}

// A dimension of let: an integer constant of at least 1.
int letDimension() {
    if (!GExpect(tok::Int)) return 1;
    const long n = std::strtol(State().text.c_str(), nullptr, 10);
    if (n < 1 || n > kMaxElements) {
        Error(Msg::DimensionBelowOne);
        return 1;
    }
    return static_cast<int>(n);
}

// The constants after let or declare's operator: "{ rows }" or a list.
ZuVALUE constantsValue(int rows, int columns) {
    Elements e;
    bool quoted = false;
    if (GAccept(tok::LBrace)) {
        readElements(e, true, tok::RBrace);
        GExpect(tok::RBrace);
    } else {
        quoted = GPeek() == tok::String;
        readElements(e, false, tok::Semicolon);
    }
    if (e.values.size() != 1) quoted = false;
    return elementsValue(e, rows, columns, quoted);
}

// Stores a value into a global's record, freeing the old one.
void storeConstant(int g, ZuVALUE v) {
    ZuVALUE& old = symbolTable()[g].val;
    const int keep = old.t & (ZU_FLAG_GLO | ZU_FLAG_STA);
    ZuFreeValue(&old);
    old = v;
    old.t = (v.t & ~ZU_FLAG_CON) | keep | ZU_FLAG_GLO;
}

}  // namespace

bool ParseConstantElement(double& out, std::string& text, bool& isText) {
    isText = false;
    int t = GPeek();
    double sign = 1;
    if (t == tok::Minus || t == tok::Plus) {
        GNext();
        sign = t == tok::Minus ? -1 : 1;
        t = GPeek();
    }
    switch (t) {
    case tok::Int:
    case tok::Double:
        GNext();
        out = sign * std::strtod(State().text.c_str(), nullptr);
        return true;
    case tok::HexDouble:
        GNext();
        out = sign * compiler::HexDoubleValue(State().text);
        return true;
    case tok::Dot:
        GNext();
        out = std::numeric_limits<double>::quiet_NaN();
        return true;
    case tok::Complex:
        GNext();
        RefuseComplex(State().text);
        out = std::numeric_limits<double>::quiet_NaN();
        return true;
    case tok::Identifier:
    case tok::String:
        GNext();
        text = State().text;
        // Gauss keeps an unquoted name in upper case (the scanner has
        // lower-cased it), a quoted string as written.
        if (t == tok::Identifier)
            for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        isText = true;
        out = characterElement(text);
        return true;
    default: return false;
    }
}

// { elements , elements ... }
Operand ParseMatrixLiteral() {
    Elements e;
    readElements(e, true, tok::RBrace);
    GExpect(tok::RBrace);
    if (e.values.empty()) {
        Error(Msg::WrongElementCount);
        e.values.push_back(0);
        e.rowLengths = {1};
    }
    const int c = e.rowLengths[0];
    for (int n : e.rowLengths)
        if (n != c) {
            Error(Msg::WrongElementCount);
            return literalOperand(matrixValue(e.values, static_cast<int>(e.values.size()), 1));
        }
    return literalOperand(matrixValue(e.values, static_cast<int>(e.rowLengths.size()), c));
}

// let x [ "[" r [, c] "]" ] [=] constants ;
void LetStatement() {
    if (!GExpect(tok::Identifier)) {
        SkipStatement();
        return;
    }
    const std::string name = State().text;
    int rows = 0, columns = 1;
    if (GAccept(tok::LBracket)) {
        rows = letDimension();
        if (GAccept(tok::Comma)) columns = letDimension();
        GExpect(tok::RBracket);
    }
    Operand found = ResolveGaussName(name, true);
    GAccept(tok::Assign);
    ZuVALUE v = constantsValue(rows, columns);
    Operand target;
    if (found.function) {
        if (Procedure().active) {
            Error(Msg::ClearOrLetOnFunction, name);
            ZuFreeValue(&v);
            GAccept(tok::Semicolon);
            return;
        }
        target.kind = Storage::Global;
        target.index = DeclareGaussGlobal(name);
    } else {
        target = found;
    }
    if (target.kind == Storage::Global) symbolTable()[target.index].val.t &= ~ZU_FLAG_NUL;
    Operand value = literalOperand(v);
    compiler::Load(value);
    compiler::Store(target);
    compiler::LineMarker();
    if (!GAccept(tok::SemiSemi)) GExpect(tok::Semicolon);
}

// declare [matrix|string] name [op constants], ... ;
void DeclareStatement() {
    GAccept(tok::GExternal);
    bool isString = false;
    const int t = GPeek();
    if (t == tok::GFn || t == tok::GKeyword || t == tok::GProc) {
        GNext();
        Error(Msg::OutOfPlace, SZuTokenName(t));
        SkipStatement();
        return;
    }
    if (t == tok::KwMatrix) {
        GNext();
    } else if (t == tok::KwString) {
        GNext();
        isString = true;
    }
    do {
        if (!GExpect(tok::Identifier)) break;
        const std::string name = State().text;
        int g = FindGaussGlobal(name);
        const bool existed = g >= 0 && !(symbolTable()[g].val.t & ZU_FLAG_NUL);
        if (g < 0) g = DeclareGaussGlobal(name, isString);
        if (!isString && !existed) {
            ZuVALUE& v = symbolTable()[g].val;
            v.t = ZU_INT | ZU_FLAG_GLO;
            v.w1.i = 0;
        }
        symbolTable()[g].val.t &= ~ZU_FLAG_NUL;
        // The operators "=", "?=", ":=" and "!=".
        int op = 0;
        if (GAccept(tok::Assign)) {
            op = '=';
        } else if (GPeek() == tok::Query || GPeek() == tok::Colon || GPeek() == tok::Bang) {
            const int first = GNext();
            if (GExpect(tok::Assign)) op = first == tok::Query ? '?' : first == tok::Colon ? ':' : '!';
        }
        if (op == 0) continue;
        ZuVALUE v = constantsValue(0, 1);
        if (op == ':' && existed) {
            Error(Msg::DuplicateIdentifier, GaussName(name));
            ZuFreeValue(&v);
        } else if (op == '?' && existed) {
            ZuFreeValue(&v);
        } else {
            storeConstant(g, v);
        }
    } while (GAccept(tok::Comma));
    if (!GAccept(tok::SemiSemi)) GExpect(tok::Semicolon);
}

// external proc|fn|keyword|string|matrix name [,] name ... ;
void ExternalStatement() {
    // The word after external says what the names are: any word other
    // than proc, fn, keyword and string means matrices.
    const int t = GNext();
    const bool function = t == tok::GProc || t == tok::GFn || t == tok::GKeyword;
    const bool isString = t == tok::KwString;
    for (int n = GPeek(); n == tok::Identifier || n == tok::Comma; n = GPeek()) {
        GNext();
        if (n == tok::Comma) continue;
        const std::string name = State().text;
        if (function) {
            const int g = DeclareExternalFunction(name, 0, t == tok::GKeyword ? kKeywordFlag : 0);
            if (t == tok::GKeyword) symbolTable()[g].val.t |= kKeywordFlag;
        } else if (FindGaussGlobal(name) < 0) {
            const int g = DeclareGaussGlobal(name, isString);
            symbolTable()[g].val.t &= ~ZU_FLAG_NUL;
        }
    }
    if (!GAccept(tok::SemiSemi)) GExpect(tok::Semicolon);
}

}  // namespace zu::gauss
