// The comparisons == != < <= > >=: an int 0 or 1 in the left entry.  A
// matrix comparison holds only when it holds for every element; an empty
// matrix or a NaN anywhere makes it false.
#include <algorithm>
#include <array>
#include <cstring>

#include "program/tokens.h"
#include "run/opr_ops.h"
#include "run/opr_support.h"

namespace zu::run::ops {
namespace {

namespace tok = program::tok;

enum class Relation : std::uint8_t { kEq, kNe, kLt, kLe, kGt, kGe, kNone };

struct CodeRelation {
    int code;
    Relation relation;
};

// Every comparison operator, the element and string forms included.
constexpr std::array<CodeRelation, 24> kRelations = {{
    {tok::Eq, Relation::kEq},       {tok::Ne, Relation::kNe},       {tok::Lt, Relation::kLt},
    {tok::Le, Relation::kLe},       {tok::Gt, Relation::kGt},       {tok::Ge, Relation::kGe},
    {tok::DotEq, Relation::kEq},    {tok::DotNe, Relation::kNe},    {tok::DotLt, Relation::kLt},
    {tok::DotLe, Relation::kLe},    {tok::DotGt, Relation::kGt},    {tok::DotGe, Relation::kGe},
    {tok::StrEq, Relation::kEq},    {tok::StrNe, Relation::kNe},    {tok::StrLt, Relation::kLt},
    {tok::StrLe, Relation::kLe},    {tok::StrGt, Relation::kGt},    {tok::StrGe, Relation::kGe},
    {tok::DotStrEq, Relation::kEq}, {tok::DotStrNe, Relation::kNe}, {tok::DotStrLt, Relation::kLt},
    {tok::DotStrLe, Relation::kLe}, {tok::DotStrGt, Relation::kGt}, {tok::DotStrGe, Relation::kGe},
}};

Relation RelationOf(int code) {
    for (const CodeRelation& entry : kRelations) {
        if (entry.code == code) return entry.relation;
    }
    return Relation::kNone;
}

template <class T>
bool Holds(Relation relation, T a, T b) {
    switch (relation) {
    case Relation::kEq: return a == b;
    case Relation::kNe: return a == a && b == b && a != b;  // NaN: false
    case Relation::kLt: return a < b;
    case Relation::kLe: return a <= b;
    case Relation::kGt: return a > b;
    case Relation::kGe: return a >= b;
    case Relation::kNone: break;
    }
    return false;
}

// Two matrices compare when they have the same shape, or when one is a row
// with the other's column count or a column with the other's row count.
bool ComparableShapes(const ZuVALUE* a, const ZuVALUE* b) {
    const int ra = Rows(a), ca = Columns(a), rb = Rows(b), cb = Columns(b);
    if (ra == rb && ca == cb) return true;
    if ((ra == 1 && ca == cb) || (rb == 1 && cb == ca)) return true;
    return (ca == 1 && ra == rb) || (cb == 1 && rb == ra);
}

template <Relation R>
bool EveryElement(const Spread& a, const Spread& b, int r, int c) {
    for (int i = 0; i < r; ++i) {
        const double* x = a.Row(i);
        const double* y = b.Row(i);
        const int sx = a.Step(), sy = b.Step();
        for (int j = 0; j < c; ++j) {
            if (!Holds(R, x[j * sx], y[j * sy])) return false;
        }
    }
    return true;
}

bool EveryElement(Relation relation, const ZuVALUE* left, const ZuVALUE* right, int r, int c) {
    const Spread a(left);
    const Spread b(right);
    switch (relation) {
    case Relation::kEq: return EveryElement<Relation::kEq>(a, b, r, c);
    case Relation::kNe: return EveryElement<Relation::kNe>(a, b, r, c);
    case Relation::kLt: return EveryElement<Relation::kLt>(a, b, r, c);
    case Relation::kLe: return EveryElement<Relation::kLe>(a, b, r, c);
    case Relation::kGt: return EveryElement<Relation::kGt>(a, b, r, c);
    case Relation::kGe: return EveryElement<Relation::kGe>(a, b, r, c);
    case Relation::kNone: break;
    }
    return false;
}

// The comparison of two operands of which at least one is a matrix; -1
// when the shapes do not compare.
int CompareMatrices(Relation relation, const ZuVALUE* left, const ZuVALUE* right) {
    const bool leftMatrix = (left->t & ZU_TYPE_MASK) == ZU_MATRIX;
    const bool rightMatrix = (right->t & ZU_TYPE_MASK) == ZU_MATRIX;
    if ((leftMatrix && !HasElements(left)) || (rightMatrix && !HasElements(right))) return 0;
    if (leftMatrix && rightMatrix && !ComparableShapes(left, right)) return -1;
    const int r = std::max(leftMatrix ? Rows(left) : 1, rightMatrix ? Rows(right) : 1);
    const int c = std::max(leftMatrix ? Columns(left) : 1, rightMatrix ? Columns(right) : 1);
    return EveryElement(relation, left, right, r, c) ? 1 : 0;
}

}  // namespace

int CompareStrings(const ZuVALUE* a, const ZuVALUE* b) {
    const int na = a->w2.s == nullptr ? 0 : std::max(a->w1.i, 0);
    const int nb = b->w2.s == nullptr ? 0 : std::max(b->w1.i, 0);
    const int common = std::min(na, nb);
    if (common > 0) {
        const int order = std::memcmp(a->w2.s, b->w2.s, static_cast<std::size_t>(common));
        if (order != 0) return order;
    }
    return na < nb ? -1 : (na > nb ? 1 : 0);
}

bool RelationHolds(int code, int sign) { return Holds(RelationOf(code), sign, 0); }

void Compare(ZuVALUE* left, ZuVALUE* right, int code) {
    const Relation relation = RelationOf(code);
    int result = -1;
    switch (PairOf(left, right)) {
    case Pair::kInts: result = Holds(relation, left->w1.i, right->w1.i); break;
    case Pair::kScalars: result = Holds(relation, ScalarOf(left), ScalarOf(right)); break;
    case Pair::kScalarMatrix:
    case Pair::kMatrixScalar:
    case Pair::kMatrices: result = CompareMatrices(relation, left, right); break;
    case Pair::kStrings: result = RelationHolds(code, CompareStrings(left, right)); break;
    case Pair::kBad: break;
    }
    if (result < 0) {
        BadOperand(left, code, right);
        return;
    }
    SetInt(left, result);
}

}  // namespace zu::run::ops
