// The instruction sequences that the run loop executes as one step.
//
// Before a run the loop translates the code into one dispatch target per
// instruction.  Where a common sequence starts, the target is a fused
// handler that does the work of the whole sequence in one step when the
// operands allow it (ints and doubles, nothing owned), and otherwise falls
// back to the handler of the first instruction alone.  Only the shape of
// the code is decided here, once per translation; a jump into the middle
// of a sequence still finds the plain handler of the instruction it lands
// on, so no sequence needs to be free of jump targets.
#pragma once

#include "zu.h"

#include "program/operators.h"

#include <algorithm>
#include <iterator>
#include <cstdint>
#include <span>
#include <vector>

namespace zu::run {
namespace opr = program::opr;

enum class Fused : std::uint8_t {
    None,
    // LBP a; PSH; LTI k; OPR compare; [NUM]; JMT/JMF t: a loop test of an
    // int local against a constant.
    LocalTest,
    // LBP a; OPR ++/--; SBP a; [JMP t]: the step of a counting loop.
    LocalStep,
    // A LocalStep whose jump goes to the LocalTest of the same local: the
    // step and the test of a for loop.
    StepAndTest,
    // OPR + - * /; SBP c; [NUM]; [JMP t]: a scalar result stored in a local.
    OperateStore,
    // PSH; LIT l; OPR + - * /: an operator with a literal right operand.
    LiteralOperate,
    // PSH k; OPR + - *: an operator with a small int right operand.
    ConstantOperate,
    // PSH k; OPR compare; [NUM]; JMT/JMF t: a test against a small int.
    ConstantTest,
    // LBP a; x; [y; OPR + - * /]; OPR + - * /; SBP a; [NUM]; [JMP t], with x
    // and y each a local, an argument, a literal or a small int (x not a
    // constant): a local updated by a simple expression, as in s += x * w.
    LocalUpdate,
    // LBP a; PBP b: the two operands of a binary operator.
    TwoLocals,
    // Two of PBP a and PAP a: two operands, or two arguments of a call.
    TwoPushes,
    // Two of PBP a and PAP a, then OPR + - * /: a binary operator on two
    // locals or arguments, as in return a + b.
    TwoOperate,
    // SBP a; [NUM]; [JMP t] with a marker or a jump: a statement that ends
    // in a store to a local.
    StoreLocal,
    // PBP/PAP a; PSH k; OPR + - * /: a local or an argument and a small
    // int, as in n - 1.
    OperandConstantOperate,
    // PBP/PAP a; PSH k; OPR compare; [NUM]; JMT/JMF t: a local or an
    // argument tested against a small int, as in if (n < 2).
    OperandConstantTest,
    // PSH; LOD g: a global pushed, as for a call that is not the first
    // operand of an expression.
    PushGlobal,
    // ELF f; NUM; INT n: the entry of every function.
    FunctionEntry,
    // NUM; RET: the marker of a return and the return.
    MarkerReturn,
    // m; XRS 0; i; XLD; j; XLD, m a local or an argument pushed or loaded
    // (PBP, PAP, LBP, LAP) and i and j each a local, an argument or a
    // small int: the element m[i][j] read, as in s += m[i][j].
    ElementLoad,
    // m; XRS 0; i; XLD, then a use of the value at once (an operator, a
    // store, or a simple operand and an operator): the element m[i] of a
    // row or a column read, as in s += x[i] or x[i] > 0.
    VectorLoad,
    // m; XRS 1; i; XLD; j, the same operands: the start of a store into
    // m[i][j], the row chosen and the column pushed; the value and the
    // store follow.
    ElementTarget,
    // LOD g; [x; [y]]; CAL n, x and y each a local or an argument: a call
    // of a global function with up to two simple arguments, as in
    // s = add(s, i).
    CallGlobal,
    Count
};

// The fused sequence that starts at each instruction (None for most).
// Statement markers inside a sequence are passed over, so the result
// serves only runs in which markers are not live.
std::vector<Fused> FindFusedSequences(std::span<const ZuPCODE> code);

// The operators that the run loop computes inline on int and double
// operands, one list per family.  Everything that depends on which
// operators these are or on their order is generated from these lists:
// the loop's handlers and dispatch table, the fused variants and the tests
// below.  An operator's place in its list is its variant number.
#define ZU_FOR_EACH_SCALAR_ARITHMETIC(X) X(Add) X(Subtract) X(Multiply) X(Divide)
#define ZU_FOR_EACH_SCALAR_COMPARISON(X) X(Less) X(LessEqual) X(Greater) X(GreaterEqual) X(Equal) X(NotEqual)

#define ZU_OPERATOR_CODE(OP) opr::OP,
inline constexpr int kScalarArithmetic[] = {ZU_FOR_EACH_SCALAR_ARITHMETIC(ZU_OPERATOR_CODE)};
inline constexpr int kScalarComparison[] = {ZU_FOR_EACH_SCALAR_COMPARISON(ZU_OPERATOR_CODE)};
#undef ZU_OPERATOR_CODE

// The place of `op` in a list, -1 when it is not there.
template <std::size_t N>
constexpr int PlaceOf(const int (&list)[N], int op) {
    for (std::size_t k = 0; k < N; ++k)
        if (list[k] == op) return static_cast<int>(k);
    return -1;
}

constexpr int ArithmeticVariant(int op) { return PlaceOf(kScalarArithmetic, op); }
constexpr int ComparisonVariant(int op) { return PlaceOf(kScalarComparison, op); }
constexpr bool IsScalarArithmetic(int op) { return ArithmeticVariant(op) >= 0; }
constexpr bool IsScalarComparison(int op) { return ComparisonVariant(op) >= 0; }

// Each fused sequence with an operator has a handler per operator, so that
// the operator costs no decision at run time.  The variant of the sequence
// that starts at i is its operator's place in its list, 0 for sequences
// without an operator.
inline constexpr int kFusedVariants =
    static_cast<int>(std::max(std::size(kScalarArithmetic), std::size(kScalarComparison)));
int FusedVariant(Fused kind, std::span<const ZuPCODE> code, std::size_t i);

// An operand that a single load or push gives: where its value is.
struct SimpleOperand {
    enum Kind : std::int8_t { Local, Argument, Literal, Constant } kind = Constant;
    int index = 0;  // the local, argument or literal; the constant itself
};

// What a fused handler would otherwise read from the instructions after its
// first one on every run through it, worked out once per translation:
// the constant of a test and the two places where execution goes on (the
// statement markers passed over and the jumps followed).
struct FusedOperands {
    int step = 0;      // StepAndTest: +1 or -1
    int constant = 0;  // LocalTest, StepAndTest, OperandConstant...: the right operand
    int whenTrue = 0;  // tests: the next instruction when the comparison holds,
    int whenFalse = 0; // and when it does not; the stores: whenTrue only
    // LocalUpdate: its operands, and its operators (inner 0 when y is absent);
    // TwoPushes and TwoOperate: x and y; OperandConstant...: x; CallGlobal:
    // its arguments, `count` of them; Element...: the matrix, the row and
    // the column, with `step` 1 when the matrix is pushed, 0 when loaded.
    SimpleOperand x{};
    SimpleOperand y{};
    SimpleOperand z{};
    int inner = 0;
    int outer = 0;
    int count = 0;
};
FusedOperands DecodeFused(Fused kind, std::span<const ZuPCODE> code, std::size_t i);

}  // namespace zu::run
