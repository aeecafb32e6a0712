// The emitter's rewrites and jump chains, driven instruction by
// instruction, and the same rewrites as they come out of source text.
#include "parse_fixture.h"

#include "program/tokens.h"

#include <climits>

using namespace zu::compiler;
using zu::program::code;
using zu::program::Op;
namespace tok = zu::program::tok;
using zu::test::ParseTest;

namespace {

class EmitterTest : public ParseTest {
protected:
    void SetUp() override {
        ParseTest::SetUp();
        ResetState();
    }
    std::vector<std::string> tail(std::size_t n) const {
        auto all = listing();
        return {all.end() - static_cast<long>(std::min(n, all.size())), all.end()};
    }
};

TEST_F(EmitterTest, LoadsAfterPushAreFolded) {
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LAP), 2);
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LBP), 1);
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LTI), 7);
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LOD), 3);
    EXPECT_EQ(listing(), (std::vector<std::string>{"PAP 2", "PBP 1", "PSH 7", "PSH 0", "LOD 3"}));
}

TEST_F(EmitterTest, NoFoldingInTestsOrAcrossJumpTargets) {
    Emit(code(Op::PSH), 0);
    State().testDepth = 1;
    Emit(code(Op::LAP), 2);
    State().testDepth = 0;
    Emit(code(Op::PSH), 0);
    Target();
    Emit(code(Op::LBP), 1);
    EXPECT_EQ(listing(), (std::vector<std::string>{"PSH 0", "LAP 2", "PSH 0", "LBP 1"}));
}

TEST_F(EmitterTest, UnaryMinusNegatesConstants) {
    Emit(code(Op::PSH), 3);
    Emit(code(Op::OPR), tok::UnaryMinus);
    Emit(code(Op::SBP), 0);
    Emit(code(Op::LTI), 5);
    Emit(code(Op::OPR), tok::UnaryMinus);
    Emit(code(Op::LTI), INT_MIN);
    Emit(code(Op::OPR), tok::UnaryMinus);
    Emit(code(Op::LBP), 0);
    Emit(code(Op::OPR), tok::UnaryMinus);
    EXPECT_EQ(listing(), (std::vector<std::string>{"PSH -3", "SBP 0", "LTI -5", "LTI " + std::to_string(INT_MIN),
                                                   "OPR 116", "LBP 0", "OPR 116"}));
}

TEST_F(EmitterTest, ProductWithTransposedRightOperand) {
    Emit(code(Op::LBP), 0);
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LBP), 1);
    Emit(code(Op::OPR), tok::Quote);
    Emit(code(Op::OPR), tok::Star);
    EXPECT_EQ(listing(), (std::vector<std::string>{"LBP 0", "PBP 1", "OPR 163"}));
}

TEST_F(EmitterTest, CrossProductOfOneVariable) {
    // Folded right load.
    Emit(code(Op::LAP), 1);
    Emit(code(Op::OPR), tok::Quote);
    Emit(code(Op::PAP), 1);
    Emit(code(Op::OPR), tok::Star);
    // A global with member loads, right load not folded.
    Emit(code(Op::LOD), 4);
    Emit(code(Op::LMP), 2);
    Emit(code(Op::OPR), tok::Quote);
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LOD), 4);
    Emit(code(Op::LMP), 2);
    Emit(code(Op::OPR), tok::Star);
    EXPECT_EQ(listing(), (std::vector<std::string>{"LAP 1", "OPR 122", "LOD 4", "LMP 2", "OPR 122"}));
}

TEST_F(EmitterTest, ProductsThatStay) {
    // Two different variables, and different members of one variable.
    Emit(code(Op::LAP), 1);
    Emit(code(Op::OPR), tok::Quote);
    Emit(code(Op::PAP), 2);
    Emit(code(Op::OPR), tok::Star);
    Emit(code(Op::LAP), 0);
    Emit(code(Op::LMP), 1);
    Emit(code(Op::OPR), tok::Quote);
    Emit(code(Op::PAP), 0);
    Emit(code(Op::LMP), 2);
    Emit(code(Op::OPR), tok::Star);
    EXPECT_EQ(tail(2), (std::vector<std::string>{"LMP 2", "OPR 91"}));
    EXPECT_TRUE(contains("OPR 115"));
    // Optimisation off: no rewrite at all.
    State().optimize = false;
    Emit(code(Op::LBP), 0);
    Emit(code(Op::PSH), 0);
    Emit(code(Op::LBP), 1);
    Emit(code(Op::OPR), tok::Quote);
    Emit(code(Op::OPR), tok::Star);
    EXPECT_EQ(tail(3), (std::vector<std::string>{"PBP 1", "OPR 115", "OPR 91"}));
}

TEST_F(EmitterTest, ForwardChainsArePatched) {
    int chain = EmitChained(code(Op::JMP), 0);
    chain = EmitChained(code(Op::JMF), chain);
    Emit(code(Op::LTI), 1);
    PatchHere(chain);
    Emit(code(Op::EXT));
    const auto c = emitted();
    EXPECT_EQ(c[0].arg, 5);
    EXPECT_EQ(c[1].arg, 5);
}

TEST_F(EmitterTest, JumpToTheNextInstructionIsDropped) {
    int jump = EmitChained(code(Op::JMP), 0);
    PatchOrDropJump(jump);
    EXPECT_TRUE(emitted().empty());
    jump = EmitChained(code(Op::JMP), 0);
    Emit(code(Op::NUM), 4);
    PatchOrDropJump(jump);
    EXPECT_EQ(listing(), (std::vector<std::string>{"NUM 4"}));
    jump = EmitChained(code(Op::JMP), 0);
    Emit(code(Op::LTI), 1);
    PatchOrDropJump(jump);
    EXPECT_EQ(tail(2), (std::vector<std::string>{"JMP 5", "LTI 1"}));
}

TEST_F(EmitterTest, LineMarkersShareOneInstruction) {
    State().lineNumbers = true;
    LineMarker();
    LineMarker();
    Emit(code(Op::LTI), 1);
    LineMarker(true);  // same line before a jump: nothing
    EXPECT_EQ(listing().size(), 2u);
    EXPECT_EQ(emitted()[0].op, code(Op::NUM));
}

// The same rewrites from source text.
TEST_F(ParseTest, RewritesFromSource) {
    ASSERT_EQ(compile("f(a, b) { decl x; x = a' * a; x = a * b'; x = a' * b; x = -3; }"), 0);
    EXPECT_TRUE(contains("OPR 122"));
    EXPECT_TRUE(contains("OPR 163"));
    EXPECT_TRUE(contains("LTI -3"));
    EXPECT_FALSE(contains("OPR 116"));
}

TEST_F(ParseTest, RewritesSwitchedOff) {
    ZuParseOptimization(0);
    ASSERT_EQ(compile("extern sqrt(x); f(a, b) { decl x; x = a' * a; x = a * b'; x = sqrt(a); }"), 0);
    EXPECT_FALSE(contains("OPR 122"));
    EXPECT_FALSE(contains("OPR 163"));
    EXPECT_TRUE(contains("CAL 1"));
    EXPECT_FALSE(contains("FNI 156"));
}

TEST_F(ParseTest, FastFunctionsTakeTheCallSlot) {
    ASSERT_EQ(compile("sqrt(x); rows(x); mysqrt(x); f(a) { return sqrt(a) + rows(a) + mysqrt(a); }"), 0);
    EXPECT_TRUE(contains("FNI 156"));
    EXPECT_TRUE(contains("FNI 152"));
    EXPECT_TRUE(contains("CAL 1"));
}

}  // namespace
