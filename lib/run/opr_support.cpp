// Operand kinds, the type-pair table, error texts and result storage of
// the operators.
#include "run/opr_support.h"

#include <array>
#include <string>

#include "program/tokens.h"
#include "run/opr_engine.h"
#include "value/cast.h"
#include "value/shared_blocks.h"

namespace zu::run::ops {

namespace tok = program::tok;
using value::Describe;
using value::HasFlag;
using value::IsNul;
using value::TypeCode;

Kind KindOf(const ZuVALUE* v) {
    if (IsNul(v)) return kOther;
    switch (TypeCode(v)) {
    case ZU_INT: return kInt;
    case ZU_DOUBLE: return kDouble;
    case ZU_MATRIX: return v->w1.i == 1 && v->w2.i == 1 && v->w3.m != nullptr ? kUnit : kMatrix;
    case ZU_STRING: return kString;
    case ZU_ARRAY: return value::IsAddress(v) ? kOther : kArray;
    default: return kOther;
    }
}

namespace {

using P = Pair;
constexpr P B = P::kBad;

// Rows: the left operand's kind; columns: the right one's, in the order of
// Kind (int, double, 1 x 1, matrix, string, array, other).
constexpr std::array<std::array<Pair, kKinds>, kKinds> kPairs = {{
    {P::kInts, P::kScalars, P::kScalars, P::kScalarMatrix, B, B, B},
    {P::kScalars, P::kScalars, P::kScalars, P::kScalarMatrix, B, B, B},
    {P::kScalars, P::kScalars, P::kScalars, P::kMatrices, B, B, B},
    {P::kMatrixScalar, P::kMatrixScalar, P::kMatrices, P::kMatrices, B, B, B},
    {B, B, B, B, P::kStrings, B, B},
    {B, B, B, B, B, B, B},
    {B, B, B, B, B, B, B},
}};

// Names of the ZuGauss string operators, which have no token text.
struct NamedCode {
    int code;
    const char* text;
};
constexpr std::array<NamedCode, 15> kGaussTexts = {{
    {tok::StrJoin, "$+"},
    {tok::StrJoinV, "$~"},
    {tok::StrJoinH, "$|"},
    {tok::StrLt, "$<"},
    {tok::StrLe, "$<="},
    {tok::StrEq, "$=="},
    {tok::StrGe, "$>="},
    {tok::StrGt, "$>"},
    {tok::StrNe, "$/="},
    {tok::DotStrLt, ".$<"},
    {tok::DotStrLe, ".$<="},
    {tok::DotStrEq, ".$=="},
    {tok::DotStrGe, ".$>="},
    {tok::DotStrGt, ".$>"},
    {tok::DotStrNe, ".$/="},
}};

}  // namespace

Pair PairOf(const ZuVALUE* left, const ZuVALUE* right) { return kPairs[KindOf(left)][KindOf(right)]; }

const char* OperatorText(int code) {
    for (const NamedCode& named : kGaussTexts) {
        if (named.code == code) return named.text;
    }
    return SZuTokenName(code);
}

void Fail(int code, const char* text) {
    ZuRunError(code, text);
    throw Abandoned{};
}

namespace {

bool IsElementwise(int code) {
    switch (code) {
    case tok::Plus: case tok::Minus: case tok::DotStar: case tok::DotSlash: case tok::DotCaret:
    case tok::DotEq: case tok::DotNe: case tok::DotLt: case tok::DotLe: case tok::DotGt: case tok::DotGe:
    case tok::DotAndAnd: case tok::DotOrOr: case tok::Eq: case tok::Ne: case tok::Lt: case tok::Le:
    case tok::Gt: case tok::Ge: case tok::Percent:
        return true;
    default: return false;
    }
}

std::string Dimensions(std::string_view what, int a, int b, std::string_view verb) {
    return std::string(": ") + std::string(what) + " " + std::to_string(a) + " and " + std::to_string(b) + " " +
           std::string(verb);
}

// Why two matrices of these shapes do not combine, for the message; empty
// when the shapes are not the reason.
std::string ShapeReason(const ZuVALUE* left, int code, const ZuVALUE* right) {
    if (!value::IsMatrix(left) || !value::IsMatrix(right)) return {};
    const int r1 = Rows(left), c1 = Columns(left), r2 = Rows(right), c2 = Columns(right);
    if (code == tok::Star && c1 != r2) return Dimensions("inner dimensions", c1, r2, "differ");
    if (code == tok::StarTilde && r1 != r2) return Dimensions("row counts", r1, r2, "differ");
    if (!IsElementwise(code)) return {};
    if (r1 != r2 && r1 != 1 && r2 != 1) return Dimensions("row counts", r1, r2, "do not conform");
    if (c1 != c2 && c1 != 1 && c2 != 1) return Dimensions("column counts", c1, c2, "do not conform");
    return {};
}

}  // namespace

void BadOperand(const ZuVALUE* left, int code, const ZuVALUE* right) {
    const std::string text =
        Describe(left) + " " + OperatorText(code) + " " + Describe(right) + ShapeReason(left, code, right);
    Fail(kBadOperand, text.c_str());
}

void BadOperand(int code, const ZuVALUE* operand) {
    const std::string text = std::string(OperatorText(code)) + " " + Describe(operand);
    Fail(kBadOperand, text.c_str());
}

void OperatorError(int error, int code) {
    const std::string text = std::string(" ") + OperatorText(code) + " ";
    Fail(error, text.c_str());
}

void Warn(int kind, const char* text) { RaiseWarning(text, kind); }

void MoveValue(ZuVALUE* to, ZuVALUE* from) {
    if (to == from) return;
    value::FreeUnshared(to);
    *to = *from;
    value::Clear(from);
    from->t = ZU_INT;
}

// ---------------------------------------------------------------------------
// Element sources and shapes
// ---------------------------------------------------------------------------

Spread::Spread(const ZuVALUE* v) {
    if (TypeCode(v) == ZU_MATRIX) {
        m_ = v->w3.m;
        r_ = v->w1.i;
        c_ = v->w2.i;
    } else {
        scalar_ = ScalarOf(v);
    }
}

bool Spread::Whole(int r, int c) const {
    if (m_ == nullptr || (r_ == 1 && c_ == 1)) return true;
    return r_ == r && c_ == c && RowsAdjoin(m_, r, c);
}

OperandMatrix::OperandMatrix(const ZuVALUE* v) {
    if (TypeCode(v) == ZU_MATRIX) {
        m = v->w3.m;
        r = v->w1.i;
        c = v->w2.i;
    } else {
        value_ = ScalarOf(v);
        m = &row_;
    }
}

bool CombinedShape(const ZuVALUE* a, const ZuVALUE* b, int* r, int* c) {
    if (!HasElements(a) || !HasElements(b)) {
        *r = *c = 0;
        return true;
    }
    const auto conform = [](int x, int y, int* out) {
        if (x != y && x != 1 && y != 1) return false;
        *out = x > y ? x : y;
        return true;
    };
    return conform(Rows(a), Rows(b), r) && conform(Columns(a), Columns(b), c);
}

// ---------------------------------------------------------------------------
// Result storage
// ---------------------------------------------------------------------------

namespace {

bool OwnsMatrixOfShape(const ZuVALUE* v, int r, int c) {
    return v != nullptr && TypeCode(v) == ZU_MATRIX && HasFlag(v, ZU_FLAG_VAL) && !IsNul(v) && v->w1.i == r &&
           v->w2.i == c;
}

}  // namespace

MatrixResult::~MatrixResult() { value::FreeUnshared(&fresh_); }

double** MatrixResult::Prepare(ZuVALUE* left, ZuVALUE* right, int r, int c) { return Prepare(left, right, r, c, true); }

double** MatrixResult::Prepare(ZuVALUE* left, ZuVALUE* right, int r, int c, bool reuse) {
    left_ = left;
    taken_ = nullptr;
    if (reuse && r >= 1 && OwnsMatrixOfShape(left, r, c)) {
        taken_ = left;
    } else if (reuse && r >= 1 && OwnsMatrixOfShape(right, r, c)) {
        taken_ = right;
    }
    if (taken_ != nullptr) return taken_->w3.m;
    if (!value::TrySetMatrix(&fresh_, r, c)) Fail(kOutOfMemory, nullptr);
    return fresh_.w3.m;
}

void MatrixResult::Commit() {
    if (taken_ == left_) return;
    MoveValue(left_, taken_ != nullptr ? taken_ : &fresh_);
    left_->t = ZU_MATRIX | ZU_FLAG_VAL;
}

double** ScratchMatrix::Allocate(int r, int c) {
    Reset();
    m_ = CMatAlloc(r, c);
    if (m_ == nullptr) Fail(kOutOfMemory, nullptr);
    r_ = r;
    c_ = c;
    return m_;
}

void ScratchMatrix::Reset() {
    if (m_ != nullptr) CMatFree(m_, r_, c_);
    m_ = nullptr;
}

double** ScratchMatrix::Release() {
    double** m = m_;
    m_ = nullptr;
    return m;
}

void AdoptMatrix(ZuVALUE* v, double** m, int r, int c) {
    value::FreeUnshared(v);
    value::Clear(v);
    v->t = ZU_MATRIX | ZU_FLAG_VAL;
    v->w1.i = r;
    v->w2.i = c;
    v->w3.m = m;
}

}  // namespace zu::run::ops
