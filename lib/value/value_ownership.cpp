// Ownership of value records: release, by-value copies and the allocators
// that library routines use for their results.
//
// A record owns its data when it carries the `val` flag.  Two kinds of array
// never own their elements: an address (it refers to one value elsewhere)
// and an index array (its elements are references into the array it was
// cut from; only its element table belongs to it).
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>

#include "value/heap.h"
#include "console/run_error_codes.h"
#include "value/shared_blocks.h"
#include "value/value.h"

using zu::value::Clear;
using zu::value::HasFlag;
using zu::value::HeapAlloc;
using zu::value::HeapCalloc;
using zu::value::HeapFree;
using zu::value::IsAddress;
using zu::value::LiveCopies;
using zu::value::TypeCode;

namespace zu::value {
namespace {

bool IsIndexArray(const ZuVALUE* v) { return TypeCode(v) == ZU_ARRAY && HasFlag(v, ZU_FLAG_IDX) && !IsAddress(v); }

// Each named value of the object tables: the value, then its name.
void FreeNamed(ZuNAMEDVALUE* member) {
    ZuFreeValue(&member->val);
    HeapFree(member->name);
}

void FreeObject(ZuVALUE* v) {
    if (v->w4.nv != nullptr) {
        for (int k = 0; k < v->w1.i; ++k) FreeNamed(&v->w4.nv[k]);
    }
    if (v->w5.nv != nullptr) {
        for (ZuNAMEDVALUE* entry = v->w5.nv; entry->name != nullptr; ++entry) FreeNamed(entry);
    }
    HeapFree(v->w4.nv);
    HeapFree(v->w5.nv);
}

void FreeElementsByValue(ZuVALUE* v, LiveCopies* copies) {
    if (v->w2.v != nullptr && !IsIndexArray(v)) {
        for (int k = 0; k < v->w1.i; ++k) FreeByValueUnless(&v->w2.v[k], copies);
    }
    HeapFree(v->w2.v);
    v->w1.i = 0;
    v->w2.v = nullptr;
}

// Copies of `count` element records, each made by value on its own (a
// copied `val` flag would share the original's data).  Null when memory
// runs out; nothing is then left allocated.
ZuVALUE* CopyElementsByValue(const ZuVALUE* elements, int count) {
    auto* copy = static_cast<ZuVALUE*>(HeapAlloc(static_cast<std::size_t>(count) * sizeof(ZuVALUE)));
    if (copy == nullptr) return nullptr;
    for (int k = 0; k < count; ++k) {
        copy[k] = elements[k];
        copy[k].t &= ~ZU_FLAG_VAL;
        if (!TryMakeByValue(&copy[k])) {
            for (int done = 0; done < k; ++done) ZuFreeByValue(&copy[done]);
            HeapFree(copy);
            return nullptr;
        }
    }
    return copy;
}

bool MakeStringByValue(ZuVALUE* v) {
    if (v->w2.s == nullptr || v->w1.i < 0) return true;
    auto* copy = static_cast<char*>(HeapAlloc(static_cast<std::size_t>(v->w1.i) + 1));
    if (copy == nullptr) return false;
    std::memcpy(copy, v->w2.s, static_cast<std::size_t>(v->w1.i));
    copy[v->w1.i] = '\0';
    v->w2.s = copy;
    return true;
}

bool MakeMatrixByValue(ZuVALUE* v) {
    if (v->w3.m == nullptr || v->w1.i < 1) return true;
    double** copy = CMatDup(v->w3.m, v->w1.i, v->w2.i);
    if (copy == nullptr) return false;
    v->w3.m = copy;
    return true;
}

bool MakeArrayByValue(ZuVALUE* v) {
    if (v->w2.v == nullptr || v->w1.i < 1) return true;
    ZuVALUE* copy = CopyElementsByValue(v->w2.v, v->w1.i);
    if (copy == nullptr) return false;
    v->w2.v = copy;
    return true;
}

bool MakeBoundRecordByValue(ZuVALUE* v) {
    if (v->w4.p == nullptr) return true;
    void* copy = HeapAlloc(kBoundRecordSize);
    if (copy == nullptr) return false;
    std::memcpy(copy, v->w4.p, kBoundRecordSize);
    v->w4.p = copy;
    return true;
}

bool MakeContentByValue(ZuVALUE* v) {
    switch (TypeCode(v)) {
    case ZU_STRING: return MakeStringByValue(v);
    case ZU_MATRIX: return MakeMatrixByValue(v);
    case ZU_ARRAY: return IsAddress(v) || MakeArrayByValue(v);
    case ZU_FUNCTION: return !HasFlag(v, ZU_FLAG_MEM) || MakeBoundRecordByValue(v);
    default: return true;
    }
}

}  // namespace

bool TryMakeByValue(ZuVALUE* v) {
    if (v == nullptr || HasFlag(v, ZU_FLAG_NUL)) return true;
    if (IsIndexArray(v)) return TryMakeIndexArrayByValue(v);
    if (HasFlag(v, ZU_FLAG_VAL)) return true;
    if (!MakeContentByValue(v)) return false;
    v->t |= ZU_FLAG_VAL;
    return true;
}

bool TryMakeIndexArrayByValue(ZuVALUE* v) {
    if (!IsIndexArray(v)) return TryMakeByValue(v);
    ZuVALUE* copy = nullptr;
    if (v->w2.v != nullptr && v->w1.i > 0) {
        copy = CopyElementsByValue(v->w2.v, v->w1.i);
        if (copy == nullptr) return false;
    }
    if (HasFlag(v, ZU_FLAG_VAL)) HeapFree(v->w2.v);
    v->w2.v = copy;
    if (copy == nullptr) v->w1.i = 0;
    v->t = (v->t & ~ZU_FLAG_IDX) | ZU_FLAG_VAL;
    return true;
}

bool TrySetMatrix(ZuVALUE* v, int r, int c) {
    ZuFreeByValue(v);
    Clear(v);
    int elements = 0;
    if (r < 0 || c < 0 || !ElementCount(r, c, &elements)) return false;
    double** m = nullptr;
    if (r >= 1) {
        m = CMatAlloc(r, c);
        if (m == nullptr) return false;
    }
    v->t = ZU_MATRIX | ZU_FLAG_VAL;
    v->w1.i = r;
    v->w2.i = c;
    v->w3.m = m;
    return true;
}

bool TrySetString(ZuVALUE* v, const char* text, int n) {
    ZuFreeByValue(v);
    Clear(v);
    v->t = ZU_STRING | ZU_FLAG_VAL;
    if (n <= 0) return n == 0;
    auto* s = static_cast<char*>(HeapAlloc(static_cast<std::size_t>(n) + 1));
    if (s == nullptr) return false;
    if (text != nullptr) std::memcpy(s, text, static_cast<std::size_t>(n));
    s[n] = '\0';
    v->w1.i = n;
    v->w2.s = s;
    return true;
}

bool TryAppendString(ZuVALUE* v, const char* text, int n) {
    char* block = v->w2.s;
    const int length = block == nullptr ? 0 : v->w1.i;
    if (n <= 0) return n == 0;
    if (length < 0 || n > INT_MAX - length) return false;
    const std::size_t needed = static_cast<std::size_t>(length) + static_cast<std::size_t>(n) + 1;
    if (needed > HeapCapacity(block)) {
        // A new block rather than realloc: a record on the stack may still
        // show the old one (an earlier argument of the running call), and
        // the release below hands it over to that record instead of freeing
        // it.  The text may lie in the old block, which is still there.
        const std::size_t grown = std::max(needed, static_cast<std::size_t>(length) + static_cast<std::size_t>(length) / 2);
        auto* moved = static_cast<char*>(HeapAlloc(std::max<std::size_t>(grown, 16)));
        if (moved == nullptr) return false;
        if (length > 0) std::memcpy(moved, block, static_cast<std::size_t>(length));
        std::memcpy(moved + length, text, static_cast<std::size_t>(n));
        moved[length + n] = '\0';
        ZuVALUE old = *v;
        old.t = ZU_STRING | ZU_FLAG_VAL;
        v->w2.s = moved;
        v->w1.i = length + n;
        if (block != nullptr) ZuFreeByValue(&old);
        return true;
    }
    std::memmove(block + length, text, static_cast<std::size_t>(n));
    block[length + n] = '\0';
    v->w1.i = length + n;
    return true;
}

void RaiseOutOfMemory() { ReportRunError(RunErrorCode::OutOfMemory); }

}  // namespace zu::value

// ---------------------------------------------------------------------------
// Release and by-value copies
// ---------------------------------------------------------------------------

extern "C" int ZuFreeValue(ZuVALUE* v) {
    if (v == nullptr) return 0;
    if (!HasFlag(v, ZU_FLAG_NUL)) {
        switch (TypeCode(v)) {
        case ZU_MATRIX: MatFreeBlock(v->w3.m); break;
        case ZU_STRING: HeapFree(v->w2.s); break;
        case ZU_ARRAY:
            if (IsAddress(v)) break;
            if (v->w2.v != nullptr && !zu::value::IsIndexArray(v)) {
                for (int k = 0; k < v->w1.i; ++k) ZuFreeValue(&v->w2.v[k]);
            }
            HeapFree(v->w2.v);
            break;
        case ZU_FUNCTION:
            HeapFree(v->w3.s);
            if (HasFlag(v, ZU_FLAG_MEM)) HeapFree(v->w4.p);
            break;
        case ZU_CLASS: zu::value::FreeObject(v); break;
        case ZU_IMPORTNAME: HeapFree(v->w1.p); break;
        default: break;
        }
    }
    Clear(v);
    return 0;
}

namespace zu::value {

void FreeByValueUnless(ZuVALUE* v, LiveCopies* copies) {
    if (v == nullptr || !HasFlag(v, ZU_FLAG_VAL)) return;
    if (!HasFlag(v, ZU_FLAG_NUL)) {
        const bool kept = copies != nullptr && HandOver(*copies, v);
        switch (TypeCode(v)) {
        case ZU_MATRIX:
            if (!kept) CMatFree(v->w3.m, v->w1.i, v->w2.i);
            v->w1.i = v->w2.i = 0;
            v->w3.m = nullptr;
            break;
        case ZU_STRING:
            if (!kept) HeapFree(v->w2.s);
            v->w1.i = 0;
            v->w2.s = nullptr;
            break;
        case ZU_ARRAY:
            if (IsAddress(v)) break;
            if (kept) {
                v->w1.i = 0;
                v->w2.v = nullptr;
            } else {
                FreeElementsByValue(v, copies);
            }
            break;
        case ZU_FUNCTION:
            if (HasFlag(v, ZU_FLAG_MEM)) {
                if (!kept) HeapFree(v->w4.p);
                v->w4.p = nullptr;
            }
            break;
        default: break;
        }
    }
    v->t &= ~ZU_FLAG_VAL;
}

void FreeUnshared(ZuVALUE* v) { FreeByValueUnless(v, nullptr); }

}  // namespace zu::value

extern "C" void ZuMakeByValue(ZuVALUE* v) {
    if (!zu::value::TryMakeByValue(v)) zu::value::RaiseOutOfMemory();
}

// ---------------------------------------------------------------------------
// Results of library routines
// ---------------------------------------------------------------------------

extern "C" void ZuLibValZero(ZuVALUE* v) {
    v->t = ZU_INT | ZU_FLAG_NUL;
    v->w1.i = 0;
}

extern "C" void ZuLibValMatMalloc(ZuVALUE* v, int r, int c) {
    if (r < 0 || c < 0) {
        ZuFreeByValue(v);
        ZuLibValZero(v);
        zu::ReportRunError(zu::RunErrorCode::NegativeDimension);
        return;
    }
    if (!zu::value::TrySetMatrix(v, r, c)) {
        ZuLibValZero(v);
        zu::value::RaiseOutOfMemory();
    }
}

extern "C" void ZuLibValMatDup(ZuVALUE* v, double** m, int r, int c) {
    ZuLibValMatMalloc(v, r, c);
    if (zu::value::TypeCode(v) == ZU_MATRIX) MatCopy(v->w3.m, m, r, c);
}

extern "C" void ZuLibValArrayCalloc(ZuVALUE* v, int n) {
    ZuFreeByValue(v);
    Clear(v);
    if (n < 0) {
        ZuLibValZero(v);
        zu::ReportRunError(zu::RunErrorCode::NegativeDimension);
        return;
    }
    ZuVALUE* elements = nullptr;
    if (n >= 1) {
        elements = static_cast<ZuVALUE*>(HeapCalloc(static_cast<std::size_t>(n), sizeof(ZuVALUE)));
        if (elements == nullptr) {
            ZuLibValZero(v);
            zu::value::RaiseOutOfMemory();
            return;
        }
        for (int k = 0; k < n; ++k) elements[k].t = ZU_FLAG_NUL;
    }
    v->t = ZU_ARRAY | ZU_FLAG_VAL;
    v->w1.i = n;
    v->w2.v = elements;
}

extern "C" void ZuLibValStrMalloc(ZuVALUE* v, int n) {
    if (n < 0) {
        ZuFreeByValue(v);
        ZuLibValZero(v);
        zu::ReportRunError(zu::RunErrorCode::NegativeDimension);
        return;
    }
    if (!zu::value::TrySetString(v, nullptr, n)) {
        ZuLibValZero(v);
        zu::value::RaiseOutOfMemory();
    }
}
