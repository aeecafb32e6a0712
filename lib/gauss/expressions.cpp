// Gauss expressions: the operator levels, the postfix operators, two-part
// indexes and calls.  The code is the compiler's p-code; only the grammar
// and the name rules are Gauss's.
#include "gauss/gauss_parser.h"

#include "program/literals.h"
#include "compiler/scanner.h"
#include "program/symbols.h"
#include "program/tokens.h"
#include "program/pcode.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
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

// ---------------------------------------------------------------------------
// Token reader: blanks matter only between the items of a print statement

namespace {

struct Pushed {
    int token;
    std::string text;
};
std::vector<Pushed> g_pushed;  // tokens given back, read again first
bool g_spaceItems = false;     // reading print items
int g_depth = 0;               // brackets open inside the current item

bool opens(int t) { return t == tok::LParen || t == tok::LBracket || t == tok::LBrace; }
bool closes(int t) { return t == tok::RParen || t == tok::RBracket || t == tok::RBrace; }

}  // namespace

int GPeek() {
    if (!g_pushed.empty()) return g_pushed.back().token;
    for (;;) {
        const int t = compiler::Peek();
        if (t != tok::Space || (g_spaceItems && g_depth == 0)) return t;
        compiler::Next();
    }
}

int GNext() {
    const int t = GPeek();
    if (!g_pushed.empty()) {
        State().text = std::move(g_pushed.back().text);
        g_pushed.pop_back();
        ++State().taken;  // progress, for the loops that guard against none
    } else {
        compiler::Next();
    }
    if (opens(t))
        ++g_depth;
    else if (closes(t) && g_depth > 0)
        --g_depth;
    return t;
}

bool GAccept(int t) {
    if (GPeek() != t) return false;
    GNext();
    return true;
}

void GUnread(int t, const std::string& text) {
    // A token given back is no progress: taking it again counts it again.
    g_pushed.push_back(Pushed{t, text});
    --State().taken;
    if (opens(t))
        --g_depth;
    else if (closes(t))
        ++g_depth;
}

bool GExpect(int t) {
    if (GAccept(t)) return true;
    compiler::ExpectedError(t, GPeek());
    return false;
}

void SkipSpaces() {
    while (g_pushed.empty() && compiler::Peek() == tok::Space) compiler::Next();
}

bool PendingToken() { return !g_pushed.empty() || State().pushed != compiler::kNoToken; }

std::string RestOfStatement() {
    std::string rest;
    int t = tok::NoToken;
    if (PendingToken()) {
        t = GNext();
        if (t == tok::Semicolon || t == tok::SemiSemi || t == tok::Eof) {
            GUnread(t, State().text);
            return rest;
        }
        rest = State().text;
    }
    // A path read as an operator first ("/usr/lib", "./lib") goes on
    // without a blank: the scanner stopped in the middle of the word.
    const bool partOfPath = t == tok::Slash || t == tok::Dot || t == tok::DotSlash;
    if (partOfPath) rest = SZuTokenName(t);
    IZuScanUnquotedString(1, 1, nullptr);
    std::string more = SZuScanText();
    if (!rest.empty() && !more.empty() && !partOfPath) rest += ' ';
    rest += more;
    while (!rest.empty() && rest.back() == ' ') rest.pop_back();
    return rest;
}

void SkipStatement() {
    for (int t = GPeek(); t != tok::Eof; t = GPeek()) {
        GNext();
        if (t == tok::Semicolon || t == tok::SemiSemi) return;
    }
}

SpaceItems::SpaceItems() : saved(g_spaceItems), savedDepth(g_depth) {
    g_spaceItems = true;
    g_depth = 0;
    ZuSetSpaceMode(1);
}

SpaceItems::~SpaceItems() {
    g_spaceItems = saved;
    g_depth = savedDepth;
    ZuSetSpaceMode(saved ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Names

namespace {

Operand globalOperand(int g) {
    const ZuNAMEDVALUE& r = symbolTable()[g];
    const int kind = program::kindOf(r.val);
    Operand x;
    x.symbol = g;
    x.name = r.name ? r.name : "";
    x.kind = Storage::Global;
    x.index = g;
    x.function = kind == ZU_FUNCTION || kind == ZU_INTFUNC;
    x.classRef = kind == ZU_CLASS;
    return x;
}

// A name the procedure declared local, or one of its arguments.
bool procedureName(const std::string& name, Operand& x) {
    program::SymbolTable& st = symbolTable();
    if (!st.inFunction()) return false;
    if (const int r = st.findLocal(name); r >= 0) {
        x.kind = Storage::Local;
        x.index = compiler::LocalNumber(r);
        x.symbol = r;
        x.name = name;
        return true;
    }
    if (const int r = st.findArgument(name); r >= 0) {
        x.kind = Storage::Argument;
        x.index = r - st.marks().firstArgument;
        x.symbol = r;
        x.name = name;
        return true;
    }
    return false;
}

}  // namespace

std::string GaussName(std::string_view name) {
    if (name.find("::") != std::string_view::npos) return std::string(name);
    return std::string(kNamespace) + "::" + std::string(name);
}

int FindGaussGlobal(std::string_view name) { return symbolTable().findVisibleGlobal(GaussName(name)); }

namespace {

// A new global record for a name of the namespace.  While a procedure is
// compiled it goes in front of the procedure's arguments, which move up by
// one record, so that it stays a global after the procedure ends.
int insertGlobal(const std::string& full) {
    program::SymbolTable& st = symbolTable();
    if (!st.inFunction()) return st.append(full, ZU_INT | ZU_FLAG_GLO);
    program::FunctionMarks& marks = st.marks();
    const int g = st.insert(marks.globalsEnd, full, ZU_INT | ZU_FLAG_GLO);
    ++marks.globalsEnd;
    ++marks.firstArgument;
    ++marks.firstLocal;
    return g;
}

void freeSignature(ZuVALUE& v) {
    std::free(v.w3.s);
    v.w3.s = nullptr;
}

void setFunctionCount(ZuVALUE& v, const std::string& full, int count) {
    freeSignature(v);
    v.w1.i = count;
    v.w3.s = compiler::CopyText(std::string(static_cast<std::size_t>(std::max(count, 0)), ' ') + "$" + full);
}

}  // namespace

int DeclareExternalFunction(std::string_view name, int count, int flags) {
    const std::string full = GaussName(name);
    if (const int g = symbolTable().findVisibleGlobal(full); g >= 0) return g;
    const int g = insertGlobal(full);
    ZuVALUE& v = symbolTable()[g].val;
    v = ZuVALUE{};
    v.t = ZU_FUNCTION | ZU_FLAG_GLO | ZU_FLAG_EXT | flags;
    setFunctionCount(v, full, count);
    return g;
}

int DeclareGaussGlobal(std::string_view name, bool isString) {
    const int g = insertGlobal(GaussName(name));
    ZuVALUE& v = symbolTable()[g].val;
    if (isString) {
        v = compiler::ConstValue::string("").release();
        v.t |= ZU_FLAG_GLO;
    } else {
        v = ZuVALUE{};
        v.t = ZU_INT | ZU_FLAG_GLO | ZU_FLAG_NUL;
    }
    return g;
}

Operand ResolveGaussName(const std::string& name, bool target) {
    Operand x;
    if (procedureName(name, x)) return x;
    if (DataLoopName(name, target, x)) return x;
    const int next = GPeek();
    int g = FindGaussGlobal(name);
    if (g < 0) {
        if (next == tok::LParen || !StandardSource(name).empty())
            g = DeclareExternalFunction(name, 0);
        else
            g = DeclareGaussGlobal(name);
    }
    ZuVALUE& v = symbolTable()[g].val;
    // A keyword procedure takes the rest of a statement, never a value.
    if (program::kindOf(v) == ZU_FUNCTION && (v.t & kKeywordFlag)) Error(Msg::OutOfPlace, GaussName(name));
    if ((v.t & ZU_FLAG_NUL) && program::kindOf(v) != ZU_FUNCTION) {
        if (next == tok::Assign || target) {
            v.t &= ~ZU_FLAG_NUL;
        } else if (!Procedure().active && !(Mode().varIndexNames && name.size() > 1 && name[0] == 'i')) {
            // (A name "i..." read after an open with varindxi may be the
            // index of a data set's variable, set when the file opens.)
            Error(Msg::UndeclaredIdentifier, GaussName(name));
            v.t &= ~ZU_FLAG_NUL;
        }
    }
    return globalOperand(g);
}

// ---------------------------------------------------------------------------
// Calls

namespace {

// A function declared by a call alone takes the count of its first call.
void settleCount(const Operand& f, int n) {
    if (f.symbol < 0 || f.kind != Storage::Global || n == 0) return;
    ZuVALUE& v = symbolTable()[f.symbol].val;
    if (program::kindOf(v) == ZU_FUNCTION && (v.t & ZU_FLAG_EXT) && v.w1.i == 0) setFunctionCount(v, f.name, n);
}

}  // namespace

int ParseGaussArguments() {
    if (GAccept(tok::RParen)) return 0;
    int n = 0;
    do {
        Emit(code(Op::PSH), 0);
        LoadGaussExpression();
        ++n;
    } while (GAccept(tok::Comma));
    GExpect(tok::RParen);
    return n;
}

// ---------------------------------------------------------------------------
// Operator levels, loosest first

namespace {

enum class Form {
    Binary,   // OPR with the token's code
    OrElse,   // "or": a chain of JMT
    AndThen,  // "and": a chain of JMF
    Logical,  // "xor", "eqv": both sides made 0/1 and compared
    Not,      // "not" and ".not" in front of the level below
};

struct Level {
    Form form;
    std::array<int, 14> ops;  // the operator tokens, 0 after the last
};

constexpr std::array kLevels{
    Level{Form::Logical, {tok::GEqv}},
    Level{Form::Binary, {tok::GDotEqv}},
    Level{Form::Logical, {tok::GXor}},
    Level{Form::Binary, {tok::GDotXor}},
    Level{Form::OrElse, {tok::OrOr}},
    Level{Form::Binary, {tok::DotOrOr}},
    Level{Form::AndThen, {tok::AndAnd}},
    Level{Form::Binary, {tok::DotAndAnd}},
    Level{Form::Not, {tok::Not, tok::GDotNot}},
    Level{Form::Binary,
          {tok::Eq, tok::Ne, tok::Lt, tok::Gt, tok::Le, tok::Ge, tok::DotEq, tok::DotNe, tok::DotLt, tok::DotGt,
           tok::DotLe, tok::DotGe}},
    Level{Form::Binary,
          {tok::StrLt, tok::StrLe, tok::StrEq, tok::StrGe, tok::StrGt, tok::StrNe, tok::DotStrLt, tok::DotStrLe,
           tok::DotStrEq, tok::DotStrGe, tok::DotStrGt, tok::DotStrNe}},
    Level{Form::Binary, {tok::Bar, tok::StrJoinV}},
    Level{Form::Binary, {tok::Tilde, tok::StrJoinH}},
    Level{Form::Binary, {tok::Plus, tok::Minus, tok::StrJoin}},
    Level{Form::Binary, {tok::Percent}},
    Level{Form::Binary, {tok::Star, tok::Slash, tok::DotStar, tok::DotSlash, tok::StarTilde, tok::StarStar}},
};

bool inLevel(const Level& level, int t) {
    return t != 0 && std::find(level.ops.begin(), level.ops.end(), t) != level.ops.end();
}

Operand parseLevel(std::size_t level);
Operand parseUnary();

// "!=" comes from the scanner as "!" and "=".
int binaryToken() {
    const int t = GPeek();
    if (t == tok::Bang) {
        GNext();
        if (GPeek() == tok::Assign) {
            GNext();
            GUnread(tok::Ne, "!=");
            return tok::Ne;
        }
        GUnread(tok::Bang, "!");
        return tok::Bang;
    }
    return t;
}

// Gauss "/" divides by a scalar and otherwise solves a linear system
// (least squares when it is not square): the run loop's Gauss division,
// which sits on the code of "\\" (no Zu operator).
int operatorCode(int t) { return t == tok::Slash ? tok::Backslash : t; }

// Inside a data loop the variables are columns, so comparisons and the
// logical operators work element by element.
int elementwise(int t) {
    if (!InDataLoop()) return t;
    switch (t) {
    case tok::Eq: return tok::DotEq;
    case tok::Ne: return tok::DotNe;
    case tok::Lt: return tok::DotLt;
    case tok::Gt: return tok::DotGt;
    case tok::Le: return tok::DotLe;
    case tok::Ge: return tok::DotGe;
    case tok::StrLt: return tok::DotStrLt;
    case tok::StrLe: return tok::DotStrLe;
    case tok::StrEq: return tok::DotStrEq;
    case tok::StrGe: return tok::DotStrGe;
    case tok::StrGt: return tok::DotStrGt;
    case tok::StrNe: return tok::DotStrNe;
    case tok::OrOr: return tok::DotOrOr;
    case tok::AndAnd: return tok::DotAndAnd;
    case tok::GXor: return tok::GDotXor;
    case tok::GEqv: return tok::GDotEqv;
    case tok::Not: return tok::GDotNot;
    default: return t;
    }
}

Operand binaryLevel(std::size_t level) {
    Operand x = parseLevel(level + 1);
    for (int t = binaryToken(); inLevel(kLevels[level], t); t = binaryToken()) {
        GNext();
        SkipSpaces();
        compiler::Load(x);
        Emit(code(Op::PSH), 0);
        Operand y = parseLevel(level + 1);
        compiler::Load(y);
        Emit(code(Op::OPR), operatorCode(elementwise(t)));
        x = Operand{};
    }
    return x;
}

Operand shortCircuit(std::size_t level, int token, int jump) {
    Operand x = parseLevel(level + 1);
    if (GPeek() != token) return x;
    compiler::Load(x);
    int chain = 0;
    while (GAccept(token)) {
        chain = compiler::EmitChained(jump, chain);
        Operand y = parseLevel(level + 1);
        compiler::Load(y);
    }
    compiler::PatchHere(chain);
    // The value is that of the last operand tested: made 0 or 1.
    Emit(code(Op::OPR), tok::Not);
    Emit(code(Op::OPR), tok::Not);
    return Operand{};
}

// a xor b is !a != !b; a eqv b is !a == !b.
Operand logical(std::size_t level) {
    Operand x = parseLevel(level + 1);
    const int token = kLevels[level].ops[0];
    while (GAccept(token)) {
        compiler::Load(x);
        Emit(code(Op::OPR), tok::Not);
        Emit(code(Op::PSH), 0);
        Operand y = parseLevel(level + 1);
        compiler::Load(y);
        Emit(code(Op::OPR), tok::Not);
        Emit(code(Op::OPR), token == tok::GXor ? tok::Ne : tok::Eq);
        x = Operand{};
    }
    return x;
}

Operand notLevel(std::size_t level) {
    compiler::NestingGuard nesting;
    const int t = GPeek();
    if (t == tok::Not || t == tok::GDotNot) {
        GNext();
        Operand x = notLevel(level);
        compiler::Load(x);
        Emit(code(Op::OPR), elementwise(t));
        return Operand{};
    }
    return parseLevel(level + 1);
}

Operand parseLevel(std::size_t level) {
    compiler::NestingGuard nesting;
    if (level >= kLevels.size()) return parseUnary();
    if (InDataLoop() && kLevels[level].form != Form::Not) return binaryLevel(level);
    switch (kLevels[level].form) {
    case Form::Binary: return binaryLevel(level);
    case Form::OrElse: return shortCircuit(level, tok::OrOr, code(Op::JMT));
    case Form::AndThen: return shortCircuit(level, tok::AndAnd, code(Op::JMF));
    case Form::Logical: return logical(level);
    case Form::Not: return notLevel(level);
    }
    return Operand{};
}

// ---------------------------------------------------------------------------
// Unary operators, power, postfix

Operand parsePostfix();

Operand parsePower() {
    Operand x = parsePostfix();
    for (int t = GPeek(); t == tok::Caret || t == tok::DotCaret; t = GPeek()) {
        GNext();
        compiler::Load(x);
        Emit(code(Op::PSH), 0);
        Operand y;
        if (GPeek() == tok::Minus) {
            GNext();
            y = parsePostfix();
            compiler::Load(y);
            Emit(code(Op::OPR), tok::UnaryMinus);
        } else {
            if (GPeek() == tok::Plus) GNext();
            y = parsePostfix();
            compiler::Load(y);
        }
        Emit(code(Op::OPR), tok::DotCaret);
    }
    return x;
}

// - x, + x: below the power, above the products.
Operand parseUnary() {
    compiler::NestingGuard nesting;
    const int t = GPeek();
    if (t == tok::Minus) {
        GNext();
        SkipSpaces();
        Operand x = parseUnary();
        compiler::Load(x);
        Emit(code(Op::OPR), tok::UnaryMinus);
        return Operand{};
    }
    if (t == tok::Plus) {
        GNext();
        return parseUnary();
    }
    return parsePower();
}

Operand constantLoad(int op, int value) {
    Operand x;
    x.kind = Storage::Constant;
    x.op = op;
    x.index = value;
    return x;
}

Operand numberLiteral(double d) {
    if (d >= std::numeric_limits<int>::min() && d <= std::numeric_limits<int>::max() && d == std::trunc(d) &&
        !(d == 0 && std::signbit(d)))
        return constantLoad(code(Op::LTD), static_cast<int>(d));
    return constantLoad(code(Op::LIT), literalTable().addDouble(d));
}

Operand intLiteral(const std::string& text) {
    const double d = std::strtod(text.c_str(), nullptr);
    if (d >= std::numeric_limits<int>::min() && d <= std::numeric_limits<int>::max())
        return constantLoad(code(Op::LTI), static_cast<int>(d));
    return constantLoad(code(Op::LIT), literalTable().addDouble(d));
}

// &name: the procedure itself, passed as a value.
Operand procedureReference() {
    if (!GExpect(tok::Identifier)) return Operand{};
    const std::string name = State().text;
    Operand x;
    if (procedureName(name, x)) return x;
    int g = FindGaussGlobal(name);
    if (g < 0) g = DeclareExternalFunction(name, 0);
    Operand f = globalOperand(g);
    f.function = false;  // loaded as a value, not called
    return f;
}

// dynargsGet(i, default) and dynargsCount(): the optional arguments of
// the procedure ("..." among its formals), through the support code.
bool dynamicArguments(const std::string& name, Operand& x) {
    if ((name != "dynargsget" && name != "dynargscount") || !Procedure().active) return false;
    const int arglist = symbolTable().findVisibleGlobal("va_arglist");
    if (arglist < 0) return false;
    Emit(code(Op::LOD), DeclareExternalFunction("__dynargs__", -1));
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LOD), arglist);
    Emit(code(Op::CAL), 0);
    int n = 1;
    if (GAccept(tok::LParen)) n += ParseGaussArguments();
    Emit(code(Op::CAL), n);
    x = Operand{};
    return true;
}

Operand parsePrimary() {
    ParseState& s = State();
    const int t = GNext();
    switch (t) {
    case tok::Identifier: {
        Operand x;
        if (dynamicArguments(s.text, x)) return x;
        return ResolveGaussName(s.text);
    }
    case tok::Int: return intLiteral(s.text);
    case tok::Double: return numberLiteral(std::strtod(s.text.c_str(), nullptr));
    case tok::HexDouble: return constantLoad(code(Op::LIT), literalTable().addDouble(compiler::HexDoubleValue(s.text)));
    case tok::String: return constantLoad(code(Op::LIT), literalTable().addString(s.text));
    case tok::Complex:
        RefuseComplex(s.text);
        return constantLoad(code(Op::LIT), literalTable().addDouble(std::numeric_limits<double>::quiet_NaN()));
    case tok::LParen: {
        Operand x = ParseGaussExpression();
        GExpect(tok::RParen);
        return x;
    }
    case tok::LBrace: return ParseMatrixLiteral();
    case tok::Amp: return procedureReference();
    case tok::Dot:
        // A lone "." is the missing value.
        return constantLoad(code(Op::LIT), literalTable().addDouble(std::numeric_limits<double>::quiet_NaN()));
    default:
        if (t == tok::Semicolon || t == tok::SemiSemi || t == tok::Eof || t == tok::RParen || t == tok::RBracket ||
            t == tok::RBrace || t == tok::Space)
            GUnread(t, State().text);
        if (t == tok::Identifier)
            Error(Msg::OutOfPlace, s.text);
        else
            Error(Msg::OutOfPlace, SZuTokenName(t));
        return Operand{};
    }
}

using compiler::ParseState;

// Does the token start an operand (for index lists written with blanks)?
bool startsOperand(int t) {
    return t == tok::Int || t == tok::Double || t == tok::Identifier || t == tok::LParen || t == tok::HexDouble;
}

// One part of a two-part index: ".", a range "a:b", an expression, or a
// list of expressions written with blanks between them.
void indexPart() {
    Emit(code(Op::PSH), 0);
    if (GPeek() == tok::Dot) {
        GNext();
        Emit(code(Op::PSH), 0);
        Emit(code(Op::OPR), tok::Colon);
        return;
    }
    LoadGaussExpression();
    if (GAccept(tok::Colon)) {
        Emit(code(Op::PSH), 0);
        LoadGaussExpression();
        Emit(code(Op::OPR), tok::Colon);
        return;
    }
    while (startsOperand(GPeek())) {
        Emit(code(Op::PSH), 0);
        LoadGaussExpression();
        Emit(code(Op::OPR), tok::Bar);
    }
}

// x[i]   x[i, j]: base-1 indices through XGL/XGS
void index(Operand& x) {
    if (x.kind == Storage::Indexed2) {
        compiler::Load(x);
    } else {
        const bool variable = compiler::IsLvalue(x);
        compiler::Load(x);
        x.xrs = variable ? Emit(code(Op::XRS), 0) : -1;
    }
    indexPart();
    int parts = 1;
    if (GAccept(tok::Comma)) {
        Emit(code(Op::XGL), 1);
        indexPart();
        parts = 2;
    }
    GExpect(tok::RBracket);
    const int xrs = x.xrs;
    x = Operand{};
    x.kind = Storage::Indexed2;
    x.index = parts;
    x.xrs = xrs;
}

// The functions of the Gauss table that the run loop computes in place
// (FNI) with the same meaning.  They are intrinsic: a procedure of one of
// these names is refused (toplevel.cpp).
struct FastFunction {
    std::string_view name;
    int code;
};
constexpr std::array kFastFunctions{
    FastFunction{"abs", 146}, FastFunction{"cdfn", 149},  FastFunction{"ceil", 141}, FastFunction{"cos", 143},
    FastFunction{"exp", 145}, FastFunction{"floor", 147}, FastFunction{"int", 159},  FastFunction{"ln", 148},
    FastFunction{"log", 171}, FastFunction{"pdfn", 144},  FastFunction{"sin", 153},  FastFunction{"sqrt", 156},
    FastFunction{"tan", 158}, FastFunction{"trunc", 159},
};

// f(x) as FNI when f is one of them and no procedure of the program.
bool fastCall(const Operand& f) {
    if (!State().optimize || f.kind != Storage::Global || !f.function || f.symbol < 0) return false;
    const int fni = FastFunctionCode(f.name);
    if (fni == 0 || !(symbolTable()[f.symbol].val.t & ZU_FLAG_EXT)) return false;
    int n = 0;
    if (!GAccept(tok::RParen)) {
        LoadGaussExpression();
        n = 1;
        while (GAccept(tok::Comma)) {
            Emit(code(Op::PSH), 0);
            LoadGaussExpression();
            ++n;
        }
        GExpect(tok::RParen);
    }
    if (n != 1) Error(Msg::WrongArgumentCount, f.name);
    Emit(code(Op::FNI), fni);
    return true;
}

void call(Operand& x) {
    if (fastCall(x)) {
        x = Operand{};
        return;
    }
    const Operand f = x;
    compiler::Load(x);
    const int n = ParseGaussArguments();
    settleCount(f, n);
    Emit(code(Op::CAL), n);
    x = Operand{};
}

Operand parsePostfix() {
    Operand x = parsePrimary();
    std::string structure = StructureOf(x);
    for (;;) {
        const int t = GPeek();
        if (!structure.empty() && StartsMember(t)) {
            GNext();
            structure = StructMember(x, structure, t);
            continue;
        }
        structure.clear();
        switch (t) {
        case tok::LBracket:
            GNext();
            index(x);
            break;
        case tok::LParen:
            GNext();
            call(x);
            break;
        case tok::Quote:
        case tok::DotQuote:
            GNext();
            compiler::Load(x);
            Emit(code(Op::OPR), tok::Quote);
            break;
        case tok::Bang: {
            GNext();
            if (GPeek() == tok::Assign) {
                // "!=": left for the comparison level
                GUnread(tok::Bang, "!");
                return x;
            }
            compiler::Load(x);
            Emit(code(Op::OPR), tok::Bang);
            break;
        }
        default:
            // A procedure named without parentheses is called without
            // arguments (t = hsec;).
            if (x.function && x.kind == Storage::Global) {
                compiler::Load(x);
                Emit(code(Op::CAL), 0);
                x = Operand{};
            }
            return x;
        }
    }
}

}  // namespace

void RefuseComplex(const std::string& digits) {
    Error(Msg::OutOfPlace, digits + "i", "(complex numbers are not supported: values are real)");
}

int FastFunctionCode(std::string_view name) {
    const std::string_view prefix = "gauss::";
    if (name.substr(0, prefix.size()) == prefix) name.remove_prefix(prefix.size());
    for (const FastFunction& f : kFastFunctions)
        if (f.name == name) return f.code;
    return 0;
}

Operand ParseGaussExpression() { return parseLevel(0); }

void LoadGaussExpression() {
    Operand x = ParseGaussExpression();
    compiler::Load(x);
}

}  // namespace zu::gauss
