// Gauss statements: expression statements and assignments, the control
// statements with their end words, labels, goto and gosub, procedures'
// retp and local, and multiple assignment.
#include "gauss/gauss_parser.h"

#include "program/literals.h"
#include "program/symbols.h"
#include "program/tokens.h"
#include "program/pcode.h"

#include <algorithm>
#include <cstdlib>

namespace zu::gauss {

using compiler::Emit;
using compiler::Error;
using compiler::State;
using program::code;
using program::Op;
using program::symbolTable;
namespace tok = program::tok;

namespace {

// FNI codes that print a statement's value.
constexpr int kPrintValue = 213;
constexpr int kPrintValueSemicolon = 214;

// The end of a statement: ";" or ";;", or the end of the file.
void endStatement() {
    const int t = GPeek();
    if (t == tok::Semicolon || t == tok::SemiSemi) {
        GNext();
        return;
    }
    if (t == tok::Eof) return;
    compiler::ExpectedError(tok::Semicolon, t);
    SkipStatement();
}

// The loop around the statements being compiled, for break and continue.
class LoopScope {
public:
    explicit LoopScope(int continueTarget) {
        auto& loops = State().loops;
        if (static_cast<int>(loops.size()) >= compiler::kMaxLoops) Error(Msg::TooManyNestedLoops);
        loops.push_back(compiler::Loop{0, continueTarget, 0});
    }
    ~LoopScope() { State().loops.pop_back(); }
    LoopScope(const LoopScope&) = delete;
    LoopScope& operator=(const LoopScope&) = delete;
    compiler::Loop& loop() { return State().loops.back(); }
};

// ---------------------------------------------------------------------------
// Expression statements

// target = expression  or an expression whose value is printed.
void expressionStatement() {
    Operand x = ParseGaussExpression();
    if (GAccept(tok::Assign)) {
        if (compiler::CheckAssignable(x)) {
            if (x.kind == Storage::Global) symbolTable()[x.index].val.t &= ~ZU_FLAG_NUL;
            compiler::Placeholder(x);
            LoadGaussExpression();
            compiler::Store(x);
        } else {
            LoadGaussExpression();
        }
    } else {
        compiler::Load(x);
        const int t = GPeek();
        Emit(code(Op::FNI), t == tok::Semicolon ? kPrintValueSemicolon : kPrintValue);
    }
    compiler::LineMarker();
    endStatement();
}

// name rest-of-statement: a keyword procedure gets the rest as one string.
void keywordCall(int g) {
    Emit(code(Op::LOD), g);
    Emit(code(Op::PSH), 0);
    std::string rest = RestOfStatement();
    Emit(code(Op::LIT), program::literalTable().addString(rest));
    Emit(code(Op::CAL), 1);
    compiler::LineMarker();
    endStatement();
}

// The target of a multiple assignment or of pop, its name taken: a
// variable, an indexed one, or a member of a structure (p.x, b.m[1, 2]).
Operand assignmentTarget() {
    const std::string name = State().text;
    const int next = GPeek();
    if (next == tok::LBracket || StartsMember(next)) {
        GUnread(tok::Identifier, name);
        return ParseGaussExpression();
    }
    return ResolveGaussName(name, true);
}

// { a, b, c } = expression: the elements of the array returned.
void multipleAssignment() {
    ParseState& s = State();
    if (s.multipleAssignment > 0) {
        Error(Msg::NestedMultipleAssignment);
        SkipStatement();
        return;
    }
    ++s.multipleAssignment;
    const int temporary = symbolTable().findVisibleGlobal("$t1");
    const int toRight = compiler::EmitChained(code(Op::JMP), 0);
    const int targets = compiler::Target();
    int element = 0;
    do {
        if (!GExpect(tok::Identifier)) break;
        Operand target = assignmentTarget();
        if (compiler::CheckAssignable(target)) {
            if (target.kind == Storage::Global) symbolTable()[target.index].val.t &= ~ZU_FLAG_NUL;
            compiler::Placeholder(target);
            Emit(code(Op::LOD), temporary);
            Emit(code(Op::XMV), element);
            compiler::Store(target);
        }
        ++element;
    } while (GAccept(tok::Comma));
    GExpect(tok::RBrace);
    const int toEnd = compiler::EmitChained(code(Op::JMP), 0);
    compiler::PatchHere(toRight);
    GExpect(tok::Assign);
    LoadGaussExpression();
    Emit(code(Op::STO), temporary);
    Emit(code(Op::JMP), targets);
    compiler::PatchHere(toEnd);
    Emit(code(Op::LTI), 0);
    Emit(code(Op::STO), temporary);
    --s.multipleAssignment;
    compiler::LineMarker();
    endStatement();
}

// ---------------------------------------------------------------------------
// Control statements

// if test; ... [elseif test; ...] [else; ...] endif;
void ifStatement() {
    int toEnd = 0;
    for (;;) {
        LoadGaussExpression();
        compiler::LineMarker(true);
        const int toNext = compiler::EmitChained(code(Op::JMF), 0);
        endStatement();
        const int ending = ParseStatementsUntil({tok::GElseif, tok::KwElse, tok::GEndif});
        if (ending == tok::GElseif) {
            GNext();
            toEnd = compiler::EmitChained(code(Op::JMP), toEnd);
            compiler::PatchHere(toNext);
            continue;
        }
        if (ending == tok::KwElse) {
            GNext();
            endStatement();
            toEnd = compiler::EmitChained(code(Op::JMP), toEnd);
            compiler::PatchHere(toNext);
            ParseStatementsUntil({tok::GEndif});
        } else {
            compiler::PatchHere(toNext);
        }
        break;
    }
    GExpect(tok::GEndif);
    compiler::PatchHere(toEnd);
    endStatement();
}

// do while test; ... endo;   do until test; ... endo;
void doStatement() {
    const bool until = GPeek() == tok::GUntil;
    if (!GAccept(tok::KwWhile) && !GAccept(tok::GUntil)) {
        compiler::ExpectedError(tok::KwWhile, GPeek());
        SkipStatement();
        return;
    }
    const int top = compiler::Target();
    LoadGaussExpression();
    compiler::LineMarker(true);
    LoopScope scope(top);
    scope.loop().breakChain = compiler::EmitChained(code(until ? Op::JMT : Op::JMF), 0);
    endStatement();
    if (GPeek() == tok::Semicolon || GPeek() == tok::GEndo) Error(Msg::WarnEmptyStatement);
    ParseStatementsUntil({tok::GEndo});
    GExpect(tok::GEndo);
    Emit(code(Op::JMP), top);
    compiler::PatchHere(scope.loop().breakChain);
    endStatement();
}

// A loop variable or companion: a new global in main code, a new local
// in a procedure, hiding any other of its name while the loop runs.
Operand loopSymbol(const std::string& name) {
    program::SymbolTable& st = symbolTable();
    Operand x;
    x.name = name;
    if (Procedure().active) {
        const int r = st.append(name, ZU_INT | ZU_FLAG_NUL);
        ParseState& s = State();
        s.maxLocals = std::max(s.maxLocals, st.count() - st.marks().firstLocal);
        x.kind = Storage::Local;
        x.index = compiler::LocalNumber(r);
        x.symbol = r;
    } else {
        x.kind = Storage::Global;
        x.index = st.append(GaussName(name), ZU_INT | ZU_FLAG_GLO);
        x.symbol = x.index;
    }
    return x;
}

void loadOperand(Operand x) { compiler::Load(x); }

// A step written as an integer literal, "[-] digits" before ")": its
// value, taken; otherwise nothing is taken and the result is false.
bool literalInt(int& value) {
    bool negative = false;
    if (GPeek() == tok::Minus) {
        GNext();
        negative = true;
    }
    if (GPeek() != tok::Int) {
        if (negative) GUnread(tok::Minus, "-");
        return false;
    }
    GNext();
    const std::string digits = State().text;
    const long n = std::strtol(digits.c_str(), nullptr, 10);
    if (GPeek() != tok::RParen || n > 1000000000L) {
        GUnread(tok::Int, digits);
        if (negative) GUnread(tok::Minus, "-");
        return false;
    }
    value = static_cast<int>(negative ? -n : n);
    return true;
}
void storeOperand(Operand x) { compiler::Store(x); }

// for i (start, stop, step); ... endfor;
void forStatement() {
    if (!GExpect(tok::Identifier)) {
        SkipStatement();
        return;
    }
    const std::string name = State().text;
    program::SymbolTable& st = symbolTable();
    const Operand stop = loopSymbol(name + "$tst");
    const Operand direction = loopSymbol(name + "$dir");
    const Operand step = loopSymbol(name + "$inc");
    const Operand counter = loopSymbol(name);
    GExpect(tok::LParen);
    for (const Operand* target : {&counter, &stop}) {
        LoadGaussExpression();
        Emit(code(Op::OPR), tok::KwInt);
        storeOperand(*target);
        GExpect(tok::Comma);
    }
    int literal = 0;
    const bool literalStep = literalInt(literal);
    if (literalStep) {
        Emit(code(Op::LTI), literal);
    } else {
        LoadGaussExpression();
        Emit(code(Op::OPR), tok::KwInt);
    }
    storeOperand(step);
    GExpect(tok::RParen);
    endStatement();
    // A literal step fixes the direction; otherwise direction = step > 0.
    // A zero step skips the loop.
    int toExit = 0;
    if (literalStep) {
        if (literal == 0) toExit = compiler::EmitChained(code(Op::JMP), 0);
    } else {
        loadOperand(step);
        Emit(code(Op::PSH), 0);
        Emit(code(Op::LTI), 0);
        Emit(code(Op::OPR), tok::Gt);
        storeOperand(direction);
        loadOperand(step);
        toExit = compiler::EmitChained(code(Op::JMF), 0);
    }
    const int toTest = compiler::EmitChained(code(Op::JMP), 0);
    const int increment = compiler::Target();
    loadOperand(counter);
    Emit(code(Op::PSH), 0);
    if (literalStep)
        Emit(code(Op::LTI), literal);
    else
        loadOperand(step);
    Emit(code(Op::OPR), tok::Plus);
    storeOperand(counter);
    compiler::PatchHere(toTest);
    compiler::Target();
    if (literalStep) {
        loadOperand(counter);
        Emit(code(Op::PSH), 0);
        loadOperand(stop);
        Emit(code(Op::OPR), literal > 0 ? tok::Le : tok::Ge);
    } else {
        loadOperand(direction);
        const int toDown = compiler::EmitChained(code(Op::JMF), 0);
        loadOperand(counter);
        Emit(code(Op::PSH), 0);
        loadOperand(stop);
        Emit(code(Op::OPR), tok::Le);
        const int toCompared = compiler::EmitChained(code(Op::JMP), 0);
        compiler::PatchHere(toDown);
        loadOperand(counter);
        Emit(code(Op::PSH), 0);
        loadOperand(stop);
        Emit(code(Op::OPR), tok::Ge);
        compiler::PatchHere(toCompared);
    }
    const int toBody = compiler::EmitChained(code(Op::JMT), 0);
    toExit = compiler::EmitChained(code(Op::JMP), toExit);
    compiler::PatchHere(toBody);
    {
        LoopScope scope(increment);
        scope.loop().breakChain = toExit;
        ParseStatementsUntil({tok::GEndfor});
        GExpect(tok::GEndfor);
        Emit(code(Op::JMP), increment);
        compiler::PatchHere(scope.loop().breakChain);
    }
    endStatement();
    // The loop's names go; with debug information they stay visible as
    // "-name" to the debugger.
    for (const Operand* o : {&counter, &stop, &direction, &step}) {
        if (State().debugInfo && o == &counter) {
            st.rename(o->symbol, "-" + name);
        } else {
            st.freeName(o->symbol);
        }
    }
}

void breakOrContinue(bool isBreak) {
    auto& loops = State().loops;
    if (loops.empty()) {
        Error(Msg::OutOfPlace, isBreak ? "break" : "continue");
    } else if (isBreak) {
        compiler::LineMarker(true);
        loops.back().breakChain = compiler::EmitChained(code(Op::JMP), loops.back().breakChain);
    } else {
        compiler::LineMarker(true);
        Emit(code(Op::JMP), loops.back().continueTarget);
    }
    endStatement();
}

// ---------------------------------------------------------------------------
// Labels, goto, gosub, return, pop

compiler::Label* labelFor(const std::string& name) {
    auto& labels = State().labels;
    for (compiler::Label& l : labels)
        if (l.name == name) return &l;
    if (static_cast<int>(labels.size()) >= compiler::kMaxLabels) {
        Error(Msg::TooManyLabels, name);
        return nullptr;
    }
    labels.push_back(compiler::Label{name, -1, 0});
    return &labels.back();
}

void defineLabel(const std::string& name) {
    compiler::Label* l = labelFor(name);
    if (!l) return;
    if (l->position >= 0) {
        Error(Msg::DuplicateLabel, name);
        return;
    }
    l->position = compiler::Target();
    compiler::PatchTo(l->chain, l->position);
    l->chain = 0;
}

void jumpTo(const std::string& name) {
    compiler::Label* l = labelFor(name);
    if (!l) return;
    if (l->position >= 0)
        Emit(code(Op::JMP), l->position);
    else
        l->chain = compiler::EmitChained(code(Op::JMP), l->chain);
}

// "(" values ")": each pushed; the count.
int pushedValues() {
    int n = 0;
    if (!GAccept(tok::LParen)) return 0;
    if (GAccept(tok::RParen)) return 0;
    do {
        Emit(code(Op::PSH), 0);
        LoadGaussExpression();
        ++n;
    } while (GAccept(tok::Comma));
    GExpect(tok::RParen);
    return n;
}

// goto label [(args)]   gosub label [(args)]
void gotoStatement(bool gosub) {
    if (!GExpect(tok::Identifier)) {
        SkipStatement();
        return;
    }
    const std::string name = State().text;
    compiler::LineMarker(true);
    int lip = -1;
    if (gosub) {
        lip = Emit(code(Op::LIP), -1);
        Emit(code(Op::PSH), 0);
        if (Procedure().active) Procedure().usesGosub = true;
    }
    pushedValues();
    jumpTo(name);
    // The return address is the instruction after the jump.
    if (lip >= 0) compiler::At(lip).arg = compiler::Here() - lip;
    compiler::Target();
    endStatement();
}

// retp [(values)]: one value returned, several as an array, none as no value
void retpStatement() {
    if (!Procedure().active) {
        Error(Msg::OutOfPlace, "retp");
        SkipStatement();
        return;
    }
    int n = 0;
    if (GAccept(tok::LParen) && !GAccept(tok::RParen)) {
        do {
            if (n > 0) Emit(code(Op::PSH), 0);
            LoadGaussExpression();
            if (n == 0 && GPeek() == tok::Comma)
                Emit(code(Op::OPR), tok::KwArray);
            else if (n > 0)
                Emit(code(Op::OPR), tok::Tilde);
            ++n;
        } while (GAccept(tok::Comma));
        GExpect(tok::RParen);
    }
    compiler::LineMarker();
    Emit(code(Op::RET), n == 0 ? -1 : 1);
    endStatement();
}

// return [(values)]: back from a gosub; in a procedure without gosub,
// as retp.
void returnStatement() {
    if (Procedure().active && !Procedure().usesGosub) {
        retpStatement();
        return;
    }
    compiler::LineMarker(true);
    Emit(code(Op::POP), 0);
    const int n = pushedValues();
    Emit(code(Op::JST), -n);
    endStatement();
}

// pop x: the value on top goes into x
void popStatement() {
    Operand target;
    if (GPeek() == tok::Identifier) {
        GNext();
        target = assignmentTarget();
    } else {
        target = ParseGaussExpression();
    }
    if (compiler::CheckAssignable(target)) {
        if (target.kind == Storage::Global) symbolTable()[target.index].val.t &= ~ZU_FLAG_NUL;
        compiler::Store(target);
    }
    Emit(code(Op::POP), 0);
    endStatement();
}

// local a, b:proc, c;
void localStatement() {
    if (!Procedure().active) {
        Error(Msg::OutOfPlace, "local");
        SkipStatement();
        return;
    }
    while (GPeek() == tok::Identifier || GPeek() == tok::Comma) {
        if (GNext() == tok::Comma) continue;
        const std::string name = State().text;
        if (GAccept(tok::Colon)) GNext();  // the type word: proc, fn, keyword, matrix, string
        // "local f:proc" of an argument f only says what f is.
        if (symbolTable().findArgument(name) >= 0) continue;
        compiler::DeclareLocal(name);
        if (State().debugInfo) Emit(code(Op::ELT), program::literalTable().addString(name));
    }
    endStatement();
}

// end; stop;: the program ends here (exit of the standard library).
void endProgram() {
    const int exitFunction = symbolTable().findVisibleGlobal("exit");
    compiler::LineMarker(true);
    if (exitFunction >= 0) {
        Emit(code(Op::LOD), exitFunction);
        Emit(code(Op::PSH), 0);
        Emit(code(Op::LTI), 0);
        Emit(code(Op::CAL), 1);
        // exit does not come back; were it to, the code after (the
        // subroutines gosub jumps to, with their own stack) is not entered.
        Emit(code(Op::RET), 0);
    } else {
        Error(Msg::UndeclaredIdentifier, "exit");
    }
    endStatement();
}

}  // namespace

int ParseStatementsUntil(std::initializer_list<int> endings) {
    for (;;) {
        const int t = GPeek();
        if (t == tok::Eof) {
            Error(Msg::UnexpectedEndOfFile);
            return t;
        }
        if (std::find(endings.begin(), endings.end(), t) != endings.end()) return t;
        if (t == tok::GEndp || t == tok::GProc || t == tok::GFn || t == tok::GKeyword) {
            // A procedure's end or a new procedure closes nothing here.
            Error(Msg::OutOfPlace, SZuTokenName(t));
            return t;
        }
        const long before = State().taken;
        ParseGaussStatement();
        if (State().taken == before) GNext();
    }
}

void ParseGaussStatement() {
    compiler::NestingGuard nesting;
    symbolTable().ensureRoom();
    const int t = GPeek();
    switch (t) {
    case tok::Semicolon:
    case tok::SemiSemi: GNext(); return;
    case tok::Query:
        GNext();
        PrintStatement();
        return;
    case tok::Slash:
    case tok::Dollar: PrintStatement(); return;
    case tok::GCall: {
        GNext();
        Operand x = ParseGaussExpression();
        compiler::Load(x);
        compiler::LineMarker();
        endStatement();
        return;
    }
    case tok::KwIf:
        GNext();
        ifStatement();
        return;
    case tok::KwDo:
        GNext();
        doStatement();
        return;
    case tok::KwFor:
        GNext();
        forStatement();
        return;
    case tok::KwBreak:
        GNext();
        breakOrContinue(true);
        return;
    case tok::KwContinue:
        GNext();
        breakOrContinue(false);
        return;
    case tok::KwGoto:
        GNext();
        gotoStatement(false);
        return;
    case tok::GGosub:
        GNext();
        gotoStatement(true);
        return;
    case tok::KwReturn:
        GNext();
        returnStatement();
        return;
    case tok::GPop:
        GNext();
        popStatement();
        return;
    case tok::GRetp:
        GNext();
        retpStatement();
        return;
    case tok::GLocal:
        GNext();
        localStatement();
        return;
    case tok::GLet:
        GNext();
        LetStatement();
        return;
    case tok::GDeclare:
        GNext();
        DeclareStatement();
        return;
    case tok::GExternal:
        GNext();
        ExternalStatement();
        return;
    case tok::LBrace:
        GNext();
        multipleAssignment();
        return;
    case tok::GDataloop:
        GNext();
        DataLoopStatement();
        return;
    case tok::KwNew:
        GNext();
        Error(Msg::OutOfPlace, "new");
        SkipStatement();
        return;
    case tok::Identifier: {
        GNext();
        const std::string word = State().text;
        if (DataLoopWord(word)) return;
        // A command's operands are read with blanks as separators, the
        // token after the command word too.
        const int command = CommandCode(word);
        if (command != 0) ZuSetSpaceMode(1);
        if (GPeek() == tok::Colon) {
            ZuSetSpaceMode(0);
            GNext();
            defineLabel(word);
            return;
        }
        const int g = FindGaussGlobal(word);
        const bool known = g >= 0 || Procedure().active;
        if (word == "struct" && g < 0 && GPeek() == tok::Identifier) {
            StructStatement();
            return;
        }
        if ((word == "end" || word == "stop") && g < 0 && (GPeek() == tok::Semicolon || GPeek() == tok::Eof)) {
            endProgram();
            return;
        }
        if (g >= 0 && (symbolTable()[g].val.t & kKeywordFlag) && GPeek() != tok::Assign && GPeek() != tok::LParen) {
            keywordCall(g);
            return;
        }
        if (command != 0 && !(known && GPeek() == tok::Assign)) {
            CommandStatement(command);
            return;
        }
        ZuSetSpaceMode(0);
        GUnread(tok::Identifier, word);
        expressionStatement();
        return;
    }
    default: expressionStatement(); return;
    }
}

}  // namespace zu::gauss
