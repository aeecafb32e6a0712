// Recognition of the fused sequences (see fused_code.h).
#include "run/fused_code.h"

#include "program/operators.h"
#include "program/pcode.h"

namespace zu::run {
using program::code;
using program::Op;
namespace opr = program::opr;

namespace {

// A fused handler reads up to this many instructions past its first one,
// optional parts included, so every sequence starts early enough for all
// of them to exist.
constexpr std::size_t kLookAhead = 6;

class Shape {
public:
    explicit Shape(std::span<const ZuPCODE> code) : code_(code) {}

    bool is(std::size_t i, Op op) const { return i < code_.size() && code_[i].op == code(op); }
    int arg(std::size_t i) const { return code_[i].arg; }

    bool isOperator(std::size_t i, bool (*kind)(int)) const { return is(i, Op::OPR) && kind(arg(i)); }

    // The position after a statement marker at i, or i.
    std::size_t skipMarker(std::size_t i) const { return is(i, Op::NUM) ? i + 1 : i; }

    bool isConditionalJump(std::size_t i) const { return is(i, Op::JMT) || is(i, Op::JMF); }

    std::size_t size() const { return code_.size(); }

private:
    std::span<const ZuPCODE> code_;
};

bool IsStep(int op) { return op == opr::Increment || op == opr::Decrement; }

// The simple operand whose code starts at i and the instruction after it;
// false when there is none there.  A constant is a PSH not followed by LIT.
bool ReadOperand(const Shape& s, std::size_t i, bool constantAllowed, SimpleOperand& x, std::size_t& next) {
    if (s.is(i, Op::PBP) || s.is(i, Op::PAP)) {
        x = {s.is(i, Op::PBP) ? SimpleOperand::Local : SimpleOperand::Argument, s.arg(i)};
        next = i + 1;
        return true;
    }
    if (!s.is(i, Op::PSH)) return false;
    if (s.is(i + 1, Op::LIT)) {
        if (s.arg(i) != 0) return false;
        x = {SimpleOperand::Literal, s.arg(i + 1)};
        next = i + 2;
        return true;
    }
    if (!constantAllowed) return false;
    x = {SimpleOperand::Constant, s.arg(i)};
    next = i + 1;
    return true;
}

bool IsLocalOrArgument(const Shape& s, std::size_t i) { return s.is(i, Op::PBP) || s.is(i, Op::PAP); }

bool IsScalarOperator(int op) { return IsScalarArithmetic(op) || IsScalarComparison(op); }

// An instruction at i that uses the value on top at once, so that a
// pending index below it cannot be taken further: a scalar operator, a
// store, or a simple operand and then a scalar operator.
bool UsesTopAtOnce(const Shape& s, std::size_t i) {
    if (s.isOperator(i, IsScalarOperator) || s.is(i, Op::SBP) || s.is(i, Op::SAP) || s.is(i, Op::STO)) return true;
    SimpleOperand operand;
    std::size_t next = 0;
    return ReadOperand(s, i, true, operand, next) && s.isOperator(next, IsScalarOperator);
}

// An index of one instruction: a local, an argument or a small int.
bool IsSimpleIndex(const Shape& s, std::size_t i) {
    return IsLocalOrArgument(s, i) || (s.is(i, Op::PSH) && !s.is(i + 1, Op::LIT));
}

// m; XRS; i; XLD; ... (see Fused::ElementLoad): ElementLoad, VectorLoad or
// ElementTarget by the XRS and what follows, None for anything else.
Fused ElementAccess(const Shape& s, std::size_t i) {
    const bool matrix = IsLocalOrArgument(s, i) || s.is(i, Op::LBP) || s.is(i, Op::LAP);
    if (!matrix || !s.is(i + 1, Op::XRS) || !IsSimpleIndex(s, i + 2) || !s.is(i + 3, Op::XLD)) return Fused::None;
    const bool column = IsSimpleIndex(s, i + 4);
    if (s.arg(i + 1) == 1) return column ? Fused::ElementTarget : Fused::None;
    if (s.arg(i + 1) != 0) return Fused::None;
    if (column && s.is(i + 5, Op::XLD)) return Fused::ElementLoad;
    return UsesTopAtOnce(s, i + 4) ? Fused::VectorLoad : Fused::None;
}

// LOD g; then up to two locals or arguments; then the CAL of that many:
// the number of arguments, or -1 when the code at i is not such a call.
int GlobalCallArguments(const Shape& s, std::size_t i) {
    if (!s.is(i, Op::LOD)) return -1;
    int n = 0;
    while (n < 2 && IsLocalOrArgument(s, i + 1 + n)) ++n;
    return s.is(i + 1 + n, Op::CAL) && s.arg(i + 1 + n) == n ? n : -1;
}

// LBP a; x; [y; OPR]; OPR; SBP a (see Fused::LocalUpdate); the operands
// and operators in `d` when `d` is given.
bool IsLocalUpdate(const Shape& s, std::size_t i, FusedOperands* d) {
    SimpleOperand x, y;
    std::size_t at = 0;
    if (!s.is(i, Op::LBP) || !ReadOperand(s, i + 1, true, x, at)) return false;
    int inner = 0;
    if (x.kind != SimpleOperand::Constant && ReadOperand(s, at, true, y, at)) {
        if (!s.isOperator(at, IsScalarArithmetic)) return false;
        inner = s.arg(at++);
    }
    if (!s.isOperator(at, IsScalarArithmetic) || !s.is(at + 1, Op::SBP) || s.arg(at + 1) != s.arg(i)) return false;
    if (d != nullptr) {
        d->x = x;
        d->y = y;
        d->inner = inner;
        d->outer = s.arg(at);
        const std::size_t next = s.skipMarker(at + 2);
        d->whenTrue = s.is(next, Op::JMP) ? s.arg(next) : static_cast<int>(next);
    }
    return true;
}

Fused Classify(const Shape& s, std::size_t i) {
    if (s.is(i, Op::LBP)) {
        if (s.is(i + 1, Op::PSH) && s.is(i + 2, Op::LTI) && s.isOperator(i + 3, IsScalarComparison) &&
            s.isConditionalJump(s.skipMarker(i + 4)))
            return Fused::LocalTest;
        if (s.isOperator(i + 1, IsStep) && s.is(i + 2, Op::SBP) && s.arg(i + 2) == s.arg(i)) {
            if (s.is(i + 3, Op::JMP) && s.arg(i + 3) >= 0) {
                const auto test = static_cast<std::size_t>(s.arg(i + 3));
                if (test + kLookAhead < s.size() && s.is(test, Op::LBP) && s.arg(test) == s.arg(i) &&
                    Classify(s, test) == Fused::LocalTest)
                    return Fused::StepAndTest;
            }
            return Fused::LocalStep;
        }
        if (IsLocalUpdate(s, i, nullptr)) return Fused::LocalUpdate;
        if (const Fused element = ElementAccess(s, i); element != Fused::None) return element;
        // An element read after the load does more in its own step.
        if (s.is(i + 1, Op::PBP)) return ElementAccess(s, i + 1) == Fused::None ? Fused::TwoLocals : Fused::None;
        return Fused::None;
    }
    if (const Fused element = ElementAccess(s, i); element != Fused::None) return element;
    if (GlobalCallArguments(s, i) >= 0) return Fused::CallGlobal;
    if (IsLocalOrArgument(s, i) && IsLocalOrArgument(s, i + 1)) {
        if (s.isOperator(i + 2, IsScalarArithmetic)) return Fused::TwoOperate;
        return ElementAccess(s, i + 1) == Fused::None ? Fused::TwoPushes : Fused::None;
    }
    if (IsLocalOrArgument(s, i) && s.is(i + 1, Op::PSH)) {
        if (s.isOperator(i + 2, IsScalarArithmetic)) return Fused::OperandConstantOperate;
        if (s.isOperator(i + 2, IsScalarComparison) && s.isConditionalJump(s.skipMarker(i + 3)))
            return Fused::OperandConstantTest;
    }
    if (s.is(i, Op::SBP) && (s.is(i + 1, Op::NUM) || s.is(i + 1, Op::JMP))) return Fused::StoreLocal;
    if (s.is(i, Op::ELF) && s.is(i + 1, Op::NUM) && s.is(i + 2, Op::INT)) return Fused::FunctionEntry;
    if (s.is(i, Op::NUM) && s.is(i + 1, Op::RET)) return Fused::MarkerReturn;
    if (s.isOperator(i, IsScalarArithmetic) && s.is(i + 1, Op::SBP)) return Fused::OperateStore;
    if (s.is(i, Op::PSH)) {
        // A global call after the push does more in its own step.
        if (s.is(i + 1, Op::LOD)) return GlobalCallArguments(s, i + 1) >= 0 ? Fused::None : Fused::PushGlobal;
        if (s.is(i + 1, Op::LIT) && s.isOperator(i + 2, IsScalarArithmetic)) return Fused::LiteralOperate;
        if (s.isOperator(i + 1, IsScalarArithmetic)) return Fused::ConstantOperate;
        if (s.isOperator(i + 1, IsScalarComparison) && s.isConditionalJump(s.skipMarker(i + 2)))
            return Fused::ConstantTest;
    }
    return Fused::None;
}

}  // namespace

int FusedVariant(Fused kind, std::span<const ZuPCODE> code, std::size_t i) {
    switch (kind) {
    case Fused::LocalTest: return ComparisonVariant(code[i + 3].arg);
    case Fused::StepAndTest: return ComparisonVariant(code[static_cast<std::size_t>(code[i + 3].arg) + 3].arg);
    case Fused::OperateStore: return ArithmeticVariant(code[i].arg);
    case Fused::LiteralOperate: return ArithmeticVariant(code[i + 2].arg);
    case Fused::ConstantOperate: return ArithmeticVariant(code[i + 1].arg);
    case Fused::ConstantTest: return ComparisonVariant(code[i + 1].arg);
    case Fused::LocalUpdate: return ArithmeticVariant(DecodeFused(kind, code, i).outer);
    case Fused::TwoOperate: return ArithmeticVariant(code[i + 2].arg);
    case Fused::OperandConstantOperate: return ArithmeticVariant(code[i + 2].arg);
    case Fused::OperandConstantTest: return ComparisonVariant(code[i + 2].arg);
    default: return 0;
    }
}

namespace {

// The two successors of a conditional jump at `jump` (after a marker):
// where a true and a false result go.
void Branches(const Shape& s, std::size_t jump, FusedOperands& d) {
    jump = s.skipMarker(jump);
    const int target = s.arg(jump);
    const int after = static_cast<int>(jump) + 1;
    const bool onTrue = s.is(jump, Op::JMT);
    d.whenTrue = onTrue ? target : after;
    d.whenFalse = onTrue ? after : target;
}

}  // namespace

FusedOperands DecodeFused(Fused kind, std::span<const ZuPCODE> code, std::size_t i) {
    const Shape s(code);
    FusedOperands d;
    switch (kind) {
    case Fused::LocalTest:
        d.constant = s.arg(i + 2);
        Branches(s, i + 4, d);
        break;
    case Fused::StepAndTest: {
        d.step = s.arg(i + 1) == opr::Increment ? 1 : -1;
        const auto test = static_cast<std::size_t>(s.arg(i + 3));
        d.constant = s.arg(test + 2);
        Branches(s, test + 4, d);
        break;
    }
    case Fused::OperateStore:
    case Fused::StoreLocal: {
        const std::size_t next = s.skipMarker(kind == Fused::OperateStore ? i + 2 : i + 1);
        d.whenTrue = s.is(next, Op::JMP) ? s.arg(next) : static_cast<int>(next);
        break;
    }
    case Fused::TwoPushes:
    case Fused::TwoOperate: {
        std::size_t after = 0;
        ReadOperand(s, i, false, d.x, after);
        ReadOperand(s, i + 1, false, d.y, after);
        break;
    }
    case Fused::OperandConstantOperate:
    case Fused::OperandConstantTest: {
        std::size_t after = 0;
        ReadOperand(s, i, false, d.x, after);
        d.constant = s.arg(i + 1);
        if (kind == Fused::OperandConstantTest) Branches(s, i + 3, d);
        break;
    }
    case Fused::LocalUpdate: IsLocalUpdate(s, i, &d); break;
    case Fused::ElementLoad:
    case Fused::VectorLoad:
    case Fused::ElementTarget: {
        const bool pushed = IsLocalOrArgument(s, i);
        const bool local = s.is(i, Op::PBP) || s.is(i, Op::LBP);
        d.x = {local ? SimpleOperand::Local : SimpleOperand::Argument, s.arg(i)};
        d.step = pushed ? 1 : 0;
        std::size_t after = 0;
        ReadOperand(s, i + 2, true, d.y, after);
        if (kind != Fused::VectorLoad) ReadOperand(s, i + 4, true, d.z, after);
        break;
    }
    case Fused::CallGlobal: {
        d.count = GlobalCallArguments(s, i);
        std::size_t after = 0;
        if (d.count >= 1) ReadOperand(s, i + 1, false, d.x, after);
        if (d.count >= 2) ReadOperand(s, i + 2, false, d.y, after);
        break;
    }
    default: break;
    }
    return d;
}

std::vector<Fused> FindFusedSequences(std::span<const ZuPCODE> code) {
    std::vector<Fused> fused(code.size(), Fused::None);
    const Shape shape(code);
    for (std::size_t i = 0; i + kLookAhead < code.size(); ++i) fused[i] = Classify(shape, i);
    return fused;
}

}  // namespace zu::run
