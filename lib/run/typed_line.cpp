// A line typed at a console: compiled in the scope of the running function
// (its arguments and locals come from the local-name stack) and run from
// the end of the code, after which the machine is put back where it
// stopped.
#include "run/debugger.h"

#include "program/code_buffer.h"
#include "program/symbols.h"
#include "run/machine.h"
#include "program/pcode.h"

#include <algorithm>
#include <string>
#include <utility>

namespace zu::run::debug {

using program::Operand;

using program::opcodeInfo;

using program::Op;
using program::OpcodeInfo;

namespace {

int topLevelRoom = 0;

// A typed statement may be longer than a command, but not without bound.
constexpr int kMaxTypedLine = 65536;

// Every register a typed line may move.
struct Registers {
    ZuVALUE *sp, *ap, *bp;
    int cp, paramCount, localStart, localCount, file;

    static Registers take() {
        return {vm.sp, vm.ap, vm.bp, vm.cp, vm.paramCount, vm.localStart, vm.localCount, vm.currentFile};
    }
    void restore(bool keepNewNames) const {
        ZuRunFreeStackTop(sp);
        vm.ap = ap;
        vm.bp = bp;
        vm.unchangedBelow = 0;
        vm.cp = cp;
        vm.paramCount = paramCount;
        vm.localStart = localStart;
        if (!keepNewNames) vm.localCount = localCount;
        if (static_cast<int>(vm.localNames.size()) > vm.localStart + vm.localCount)
            vm.localNames.resize(static_cast<std::size_t>(vm.localStart + vm.localCount));
        vm.currentFile = file;
    }
};

int AllocatedLocals() {
    if (!vm.base || vm.ap <= vm.base) return topLevelRoom;
    const ZuVALUE& f = vm.ap[-1];
    if (program::kindOf(f) != ZU_FUNCTION) return topLevelRoom;
    const program::CodeBuffer& code = std::as_const(program::codeBuffer());
    for (int a = program::functionAddress(const_cast<ZuVALUE&>(f)); a >= 0 && a < code.size(); ++a) {
        const int op = code[a].op;
        if (op == program::code(Op::INT)) return code[a].arg;
        if (op != program::code(Op::ELF) && op != program::code(Op::ELT) && op != program::code(Op::NUM)) break;
    }
    return 0;
}

// The locals the running function allocated: the operand of the INT at
// the head of its code, as far as the entries exist (at a stop on entry
// the INT has not run yet).  At top level, the entries the console
// reserved.
int FrameRoom() {
    const int existing = vm.base ? static_cast<int>(vm.sp - vm.bp) + 1 : 0;
    return std::max(0, std::min(AllocatedLocals(), existing));
}

// The locals the new code uses: one more than the highest local operand,
// and the named locals after the names it declares.
int LocalsNeeded(int start, int end) {
    const program::CodeBuffer& code = std::as_const(program::codeBuffer());
    int needed = vm.localCount - vm.paramCount;
    int named = needed;
    for (int a = start; a < end; ++a) {
        const ZuPCODE& ins = code[a];
        const OpcodeInfo* info = opcodeInfo(ins.op);
        if (info && info->operand == Operand::Local)
            needed = std::max(needed, ins.arg + 1);
        else if (ins.op == program::code(Op::ELT))
            named = ins.arg >= 0 ? named + 1 : std::max(0, named + ins.arg);
        needed = std::max(needed, named);
    }
    return needed;
}

// Appends a record for each name of the running frame, arguments first,
// so that the compiler resolves them to the frame's entries.  Returns the
// index of the first record.
int DeclareFrameNames() {
    program::SymbolTable& st = program::symbolTable();
    const int mark = st.count();
    for (int i = 0; i < vm.localCount; ++i) {
        const std::size_t at = static_cast<std::size_t>(vm.localStart + i);
        const char* name = at < vm.localNames.size() && vm.localNames[at] ? vm.localNames[at] : "";
        st.append(name, i < vm.paramCount ? (ZU_INT | ZU_FLAG_ARG) : ZU_INT);
    }
    return mark;
}

int Compile(int mark) {
    program::SymbolTable& st = program::symbolTable();
    const int arguments = std::min(vm.paramCount, vm.localCount);
    ZuNAMEDVALUE* records = st.records();
    ZuNAMEDVALUE* firstArgument = arguments > 0 ? records + mark : nullptr;
    ZuNAMEDVALUE* firstLocal = vm.localCount > arguments ? records + mark + arguments : nullptr;
    ZuNAMEDVALUE* end = records + st.count();
    ZuVALUE* argument = arguments > 0 ? vm.ap : nullptr;
    return IZuParseInsertExpression(firstArgument, firstLocal, end, 0, 0, argument);
}

// Statement code works in the slot on top of the stack, which at a stop
// may hold a value the stopped code still needs (a loop test, say): the
// line gets a fresh one.
// False when the stack is full.
bool PushScratchSlot() {
    if (!vm.base || vm.sp >= vm.last) return false;
    *++vm.sp = ZuVALUE{};
    vm.sp->t = ZU_INT;
    return true;
}

bool EndedAtExit(int start, int end) {
    return vm.cp >= start && vm.cp < end && std::as_const(program::codeBuffer())[vm.cp].op == program::code(Op::EXT);
}

}  // namespace

void SetTopLevelRoom(int n) { topLevelRoom = n; }

bool ReadTypedLine(int first, std::string& text) {
    text.assign(1, static_cast<char>(first));
    std::string rest;
    if (first != '\n' && ReadRestOfLine(rest, kMaxTypedLine) == LineRead::TooLong) {
        LineTooLong(kMaxTypedLine);
        return false;
    }
    text += rest;
    text += '\n';
    return true;
}

void RunTypedLine(int first) {
    std::string text;
    if (ReadTypedLine(first, text)) RunTypedText(text);
}

void RunTypedText(const std::string& text) {
    // The compiler reads the text from memory, so that it ends with it.
    program::SymbolTable& st = program::symbolTable();
    program::CodeBuffer& code = program::codeBuffer();
    const Registers saved = Registers::take();
    ZuOpenSourceText(text.c_str());
    const int start = code.size();
    int errors = 1;
    if (st.isOpen()) {
        const int mark = DeclareFrameNames();
        errors = Compile(mark);
        st.truncate(std::min(mark, st.count()));
    }
    ZuOpenSourceFile(nullptr);
    const int end = code.size();
    bool keepNewNames = false;
    if (errors == 0 && end > start) {
        if (LocalsNeeded(start, end) > FrameRoom()) {
            ZuPrintf("No room for new variables here\n");
        } else if (!PushScratchSlot()) {
            ZuPrintf("No room on the stack for this line\n");
        } else {
            // The line runs to its end: breakpoints are for the program.
            const std::vector<int> breakpoints = SuspendBreakpoints();
            ZuRunSetDebug(nullptr, nullptr, 0);
            vm.cp = start;
            userInterrupt = 0;  // a Ctrl-C at the prompt is not for this line
            ZuRunDebugGo();
            ResumeBreakpoints(breakpoints);
            // A run-time error ends only the line; it has been reported.
            keepNewNames = ZuGetRuntimeError() == 0 && EndedAtExit(start, end);
            ZuSetRuntimeError(0);
        }
    }
    saved.restore(keepNewNames);
    // The line's code is never reached again: it defines no functions.
    code.rollBack(start);
}

}  // namespace zu::run::debug
