// The literal table and the code buffer: sharing, growth, roll-back.
#include "program/code_buffer.h"
#include "program/literals.h"
#include "symbols/fault_log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

using namespace zu::program;
using namespace std::string_literals;
using zu::test::ScopedFaultLog;

namespace {

class LiteralTableTest : public ::testing::Test {
protected:
    void SetUp() override { literals.open(); }
    void TearDown() override { literals.close(); }

    LiteralTable& literals = literalTable();
    ScopedFaultLog faults;
};

TEST_F(LiteralTableTest, StringsAreSharedByLengthAndBytes) {
    const int ab = literals.addString("ab");
    EXPECT_EQ(literals.addString("ab"), ab);
    const int abNul = literals.addString("ab\0"s);
    EXPECT_NE(abNul, ab);
    EXPECT_EQ(literals.addString("ab\0"s), abNul);
    EXPECT_NE(literals.addString("a"), ab);
    const int empty = literals.addString("");
    EXPECT_EQ(literals.addString(""), empty);
    EXPECT_EQ(literals.count(), 4);

    const ZuVALUE& v = literals[abNul];
    EXPECT_EQ(v.t, ZU_STRING | ZU_FLAG_CON);
    EXPECT_EQ(v.w1.i, 3);
    EXPECT_EQ(std::memcmp(v.w2.s, "ab\0", 4), 0);
    EXPECT_EQ(literals[empty].w2.s, nullptr);
}

TEST_F(LiteralTableTest, NumbersAreNeverShared) {
    const int a = literals.addInt(5);
    const int b = literals.addInt(5);
    const int c = literals.addDouble(2.5);
    const int d = literals.addDouble(2.5);
    EXPECT_NE(a, b);
    EXPECT_NE(c, d);
    EXPECT_EQ(literals[b].t, ZU_INT);
    EXPECT_EQ(literals[b].w1.i, 5);
    EXPECT_EQ(literals[d].w1.d, 2.5);
}

TEST_F(LiteralTableTest, ImportNamesIgnoreCase) {
    const int lib = literals.addImport("Packages/Arma", false, false);
    EXPECT_EQ(literals[lib].t, ZU_IMPORTNAME);
    EXPECT_EQ(literals[lib].w2.i, 0);
    EXPECT_EQ(literals.addImport("packages/ARMA", true, false), lib);
    EXPECT_EQ(literals[lib].w2.i, 1);
    EXPECT_STREQ(literals[lib].w1.s, "Packages/Arma");
    EXPECT_NE(literals.addImport("packages/arma2", false, true), lib);
    // Strings and import names do not find each other.
    EXPECT_EQ(literals.findString("Packages/Arma"), -1);
    EXPECT_EQ(literals.findImport("nothing"), -1);
}

TEST_F(LiteralTableTest, GrowsAndRollsBack) {
    EXPECT_EQ(literals.capacity(), kInitialLiterals);
    for (int i = 0; i < 600; ++i) literals.addString("s" + std::to_string(i));
    EXPECT_EQ(literals.count(), 600);
    EXPECT_EQ(literals.capacity(), 750);
    EXPECT_EQ(literals.addString("s0"), 0);
    EXPECT_EQ(literals.addString("s599"), 599);

    // Room for a file's literals grows by what is needed when that is more.
    literals.reserve(1000);
    EXPECT_EQ(literals.capacity(), 1600);

    literals.setCount(100);  // frees the rolled-back strings
    EXPECT_EQ(literals.count(), 100);
    EXPECT_EQ(literals[100].t, 0);
    EXPECT_EQ(literals.findString("s150"), -1);

    ZuFreeLiteralValues();
    EXPECT_EQ(ZuGetLitStackCount(), 0);
    EXPECT_EQ(ZuGetLitStack(), literals.values());
    EXPECT_TRUE(faults.entries().empty());
}

TEST_F(LiteralTableTest, BoundedGrowthIsFatal) {
    EXPECT_THROW(literals.reserve(kMaxLiterals + 1), TableFull);
    ASSERT_EQ(faults.entries().size(), 1u);
    EXPECT_EQ(faults.entries()[0].first, TableFault::ConstantBufferFull);
    EXPECT_EQ(literals.capacity(), kInitialLiterals);
}

TEST(CodeBufferTest, GrowsKeepsCodeAndRollsBack) {
    ScopedFaultLog faults;
    CodeBuffer code;
    code.open();
    for (int i = 0; i < 1300; ++i) EXPECT_EQ(code.append(80, i), i);
    EXPECT_EQ(code.size(), 1300);
    EXPECT_EQ(code[0].op, 80);
    EXPECT_EQ(code[1299].arg, 1299);
    EXPECT_EQ(code.code().size(), 1300u);

    code.reserve(20000);  // more than one step: grows by what is needed
    code.setSize(1301);   // takes one instruction of the reserved room
    EXPECT_EQ(code.size(), 1301);
    EXPECT_EQ(code[1300].op, 0);

    code.setSize(2);  // a rolled-back insertion leaves no stale code
    EXPECT_EQ(code.append(74, 9), 2);
    code.setSize(4);
    EXPECT_EQ(code[3].op, 0);
    EXPECT_EQ(code[3].arg, 0);

    EXPECT_THROW(code.reserve(kMaxCode), TableFull);
    ASSERT_EQ(faults.entries().size(), 1u);
    EXPECT_EQ(faults.entries()[0].first, TableFault::CodeBufferFull);
    EXPECT_EQ(code.size(), 4);
}

}  // namespace
