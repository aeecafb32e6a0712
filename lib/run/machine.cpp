// The machine state and the helpers on stack entries.
#include "run/machine.h"

#include "program/code_buffer.h"
#include "program/literals.h"
#include "program/symbols.h"
#include "value/heap.h"
#include "value/shared_blocks.h"

#include <algorithm>
#include <cstring>

namespace zu::run {


Machine vm;
volatile std::sig_atomic_t userInterrupt = 0;

void FreeEntry(ZuVALUE* v) {
    if ((v->t & ZU_TYPE_MASK) == ZU_VECTOR) {
        if (v->t & kVectorList) value::HeapFree(v->w5.p);
        if ((v->t & ZU_FLAG_VAL) && v->w3.m) CMatFree(v->w3.m, v->w1.i, v->w2.i);
    } else {
        // The run loop frees what it pops without writing sp back first, so
        // the value layer's view of the live stack may be behind here.
        value::FreeUnshared(v);
    }
    *v = ZuVALUE{};
    v->t = ZU_INT;
}

void FreeVariable(ZuVALUE* v) {
    if ((v->t & ZU_TYPE_MASK) == ZU_VECTOR) {
        FreeEntry(v);
        return;
    }
    ZuFreeByValue(v);
    *v = ZuVALUE{};
    v->t = ZU_INT;
}

value::LiveStack LiveStack() {
    if (!vm.base || vm.sp < vm.base) return {};
    const auto size = static_cast<std::size_t>(vm.sp - vm.base) + 1;
    // The running function changes nothing below its own slot (ap - 1).
    const int below = vm.ap ? EntryNumber(vm.ap) - 1 : 0;
    const std::size_t settled = std::min(size, static_cast<std::size_t>(std::max(below, 0)));
    const std::size_t unchanged = std::min(settled, static_cast<std::size_t>(std::max(vm.unchangedBelow, 0)));
    vm.unchangedBelow = static_cast<int>(settled);
    return {{vm.base, size}, settled, unchanged};
}

void CopyVectorList(ZuVALUE* dst) {
    int n = dst->w4.i;
    if (n <= 0 || !dst->w5.p) {
        dst->w5.p = nullptr;
        dst->w4.i = 0;
        return;
    }
    auto* copy = static_cast<int*>(value::HeapAlloc(static_cast<std::size_t>(n) * sizeof(int)));
    if (!copy) {
        // The copy cannot keep the list: it stands for an empty selection
        // rather than share the original's.
        dst->w5.p = nullptr;
        dst->w4.i = 0;
        Raise(4);
    }
    std::memcpy(copy, dst->w5.p, static_cast<std::size_t>(n) * sizeof(int));
    dst->w5.p = copy;
}

void PopTo(ZuVALUE* entry) {
    if (!vm.base || !entry) return;
    while (vm.sp > entry) {
        FreeIfOwned(vm.sp);
        --vm.sp;
    }
}

void CheckRoom(int n) {
    if (n < 0 || vm.last - vm.sp < n) Raise(3);
}

const char* FunctionName(const ZuVALUE* f) {
    if (!f || (f->t & ZU_TYPE_MASK) != ZU_FUNCTION || !f->w3.s) return "?";
    const long long k = f->w1.i < 0 ? -static_cast<long long>(f->w1.i) : f->w1.i;
    const char* text = f->w3.s;
    // The letters may be fewer than the count in a damaged value: never
    // step past the terminator.
    int i = 0;
    while (i < k + 1 && text[i]) ++i;
    return text + i;
}

const char* ActiveFunctionName() {
    if (!vm.base || !vm.ap || vm.ap <= vm.base) return "?";
    return FunctionName(vm.ap - 1);
}

const char* LocalVariableName(int slot) {
    if (const char* name = ZuRunGetLocalName(slot)) return name;
    return program::codeBuffer().localNames().find(slot, vm.cp);
}

const char* LiteralText(int index) {
    if (index < 0 || index >= vm.literalCount || !vm.literals) return nullptr;
    const ZuVALUE& v = vm.literals[index];
    if ((v.t & ZU_TYPE_MASK) != ZU_STRING || (v.t & ZU_FLAG_NUL)) return nullptr;
    return v.w2.s ? v.w2.s : "";
}

void RefreshTables() {
    const auto& code = program::codeBuffer();
    vm.code = code.constData();
    vm.codeSize = code.size();
    auto& literals = program::literalTable();
    vm.literals = literals.values();
    vm.literalCount = literals.count();
    auto& symbols = program::symbolTable();
    vm.globals = symbols.records();
    vm.globalCount = symbols.count();
}

void Raise(int code, const char* text) {
    ZuRunError(code, text);
    // No run is active (the report returned): leave the operation anyway;
    // the exported entry points catch this.
    throw RunError{};
}

}  // namespace zu::run
