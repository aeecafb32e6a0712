// The ZuGauss top level and the mode's entry points: initialisation with
// the support source, the chain of main code around procedure
// definitions, proc/fn/keyword, new, and autoload.
#include "gauss/gauss_parser.h"

#include "program/code_buffer.h"
#include "program/literals.h"
#include "program/symbols.h"
#include "program/tokens.h"
#include "gauss/print_library.h"
#include "run/opr.h"
#include "program/pcode.h"
#include "value/function_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zu::gauss {

using compiler::Emit;
using compiler::Error;
using compiler::State;
using program::code;
using program::codeBuffer;
using program::literalTable;
using program::Op;
using program::symbolTable;
namespace tok = program::tok;

GaussMode& Mode() {
    static GaussMode mode;
    return mode;
}

ProcedureScope& Procedure() {
    static ProcedureScope scope;
    return scope;
}

Snapshot Snapshot::take() {
    return {symbolTable().count(), codeBuffer().size(), literalTable().count(), IZuScanGetDefineCount()};
}

void Snapshot::restore() const {
    zu::program::SymbolTable& st = symbolTable();
    for (int i = symbols; i < st.count(); ++i) {
        ZuVALUE& v = st[i].val;
        const int kind = v.t & ZU_TYPE_MASK;
        if (kind == ZU_FUNCTION) {
            std::free(v.w3.s);
            v = ZuVALUE{};
        } else if (kind != ZU_CLASS) {
            ZuFreeValue(&v);
        }
    }
    st.truncate(symbols);
    codeBuffer().rollBack(code);
    literalTable().setCount(literals);
    IZuScanSetDefineCount(defines);
}

namespace {

// Runs one compilation step: a fatal fault stops it.
template <typename F>
void guarded(F&& step) {
    compiler::TableFaultsAsMessages faults;
    try {
        step();
    } catch (const compiler::ParseFatal&) {
    } catch (const program::TableFull&) {
        ++State().errors;
    } catch (const compiler::InsertAbandoned&) {}
}

// ---------------------------------------------------------------------------
// Main code

// Declares main and emits its frame: ELF, NUM, INT 0, PSH 0, the jump to
// the first run of main code, and the NUM and RET that end it.
void beginMain() {
    zu::program::SymbolTable& st = symbolTable();
    const int g = compiler::DeclareMain();
    const char* file = SZuScanFile();
    const int start = compiler::Target();
    Emit(code(Op::ELF), literalTable().addString(file ? file : ""));
    Emit(code(Op::NUM), 0);
    Emit(code(Op::INT), 0);
    Emit(code(Op::PSH), 0);
    Mode().mainChain = compiler::EmitChained(code(Op::JMP), 0);
    Mode().mainEnd = compiler::Target();
    Emit(code(Op::NUM), 0);
    Emit(code(Op::RET), 0);
    Mode().mainFile = file ? file : "";
    program::functionAddress(st[g].val) = start;
    State().barrier = compiler::Here();
}

bool endsMainRun(int t) {
    return t == tok::Eof || t == tok::GProc || t == tok::GFn || t == tok::GKeyword || t == tok::KwNew;
}

// One run of main code: the statements up to a procedure, new or the end.
void mainRun() {
    GaussMode& mode = Mode();
    if (mode.mainEnd < 0) beginMain();
    if (mode.mainChain > 0)
        compiler::PatchOrDropJump(mode.mainChain);
    else if (mode.lastRunJump >= 0)
        compiler::At(mode.lastRunJump).arg = compiler::Target();
    mode.mainChain = 0;
    State().lastLine = -1;
    const char* file = SZuScanFile();
    if (file && mode.mainFile != file) {
        Emit(code(Op::ELF), literalTable().addString(file));
        mode.mainFile = file;
    }
    if (mode.newPending) {
        Emit(code(Op::LOD), DeclareExternalFunction("__new__", 0));
        Emit(code(Op::CAL), 0);
        mode.newPending = false;
    }
    while (!endsMainRun(GPeek())) {
        const long before = State().taken;
        ParseGaussStatement();
        if (State().taken == before) GNext();
    }
    mode.mainChain = compiler::EmitChained(code(Op::JMP), 0);
}

// new [operands]: back to the state after initialisation.
void newStatement() {
    SkipStatement();
    GaussMode& mode = Mode();
    mode.atStart.restore();
    mode.mainChain = -1;
    mode.mainEnd = -1;
    mode.lastRunJump = -1;
    mode.mainFile.clear();
    mode.newPending = true;
    ForgetStructures();
    State().barrier = compiler::Here();
}

// ---------------------------------------------------------------------------
// Procedures

struct ProcedureHead {
    std::string name;  // qualified
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> structures;  // argument, structure
    bool varargs = false;                                         // "..." after the formals
    int returns = 1;
};

// proc [(n) =] name (formals) ;   fn name (formals) =   keyword name (arg) ;
ProcedureHead procedureHead(int kind) {
    ProcedureHead h;
    if (kind == tok::GProc) {
        if (GAccept(tok::LParen)) {
            if (GExpect(tok::Int)) h.returns = std::atoi(State().text.c_str());
            GExpect(tok::RParen);
            GExpect(tok::Assign);
        } else if (GPeek() == tok::Int) {
            GNext();
            h.returns = std::atoi(State().text.c_str());
            GExpect(tok::Assign);
        }
    }
    if (GExpect(tok::Identifier)) h.name = GaussName(State().text);
    if (GAccept(tok::LParen) && !GAccept(tok::RParen)) {
        do {
            // "...": the Gauss scanner gives three dots
            if (GAccept(tok::Ellipsis) || GPeek() == tok::Dot) {
                while (GAccept(tok::Dot)) {}
                // the optional arguments follow at least one fixed one
                if (h.args.empty()) Error(Msg::CannotBeFirstFormal, "...");
                h.varargs = true;
                break;
            }
            GAccept(tok::Amp);  // &f: a procedure passed as an argument
            if (!GExpect(tok::Identifier)) break;
            std::string structure;
            if (State().text == "struct" && GPeek() == tok::Identifier) {
                GNext();
                structure = State().text;  // struct name x
                if (!GExpect(tok::Identifier)) break;
            }
            const std::string arg = State().text;
            if (!structure.empty()) h.structures.emplace_back(arg, structure);
            if (std::find(h.args.begin(), h.args.end(), arg) != h.args.end()) Error(Msg::FormalRedefinition, arg);
            h.args.push_back(arg);
            if (GAccept(tok::Colon)) GNext();  // a pointer parameter's type word
        } while (GAccept(tok::Comma));
        GExpect(tok::RParen);
    }
    return h;
}

// The symbol of a procedure being defined: new, or completing a call's
// declaration (whose count gives way to the definition's).
int defineSymbol(const ProcedureHead& h, int flags) {
    zu::program::SymbolTable& st = symbolTable();
    const int count = h.varargs ? -static_cast<int>(h.args.size()) : static_cast<int>(h.args.size());
    int g = st.find(h.name, 0, st.count());
    if (g >= 0) {
        ZuVALUE& v = st[g].val;
        const int kind = program::kindOf(v);
        if (kind == ZU_FUNCTION && !(v.t & ZU_FLAG_EXT)) {
            Error(Msg::DuplicateIdentifier, h.name);
            return -1;
        }
        if (kind != ZU_FUNCTION) {
            // a variable of that name gives way to the procedure
            ZuFreeValue(&v);
        }
        std::free(kind == ZU_FUNCTION ? v.w3.s : nullptr);
        v = ZuVALUE{};
    } else {
        g = st.append(h.name, ZU_FUNCTION | ZU_FLAG_GLO);
    }
    ZuVALUE& v = st[g].val;
    v.t = ZU_FUNCTION | ZU_FLAG_GLO | ZU_FLAG_EXT | flags;
    v.w1.i = count;
    v.w3.s = compiler::CopyText(std::string(h.args.size(), ' ') + "$" + h.name);
    return g;
}

// The body: ELF, [ELT args], NUM, INT locals, PSH 0, statements, RET 0.
int procedureBody(const ProcedureHead& h, int kind) {
    zu::program::SymbolTable& st = symbolTable();
    ParseState& s = State();
    st.beginFunction();
    for (const std::string& arg : h.args) st.append(arg, ZU_INT | ZU_FLAG_ARG);
    for (const auto& [arg, structure] : h.structures) StructArgument(arg, structure);
    st.beginLocals();
    s.maxLocals = 0;
    s.lastLine = -1;
    ProcedureScope& scope = Procedure();
    scope = ProcedureScope{true, h.returns, h.name, false};
    const int start = compiler::Target();
    const char* file = SZuScanFile();
    Emit(code(Op::ELF), literalTable().addString(file ? file : ""));
    if (s.debugInfo)
        for (const std::string& arg : h.args) Emit(code(Op::ELT), literalTable().addString(arg));
    compiler::LineMarker();
    const int locals = Emit(code(Op::INT), 0);
    Emit(code(Op::PSH), 0);
    if (kind == tok::GFn) {
        GExpect(tok::Assign);
        LoadGaussExpression();
        compiler::LineMarker();
        Emit(code(Op::RET), 1);
        if (!GAccept(tok::Semicolon)) compiler::ExpectedError(tok::Semicolon, GPeek());
    } else {
        if (!GAccept(tok::Semicolon)) compiler::ExpectedError(tok::Semicolon, GPeek());
        ParseStatementsUntil({tok::GEndp});
        GExpect(tok::GEndp);
        compiler::LineMarker();
        Emit(code(Op::RET), 0);
        GAccept(tok::Semicolon);
    }
    compiler::EndLabels();
    compiler::At(locals).arg = s.maxLocals;
    st.endFunction();
    EndProcedureStructures();
    scope = ProcedureScope{};
    s.barrier = compiler::Here();
    return start;
}

}  // namespace

void ProcedureDefinition(int kind) {
    ParseState& s = State();
    if (Procedure().active) {
        Error(Msg::OutOfPlace, SZuTokenName(kind));
        return;
    }
    ProcedureHead h = procedureHead(kind);
    const int flags = kind == tok::GKeyword ? kKeywordFlag : 0;
    if (FastFunctionCode(h.name) != 0) {
        // An intrinsic function: calls of it are computed in place.
        Error(Msg::IllegalRedefinition, h.name);
        h.name.clear();
    }
    if (kind == tok::GKeyword && (h.args.size() != 1 || h.varargs)) Error(Msg::WrongArgumentCount, h.name);
    const int g = h.name.empty() ? -1 : defineSymbol(h, flags);
    // Main code's labels wait while the procedure has its own.
    auto mainLabels = std::move(s.labels);
    auto mainLoops = std::move(s.loops);
    s.labels.clear();
    s.loops.clear();
    const int start = procedureBody(h, kind);
    s.labels = std::move(mainLabels);
    s.loops = std::move(mainLoops);
    if (g >= 0) {
        ZuVALUE& v = symbolTable()[g].val;
        v.t &= ~ZU_FLAG_EXT;
        program::functionAddress(v) = start;
    }
}

namespace {

// The top level of a Gauss file.
void topLevel() {
    for (;;) {
        symbolTable().ensureRoom();
        const int t = GPeek();
        if (t == tok::Eof) return;
        const long before = State().taken;
        switch (t) {
        case tok::KwNew:
            GNext();
            newStatement();
            break;
        case tok::GProc:
        case tok::GFn:
        case tok::GKeyword:
            GNext();
            ProcedureDefinition(t);
            break;
        default: mainRun(); break;
        }
        if (State().taken == before && GPeek() == t && t != tok::Eof) GNext();
    }
}

// The end of a file's main code: labels checked, the last run's jump
// goes to the end of main.
void finishMain() {
    GaussMode& mode = Mode();
    compiler::EndLabels();
    if (mode.mainChain > 0 && mode.mainEnd >= 0) {
        compiler::PatchTo(mode.mainChain, mode.mainEnd);
        mode.lastRunJump = mode.mainChain;
        mode.mainChain = 0;
    }
}

void printHook(ZuVALUE* value, int endedBySemicolon) { PrintExpressionValue(value, endedBySemicolon != 0); }

// The run-time entry points declared before the support source.
struct EntryPoint {
    const char* name;
    int count;
};
constexpr EntryPoint kEntryPoints[] = {
    {"print", -1},
    {"println", -1},
    {"format", 3},
    {"hsec", 0},
};

}  // namespace

}  // namespace zu::gauss

using namespace zu::gauss;
namespace compiler = zu::compiler;

extern "C" {

int IZuParseGaussMain() {
    ParseState& s = State();
    const std::string outerNamespace = s.nameSpace;
    s.nameSpace = std::string(kNamespace);
    guarded([] {
        topLevel();
        finishMain();
    });
    symbolTable().endFunction();
    Procedure() = ProcedureScope{};
    s.nameSpace = outerNamespace;
    return IZuScanErrors() + s.errors;
}

int FZuParseInitGauss(const char* startup, int run) {
    GaussMode& mode = Mode();
    if (mode.initialised) return 1;
    int errors = 0;
    guarded([&] {
        for (const EntryPoint& e : kEntryPoints) DeclareExternalFunction(e.name, e.count);
        if (symbolTable().findVisibleGlobal("$t1") < 0) symbolTable().append("$t1", ZU_INT | ZU_FLAG_GLO | ZU_FLAG_STA);
    });
    errors += State().errors;
    if (startup && !errors) {
        // The support source is Zu.
        const int wasGauss = ZuIsGaussMode();
        ZuSetGaussMode(0);
        const int result = IZuParseInsertFile(startup, 0, 0);
        ZuSetGaussMode(wasGauss);
        if (result < 0) {
            std::string text = std::string("'") + startup + "' file not found";
            ZuMessage(text.c_str());
            return 0;
        }
        errors += result;
    }
    if (!errors && run) errors += IZuParseLinkImports();
    if (errors) return 0;
    // The library's names, after the support source, which means the Zu
    // functions of the same names.
    guarded([] { ReadStandardCatalogue(); });
    ZuSetGaussMode(1);
    ForgetStructures();
    mode.atStart = Snapshot::take();
    mode.initialised = true;
    zu::run::SetGaussPrintHook(printHook);
    return 1;
}

void ZuParseExitGauss() {
    GaussMode& mode = Mode();
    mode.initialised = false;
    mode.mainChain = -1;
    mode.mainEnd = -1;
    mode.lastRunJump = -1;
    mode.newPending = false;
    mode.varIndexNames = false;
    mode.mainFile.clear();
    zu::run::SetGaussPrintHook(nullptr);
}

int IZuParseGaussAutoload() {
    zu::program::SymbolTable& st = symbolTable();
    std::vector<bool> loaded(static_cast<std::size_t>(st.count()), false);
    for (const ZuPCODE& i : codeBuffer().code())
        if (i.op == code(Op::LOD) && i.arg >= 0 && i.arg < st.count()) loaded[static_cast<std::size_t>(i.arg)] = true;
    int recorded = 0;
    const std::string_view prefix = "gauss::";
    for (int g = 0; g < st.count(); ++g) {
        const ZuNAMEDVALUE& r = st[g];
        if (!r.name || !loaded[static_cast<std::size_t>(g)]) continue;
        if ((r.val.t & ZU_TYPE_MASK) != ZU_FUNCTION || !(r.val.t & ZU_FLAG_EXT)) continue;
        const std::string_view name = r.name;
        if (name.substr(0, prefix.size()) != prefix || zu::value::FindFunction(name)) continue;
        // A source of the program's own comes first, then the library's.
        std::string source(name.substr(prefix.size()));
        char found[ZU_PATH_MAX] = "";
        bool own = false;
        for (const char* ext : {".src", ".zugauss", ".g"}) {
            if (std::FILE* f = ZuFileOpenSearch(source.c_str(), 1, 0, found, ext)) {
                std::fclose(f);
                own = true;
                break;
            }
        }
        if (!own) {
            const std::string standard = StandardSource(source);
            if (!standard.empty()) source = standard;
        }
        if (literalTable().findImport(source) >= 0) continue;
        literalTable().addImport(source, false, true);
        ++recorded;
    }
    return recorded;
}

}  // extern "C"
