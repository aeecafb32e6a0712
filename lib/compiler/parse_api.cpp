// The compiler's entry points: opening and closing the tables, compiling
// a source file, inserted text and inserted files, the main call, and the
// option setters.
#include "compiler/parser.h"

#include "program/code_buffer.h"
#include "program/literals.h"
#include "compiler/scanner.h"
#include "program/symbols.h"
#include "program/tokens.h"
#include "zu.h"
#include "program/pcode.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace zu::compiler {
namespace tok = program::tok;
using program::code;
using program::CodeBuffer;
using program::codeBuffer;
using program::functionAddress;
using program::FunctionMarks;
using program::kindOf;
using program::literalTable;
using program::Op;
using program::SymbolTable;
using program::symbolTable;

namespace {

// The table ends that a failed insertion rolls back to.
struct Snapshot {
    int symbols, code, literals, defines;
    static Snapshot take() {
        return {symbolTable().count(), codeBuffer().size(), literalTable().count(), IZuScanGetDefineCount()};
    }
    void restore() const {
        // The globals declared since own their signatures and constant
        // values.  Class definitions are left out: their member tables need
        // the engine's own routine to be freed.
        SymbolTable& st = symbolTable();
        for (int i = symbols; i < st.count(); ++i)
            if ((st[i].val.t & ZU_TYPE_MASK) != ZU_CLASS) ZuFreeValue(&st[i].val);
        st.truncate(symbols);
        codeBuffer().rollBack(code);
        literalTable().setCount(literals);
        IZuScanSetDefineCount(defines);
    }
};

// Runs one compilation step; a fatal fault stops it, and a table fault
// has been reported by then.
template <typename F>
void guarded(F&& step) {
    TableFaultsAsMessages faults;
    try {
        step();
    } catch (const ParseFatal&) {
    } catch (const TableFull&) {
        ++State().errors;
    } catch (const InsertAbandoned&) {}
}

bool hasExtension(const char* name, const char* ext) { return name && strcasecmp(SFileExt(name), ext) == 0; }

// The statements (or, with exprOnly, the expressions) of one line.
void insertedLine(bool exprOnly) {
    for (;;) {
        const int t = Peek();
        if (t == tok::Eof) return;
        const long before = State().taken;
        if (exprOnly) {
            Emit(code(Op::PSH), 0);
            LoadExpression();
            Accept(tok::Semicolon);
        } else {
            ParseStatement();
        }
        if (State().taken == before) Next();
    }
}

// Compiles the open source as top-level code into the program; the parse
// state of the compilation around it is kept.  Closes the source.
int insertOpenSource(const char* scanName, bool gauss) {
    int errors = 0;
    ParseState outer = State();
    ResetState();
    State().inserting = true;
    // Zu text is Zu even in the Gauss mode: its scanner too.
    const int wasGauss = ZuIsGaussMode();
    ZuSetGaussMode(gauss ? 1 : 0);
    if (!FZuScanInit(scanName)) {
        errors = 1;
    } else if (gauss) {
        errors = IZuParseGaussMain();
    } else {
        guarded([] { ParseTopLevel(false); });
        symbolTable().endFunction();
        errors = IZuScanErrors() + State().errors;
    }
    ZuSetGaussMode(wasGauss);
    auto virtuals = std::move(State().virtualMembers);
    State() = std::move(outer);
    State().virtualMembers.merge(virtuals);
    ZuOpenSourceFile(nullptr);
    return errors;
}

// The names a typed line declared, with decl or by assigning, in the order
// of their local numbers, named only once the line has run to its end: a
// line that stops early leaves the frame's names as they were.
void nameNewLocals(int frameNamesEnd) {
    if (!State().debugInfo) return;
    SymbolTable& st = symbolTable();
    for (int r = std::max(frameNamesEnd, st.marks().firstLocal); r < st.count(); ++r)
        Emit(code(Op::ELT), literalTable().addString(st[r].name ? st[r].name : ""));
}

}  // namespace

int DeclareMain() {
    SymbolTable& st = symbolTable();
    int g = st.findFirstOfKind("main", ZU_FUNCTION);
    if (g < 0) g = st.append("main", ZU_FUNCTION | ZU_FLAG_GLO);
    ZuVALUE& v = st[g].val;
    v.t = ZU_FUNCTION | ZU_FLAG_GLO;
    v.w1.i = 0;
    if (!v.w3.s) v.w3.s = CopyText("$main");
    return g;
}

ParseState& State() {
    static ParseState state;
    return state;
}

void ResetState() {
    ParseState& s = State();
    ParseState fresh;
    fresh.optimize = s.optimize;
    fresh.lineNumbers = s.lineNumbers;
    fresh.debugInfo = s.debugInfo;
    fresh.warningLevel = s.warningLevel;
    fresh.virtualMembers = std::move(s.virtualMembers);
    fresh.barrier = codeBuffer().size();
    s = std::move(fresh);
}

}  // namespace zu::compiler

using namespace zu::compiler;

namespace {
bool g_interactive = false;
}  // namespace

extern "C" {

ZU_API void ZuOpenCode(void) {
    guarded([] {
        symbolTable().open();
        literalTable().open();
        codeBuffer().open();
        State().errors = 0;
        codeBuffer().append(code(Op::EXT), 0);
        codeBuffer().append(code(Op::EXT), 0);
    });
    State().virtualMembers.clear();
    State().barrier = codeBuffer().size();
}

ZU_API void ZuCloseCode(void) {
    symbolTable().close();
    literalTable().close();
    codeBuffer().close();
    State().virtualMembers.clear();
}

ZU_API void ZuParseNew(void) {
    literalTable().freeValues();
    symbolTable().truncate(0);
    IZuScanExit();
    ZuOpenCode();
}

ZU_API int IZuParse(void) {
    ResetState();
    const char* source = ZuGetSourceFilename();
    const bool gauss = ZuIsGaussMode() && !hasExtension(source, ".zu");
    const int wasGauss = ZuIsGaussMode();
    ZuSetGaussMode(gauss ? 1 : 0);
    if (!FZuScanInit(source)) {
        ZuSetGaussMode(wasGauss);
        return 1;
    }
    if (gauss) {
        // The count of both the scanner's and the parser's messages.
        const int errors = IZuParseGaussMain();
        ZuSetGaussMode(wasGauss);
        return errors;
    } else {
        guarded([] { ParseTopLevel(false); });
        symbolTable().endFunction();
    }
    ZuSetGaussMode(wasGauss);
    return IZuScanErrors() + State().errors;
}

ZU_API int IZuParseInsertExpression(ZuNAMEDVALUE* firstArgument, ZuNAMEDVALUE* firstLocal, ZuNAMEDVALUE* end,
                                    int firstChar, int exprOnly, ZuVALUE* argumentValue) {
    SymbolTable& st = symbolTable();
    ResetState();
    if (!FZuScanInit(ZuGetSourceFilename())) return 1;
    if (firstChar) UngetChar(firstChar);
    ParseState& s = State();
    s.inserting = true;
    s.implicitLocals = true;
    const int endIndex = end ? st.indexOf(end - 1) + 1 : st.count();
    st.beginFunction();
    FunctionMarks& marks = st.marks();
    const int args = firstArgument ? st.indexOf(firstArgument) : -1;
    const int locals = firstLocal ? st.indexOf(firstLocal) : -1;
    marks.globalsEnd = args >= 0 ? args : (locals >= 0 ? locals : endIndex);
    marks.firstArgument = args >= 0 ? args : endIndex;
    marks.firstLocal = locals >= 0 ? locals : endIndex;
    const int mark = st.count();
    if (args >= 0 && st[args].name && std::strcmp(st[args].name, "this") == 0 && argumentValue &&
        kindOf(*argumentValue) == ZU_CLASS)
        s.currentClass = st.indexOf(argumentValue->w3.p);
    s.frameNamesEnd = endIndex;
    guarded([&] {
        insertedLine(exprOnly != 0);
        nameNewLocals(endIndex);
        Emit(code(Op::EXT));
        if (st.count() - marks.firstLocal > kInteractiveLocals) Error(Msg::TooManyInteractiveLocals);
    });
    // After an abandoned line the rest of it is skipped.
    if (s.errors) {
        for (int c = GetChar(); c >= 0 && c != '\n'; c = GetChar()) {}
    }
    // Only what the text declared goes; the running function keeps its own.
    marks.firstArgument = mark;
    st.endFunction();
    s.inserting = false;
    return IZuScanErrors() + s.errors;
}

ZU_API int IZuParseInsertFile(const char* name, int objectFile, int useNameAsIs) {
    if (!name) return -1;
    const Snapshot before = Snapshot::take();
    int errors = 0;
    if (objectFile) {
        errors = IZuGetImportFile(name, 0, 0);
    } else {
        char found[ZU_PATH_MAX] = "";
        FILE* file = nullptr;
        if (ZuIsGaussMode()) {
            // A Gauss source: its default extensions only, so that a Zu
            // file of the same name is not taken for it.
            for (const char* gext : {".src", ".zugauss", ".g"})
                if ((file = ZuFileOpenSearch(name, 1, useNameAsIs, found, gext))) break;
        } else {
            file = ZuFileOpenSearch(name, 1, useNameAsIs, found, ".zu");
        }
        if (!file) return -1;
        std::fclose(file);
        if (!ZuOpenSourceFile(found)) return -1;
        errors = insertOpenSource(found, ZuIsGaussMode() && !hasExtension(found, ".zu"));
    }
    if (!errors) errors = IZuParseLinkImports();
    if (errors) before.restore();
    return errors;
}

ZU_API int IZuParseInsertText(const char* text) {
    if (!text) return -1;
    const Snapshot before = Snapshot::take();
    ZuOpenSourceText(text);
    int errors = insertOpenSource(ZuGetSourceFilename(), false);
    if (!errors) errors = IZuParseLinkImports();
    if (errors) before.restore();
    return errors;
}

ZU_API int IZuParseAddMainCall(void) {
    int position = -1;
    guarded([&] {
        codeBuffer().append(code(Op::PSH), 0);
        position = codeBuffer().append(code(Op::LOD), -1);
        codeBuffer().append(code(Op::CAL), 0);
        codeBuffer().append(code(Op::EXT), 0);
    });
    return position;
}

ZU_API void ZuParseEmitMainDummy(void) {
    guarded([] {
        const int g = DeclareMain();
        CodeBuffer& c = codeBuffer();
        const int start = c.append(code(Op::NUM), 0);
        c.append(code(Op::INT), g_interactive ? kInteractiveLocals : 0);
        c.append(code(Op::PSH), 0);
        if (g_interactive) c.append(code(Op::EXT), 0);
        c.append(code(Op::NUM), 0);
        c.append(code(Op::RET), 0);
        functionAddress(symbolTable()[g].val) = start;
        State().barrier = c.size();
    });
}

ZU_API void ZuParseDelUnusedExternals(void) {
    SymbolTable& st = symbolTable();
    std::vector<bool> used(static_cast<std::size_t>(st.count()), false);
    for (const ZuPCODE& i : codeBuffer().code()) {
        const bool refers = i.op == code(Op::LOD) || i.op == code(Op::STO) || i.op == code(Op::NEW);
        if (refers && i.arg >= 0 && i.arg < st.count()) used[static_cast<std::size_t>(i.arg)] = true;
    }
    for (int g = 0; g < st.count(); ++g)
        if ((st[g].val.t & ZU_FLAG_EXT) && !used[static_cast<std::size_t>(g)]) st.freeName(g);
}

ZU_API ZuPCODE* PZuGetPcode(int* count) {
    if (count) *count = codeBuffer().size();
    return codeBuffer().data();
}

ZU_API void ZuParseOptimization(int on) { State().optimize = on != 0; }

ZU_API void ZuParseInterDebug(int interactive, int debug) {
    g_interactive = interactive != 0;
    ZuSetInteractive(interactive);
    State().debugInfo = interactive != 0 || debug != 0;
}

ZU_API int ZuIsDebug(void) { return State().debugInfo ? 1 : 0; }

ZU_API void ZuParseSetLineno(int on) { State().lineNumbers = on != 0; }

ZU_API void ZuParseWarningLevel(int level) { State().warningLevel = level; }

}  // extern "C"
