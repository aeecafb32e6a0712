// The run loop: one function that dispatches on each instruction.
//
// The hot instructions (loads, stores, jumps, scalar arithmetic and
// comparisons, the common index forms) are handled here in a few lines
// each; everything else is a call into its own file.  The loop keeps cp,
// sp, ap and bp in locals: SYNC writes cp and sp back before any call that
// may read them or raise an error, RELOAD reads all four after a call that
// may move them (calls, returns, member calls).
//
// The translation made at each run start gives every instruction its
// handler (of its operator, for OPR) or the handler of the fused sequence
// that starts there (fused_code.h).  A scalar comparison still looks at
// the next instruction for a jump on its result.  Each such step does
// exactly what the instructions would do one by one, and leaves any case
// that might report an error to them.
#include "run/assignment.h"
#include "run/calls.h"
#include "run/fused_code.h"
#include "run/index_ops.h"
#include "run/indexing.h"
#include "run/machine.h"
#include "run/objects.h"
#include "program/operators.h"
#include "run/opr.h"
#include "program/pcode.h"
#include "run/run_errors.h"
#include "value/value.h"

#include "program/code_buffer.h"

#include <array>
#include <cmath>
#include <memory>

namespace zu::run {
using program::code;
using program::kOpcodeLimit;
using program::Op;
namespace opr = program::opr;

namespace {

// ---- scalar values and operators -------------------------------------------

constexpr int kScalarMask = ZU_TYPE_MASK | ZU_FLAG_NUL;

// The operators computed inline, from the one list of fused_code.h.
#define FOR_EACH_ARITHMETIC ZU_FOR_EACH_SCALAR_ARITHMETIC
#define FOR_EACH_COMPARISON ZU_FOR_EACH_SCALAR_COMPARISON

inline bool IsInt(const ZuVALUE* v) { return (v->t & kScalarMask) == ZU_INT; }
inline bool IsDouble(const ZuVALUE* v) { return (v->t & kScalarMask) == ZU_DOUBLE; }
// One comparison for both: the codes of int and double are adjacent, and a
// missing value (its flag above the type bits) falls outside them.
inline bool IsScalar(const ZuVALUE* v) {
    static_assert(ZU_DOUBLE == ZU_INT + 1 && ZU_FLAG_NUL > ZU_TYPE_MASK);
    return static_cast<unsigned>((v->t & kScalarMask) - ZU_INT) <= ZU_DOUBLE - ZU_INT;
}
inline double AsDouble(const ZuVALUE* v) { return IsInt(v) ? v->w1.i : v->w1.d; }

// A matrix variable that its elements can be read from and written to
// directly: a value, perhaps constant or owned, and nothing pending.
inline bool IsPlainMatrix(const ZuVALUE* m) { return (m->t & ~(ZU_FLAG_CON | ZU_FLAG_VAL)) == ZU_MATRIX; }

// The slot of a value that a sequence starting with a push (PBP, PAP) or a
// load into the top (LBP, LAP) leaves: above sp, or sp itself, whose old
// value is freed as the load would free it.
inline ZuVALUE* ResultSlot(ZuVALUE* sp, bool pushed) {
    if (pushed) return sp + 1;
    FreeIfOwned(sp);
    return sp;
}

// ---- calls that the loop makes itself --------------------------------------

// A Zu function of exactly n parameters whose frame the loop can build: not
// external, not a member function with an object, with its parameter
// letters.
inline bool TakesLoopCall(const ZuVALUE* f, int n) {
    return (f->t & (ZU_TYPE_MASK | ZU_FLAG_EXT | ZU_FLAG_NUL)) == ZU_FUNCTION && !((f->t & ZU_FLAG_MEM) && f->w4.p) &&
           f->w1.i == n && f->w3.s;
}

// The flag that an int or double argument gets from its parameter letter:
// constant for 'c', none for the others; -1 for a letter the loop leaves
// to DoCall ('$', and the end of the letters).
constexpr std::array<int, 256> kArgumentFlags = [] {
    std::array<int, 256> flags{};
    flags[static_cast<unsigned char>('c')] = ZU_FLAG_CON;
    flags[static_cast<unsigned char>('$')] = -1;
    flags[0] = -1;
    return flags;
}();
inline int ArgumentFlag(char letter) { return kArgumentFlags[static_cast<unsigned char>(letter)]; }

inline int Wrap(long long x) { return static_cast<int>(static_cast<unsigned>(x)); }

// The whole first word is written (sign-extended; the int is its low half
// on this little-endian platform) so that a later copy of the word reads
// what one store wrote, which the processor forwards without a stall.
inline void SetInt(ZuVALUE* v, int i) {
    static_assert(sizeof(ZuWORD) == sizeof(intptr_t));
    v->t = ZU_INT;
    v->w1.l = i;
}

inline void SetDouble(ZuVALUE* v, double d) {
    v->t = ZU_DOUBLE;
    v->w1.d = d;
}

// A copy of a variable onto the stack: it refers to the variable's data.
// An int or double needs only its type word and first data word; copying
// the whole record would also read words written moments ago in other
// widths, which stalls the processor's store forwarding.
inline void LoadCopy(ZuVALUE* dst, const ZuVALUE* src) {
    const int t = src->t;
    if (static_cast<unsigned>((t & ZU_TYPE_MASK) - ZU_INT) <= ZU_DOUBLE - ZU_INT) {
        dst->t = t & ~ZU_FLAG_VAL;
        dst->w1 = src->w1;
        return;
    }
    *dst = *src;
    dst->t &= ~ZU_FLAG_VAL;
}

// The truth test for everything but ints and doubles.
bool SlowTruth(ZuVALUE* v) {
    if (v->t & ZU_FLAG_NUL) return false;
    if ((v->t & ZU_TYPE_MASK) == ZU_VECTOR) ZuRunDoIndexVector(v, nullptr);
    switch (v->t & kScalarMask) {
    case ZU_INT: return v->w1.i != 0;
    case ZU_DOUBLE: return v->w1.d != 0 && !std::isnan(v->w1.d);
    case ZU_MATRIX: {
        int r = v->w1.i, c = v->w2.i;
        if (r <= 0 || c <= 0 || !v->w3.m) return false;
        for (int i = 0; i < r; ++i)
            for (int j = 0; j < c; ++j) {
                double d = v->w3.m[i][j];
                if (d == 0 || std::isnan(d)) return false;
            }
        return true;
    }
    default: return !(v->t & ZU_FLAG_NUL);
    }
}

inline bool Truth(ZuVALUE* v) {
    switch (v->t & kScalarMask) {
    case ZU_INT: return v->w1.i != 0;
    case ZU_DOUBLE: return v->w1.d != 0 && v->w1.d == v->w1.d;
    default: return SlowTruth(v);
    }
}

// The scalar operators, one instance per operator, for two ints or
// doubles (which the caller has checked): an int result wraps, a division
// of ints gives a double.
template <int Op>
[[gnu::always_inline]] inline double DoubleArithmetic(double x, double y) {
    static_assert(Op == opr::Add || Op == opr::Subtract || Op == opr::Multiply || Op == opr::Divide,
                  "an operator of the scalar list without its rule here");
    if constexpr (Op == opr::Add)
        return x + y;
    else if constexpr (Op == opr::Subtract)
        return x - y;
    else if constexpr (Op == opr::Multiply)
        return x * y;
    else
        return x / y;
}

// Two ints into `result`: the int that wraps, or the double of a division.
template <int Op>
[[gnu::always_inline]] inline void IntArithmetic(ZuVALUE* result, long long x, long long y) {
    if constexpr (Op == opr::Add)
        SetInt(result, Wrap(x + y));
    else if constexpr (Op == opr::Subtract)
        SetInt(result, Wrap(x - y));
    else if constexpr (Op == opr::Multiply)
        SetInt(result, Wrap(static_cast<long long>(static_cast<unsigned>(x) * static_cast<unsigned>(y))));
    else
        SetDouble(result, static_cast<double>(x) / static_cast<double>(y));
}

template <int Op>
[[gnu::always_inline]] inline void ScalarArithmetic(ZuVALUE* a, const ZuVALUE* b) {
    if (IsInt(a) && IsInt(b))
        IntArithmetic<Op>(a, a->w1.i, b->w1.i);
    else
        SetDouble(a, DoubleArithmetic<Op>(AsDouble(a), AsDouble(b)));
}

// One of the scalar operators chosen at run time.
[[gnu::always_inline]] inline void Arithmetic(ZuVALUE* a, const ZuVALUE* b, int op) {
    switch (op) {
#define ARITHMETIC_CASE(OP) \
    case opr::OP: ScalarArithmetic<opr::OP>(a, b); return;
        FOR_EACH_ARITHMETIC(ARITHMETIC_CASE)
#undef ARITHMETIC_CASE
    default: return;
    }
}

// True when the comparison holds; a NaN makes every comparison false.
template <int Op, typename T>
[[gnu::always_inline]] inline bool Holds(T x, T y) {
    if constexpr (Op == opr::Less)
        return x < y;
    else if constexpr (Op == opr::LessEqual)
        return x <= y;
    else if constexpr (Op == opr::Greater)
        return x > y;
    else if constexpr (Op == opr::GreaterEqual)
        return x >= y;
    else if constexpr (Op == opr::Equal)
        return x == y;
    else
        return x < y || x > y;
    static_assert(Op == opr::Less || Op == opr::LessEqual || Op == opr::Greater || Op == opr::GreaterEqual ||
                      Op == opr::Equal || Op == opr::NotEqual,
                  "an operator of the comparison list without its rule here");
}

template <int Op>
[[gnu::always_inline]] inline bool ScalarComparison(const ZuVALUE* a, const ZuVALUE* b) {
    if (IsInt(a) && IsInt(b)) return Holds<Op>(a->w1.i, b->w1.i);
    return Holds<Op>(AsDouble(a), AsDouble(b));
}

// Scalar operators computed in place: true when both operands were ints or
// doubles and the operator is one of these; the result is in `a`.
[[gnu::always_inline]] inline bool ScalarBinary(ZuVALUE* a, const ZuVALUE* b, int op) {
    if (!IsScalar(a) || !IsScalar(b)) return false;
    switch (op) {
#define ARITHMETIC_CASE(OP)              \
    case opr::OP:                        \
        ScalarArithmetic<opr::OP>(a, b); \
        return true;
#define COMPARISON_CASE(OP) \
    case opr::OP: SetInt(a, ScalarComparison<opr::OP>(a, b)); return true;
        FOR_EACH_ARITHMETIC(ARITHMETIC_CASE)
        FOR_EACH_COMPARISON(COMPARISON_CASE)
#undef ARITHMETIC_CASE
#undef COMPARISON_CASE
    default: return false;
    }
}

inline bool ScalarUnary(ZuVALUE* a, int op) {
    if (IsInt(a)) {
        long long x = a->w1.i;
        switch (op) {
        case opr::Negate: SetInt(a, Wrap(-x)); return true;
        case opr::Increment: SetInt(a, Wrap(x + 1)); return true;
        case opr::Decrement: SetInt(a, Wrap(x - 1)); return true;
        default: return false;
        }
    }
    if (IsDouble(a)) {
        double x = a->w1.d;
        switch (op) {
        case opr::Negate: SetDouble(a, -x); return true;
        case opr::Increment: SetDouble(a, x + 1); return true;
        case opr::Decrement: SetDouble(a, x - 1); return true;
        default: return false;
        }
    }
    return false;
}

// ---- variables, addresses and markers --------------------------------------

// The record of a simple operand of a fused sequence; a constant is made in
// `scratch`.
inline const ZuVALUE* SimpleValue(const SimpleOperand& o, const ZuVALUE* ap, const ZuVALUE* bp,
                                  const ZuVALUE* literals, ZuVALUE* scratch) {
    // Tests in the order of how common the kinds are, which costs a local
    // one comparison where a switch's jump table costs five instructions.
    if (o.kind == SimpleOperand::Local) return bp + o.index;
    if (o.kind == SimpleOperand::Literal) return literals + o.index;
    if (o.kind == SimpleOperand::Argument) return ap + o.index;
    SetInt(scratch, o.index);
    return scratch;
}

// The variable that a store instruction writes, or null for anything else.
inline ZuVALUE* StoreTarget(const ZuPCODE& store, ZuVALUE* ap, ZuVALUE* bp, ZuNAMEDVALUE* globals) {
    switch (static_cast<Op>(store.op)) {
    case Op::SAP: return ap + store.arg;
    case Op::SBP: return bp + store.arg;
    case Op::STO: return &globals[store.arg].val;
    default: return nullptr;
    }
}

// True when `left ~ right` is to be stored into `target` and may grow the
// target's string in place: the target owns a string, `left` is a reference
// to that very string as it is now, and `right` is a string.  A target that
// shares its text, or changed while the right side was computed, takes the
// general path.
inline bool AppendsInPlace(const ZuVALUE* target, const ZuVALUE* left, const ZuVALUE* right) {
    constexpr int kShape = ZU_TYPE_MASK | ZU_FLAG_NUL | ZU_FLAG_VAL | ZU_FLAG_ADR | kVectorList;
    return (target->t & kShape) == (ZU_STRING | ZU_FLAG_VAL) && (left->t & kShape) == ZU_STRING &&
           (right->t & (ZU_TYPE_MASK | ZU_FLAG_NUL)) == ZU_STRING && left->w2.s == target->w2.s &&
           left->w1.i == target->w1.i;
}

// The variable that the instruction before XRS loaded, or null.
ZuVALUE* LoadedVariable(int cp) {
    if (cp < 1) return nullptr;
    const ZuPCODE& prev = vm.code[cp - 1];
    switch (static_cast<Op>(prev.op)) {
    case Op::LAP:
    case Op::PAP: return vm.ap + prev.arg;
    case Op::LBP:
    case Op::PBP: return vm.bp + prev.arg;
    case Op::LOD: return &vm.globals[prev.arg].val;
    case Op::LMP: {
        ZuVALUE* object = cp >= 2 ? LoadedVariable(cp - 1) : nullptr;
        if (!object || (object->t & kScalarMask) != ZU_CLASS || !object->w4.nv || prev.arg < 0 ||
            prev.arg >= object->w1.i)
            return nullptr;
        ZuNAMEDVALUE& member = object->w4.nv[prev.arg];
        if (!(member.val.t & ZU_FLAG_STA)) return &member.val;
        return StaticMember(object, prev.arg);
    }
    default: return nullptr;
    }
}

inline void MakeAddress(ZuVALUE* dst, ZuVALUE* target) {
    *dst = ZuVALUE{};
    dst->t = ZU_ARRAY | ZU_FLAG_ADR;
    dst->w1.i = 1;
    dst->w2.v = target;
}

// The address operator: the instruction after it names the variable.
// Returns the new top.
ZuVALUE* TakeAddress(ZuVALUE* sp, const ZuPCODE& next) {
    switch (static_cast<Op>(next.op)) {
    case Op::PAP:
        CheckRoom(1);
        MakeAddress(sp + 1, vm.ap + next.arg);
        return sp + 1;
    case Op::PBP:
        CheckRoom(1);
        MakeAddress(sp + 1, vm.bp + next.arg);
        return sp + 1;
    case Op::LAP:
        FreeIfOwned(sp);
        MakeAddress(sp, vm.ap + next.arg);
        return sp;
    case Op::LBP:
        FreeIfOwned(sp);
        MakeAddress(sp, vm.bp + next.arg);
        return sp;
    case Op::LOD:
        FreeIfOwned(sp);
        MakeAddress(sp, &vm.globals[next.arg].val);
        return sp;
    case Op::LMP: {
        ZuVALUE object = *sp;
        if ((object.t & kScalarMask) != ZU_CLASS || !object.w4.nv || next.arg < 0 || next.arg >= object.w1.i)
            Raise(Err::CannotTakeAddress);
        ZuNAMEDVALUE& member = object.w4.nv[next.arg];
        ZuVALUE* target = &member.val;
        if (member.val.t & ZU_FLAG_STA) {
            target = StaticMember(&object, next.arg);
            if (!target) Raise(Err::CannotTakeAddress);
        }
        FreeIfOwned(sp);
        MakeAddress(sp, target);
        return sp;
    }
    case Op::XLD:
    case Op::XGL:
        if (static_cast<Op>(next.op) == Op::XGL) IndexFromBase1(sp);
        AddressOfElement(sp - 1, sp, IndexContext{sp - 1, next.op == code(Op::XGL) ? 1 : 0});
        FreeIfOwned(sp);
        return sp - 1;
    default: Raise(Err::CannotTakeAddress);
    }
}

// A stop asked for while statement markers are live (Ctrl-C, or a host's
// abort), seen at a jump back: loaded code may loop without a marker, and
// such a loop must stop as one with markers does.  True when the loop is
// to stop.
bool StopAtJumpBack(int cp) {
    if (userInterrupt) {
        userInterrupt = 0;
        vm.cp = cp;
        Raise(Err::UserAbort);
    }
    return vm.abort;
}

// A live statement marker; true when the loop is to stop.
bool Marker(int cp, int line) {
    if (userInterrupt) {
        userInterrupt = 0;
        vm.cp = cp;
        Raise(Err::UserAbort);
    }
    if (line >= 0 && !vm.stop && (!vm.stepOverAp || vm.ap > vm.stepOverAp)) {
        if (vm.codeTrace) ZuRunPrintFilePos(cp - 1, vm.currentFile, ActiveFunctionName());
        return vm.abort;
    }
    vm.cp = cp + 1;
    vm.moreCode = vm.code[cp + 1].op != code(Op::EXT);
    return true;
}

void LocalName(int e) {
    if (e >= 0) {
        vm.localNames.resize(static_cast<std::size_t>(vm.localStart + vm.localCount));
        vm.localNames.push_back(LiteralText(e));
        ++vm.localCount;
    } else {
        vm.localCount = -e >= vm.localCount ? 0 : vm.localCount + e;
    }
}

// ---- translation of the code into handler addresses ------------------------

// The dispatch target of every instruction of one version of the code:
// the handler of its opcode (of its operator for OPR), or of the fused
// sequence that starts there.  Built once per run start for as long as
// the code does not change; a nested loop (a call-back) shares it.
struct Translation {
    const ZuPCODE* program = nullptr;
    int size = 0;
    std::uint64_t changes = 0;
    bool markers = false;
    std::vector<const void*> targets;
    std::vector<FusedOperands> operands;  // of the fused sequence starting there
};

struct HandlerTables {
    std::span<const void* const> byOpcode;
    std::span<const void* const> byOperator;
    std::span<const void* const> byFused;  // kFusedVariants per kind
    const void* operatorOther;             // an OPR operand that is no operator code
    const void* unknownOpcode;
};

std::shared_ptr<const Translation> Translate(const ZuPCODE* program, int size, bool markers,
                                             const HandlerTables& handlers) {
    auto t = std::make_shared<Translation>();
    t->program = program;
    t->size = size;
    t->changes = program::codeBuffer().changes();
    t->markers = markers;
    const std::span<const ZuPCODE> instructions(program, program ? static_cast<std::size_t>(size) : 0);
    // With live markers every NUM must run, so nothing is fused over one.
    const std::vector<Fused> fused =
        markers ? std::vector<Fused>(instructions.size(), Fused::None) : FindFusedSequences(instructions);
    t->targets.resize(instructions.size());
    t->operands.resize(instructions.size());
    for (std::size_t i = 0; i < instructions.size(); ++i) {
        const ZuPCODE ins = instructions[i];
        if (fused[i] != Fused::None) t->operands[i] = DecodeFused(fused[i], instructions, i);
        if (fused[i] != Fused::None)
            t->targets[i] = handlers.byFused[static_cast<std::size_t>(fused[i]) * kFusedVariants +
                                             static_cast<std::size_t>(FusedVariant(fused[i], instructions, i))];
        else if (ins.op == code(Op::OPR))
            t->targets[i] = static_cast<unsigned>(ins.arg) < handlers.byOperator.size()
                                ? handlers.byOperator[static_cast<std::size_t>(ins.arg)]
                                : handlers.operatorOther;
        else
            t->targets[i] = static_cast<unsigned>(ins.op) < handlers.byOpcode.size()
                                ? handlers.byOpcode[static_cast<std::size_t>(ins.op)]
                                : handlers.unknownOpcode;
    }
    return t;
}

std::shared_ptr<const Translation> currentTranslation;

}  // namespace

// ---- the run loop ----------------------------------------------------------

void RunLoop() {
    RefreshTables();
    const ZuPCODE* const program = vm.code;
    ZuNAMEDVALUE* const globals = vm.globals;
    ZuVALUE* const literals = vm.literals;
    ZuVALUE* const base = vm.base;
    ZuVALUE* const last = vm.last;
    const int stackSize = vm.stackSize;
    const bool markers = vm.numbering || ZuIsDebug();

    int cp = vm.cp;
    ZuVALUE* sp = vm.sp;
    ZuVALUE* ap = vm.ap;
    ZuVALUE* bp = vm.bp;

#define SYNC()   (vm.cp = cp, vm.sp = sp)
#define RELOAD() (cp = vm.cp, sp = vm.sp, ap = vm.ap, bp = vm.bp)
#define PUSH_ROOM()                \
    if (sp >= last) {              \
        SYNC();                    \
        Raise(Err::StackOverflow); \
    }

    // Threaded dispatch: each instruction jumps straight to the next one's
    // handler through the table (labels as values, a GCC extension), which
    // the processor predicts far better than one shared switch jump.
    // OPR dispatches a second time on its operator, so that the scalar
    // cases of the common operators run without a switch of their own.
    static const void* table[kOpcodeLimit];
    static const void* oprTable[program::kTokenCodeLimit];
    static const void* fusedTable[static_cast<int>(Fused::Count) * kFusedVariants];
    static bool tableReady = false;
    if (!tableReady) {
        for (auto& entry : table) entry = &&L_default;
#define ZU_OPCODE(name, number, kind) table[number] = &&L_##name;
#include "program/opcodes.def"
        for (auto& entry : oprTable) entry = &&L_OPR_other;
#define SET_OPERATOR(OP) oprTable[opr::OP] = &&L_OPR_##OP;
        FOR_EACH_ARITHMETIC(SET_OPERATOR)
        FOR_EACH_COMPARISON(SET_OPERATOR)
        SET_OPERATOR(Increment)
        SET_OPERATOR(Decrement)
        SET_OPERATOR(ConcatHorizontal)
#undef SET_OPERATOR
        for (auto& entry : fusedTable) entry = &&L_default;
        auto fused = [](Fused kind, int variant) {
            return static_cast<std::size_t>(kind) * kFusedVariants + static_cast<std::size_t>(variant);
        };
        // One handler per operator of each fused sequence that has one, at
        // the operator's variant number.
#define SET_VARIANT(KIND, VARIANT, OP) fusedTable[fused(Fused::KIND, VARIANT(opr::OP))] = &&L_FUSED_##KIND##_##OP;
#define SET_LOCAL_TEST(OP)             SET_VARIANT(LocalTest, ComparisonVariant, OP)
#define SET_STEP_AND_TEST(OP)          SET_VARIANT(StepAndTest, ComparisonVariant, OP)
#define SET_OPERATE_STORE(OP)          SET_VARIANT(OperateStore, ArithmeticVariant, OP)
#define SET_LITERAL_OPERATE(OP)        SET_VARIANT(LiteralOperate, ArithmeticVariant, OP)
#define SET_CONSTANT_OPERATE(OP)       SET_VARIANT(ConstantOperate, ArithmeticVariant, OP)
#define SET_CONSTANT_TEST(OP)          SET_VARIANT(ConstantTest, ComparisonVariant, OP)
#define SET_LOCAL_UPDATE(OP)           SET_VARIANT(LocalUpdate, ArithmeticVariant, OP)
#define SET_TWO_OPERATE(OP)            SET_VARIANT(TwoOperate, ArithmeticVariant, OP)
#define SET_OPERAND_OPERATE(OP)        SET_VARIANT(OperandConstantOperate, ArithmeticVariant, OP)
#define SET_OPERAND_TEST(OP)           SET_VARIANT(OperandConstantTest, ComparisonVariant, OP)
        FOR_EACH_COMPARISON(SET_LOCAL_TEST)
        FOR_EACH_COMPARISON(SET_STEP_AND_TEST)
        FOR_EACH_ARITHMETIC(SET_OPERATE_STORE)
        FOR_EACH_ARITHMETIC(SET_LITERAL_OPERATE)
        FOR_EACH_ARITHMETIC(SET_CONSTANT_OPERATE)
        FOR_EACH_COMPARISON(SET_CONSTANT_TEST)
        FOR_EACH_ARITHMETIC(SET_LOCAL_UPDATE)
        FOR_EACH_ARITHMETIC(SET_TWO_OPERATE)
        FOR_EACH_ARITHMETIC(SET_OPERAND_OPERATE)
        FOR_EACH_COMPARISON(SET_OPERAND_TEST)
#undef SET_OPERAND_TEST
#undef SET_OPERAND_OPERATE
#undef SET_TWO_OPERATE
#undef SET_LOCAL_UPDATE
#undef SET_LOCAL_TEST
#undef SET_STEP_AND_TEST
#undef SET_OPERATE_STORE
#undef SET_LITERAL_OPERATE
#undef SET_CONSTANT_OPERATE
#undef SET_CONSTANT_TEST
#undef SET_VARIANT
        fusedTable[fused(Fused::LocalStep, 0)] = &&L_FUSED_LocalStep;
        fusedTable[fused(Fused::TwoLocals, 0)] = &&L_FUSED_TwoLocals;
        fusedTable[fused(Fused::TwoPushes, 0)] = &&L_FUSED_TwoPushes;
        fusedTable[fused(Fused::StoreLocal, 0)] = &&L_FUSED_StoreLocal;
        fusedTable[fused(Fused::FunctionEntry, 0)] = &&L_FUSED_FunctionEntry;
        fusedTable[fused(Fused::MarkerReturn, 0)] = &&L_FUSED_MarkerReturn;
        fusedTable[fused(Fused::PushGlobal, 0)] = &&L_FUSED_PushGlobal;
        fusedTable[fused(Fused::CallGlobal, 0)] = &&L_FUSED_CallGlobal;
        fusedTable[fused(Fused::ElementLoad, 0)] = &&L_FUSED_ElementLoad;
        fusedTable[fused(Fused::VectorLoad, 0)] = &&L_FUSED_VectorLoad;
        fusedTable[fused(Fused::ElementTarget, 0)] = &&L_FUSED_ElementTarget;
        tableReady = true;
    }
    {
        const Translation* t = currentTranslation.get();
        if (!t || t->program != program || t->size != vm.codeSize || t->markers != markers ||
            t->changes != program::codeBuffer().changes()) {
            const HandlerTables handlers{table, oprTable, fusedTable, &&L_OPR_other, &&L_default};
            currentTranslation = Translate(program, vm.codeSize, markers, handlers);
        }
    }
    // Held for the whole loop: a call-back that translates anew leaves this
    // one intact for the loop that is still running on it.
    const std::shared_ptr<const Translation> translation = currentTranslation;
    const void* const* const targets = translation->targets.data();
    const FusedOperands* const operands = translation->operands.data();
    ZuPCODE ins;
    // Each instruction's handler comes from the translation.
#define DISPATCH()         \
    do {                   \
        ins = program[cp]; \
        goto* targets[cp]; \
    } while (0)

    DISPATCH();
    {
        {
            // sp holds the int result of a comparison and cp is the next
            // instruction: a jump on it (after a marker that is not live) is
            // taken at once.
#define JUMP_ON_RESULT()                                                \
    do {                                                                \
        ZuPCODE jump = program[cp];                                     \
        if (jump.op == code(Op::NUM) && !markers) jump = program[++cp]; \
        if (jump.op == code(Op::JMT))                                   \
            cp = sp->w1.i != 0 ? jump.arg : cp + 1;                     \
        else if (jump.op == code(Op::JMF))                              \
            cp = sp->w1.i == 0 ? jump.arg : cp + 1;                     \
    } while (0)


        // ---- loads, stores and jumps ---------------------------------------
        L_EXT:
            SYNC();
            return;

        L_NUM:
            if (markers) {
                SYNC();
                if (Marker(cp, ins.arg)) return;
            }
            // A marker before a jump is the end of a loop body.
            ++cp;
            if (program[cp].op == code(Op::JMP)) cp = program[cp].arg;
            DISPATCH();

        L_POP:
            FreeIfOwned(sp);
            --sp;
            ++cp;
            DISPATCH();

        L_PSH:
            PUSH_ROOM();
            ++sp;
            SetInt(sp, ins.arg);
            ++cp;
            DISPATCH();

        L_PAP:
            PUSH_ROOM();
            ++sp;
            LoadCopy(sp, ap + ins.arg);
            ++cp;
            DISPATCH();

        L_PBP : {
            const ZuVALUE* v = bp + ins.arg;
            PUSH_ROOM();
            if (v->t & ZU_FLAG_NUL) {
                SYNC();
                Raise(Err::NoValue, LocalVariableName(ins.arg));
            }
            ++sp;
            LoadCopy(sp, v);
            ++cp;
            DISPATCH();
        }

        L_LAP:
            FreeIfOwned(sp);
            LoadCopy(sp, ap + ins.arg);
            ++cp;
            DISPATCH();

        L_LBP : {
            const ZuVALUE* v = bp + ins.arg;
            if (v->t & ZU_FLAG_NUL) {
                SYNC();
                Raise(Err::NoValue, LocalVariableName(ins.arg));
            }
            FreeIfOwned(sp);
            LoadCopy(sp, v);
            ++cp;
            DISPATCH();
        }

        L_LOD : {
            const ZuNAMEDVALUE& g = globals[ins.arg];
            if (g.val.t & ZU_FLAG_NUL) {
                SYNC();
                Raise(Err::NoValue, g.name);
            }
            FreeIfOwned(sp);
            LoadCopy(sp, &g.val);
            ++cp;
            DISPATCH();
        }

        L_LIT:
            FreeIfOwned(sp);
            LoadCopy(sp, literals + ins.arg);
            ++cp;
            DISPATCH();

        L_LTI:
            FreeIfOwned(sp);
            SetInt(sp, ins.arg);
            ++cp;
            DISPATCH();

        L_LTD:
            FreeIfOwned(sp);
            SetDouble(sp, ins.arg);
            ++cp;
            DISPATCH();

        L_INT:
            if (ins.arg > 0) {
                if (static_cast<long long>(sp - base) + ins.arg >= stackSize) {
                    SYNC();
                    Raise(Err::StackOverflow);
                }
                for (int k = 0; k < ins.arg; ++k) {
                    ++sp;
                    *sp = ZuVALUE{};
                    sp->t = ZU_INT | ZU_FLAG_NUL;
                }
            }
            ++cp;
            DISPATCH();

            // A scalar into a variable that owns nothing is two words; all
            // else follows the assignment rule.
#define STORE_TOP(TARGET)                                                   \
    {                                                                       \
        ZuVALUE* target = TARGET;                                           \
        if (IsScalar(sp) && !(target->t & (ZU_FLAG_VAL | kVectorList))) {   \
            target->t = sp->t & ~(ZU_FLAG_CON | ZU_FLAG_NUL | ZU_FLAG_VAL); \
            target->w1 = sp->w1;                                            \
        } else {                                                            \
            SYNC();                                                         \
            ZuRunDoAssignment(target, sp);                                  \
        }                                                                   \
        ++cp;                                                               \
        DISPATCH();                                                         \
    }

        L_STO:
            STORE_TOP(&globals[ins.arg].val)
        L_SAP:
            STORE_TOP(ap + ins.arg)
        L_SBP:
            STORE_TOP(bp + ins.arg)
#undef STORE_TOP

            // Only with live markers: the test costs nothing in a plain run.
#define CHECK_JUMP_BACK(TARGET)                                          \
    if (markers && (TARGET) <= cp && (userInterrupt || vm.abort)) {      \
        SYNC();                                                          \
        if (StopAtJumpBack(cp)) return;                                  \
    }

        L_JMP:
            CHECK_JUMP_BACK(ins.arg);
            cp = ins.arg;
            DISPATCH();

        L_JMF:
        L_JMT : {
            bool truth;
            if (IsInt(sp)) {
                truth = sp->w1.i != 0;
            } else {
                SYNC();
                truth = Truth(sp);
            }
            if (truth == (ins.op == code(Op::JMT))) {
                CHECK_JUMP_BACK(ins.arg);
                cp = ins.arg;
            } else {
                ++cp;
            }
            DISPATCH();
        }

        L_EXC : {
            ZuVALUE t = *sp;
            *sp = sp[-1];
            sp[-1] = t;
            ++cp;
            DISPATCH();
        }

        L_DUP:
            if (ins.arg >= 1) {
                SYNC();
                CheckRoom(ins.arg);
                if (sp - ins.arg + 1 < base) Raise(Err::StackOverflow);
                ZuVALUE* from = sp - ins.arg + 1;
                for (int k = 0; k < ins.arg; ++k) RefCopy(sp + 1 + k, from + k);
                sp += ins.arg;
            }
            ++cp;
            DISPATCH();

        // ---- calls and returns ---------------------------------------------
        // The frame of the function at F, its N arguments above it, called
        // from the instruction at CALL_AT: the record above the arguments,
        // then the callee's first instruction.
#define ENTER_FRAME(F, N, CALL_AT)                                                           \
    {                                                                                        \
        ZuVALUE* frame = (F) + (N) + 1;                                                      \
        PushFrame(frame, static_cast<int>(ap - base), static_cast<int>(bp - base), CALL_AT, N); \
        vm.ap = ap = (F) + 1;                                                                \
        vm.bp = bp = frame + 1;                                                              \
        sp = frame;                                                                          \
        cp = (F)->w2.i;                                                                      \
        DISPATCH();                                                                          \
    }

        L_CAL : {
            // A Zu function of exactly that many int or double arguments:
            // the frame is built here; anything else goes to DoCall.
            const int n = ins.arg;
            ZuVALUE* f = sp - n;
            if (n >= 0 && f >= base && sp < last && TakesLoopCall(f, n)) {
                // One pass checks each argument and gives it the constant
                // flag of its letter; when a check fails, DoCall passes
                // the arguments again from the start and sets every flag.
                const char* letters = f->w3.s;
                int k = 0;
                for (; k < n; ++k) {
                    ZuVALUE* a = f + 1 + k;
                    const int flag = ArgumentFlag(letters[k]);
                    if (flag < 0 || !IsScalar(a)) break;
                    a->t = (a->t & ~ZU_FLAG_CON) | flag;
                }
                if (k == n) ENTER_FRAME(f, n, cp)
            }
            SYNC();
            if (ins.arg < 0 || ins.arg > sp - base) Raise(Err::NotAFunction);
            DoCall(ins.arg);
            RELOAD();
            ++cp;
            DISPATCH();
        }

        L_RET:
            if (ins.arg == 1 && IsScalar(sp) && !vm.stepOutAp && !((ap - 1)->t & (ZU_FLAG_VAL | kVectorList))) {
                // A scalar result from a frame whose function value owns
                // nothing: the same steps as DoReturn, without its calls.
                const ZuVALUE& frame = bp[-1];
                ZuVALUE* slot = ap - 1;
                slot->t = sp->t & ~(ZU_FLAG_CON | ZU_FLAG_VAL);
                slot->w1 = sp->w1;
                PopFrame(frame);
                // The locals and what is left above them, then the
                // arguments; the frame record between them owns nothing.
                for (ZuVALUE* v = sp; v >= bp; --v) FreeIfOwned(v);
                for (ZuVALUE* v = bp - 2; v >= ap; --v) FreeIfOwned(v);
                sp = slot;
                cp = frame.w3.i + 1;
                vm.ap = ap = base + frame.w1.i;
                vm.bp = bp = base + frame.w2.i;
                DISPATCH();
            }
            SYNC();
            // The statement marker of a return precedes its RET: an error
            // while the result is made (a pending index, say) belongs to
            // that statement, not to the code that follows.
            if (cp > 0 && program[cp - 1].op == code(Op::NUM)) vm.cp = cp - 1;
            DoReturn(ins.arg);
            RELOAD();
            ++cp;
            if (vm.stepOutAp && ap < vm.stepOutAp) {
                vm.cp = cp;
                vm.moreCode = program[cp].op != code(Op::EXT);
                return;
            }
            DISPATCH();

            // ---- fused sequences (fused_code.h) --------------------------------
            // Each does the work of its whole sequence when the operands are
            // plain ints or doubles, and otherwise hands the first instruction
            // to its own handler.  The translation has checked the shape.

            // A test leaves its int result in the current slot and goes on
            // where the translation found the jump on it to lead.  A loop
            // test nearly always comes out the same way: a branch that the
            // processor predicts lets the next step start before the test
            // is done, where a select (cmov) of the next instruction would
            // make every iteration wait for the comparison.
#define GO_ON(RESULT, D)                          \
    do {                                          \
        if (__builtin_expect((RESULT), 1)) {      \
            cp = (D).whenTrue;                    \
            DISPATCH();                           \
        }                                         \
        cp = (D).whenFalse;                       \
    } while (0)

            // Each of these is stamped out once per operator (FOR_EACH_...).
#define FUSED_LOCAL_TEST(OP)                                          \
    L_FUSED_LocalTest_##OP : {                                        \
        const ZuVALUE* v = bp + ins.arg;                              \
        if ((v->t & kScalarMask) != ZU_INT || sp >= last) goto L_LBP; \
        FreeIfOwned(sp);                                              \
        const FusedOperands& d = operands[cp];                        \
        const bool r = Holds<opr::OP>(v->w1.i, d.constant);           \
        SetInt(sp, r);                                                \
        GO_ON(r, d);                                                  \
        DISPATCH();                                                   \
    }

            // The step, then the loop test at the jump's target on the local
            // just stepped (its shape checked by the translation).
#define FUSED_STEP_AND_TEST(OP)                                                                     \
    L_FUSED_StepAndTest_##OP : {                                                                    \
        ZuVALUE* v = bp + ins.arg;                                                                  \
        if ((v->t & (kScalarMask | ZU_FLAG_VAL | kVectorList)) != ZU_INT || sp >= last) goto L_LBP; \
        FreeIfOwned(sp);                                                                            \
        const FusedOperands& d = operands[cp];                                                      \
        const int value = Wrap(static_cast<long long>(v->w1.i) + d.step);                           \
        SetInt(v, value);                                                                           \
        const bool r = Holds<opr::OP>(value, d.constant);                                           \
        SetInt(sp, r);                                                                              \
        GO_ON(r, d);                                                                                \
        DISPATCH();                                                                                 \
    }

#define FUSED_OPERATE_STORE(OP)                                                                                  \
    L_FUSED_OperateStore_##OP : {                                                                                \
        ZuVALUE* a = sp - 1;                                                                                     \
        ZuVALUE* target = bp + program[cp + 1].arg;                                                              \
        if (!IsScalar(a) || !IsScalar(sp) || (target->t & (ZU_FLAG_VAL | kVectorList))) goto* oprTable[ins.arg]; \
        ScalarArithmetic<opr::OP>(a, sp);                                                                        \
        --sp;                                                                                                    \
        target->t = sp->t;                                                                                       \
        target->w1 = sp->w1;                                                                                     \
        cp = operands[cp].whenTrue;                                                                              \
        DISPATCH();                                                                                              \
    }

#define FUSED_LITERAL_OPERATE(OP)                                          \
    L_FUSED_LiteralOperate_##OP : {                                        \
        const ZuVALUE* literal = literals + program[cp + 1].arg;           \
        if (sp >= last || !IsScalar(sp) || !IsScalar(literal)) goto L_PSH; \
        ScalarArithmetic<opr::OP>(sp, literal);                            \
        cp += 3;                                                           \
        DISPATCH();                                                        \
    }

#define FUSED_CONSTANT_OPERATE(OP)                   \
    L_FUSED_ConstantOperate_##OP : {                 \
        if (sp >= last || !IsScalar(sp)) goto L_PSH; \
        ZuVALUE right;                               \
        SetInt(&right, ins.arg);                     \
        ScalarArithmetic<opr::OP>(sp, &right);       \
        cp += 2;                                     \
        DISPATCH();                                  \
    }

#define FUSED_CONSTANT_TEST(OP)                               \
    L_FUSED_ConstantTest_##OP : {                             \
        if (sp >= last || !IsScalar(sp)) goto L_PSH;          \
        ZuVALUE right;                                        \
        SetInt(&right, ins.arg);                              \
        const bool r = ScalarComparison<opr::OP>(sp, &right); \
        SetInt(sp, r);                                        \
        /* The jump is read from the code, not the translation: \
           for a test whose outcome is hard to predict (n < 2 in  \
           a recursion) this way measured faster. */             \
        int j = cp + 2;                                       \
        if (program[j].op == code(Op::NUM)) ++j;              \
        const ZuPCODE jump = program[j];                      \
        cp = r == (jump.op == code(Op::JMT)) ? jump.arg : j + 1; \
        DISPATCH();                                           \
    }

            // The whole statement in registers: the operands are read, the
            // local and the current slot receive the result.  Anything but
            // plain ints and doubles, or a stack without room for the two
            // entries the sequence pushes, runs instruction by instruction.
#define FUSED_LOCAL_UPDATE(OP)                                                                       \
    L_FUSED_LocalUpdate_##OP : {                                                                     \
        ZuVALUE* target = bp + ins.arg;                                                              \
        const FusedOperands& d = operands[cp];                                                       \
        ZuVALUE scratch;                                                                             \
        const ZuVALUE* x = SimpleValue(d.x, ap, bp, literals, &scratch);                             \
        if (!IsScalar(target) || (target->t & (ZU_FLAG_VAL | kVectorList)) || !IsScalar(x) ||        \
            sp + 2 >= last)                                                                          \
            goto L_LBP;                                                                              \
        ZuVALUE right;                                                                               \
        right.t = x->t;                                                                              \
        right.w1 = x->w1;                                                                            \
        if (d.inner != 0) {                                                                          \
            const ZuVALUE* y = SimpleValue(d.y, ap, bp, literals, &scratch);                         \
            if (!IsScalar(y)) goto L_LBP;                                                            \
            Arithmetic(&right, y, d.inner);                                                          \
        }                                                                                            \
        if (IsDouble(target) && IsDouble(&right)) {                                                  \
            /* In registers from the load to the stores: the next */                                 \
            /* iteration waits for the stored value, and a record  */                                \
            /* in between would add a store and a load to that.    */                                \
            const double sum = DoubleArithmetic<opr::OP>(target->w1.d, right.w1.d);                  \
            FreeIfOwned(sp);                                                                         \
            SetDouble(target, sum);                                                                  \
            SetDouble(sp, sum);                                                                      \
            cp = d.whenTrue;                                                                         \
            DISPATCH();                                                                              \
        }                                                                                            \
        ZuVALUE result;                                                                              \
        result.t = target->t;                                                                        \
        result.w1 = target->w1;                                                                      \
        ScalarArithmetic<opr::OP>(&result, &right);                                                  \
        FreeIfOwned(sp);                                                                             \
        target->t = result.t;                                                                        \
        target->w1 = result.w1;                                                                      \
        sp->t = result.t;                                                                            \
        sp->w1 = result.w1;                                                                          \
        cp = d.whenTrue;                                                                             \
        DISPATCH();                                                                                  \
    }

            FOR_EACH_ARITHMETIC(FUSED_LOCAL_UPDATE)
#undef FUSED_LOCAL_UPDATE

            // The operator on two locals or arguments, its result pushed; the
            // stack needs room for both pushes, as the plain steps would.
#define FUSED_TWO_OPERATE(OP)                                                                    \
    L_FUSED_TwoOperate_##OP : {                                                                  \
        const FusedOperands& d = operands[cp];                                                   \
        const ZuVALUE* x = (d.x.kind == SimpleOperand::Local ? bp : ap) + d.x.index;             \
        const ZuVALUE* y = (d.y.kind == SimpleOperand::Local ? bp : ap) + d.y.index;             \
        if (!IsScalar(x) || !IsScalar(y) || sp + 1 >= last) goto* table[ins.op];                 \
        ZuVALUE result;                                                                          \
        result.t = x->t;                                                                         \
        result.w1 = x->w1;                                                                       \
        ScalarArithmetic<opr::OP>(&result, y);                                                   \
        ++sp;                                                                                    \
        sp->t = result.t;                                                                        \
        sp->w1 = result.w1;                                                                      \
        cp += 3;                                                                                 \
        DISPATCH();                                                                              \
    }

            FOR_EACH_ARITHMETIC(FUSED_TWO_OPERATE)
#undef FUSED_TWO_OPERATE

            // A local or an argument with a small int: the result pushed, or
            // the comparison's int pushed and the jump on it taken.  The
            // jump is read from the code, as in ConstantTest; the stack needs
            // room for both pushes, as the plain steps would.
#define OPERAND_OF(D) ((D).x.kind == SimpleOperand::Local ? bp : ap) + (D).x.index
#define FUSED_OPERAND_OPERATE(OP)                                                     \
    L_FUSED_OperandConstantOperate_##OP : {                                           \
        const FusedOperands& d = operands[cp];                                        \
        const ZuVALUE* x = OPERAND_OF(d);                                             \
        if (!IsScalar(x) || sp + 1 >= last) goto* table[ins.op];                      \
        ++sp;                                                                         \
        if (IsInt(x))                                                                 \
            IntArithmetic<opr::OP>(sp, x->w1.i, d.constant);                          \
        else                                                                          \
            SetDouble(sp, DoubleArithmetic<opr::OP>(x->w1.d, d.constant));            \
        cp += 3;                                                                      \
        DISPATCH();                                                                   \
    }
#define FUSED_OPERAND_TEST(OP)                                        \
    L_FUSED_OperandConstantTest_##OP : {                              \
        const FusedOperands& d = operands[cp];                        \
        const ZuVALUE* x = OPERAND_OF(d);                             \
        if (!IsScalar(x) || sp + 1 >= last) goto* table[ins.op];      \
        const bool r = IsInt(x) ? Holds<opr::OP>(x->w1.i, d.constant) \
                                : Holds<opr::OP>(x->w1.d, static_cast<double>(d.constant)); \
        ++sp;                                                         \
        SetInt(sp, r);                                                \
        int j = cp + 3;                                               \
        if (program[j].op == code(Op::NUM)) ++j;                      \
        const ZuPCODE jump = program[j];                              \
        cp = r == (jump.op == code(Op::JMT)) ? jump.arg : j + 1;      \
        DISPATCH();                                                   \
    }
            FOR_EACH_ARITHMETIC(FUSED_OPERAND_OPERATE)
            FOR_EACH_COMPARISON(FUSED_OPERAND_TEST)
#undef FUSED_OPERAND_TEST
#undef FUSED_OPERAND_OPERATE
#undef OPERAND_OF
            FOR_EACH_COMPARISON(FUSED_LOCAL_TEST)
            FOR_EACH_COMPARISON(FUSED_STEP_AND_TEST)
#undef GO_ON
            FOR_EACH_ARITHMETIC(FUSED_OPERATE_STORE)
            FOR_EACH_ARITHMETIC(FUSED_LITERAL_OPERATE)
            FOR_EACH_ARITHMETIC(FUSED_CONSTANT_OPERATE)
            FOR_EACH_COMPARISON(FUSED_CONSTANT_TEST)
#undef FUSED_LOCAL_TEST
#undef FUSED_STEP_AND_TEST
#undef FUSED_OPERATE_STORE
#undef FUSED_LITERAL_OPERATE
#undef FUSED_CONSTANT_OPERATE
#undef FUSED_CONSTANT_TEST

        L_FUSED_LocalStep : {
            ZuVALUE* v = bp + ins.arg;
            if ((v->t & (kScalarMask | ZU_FLAG_VAL | kVectorList)) != ZU_INT) goto L_LBP;
            FreeIfOwned(sp);
            const int step = program[cp + 1].arg == opr::Increment ? 1 : -1;
            SetInt(sp, Wrap(static_cast<long long>(v->w1.i) + step));
            v->t = ZU_INT;
            v->w1 = sp->w1;
            cp += 3;
            if (program[cp].op == code(Op::JMP)) cp = program[cp].arg;
            DISPATCH();
        }

        L_FUSED_TwoLocals : {
            const ZuVALUE* v = bp + ins.arg;
            const ZuVALUE* w = bp + program[cp + 1].arg;
            if (((v->t | w->t) & ZU_FLAG_NUL) || sp >= last) goto L_LBP;
            FreeIfOwned(sp);
            LoadCopy(sp, v);
            ++sp;
            LoadCopy(sp, w);
            cp += 2;
            DISPATCH();
        }
        L_FUSED_TwoPushes : {
            const FusedOperands& d = operands[cp];
            const ZuVALUE* x = (d.x.kind == SimpleOperand::Local ? bp : ap) + d.x.index;
            const ZuVALUE* y = (d.y.kind == SimpleOperand::Local ? bp : ap) + d.y.index;
            if (((x->t | y->t) & ZU_FLAG_NUL) || sp + 1 >= last) goto* table[ins.op];
            LoadCopy(sp + 1, x);
            LoadCopy(sp + 2, y);
            sp += 2;
            cp += 2;
            DISPATCH();
        }

        L_FUSED_StoreLocal : {
            ZuVALUE* target = bp + ins.arg;
            if (!IsScalar(sp) || (target->t & (ZU_FLAG_VAL | kVectorList))) goto L_SBP;
            target->t = sp->t & ~(ZU_FLAG_CON | ZU_FLAG_NUL | ZU_FLAG_VAL);
            target->w1 = sp->w1;
            cp = operands[cp].whenTrue;
            DISPATCH();
        }

        L_FUSED_PushGlobal : {
            const ZuNAMEDVALUE& g = globals[program[cp + 1].arg];
            if ((g.val.t & ZU_FLAG_NUL) || sp >= last) goto L_PSH;
            ++sp;
            LoadCopy(sp, &g.val);
            cp += 2;
            DISPATCH();
        }

        // m[i][j] of a matrix local or argument with int indices inside it:
        // the element pushed, or loaded into the top, as the six steps
        // would leave it; the stack needs room for their pushes.  Anything
        // else (another type, an index outside, no value) runs the plain
        // steps from the first.
#define ELEMENT_OPERAND(O) (((O).kind == SimpleOperand::Local ? bp : ap) + (O).index)
        L_FUSED_ElementLoad : {
            const FusedOperands& d = operands[cp];
            const ZuVALUE* m = ELEMENT_OPERAND(d.x);
            ZuVALUE row, column;
            const ZuVALUE* i = SimpleValue(d.y, ap, bp, literals, &row);
            const ZuVALUE* j = SimpleValue(d.z, ap, bp, literals, &column);
            if (!IsPlainMatrix(m) || !IsInt(i) || !IsInt(j) ||
                static_cast<unsigned>(i->w1.i) >= static_cast<unsigned>(m->w1.i) ||
                static_cast<unsigned>(j->w1.i) >= static_cast<unsigned>(m->w2.i) || sp + 2 >= last)
                goto* table[ins.op];
            const double element = m->w3.m[i->w1.i][j->w1.i];
            sp = ResultSlot(sp, d.step != 0);
            SetDouble(sp, element);
            cp += 6;
            DISPATCH();
        }

        // x[i] of a row or a column whose value is used at once: the element
        // pushed or loaded, as the four steps and the use would have made
        // it.  A matrix of more rows and columns (a warning), an index
        // outside and anything else run the plain steps.
        L_FUSED_VectorLoad : {
            const FusedOperands& d = operands[cp];
            const ZuVALUE* m = ELEMENT_OPERAND(d.x);
            ZuVALUE row;
            const ZuVALUE* i = SimpleValue(d.y, ap, bp, literals, &row);
            if (!IsPlainMatrix(m) || !IsInt(i) || sp + 2 >= last)
                goto* table[ins.op];
            const unsigned k = static_cast<unsigned>(i->w1.i);
            double element = 0;
            if (m->w1.i == 1 && k < static_cast<unsigned>(m->w2.i))
                element = m->w3.m[0][k];
            else if (m->w2.i == 1 && k < static_cast<unsigned>(m->w1.i))
                element = m->w3.m[k][0];
            else
                goto* table[ins.op];
            sp = ResultSlot(sp, d.step != 0);
            SetDouble(sp, element);
            cp += 4;
            DISPATCH();
        }

        // The start of m[i][j] = ...: the matrix's record with the row
        // chosen (a pending vector, as XLD makes it) and the column pushed.
        L_FUSED_ElementTarget : {
            const FusedOperands& d = operands[cp];
            const ZuVALUE* m = ELEMENT_OPERAND(d.x);
            ZuVALUE row, column;
            const ZuVALUE* i = SimpleValue(d.y, ap, bp, literals, &row);
            const ZuVALUE* j = SimpleValue(d.z, ap, bp, literals, &column);
            if (!IsPlainMatrix(m) || !IsInt(i) || (j->t & ZU_FLAG_NUL) ||
                sp + 2 >= last)
                goto* table[ins.op];
            sp = ResultSlot(sp, d.step != 0);
            *sp = *m;
            sp->t = ZU_VECTOR | (m->t & ZU_FLAG_CON);
            sp->w4.i = i->w1.i;
            ++sp;
            LoadCopy(sp, j);
            cp += 5;
            DISPATCH();
        }
#undef ELEMENT_OPERAND

        // The steps of LOD, the pushes and CAL when the loop makes the call
        // itself: the function value replaces the top, as LOD's does, and
        // each argument is read after the one before it is written, as the
        // pushes would.  Anything else runs the plain LOD, from the start.
        L_FUSED_CallGlobal : {
            const ZuVALUE* g = &globals[ins.arg].val;
            const FusedOperands& d = operands[cp];
            const int n = d.count;
            if (!TakesLoopCall(g, n) || (sp->t & (ZU_FLAG_VAL | kVectorList)) || sp + n >= last) goto L_LOD;
            ZuVALUE* f = sp;
            *f = *g;
            f->t &= ~ZU_FLAG_VAL;
            if (n >= 1) {
                const ZuVALUE* x = (d.x.kind == SimpleOperand::Local ? bp : ap) + d.x.index;
                const int flag = ArgumentFlag(g->w3.s[0]);
                if (flag < 0 || !IsScalar(x)) goto L_LOD;
                f[1].t = (x->t & ~(ZU_FLAG_VAL | ZU_FLAG_CON)) | flag;
                f[1].w1 = x->w1;
                if (n == 2) {
                    const ZuVALUE* y = (d.y.kind == SimpleOperand::Local ? bp : ap) + d.y.index;
                    const int flagY = ArgumentFlag(g->w3.s[1]);
                    if (flagY < 0 || !IsScalar(y)) goto L_LOD;
                    f[2].t = (y->t & ~(ZU_FLAG_VAL | ZU_FLAG_CON)) | flagY;
                    f[2].w1 = y->w1;
                }
            }
            ENTER_FRAME(f, n, cp + n + 1)
        }
#undef ENTER_FRAME

        // The steps of ELF and of a marker that is not live, then INT.
        L_FUSED_FunctionEntry:
            vm.currentFile = ins.arg;
            cp += 2;
            ins = program[cp];
            goto L_INT;

        L_FUSED_MarkerReturn:
            ++cp;
            ins = program[cp];
            goto L_RET;

        // ---- operators -----------------------------------------------------
        L_OPR:
            goto*(static_cast<unsigned>(ins.arg) < static_cast<unsigned>(program::kTokenCodeLimit) ? oprTable[ins.arg]
                                                                                                   : &&L_OPR_other);


            // Both operands ints, or both ints or doubles: the result
            // replaces the left operand.  Anything else takes the general
            // path below.
#define SCALAR_BINARY(NAME)                                  \
    L_OPR_##NAME : {                                         \
        ZuVALUE* a = sp - 1;                                 \
        if (!IsScalar(a) || !IsScalar(sp)) goto L_OPR_other; \
        ScalarArithmetic<opr::NAME>(a, sp);                  \
        --sp;                                                \
        ++cp;                                                \
        DISPATCH();                                          \
    }

            FOR_EACH_ARITHMETIC(SCALAR_BINARY)
#undef SCALAR_BINARY

            // A comparison is nearly always a test: when a jump on its
            // result follows (after a statement marker that is not live),
            // it is taken here.  The result stays on top, as the jump
            // leaves it.
#define SCALAR_COMPARE(NAME)                                 \
    L_OPR_##NAME : {                                         \
        ZuVALUE* a = sp - 1;                                 \
        if (!IsScalar(a) || !IsScalar(sp)) goto L_OPR_other; \
        SetInt(a, ScalarComparison<opr::NAME>(a, sp));       \
        --sp;                                                \
        ++cp;                                                \
        goto L_jump_on;                                      \
    }

            FOR_EACH_COMPARISON(SCALAR_COMPARE)
#undef SCALAR_COMPARE

        L_jump_on : {
            const int at = cp;
            JUMP_ON_RESULT();
            if (markers && cp <= at && (userInterrupt || vm.abort)) {
                SYNC();
                if (StopAtJumpBack(cp)) return;
            }
            DISPATCH();
        }

#define SCALAR_STEP(NAME, STEP)                                        \
    L_OPR_##NAME : {                                                   \
        const int t = sp->t & kScalarMask;                             \
        if (t == ZU_INT)                                               \
            SetInt(sp, Wrap(static_cast<long long>(sp->w1.i) STEP 1)); \
        else if (t == ZU_DOUBLE)                                       \
            SetDouble(sp, sp->w1.d STEP 1);                            \
        else                                                           \
            goto L_OPR_other;                                          \
        ++cp;                                                          \
        DISPATCH();                                                    \
    }

            SCALAR_STEP(Increment, +)
            SCALAR_STEP(Decrement, -)
#undef SCALAR_STEP

            // s = s ~ t (and s ~= t) for a variable that owns its string:
            // the text goes onto the end of the variable's own block, and
            // the store that follows is done here.  The top is then what
            // the store leaves: a reference to the variable.
        L_OPR_ConcatHorizontal : {
            ZuVALUE* target = StoreTarget(program[cp + 1], ap, bp, globals);
            if (!target || !AppendsInPlace(target, sp - 1, sp)) goto L_OPR_other;
            // The two operands are left out of the live stack while the
            // text moves: the left one is the variable's own copy.
            SYNC();
            vm.sp = sp - 2;
            const bool appended = value::TryAppendString(target, sp->w2.s, sp->w2.s ? sp->w1.i : 0);
            vm.sp = sp;
            if (!appended) Raise(Err::OutOfMemory);
            target->t = ZU_STRING | ZU_FLAG_VAL;
            FreeIfOwned(sp);
            --sp;
            RefCopy(sp, target);
            cp += 2;
            DISPATCH();
        }

        L_OPR_other : {
            const int op = ins.arg;
            if (ScalarBinary(sp - 1, sp, op)) {
                --sp;
            } else if (ScalarUnary(sp, op)) {
            } else if (op == opr::Address) {
                SYNC();
                sp = TakeAddress(sp, program[cp + 1]);
                ++cp;
            } else if (op == opr::New) {
                MarkOwned(sp);
            } else if (op == opr::Destruct) {
                SYNC();
                PrepareDestructor(sp);
            } else if (op == opr::Delete) {
                SYNC();
                sp = DeleteVariable(sp);
            } else {
                SYNC();
                if (sp >= last) Raise(Err::StackOverflow);
                sp = DoOpr(sp, op);
            }
            ++cp;
            DISPATCH();
        }

        // ---- fast functions, indexing, objects and the rest ----------------
        L_FNI:
            SYNC();
            if ((sp->t & ZU_TYPE_MASK) == ZU_VECTOR) ZuRunDoIndexVector(sp, nullptr);
            DoFni(sp, ins.arg);
            ++cp;
            DISPATCH();

        L_XLD : {
            ZuVALUE* v = sp - 1;
            if (IsInt(sp) && (v->t & ~(ZU_FLAG_CON | ZU_FLAG_VAL)) == ZU_MATRIX) {
                // A matrix takes its first index: a pending vector.
                v->t = ZU_VECTOR | (v->t & (ZU_FLAG_CON | ZU_FLAG_VAL));
                v->w4.i = sp->w1.i;
            } else if (IsInt(sp) && (v->t & ~ZU_FLAG_CON) == ZU_VECTOR &&
                       static_cast<unsigned>(v->w4.i) < static_cast<unsigned>(v->w1.i) &&
                       static_cast<unsigned>(sp->w1.i) < static_cast<unsigned>(v->w2.i)) {
                // m[i][j]: one element of a matrix owned elsewhere.
                SetDouble(v, v->w3.m[v->w4.i][sp->w1.i]);
            } else {
                SYNC();
                LoadIndexed(v, sp, IndexContext{v, 0});
                FreeIfOwned(sp);
            }
            --sp;
            ++cp;
            DISPATCH();
        }

        L_XST : {
            ZuVALUE* t = sp - 2;
            ZuVALUE* i = sp - 1;
            if (t->t == ZU_VECTOR && IsInt(i) && IsScalar(sp) &&
                static_cast<unsigned>(t->w4.i) < static_cast<unsigned>(t->w1.i) &&
                static_cast<unsigned>(i->w1.i) < static_cast<unsigned>(t->w2.i)) {
                double d = AsDouble(sp);
                t->w3.m[t->w4.i][i->w1.i] = d;
                SetDouble(t, d);
            } else if (t->t == ZU_MATRIX && IsInt(i) && IsScalar(sp) && (t->w1.i == 1 || t->w2.i == 1) &&
                       static_cast<unsigned>(i->w1.i) < static_cast<unsigned>(t->w1.i == 1 ? t->w2.i : t->w1.i)) {
                // x[i] = ...: one element of a row or a column owned elsewhere.
                const unsigned k = static_cast<unsigned>(i->w1.i);
                double d = AsDouble(sp);
                (t->w1.i == 1 ? t->w3.m[0][k] : t->w3.m[k][0]) = d;
                SetDouble(t, d);
            } else {
                SYNC();
                StoreIndexed(t, i, sp, 0);
            }
            sp = t;
            ++cp;
            DISPATCH();
        }

        L_XGL:
            SYNC();
            IndexFromBase1(sp);
            LoadIndexed(sp - 1, sp, IndexContext{sp - 1, 1});
            FreeIfOwned(sp);
            --sp;
            ++cp;
            DISPATCH();

        L_XGS:
            SYNC();
            IndexFromBase1(sp - 1);
            StoreIndexed(sp - 2, sp - 1, sp, 1);
            sp -= 2;
            ++cp;
            DISPATCH();

        L_XMV:
            SYNC();
            MoveElement(sp, ins.arg);
            ++cp;
            DISPATCH();

        L_XRS:
            if (ins.arg == 1 && IsScalar(sp)) {
                SYNC();
                if (ZuVALUE* variable = LoadedVariable(cp)) ScalarVariableToMatrix(variable, sp);
            }
            ++cp;
            DISPATCH();

        L_NEW:
            SYNC();
            NewObject(sp, ins.arg);
            ++cp;
            DISPATCH();

        L_LMP:
            SYNC();
            LoadMember(sp, ins.arg);
            ++cp;
            DISPATCH();

        L_SMP:
            SYNC();
            sp = StoreMember(sp, ins.arg);
            ++cp;
            DISPATCH();

        L_CAM:
            SYNC();
            if (ins.arg < 0 || ins.arg + 2 > sp - base) Raise(Err::NotAFunction);
            CallMember(ins.arg);
            RELOAD();
            ++cp;
            DISPATCH();

        L_MFU:
            SYNC();
            BindMember();
            RELOAD();
            ++cp;
            DISPATCH();

        L_NTP:
            SYNC();
            sp = NewOfType(sp, ins.arg);
            ++cp;
            DISPATCH();

        L_LIP:
            FreeIfOwned(sp);
            SetInt(sp, cp + ins.arg);
            sp->t |= ZU_FLAG_NUL;
            ++cp;
            DISPATCH();

        L_JST : {
            const ZuVALUE* v = sp + ins.arg;
            if (ins.arg > 0 || v < base || (v->t & kScalarMask) != (ZU_INT | ZU_FLAG_NUL) || v->w1.i < 0 ||
                v->w1.i >= vm.codeSize) {
                SYNC();
                Raise(Err::InvalidJump);
            }
            CHECK_JUMP_BACK(v->w1.i);
            cp = v->w1.i;
            DISPATCH();
        }

        L_ELF:
            vm.currentFile = ins.arg;
            ++cp;
            DISPATCH();

        L_ELT:
            if (markers) LocalName(ins.arg);
            ++cp;
            DISPATCH();

        L_default:
            ++cp;
            DISPATCH();
        }
    }
#undef FOR_EACH_ARITHMETIC
#undef FOR_EACH_COMPARISON
#undef JUMP_ON_RESULT
#undef DISPATCH
#undef SYNC
#undef RELOAD
#undef PUSH_ROOM
}

}  // namespace zu::run
