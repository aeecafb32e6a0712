// The data loop: "dataloop infile outfile; ... endata;" transforms a data
// set variable by variable.  Inside the loop a name that is not declared
// `extern` and not called names a variable (a column) of the data set; it
// is held in a hidden global "gauss::$dl.name" for the whole run of rows.
//
// The code laid out for one loop:
//
//     $dl = __dlopen__(infile, listwise)     the rows and names
//     JMP load
//   body:
//     the statements, names through their hidden globals
//     JMP store
//   filter:                                  (select, delete, listwise)
//     each name: $dl.n = __dlrows__($dl.n, $dlmask)
//     $dl = __dlrows__($dl, $dlmask); back to the statement after
//   load:
//     each name: $dl.n = __dlget__($dl, "n", assigned in the loop)
//     JMP body
//   store:
//     each name assigned: $dl = __dlput__($dl, "n", $dl.n)
//     __dlwrite__($dl, outfile, keep, drop, listwise)
//
// A fault the support routines find while opening, loading, putting back
// or writing comes back as a message, and the loop stops with it in the
// program's own code.
// The load comes after the body because only the body tells which names
// the loop uses; select and delete reach the filter as a gosub does, so
// that the statements after them see the rows kept.
#include "gauss/gauss_parser.h"

#include "program/literals.h"
#include "program/pcode.h"
#include "program/symbols.h"
#include "program/tokens.h"

#include <algorithm>
#include <limits>
#include <set>
#include <string>
#include <vector>

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

// Bits of the listwise statement: rows with a missing value are dropped
// when read, when written, or both.
constexpr int kListwiseRead = 1;
constexpr int kListwiseWrite = 2;

struct DataLoop {
    bool active = false;
    std::set<std::string, std::less<>> externs;  // names that stay the program's
    std::vector<std::string> names;               // data-set names, in order of first use
    std::vector<std::string> assigned;            // names given values, in order of first assignment
    int filterChain = 0;                          // jumps to the row filter
    int listwise = 0;
    std::vector<std::string> keep, drop;
};
DataLoop g_loop;

// A hidden global of the namespace, created the first time.
int hiddenGlobal(const std::string& name) {
    int g = FindGaussGlobal(name);
    if (g < 0) g = DeclareGaussGlobal(name);
    symbolTable()[g].val.t &= ~ZU_FLAG_NUL;
    return g;
}
int variableGlobal(const std::string& name) { return hiddenGlobal("$dl." + name); }
int stateGlobal() { return hiddenGlobal("$dl"); }
int maskGlobal() { return hiddenGlobal("$dlmask"); }

// Calls of the support routines (zugauss/src/dataloop.zu): the routine is
// loaded, each argument pushed before its value is loaded, then called.
void callee(std::string_view routine, int count) { Emit(code(Op::LOD), DeclareExternalFunction(routine, count)); }
void argument() { Emit(code(Op::PSH), 0); }
void loadText(const std::string& text) { Emit(code(Op::LIT), literalTable().addString(text)); }

// The support routines answer a fault with its message as a string; the
// loop stops with it here, so that the message points at the program.
void stopOnMessage(int g) {
    const int isString = symbolTable().findVisibleGlobal("isstring");
    const int stop = symbolTable().findVisibleGlobal("zurunerror");
    if (isString < 0 || stop < 0) {
        Error(Msg::UndeclaredIdentifier, isString < 0 ? "isstring" : "zurunerror");
        return;
    }
    Emit(code(Op::LOD), isString);
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LOD), g);
    Emit(code(Op::CAL), 1);
    const int skip = compiler::EmitChained(code(Op::JMF), 0);
    Emit(code(Op::LOD), stop);
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LOD), g);
    Emit(code(Op::CAL), 1);
    compiler::PatchHere(skip);
    compiler::Target();
}

// An array of texts as one value: the first made an array, each further
// one appended.
void loadTexts(const std::vector<std::string>& texts) {
    if (texts.empty()) {
        Emit(code(Op::LTI), 0);
        return;
    }
    loadText(texts.front());
    Emit(code(Op::OPR), tok::KwArray);
    for (std::size_t k = 1; k < texts.size(); ++k) {
        argument();
        loadText(texts[k]);
        Emit(code(Op::OPR), tok::Tilde);
    }
}

void noteName(const std::string& name) {
    if (std::find(g_loop.names.begin(), g_loop.names.end(), name) == g_loop.names.end())
        g_loop.names.push_back(name);
}
void noteAssigned(const std::string& name) {
    noteName(name);
    if (std::find(g_loop.assigned.begin(), g_loop.assigned.end(), name) == g_loop.assigned.end())
        g_loop.assigned.push_back(name);
}

// Takes the word when it comes next.
bool acceptWord(std::string_view word) {
    if (GPeek() != tok::Identifier) return false;
    GNext();
    if (State().text == word) return true;
    GUnread(tok::Identifier, State().text);
    return false;
}

void endStatement() {
    if (GAccept(tok::Semicolon) || GAccept(tok::SemiSemi) || GPeek() == tok::Eof) return;
    compiler::ExpectedError(tok::Semicolon, GPeek());
    SkipStatement();
}

// "^" (which the scanner gives as ".^" in this mode).
bool isCaret(int t) { return t == tok::Caret || t == tok::DotCaret; }

// A file name: a name, a string, or ^name for a variable holding it.
// Its value is loaded.
bool loadFileName() {
    const int t = GNext();
    if (t == tok::Identifier) {
        loadText(State().text);
        return true;
    }
    if (t == tok::String) {
        loadText(State().text);
        return true;
    }
    if (isCaret(t) && GExpect(tok::Identifier)) {
        Operand x = ResolveGaussName(State().text);
        compiler::Load(x);
        return true;
    }
    if (!isCaret(t)) compiler::ExpectedError(tok::Identifier, t);
    return false;
}

// The "#" and "$" marks before a new variable's name say how it is
// stored; every variable here is held as doubles.
void skipTypeMarks() {
    while (GAccept(tok::Hash) || GAccept(tok::Dollar)) {
    }
}

// A new or changed variable's name, taken.
bool targetName(std::string& name) {
    skipTypeMarks();
    if (!GExpect(tok::Identifier)) return false;
    name = State().text;
    return true;
}

void storeVariable(const std::string& name) {
    noteAssigned(name);
    Emit(code(Op::STO), variableGlobal(name));
}

// The same for a value from a support routine, which may be a message.
void storeChecked(const std::string& name) {
    storeVariable(name);
    stopOnMessage(variableGlobal(name));
}

// make x = expression;   vector x = expression;
void makeStatement() {
    std::string name;
    if (!targetName(name) || !GExpect(tok::Assign)) {
        SkipStatement();
        return;
    }
    LoadGaussExpression();
    storeVariable(name);
    compiler::LineMarker();
    endStatement();
}

// select test;  delete test;  the rows are filtered where the statement
// stands, by the filter laid out after the body.
void rowFilter(bool select) {
    callee("__dlmask__", 2);
    argument();
    LoadGaussExpression();
    argument();
    Emit(code(Op::LTI), select ? 1 : 0);
    Emit(code(Op::CAL), 2);
    Emit(code(Op::STO), maskGlobal());
    stopOnMessage(maskGlobal());
    compiler::LineMarker(true);
    const int lip = Emit(code(Op::LIP), -1);
    Emit(code(Op::PSH), 0);
    g_loop.filterChain = compiler::EmitChained(code(Op::JMP), g_loop.filterChain);
    compiler::At(lip).arg = compiler::Here() - lip;
    compiler::Target();
    endStatement();
}

// keep names;  drop names;  (separated by blanks or commas)
void nameList(std::vector<std::string>& into) {
    while (GPeek() == tok::Identifier || GPeek() == tok::Comma) {
        if (GNext() == tok::Comma) continue;
        into.push_back(State().text);
    }
    endStatement();
}

// code x [default v] with v1 for e1, v2 for e2, ...;
// recode x with v1 for e1, ...;
// The first test that holds chooses the value; rows where none holds
// keep the default (missing) or, for recode, their value.  All tests see
// the values from before the statement.
void codeStatement(bool recode) {
    std::string name;
    if (!targetName(name)) {
        SkipStatement();
        return;
    }
    callee("__dlcode__", 2);
    argument();
    if (recode) {
        noteName(name);
        Emit(code(Op::LOD), variableGlobal(name));
    } else if (acceptWord("default")) {
        LoadGaussExpression();
    } else {
        Emit(code(Op::LIT), literalTable().addDouble(std::numeric_limits<double>::quiet_NaN()));
    }
    argument();
    if (!acceptWord("with")) {
        compiler::ExpectedError(tok::Identifier, GPeek());
        SkipStatement();
        return;
    }
    // The values and tests as one array: v1, e1, v2, e2, ...
    bool first = true;
    do {
        for (const bool isTest : {false, true}) {
            if (!first) argument();
            LoadGaussExpression();
            Emit(code(Op::OPR), first ? tok::KwArray : tok::Tilde);
            first = false;
            if (!isTest && !GExpect(tok::KwFor)) {
                SkipStatement();
                return;
            }
        }
    } while (GAccept(tok::Comma));
    Emit(code(Op::CAL), 2);
    storeChecked(name);
    compiler::LineMarker();
    endStatement();
}

// lag x1 = y1[:p1], x2 = y2[:p2], ...;  p rows down, missing on top.
void lagStatement() {
    do {
        std::string name;
        if (!targetName(name) || !GExpect(tok::Assign) || !GExpect(tok::Identifier)) {
            SkipStatement();
            return;
        }
        const std::string source = State().text;
        noteName(source);
        callee("__dllag__", 2);
        argument();
        Emit(code(Op::LOD), variableGlobal(source));
        argument();
        if (GAccept(tok::Colon))
            LoadGaussExpression();
        else
            Emit(code(Op::LTI), 1);
        Emit(code(Op::CAL), 2);
        storeChecked(name);
    } while (GAccept(tok::Comma));
    compiler::LineMarker();
    endStatement();
}

// listwise [read | write | both];
void listwiseStatement() {
    int bits = kListwiseRead | kListwiseWrite;
    if (GPeek() == tok::Identifier) {
        GNext();
        const std::string& word = State().text;
        if (word == "read")
            bits = kListwiseRead;
        else if (word == "write")
            bits = kListwiseWrite;
        else if (word != "both")
            Error(Msg::OutOfPlace, word);
    }
    g_loop.listwise |= bits;
    endStatement();
}

// extern names;  names the program's own variables inside the loop.
void externStatement() {
    while (GPeek() == tok::Identifier || GPeek() == tok::Comma) {
        if (GNext() == tok::Comma) continue;
        g_loop.externs.insert(State().text);
    }
    endStatement();
}

// The row filter, reached from select and delete as a subroutine.
void emitFilter() {
    if (g_loop.filterChain == 0) return;
    compiler::PatchTo(g_loop.filterChain, compiler::Target());
    for (const std::string& name : g_loop.names) {
        callee("__dlrows__", 2);
        argument();
        Emit(code(Op::LOD), variableGlobal(name));
        argument();
        Emit(code(Op::LOD), maskGlobal());
        Emit(code(Op::CAL), 2);
        Emit(code(Op::STO), variableGlobal(name));
        stopOnMessage(variableGlobal(name));
    }
    callee("__dlrows__", 2);
    argument();
    Emit(code(Op::LOD), stateGlobal());
    argument();
    Emit(code(Op::LOD), maskGlobal());
    Emit(code(Op::CAL), 2);
    Emit(code(Op::STO), stateGlobal());
    stopOnMessage(stateGlobal());
    Emit(code(Op::POP), 0);
    Emit(code(Op::JST), 0);
}

}  // namespace

bool InDataLoop() { return g_loop.active; }

bool DataLoopName(const std::string& name, bool target, Operand& x) {
    if (!g_loop.active || g_loop.externs.contains(name)) return false;
    const int next = GPeek();
    if (next == tok::LParen) return false;
    if (const int g = FindGaussGlobal(name); g >= 0 && program::kindOf(symbolTable()[g].val) == ZU_FUNCTION)
        return false;
    if (target || next == tok::Assign)
        noteAssigned(name);
    else
        noteName(name);
    const int g = variableGlobal(name);
    x = Operand{};
    x.kind = Storage::Global;
    x.index = g;
    x.symbol = g;
    x.name = symbolTable()[g].name ? symbolTable()[g].name : "";
    return true;
}

bool DataLoopWord(const std::string& word) {
    if (!g_loop.active || GPeek() == tok::Assign) return false;
    if (word == "make" || word == "vector")
        makeStatement();
    else if (word == "select" || word == "delete")
        rowFilter(word == "select");
    else if (word == "keep")
        nameList(g_loop.keep);
    else if (word == "drop")
        nameList(g_loop.drop);
    else if (word == "code" || word == "recode")
        codeStatement(word == "recode");
    else if (word == "lag")
        lagStatement();
    else if (word == "listwise")
        listwiseStatement();
    else if (word == "extern")
        externStatement();
    else if (word == "outtyp")
        SkipStatement();  // the precision of the file written: always doubles here
    else
        return false;
    return true;
}

void DataLoopStatement() {
    if (g_loop.active) {
        Error(Msg::OutOfPlace, "dataloop");
        SkipStatement();
        return;
    }
    g_loop = DataLoop{};
    const int loopLine = IZuLineNo();
    compiler::LineMarker(true);
    callee("__dlopen__", 2);
    argument();
    if (!loadFileName()) {
        Emit(code(Op::POP), 0);
        SkipStatement();
        return;
    }
    argument();
    const int listwiseFlags = Emit(code(Op::LTI), 0);
    Emit(code(Op::CAL), 2);
    Emit(code(Op::STO), stateGlobal());
    stopOnMessage(stateGlobal());
    if (State().lineNumbers) Emit(code(Op::NUM), loopLine);
    // The output file's name is loaded after the body, where it is written.
    const int nameToken = GPeek();
    std::string outText;
    bool outIsVariable = false;
    if (nameToken == tok::Identifier || nameToken == tok::String) {
        GNext();
        outText = State().text;
    } else if (isCaret(nameToken) && (GNext(), GExpect(tok::Identifier))) {
        outText = State().text;
        outIsVariable = true;
    } else {
        compiler::ExpectedError(tok::Identifier, nameToken);
    }
    endStatement();

    // A fatal message unwinds through here: the next compilation must not
    // find a loop open.
    struct Reset {
        Reset(const Reset&) = delete;
        Reset& operator=(const Reset&) = delete;
        Reset() = default;
        ~Reset() { g_loop = DataLoop{}; }
    } reset;
    g_loop.active = true;
    const int toLoad = compiler::EmitChained(code(Op::JMP), 0);
    const int body = compiler::Target();
    ParseStatementsUntil({tok::GEndata});
    g_loop.active = false;
    GExpect(tok::GEndata);
    const int toStore = compiler::EmitChained(code(Op::JMP), 0);

    emitFilter();

    compiler::PatchHere(toLoad);
    compiler::Target();
    for (const std::string& name : g_loop.names) {
        const bool assigned = std::find(g_loop.assigned.begin(), g_loop.assigned.end(), name) != g_loop.assigned.end();
        callee("__dlget__", 3);
        argument();
        Emit(code(Op::LOD), stateGlobal());
        argument();
        loadText(name);
        argument();
        Emit(code(Op::LTI), assigned ? 1 : 0);
        Emit(code(Op::CAL), 3);
        Emit(code(Op::STO), variableGlobal(name));
        if (!assigned) stopOnMessage(variableGlobal(name));
    }
    // A variable missing from the data set is reported at the dataloop
    // line, as a data set that cannot be opened is.
    if (State().lineNumbers) Emit(code(Op::NUM), loopLine);
    Emit(code(Op::JMP), body);

    compiler::PatchHere(toStore);
    compiler::Target();
    for (const std::string& name : g_loop.assigned) {
        callee("__dlput__", 3);
        argument();
        Emit(code(Op::LOD), stateGlobal());
        argument();
        loadText(name);
        argument();
        Emit(code(Op::LOD), variableGlobal(name));
        Emit(code(Op::CAL), 3);
        Emit(code(Op::STO), stateGlobal());
        stopOnMessage(stateGlobal());
    }
    callee("__dlwrite__", 5);
    argument();
    Emit(code(Op::LOD), stateGlobal());
    argument();
    if (outIsVariable) {
        Operand x = ResolveGaussName(outText);
        compiler::Load(x);
    } else
        loadText(outText);
    argument();
    loadTexts(g_loop.keep);
    argument();
    loadTexts(g_loop.drop);
    argument();
    Emit(code(Op::LTI), g_loop.listwise);
    Emit(code(Op::CAL), 5);
    Emit(code(Op::STO), maskGlobal());
    stopOnMessage(maskGlobal());
    // The rows are let go with the loop; the names stay declared.
    for (const std::string& name : g_loop.names) {
        Emit(code(Op::LTI), 0);
        Emit(code(Op::STO), variableGlobal(name));
    }
    Emit(code(Op::LTI), 0);
    Emit(code(Op::STO), stateGlobal());
    compiler::At(listwiseFlags).arg = g_loop.listwise;
    compiler::LineMarker();
    endStatement();
}

}  // namespace zu::gauss
