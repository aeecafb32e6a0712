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
    EXPECT_EQ(code[0], Fused::TwoLocals);
    EXPECT_EQ(code[2], Fused::LiteralOperate);
    EXPECT_EQ(code[4], Fused::None);  // * followed by another operator
    EXPECT_EQ(code[5], Fused::OperateStore);
    EXPECT_EQ(code[8], Fused::ConstantTest);
    EXPECT_EQ(code[11], Fused::ConstantOperate);
    // A power is left to the operator's own handler.
    auto power = Classify({I(Op::PSH, 2), I(Op::OPR, program::opr::Power)});
    EXPECT_EQ(power[0], Fused::None);
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
