// The fused instruction sequences: which shapes are recognised, and that
// the loop's translation follows changes to the code.
#include "engine_fixture.h"

#include "run/fused_code.h"
#include "program/operators.h"

using zu::run::Fused;
using zu::run::vm;

namespace zu::test {

using program::Op;

namespace {

ZuPCODE I(Op op, int arg = 0) { return ZuPCODE{program::code(op), arg}; }

// Pads a sequence with EXT so that every look-ahead finds an instruction.
std::vector<Fused> Classify(std::vector<ZuPCODE> code) {
    code.resize(code.size() + 8, I(Op::EXT));
    return run::FindFusedSequences(code);
}

TEST(FusedSequences, LoopTestsWithAndWithoutAMarkerBeforeTheJump) {
    auto withMarker = Classify(
        {I(Op::LBP, 1), I(Op::PSH), I(Op::LTI, 10), I(Op::OPR, program::opr::Less), I(Op::NUM, 4), I(Op::JMT, 30)});
    EXPECT_EQ(withMarker[0], Fused::LocalTest);
    auto withoutMarker =
        Classify({I(Op::LBP, 1), I(Op::PSH), I(Op::LTI, 10), I(Op::OPR, program::opr::GreaterEqual), I(Op::JMF, 30)});
    EXPECT_EQ(withoutMarker[0], Fused::LocalTest);
    // Without the jump the comparison's result is a value: only the two
    // loads could be fused, and here there is no second local.
    auto noJump = Classify({I(Op::LBP, 1), I(Op::PSH), I(Op::LTI, 10), I(Op::OPR, program::opr::Less), I(Op::SBP, 2)});
    EXPECT_EQ(noJump[0], Fused::None);
    // An operator that is no comparison is not a test.
    auto notATest =
        Classify({I(Op::LBP, 1), I(Op::PSH), I(Op::LTI, 10), I(Op::OPR, program::opr::Add), I(Op::JMT, 30)});
    EXPECT_EQ(notATest[0], Fused::None);
}

TEST(FusedSequences, StepsStoreIntoTheLocalTheyLoaded) {
    auto step = Classify({I(Op::LBP, 3), I(Op::OPR, program::opr::Increment), I(Op::SBP, 3)});
    EXPECT_EQ(step[0], Fused::LocalStep);
    auto elsewhere = Classify({I(Op::LBP, 3), I(Op::OPR, program::opr::Increment), I(Op::SBP, 4)});
    EXPECT_EQ(elsewhere[0], Fused::None);
}

TEST(FusedSequences, AStepThatJumpsToTheTestOfItsLocalRunsBoth) {
    // 0: the test of local 1; 6: the step of local 1 jumping back to it;
    // 10: a step of local 1 jumping to a test of another local.
    auto code = Classify({I(Op::LBP, 1),  I(Op::PSH),
                          I(Op::LTI, 10), I(Op::OPR, program::opr::Less),
                          I(Op::JMF, 20), I(Op::NUM, 2),
                          I(Op::LBP, 1),  I(Op::OPR, program::opr::Increment),
                          I(Op::SBP, 1),  I(Op::JMP, 0),
                          I(Op::LBP, 1),  I(Op::OPR, program::opr::Increment),
                          I(Op::SBP, 1),  I(Op::JMP, 14),
                          I(Op::LBP, 2),  I(Op::PSH),
                          I(Op::LTI, 10), I(Op::OPR, program::opr::Less),
                          I(Op::JMF, 20), I(Op::EXT)});
    EXPECT_EQ(code[0], Fused::LocalTest);
    EXPECT_EQ(code[6], Fused::StepAndTest);
    EXPECT_EQ(code[10], Fused::LocalStep);
    EXPECT_EQ(code[14], Fused::LocalTest);
}

TEST(FusedSequences, OperatorsWithStoresLiteralsAndConstants) {
    auto code =
        Classify({I(Op::LBP, 0), I(Op::PBP, 1), I(Op::PSH), I(Op::LIT, 1), I(Op::OPR, program::opr::Multiply),
                  I(Op::OPR, program::opr::Add), I(Op::SBP, 0), I(Op::PAP, 0), I(Op::PSH, 2),
                  I(Op::OPR, program::opr::Less), I(Op::JMF, 40), I(Op::PSH, 1), I(Op::OPR, program::opr::Subtract)});
    EXPECT_EQ(code[0], Fused::LocalUpdate);  // s += i * 0.5
    EXPECT_EQ(code[1], Fused::None);
    EXPECT_EQ(code[2], Fused::LiteralOperate);
    EXPECT_EQ(code[4], Fused::None);  // * followed by another operator
    EXPECT_EQ(code[5], Fused::OperateStore);
    EXPECT_EQ(code[8], Fused::ConstantTest);
    EXPECT_EQ(code[11], Fused::ConstantOperate);
    // A power is left to the operator's own handler.
    auto power = Classify({I(Op::PSH, 2), I(Op::OPR, program::opr::Power)});
    EXPECT_EQ(power[0], Fused::None);
}

TEST(FusedSequences, ALocalUpdatedBySimpleOperandsStoresIntoItself) {
    using program::opr::Add;
    using program::opr::Multiply;
    using program::opr::Power;
    using program::opr::Subtract;
    // 0: s -= 3 then a marker and the jump back to 20; 5: t = t * a;
    // 9: u += v * 2 stored into another local; 15: a power inside.
    auto code = Classify({I(Op::LBP, 0),         I(Op::PSH, 3),        I(Op::OPR, Subtract),  I(Op::SBP, 0),
                          I(Op::NUM, 7),         I(Op::LBP, 1),        I(Op::PAP, 2),         I(Op::OPR, Multiply),
                          I(Op::SBP, 1),         I(Op::LBP, 2),        I(Op::PBP, 3),         I(Op::PSH, 2),
                          I(Op::OPR, Multiply),  I(Op::OPR, Add),      I(Op::SBP, 4),         I(Op::LBP, 2),
                          I(Op::PBP, 3),         I(Op::PSH, 2),        I(Op::OPR, Power),     I(Op::OPR, Add),
                          I(Op::SBP, 2),         I(Op::JMP, 0),        I(Op::EXT)});
    EXPECT_EQ(code[0], Fused::LocalUpdate);
    EXPECT_EQ(code[5], Fused::LocalUpdate);
    EXPECT_EQ(code[9], Fused::TwoLocals);
    EXPECT_EQ(code[15], Fused::TwoLocals);
    std::vector<ZuPCODE> program = {I(Op::LBP, 0), I(Op::PSH, 3), I(Op::OPR, Subtract), I(Op::SBP, 0), I(Op::NUM, 7),
                                    I(Op::JMP, 20), I(Op::LBP, 1), I(Op::PSH), I(Op::LIT, 4), I(Op::PAP, 2),
                                    I(Op::OPR, Multiply), I(Op::OPR, Add), I(Op::SBP, 1)};
    program.resize(program.size() + 10, I(Op::EXT));
    const run::FusedOperands first = run::DecodeFused(Fused::LocalUpdate, program, 0);
    EXPECT_EQ(first.x.kind, run::SimpleOperand::Constant);
    EXPECT_EQ(first.x.index, 3);
    EXPECT_EQ(first.inner, 0);
    EXPECT_EQ(first.outer, Subtract);
    EXPECT_EQ(first.whenTrue, 20);  // past the marker, along the jump
    const run::FusedOperands second = run::DecodeFused(Fused::LocalUpdate, program, 6);
    EXPECT_EQ(second.x.kind, run::SimpleOperand::Literal);
    EXPECT_EQ(second.x.index, 4);
    EXPECT_EQ(second.y.kind, run::SimpleOperand::Argument);
    EXPECT_EQ(second.y.index, 2);
    EXPECT_EQ(second.inner, Multiply);
    EXPECT_EQ(second.outer, Add);
    EXPECT_EQ(second.whenTrue, 13);
}

TEST(FusedSequences, TestsKnowWhereEachResultLeads) {
    using program::opr::Less;
    // 0: while (i < 10) with JMF to 20 after a marker; 6: the step of i
    // jumping back to it.
    std::vector<ZuPCODE> program = {I(Op::LBP, 1),  I(Op::PSH),     I(Op::LTI, 10),
                                    I(Op::OPR, Less), I(Op::NUM, 4), I(Op::JMF, 20),
                                    I(Op::LBP, 1),  I(Op::OPR, program::opr::Decrement), I(Op::SBP, 1),
                                    I(Op::JMP, 0)};
    program.resize(program.size() + 10, I(Op::EXT));
    const auto test = run::DecodeFused(Fused::LocalTest, program, 0);
    EXPECT_EQ(test.constant, 10);
    EXPECT_EQ(test.whenTrue, 6);
    EXPECT_EQ(test.whenFalse, 20);
    const auto step = run::DecodeFused(Fused::StepAndTest, program, 6);
    EXPECT_EQ(step.step, -1);
    EXPECT_EQ(step.constant, 10);
    EXPECT_EQ(step.whenTrue, 6);
    EXPECT_EQ(step.whenFalse, 20);
}

TEST(FusedSequences, PairsOfPushesAndStoresThatEndAStatement) {
    std::vector<ZuPCODE> program = {I(Op::PBP, 0), I(Op::PAP, 1), I(Op::CAL, 2), I(Op::SBP, 0), I(Op::NUM, 8),
                                    I(Op::JMP, 0), I(Op::PAP, 0), I(Op::PSH, 1), I(Op::SBP, 2), I(Op::PBP, 1),
                                    I(Op::SBP, 3), I(Op::NUM, 9), I(Op::LTI, 1)};
    program.resize(program.size() + 8, I(Op::EXT));
    const std::vector<Fused> code = run::FindFusedSequences(program);
    EXPECT_EQ(code[0], Fused::TwoPushes);
    EXPECT_EQ(code[1], Fused::None);  // a push and a call
    EXPECT_EQ(code[3], Fused::StoreLocal);
    EXPECT_EQ(code[6], Fused::None);  // a push and a constant
    EXPECT_EQ(code[8], Fused::None);  // a store in the middle of a statement
    EXPECT_EQ(code[10], Fused::StoreLocal);
    const run::FusedOperands pushes = run::DecodeFused(Fused::TwoPushes, program, 0);
    EXPECT_EQ(pushes.x.kind, run::SimpleOperand::Local);
    EXPECT_EQ(pushes.x.index, 0);
    EXPECT_EQ(pushes.y.kind, run::SimpleOperand::Argument);
    EXPECT_EQ(pushes.y.index, 1);
    EXPECT_EQ(run::DecodeFused(Fused::StoreLocal, program, 3).whenTrue, 0);   // along the jump
    EXPECT_EQ(run::DecodeFused(Fused::StoreLocal, program, 10).whenTrue, 12);  // past the marker
}

TEST(FusedSequences, AnOperatorOnTwoPushedOperands) {
    using program::opr::Add;
    using program::opr::Less;
    std::vector<ZuPCODE> program = {I(Op::PAP, 0), I(Op::PBP, 1), I(Op::OPR, Add), I(Op::RET, 1),
                                    I(Op::PBP, 0), I(Op::PBP, 1), I(Op::OPR, Less), I(Op::RET, 1)};
    program.resize(program.size() + 8, I(Op::EXT));
    const std::vector<Fused> code = run::FindFusedSequences(program);
    EXPECT_EQ(code[0], Fused::TwoOperate);
    EXPECT_EQ(run::FusedVariant(Fused::TwoOperate, program, 0), run::ArithmeticVariant(Add));
    const run::FusedOperands d = run::DecodeFused(Fused::TwoOperate, program, 0);
    EXPECT_EQ(d.x.kind, run::SimpleOperand::Argument);
    EXPECT_EQ(d.y.kind, run::SimpleOperand::Local);
    EXPECT_EQ(d.y.index, 1);
    EXPECT_EQ(code[4], Fused::TwoPushes);  // a comparison is not among the fused operators
}

// fib(n) { return n < 2 ? n : fib(n - 1) + fib(n - 2); }: the argument
// tested against 2, the argument with 1 and 2 taken off, the second fib
// pushed; a local works as the argument does.
TEST(FusedSequences, AnOperandWithASmallIntAndAGlobalPushed) {
    using program::opr::Add;
    using program::opr::Less;
    using program::opr::Subtract;
    std::vector<ZuPCODE> program = {I(Op::PAP, 0),      I(Op::PSH, 2),  I(Op::OPR, Less),     I(Op::NUM, 3),
                                    I(Op::JMF, 8),      I(Op::LAP, 0),  I(Op::JMP, 19),       I(Op::EXT),
                                    I(Op::LOD, 0),      I(Op::PAP, 0),  I(Op::PSH, 1),        I(Op::OPR, Subtract),
                                    I(Op::CAL, 1),      I(Op::PSH, 0),  I(Op::LOD, 0),        I(Op::PBP, 1),
                                    I(Op::PSH, 2),      I(Op::OPR, Subtract), I(Op::CAL, 1),  I(Op::OPR, Add),
                                    I(Op::PAP, 0),      I(Op::PSH, 2),  I(Op::OPR, Less),     I(Op::SBP, 0)};
    program.resize(program.size() + 8, I(Op::EXT));
    const std::vector<Fused> code = run::FindFusedSequences(program);
    EXPECT_EQ(code[0], Fused::OperandConstantTest);
    EXPECT_EQ(run::FusedVariant(Fused::OperandConstantTest, program, 0), run::ComparisonVariant(Less));
    const run::FusedOperands test = run::DecodeFused(Fused::OperandConstantTest, program, 0);
    EXPECT_EQ(test.x.kind, run::SimpleOperand::Argument);
    EXPECT_EQ(test.constant, 2);
    EXPECT_EQ(test.whenTrue, 5);  // past the marker
    EXPECT_EQ(test.whenFalse, 8);
    EXPECT_EQ(code[9], Fused::OperandConstantOperate);
    EXPECT_EQ(run::FusedVariant(Fused::OperandConstantOperate, program, 9), run::ArithmeticVariant(Subtract));
    EXPECT_EQ(code[13], Fused::PushGlobal);
    EXPECT_EQ(code[15], Fused::OperandConstantOperate);
    const run::FusedOperands local = run::DecodeFused(Fused::OperandConstantOperate, program, 15);
    EXPECT_EQ(local.x.kind, run::SimpleOperand::Local);
    EXPECT_EQ(local.x.index, 1);
    EXPECT_EQ(local.constant, 2);
    // A comparison whose result is stored, not jumped on, is a value.
    EXPECT_EQ(code[20], Fused::None);
}

TEST(FusedSequences, CallsOfAGlobalWithUpToTwoSimpleArguments) {
    std::vector<ZuPCODE> program = {I(Op::LOD, 3), I(Op::PBP, 0), I(Op::PAP, 1), I(Op::CAL, 2),  // 0: f(a, b)
                                    I(Op::LOD, 4), I(Op::CAL, 0),                                 // 4: g()
                                    I(Op::PSH, 0), I(Op::LOD, 3), I(Op::PAP, 2), I(Op::CAL, 1),  // 6: ... + f(c)
                                    I(Op::LOD, 3), I(Op::PBP, 0), I(Op::PSH, 1), I(Op::CAL, 2),  // 10: f(a, 1)
                                    I(Op::LOD, 3), I(Op::PBP, 0), I(Op::CAL, 2),                 // 14: count differs
                                    I(Op::LOD, 3), I(Op::PBP, 0), I(Op::PBP, 1), I(Op::PBP, 2), I(Op::CAL, 3)};
    program.resize(program.size() + 8, I(Op::EXT));
    const std::vector<Fused> code = run::FindFusedSequences(program);
    EXPECT_EQ(code[0], Fused::CallGlobal);
    const run::FusedOperands two = run::DecodeFused(Fused::CallGlobal, program, 0);
    EXPECT_EQ(two.count, 2);
    EXPECT_EQ(two.x.kind, run::SimpleOperand::Local);
    EXPECT_EQ(two.y.kind, run::SimpleOperand::Argument);
    EXPECT_EQ(two.y.index, 1);
    EXPECT_EQ(code[1], Fused::TwoPushes);  // a jump to the arguments still finds them
    EXPECT_EQ(code[4], Fused::CallGlobal);
    EXPECT_EQ(run::DecodeFused(Fused::CallGlobal, program, 4).count, 0);
    // The push before a global call leaves the call its own step.
    EXPECT_EQ(code[6], Fused::None);
    EXPECT_EQ(code[7], Fused::CallGlobal);
    EXPECT_EQ(run::DecodeFused(Fused::CallGlobal, program, 7).x.index, 2);
    // A constant argument, a count that does not match, three arguments.
    EXPECT_EQ(code[10], Fused::None);
    EXPECT_EQ(code[14], Fused::None);
    EXPECT_EQ(code[17], Fused::None);
}

TEST(FusedSequences, ElementsReadAndTargetedByTwoSimpleIndices) {
    using program::opr::Add;
    std::vector<ZuPCODE> program = {
        I(Op::LBP, 4), I(Op::PBP, 0), I(Op::XRS, 0), I(Op::PBP, 2), I(Op::XLD), I(Op::PAP, 1), I(Op::XLD),  // 0: s + m[i][j]
        I(Op::OPR, Add), I(Op::SBP, 4),                                                                     // 7
        I(Op::LAP, 0), I(Op::XRS, 1), I(Op::PBP, 2), I(Op::XLD), I(Op::PBP, 3), I(Op::PSH, 1), I(Op::XST),  // 9: m[i][j] = 1
        I(Op::PBP, 0), I(Op::XRS, 0), I(Op::PBP, 2), I(Op::XLD), I(Op::PBP, 3), I(Op::SBP, 5),             // 16: no second XLD
        I(Op::PBP, 0), I(Op::XRS, 0), I(Op::PSH, 2), I(Op::XLD), I(Op::PBP, 3), I(Op::XLD),                // 22: m[2][j]
        I(Op::PBP, 0), I(Op::XRS, 0), I(Op::PSH, 0), I(Op::LIT, 1), I(Op::XLD), I(Op::PBP, 3), I(Op::XLD)};  // 28: a literal
    program.resize(program.size() + 8, I(Op::EXT));
    const std::vector<Fused> code = run::FindFusedSequences(program);
    // The load before the read is left alone, so that the read is one step.
    EXPECT_EQ(code[0], Fused::None);
    EXPECT_EQ(code[1], Fused::ElementLoad);
    const run::FusedOperands read = run::DecodeFused(Fused::ElementLoad, program, 1);
    EXPECT_EQ(read.step, 1);  // pushed
    EXPECT_EQ(read.x.kind, run::SimpleOperand::Local);
    EXPECT_EQ(read.x.index, 0);
    EXPECT_EQ(read.y.index, 2);
    EXPECT_EQ(read.z.kind, run::SimpleOperand::Argument);
    EXPECT_EQ(read.z.index, 1);
    EXPECT_EQ(code[9], Fused::ElementTarget);
    const run::FusedOperands target = run::DecodeFused(Fused::ElementTarget, program, 9);
    EXPECT_EQ(target.step, 0);  // loaded into the top
    EXPECT_EQ(target.x.kind, run::SimpleOperand::Argument);
    EXPECT_EQ(target.z.index, 3);
    EXPECT_EQ(code[16], Fused::None);
    EXPECT_EQ(code[22], Fused::ElementLoad);
    const run::FusedOperands constant = run::DecodeFused(Fused::ElementLoad, program, 22);
    EXPECT_EQ(constant.y.kind, run::SimpleOperand::Constant);
    EXPECT_EQ(constant.y.index, 2);
    EXPECT_EQ(code[28], Fused::None);  // a literal index may be anything
}

TEST(FusedSequences, ASingleElementReadOnlyWhereItsValueIsUsedAtOnce) {
    using program::opr::Add;
    using program::opr::Greater;
    std::vector<ZuPCODE> program = {
        I(Op::PBP, 0), I(Op::XRS, 0), I(Op::PBP, 2), I(Op::XLD), I(Op::OPR, Add),                   // 0: ... + x[i]
        I(Op::LAP, 1), I(Op::XRS, 0), I(Op::PAP, 2), I(Op::XLD), I(Op::PSH, 2), I(Op::OPR, Greater),  // 5: x[i] > 2
        I(Op::PBP, 0), I(Op::XRS, 0), I(Op::PBP, 2), I(Op::XLD), I(Op::SBP, 4),                     // 11: v = x[i]
        I(Op::PBP, 0), I(Op::XRS, 0), I(Op::PBP, 2), I(Op::XLD), I(Op::PBP, 3), I(Op::PSH, 1),      // 16: m[i][j - 1]
        I(Op::OPR, program::opr::Subtract), I(Op::XLD),
        I(Op::PBP, 0), I(Op::XRS, 0), I(Op::PBP, 2), I(Op::XLD), I(Op::CAL, 1)};                    // 24: f(x[i])
    program.resize(program.size() + 8, I(Op::EXT));
    const std::vector<Fused> code = run::FindFusedSequences(program);
    EXPECT_EQ(code[0], Fused::VectorLoad);
    EXPECT_EQ(run::DecodeFused(Fused::VectorLoad, program, 0).y.index, 2);
    EXPECT_EQ(code[5], Fused::VectorLoad);
    const run::FusedOperands argument = run::DecodeFused(Fused::VectorLoad, program, 5);
    EXPECT_EQ(argument.step, 0);
    EXPECT_EQ(argument.x.kind, run::SimpleOperand::Argument);
    EXPECT_EQ(argument.y.kind, run::SimpleOperand::Argument);
    EXPECT_EQ(code[11], Fused::VectorLoad);
    // The row stays pending for its column, and for what a call makes of it.
    EXPECT_EQ(code[16], Fused::None);
    EXPECT_EQ(code[24], Fused::None);
}

TEST(FusedSequences, FunctionEntriesAndReturnsAfterTheirMarker) {
    auto code = Classify({I(Op::ELF, 0), I(Op::NUM, 3), I(Op::INT, 2), I(Op::PAP, 0), I(Op::NUM, 3), I(Op::RET, 1),
                          I(Op::ELF, 0), I(Op::INT, 0)});
    EXPECT_EQ(code[0], Fused::FunctionEntry);
    EXPECT_EQ(code[4], Fused::MarkerReturn);
    EXPECT_EQ(code[6], Fused::None);  // no marker between ELF and INT
}

TEST(FusedSequences, NoSequenceStartsTooCloseToTheEndOfTheCode) {
    const std::vector<ZuPCODE> code = {I(Op::LBP, 0), I(Op::PBP, 1)};
    for (Fused f : run::FindFusedSequences(code)) EXPECT_EQ(f, Fused::None);
}

class FusedTranslation : public EngineTest {};

// The loop keeps a translation of the code between runs; a change made
// through the code buffer must reach the next run.
TEST_F(FusedTranslation, FollowsAChangeOfTheCodeBetweenRuns) {
    // i = 0; while (i < 5) ++i;  then EXT at s + 12.
    const int s = kStart;
    loadCode({I(Op::PSH, 0), I(Op::LTI, 0), I(Op::SBP, 0), I(Op::LBP, 0), I(Op::PSH, 0), I(Op::LTI, 5),
              I(Op::OPR, program::opr::Less), I(Op::JMF, s + 12), I(Op::LBP, 0), I(Op::OPR, program::opr::Increment),
              I(Op::SBP, 0), I(Op::JMP, s + 3), I(Op::EXT), I(Op::EXT), I(Op::EXT), I(Op::EXT), I(Op::EXT),
              I(Op::EXT)});
    *vm.base = ZuVALUE{};
    vm.base->t = ZU_INT;  // the local i
    vm.bp = vm.base;
    vm.sp = vm.base;
    ASSERT_TRUE(runCode());
    EXPECT_EQ(vm.base[0].w1.i, 5);
    EXPECT_EQ(vm.cp, s + 12);

    // The loop test becomes an EXT: the run must stop there at once.  A
    // stale translation would still run the fused test and jump to s + 12.
    int count = 0;
    ZuPCODE* code = PZuGetPcode(&count);
    ASSERT_GT(count, s + 12);
    code[s + 3] = I(Op::EXT);
    vm.cp = s + 3;
    vm.sp = vm.base + 1;
    ASSERT_TRUE(runCode());
    EXPECT_EQ(vm.cp, s + 3);
}

}  // namespace
}  // namespace zu::test
