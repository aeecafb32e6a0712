// Statements: blocks, local declarations, the control statements with
// their jump chains, labels and returns.
#include "compiler/parser.h"

#include "program/code_buffer.h"
#include "program/literals.h"
#include "program/symbols.h"
#include "program/tokens.h"
#include "program/pcode.h"

#include <algorithm>
#include <vector>

namespace zu::compiler {
namespace tok = program::tok;
using program::code;
using program::Declaration;
using program::literalTable;
using program::Op;
using program::SymbolTable;
using program::symbolTable;

namespace {

// A body that is a lone ";" is worth a warning.
void warnEmptyBody() {
    if (Peek() == tok::Semicolon) Error(Msg::WarnEmptyStatement);
}

// The loops around the statement being compiled.
class LoopScope {
public:
    explicit LoopScope(int continueTarget) {
        auto& loops = State().loops;
        if (static_cast<int>(loops.size()) >= kMaxLoops) Error(Msg::TooManyNestedLoops);
        loops.push_back(Loop{0, continueTarget, 0});
    }
    ~LoopScope() { State().loops.pop_back(); }
    LoopScope(const LoopScope&) = delete;
    LoopScope& operator=(const LoopScope&) = delete;

    Loop& loop() { return State().loops.back(); }
};

// ---------------------------------------------------------------------------
// Control statements

// if ( test ) statement { else if ( test ) statement } [ else statement ]
// An else-if ladder is a loop here, not a recursion, so that a ladder of
// any length compiles: it is a list, not nesting.  The code is that of
// the nested reading: each rung jumps over the rest to the same end.
void ifStatement() {
    std::vector<int> overElses;
    for (;;) {
        Expect(tok::LParen);
        ParseTest();
        Expect(tok::RParen);
        LineMarker(true);
        const int overThen = EmitChained(code(Op::JMF), 0);
        warnEmptyBody();
        ParseStatement();
        if (!Accept(tok::KwElse)) {
            PatchHere(overThen);
            break;
        }
        overElses.push_back(EmitChained(code(Op::JMP), 0));
        PatchHere(overThen);
        warnEmptyBody();
        if (Accept(tok::KwIf)) continue;
        ParseStatement();
        break;
    }
    for (auto e = overElses.rbegin(); e != overElses.rend(); ++e) PatchHere(*e);
}

// while ( test ) statement
void whileStatement() {
    Expect(tok::LParen);
    const int top = Target();
    ParseTest();
    Expect(tok::RParen);
    LineMarker(true);
    LoopScope scope(top);
    scope.loop().breakChain = EmitChained(code(Op::JMF), 0);
    warnEmptyBody();
    ParseStatement();
    Emit(code(Op::JMP), top);
    PatchHere(scope.loop().breakChain);
}

// do statement while ( test ) ;
void doStatement() {
    const int top = Target();
    LoopScope scope(top);
    warnEmptyBody();
    ParseStatement();
    Expect(tok::KwWhile);
    Expect(tok::LParen);
    ParseTest();
    Expect(tok::RParen);
    LineMarker(true);
    Emit(code(Op::JMT), top);
    PatchHere(scope.loop().breakChain);
    Expect(tok::Semicolon);
}

// for ( [init] ; [test] ; [step] ) statement
void forStatement() {
    const int mark = symbolTable().count();
    Expect(tok::LParen);
    if (Peek() == tok::KwDecl) {
        ParseLocalDecl();
    } else if (!Accept(tok::Semicolon)) {
        LoadExpression();
        Expect(tok::Semicolon);
    }
    const int test = Target();
    if (Peek() == tok::Semicolon)
        Emit(code(Op::LTI), 1);
    else
        ParseTest();
    Expect(tok::Semicolon);
    LineMarker(true);
    const int toBody = EmitChained(code(Op::JMT), 0);
    const int toExit = EmitChained(code(Op::JMP), 0);
    const int step = Target();
    if (Peek() != tok::RParen) LoadExpression();
    Expect(tok::RParen);
    LineMarker(true);
    Emit(code(Op::JMP), test);
    PatchHere(toBody);
    {
        LoopScope scope(step);
        scope.loop().breakChain = toExit;
        warnEmptyBody();
        ParseStatement();
        Emit(code(Op::JMP), step);
        PatchHere(scope.loop().breakChain);
    }
    EndLocals(mark);
}

// The ";" after break and continue: still the marker an empty statement
// leaves, so the code is what it was when the ";" stood alone.
void acceptEndOfJump() {
    if (Accept(tok::Semicolon)) LineMarker();
}

// break [;]   continue [;]
// The ";" belongs to the statement, so that "if (c) break; else ..." finds
// its "if"; the empty statement it used to make emitted only a marker.
void breakStatement() {
    auto& loops = State().loops;
    if (!loops.empty()) {
        LineMarker(true);
        loops.back().breakChain = EmitChained(code(Op::JMP), loops.back().breakChain);
    }
    acceptEndOfJump();
}

void continueStatement() {
    auto& loops = State().loops;
    if (!loops.empty()) {
        LineMarker(true);
        Emit(code(Op::JMP), loops.back().continueTarget);
    }
    acceptEndOfJump();
}

// ---------------------------------------------------------------------------
// Labels

Label* findLabel(std::string_view name) {
    for (Label& l : State().labels)
        if (l.name == name) return &l;
    return nullptr;
}

Label* labelFor(const std::string& name) {
    if (Label* l = findLabel(name)) return l;
    auto& labels = State().labels;
    if (static_cast<int>(labels.size()) >= kMaxLabels) {
        Error(Msg::TooManyLabels, name);
        return nullptr;
    }
    labels.push_back(Label{name, -1, 0});
    return &labels.back();
}

// goto name
void gotoStatement() {
    if (!Expect(tok::Identifier)) return;
    LineMarker(true);
    Label* l = labelFor(State().text);
    if (!l) return;
    if (l->position >= 0)
        Emit(code(Op::JMP), l->position);
    else
        l->chain = EmitChained(code(Op::JMP), l->chain);
}

// : name
void labelStatement() {
    if (!Expect(tok::Identifier)) return;
    const std::string name = State().text;
    if (Label* old = findLabel(name); old && old->position >= 0) {
        Error(Msg::DuplicateLabel, name);
        return;
    }
    Label* l = labelFor(name);
    if (!l) return;
    l->position = Target();
    PatchTo(l->chain, l->position);
    l->chain = 0;
}

// return [expression] ;
void returnStatement() {
    ParseState& s = State();
    const bool structor = s.inConstructor || s.inDestructor;
    if (Peek() != tok::Semicolon) {
        if (structor) Error(Msg::ConstructorReturnsValue);
        LoadExpression();
        LineMarker();
        Emit(code(Op::RET), 1);
    } else if (s.inConstructor) {
        LineMarker();
        Emit(code(Op::LAP), 0);
        Emit(code(Op::RET), 1);
    } else {
        LineMarker();
        Emit(code(Op::RET), 0);
    }
    Expect(tok::Semicolon);
}

}  // namespace

// ---------------------------------------------------------------------------
// Locals

int LocalNumber(int record) { return record - symbolTable().marks().firstLocal; }

int DeclareLocal(std::string_view name) {
    SymbolTable& st = symbolTable();
    const Declaration d = st.declare(name, ZU_INT | ZU_FLAG_NUL, st.marks().firstLocal);
    ParseState& s = State();
    s.maxLocals = std::max(s.maxLocals, st.count() - st.marks().firstLocal);
    const int slot = LocalNumber(d.index);
    if (!name.empty() && name.front() != '$') program::codeBuffer().localNames().declare(slot, name, s.barrier);
    return slot;
}

void EndLocals(int mark) {
    SymbolTable& st = symbolTable();
    const int removed = st.count() - mark;
    if (removed <= 0) return;
    program::codeBuffer().localNames().end(LocalNumber(mark), program::codeBuffer().size());
    if (State().debugInfo && !State().implicitLocals) Emit(code(Op::ELT), -removed);
    st.truncate(mark);
}

// A typed line may declare again a name that the frame already has: the
// variable is the same one, so the session goes on without a clash.
static int declareOrReuse(const std::string& name) {
    const ParseState& s = State();
    if (s.implicitLocals) {
        const int r = symbolTable().findLocal(name);
        if (r >= 0 && r < s.frameNamesEnd) return LocalNumber(r);
    }
    return DeclareLocal(name);
}

// decl name [= value] { , name [= value] } ;
void ParseLocalDecl() {
    Next();
    do {
        if (!Expect(tok::Identifier)) break;
        const std::string name = State().text;
        Operand x;
        x.kind = Storage::Local;
        x.index = declareOrReuse(name);
        x.name = name;
        if (State().debugInfo && !State().implicitLocals) Emit(code(Op::ELT), literalTable().addString(name));
        if (Accept(tok::Assign)) {
            LoadAssignment();
            Store(x);
            LineMarker();
        }
    } while (Accept(tok::Comma));
    Expect(tok::Semicolon);
}

// { statements }
void ParseBlock() {
    const int mark = symbolTable().count();
    Expect(tok::LBrace);
    while (Peek() != tok::RBrace && Peek() != tok::Eof) {
        const long before = State().taken;
        ParseStatement();
        if (State().taken == before) Next();
    }
    Expect(tok::RBrace);
    EndLocals(mark);
}

void ParseStatement() {
    NestingGuard nesting;
    const int t = Peek();
    switch (t) {
    case tok::LBrace: ParseBlock(); return;
    case tok::KwDecl: ParseLocalDecl(); return;
    case tok::KwIf:
        Next();
        ifStatement();
        return;
    case tok::KwWhile:
        Next();
        whileStatement();
        return;
    case tok::KwDo:
        Next();
        doStatement();
        return;
    case tok::KwFor:
        Next();
        forStatement();
        return;
    case tok::KwBreak:
        Next();
        breakStatement();
        return;
    case tok::KwContinue:
        Next();
        continueStatement();
        return;
    case tok::KwGoto:
        Next();
        gotoStatement();
        return;
    case tok::KwReturn:
        Next();
        returnStatement();
        return;
    case tok::Colon:
        Next();
        labelStatement();
        return;
    case tok::Semicolon:
    case tok::SemiSemi:
        Next();
        LineMarker();
        return;
    case tok::KwSwitch:
    case tok::KwCase:
    case tok::KwDefault:
    case tok::KwChar:
    case tok::KwShort:
    case tok::KwOperator:
        Next();
        Error(Msg::OutOfPlace, SZuTokenName(t));
        return;
    case tok::Eof: Error(Msg::UnexpectedEndOfFile); return;
    default:
        // The marker follows the statement's code: the line of a failing
        // instruction is that of the first marker after it.
        LoadExpression();
        LineMarker();
        Expect(tok::Semicolon);
        return;
    }
}

// Patches the gotos of the function's labels and reports those never
// defined; the table is then empty.
void EndLabels() {
    for (const Label& l : State().labels)
        if (l.position < 0) Error(Msg::UndefinedLabel, l.name);
    State().labels.clear();
}

}  // namespace zu::compiler
