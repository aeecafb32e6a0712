// Start and end of the engine: the stack, the final link, the check of the
// code, and the clean-up of globals, literals and the stack.
#include "run/assignment.h"
#include "run/link.h"
#include "run/machine.h"
#include "console/run_error_codes.h"
#include "run/objects.h"
#include "program/pcode.h"
#include "run/recovery.h"

#include "program/code_buffer.h"
#include "value/heap.h"
#include "value/shared_blocks.h"

#include <new>

namespace zu::run {
using program::code;
using program::Op;

namespace {

inline constexpr int kGuardBelow = 8;  // zeroed entries below entry 0
inline constexpr int kMaxStackSize = 10'000'000;

bool AllocateStack() {
    int size = vm.nextStackSize;
    std::size_t total = static_cast<std::size_t>(kGuardBelow) + 1 + static_cast<std::size_t>(size) + kSpareEntries +
                        static_cast<std::size_t>(size);
    try {
        vm.storage.assign(total, ZuVALUE{});
    } catch (const std::bad_alloc&) {
        return false;
    }
    vm.stackSize = size;
    vm.base = vm.storage.data() + kGuardBelow + 1;
    vm.last = vm.base - 1 + size + kSpareEntries - 1;
    vm.sp = vm.base - 1;
    vm.ap = vm.bp = vm.base;
    vm.unchangedBelow = 0;
    value::SetLiveRecords(&LiveStack);
    return true;
}

bool InRange(int value, int limit) { return value >= 0 && value < limit; }

// Operands that index tables or the code must lie inside them: code read
// from an object file is checked once here rather than at every step.
// The LOD of the main call stub may still wait for its index.
bool CodeIsSound(int mainPosition) {
    for (int a = 0; a < vm.codeSize; ++a) {
        const int arg = vm.code[a].arg;
        bool ok = true;
        switch (static_cast<Op>(vm.code[a].op)) {
        case Op::JMP:
        case Op::JMF:
        case Op::JMT: ok = InRange(arg, vm.codeSize); break;
        case Op::LOD: ok = InRange(arg, vm.globalCount) || (a == mainPosition && arg < 0); break;
        case Op::STO:
        case Op::NEW: ok = InRange(arg, vm.globalCount); break;
        case Op::LIT: ok = InRange(arg, vm.literalCount); break;
        case Op::ELF: ok = arg == -1 || InRange(arg, vm.literalCount); break;
        case Op::ELT: ok = arg < vm.literalCount; break;
        case Op::PAP:
        case Op::PBP:
        case Op::LAP:
        case Op::LBP:
        case Op::SAP:
        case Op::SBP: ok = InRange(arg, vm.stackSize); break;
        default: break;
        }
        if (!ok) return false;
    }
    return true;
}

bool IsClassDefinition(const ZuNAMEDVALUE& g) { return (g.val.t & ZU_TYPE_MASK) == ZU_CLASS && g.val.w3.p == &g; }

// A global's value; objects (also inside arrays) are left to
// ReleaseLiveObjects, since several variables may refer to one object.
void FreeGlobalValue(ZuVALUE* v) {
    int type = v->t & ZU_TYPE_MASK;
    if (type == ZU_CLASS || type == ZU_VECTOR) return;
    if (type == ZU_FUNCTION && (v->t & ZU_FLAG_VAL)) {
        // A variable that holds a function has its own copy of the record
        // only: the declaration text stays the definition's.
        zu::value::FreeUnshared(v);
        *v = ZuVALUE{};
        return;
    }
    if (type == ZU_ARRAY && !(v->t & (ZU_FLAG_ADR | ZU_FLAG_IDX | ZU_FLAG_NUL)) && v->w2.v) {
        for (int k = 0; k < v->w1.i; ++k) FreeGlobalValue(&v->w2.v[k]);
        zu::value::HeapFree(v->w2.v);
        v->w2.v = nullptr;
        v->w1.i = 0;
        return;
    }
    ZuFreeValue(v);
}

void FreeStaticMembers(ZuVALUE& c) {
    if (!c.w4.nv) return;
    for (int k = 0; k < c.w1.i; ++k) {
        ZuVALUE& member = c.w4.nv[k].val;
        if (member.t & ZU_FLAG_STA) {
            FreeGlobalValue(&member);
            member.t = ZU_INT | ZU_FLAG_NUL | ZU_FLAG_STA;
        }
    }
}

void FreeGlobals() {
    if (!vm.globals) return;
    for (int i = 0; i < vm.globalCount; ++i) {
        ZuNAMEDVALUE& g = vm.globals[i];
        if (IsClassDefinition(g)) {
            // The class owns its member tables (static values, member
            // function signatures and names).
            FreeStaticMembers(g.val);
            ZuFreeValue(&g.val);
            g.val.t = ZU_INT | ZU_FLAG_NUL;
            continue;
        }
        if ((g.val.t & ZU_TYPE_MASK) == ZU_CLASS || (g.val.t & ZU_TYPE_MASK) == ZU_VECTOR) continue;
        int flags = g.val.t & (ZU_FLAG_GLO | ZU_FLAG_STA | ZU_FLAG_CON);
        FreeGlobalValue(&g.val);
        g.val.t = ZU_INT | ZU_FLAG_NUL | flags;
    }
}

}  // namespace
}  // namespace zu::run

using namespace zu::run;

extern "C" {

void ZuSetStackSize(int n) {
    if (n >= 1) vm.nextStackSize = n < kMaxStackSize ? n : kMaxStackSize;
}

int IZuRunInit(void) {
    if (!AllocateStack()) {
        ZuLinkError(3, "stack");
        return -2;
    }
    MatCacheInit();
    int mainPosition = IZuParseAddMainCall();
    RefreshTables();
    ZuPCODE* code = zu::program::codeBuffer().data();
    int errors = IZuLink(code, vm.codeSize, mainPosition);
    ZuSetRuntimeJump(ZuRuntimeJump);
    RefreshTables();
    vm.cp = 0;
    vm.localNames.clear();
    vm.localStart = vm.localCount = 0;
    vm.paramCount = 0;
    vm.currentFile = -1;
    if (errors) return -1;
    if (!CodeIsSound(mainPosition)) {
        ZuLinkError(6, "code");
        return -1;
    }
    return mainPosition;
}

int IZuRunStart(void) { return IZuRunInit(); }

void ZuRunExit(void) {
    MatCacheExit();
    RefreshTables();
    FreeGlobals();
    ZuFreeLiteralValues();
    RefreshTables();
    if (vm.base) {
        PopTo(vm.base - 1);
        FreeIfOwned(vm.base - 1);
    }
    ReleaseLiveObjects();
    ReleaseLinkedTexts();
    vm.storage.clear();
    vm.storage.shrink_to_fit();
    vm.base = vm.last = vm.sp = vm.ap = vm.bp = nullptr;
    vm.exitCallCount = 0;
    vm.localNames.clear();
}

void ZuRunFinish(void) { ZuRunExit(); }

// ---- hooks for library functions ----

ZuVALUE* ZuRunActiveFunc(void) {
    if (!vm.base || !vm.ap || vm.ap <= vm.base) return nullptr;
    return vm.ap - 1;
}

int IZuRunArgCount(void) {
    if (!vm.base || vm.bp <= vm.ap) return 0;
    return static_cast<int>(vm.bp - vm.ap - 1);
}

ZuVALUE* ZuRunArgFromLast(int i) {
    if (i < 0 || i >= IZuRunArgCount()) return nullptr;
    return vm.bp - 2 - i;
}

const char* SZuRunIntFunc(void) { return vm.intFuncName ? vm.intFuncName : ""; }

// ---- registers for the debugger ----

void ZuRunGetStackInfo(ZuVALUE** base, ZuVALUE** sp, ZuVALUE** ap, ZuVALUE** bp) {
    if (base) *base = vm.base;
    if (sp) *sp = vm.sp;
    if (ap) *ap = vm.ap;
    if (bp) *bp = vm.bp;
}

void ZuRunSetStackInfo(ZuVALUE* /*base*/, ZuVALUE* sp, ZuVALUE* ap, ZuVALUE* bp) {
    // The base stays where the stack was allocated; entries outside the
    // stack are refused.
    if (!vm.base) return;
    auto inside = [](const ZuVALUE* v) { return v >= vm.base - 1 && v <= vm.last; };
    if (sp && inside(sp)) PopTo(sp);
    if (ap && inside(ap)) vm.ap = ap;
    if (bp && inside(bp)) vm.bp = bp;
    vm.unchangedBelow = 0;
}

void ZuRunGetCallInfo(int* paramCount, int* localStart, int* localCount, int* file) {
    if (paramCount) *paramCount = vm.paramCount;
    if (localStart) *localStart = vm.localStart;
    if (localCount) *localCount = vm.localCount;
    if (file) *file = vm.currentFile;
}

void ZuRunSetCallInfo(int paramCount, int localStart, int localCount, int file) {
    vm.paramCount = paramCount;
    vm.localStart = localStart < 0 ? 0 : localStart;
    vm.localCount = localCount < 0 ? 0 : localCount;
    vm.currentFile = file;
}

void ZuRunSetLocalNames(int paramCount, const char** names, int n) {
    vm.localNames.clear();
    for (int i = 0; names && i < n; ++i) vm.localNames.push_back(names[i]);
    vm.paramCount = paramCount;
    vm.localStart = 0;
    vm.localCount = static_cast<int>(vm.localNames.size());
}

const char* ZuRunGetLocalName(int i) {
    int at = vm.localStart + i;
    if (i < 0 || i >= vm.localCount || at >= static_cast<int>(vm.localNames.size())) return nullptr;
    return vm.localNames[static_cast<std::size_t>(at)];
}

int ZuRunGetPcodeAddress(void) { return vm.cp; }
void ZuRunSetPcodeAddress(int cp) { vm.cp = cp; }
int ZuRunGetFileNameLit(void) { return vm.currentFile; }
const char* ZuRunGetFileName(void) { return LiteralText(vm.currentFile); }
ZuVALUE* ZuRunGetStackTop(void) { return vm.sp; }

void ZuRunFreeStackTop(ZuVALUE* entry) {
    if (!entry || !vm.base || entry < vm.base - 1) return;
    PopTo(entry);
}

void ZuRunSetDebug(ZuVALUE* stepOverAp, ZuVALUE* stepOutAp, int stop) {
    vm.stepOverAp = stepOverAp;
    vm.stepOutAp = stepOutAp;
    vm.stop = stop != 0;
}

void ZuRunSetAbort(void) { vm.abort = true; }
void ZuRunAbort(void) { vm.abort = true; }
void ZuRunTrace(int on) { vm.trace = on != 0; }
void ZuRunCodeTrace(int on) { vm.codeTrace = on != 0; }
void ZuRunNumbering(int on) { vm.numbering = on != 0; }

// ---- by-value operations on stack entries ----

void ZuRunMakeByValue(ZuVALUE* v) {
    if (!v) return;
    Guarded([v] { zu::run::ZuRunMakeByValueEntry(v); });
}

void ZuRunFreeByValue(ZuVALUE* v) {
    if (v) FreeIfOwned(v);
}

void ZuRunValMatAlloc(ZuVALUE* v, int rows, int columns) {
    if (!v) return;
    FreeIfOwned(v);
    if (!zu::value::TrySetMatrix(v, rows < 0 ? 0 : rows, columns < 0 ? 0 : columns)) {
        *v = ZuVALUE{};
        v->t = ZU_INT;
        zu::ReportRunError(zu::RunErrorCode::OutOfMemory);
    }
}

}  // extern "C"
