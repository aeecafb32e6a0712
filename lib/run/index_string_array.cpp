// Indexing strings and arrays, and the base-1 indices of the Gauss mode.
#include "run/index_ops.h"

#include "run/indexing.h"
#include "run/run_errors.h"
#include "value/cast.h"
#include "value/heap.h"

#include <cmath>

namespace zu::run {
namespace {

// The character code of a stored value: an int, or a double truncated;
// false for anything else.
bool CharacterCode(const ZuVALUE* v, int* code) {
    switch (v->t & (ZU_TYPE_MASK | ZU_FLAG_NUL)) {
    case ZU_INT: *code = v->w1.i; return true;
    case ZU_DOUBLE:
        if (!value::DoubleToInt(v->w1.d, code)) *code = 0;
        return true;
    default: return false;
    }
}

// A new owned string of the selected characters.
void ReplaceBySelection(ZuVALUE* s, const Selection& sel) {
    ZuVALUE fresh{};
    if (!value::TrySetString(&fresh, nullptr, sel.count)) Raise(Err::OutOfMemory);
    for (int k = 0; k < sel.count; ++k) fresh.w2.s[k] = s->w2.s[sel.at(k)];
    FreeEntry(s);
    *s = fresh;
}

void ReplaceByInt(ZuVALUE* v, int i) {
    FreeEntry(v);
    v->t = ZU_INT;
    v->w1.i = i;
}

bool IsIndexArray(const ZuVALUE* a) { return (a->t & ZU_FLAG_IDX) && !(a->t & ZU_FLAG_ADR); }

// The one index that an address or an index array accepts per step.
int SingleIndexOnly(ZuVALUE* index, Err otherwise) {
    Index i;
    std::vector<int> storage;
    if (!ReadIndex(index, i, storage) || i.kind != Index::Single) Raise(otherwise);
    return i.single;
}

ZuVALUE* AllocElements(int n) {
    if (n <= 0) return nullptr;
    auto* e = static_cast<ZuVALUE*>(value::HeapCalloc(static_cast<std::size_t>(n), sizeof(ZuVALUE)));
    if (!e) Raise(Err::OutOfMemory);
    return e;
}

// a[i] for every element of an index array: each element must be an array.
void LoadThroughIndexArray(ZuVALUE* a, ZuVALUE* index, const IndexContext& context) {
    int i = SingleIndexOnly(index, Err::OneArrayItem);
    int n = a->w1.i;
    for (int k = 0; k < n; ++k) {
        const ZuVALUE& e = a->w2.v[k];
        if ((e.t & (ZU_TYPE_MASK | ZU_FLAG_NUL | ZU_FLAG_ADR)) != ZU_ARRAY) Raise(Err::OneArrayItem);
        if (i < 0 || i >= e.w1.i) RaiseIndex(i, IndexPlace::Only, IndexContext{&e, context.printBase});
    }
    ZuVALUE* elements = AllocElements(n);
    for (int k = 0; k < n; ++k) RefCopy(&elements[k], &a->w2.v[k].w2.v[i]);
    int flags = a->t & ZU_FLAG_CON;
    FreeEntry(a);
    a->t = ZU_ARRAY | ZU_FLAG_IDX | ZU_FLAG_VAL | flags;
    a->w1.i = n;
    a->w2.v = elements;
}

// The selection of several elements: moved out of an owned array, or
// referred to by an index array.
void LoadSelection(ZuVALUE* a, const Selection& s) {
    ZuVALUE* elements = AllocElements(s.count);
    bool owned = (a->t & ZU_FLAG_VAL) != 0;
    for (int k = 0; k < s.count; ++k) {
        ZuVALUE& e = a->w2.v[s.at(k)];
        if (owned) {
            elements[k] = e;
            e = ZuVALUE{};
            e.t = ZU_INT;
        } else {
            RefCopy(&elements[k], &e);
        }
    }
    int flags = (a->t & ZU_FLAG_CON) | ZU_FLAG_VAL | (owned ? 0 : ZU_FLAG_IDX);
    FreeEntry(a);
    a->t = ZU_ARRAY | flags;
    a->w1.i = s.count;
    a->w2.v = elements;
}

}  // namespace

void LoadStringIndexed(ZuVALUE* s, ZuVALUE* index, const IndexContext& context) {
    Index i;
    std::vector<int> storage;
    if (!ReadIndex(index, i, storage)) Raise(Err::ScalarOrMatrix);
    int n = s->w2.s ? s->w1.i : 0;
    if (i.kind == Index::Single) {
        if (i.single == n) {
            ReplaceByInt(s, 0);
            return;
        }
        Selection one = Select(i, n, IndexPlace::Only, context);
        ReplaceByInt(s, static_cast<unsigned char>(s->w2.s[one.first]));
        return;
    }
    ReplaceBySelection(s, Select(i, n, IndexPlace::Only, context));
}

void StoreStringIndexed(ZuVALUE* s, ZuVALUE* index, ZuVALUE* value, const IndexContext& context) {
    Index i;
    std::vector<int> storage;
    if (!ReadIndex(index, i, storage)) Raise(Err::ScalarOrMatrix);
    if ((value->t & ZU_TYPE_MASK) == ZU_VECTOR) ZuRunDoIndexVector(value, nullptr);
    int n = s->w2.s ? s->w1.i : 0;
    Selection sel = Select(i, n, IndexPlace::Only, context);
    int code = 0;
    if (i.kind == Index::Single) {
        if (!CharacterCode(value, &code)) Raise(Err::ScalarExpected);
        s->w2.s[sel.first] = static_cast<char>(code);
        ReplaceByInt(s, static_cast<unsigned char>(s->w2.s[sel.first]));
        return;
    }
    if (CharacterCode(value, &code)) {
        for (int k = 0; k < sel.count; ++k) s->w2.s[sel.at(k)] = static_cast<char>(code);
    } else if ((value->t & (ZU_TYPE_MASK | ZU_FLAG_NUL)) == ZU_STRING) {
        int vn = value->w2.s ? value->w1.i : 0;
        for (int k = 0; k < sel.count && k < vn; ++k) s->w2.s[sel.at(k)] = value->w2.s[k];
    } else {
        Raise(Err::ScalarOrString);
    }
    ReplaceBySelection(s, sel);
}

void LoadArrayIndexed(ZuVALUE* a, ZuVALUE* index, const IndexContext& context) {
    if (a->t & ZU_FLAG_ADR) {
        if (SingleIndexOnly(index, Err::IndexOutOfRange) != 0 || !a->w2.v) Raise(Err::IndexOutOfRange, "[0]");
        RefCopy(a, a->w2.v);
        return;
    }
    if (IsIndexArray(a)) {
        LoadThroughIndexArray(a, index, context);
        return;
    }
    Index i;
    std::vector<int> storage;
    if (!ReadIndex(index, i, storage)) Raise(Err::CannotIndex, value::Describe(a).c_str());
    int n = a->w2.v ? a->w1.i : 0;
    Selection s = Select(i, n, IndexPlace::Only, context);
    if (i.kind != Index::Single) {
        LoadSelection(a, s);
        return;
    }
    ZuVALUE& e = a->w2.v[s.first];
    if (!(a->t & ZU_FLAG_VAL)) {
        RefCopy(a, &e);
        return;
    }
    // An owned temporary dies here: its element moves out first.
    ZuVALUE moved = e;
    e = ZuVALUE{};
    e.t = ZU_INT;
    FreeEntry(a);
    *a = moved;
}

void StoreArrayIndexed(ZuVALUE* a, ZuVALUE* index, ZuVALUE* value, const IndexContext& context) {
    if (a->t & ZU_FLAG_ADR) {
        if (SingleIndexOnly(index, Err::IndexOutOfRange) != 0 || !a->w2.v) Raise(Err::IndexOutOfRange, "[0]");
        ZuRunDoAssignment(a->w2.v, value);
        RefCopy(a, a->w2.v);
        return;
    }
    if (IsIndexArray(a)) {
        int i = SingleIndexOnly(index, Err::OneArrayItem);
        for (int k = 0; k < a->w1.i; ++k) {
            ZuVALUE& e = a->w2.v[k];
            if ((e.t & (ZU_TYPE_MASK | ZU_FLAG_NUL | ZU_FLAG_ADR)) != ZU_ARRAY) Raise(Err::OneArrayItem);
            if (e.t & ZU_FLAG_CON) Raise(Err::AssignToConstant);
            if (i < 0 || i >= e.w1.i) RaiseIndex(i, IndexPlace::Only, IndexContext{&e, context.printBase});
            ZuRunDoAssignment(&e.w2.v[i], value);
        }
        RefCopy(a, value);
        return;
    }
    Index i;
    std::vector<int> storage;
    if (!ReadIndex(index, i, storage)) Raise(Err::CannotIndex, value::Describe(a).c_str());
    int n = a->w2.v ? a->w1.i : 0;
    Selection s = Select(i, n, IndexPlace::Only, context);
    for (int k = 0; k < s.count; ++k) ZuRunDoAssignment(&a->w2.v[s.at(k)], value);
    if (s.count == 0) {
        FreeEntry(a);
        return;
    }
    ZuVALUE& last = a->w2.v[s.at(s.count - 1)];
    if (!(a->t & ZU_FLAG_VAL)) {
        RefCopy(a, &last);
        return;
    }
    ZuVALUE moved = last;
    last = ZuVALUE{};
    last.t = ZU_INT;
    FreeEntry(a);
    *a = moved;
}

void AddressOfElement(ZuVALUE* a, ZuVALUE* index, const IndexContext& context) {
    if ((a->t & (ZU_TYPE_MASK | ZU_FLAG_NUL)) != ZU_ARRAY || (a->t & ZU_FLAG_VAL) || IsIndexArray(a))
        Raise(Err::CannotTakeAddress, value::Describe(a).c_str());
    if (a->t & ZU_FLAG_ADR) {
        if (SingleIndexOnly(index, Err::IndexOutOfRange) != 0) Raise(Err::IndexOutOfRange, "[0]");
        return;
    }
    Index i;
    std::vector<int> storage;
    if (!ReadIndex(index, i, storage) || i.kind != Index::Single)
        Raise(Err::CannotTakeAddress, value::Describe(a).c_str());
    int n = a->w2.v ? a->w1.i : 0;
    Selection s = Select(i, n, IndexPlace::Only, context);
    ZuVALUE* element = &a->w2.v[s.first];
    *a = ZuVALUE{};
    a->t = ZU_ARRAY | ZU_FLAG_ADR;
    a->w1.i = 1;
    a->w2.v = element;
}

void IndexFromBase1(ZuVALUE* index) {
    switch (index->t & (ZU_TYPE_MASK | ZU_FLAG_NUL)) {
    case ZU_INT: index->w1.i -= 1; return;
    case ZU_DOUBLE: index->w1.d -= 1; return;
    case ZU_MATRIX:
        if (!(index->t & ZU_FLAG_VAL) && !value::TryMakeByValue(index)) Raise(Err::OutOfMemory);
        for (int i = 0; i < index->w1.i; ++i)
            for (int j = 0; j < index->w2.i; ++j) index->w3.m[i][j] -= 1;
        return;
    case ZU_RANGE: break;
    default: return;
    }
    int a = index->w1.i, b = index->w2.i;
    if (a == 0 && b == 0) {
        index->w2.i = kAllIndex;
        return;
    }
    if (a > 0) --a;
    if (b > 0) --b;
    if (a <= b || b == kAllIndex) {
        index->w1.i = a;
        index->w2.i = b;
        return;
    }
    // A descending range becomes the list of its indices, first to last.
    ZuVALUE list{};
    if (!value::TrySetMatrix(&list, 1, a - b + 1)) Raise(Err::OutOfMemory);
    for (int k = 0; k <= a - b; ++k) list.w3.m[0][k] = a - k;
    *index = list;
}

}  // namespace zu::run
