// Gauss commands: the words of the command table at the start of a
// statement, each with its own operand form, and the print statement.
// Most compile to a call of a run-time routine of the namespace.
#include "gauss/gauss_parser.h"

#include "program/literals.h"
#include "program/symbols.h"
#include "program/tokens.h"
#include "program/pcode.h"

#include <algorithm>
#include <array>
#include <cctype>
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

struct Command {
    std::string_view word;
    int code;
};

// Sorted: searched by bisection on the lower-cased word.
constexpr std::array kCommands{
    Command{"clear", 1},    Command{"clearg", 2},   Command{"closeall", 3}, Command{"create", 4},
    Command{"datalist", 5}, Command{"debug", 6},    Command{"delete", 7},   Command{"disable", 8},
    Command{"dlibrary", 9}, Command{"dllcall", 10}, Command{"ed", 12},      Command{"edit", 13},
    Command{"enable", 14},  Command{"format", 16},  Command{"graph", 17},   Command{"lib", 18},
    Command{"library", 19}, Command{"load", 20},    Command{"loadf", 23},   Command{"loadk", 24},
    Command{"loadm", 21},   Command{"loadp", 25},   Command{"loads", 22},   Command{"msym", 26},
    Command{"ndpclex", 27}, Command{"open", 28},    Command{"output", 29},  Command{"outwidth", 30},
    Command{"plot", 31},    Command{"plotsym", 32}, Command{"prcsn", 33},   Command{"print", 34},
    Command{"rndseed", 36}, Command{"run", 37},     Command{"save", 38},    Command{"saveall", 39},
    Command{"system", 41},  Command{"trace", 42},   Command{"trap", 43},    Command{"use", 44},
};
static_assert(std::is_sorted(kCommands.begin(), kCommands.end(),
                             [](const Command& a, const Command& b) { return a.word < b.word; }));

enum CommandCode : int {
    kClear = 1,
    kClearg = 2,
    kCloseall = 3,
    kCreate = 4,
    kDisable = 8,
    kDlibrary = 9,
    kDllcall = 10,
    kEnable = 14,
    kFormat = 16,
    kLibrary = 19,
    kLoad = 20,
    kLoadm = 21,
    kLoads = 22,
    kOpen = 28,
    kOutput = 29,
    kOutwidth = 30,
    kPlot = 31,
    kPlotsym = 32,
    kPrint = 34,
    kRndseed = 36,
    kSave = 38,
    kSystem = 41,
    kTrap = 43,
};

void endCommand() {
    SkipSpaces();
    const int t = GPeek();
    if (t == tok::Semicolon || t == tok::SemiSemi) {
        GNext();
    } else if (t != tok::Eof) {
        compiler::ExpectedError(tok::Semicolon, t);
        SkipStatement();
    }
}

// The function of the namespace that a command calls, declared as an
// external function when it is not yet known.
int runtime(std::string_view name, int count) { return DeclareExternalFunction(name, count); }

void pushString(std::string_view text) {
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LIT), literalTable().addString(text));
}

void pushInt(int value) {
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LTI), value);
}

void pushExpression() {
    SkipSpaces();
    Emit(code(Op::PSH), 0);
    LoadGaussExpression();
}

// A file name operand: "^name" is the value of a string variable; a
// quoted string as it is; otherwise the unquoted word.  The scanner reads
// the word itself, so nothing may look ahead of it.
void pushFileName(const char* stops) {
    std::string text;
    if (PendingToken()) {
        int t = GNext();
        while (t == tok::Space) t = GNext();
        if (t == tok::Caret || t == tok::DotCaret) {
            pushExpression();
            return;
        }
        if (t == tok::String) {
            pushString(State().text);
            return;
        }
        text = State().text;
    } else {
        IZuScanUnquotedString(1, 0, stops);
        text = SZuScanText();
    }
    if (!text.empty() && text[0] == '^') {
        Operand x = ResolveGaussName(text.substr(1));
        Emit(code(Op::PSH), 0);
        compiler::Load(x);
        return;
    }
    pushString(text);
}

// The target of a command that stores: a name, as for an assignment.
Operand storeTarget(const std::string& name) {
    Operand x = ResolveGaussName(name, true);
    if (x.function && !Procedure().active) {
        x = Operand{};
        x.kind = Storage::Global;
        x.index = DeclareGaussGlobal(name);
        symbolTable()[x.index].val.t &= ~ZU_FLAG_NUL;
    }
    return x;
}

// clear x, y;   clearg x, y;
void clearCommand(bool global) {
    for (;;) {
        SkipSpaces();
        if (GAccept(tok::Comma)) continue;
        if (GPeek() != tok::Identifier) break;
        GNext();
        const std::string name = State().text;
        Operand x;
        if (global) {
            int g = FindGaussGlobal(name);
            if (g < 0) g = DeclareGaussGlobal(name);
            x.kind = Storage::Global;
            x.index = g;
            x.function = program::kindOf(symbolTable()[g].val) == ZU_FUNCTION;
        } else {
            x = ResolveGaussName(name, true);
        }
        if (x.function) {
            if (Procedure().active) {
                Error(Msg::ClearOrLetOnFunction, name);
                continue;
            }
            x = Operand{};
            x.kind = Storage::Global;
            x.index = DeclareGaussGlobal(name);
        }
        if (x.kind == Storage::Global) symbolTable()[x.index].val.t &= ~ZU_FLAG_NUL;
        Emit(code(Op::LTI), 0);
        compiler::Store(x);
    }
    compiler::LineMarker();
    endCommand();
}

// format [/flags] [width [, precision]];
void formatCommand() {
    const int f = runtime("format", 3);
    Emit(code(Op::LOD), f);
    std::string flags;
    SkipSpaces();
    while (GAccept(tok::Slash)) {
        if (GPeek() == tok::Identifier || GPeek() == tok::Int) {
            GNext();
            flags += "/" + State().text;
        }
        SkipSpaces();
    }
    pushString(flags);
    if (GPeek() == tok::Semicolon || GPeek() == tok::Eof) {
        pushInt(-1);
        pushInt(-1);
    } else {
        pushExpression();
        if (GAccept(tok::Comma))
            pushExpression();
        else
            pushInt(-1);
    }
    Emit(code(Op::CAL), 3);
    compiler::LineMarker();
    endCommand();
}

// load x [= file], ...;  loadm ...;  loads ...;  x[r, c] reads text
void loadCommand(bool strings) {
    const int f = runtime(strings ? "loads" : "loadm", 3);
    do {
        SkipSpaces();
        if (!GExpect(tok::Identifier)) break;
        const std::string name = State().text;
        int rows = -1, columns = -1;
        if (GAccept(tok::LBracket)) {
            rows = columns = 0;
            if (!GAccept(tok::RBracket)) {
                if (GExpect(tok::Int)) rows = std::atoi(State().text.c_str());
                if (GAccept(tok::Comma) && GExpect(tok::Int)) columns = std::atoi(State().text.c_str());
                GExpect(tok::RBracket);
            }
        }
        Operand target = storeTarget(name);
        compiler::Placeholder(target);
        Emit(code(Op::LOD), f);
        SkipSpaces();
        if (GAccept(tok::Assign))
            pushFileName(",;");
        else
            pushString(name);
        pushInt(rows);
        pushInt(columns);
        Emit(code(Op::CAL), 3);
        compiler::Store(target);
        SkipSpaces();
    } while (GAccept(tok::Comma));
    compiler::LineMarker();
    endCommand();
}

// save [file =] x, ...;: "save x" writes x to "x.fmt"
void saveCommand() {
    const int f = runtime("save", 2);
    do {
        SkipSpaces();
        const int t = GPeek();
        if (t == tok::Caret || t == tok::DotCaret || t == tok::String) {
            Emit(code(Op::LOD), f);
            pushFileName(nullptr);
            SkipSpaces();
            GExpect(tok::Assign);
        } else if (GExpect(tok::Identifier)) {
            const std::string name = State().text;
            SkipSpaces();
            Emit(code(Op::LOD), f);
            pushString(name);
            if (!GAccept(tok::Assign)) GUnread(tok::Identifier, name);  // the name is the value's too
        } else {
            break;
        }
        pushExpression();
        Emit(code(Op::CAL), 2);
        SkipSpaces();
    } while (GAccept(tok::Comma));
    compiler::LineMarker();
    endCommand();
}

// open f = name [for append|update] [varindxi [offset]];
void openCommand() {
    SkipSpaces();
    if (!GExpect(tok::Identifier)) {
        SkipStatement();
        return;
    }
    Operand target = storeTarget(State().text);
    SkipSpaces();
    GExpect(tok::Assign);
    compiler::Placeholder(target);
    Emit(code(Op::LOD), runtime("open", 3));
    pushFileName(nullptr);
    int mode = 0, offset = -1;
    SkipSpaces();
    if (GAccept(tok::KwFor)) {
        SkipSpaces();
        if (GExpect(tok::Identifier)) mode = State().text == "append" ? 1 : State().text == "update" ? 2 : 0;
    }
    SkipSpaces();
    if (GPeek() == tok::Identifier) {
        GNext();
        if (State().text == "varindxi" || State().text == "varindx") {
            offset = 0;
            Mode().varIndexNames = true;
            SkipSpaces();
            if (GAccept(tok::Int)) offset = std::atoi(State().text.c_str());
        }
    }
    pushInt(mode);
    pushInt(offset);
    Emit(code(Op::CAL), 3);
    compiler::Store(target);
    compiler::LineMarker();
    endCommand();
}

// create f = name [with names, columns [, type]];: a new data set.  The
// names are a word (kept in upper case), a string, or ^x for a variable
// holding a string, strings or character elements; with columns above 0
// they are a prefix numbered 1 to columns.  The type is passed over: data
// sets hold doubles.
void createCommand() {
    SkipSpaces();
    if (!GExpect(tok::Identifier)) {
        SkipStatement();
        return;
    }
    Operand target = storeTarget(State().text);
    SkipSpaces();
    GExpect(tok::Assign);
    compiler::Placeholder(target);
    Emit(code(Op::LOD), runtime("create", 3));
    pushFileName(nullptr);
    SkipSpaces();
    bool withNames = false;
    if (GPeek() == tok::Identifier) {
        GNext();
        withNames = State().text == "with";
        if (!withNames) GUnread(tok::Identifier, State().text);
    }
    if (withNames) {
        SkipSpaces();
        const int t = GPeek();
        if (t == tok::Caret || t == tok::DotCaret) {
            GNext();
            if (GExpect(tok::Identifier)) {
                Operand names = ResolveGaussName(State().text);
                Emit(code(Op::PSH), 0);
                compiler::Load(names);
            } else {
                pushInt(0);
            }
        } else if (t == tok::Identifier || t == tok::String) {
            GNext();
            std::string names = State().text;
            if (t == tok::Identifier)
                for (char& c : names) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            pushString(names);
        } else {
            compiler::ExpectedError(tok::Identifier, t);
            pushInt(0);
        }
        SkipSpaces();
        if (GAccept(tok::Comma))
            pushExpression();
        else
            pushInt(0);
    } else {
        pushInt(0);
        pushInt(0);
    }
    Emit(code(Op::CAL), 3);
    compiler::Store(target);
    compiler::LineMarker();
    SkipStatement();
}

// output [file = name] [on|off|reset];
void outputCommand() {
    Emit(code(Op::LOD), runtime("output", 2));
    SkipSpaces();
    bool named = false;
    if (GPeek() == tok::Identifier) {
        GNext();
        const std::string word = State().text;
        SkipSpaces();
        if (word == "file" && GAccept(tok::Assign)) {
            pushFileName(nullptr);
            named = true;
        } else {
            GUnread(tok::Identifier, word);
        }
    }
    if (!named) pushInt(0);
    int mode = 0;
    SkipSpaces();
    if (GPeek() == tok::Identifier) {
        GNext();
        const std::string& word = State().text;
        mode = word == "on" ? 111 : word == "off" ? 102 : word == "reset" ? 114 : 0;
    }
    pushInt(mode);
    Emit(code(Op::CAL), 2);
    compiler::LineMarker();
    endCommand();
}

// A command calling a run-time routine with its operands as expressions.
void callCommand(std::string_view name, int count) {
    Emit(code(Op::LOD), runtime(name, count));
    int n = 0;
    SkipSpaces();
    while (GPeek() != tok::Semicolon && GPeek() != tok::SemiSemi && GPeek() != tok::Eof) {
        if (n > 0 && !GAccept(tok::Comma)) break;
        SkipSpaces();
        pushExpression();
        SkipSpaces();
        ++n;
    }
    if (count >= 0 && n != count) Error(Msg::WrongArgumentCount, GaussName(name));
    Emit(code(Op::CAL), n);
    compiler::LineMarker();
    endCommand();
}

// system [code];  trap n [, mask];  closeall [files]: a missing operand
// is passed as 0.
void optionalOperands(std::string_view name) {
    const int f = runtime(name, 0);
    Emit(code(Op::LOD), f);
    int n = 0;
    SkipSpaces();
    while (GPeek() != tok::Semicolon && GPeek() != tok::SemiSemi && GPeek() != tok::Eof) {
        if (n > 0 && !GAccept(tok::Comma)) break;
        SkipSpaces();
        pushExpression();
        SkipSpaces();
        ++n;
    }
    if (n == 0) {
        pushInt(0);
        n = 1;
    }
    Emit(code(Op::CAL), n);
    compiler::LineMarker();
    endCommand();
}

// dlibrary name, ...; : the libraries' names as one text
void dlibraryCommand() {
    Emit(code(Op::LOD), runtime("dlibrary", 2));
    pushString(RestOfStatement());
    pushInt(0);
    Emit(code(Op::CAL), 2);
    compiler::LineMarker();
    endCommand();
}

// dllcall name(args): the arguments go into an array in "$t1", which the
// function may change through gauss::dllcall; each variable passed by
// name then takes its element back.
void dllcallCommand() {
    SkipSpaces();
    if (!GExpect(tok::Identifier)) {
        SkipStatement();
        return;
    }
    const std::string name = State().text;
    const int temporary = symbolTable().findVisibleGlobal("$t1");
    Emit(code(Op::PSH), 0);
    Emit(code(Op::NTP), 5);
    std::vector<Operand> variables;  // by element; kind None for a value
    if (GAccept(tok::LParen) && !GAccept(tok::RParen)) {
        do {
            Emit(code(Op::PSH), 0);
            Operand x = ParseGaussExpression();
            const bool variable = x.kind == Storage::Global || x.kind == Storage::Local || x.kind == Storage::Argument;
            variables.push_back(variable && !x.function ? x : Operand{});
            compiler::Load(x);
            Emit(code(Op::OPR), tok::RBrace);
            Emit(code(Op::OPR), tok::Bar);
        } while (GAccept(tok::Comma));
        GExpect(tok::RParen);
    }
    Emit(code(Op::STO), temporary);
    Emit(code(Op::LOD), runtime("dllcall", 2));
    pushString(name);
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LOD), temporary);
    Emit(code(Op::CAL), 2);
    for (std::size_t k = 0; k < variables.size(); ++k) {
        Operand target = variables[k];
        if (target.kind == Storage::None) continue;
        Emit(code(Op::LOD), temporary);
        Emit(code(Op::XMV), static_cast<int>(k));
        compiler::Store(target);
    }
    Emit(code(Op::LTI), 0);
    Emit(code(Op::STO), temporary);
    compiler::LineMarker();
    endCommand();
}

}  // namespace

int CommandCode(std::string_view word) {
    auto it = std::lower_bound(kCommands.begin(), kCommands.end(), word,
                               [](const Command& c, std::string_view w) { return c.word < w; });
    return it != kCommands.end() && it->word == word ? it->code : 0;
}

void CommandStatement(int command) {
    SpaceItems blanks;  // command operands may be separated by blanks
    switch (command) {
    case kClear: clearCommand(false); return;
    case kClearg: clearCommand(true); return;
    case kCloseall: optionalOperands("closeall"); return;
    case kFormat: formatCommand(); return;
    case kLibrary: LibraryStatement(); return;
    case kLoad:
    case kLoadm: loadCommand(false); return;
    case kLoads: loadCommand(true); return;
    case kSave: saveCommand(); return;
    case kOpen: openCommand(); return;
    case kCreate: createCommand(); return;
    case kOutput: outputCommand(); return;
    case kOutwidth: callCommand("outwidth", 1); return;
    case kPlot: callCommand("plot", 2); return;
    case kPlotsym: callCommand("plotsym", 1); return;
    case kRndseed: callCommand("rndseed", 1); return;
    case kSystem: optionalOperands("system"); return;
    case kTrap: optionalOperands("trap"); return;
    case kPrint: PrintStatement(); return;
    case kDlibrary: dlibraryCommand(); return;
    case kDllcall: dllcallCommand(); return;
    case kDisable:
    case kEnable:
    default:
        // The remaining commands belong to the interactive system: their
        // operands are passed over.
        SkipStatement();
        return;
    }
}

// print [/flags] items [;|;;]: gauss::println, or gauss::print after ";;"
void PrintStatement() {
    SpaceItems blanks;
    const int load = Emit(code(Op::LOD), runtime("println", -1));
    std::string flags;
    SkipSpaces();
    while (GPeek() == tok::Slash) {
        GNext();
        if (GAccept(tok::Tilde)) {
            flags += "/le";
        } else if (GPeek() == tok::Identifier) {
            GNext();
            std::string word = State().text;
            std::transform(word.begin(), word.end(), word.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            flags += "/" + word;
        }
        SkipSpaces();
    }
    pushString(flags);
    int count = 1;
    for (;;) {
        const int t = GPeek();
        if (t == tok::Space || t == tok::Comma) {
            GNext();
            continue;
        }
        if (t == tok::Semicolon || t == tok::SemiSemi || t == tok::Eof) break;
        if (t == tok::Dollar) {
            GNext();
            SkipSpaces();
            pushString("%$%");
            ++count;
        }
        const long before = State().taken;
        pushExpression();
        ++count;
        if (State().taken == before) {
            // reported already; the statement ends with its ";"
            SkipStatement();
            return;
        }
    }
    if (GPeek() == tok::SemiSemi) {
        GNext();
        compiler::At(load).arg = runtime("print", -1);
        GUnread(tok::Semicolon, ";");
    }
    Emit(code(Op::CAL), count);
    compiler::LineMarker();
    SkipSpaces();
    if (!GAccept(tok::Semicolon) && GPeek() != tok::Eof) {
        compiler::ExpectedError(tok::Semicolon, GPeek());
        SkipStatement();
    }
}

}  // namespace zu::gauss
