// Calls of Zu and library functions, array spreading, and returns.
#include "run/calls.h"

#include "run/assignment.h"
#include "run/indexing.h"
#include "run/machine.h"
#include "run/run_errors.h"
#include "value/function_table.h"

#include <climits>
#include <cstring>

namespace zu::run {
namespace {

constexpr int kMaxSpread = 32;

// The argument count a function record declares, without its sign (the
// sign marks a variable tail); a damaged record's INT_MIN asks for more
// than any call can pass.
int DeclaredCount(int declared) { return declared == INT_MIN ? INT_MAX : declared < 0 ? -declared : declared; }

bool CountMatches(int declared, int n) { return declared >= 0 ? n == declared : n >= DeclaredCount(declared); }

// The element count of an argument that spreading would replace by its
// elements; 0 for one that stays as it is.
int SpreadCount(const ZuVALUE* a) {
    if ((a->t & (ZU_TYPE_MASK | ZU_FLAG_NUL | ZU_FLAG_ADR)) != ZU_ARRAY || !a->w2.v) return 0;
    return a->w1.i >= 1 && a->w1.i <= kMaxSpread ? a->w1.i : 0;
}

// Replaces the array arguments by their elements when that makes the count
// the declared one; false when it does not.
bool SpreadArrays(ZuVALUE* f, int& n, int declared) {
    int wanted = DeclaredCount(declared);
    if (wanted < 1) return false;
    int count = 0;
    for (int i = 1; i <= n; ++i) {
        int c = SpreadCount(f + i);
        count += c ? c : 1;
    }
    if (count != wanted) return false;
    CheckRoom(count - n);
    ZuVALUE* dst = f + count;
    for (int i = n; i >= 1; --i) {
        ZuVALUE arg = f[i];
        int c = SpreadCount(&arg);
        if (!c) {
            *dst-- = arg;
            continue;
        }
        for (int e = c - 1; e >= 0; --e) {
            RefCopy(dst, &arg.w2.v[e]);
            ZuRunMakeByValueEntry(dst);
            --dst;
        }
        FreeIfOwned(&arg);
    }
    vm.sp = f + count;
    n = count;
    return true;
}

// A bound member function: its object and an int 0 become the hidden
// first arguments.
void InsertBoundObject(ZuVALUE* f, int& n) {
    CheckRoom(2);
    for (int i = n; i >= 1; --i) f[i + 2] = f[i];
    ZuVALUE object{};
    object.t = ZU_CLASS;
    std::memcpy(&object.w1, f->w4.p, value::kBoundRecordSize);
    f[1] = object;
    f[2] = ZuVALUE{};
    f[2].t = ZU_INT;
    vm.sp += 2;
    n += 2;
}

void PrepareArgument(ZuVALUE* a) {
    if ((a->t & ZU_TYPE_MASK) == ZU_VECTOR)
        ZuRunDoIndexVector(a, nullptr);
    else if ((a->t & (ZU_TYPE_MASK | ZU_FLAG_IDX | ZU_FLAG_ADR)) == (ZU_ARRAY | ZU_FLAG_IDX))
        ZuRunArrayIndexMakeByValue(a);
}

void PassArguments(ZuVALUE* f, int n, int declared) {
    const char* letters = f->w3.s ? f->w3.s : "";
    bool inLetters = true;
    for (int i = 0; i < n; ++i) {
        ZuVALUE* a = f + 1 + i;
        PrepareArgument(a);
        if (inLetters && (letters[i] == '\0' || letters[i] == '$')) inLetters = false;
        bool constant = i >= declared || (inLetters && letters[i] == 'c');
        if (constant) {
            a->t |= ZU_FLAG_CON;
            continue;
        }
        int type = a->t & ZU_TYPE_MASK;
        if (!(a->t & ZU_FLAG_VAL) && type != ZU_INT && type != ZU_DOUBLE) ZuRunMakeByValueEntry(a);
        a->t &= ~ZU_FLAG_CON;
    }
}

void CallZuFunction(ZuVALUE* f, int n) {
    if ((f->t & ZU_FLAG_MEM) && f->w4.p) InsertBoundObject(f, n);
    if (f->t & ZU_FLAG_EXT) Raise(Err::UndefinedFunction, FunctionName(f));
    int declared = f->w1.i;
    if (!CountMatches(declared, n) && !SpreadArrays(f, n, declared)) Raise(Err::ArgumentCount, FunctionName(f));
    CheckRoom(1);
    ZuVALUE* frame = vm.sp + 1;
    int fixed = DeclaredCount(declared);
    PushFrame(frame, EntryNumber(vm.ap), EntryNumber(vm.bp), vm.cp, fixed);
    vm.cp = f->w2.i - 1;
    vm.ap = f + 1;
    vm.bp = frame + 1;
    vm.sp = frame;
    PassArguments(f, n, fixed);
}

void CallLibraryFunction(ZuVALUE* f, int n) {
    const char* name = LibraryName(f);
    if (!CountMatches(f->w1.i, n)) Raise(Err::ArgumentCount, name);
    auto routine = reinterpret_cast<ZuLIBFUNC>(f->w5.p);
    if (!routine) Raise(Err::NotAFunction, name);
    vm.intFuncName = name;
    value::SetRunningFunction(name);
    for (int i = 1; i <= n; ++i) PrepareArgument(f + i);
    ZuVALUE result{};
    result.t = ZU_INT;
    routine(&result, f + 1, n);
    PopTo(f);
    FreeIfOwned(f);
    int type = result.t & ZU_TYPE_MASK;
    if (type == ZU_INT || type == ZU_DOUBLE) {
        result.t &= ~ZU_FLAG_VAL;
    } else if (!(result.t & ZU_FLAG_VAL) && !value::TryMakeByValue(&result)) {
        *f = ZuVALUE{};
        f->t = ZU_INT;
        Raise(Err::OutOfMemory);
    }
    *f = result;
}

// A call by name: the global function of that name, or else a library
// function linked now.  False when neither exists.
bool ResolveByName(ZuVALUE* f) {
    const char* name = f->w2.s ? f->w2.s : "";
    if (ZuNAMEDVALUE* g = ZuSymFindGlobalFunction(name)) {
        ZuVALUE found;
        RefCopy(&found, &g->val);
        FreeIfOwned(f);
        *f = found;
        return true;
    }
    ZuNAMEDVALUE probe{const_cast<char*>(name), ZuVALUE{}};
    if (!FZuLinkIntFunction(&probe)) return false;
    FreeIfOwned(f);
    *f = probe.val;
    return true;
}

}  // namespace

const char* LibraryName(const ZuVALUE* f) {
    const char* text = f->w3.s;
    if (!text) return "?";
    const char* dollar = std::strchr(text, '$');
    return dollar ? dollar + 1 : text;
}

void DoCall(int n) {
    ZuVALUE* f = vm.sp - n;
    for (int attempt = 0; attempt < 2; ++attempt) {
        switch (f->t & ZU_TYPE_MASK) {
        case ZU_FUNCTION: CallZuFunction(f, n); return;
        case ZU_INTFUNC: CallLibraryFunction(f, n); return;
        case ZU_STRING:
            if (attempt == 0 && !(f->t & ZU_FLAG_NUL) && ResolveByName(f)) continue;
            break;
        default: break;
        }
        break;
    }
    Raise(Err::NotAFunction);
}

void DoReturn(int r) {
    const ZuVALUE frame = vm.bp[-1];
    ZuVALUE* slot = vm.ap - 1;
    if (r == 1) {
        ZuVALUE* top = vm.sp;
        PrepareArgument(top);
        int type = top->t & ZU_TYPE_MASK;
        if (!(top->t & ZU_FLAG_VAL) && type != ZU_INT && type != ZU_DOUBLE) ZuRunMakeByValueEntry(top);
        ZuVALUE result = *top;
        top->t &= ~ZU_FLAG_VAL;
        FreeIfOwned(slot);
        *slot = result;
        slot->t &= ~ZU_FLAG_CON;
    } else {
        FreeIfOwned(slot);
        *slot = ZuVALUE{};
        slot->t = r == 0 ? ZU_INT : ZU_INT | ZU_FLAG_NUL;
    }
    PopFrame(frame);
    vm.cp = frame.w3.i;
    PopTo(slot);
    vm.ap = EntryAt(frame.w1.i);
    vm.bp = EntryAt(frame.w2.i);
}

}  // namespace zu::run
