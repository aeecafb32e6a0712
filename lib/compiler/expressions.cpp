// Expressions: the operator levels from the comma down to the unary
// operators.  The binary levels are one table; the levels with their own
// code (assignment, conditional, short-circuit, unary, power) have their
// own functions.
#include "compiler/parser.h"

#include "program/symbols.h"
#include "program/tokens.h"
#include "program/pcode.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <span>

namespace zu::compiler {
namespace tok = program::tok;
using program::code;
using program::kindOf;
using program::Op;
using program::symbolTable;

namespace {

// ---------------------------------------------------------------------------
// The level table, loosest first

enum class Form {
    Conditional,  // ? :  and  .? .:
    OrElse,       // || with a chain of JMT
    AndThen,      // && with a chain of JMF
    Binary,       // OPR with the token's code
};

struct Level {
    Form form;
    std::array<int, 8> ops;  // the operator tokens, 0 after the last
};

constexpr std::array kLevels{
    Level{Form::Conditional, {tok::Query, tok::DotQuery}},
    Level{Form::OrElse, {tok::OrOr}},
    Level{Form::Binary, {tok::DotOrOr}},
    Level{Form::AndThen, {tok::AndAnd}},
    Level{Form::Binary, {tok::DotAndAnd}},
    Level{Form::Binary, {tok::DotEq, tok::DotNe, tok::Eq, tok::Ne}},
    Level{Form::Binary, {tok::ShiftLeft, tok::ShiftRight}},
    Level{Form::Binary, {tok::DotLe, tok::DotGe, tok::DotLt, tok::DotGt, tok::Le, tok::Ge, tok::Lt, tok::Gt}},
    Level{Form::Binary, {tok::Bar}},
    Level{Form::Binary, {tok::Tilde}},
    Level{Form::Binary, {tok::Plus, tok::Minus}},
    Level{Form::Binary, {tok::StarStar, tok::Star, tok::Slash, tok::DotStar, tok::DotSlash}},
};

bool inLevel(const Level& level, int t) {
    return t != 0 && std::find(level.ops.begin(), level.ops.end(), t) != level.ops.end();
}

// The compound assignments and the operator each applies.
struct Compound {
    int token;
    int op;
};
constexpr std::array kCompounds{
    Compound{tok::StarAssign, tok::Star},       Compound{tok::SlashAssign, tok::Slash},
    Compound{tok::PlusAssign, tok::Plus},       Compound{tok::MinusAssign, tok::Minus},
    Compound{tok::TildeAssign, tok::Tilde},     Compound{tok::BarAssign, tok::Bar},
    Compound{tok::DotStarAssign, tok::DotStar}, Compound{tok::DotSlashAssign, tok::DotSlash},
};

int compoundOperator(int t) {
    for (const Compound& c : kCompounds)
        if (c.token == t) return c.op;
    return 0;
}

Operand parseLevel(std::size_t level);

Operand loaded() { return Operand{}; }

// condition ? first : second    condition .? first .: second
Operand parseConditional(std::size_t level) {
    Operand x = parseLevel(level + 1);
    const int t = Peek();
    if (t == tok::Query) {
        Next();
        Load(x);
        const int overFirst = EmitChained(code(Op::JMF), 0);
        LoadAssignment();
        Expect(tok::Colon);
        const int overSecond = EmitChained(code(Op::JMP), 0);
        PatchHere(overFirst);
        Operand second = parseLevel(level);
        Load(second);
        PatchHere(overSecond);
        return loaded();
    }
    if (t == tok::DotQuery) {
        Next();
        Load(x);
        Emit(code(Op::PSH), 0);
        LoadAssignment();
        Expect(tok::DotColon);
        Emit(code(Op::PSH), 0);
        Operand second = parseLevel(level);
        Load(second);
        Emit(code(Op::OPR), tok::DotQuery);
        return loaded();
    }
    return x;
}

// a || b || c and a && b && c: each left value jumps to the end.
Operand parseShortCircuit(std::size_t level, int token, int jump) {
    Operand x = parseLevel(level + 1);
    if (Peek() != token) return x;
    Load(x);
    int chain = 0;
    while (Accept(token)) {
        chain = EmitChained(jump, chain);
        Operand y = parseLevel(level + 1);
        Load(y);
    }
    PatchHere(chain);
    return loaded();
}

// a op b op c, left-associative
Operand parseBinary(std::size_t level) {
    Operand x = parseLevel(level + 1);
    for (int t = Peek(); inLevel(kLevels[level], t); t = Peek()) {
        Next();
        Load(x);
        Emit(code(Op::PSH), 0);
        Operand y = parseLevel(level + 1);
        Load(y);
        Emit(code(Op::OPR), t);
    }
    return x;
}

Operand parseLevel(std::size_t level) {
    if (level >= kLevels.size()) return ParseUnary();
    switch (kLevels[level].form) {
    case Form::Conditional: return parseConditional(level);
    case Form::OrElse: return parseShortCircuit(level, tok::OrOr, code(Op::JMT));
    case Form::AndThen: return parseShortCircuit(level, tok::AndAnd, code(Op::JMF));
    case Form::Binary: return parseBinary(level);
    }
    return loaded();
}

// ---------------------------------------------------------------------------
// Unary operators and power

Operand parseUnaryOperand(bool allowPower);

// ++x  --x
Operand preIncrement(int op) {
    Operand x = parseUnaryOperand(true);
    if (!CheckAssignable(x)) {
        Load(x);
        return loaded();
    }
    DuplicateTarget(x);
    Operand value = x;
    Load(value);
    Emit(code(Op::OPR), op);
    Store(x);
    return loaded();
}

// new Class [( args )]    new matrix[r][c]   new string[n]   new array[n][m]
Operand parseNew() {
    const int t = Next();
    if (t == tok::KwMatrix || t == tok::KwString || t == tok::KwArray) {
        Expect(tok::LBracket);
        Emit(code(Op::PSH), 0);
        LoadAssignment();
        Expect(tok::RBracket);
        bool two = false;
        if (t != tok::KwString && Accept(tok::LBracket)) {
            two = true;
            Emit(code(Op::PSH), 0);
            LoadAssignment();
            Expect(tok::RBracket);
        }
        int form = 4;
        if (t == tok::KwMatrix)
            form = two ? 3 : 8;
        else if (t == tok::KwArray)
            form = two ? 512 : 5;
        Emit(code(Op::NTP), form);
        return loaded();
    }
    if (t != tok::Identifier) {
        Error(Msg::OutOfPlace, SZuTokenName(t));
        return loaded();
    }
    const std::string name = State().text;
    const int cls = FindGlobal(name);
    if (cls < 0 || kindOf(symbolTable()[cls].val) != ZU_CLASS) {
        Error(Msg::ClassExpected, name);
        if (Accept(tok::LParen)) SkipPast(tok::RParen);
        return loaded();
    }
    Emit(code(Op::NEW), cls);
    // The constructor is the member function with the class's own name.
    const ZuVALUE& c = symbolTable()[cls].val;
    int position = -1;
    for (int i = 0; c.w5.nv && c.w5.nv[i].name; ++i)
        if (name == c.w5.nv[i].name) position = i;
    const bool parens = Accept(tok::LParen);
    if (position >= 0) {
        Emit(code(Op::PSH), 0);
        Emit(code(Op::LTI), position);
        Emit(code(Op::PSH), 0);
        Emit(code(Op::LOD), cls);
        const int n = parens ? ParseArguments() : 0;
        const int declared = c.w5.nv[position].val.w1.i;
        const bool varargs = declared < 0;
        const int fixed = (varargs ? -declared : declared) - 2;
        if (varargs ? n < fixed : n != fixed) Error(Msg::WrongArgumentCount, name);
        Emit(code(Op::CAM), n);
    } else if (parens && ParseArguments() != 0) {
        Error(Msg::WrongArgumentCount, name);
    }
    Emit(code(Op::OPR), tok::KwNew);
    return loaded();
}

// delete x: the destructor runs, then the variable loses its value.
Operand parseDelete() {
    Operand x = parseUnaryOperand(true);
    if (!IsLvalue(x)) Error(Msg::LeftValueExpected);
    Emit(code(Op::OPR), tok::Amp);
    Load(x);
    for (int i = 0; i < 4; ++i) Emit(code(Op::PSH), 0);
    Emit(code(Op::OPR), tok::Destruct);
    Emit(code(Op::CAM), 0);
    Emit(code(Op::OPR), tok::KwDelete);
    return loaded();
}

// postfix [ ^ unary ]...   and   postfix [ .^ unary ]...
Operand parsePower() {
    Operand x = ParsePostfix();
    for (int t = Peek(); t == tok::Caret || t == tok::DotCaret; t = Peek()) {
        Next();
        Load(x);
        Emit(code(Op::PSH), 0);
        Operand y = parseUnaryOperand(false);
        Load(y);
        Emit(code(Op::OPR), t);
    }
    return x;
}

// - + ! ++ -- new delete & applied to a unary operand, or a power.  The
// right operand of a power takes the unary operators but no further
// power, so that a^b^c is (a^b)^c.
Operand parseUnaryOperand(bool allowPower) {
    NestingGuard nesting;
    const int t = Peek();
    switch (t) {
    case tok::Minus:
    case tok::Not: {
        Next();
        Operand x = parseUnaryOperand(allowPower);
        Load(x);
        Emit(code(Op::OPR), t == tok::Minus ? tok::UnaryMinus : tok::Not);
        return loaded();
    }
    case tok::Plus: Next(); return parseUnaryOperand(allowPower);
    case tok::PlusPlus:
    case tok::MinusMinus: Next(); return preIncrement(t);
    case tok::KwNew: Next(); return parseNew();
    case tok::KwDelete: Next(); return parseDelete();
    case tok::Amp: {
        Next();
        Operand x = parseUnaryOperand(allowPower);
        if (!IsLvalue(x)) Error(Msg::LeftValueExpected);
        Emit(code(Op::OPR), tok::Amp);
        Load(x);
        return loaded();
    }
    default: return allowPower ? parsePower() : ParsePostfix();
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Entry points

Operand ParseUnary() { return parseUnaryOperand(true); }

Operand ParseConditional() { return parseLevel(0); }

// target = value    target op= value   (right-associative)
Operand ParseAssignment() {
    NestingGuard nesting;
    Operand target = ParseConditional();
    const int t = Peek();
    const int op = compoundOperator(t);
    if (t != tok::Assign && op == 0) return target;
    Next();
    if (!CheckAssignable(target)) {
        LoadAssignment();
        return loaded();
    }
    if (t == tok::Assign) {
        if (State().testDepth > 0) Error(Msg::WarnAssignmentInTest);
        Placeholder(target);
        LoadAssignment();
        Store(target);
        return loaded();
    }
    DuplicateTarget(target);
    Operand value = target;
    Load(value);
    Emit(code(Op::PSH), 0);
    LoadAssignment();
    Emit(code(Op::OPR), op);
    Store(target);
    return loaded();
}

// assignment { , assignment }: each value replaces the previous one
Operand ParseExpression() {
    Operand x = ParseAssignment();
    while (Accept(tok::Comma)) {
        Load(x);
        x = ParseAssignment();
    }
    return x;
}

void ParseTest() {
    ParseState& s = State();
    ++s.testDepth;
    try {
        LoadExpression();
    } catch (...) {
        --s.testDepth;
        throw;
    }
    --s.testDepth;
}

}  // namespace zu::compiler
