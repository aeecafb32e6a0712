// Instructions run from hand-made code: stack effects, the truth test,
// subroutine jumps, new of built-in types, statement lines and the
// guarded run's stack check.
#include "engine_fixture.h"

#include "value/value.h"

using zu::program::Op;
using zu::run::vm;

namespace zu::test {
namespace {

class Instructions : public EngineTest {};

TEST_F(Instructions, DupCopiesTheTopEntriesInOrderAndIgnoresCountsBelowOne) {
    loadCode({ins(Op::PSH, 1), ins(Op::PSH, 2), ins(Op::DUP, 2), ins(Op::DUP, 0), ins(Op::DUP, -3)});
    ASSERT_TRUE(runCode());
    ASSERT_EQ(vm.sp - vm.base, 3);
    EXPECT_EQ(vm.base[0].w1.i, 1);
    EXPECT_EQ(vm.base[1].w1.i, 2);
    EXPECT_EQ(vm.base[2].w1.i, 1);
    EXPECT_EQ(vm.base[3].w1.i, 2);
}

TEST_F(Instructions, JumpsTestTheTopWithoutPoppingIt) {
    // An empty matrix is false: JMF jumps over PSH 7.  A matrix holding a
    // zero is false too: JMT falls through to PSH 9.
    int emptyIndex = 0, mixedIndex = 0;
    const int s = kStart;
    loadCode({ins(Op::PSH, 0), ins(Op::LIT, 0), ins(Op::JMF, s + 4), ins(Op::PSH, 7), ins(Op::LIT, 1),
              ins(Op::JMT, s + 7), ins(Op::PSH, 9)},
             [&] {
                 ZuVALUE empty{};
                 empty.t = ZU_MATRIX;
                 emptyIndex = program::literalTable().add(empty);
                 ZuVALUE mixed{};
                 ASSERT_TRUE(value::TrySetMatrix(&mixed, 1, 2));
                 mixed.w3.m[0][0] = 1;
                 mixed.w3.m[0][1] = 0;
                 mixedIndex = program::literalTable().add(mixed);
             });
    ASSERT_EQ(emptyIndex, 0);
    ASSERT_EQ(mixedIndex, 1);
    ASSERT_TRUE(runCode());
    ASSERT_EQ(vm.sp - vm.base, 1);
    EXPECT_EQ(vm.base[0].t & ZU_TYPE_MASK, ZU_MATRIX);
    EXPECT_EQ(vm.base[1].w1.i, 9);
}

TEST_F(Instructions, LipAndJstMakeASubroutineJump) {
    // PSH 0, LIP +2 (the return address s + 3), JMP to the subroutine;
    // back there the code pushes 5.  The subroutine pushes 4 and jumps back
    // through the marked entry one below the top.
    const int s = kStart;
    loadCode({ins(Op::PSH, 0), ins(Op::LIP, 2), ins(Op::JMP, s + 6), ins(Op::PSH, 5), ins(Op::EXT), ins(Op::EXT),
              ins(Op::PSH, 4), ins(Op::JST, -1)});
    ASSERT_TRUE(runCode());
    ASSERT_EQ(vm.sp - vm.base, 2);
    EXPECT_EQ(vm.base[0].t, ZU_INT | ZU_FLAG_NUL);
    EXPECT_EQ(vm.base[0].w1.i, s + 3);
    EXPECT_EQ(vm.base[1].w1.i, 4);
    EXPECT_EQ(vm.base[2].w1.i, 5);
}

TEST_F(Instructions, JstRefusesAnEntryWithoutTheAddressMark) {
    loadCode({ins(Op::PSH, 3), ins(Op::JST, 0)});
    EXPECT_FALSE(runCode());
    EXPECT_TRUE(sawRunMessage("Runtime error: invalid address for jump"));
}

TEST_F(Instructions, NewOfBuiltInTypes) {
    loadCode({ins(Op::PSH, 0), ins(Op::PSH, 2), ins(Op::PSH, 3), ins(Op::NTP, 3), ins(Op::PSH, 0), ins(Op::PSH, 4),
              ins(Op::NTP, 4), ins(Op::PSH, 0), ins(Op::PSH, 2), ins(Op::PSH, 1), ins(Op::NTP, 512)});
    ASSERT_TRUE(runCode());
    ASSERT_EQ(vm.sp - vm.base, 2);
    const ZuVALUE& m = vm.base[0];
    EXPECT_EQ(m.t & ZU_TYPE_MASK, ZU_MATRIX);
    EXPECT_EQ(m.w1.i, 2);
    EXPECT_EQ(m.w2.i, 3);
    EXPECT_EQ(m.w3.m[1][2], 0.0);
    const ZuVALUE& s = vm.base[1];
    EXPECT_EQ(s.t & ZU_TYPE_MASK, ZU_STRING);
    EXPECT_EQ(s.w1.i, 4);
    EXPECT_EQ(s.w2.s[3], '\0');
    const ZuVALUE& a = vm.base[2];
    ASSERT_EQ(a.t & ZU_TYPE_MASK, ZU_ARRAY);
    ASSERT_EQ(a.w1.i, 2);
    EXPECT_EQ(a.w2.v[1].t & ZU_TYPE_MASK, ZU_ARRAY);
    EXPECT_EQ(a.w2.v[1].w1.i, 1);
    EXPECT_TRUE(a.w2.v[1].w2.v[0].t & ZU_FLAG_NUL);
}

TEST_F(Instructions, NewWithANegativeDimensionStops) {
    loadCode({ins(Op::PSH, 0), ins(Op::PSH, -1), ins(Op::NTP, 5)});
    EXPECT_FALSE(runCode());
    EXPECT_TRUE(sawRunMessage("Runtime error: 'new' negative dimension"));
}

TEST_F(Instructions, XmvOnANonArrayAllowsOnlyElementZero) {
    loadCode({ins(Op::PSH, 8), ins(Op::XMV, 0)});
    ASSERT_TRUE(runCode());
    EXPECT_EQ(vm.sp->w1.i, 8);
    loadCode({ins(Op::PSH, 8), ins(Op::XMV, 1)});
    EXPECT_FALSE(runCode());
    ASSERT_FALSE(engineCapture().runMessages.empty());
    EXPECT_EQ(engineCapture().runMessages.back(), "Runtime error: '[1] in int' index out of range");
}

TEST_F(Instructions, OpcodesAboveTheSetAreSkipped) {
    loadCode({ins(Op::PSH, 1), ZuPCODE{123, 0}, ZuPCODE{200, 5}, ins(Op::PSH, 2)});
    ASSERT_TRUE(runCode());
    EXPECT_EQ(vm.sp - vm.base, 1);
}

TEST_F(Instructions, AStackThatEndsElsewhereIsAStackError) {
    loadCode({ins(Op::PSH, 1), ins(Op::PSH, 2)});
    EXPECT_FALSE(runCode(vm.base));
    EXPECT_TRUE(sawRunMessage("IE: Stack error"));
    EXPECT_EQ(vm.sp, vm.base);
    EXPECT_EQ(ZuGetRuntimeError(), 1);
}

TEST_F(Instructions, PushesBeyondTheSpareEntriesStopWithStackOverflow) {
    std::vector<ZuPCODE> code(static_cast<std::size_t>(run::kDefaultStackSize + run::kSpareEntries) + 10,
                              ins(Op::PSH, 1));
    loadCode(code);
    EXPECT_FALSE(runCode());
    EXPECT_TRUE(sawRunMessage("Runtime error: stack overflow"));
}

TEST_F(Instructions, LineOfAnAddressComesFromTheNextMarker) {
    int start = loadCode({ins(Op::PSH, 1), ins(Op::NUM, 12), ins(Op::PSH, 2), ins(Op::NUM, ~30), ins(Op::NUM, 0)});
    EXPECT_EQ(ZuRunGetPcodeLine(start), 12);
    EXPECT_EQ(ZuRunGetPcodeLine(start + 2), 30);  // a breakpoint keeps its line
    EXPECT_EQ(ZuRunGetPcodeLine(start + 4), -1);  // line 0 is no line
    EXPECT_EQ(ZuRunGetPcodeLine(start + 5), -1);  // EXT comes first
    EXPECT_EQ(ZuRunGetPcodeLine(1 << 30), -1);
    char buffer[12];
    EXPECT_STREQ(ZuRunPrintLineNo(buffer, start), "12");
    EXPECT_STREQ(ZuRunPrintLineNo(buffer, start + 4), "");
}

}  // namespace
}  // namespace zu::test
