// The element-wise arithmetic family: + - * / .* ./ .&& .|| and the
// element comparisons, with the ZuGauss .eqv and .xor.
//
// One rule per operator says what two ints give (an int, or nothing: then
// they are computed as doubles), what two doubles give, the element loop
// for matrices and what two strings give.  The type-pair table of
// opr_support.cpp decides which of these applies.
#include <array>
#include <cmath>

#include "program/tokens.h"
#include "run/opr_ops.h"
#include "run/opr_support.h"

namespace zu::run::ops {
namespace {

namespace tok = program::tok;

using IntFn = int (*)(int, int);
using DoubleFn = double (*)(double, double);
using MatrixFn = void (*)(ZuVALUE* left, ZuVALUE* right, int code, int r, int c);
using BinaryFn = void (*)(ZuVALUE* left, ZuVALUE* right, int code);

// Ints wrap on overflow: the sum of 2147483647 and 1 is -2147483648.
int Wrap(unsigned u) { return static_cast<int>(u); }
int AddInts(int a, int b) { return Wrap(static_cast<unsigned>(a) + static_cast<unsigned>(b)); }
int SubtractInts(int a, int b) { return Wrap(static_cast<unsigned>(a) - static_cast<unsigned>(b)); }
int MultiplyInts(int a, int b) { return Wrap(static_cast<unsigned>(a) * static_cast<unsigned>(b)); }

constexpr double Add(double a, double b) { return a + b; }
constexpr double Subtract(double a, double b) { return a - b; }
constexpr double Multiply(double a, double b) { return a * b; }
constexpr double Divide(double a, double b) { return a / b; }

// Logical operators: a NaN counts as non-zero, as it does for ! and .?.
constexpr double Truth(bool b) { return b ? 1.0 : 0.0; }
constexpr double And(double a, double b) { return Truth(a != 0.0 && b != 0.0); }
constexpr double Or(double a, double b) { return Truth(a != 0.0 || b != 0.0); }
constexpr double Eqv(double a, double b) { return Truth((a != 0.0) == (b != 0.0)); }
constexpr double Xor(double a, double b) { return Truth((a != 0.0) != (b != 0.0)); }
int AndInts(int a, int b) { return a != 0 && b != 0; }
int OrInts(int a, int b) { return a != 0 || b != 0; }
int EqvInts(int a, int b) { return (a != 0) == (b != 0); }
int XorInts(int a, int b) { return (a != 0) != (b != 0); }

// Comparisons of doubles are false when either side is NaN, != included.
constexpr bool Ordered(double a, double b) { return a == a && b == b; }
constexpr double Eq(double a, double b) { return Truth(a == b); }
constexpr double Ne(double a, double b) { return Truth(Ordered(a, b) && a != b); }
constexpr double Lt(double a, double b) { return Truth(a < b); }
constexpr double Le(double a, double b) { return Truth(a <= b); }
constexpr double Gt(double a, double b) { return Truth(a > b); }
constexpr double Ge(double a, double b) { return Truth(a >= b); }
int EqInts(int a, int b) { return a == b; }
int NeInts(int a, int b) { return a != b; }
int LtInts(int a, int b) { return a < b; }
int LeInts(int a, int b) { return a <= b; }
int GtInts(int a, int b) { return a > b; }
int GeInts(int a, int b) { return a >= b; }

template <DoubleFn F>
void Elements(ZuVALUE* left, ZuVALUE* right, int /*code*/, int r, int c) {
    ElementLoop<F>(left, right, r, c);
}

void CompareStringsAsInt(ZuVALUE* left, ZuVALUE* right, int code) {
    SetInt(left, RelationHolds(code, CompareStrings(left, right)) ? 1 : 0);
}

void JoinStringOperands(ZuVALUE* left, ZuVALUE* right, int /*code*/) { JoinStrings(left, right); }

struct Rule {
    int code;
    IntFn ints;  // null: two ints are computed as doubles
    DoubleFn doubles;
    MatrixFn elements;
    BinaryFn matrices;  // two matrices larger than 1 x 1, when not element-wise
    BinaryFn strings;   // null: two strings are a bad operand
};

template <DoubleFn F>
constexpr Rule Make(int code, IntFn ints, BinaryFn strings = nullptr, BinaryFn matrices = nullptr) {
    return Rule{code, ints, F, Elements<F>, matrices, strings};
}

const std::array<Rule, 16> kRules = {{
    Make<Add>(tok::Plus, AddInts, JoinStringOperands),
    Make<Subtract>(tok::Minus, SubtractInts),
    Make<Multiply>(tok::Star, MultiplyInts, nullptr, MatrixProduct),
    Make<Divide>(tok::Slash, nullptr),
    Make<Multiply>(tok::DotStar, MultiplyInts),
    Make<Divide>(tok::DotSlash, nullptr),
    Make<And>(tok::DotAndAnd, AndInts),
    Make<Or>(tok::DotOrOr, OrInts),
    Make<Eq>(tok::DotEq, EqInts, CompareStringsAsInt),
    Make<Ne>(tok::DotNe, NeInts, CompareStringsAsInt),
    Make<Lt>(tok::DotLt, LtInts, CompareStringsAsInt),
    Make<Le>(tok::DotLe, LeInts, CompareStringsAsInt),
    Make<Gt>(tok::DotGt, GtInts, CompareStringsAsInt),
    Make<Ge>(tok::DotGe, GeInts, CompareStringsAsInt),
    Make<Eqv>(tok::GDotEqv, EqvInts),
    Make<Xor>(tok::GDotXor, XorInts),
}};

const Rule* FindRule(int code) {
    for (const Rule& rule : kRules) {
        if (rule.code == code) return &rule;
    }
    return nullptr;
}

void Matrices(const Rule& rule, ZuVALUE* left, ZuVALUE* right, int code) {
    if (rule.matrices != nullptr && KindOf(left) == kMatrix && KindOf(right) == kMatrix) {
        rule.matrices(left, right, code);
        return;
    }
    int r = 0, c = 0;
    if (!CombinedShape(left, right, &r, &c)) {
        BadOperand(left, code, right);
        return;
    }
    rule.elements(left, right, code, r, c);
}

}  // namespace

void Arithmetic(ZuVALUE* left, ZuVALUE* right, int code) { ArithmeticAs(left, right, code, code); }

void ArithmeticAs(ZuVALUE* left, ZuVALUE* right, int ruleCode, int code) {
    const Rule* rule = FindRule(ruleCode);
    if (rule == nullptr) return;
    if (ruleCode == tok::Slash && KindOf(right) == kMatrix) {
        MatrixDivide(left, right, code);
        return;
    }
    switch (PairOf(left, right)) {
    case Pair::kInts:
        if (rule->ints != nullptr) {
            SetInt(left, rule->ints(left->w1.i, right->w1.i));
            return;
        }
        SetDouble(left, rule->doubles(left->w1.i, right->w1.i));
        return;
    case Pair::kScalars: SetDouble(left, rule->doubles(ScalarOf(left), ScalarOf(right))); return;
    case Pair::kScalarMatrix: rule->elements(left, right, code, Rows(right), Columns(right)); return;
    case Pair::kMatrixScalar: rule->elements(left, right, code, Rows(left), Columns(left)); return;
    case Pair::kMatrices: Matrices(*rule, left, right, code); return;
    case Pair::kStrings:
        if (rule->strings != nullptr) {
            rule->strings(left, right, code);
            return;
        }
        break;
    case Pair::kBad: break;
    }
    // Division by a scalar is the element division and is reported as such.
    BadOperand(left, code == tok::Slash ? tok::DotSlash : code, right);
}

}  // namespace zu::run::ops
