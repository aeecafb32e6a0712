// Run-time error reports: the message line, the place in the source and
// the chain of callers.
#include "run/run_errors.h"

#include "run/machine.h"
#include "program/pcode.h"

#include <array>
#include <cstdio>
#include <string>

namespace zu::run {
using program::code;
using program::Op;

namespace {

constexpr std::array<std::string_view, kMessageCount> kMessages = [] {
    std::array<std::string_view, kMessageCount> table{};
#define ZU_RUN_ERROR(code, name, text) table[code] = text;
#include "console/run_errors.def"
    return table;
}();

// The line number text of an address, empty when it has none.
std::string LineText(int address) {
    int line = ZuRunGetPcodeLine(address);
    return line < 0 ? std::string() : std::to_string(line);
}

// One caller's position line from a frame record.
void PrintCaller(const ZuVALUE* frame) {
    const ZuVALUE* callerAp = EntryAt(frame->w1.i);
    ZuRunPrintFilePos(frame->w3.i, frame->w4.i, FunctionName(callerAp - 1));
}

}  // namespace

std::string_view RunMessage(int code) {
    if (code < 0 || code >= kMessageCount) return {};
    return kMessages[static_cast<std::size_t>(code)];
}

void Raise(Err code, const char* text) { Raise(static_cast<int>(code), text); }

}  // namespace zu::run

using namespace zu::run;

extern "C" {

int ZuRunGetPcodeLine(int address) {
    if (!vm.code || address < 0 || address >= vm.codeSize) return -1;
    for (int a = address; a < vm.codeSize; ++a) {
        int op = vm.code[a].op;
        if (op == code(Op::EXT)) return -1;
        if (op == code(Op::NUM)) {
            int line = vm.code[a].arg;
            if (line < 0) line = ~line;
            return line > 0 ? line : -1;
        }
    }
    return -1;
}

char* ZuRunPrintLineNo(char* buffer, int address) {
    if (!buffer) return nullptr;
    int line = ZuRunGetPcodeLine(address);
    if (line < 0)
        buffer[0] = '\0';
    else
        std::snprintf(buffer, 12, "%d", line);
    return buffer;
}

void ZuRunPrintFilePos(int address, int fileLiteral, const char* name) {
    if (fileLiteral < 0) return;
    const char* file = LiteralText(fileLiteral);
    std::string line = LineText(address);
    if (!file || line.empty()) return;
    std::string text = std::string(file) + " (" + line + ")";
    if (name) text += std::string(": ") + name;
    ZuRunMessage(text.c_str());
}

void ZuRunPrintCallStack(void) {
    if (!vm.base || !vm.bp || !vm.ap) return;
    const ZuVALUE* bp = vm.bp;
    int listed = 0;
    // Each frame record names its caller; the walk ends at the start-up
    // code (entry 0) or when a damaged record would leave the stack.
    while (bp - 1 > vm.base && bp <= vm.last) {
        const ZuVALUE* frame = bp - 1;
        int callerAp = frame->w1.i;
        int callerBp = frame->w2.i;
        if (callerAp <= 0 || callerBp <= 0) break;
        if (callerBp >= EntryNumber(bp)) break;
        if (listed < kMaxCallerLines)
            PrintCaller(frame);
        else if (listed == kMaxCallerLines)
            ZuRunMessage("remaining calls not listed");
        ++listed;
        bp = EntryAt(callerBp);
    }
}

void ZuRunPrintErrorMsg(int code, const char* text) {
    if (static_cast<unsigned>(code) < kWarningBase) {
        std::string line = "Runtime error: ";
        if (text && *text) line += std::string("'") + text + "' ";
        line += RunMessage(code);
        ZuRunMessage(line.c_str());
    }
    if (!vm.base) return;
    std::string number = LineText(vm.cp);
    if (number.empty()) return;
    const char* name = ActiveFunctionName();
    std::string header = std::string("Runtime error occurred in ") + name + "(" + number + "), call trace: ";
    ZuRunMessage(header.c_str());
    ZuRunPrintFilePos(vm.cp, vm.currentFile, name);
    ZuRunPrintCallStack();
}

}  // extern "C"
