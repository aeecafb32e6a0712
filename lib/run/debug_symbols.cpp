// What the consoles show: the stop position, the editor's position items,
// and the symbol lines of globals and of the stopped function's locals.
#include "run/code_dump.h"
#include "run/debugger.h"

#include "program/symbols.h"
#include "run/machine.h"
#include "value/function_table.h"

#include <algorithm>
#include <cstdio>

namespace zu::run::debug {
namespace {

struct Local {
    const char* name;
    const ZuVALUE* value;
};

// The names of the running frame with their stack entries: the first
// paramCount are the arguments (from ap), the rest the locals (from bp).
std::vector<Local> FrameLocals() {
    std::vector<Local> locals;
    if (!vm.base) return locals;
    for (int i = 0; i < vm.localCount; ++i) {
        const std::size_t at = static_cast<std::size_t>(vm.localStart + i);
        if (at >= vm.localNames.size() || !vm.localNames[at]) continue;
        const ZuVALUE* v = i < vm.paramCount ? vm.ap + i : vm.bp + (i - vm.paramCount);
        if (v < vm.base || v > vm.sp) continue;
        locals.push_back({vm.localNames[at], v});
    }
    return locals;
}

bool IsClassDefinition(const ZuNAMEDVALUE& g) { return program::kindOf(g.val) == ZU_CLASS && g.val.w3.p == &g; }

bool ListedGlobal(const ZuNAMEDVALUE& g) {
    if (!g.name || (g.val.t & ZU_FLAG_CON)) return false;
    const int kind = program::kindOf(g.val);
    return kind != ZU_FUNCTION && kind != ZU_INTFUNC && !IsClassDefinition(g);
}

void AppendDimension(std::string& out, int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "[%d]", n);
    out += buffer;
}

// The name with the size that follows it.
std::string NameColumn(const char* name, const ZuVALUE& v) {
    std::string out = name;
    if (!(v.t & ZU_FLAG_NUL)) {
        switch (program::kindOf(v)) {
        case ZU_MATRIX:
        case ZU_VECTOR:
            AppendDimension(out, v.w1.i);
            AppendDimension(out, v.w2.i);
            break;
        case ZU_FILE:
            if (const auto* dims = static_cast<const int*>(v.w3.p)) {
                AppendDimension(out, dims[0]);
                AppendDimension(out, dims[1]);
            }
            break;
        case ZU_STRING:
        case ZU_ARRAY: AppendDimension(out, v.w1.i); break;
        default: break;
        }
    }
    // The type starts 24 characters after the name, at least one blank on.
    out.resize(std::max<std::size_t>(out.size() + 1, 24), ' ');
    return out;
}

void EndLine() {
    if (!DidNewline()) ZuPrintf("\n");
    SetDidNewline(1);
}

void PrintByPrinter(const ZuVALUE& v) {
    ZuVALUE copy = v;
    ZuStdPrintVal(&copy, 0);
    EndLine();
}

void PrintValue(const ZuVALUE& v, bool full) {
    if (v.t & ZU_FLAG_NUL) {
        ZuPrintf("%s\n", valueText(v).c_str());
        return;
    }
    switch (program::kindOf(v)) {
    case ZU_INT:
    case ZU_DOUBLE:
    case ZU_FUNCTION:
    case ZU_INTFUNC: PrintByPrinter(v); return;
    case ZU_STRING: ZuPrintf("\"%.*s\"\n", v.w2.s ? std::max(v.w1.i, 0) : 0, v.w2.s ? v.w2.s : ""); return;
    case ZU_RANGE: ZuPrintf("%d : %d\n", v.w1.i, v.w2.i); return;
    case ZU_MATRIX:
    case ZU_ARRAY:
        if (full) {
            PrintByPrinter(v);
            return;
        }
        break;
    default: break;
    }
    ZuPrintf("%s\n", valueText(v).c_str());
}

void PrintSymbol(int index, const char* name, const ZuVALUE& v, bool full) {
    if (index >= 0) ZuPrintf("%4d ", index);
    ZuPrintf("%s%s", NameColumn(name, v).c_str(), typeColumn(v).c_str());
    SetDidNewline(0);
    PrintValue(v, full);
    SetDidNewline(1);
}

}  // namespace

std::string CurrentFile() {
    const char* text = LiteralText(vm.currentFile);
    return text ? text : "";
}

int CurrentLine() {
    const int line = LineAhead(vm.cp);
    return line > 0 ? line : ZuRunGetPcodeLine(vm.cp);
}

void EditorReport(std::string_view file, int line, int code) {
    if (!ZuGetZuEditMode() || line < 1 || file.empty()) return;
    ZuFlush();
    const std::string name(file);
    ZuPrintf("@@(\"%s\",%d,%d);", name.c_str(), line, code);
    ZuFlush();
}

void ShowStop() {
    EndLine();
    const std::string file = CurrentFile();
    const int line = LineAhead(vm.cp);
    if (line > 0 && !file.empty()) {
        const std::string text = file + " (" + std::to_string(line) + "): " + ActiveFunctionName();
        ZuRunMessage(text.c_str());
    } else {
        ZuRunPrintFilePos(vm.cp, vm.currentFile, ActiveFunctionName());
    }
    EditorReport(CurrentFile(), CurrentLine(), 0);
}

void ShowAllSymbols(bool full) {
    RefreshTables();
    bool printed = false;
    bool header = false;
    for (int i = 0; vm.globals && i < vm.globalCount; ++i) {
        const ZuNAMEDVALUE& g = vm.globals[i];
        if (!ListedGlobal(g)) continue;
        if (!header) {
            ZuPrintf("=== global symbols ===\n");
            header = true;
        }
        PrintSymbol(i, g.name, g.val, full);
    }
    if (header) {
        ZuPrintf("\n");
        printed = true;
    }
    const std::vector<Local> locals = FrameLocals();
    if (!locals.empty()) {
        ZuPrintf("=== local symbols ===\n");
        for (const Local& l : locals) PrintSymbol(-1, l.name, *l.value, full);
        printed = true;
    }
    if (!printed) ZuPrintf("no symbols defined\n");
}

void ShowSymbol(std::string_view name) {
    const std::string wanted(name);
    const std::vector<Local> locals = FrameLocals();
    // A later name hides an earlier one of the same text.
    for (auto l = locals.rbegin(); l != locals.rend(); ++l) {
        if (wanted == l->name) {
            PrintSymbol(-1, l->name, *l->value, true);
            return;
        }
    }
    RefreshTables();
    for (int i = vm.globalCount - 1; vm.globals && i >= 0; --i) {
        const ZuNAMEDVALUE& g = vm.globals[i];
        if (g.name && wanted == g.name) {
            PrintSymbol(i, g.name, g.val, true);
            return;
        }
    }
    ZuPrintf("Unknown symbol %s\n", wanted.c_str());
}

void ShowSymbolOrReference(std::string_view name) {
    const std::vector<Local> locals = FrameLocals();
    const bool local = std::any_of(locals.begin(), locals.end(), [&](const Local& l) { return name == l.name; });
    if (!local && value::FindFunction(name) && ShowReferenceEntry(name)) return;
    ShowSymbol(name);
}

}  // namespace zu::run::debug
