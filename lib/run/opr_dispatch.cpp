// DoOpr: the operator of an OPR instruction applied to the top of the
// value stack.  Vector operands are materialised first; then the routine
// of the operator code runs, and the entries above the result are freed.
// Scalar arithmetic on two ints or two doubles is handled here directly,
// without a call and without allocation.
#include <array>
#include <cstdint>
#include <string>

#include "program/tokens.h"
#include "run/opr.h"
#include "run/opr_engine.h"
#include "run/opr_ops.h"
#include "run/opr_support.h"
#include "value/shared_blocks.h"

namespace zu::run {

namespace {

namespace tok = program::tok;
using namespace ops;

using UnaryFn = void (*)(ZuVALUE* top, int code);
using BinaryFn = void (*)(ZuVALUE* left, ZuVALUE* right, int code);
using TernaryFn = void (*)(ZuVALUE* a, ZuVALUE* b, ZuVALUE* c, int code);

// How an operator code is carried out.  The codes that need the engine's
// registers ("&", "delete", "destruct") are run by the engine itself and
// never get here; any other code without an entry is a run-time error.
struct Entry {
    std::int8_t arity;  // 0: pushes one entry; kNoRoutine: no routine
    UnaryFn unary;
    BinaryFn binary;
    TernaryFn ternary;
    bool materialise;  // vector operands become values first
};

constexpr std::int8_t kNoRoutine = -1;
constexpr Entry kMissing{kNoRoutine, nullptr, nullptr, nullptr, false};

// "new" ends a new expression: the value on top is the new one's owner.
void MarkOwned(ZuVALUE* top, int /*code*/) { top->t |= ZU_FLAG_VAL; }

// "<<" and ">>" are parsed but have no meaning on any operand; they stop
// with "bad operand" rather than leave two entries behind.
void NoOperator(ZuVALUE* left, ZuVALUE* right, int code) { BadOperand(left, code, right); }

void PushAll(ZuVALUE* slot, int /*code*/) { AllIndex(slot); }

struct Binding {
    int code;
    Entry entry;
};

constexpr Entry Unary(UnaryFn f) { return Entry{1, f, nullptr, nullptr, true}; }
constexpr Entry Binary(BinaryFn f) { return Entry{2, nullptr, f, nullptr, true}; }
constexpr Entry Ternary(TernaryFn f) { return Entry{3, nullptr, nullptr, f, true}; }
constexpr Entry Push(UnaryFn f) { return Entry{0, f, nullptr, nullptr, false}; }
// "new" marks whatever is on top, a pending vector included.
constexpr Entry Marker(UnaryFn f) { return Entry{1, f, nullptr, nullptr, false}; }

constexpr Binding kBindings[] = {
    {tok::KwArray, Unary(Cast)},
    {tok::Colon, Binary(MakeRange)},
    {tok::MinusMinus, Unary(Step)},
    {tok::Slash, Binary(Arithmetic)},
    {tok::DotSlash, Binary(Arithmetic)},
    {tok::DotStar, Binary(Arithmetic)},
    {tok::DotCaret, Binary(Power)},
    {tok::DotQuery, Ternary(Choice)},
    {tok::KwDouble, Unary(Cast)},
    {tok::DotEq, Binary(Arithmetic)},
    {tok::DotGe, Binary(Arithmetic)},
    {tok::DotGt, Binary(Arithmetic)},
    {tok::Tilde, Binary(Concatenate)},
    {tok::PlusPlus, Unary(Step)},
    {tok::KwInt, Unary(Cast)},
    {tok::StarStar, Binary(Kronecker)},
    {tok::DotLe, Binary(Arithmetic)},
    {tok::DotLt, Binary(Arithmetic)},
    {tok::KwMatrix, Unary(Cast)},
    {tok::Minus, Binary(Arithmetic)},
    {tok::Star, Binary(Arithmetic)},
    {tok::KwNew, Marker(MarkOwned)},
    {tok::Not, Unary(Not)},
    {tok::DotNe, Binary(Arithmetic)},
    {tok::Plus, Binary(Arithmetic)},
    {tok::Caret, Binary(Power)},
    {tok::RBrace, Unary(WrapInArray)},
    {tok::ShiftLeft, Binary(NoOperator)},
    {tok::ShiftRight, Binary(NoOperator)},
    {tok::KwString, Unary(Cast)},
    {tok::Quote, Unary(Transpose)},
    {tok::UnaryMinus, Unary(Negate)},
    {tok::Bar, Binary(Concatenate)},
    {tok::TransposeMul, Unary(CrossProduct)},
    {tok::Eq, Binary(Compare)},
    {tok::Ge, Binary(Compare)},
    {tok::Gt, Binary(Compare)},
    {tok::Le, Binary(Compare)},
    {tok::Lt, Binary(Compare)},
    {tok::Ne, Binary(Compare)},
    {tok::DotAndAnd, Binary(Arithmetic)},
    {tok::DotOrOr, Binary(Arithmetic)},
    {tok::Index, Push(PushAll)},
    {tok::MulTranspose, Binary(MultiplyTransposed)},
    {tok::Percent, Binary(Remainder)},
    {tok::IntToDouble, Unary(Cast)},
    {173, Unary(Cast)},  // scalar to 1 x 1 matrix
    {tok::DotQuote, Unary(Transpose)},
    {tok::StarTilde, Binary(DirectProduct)},
    // The ZuGauss mode.
    {tok::GDotEqv, Binary(Arithmetic)},
    {tok::Bang, Unary(GaussFactorial)},
    {tok::Backslash, Binary(GaussDivide)},  // the compiler's code for Gauss "/"
    {tok::GDotNot, Unary(Not)},
    {tok::GDotXor, Binary(Arithmetic)},
    {tok::StrJoin, Binary(GaussStringJoin)},
    {tok::StrJoinV, Binary(JoinArrays)},
    {tok::StrJoinH, Binary(JoinArrays)},
    {tok::StrLt, Binary(GaussStringCompare)},
    {tok::StrLe, Binary(GaussStringCompare)},
    {tok::StrEq, Binary(GaussStringCompare)},
    {tok::StrGe, Binary(GaussStringCompare)},
    {tok::StrGt, Binary(GaussStringCompare)},
    {tok::StrNe, Binary(GaussStringCompare)},
    {tok::DotStrLt, Binary(GaussStringCompare)},
    {tok::DotStrLe, Binary(GaussStringCompare)},
    {tok::DotStrEq, Binary(GaussStringCompare)},
    {tok::DotStrGe, Binary(GaussStringCompare)},
    {tok::DotStrGt, Binary(GaussStringCompare)},
    {tok::DotStrNe, Binary(GaussStringCompare)},
};

// Every entry is written explicitly: the table must not depend on how a
// compiler value-initialises an array of aggregates.
constexpr std::array<Entry, program::kTokenCodeLimit> kTable = [] {
    std::array<Entry, program::kTokenCodeLimit> table{};
    table.fill(kMissing);
    for (const Binding& b : kBindings) table[static_cast<std::size_t>(b.code)] = b.entry;
    return table;
}();

// Scalar arithmetic of two ints or two doubles: true when done.
inline bool ScalarFastPath(ZuVALUE* l, const ZuVALUE* r, int code) {
    constexpr int kPlainType = ZU_TYPE_MASK | ZU_FLAG_NUL;
    const int tl = l->t & kPlainType, tr = r->t & kPlainType;
    if (tl == ZU_INT && tr == ZU_INT) {
        const unsigned a = static_cast<unsigned>(l->w1.i), b = static_cast<unsigned>(r->w1.i);
        switch (code) {
        case tok::Plus: l->w1.i = static_cast<int>(a + b); break;
        case tok::Minus: l->w1.i = static_cast<int>(a - b); break;
        case tok::Star:
        case tok::DotStar: l->w1.i = static_cast<int>(a * b); break;
        case tok::Lt: l->w1.i = l->w1.i < r->w1.i; break;
        case tok::Le: l->w1.i = l->w1.i <= r->w1.i; break;
        case tok::Gt: l->w1.i = l->w1.i > r->w1.i; break;
        case tok::Ge: l->w1.i = l->w1.i >= r->w1.i; break;
        case tok::Eq: l->w1.i = l->w1.i == r->w1.i; break;
        case tok::Ne: l->w1.i = l->w1.i != r->w1.i; break;
        default: return false;
        }
        l->t = ZU_INT;
        return true;
    }
    if (tl == ZU_DOUBLE && tr == ZU_DOUBLE) {
        const double a = l->w1.d, b = r->w1.d;
        switch (code) {
        case tok::Plus: l->w1.d = a + b; break;
        case tok::Minus: l->w1.d = a - b; break;
        case tok::Star:
        case tok::DotStar: l->w1.d = a * b; break;
        case tok::Slash:
        case tok::DotSlash: l->w1.d = a / b; break;
        default: return false;
        }
        l->t = ZU_DOUBLE;
        return true;
    }
    return false;
}

// Runs the operator; the new top.
ZuVALUE* Run(const Entry& entry, ZuVALUE* sp, int code) {
    switch (entry.arity) {
    case 0: entry.unary(sp + 1, code); return sp + 1;
    case 1:
        if (entry.materialise) Materialise(sp);
        entry.unary(sp, code);
        return sp;
    case 2: {
        ZuVALUE* left = sp - 1;
        if (ScalarFastPath(left, sp, code)) return left;
        Materialise(left);
        Materialise(sp);
        entry.binary(left, sp, code);
        // Operands are temporaries on top of the stack: nothing above them
        // can show their blocks.
        value::FreeUnshared(sp);
        return left;
    }
    case 3:
        Materialise(sp - 2);
        Materialise(sp - 1);
        Materialise(sp);
        entry.ternary(sp - 2, sp - 1, sp, code);
        value::FreeUnshared(sp);
        value::FreeUnshared(sp - 1);
        return sp - 2;
    default: {
        const std::string text = "no routine for operator code " + std::to_string(code);
        Fail(static_cast<int>(Err::RunTime), text.c_str());
    }
    }
}

}  // namespace

ZuVALUE* DoOpr(ZuVALUE* sp, int code) {
    try {
        return Run(code >= 0 && code < program::kTokenCodeLimit ? kTable[static_cast<std::size_t>(code)] : kMissing, sp,
                   code);
    } catch (const Abandoned&) {
        return sp;  // an error was reported outside a run
    }
}

}  // namespace zu::run
