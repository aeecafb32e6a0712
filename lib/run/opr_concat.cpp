// Concatenation: "~" puts operands side by side, "|" stacks them.  Numbers
// join into matrices (padded with zeros where the shapes differ), strings
// into strings and anything next to an array into an array.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "program/tokens.h"
#include "run/opr_ops.h"
#include "run/opr_support.h"
#include "value/cast.h"
#include "value/heap.h"
#include "value/shared_blocks.h"

namespace zu::run::ops {
namespace {

namespace tok = program::tok;

bool IsScalarNumber(const ZuVALUE* v) {
    const Kind kind = KindOf(v);
    return kind == kInt || kind == kDouble;
}
bool IsMatrixValue(const ZuVALUE* v) {
    const Kind kind = KindOf(v);
    return kind == kUnit || kind == kMatrix;
}
bool IsNumber(const ZuVALUE* v) { return IsScalarNumber(v) || IsMatrixValue(v); }

// The block an operand fills: a matrix its own shape; a scalar a column as
// tall as the other operand's rows ("~") or a row as wide as its columns
// ("|"), at least one element.
struct Piece {
    int r;
    int c;
};

Piece PieceOf(const ZuVALUE* v, const ZuVALUE* other, bool horizontal) {
    if (IsMatrixValue(v)) return {Rows(v), Columns(v)};
    if (!IsMatrixValue(other)) return {1, 1};
    return horizontal ? Piece{std::max(1, Rows(other)), 1} : Piece{1, std::max(1, Columns(other))};
}

void CopyPiece(double** out, int row0, int col0, const ZuVALUE* v, Piece piece) {
    const Spread source(v);
    for (int i = 0; i < piece.r; ++i) {
        const double* x = source.Row(i);
        const int step = source.Step();
        for (int j = 0; j < piece.c; ++j) out[row0 + i][col0 + j] = x[j * step];
    }
}

int Sum(int a, int b) {
    const std::int64_t n = static_cast<std::int64_t>(a) + b;
    return n > INT_MAX ? -1 : static_cast<int>(n);
}

void JoinNumbers(ZuVALUE* left, ZuVALUE* right, int code) {
    const bool horizontal = code != tok::Bar;
    const Piece a = PieceOf(left, right, horizontal);
    const Piece b = PieceOf(right, left, horizontal);
    const int r = horizontal ? std::max(a.r, b.r) : Sum(a.r, b.r);
    const int c = horizontal ? Sum(a.c, b.c) : std::max(a.c, b.c);
    if (r < 0 || c < 0) {
        Fail(kOutOfMemory, nullptr);
        return;
    }
    const bool bothFilled = a.r > 0 && a.c > 0 && b.r > 0 && b.c > 0;
    const bool padded = horizontal ? a.r != b.r : a.c != b.c;
    if (bothFilled && padded) Warn(kWarnPadded, nullptr);
    MatrixResult result;
    double** out = result.PrepareNew(left, r, c);
    if (padded) MatZero(out, r, c);
    CopyPiece(out, 0, 0, left, a);
    CopyPiece(out, horizontal ? 0 : a.r, horizontal ? a.c : 0, right, b);
    result.Commit();
}

// A range takes part as the matrix of its indices.
void RangeToMatrix(ZuVALUE* v) {
    if (!value::IsNul(v) && value::TypeCode(v) == ZU_RANGE && !value::CastToMatrix(v)) throw Abandoned{};
}

// ---------------------------------------------------------------------------
// Arrays
// ---------------------------------------------------------------------------

bool IsList(const ZuVALUE* v) { return KindOf(v) == kArray; }

// The element records an operand contributes and whether they are moved
// (the operand owns them) or copied.
struct Source {
    ZuVALUE* elements;
    int count;
    bool owned;
};

Source SourceOf(ZuVALUE* v) {
    if (IsList(v)) return {v->w2.v, std::max(v->w1.i, 0), value::HasFlag(v, ZU_FLAG_VAL)};
    return {v, 1, value::HasFlag(v, ZU_FLAG_VAL)};
}

// Copies the elements that are not moved into `table`; false when memory
// runs out, with every copy made so far freed again.
bool CopyShared(const Source& source, ZuVALUE* table) {
    if (source.owned) return true;
    for (int k = 0; k < source.count; ++k) {
        table[k] = source.elements[k];
        table[k].t &= ~ZU_FLAG_VAL;
        if (!value::TryMakeByValue(&table[k])) {
            for (int done = 0; done < k; ++done) ZuFreeByValue(&table[done]);
            return false;
        }
    }
    return true;
}

void MoveOwned(const Source& source, ZuVALUE* table) {
    if (!source.owned || source.count == 0) return;
    std::memcpy(static_cast<void*>(table), source.elements, static_cast<std::size_t>(source.count) * sizeof(ZuVALUE));
}

// After its elements were moved, an operand owns nothing any more.
void Release(ZuVALUE* v, const Source& source) {
    if (source.owned && IsList(v)) value::HeapFree(v->w2.v);
    if (source.owned) {
        value::Clear(v);
        v->t = ZU_INT;
    }
}

// Any value but a missing one or an address can be an array element.
bool Wrappable(const ZuVALUE* v) { return !value::IsNul(v) && !value::IsAddress(v); }

// A wrapped single value keeps only its type and ownership.
void PlainElement(ZuVALUE* element) { element->t &= ZU_TYPE_MASK | ZU_FLAG_VAL | ZU_FLAG_NUL; }

}  // namespace

void JoinArrays(ZuVALUE* left, ZuVALUE* right, int code) {
    if (!Wrappable(left) || !Wrappable(right)) {
        BadOperand(left, code, right);
        return;
    }
    for (ZuVALUE* v : {left, right}) {
        if (IsList(v) && value::HasFlag(v, ZU_FLAG_IDX) && !value::TryMakeIndexArrayByValue(v)) {
            Fail(kOutOfMemory, nullptr);
            return;
        }
    }
    const Source a = SourceOf(left), b = SourceOf(right);
    const int n = Sum(a.count, b.count);
    auto* table =
        n < 0 ? nullptr
              : static_cast<ZuVALUE*>(value::HeapCalloc(static_cast<std::size_t>(std::max(n, 1)), sizeof(ZuVALUE)));
    if (table == nullptr) {
        Fail(kOutOfMemory, nullptr);
        return;
    }
    if (!CopyShared(a, table)) {
        value::HeapFree(table);
        Fail(kOutOfMemory, nullptr);
        return;
    }
    if (!CopyShared(b, table + a.count)) {
        if (!a.owned) {
            for (int k = 0; k < a.count; ++k) ZuFreeByValue(&table[k]);
        }
        value::HeapFree(table);
        Fail(kOutOfMemory, nullptr);
        return;
    }
    MoveOwned(a, table);
    MoveOwned(b, table + a.count);
    if (!IsList(left)) PlainElement(&table[0]);
    if (!IsList(right)) PlainElement(&table[a.count]);
    Release(left, a);
    Release(right, b);
    value::FreeUnshared(left);
    value::Clear(left);
    left->t = ZU_ARRAY | ZU_FLAG_VAL;
    left->w1.i = n;
    left->w2.v = n == 0 ? nullptr : table;
    if (n == 0) value::HeapFree(table);
}

void JoinStrings(ZuVALUE* left, ZuVALUE* right) {
    const int na = left->w2.s == nullptr ? 0 : std::max(left->w1.i, 0);
    const int nb = right->w2.s == nullptr ? 0 : std::max(right->w1.i, 0);
    const int n = Sum(na, nb);
    ZuVALUE joined{};
    if (n < 0 || !value::TrySetString(&joined, nullptr, n)) {
        ZuFreeByValue(&joined);
        Fail(kOutOfMemory, nullptr);
        return;
    }
    if (na > 0) std::memcpy(joined.w2.s, left->w2.s, static_cast<std::size_t>(na));
    if (nb > 0) std::memcpy(joined.w2.s + na, right->w2.s, static_cast<std::size_t>(nb));
    MoveValue(left, &joined);
}

void Concatenate(ZuVALUE* left, ZuVALUE* right, int code) {
    RangeToMatrix(left);
    RangeToMatrix(right);
    if (IsNumber(left) && IsNumber(right)) {
        JoinNumbers(left, right, code);
    } else if (KindOf(left) == kString && KindOf(right) == kString) {
        JoinStrings(left, right);
    } else if ((IsList(left) || IsList(right)) && Wrappable(left) && Wrappable(right)) {
        JoinArrays(left, right, code);
    } else {
        BadOperand(left, code, right);
    }
}

}  // namespace zu::run::ops
