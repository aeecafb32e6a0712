// Primary expressions and the postfix operators: names, literals,
// conversions, indexing, calls, member access, increments, transposes and
// multiple assignment.
#include "compiler/parser.h"

#include "program/literals.h"
#include "compiler/scanner.h"
#include "program/symbols.h"
#include "program/tokens.h"
#include "program/pcode.h"
#include "value/function_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace zu::compiler {
namespace tok = program::tok;
using program::code;
using program::kindOf;
using program::literalTable;
using program::MemberFunction;
using program::Op;
using program::SymbolTable;
using program::symbolTable;

namespace {

// ---------------------------------------------------------------------------
// Tables

// The library functions that a call may replace by FNI, sorted by name.
struct FastFunction {
    std::string_view name;
    int code;
};
constexpr auto kFastFunctions = [] {
    std::array table{
#define ZU_FAST_NUMERIC(code, name, errorName, Routine, OnInt) FastFunction{name, code},
#define ZU_FAST_SIZE(code, name, Query)                        FastFunction{name, code},
#include "program/fast_functions.def"
    };
    std::sort(table.begin(), table.end(), [](const FastFunction& a, const FastFunction& b) { return a.name < b.name; });
    return table;
}();
static_assert(std::adjacent_find(kFastFunctions.begin(), kFastFunctions.end(),
                                 [](const FastFunction& a, const FastFunction& b) { return a.name == b.name; }) ==
                  kFastFunctions.end(),
              "a fast function named twice");

int fastFunctionCode(std::string_view name) {
    auto it = std::lower_bound(kFastFunctions.begin(), kFastFunctions.end(), name,
                               [](const FastFunction& f, std::string_view n) { return f.name < n; });
    return it != kFastFunctions.end() && it->name == name ? it->code : 0;
}

// What a non-zero array base does to a call of these library functions.
enum class BaseRule { None, SubtractFromLast, ExtraArgument, AddToResult };

struct BaseFunction {
    std::string_view name;
    BaseRule rule;
};
constexpr std::array kBaseFunctions{
    BaseFunction{"sortbyc", BaseRule::SubtractFromLast}, BaseFunction{"sortbyr", BaseRule::SubtractFromLast},
    BaseFunction{"limits", BaseRule::ExtraArgument},     BaseFunction{"submat", BaseRule::ExtraArgument},
    BaseFunction{"strfind", BaseRule::ExtraArgument},    BaseFunction{"strifind", BaseRule::ExtraArgument},
    BaseFunction{"strfindr", BaseRule::ExtraArgument},   BaseFunction{"strifindr", BaseRule::ExtraArgument},
    BaseFunction{"dropc", BaseRule::ExtraArgument},      BaseFunction{"dropr", BaseRule::ExtraArgument},
    BaseFunction{"insertc", BaseRule::ExtraArgument},    BaseFunction{"insertr", BaseRule::ExtraArgument},
    BaseFunction{"vecindex", BaseRule::AddToResult},     BaseFunction{"vecrindex", BaseRule::AddToResult},
    BaseFunction{"maxcindex", BaseRule::AddToResult},    BaseFunction{"mincindex", BaseRule::AddToResult},
    BaseFunction{"sortcindex", BaseRule::AddToResult},
};

BaseRule baseRule(std::string_view name) {
    for (const BaseFunction& f : kBaseFunctions)
        if (f.name == name) return f.rule;
    return BaseRule::None;
}

// ---------------------------------------------------------------------------
// Helpers

Operand constantLoad(int op, int value) {
    Operand x;
    x.kind = Storage::Constant;
    x.op = op;
    x.index = value;
    return x;
}

Operand literalLoad(int literal) { return constantLoad(code(Op::LIT), literal); }

void outOfPlace(int t) {
    if (t == tok::Identifier)
        Error(Msg::OutOfPlace, State().text);
    else
        Error(Msg::OutOfPlace, SZuTokenName(t));
}

// A global's operand by its kind: functions and classes are no storage,
// constant ints are coded in the instruction.
Operand globalOperand(int g) {
    const ZuNAMEDVALUE& r = symbolTable()[g];
    const int kind = kindOf(r.val);
    Operand x;
    x.symbol = g;
    x.name = r.name ? r.name : "";
    if (kind == ZU_INT && (r.val.t & ZU_FLAG_CON) && !(r.val.t & (ZU_FLAG_NUL | ZU_FLAG_EXT))) {
        Operand c = constantLoad(code(Op::LTI), r.val.w1.i);
        c.constant = true;
        c.symbol = g;
        c.name = x.name;
        return c;
    }
    x.kind = Storage::Global;
    x.index = g;
    x.constant = (r.val.t & ZU_FLAG_CON) != 0;
    x.function = kind == ZU_FUNCTION || kind == ZU_INTFUNC;
    x.classRef = kind == ZU_CLASS;
    return x;
}

bool isVirtual(int cls, std::string_view name) {
    const char* clsName = symbolTable()[cls].name;
    return clsName && State().virtualMembers.count(std::string(clsName) + "::" + std::string(name)) != 0;
}

// The member designator: static binding to a known position, or the name
// to find at run time.  The object is in the slot already.
void emitDesignator(int cls, int position, std::string_view name) {
    Emit(code(Op::PSH), 0);
    if (cls >= 0) {
        Emit(code(Op::LTI), position);
        Emit(code(Op::PSH), 0);
        Emit(code(Op::LOD), cls);
    } else {
        Emit(code(Op::LIT), literalTable().addString(name));
        Emit(code(Op::PSH), 0);
    }
}

Operand designatorOperand(std::string_view name) {
    Operand x;
    x.designator = true;
    x.name = std::string(name);
    return x;
}

// A member function named inside a member function: called on this.
Operand memberFunctionOnThis(const MemberFunction& mf, std::string_view name) {
    Emit(code(Op::LAP), 0);
    if (isVirtual(mf.classIndex, name))
        emitDesignator(-1, 0, name);
    else
        emitDesignator(mf.classIndex, mf.position, name);
    return designatorOperand(name);
}

// A data member of the current class: this (or the class, for a static
// member in a static function) and the member number.
Operand dataMember(int cls, int member, std::string_view name) {
    const ZuNAMEDVALUE& m = symbolTable()[cls].val.w4.nv[member];
    const bool isStatic = (m.val.t & ZU_FLAG_STA) != 0;
    if (State().memberStatic && !isStatic) Error(Msg::StaticAccessOnly, name);
    if (State().memberStatic)
        Emit(code(Op::LOD), cls);
    else
        Emit(code(Op::LAP), 0);
    Operand x;
    x.kind = Storage::Member;
    x.index = member;
    x.constant = (m.val.t & ZU_FLAG_CON) != 0;
    x.name = std::string(name);
    return x;
}

// A name that nothing declares: reported once, then known as a local (in
// a function) or a global of no kind.
Operand undeclared(const std::string& name) {
    SymbolTable& st = symbolTable();
    ParseState& s = State();
    const int next = Peek();
    if (s.implicitLocals && (next == tok::Assign || next == tok::LParen)) {
        Operand x;
        x.kind = Storage::Local;
        x.index = DeclareLocal(name);
        x.name = name;
        return x;
    }
    // The commonest cause: a library function used without its header.
    if (!ZuIsGaussMode() && value::FindFunction(name))
        Error(Msg::UndeclaredIdentifier, name, "(declared in zustd.h: add #include <zustd.h>)");
    else
        Error(Msg::UndeclaredIdentifier, name);
    if (st.inFunction()) {
        Operand x;
        x.kind = Storage::Local;
        x.index = DeclareLocal(name);
        x.name = name;
        return x;
    }
    Operand x = globalOperand(st.append(name, ZU_NONE | ZU_FLAG_GLO));
    return x;
}

// ---------------------------------------------------------------------------
// Names

// name: local, argument, member of the current class, global
Operand resolveName(const std::string& name) {
    SymbolTable& st = symbolTable();
    ParseState& s = State();
    if (st.inFunction()) {
        if (const int r = st.findLocal(name); r >= 0) {
            Operand x;
            x.kind = Storage::Local;
            x.index = LocalNumber(r);
            x.symbol = r;
            x.name = name;
            return x;
        }
        if (const int r = st.findArgument(name); r >= 0) {
            Operand x;
            x.kind = Storage::Argument;
            x.index = r - st.marks().firstArgument;
            x.symbol = r;
            x.constant = (st[r].val.t & ZU_FLAG_CON) != 0;
            x.name = name;
            return x;
        }
    }
    if (s.currentClass >= 0) {
        if (const int m = st.findDataMember(s.currentClass, name); m >= 0) return dataMember(s.currentClass, m, name);
        if (auto mf = st.findMemberFunction(s.currentClass, name)) {
            if (s.memberStatic) {
                Error(Msg::StaticAccessOnly, name);
                Emit(code(Op::LOD), s.currentClass);
                emitDesignator(mf->classIndex, mf->position, name);
                return designatorOperand(name);
            }
            return memberFunctionOnThis(*mf, name);
        }
    }
    if (const int g = FindGlobal(name); g >= 0) return globalOperand(g);
    return undeclared(name);
}

// Class::name   namespace::name
Operand qualifiedName(const std::string& qualifier) {
    SymbolTable& st = symbolTable();
    if (!Expect(tok::Identifier)) return {};
    const std::string name = State().text;
    const int cls = FindGlobal(qualifier);
    if (cls < 0 || kindOf(st[cls].val) != ZU_CLASS) {
        const std::string full = qualifier + "::" + name;
        const int g = st.findVisibleGlobal(full);
        if (g >= 0) return globalOperand(g);
        return undeclared(full);
    }
    if (const int m = st.findDataMember(cls, name); m >= 0) {
        const ZuNAMEDVALUE& member = st[cls].val.w4.nv[m];
        if (!(member.val.t & ZU_FLAG_STA) && State().currentClass < 0) Error(Msg::StaticAccessOnly, name);
        Emit(code(Op::LOD), cls);
        Operand x;
        x.kind = Storage::Member;
        x.index = m;
        x.constant = (member.val.t & ZU_FLAG_CON) != 0;
        x.name = name;
        return x;
    }
    auto mf = st.findMemberFunction(cls, name);
    if (!mf) {
        Error(Msg::UndeclaredMember, qualifier + "::" + name);
        return {};
    }
    const ZuNAMEDVALUE& f = st[mf->classIndex].val.w5.nv[mf->position];
    if (State().currentClass >= 0 && !State().memberStatic) {
        Emit(code(Op::LAP), 0);
    } else {
        // Without an object only a static member function can be called;
        // the class itself stands in the object's place.
        if (!(f.val.t & ZU_FLAG_STA)) Error(Msg::NotStaticMember, qualifier + "::" + name);
        Emit(code(Op::LOD), cls);
    }
    emitDesignator(mf->classIndex, mf->position, name);
    return designatorOperand(name);
}

// ---------------------------------------------------------------------------
// Literals

// <int>: an int when it fits, else a double literal.
Operand intLiteral(const std::string& text) {
    const double d = std::strtod(text.c_str(), nullptr);
    if (d >= std::numeric_limits<int>::min() && d <= std::numeric_limits<int>::max())
        return constantLoad(code(Op::LTI), static_cast<int>(d));
    return literalLoad(literalTable().addDouble(d));
}

// <double>: integral values in the int range are coded in LTD.
Operand doubleLiteral(double d) {
    if (d >= std::numeric_limits<int>::min() && d <= std::numeric_limits<int>::max() && d == std::trunc(d) &&
        !(d == 0 && std::signbit(d)))
        return constantLoad(code(Op::LTD), static_cast<int>(d));
    return literalLoad(literalTable().addDouble(d));
}

// .NaN  .Inf
Operand dotLiteral() {
    if (!Expect(tok::Identifier)) return {};
    const std::string& word = State().text;
    if (word == "NaN") return literalLoad(literalTable().addDouble(std::numeric_limits<double>::quiet_NaN()));
    if (word == "Inf") return literalLoad(literalTable().addDouble(std::numeric_limits<double>::infinity()));
    Error(Msg::OutOfPlace, word);
    return {};
}

// { element, ... }: built at run time from an empty array.
Operand arrayConstant() {
    Emit(code(Op::PSH), 0);
    Emit(code(Op::NTP), 5);
    if (Accept(tok::RBrace)) return {};
    do {
        if (Peek() == tok::RBrace) break;
        Emit(code(Op::PSH), 0);
        LoadAssignment();
        Emit(code(Op::OPR), tok::RBrace);
        Emit(code(Op::OPR), tok::Bar);
    } while (Accept(tok::Comma));
    Expect(tok::RBrace);
    return {};
}

// The operand holding the right side of a multiple assignment: the global
// "$t1" when there is one, else a local of the function.
Operand temporaryOperand() {
    SymbolTable& st = symbolTable();
    if (const int g = st.findVisibleGlobal("$t1"); g >= 0) return globalOperand(g);
    Operand x;
    x.kind = Storage::Local;
    x.name = "$t1";
    const int r = st.findLocal("$t1");
    if (r >= 0)
        x.index = LocalNumber(r);
    else if (st.inFunction())
        x.index = DeclareLocal("$t1");
    else
        x = globalOperand(st.append("$t1", ZU_INT | ZU_FLAG_GLO));
    return x;
}

// [ target, ... ] = expression
Operand multipleAssignment() {
    ParseState& s = State();
    if (s.multipleAssignment > 0) {
        Error(Msg::NestedMultipleAssignment);
        SkipPast(tok::RBracket);
        return {};
    }
    ++s.multipleAssignment;
    const Operand temporary = temporaryOperand();
    const int toRight = EmitChained(code(Op::JMP), 0);
    const int targets = Target();
    int element = 0;
    do {
        Operand target = ParsePostfix();
        if (CheckAssignable(target)) {
            Placeholder(target);
            Operand t = temporary;
            Load(t);
            Emit(code(Op::XMV), element);
            Store(target);
        }
        ++element;
    } while (Accept(tok::Comma));
    Expect(tok::RBracket);
    const int toEnd = EmitChained(code(Op::JMP), 0);
    PatchHere(toRight);
    Expect(tok::Assign);
    LoadAssignment();
    Operand t = temporary;
    Store(t);
    Emit(code(Op::JMP), targets);
    PatchHere(toEnd);
    Emit(code(Op::LTI), 0);
    t = temporary;
    Store(t);
    --s.multipleAssignment;
    return {};
}

// int(x) double(x) matrix(x) string(x) array(x)
Operand conversion(int keyword) {
    Expect(tok::LParen);
    LoadExpression();
    Expect(tok::RParen);
    Emit(code(Op::OPR), keyword);
    return {};
}

Operand parsePrimary() {
    ParseState& s = State();
    const int t = Next();
    switch (t) {
    case tok::Identifier: {
        const std::string name = s.text;
        if (Accept(tok::ColonColon)) return qualifiedName(name);
        return resolveName(name);
    }
    case tok::ColonColon: {
        if (!Expect(tok::Identifier)) return {};
        const int g = symbolTable().findVisibleGlobal(s.text);
        return g >= 0 ? globalOperand(g) : undeclared(s.text);
    }
    case tok::KwThis: {
        if (s.currentClass < 0 || s.memberStatic) Error(Msg::OnlyInNonStaticMember, "this");
        Operand x;
        x.kind = Storage::Argument;
        x.index = 0;
        x.constant = true;
        x.isThis = true;
        x.name = "this";
        return x;
    }
    case tok::Int: return intLiteral(s.text);
    case tok::Double: return doubleLiteral(std::strtod(s.text.c_str(), nullptr));
    case tok::HexDouble: return literalLoad(literalTable().addDouble(HexDoubleValue(s.text)));
    case tok::String: return literalLoad(literalTable().addString(s.text));
    case tok::Quote: IZuScanGetSingleQuotedString(); return intLiteral(SZuScanText());
    case tok::LParen: {
        Operand x = ParseExpression();
        Expect(tok::RParen);
        return x;
    }
    case tok::KwInt:
    case tok::KwDouble:
    case tok::KwMatrix:
    case tok::KwString:
    case tok::KwArray: return conversion(t);
    case tok::Dot: return dotLiteral();
    case tok::Lt: {
        ConstValue m = ParseMatrixConstant();
        ZuVALUE v = m.release();
        v.t = (v.t & ~ZU_FLAG_VAL) | ZU_FLAG_CON;
        return literalLoad(literalTable().add(v));
    }
    case tok::LBrace: return arrayConstant();
    case tok::LBracket: return multipleAssignment();
    default:
        // A token that ends a statement is left for the statement.
        if (t == tok::Semicolon || t == tok::RBrace || t == tok::Eof || t == tok::RParen) Unread(t);
        outOfPlace(t);
        return {};
    }
}

// ---------------------------------------------------------------------------
// Postfix operators

// One index expression, with the array base taken off.
void indexValue() {
    LoadAssignment();
    if (const int base = State().arrayBase) {
        Emit(code(Op::PSH), base);
        Emit(code(Op::OPR), tok::Minus);
    }
}

// x[]  x[i]  x[i:j]  x[:j]  x[i:]
void index(Operand& x) {
    if (x.kind == Storage::Indexed || x.kind == Storage::Indexed2) {
        const int xrs = x.xrs;
        Load(x);
        x.xrs = xrs;
    } else {
        const bool variable = IsLvalue(x);
        Load(x);
        x.xrs = variable ? Emit(code(Op::XRS), 0) : -1;
    }
    if (Accept(tok::RBracket)) {
        Emit(code(Op::OPR), tok::Index);
    } else {
        Emit(code(Op::PSH), 0);
        if (Peek() != tok::Colon) indexValue();
        if (Accept(tok::Colon)) {
            Emit(code(Op::PSH), -256);
            if (Peek() != tok::RBracket) indexValue();
            Emit(code(Op::OPR), tok::Colon);
        }
        Expect(tok::RBracket);
    }
    x.kind = Storage::Indexed;
    x.function = x.classRef = x.isThis = false;
}

// The declared argument count of a global function, if it is known.
bool declaredCount(const Operand& f, int& count) {
    if (f.symbol < 0 || !f.function) return false;
    const ZuVALUE& v = symbolTable()[f.symbol].val;
    if (kindOf(v) != ZU_FUNCTION && kindOf(v) != ZU_INTFUNC) return false;
    count = v.w1.i;
    return true;
}

void checkCount(const Operand& f, int n) {
    int declared = 0;
    if (!declaredCount(f, declared)) return;
    if (declared < 0 ? n < -declared : n != declared) Error(Msg::WrongArgumentCount, f.name);
}

// f(x) as FNI: x goes into the function's own slot.
bool fastCall(const Operand& f) {
    int declared = 0;
    if (!State().optimize || !declaredCount(f, declared) || declared != 1) return false;
    const int fni = fastFunctionCode(f.name);
    if (!fni) return false;
    int n = 0;
    if (!Accept(tok::RParen)) {
        LoadAssignment();
        n = 1;
        while (Accept(tok::Comma)) {
            Emit(code(Op::PSH), 0);
            LoadAssignment();
            ++n;
        }
        Expect(tok::RParen);
    }
    checkCount(f, n);
    Emit(code(Op::FNI), fni);
    return true;
}

// x(args): a call of the value, a function or a member designator
void call(Operand& x) {
    const int base = State().arrayBase;
    if (x.designator) {
        x.designator = false;
        Emit(code(Op::CAM), ParseArguments());
        x = {};
        return;
    }
    if (x.classRef) {
        Error(Msg::NotAFunction, x.name);
    }
    if (fastCall(x)) {
        x = {};
        return;
    }
    const BaseRule rule = base && x.function ? baseRule(x.name) : BaseRule::None;
    const Operand f = x;
    Load(x);
    int n = ParseArguments(rule == BaseRule::SubtractFromLast ? base : 0);
    checkCount(f, n);
    if (rule == BaseRule::ExtraArgument) {
        Emit(code(Op::PSH), base);
        ++n;
    }
    Emit(code(Op::CAL), n);
    if (rule == BaseRule::AddToResult) {
        Emit(code(Op::PSH), base);
        Emit(code(Op::OPR), tok::Plus);
    }
    x = {};
}

// object.name  object->name  object.~Name
void member(Operand& x) {
    SymbolTable& st = symbolTable();
    ParseState& s = State();
    if (x.classRef) Error(Msg::ObjectPointerExpected, x.name);
    const bool onThis = x.isThis;
    Load(x);
    std::string name = Accept(tok::Tilde) ? "~" : "";
    if (!Expect(tok::Identifier)) {
        x = {};
        return;
    }
    name += s.text;
    if (s.currentClass >= 0 && name[0] != '~') {
        if (const int m = st.findDataMember(s.currentClass, name); m >= 0) {
            const ZuNAMEDVALUE& d = st[s.currentClass].val.w4.nv[m];
            x = {};
            x.kind = Storage::Member;
            x.index = m;
            x.constant = (d.val.t & ZU_FLAG_CON) != 0;
            x.name = name;
            return;
        }
    }
    if (onThis && s.currentClass >= 0) {
        if (auto mf = st.findMemberFunction(s.currentClass, name); mf && !isVirtual(mf->classIndex, name)) {
            emitDesignator(mf->classIndex, mf->position, name);
            x = designatorOperand(name);
            return;
        }
    }
    emitDesignator(-1, 0, name);
    x = designatorOperand(name);
}

// x++  x--: the new value is stored, the old one is the result.
void postIncrement(Operand& x, int op) {
    if (!CheckAssignable(x)) {
        Load(x);
        return;
    }
    DuplicateTarget(x);
    Operand value = x;
    Load(value);
    Emit(code(Op::OPR), op);
    Store(x);
    Emit(code(Op::OPR), op == tok::PlusPlus ? tok::MinusMinus : tok::PlusPlus);
    x = {};
}

}  // namespace

int ParseArguments(int subtract) {
    if (Accept(tok::RParen)) return 0;
    int n = 0;
    do {
        Emit(code(Op::PSH), 0);
        LoadAssignment();
        ++n;
        if (subtract && Peek() == tok::RParen) {
            Emit(code(Op::PSH), subtract);
            Emit(code(Op::OPR), tok::Minus);
        }
    } while (Accept(tok::Comma));
    Expect(tok::RParen);
    return n;
}

// primary { [index] | (args) | .member | ->member | ++ | -- | ' | .' }
Operand ParsePostfix() {
    Operand x = parsePrimary();
    for (;;) {
        switch (const int t = Peek()) {
        case tok::LBracket:
            Next();
            index(x);
            break;
        case tok::LParen:
            Next();
            call(x);
            break;
        case tok::Dot:
        case tok::Arrow:
            Next();
            member(x);
            break;
        case tok::PlusPlus:
        case tok::MinusMinus:
            Next();
            postIncrement(x, t);
            break;
        case tok::Quote:
        case tok::DotQuote:
            Next();
            Load(x);
            Emit(code(Op::OPR), t);
            break;
        default: return x;
        }
    }
}

}  // namespace zu::compiler
