// The assignment rule and the instructions built on it: multiple
// assignment (XMV), scalar variables under indexed assignment (XRS), and
// new values of the built-in types (NTP).
#include "run/assignment.h"

#include "run/indexing.h"
#include "run/machine.h"
#include "run/run_errors.h"
#include "value/cast.h"
#include "value/heap.h"

#include <algorithm>
#include <string>

namespace zu::run {

void ZuRunArrayIndexMakeByValue(ZuVALUE* array) {
    if (!value::TryMakeIndexArrayByValue(array)) Raise(Err::OutOfMemory);
}

void ZuRunDoAssignment(ZuVALUE* target, ZuVALUE* source) {
    if ((source->t & ZU_TYPE_MASK) == ZU_VECTOR) ZuRunDoIndexVector(source, nullptr);
    int type = source->t & ZU_TYPE_MASK;
    if (type == ZU_INT || type == ZU_DOUBLE) {
        if (target != source) {
            if (target->t & (ZU_FLAG_VAL | kVectorList)) FreeVariable(target);
            target->w1 = source->w1;
        }
        target->t = source->t & ~(ZU_FLAG_CON | ZU_FLAG_NUL | ZU_FLAG_VAL);
        return;
    }
    if (type == ZU_ARRAY && (source->t & ZU_FLAG_IDX) && !(source->t & ZU_FLAG_ADR)) ZuRunArrayIndexMakeByValue(source);
    if (target == source) {
        target->t &= ~(ZU_FLAG_CON | ZU_FLAG_NUL);
        return;
    }
    if (!(source->t & ZU_FLAG_VAL) && !value::TryMakeByValue(source)) Raise(Err::OutOfMemory);
    if (target->t & (ZU_FLAG_VAL | kVectorList)) FreeVariable(target);
    *target = *source;
    target->t &= ~(ZU_FLAG_CON | ZU_FLAG_NUL);
    source->t &= ~ZU_FLAG_VAL;
}

void ZuRunMakeByValueEntry(ZuVALUE* v) {
    if ((v->t & ZU_TYPE_MASK) == ZU_VECTOR) {
        ZuRunDoIndexVector(v, nullptr);
        return;
    }
    if (!value::TryMakeByValue(v)) Raise(Err::OutOfMemory);
}

void MoveElement(ZuVALUE* top, int i) {
    bool isArray = (top->t & (ZU_TYPE_MASK | ZU_FLAG_NUL | ZU_FLAG_ADR)) == ZU_ARRAY;
    if (!isArray) {
        if (i != 0) Raise(Err::IndexOutOfRange, ("[" + std::to_string(i) + "] in " + value::Describe(top)).c_str());
        return;
    }
    int n = top->w2.v ? top->w1.i : 0;
    if (i < 0 || i >= n)
        Raise(Err::IndexOutOfRange, ("[" + std::to_string(i) + "] in " + value::Describe(top)).c_str());
    ZuVALUE& element = top->w2.v[i];
    ZuVALUE moved = element;
    // An index array's elements belong to another array: they are copied,
    // never moved.
    bool refersOnly = (top->t & ZU_FLAG_IDX) != 0;
    if (refersOnly) {
        moved.t &= ~ZU_FLAG_VAL;
    } else {
        element = ZuVALUE{};
        element.t = ZU_INT;
    }
    FreeIfOwned(top);
    *top = moved;
}

void ScalarVariableToMatrix(ZuVALUE* variable, ZuVALUE* top) {
    int type = variable->t & (ZU_TYPE_MASK | ZU_FLAG_NUL);
    if (type != ZU_INT && type != ZU_DOUBLE) return;
    if (variable->t & ZU_FLAG_CON) Raise(Err::AssignToConstant);
    double d = type == ZU_INT ? variable->w1.i : variable->w1.d;
    ZuVALUE fresh{};
    if (!value::TrySetMatrix(&fresh, 1, 1)) Raise(Err::OutOfMemory);
    fresh.w3.m[0][0] = d;
    // The variable keeps its storage flags; only its content changes.
    fresh.t |= variable->t & ~(ZU_TYPE_MASK | ZU_FLAG_VAL | ZU_FLAG_NUL);
    *variable = fresh;
    FreeIfOwned(top);
    RefCopy(top, variable);
}

namespace {

// A dimension of NTP: an int, a double truncated towards zero, or the
// element of a 1 by 1 matrix; error 17 otherwise, 39 when negative.
int Dimension(const ZuVALUE* v) {
    double d = 0;
    int n = 0;
    if ((v->t & (ZU_TYPE_MASK | ZU_FLAG_NUL)) == ZU_INT)
        n = v->w1.i;
    else if (!value::ScalarAsDouble(v, &d) || !value::DoubleToInt(d, &n))
        Raise(Err::ScalarExpected);
    if (n < 0) Raise(Err::NegativeDimension, "new");
    return n;
}

void NewArray(ZuVALUE* out, int n) {
    ZuVALUE* elements = nullptr;
    if (n > 0) {
        elements = static_cast<ZuVALUE*>(value::HeapCalloc(static_cast<std::size_t>(n), sizeof(ZuVALUE)));
        if (!elements) Raise(Err::OutOfMemory);
        for (int k = 0; k < n; ++k) elements[k].t = ZU_INT | ZU_FLAG_NUL;
    }
    *out = ZuVALUE{};
    out->t = ZU_ARRAY | ZU_FLAG_VAL;
    out->w1.i = n;
    out->w2.v = elements;
}

}  // namespace

ZuVALUE* NewOfType(ZuVALUE* sp, int form) {
    bool two = form == 3 || form == 512;
    bool one = form == 8 || form == 4 || form == 5;
    if (!two && !one) return sp;
    int inner = 0;
    int n = 0;
    if (two) {
        n = Dimension(sp - 1);
        inner = Dimension(sp);
    } else {
        n = Dimension(sp);
    }
    ZuVALUE fresh{};
    switch (form) {
    case 3:
    case 8:
        if (!value::TrySetMatrix(&fresh, n, form == 3 ? inner : 1)) Raise(Err::OutOfMemory);
        if (n > 0) MatZero(fresh.w3.m, n, form == 3 ? inner : 1);
        break;
    case 4:
        if (!value::TrySetString(&fresh, nullptr, n)) Raise(Err::OutOfMemory);
        if (n > 0) std::fill(fresh.w2.s, fresh.w2.s + n, '\0');
        break;
    case 5: NewArray(&fresh, n); break;
    case 512:
        NewArray(&fresh, n);
        for (int k = 0; k < n; ++k) {
            try {
                NewArray(&fresh.w2.v[k], inner);
            } catch (const RunError&) {
                ZuFreeByValue(&fresh);
                throw;
            }
        }
        break;
    }
    ZuVALUE* slot = sp - (two ? 2 : 1);
    for (ZuVALUE* v = sp; v > slot; --v) FreeIfOwned(v);
    FreeIfOwned(slot);
    *slot = fresh;
    return slot;
}

}  // namespace zu::run
