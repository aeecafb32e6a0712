// The p-code listing and trace line of a small hand-built program, and the
// opcode and operator tables they are made from.
#include "program/code_buffer.h"
#include "program/literals.h"
#include "program/symbols.h"
#include "run/code_dump.h"
#include "program/operators.h"
#include "program/pcode.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace zu::run;
using namespace zu::program;

namespace {

std::string addressOf(const void* p) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "&0x%" PRIxPTR, reinterpret_cast<std::uintptr_t>(p));
    return buffer;
}

ZuVALUE stringValue(char* chars, int length, int flags = ZU_STRING | ZU_FLAG_CON) {
    ZuVALUE v{};
    v.t = flags;
    v.w1.i = length;
    v.w2.s = chars;
    return v;
}

class CodeDumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        rows[0] = elements;
        rows[1] = elements + 3;

        globals.resize(5);
        globals[0].name = x;
        globals[0].val.t = ZU_INT | ZU_FLAG_GLO;
        globals[0].val.w1.i = 3;
        globals[1].name = m;
        globals[1].val.t = ZU_MATRIX | ZU_FLAG_GLO | ZU_FLAG_VAL;
        globals[1].val.w1.i = 2;
        globals[1].val.w2.i = 3;
        globals[1].val.w3.m = rows;
        globals[2].name = f;
        globals[2].val.t = ZU_FUNCTION | ZU_FLAG_GLO;
        globals[2].val.w1.i = 1;
        globals[2].val.w3.s = signature;
        globals[3].name = s;
        globals[3].val.t = ZU_INT | ZU_FLAG_NUL | ZU_FLAG_GLO;
        globals[4].val.t = ZU_INT | ZU_FLAG_NUL;  // a record moved away

        literals.push_back(stringValue(hello, 5));
        ZuVALUE half{};
        half.t = ZU_DOUBLE;
        half.w1.d = 0.5;
        literals.push_back(half);
        literals.push_back(stringValue(file, 7));

        code = {{0, 0},   {0, 0},   {113, 2},  {35, 7}, {73, 0},  {80, 0},  {99, 0}, {83, 0},
                {76, -1}, {79, 99}, {101, -2}, {78, 0}, {200, 4}, {108, 3}, {99, 1}, {82, 0}};
    }

    DumpSource program() const { return {code, globals, literals}; }

    char x[2] = "x", m[2] = "m", f[2] = "f", s[2] = "s";
    char signature[4] = " $f";
    char hello[6] = "hello", file[8] = "file.zu";
    double elements[6] = {1.5, 2, 3, 4, 5, 6};
    double* rows[2] = {};
    std::vector<ZuNAMEDVALUE> globals;
    std::vector<ZuVALUE> literals;
    std::vector<ZuPCODE> code;
};

TEST_F(CodeDumpTest, ListsCodeSymbolsAndLiterals) {
    const std::string expected =
        "=== pcode ===\n"
        "  0 EXT          0 \n"
        "  1 EXT          0 \n"
        "  2 ELF          2 file.zu\n"
        "  3 NUM          7 \n"
        "  4 INT          0 \n"
        "  5 PSH          0 \n"
        "  6 LIT          0 hello\n"
        "  7 STO          0 x\n"
        "  8 LOD         -1 \n"
        "  9 OPR         99 +\n"
        " 10 ELT         -2 \n"
        " 11 NEW          0 \n"
        " 12 ???          4 \n"
        " 13 LTD          3 \n"
        " 14 LIT          1 0.5\n"
        " 15 RET          0 \n"
        "\n"
        "=== global symbols ===\n"
        "   0 x                       int      glo  (" +
        addressOf(&globals[0].val) +
        ") 3\n"
        "   1 m[2][3]                 matrix   glo val  (" +
        addressOf(&globals[1].val) +
        ") 1.5 ...\n"
        "   2 f                       function glo  (" +
        addressOf(&globals[2].val) +
        ") f()\n"
        "   3 s                       (null)   nul glo  (" +
        addressOf(&globals[3].val) +
        ") (null)\n"
        "   4                         (null)   nul  (" +
        addressOf(&globals[4].val) +
        ") (null)\n"
        "=== literals ===\n"
        "   0 string   \"hello\"\n"
        "   1 double   0.5\n"
        "   2 string   \"file.zu\"\n";
    EXPECT_EQ(codeListing(program()), expected);
}

TEST_F(CodeDumpTest, CommentsStayWithinTheTables) {
    // Operands beyond the tables, as a corrupt object file may hold them.
    code = {{83, 5}, {99, 3}, {101, 99}, {76, 1 << 30}, {-7, 0}};
    EXPECT_EQ(instructionLine(program(), 0), "  0 STO          5 ");
    EXPECT_EQ(instructionLine(program(), 1), "  1 LIT          3 ");
    EXPECT_EQ(instructionLine(program(), 2), "  2 ELT         99 ");
    EXPECT_EQ(instructionLine(program(), 3), "  3 LOD 1073741824 ");
    EXPECT_EQ(instructionLine(program(), 4), "  4 ???          0 ");
    EXPECT_EQ(instructionLine(program(), 9), "  9 ???          0 ");
}

TEST_F(CodeDumpTest, TraceLineShowsRegistersAndTop) {
    ZuVALUE top{};
    top.t = ZU_DOUBLE;
    top.w1.d = -INFINITY;
    EXPECT_EQ(traceLine(program(), 7, {2, 0, 1, &top}),
              "  7 STO          0 x  cp+1=  8 sp=  2 ap=  0 bp=  1 *sp=-.Inf\n");
    EXPECT_EQ(traceLine(program(), 5, {-1, 0, 0, nullptr}), "  5 PSH          0   cp+1=  6 sp= -1 ap=  0 bp=  0\n");
}

TEST(ValueTextTest, ShowsWhatItCanWithoutThePrinter) {
    ZuVALUE v{};
    v.t = ZU_DOUBLE;
    v.w1.d = NAN;
    EXPECT_EQ(valueText(v), ".NaN");
    v.t = ZU_RANGE;
    v.w1.i = 0;
    v.w2.i = -256;
    EXPECT_EQ(valueText(v), "0 : -256");
    v = {};
    v.t = ZU_MATRIX;
    EXPECT_EQ(valueText(v), "<>");
    v = {};
    v.t = ZU_ARRAY | ZU_FLAG_VAL;
    v.w1.i = 4;
    EXPECT_EQ(valueText(v), "array[4]");
    char embedded[] = "ab\0cd";
    EXPECT_EQ(valueText(stringValue(embedded, 5)), "\"ab\"");
    // A declaration text shorter than its argument letters names nothing.
    char shortSignature[] = "c";
    v = {};
    v.t = ZU_FUNCTION;
    v.w1.i = -3;
    v.w3.s = shortSignature;
    EXPECT_EQ(valueText(v), "??");

    EXPECT_EQ(flagLabels(ZU_FLAG_ADR | ZU_FLAG_NUL | ZU_FLAG_INL | ZU_FLAG_STA), "nul sta inl & ");
    EXPECT_EQ(typeColumn(v), "function ");
}

TEST(ValueTextTest, SymbolNameColumnKeepsOneBlank) {
    ZuNAMEDVALUE symbol{};
    char name[] = "a_rather_long_global_name";
    symbol.name = name;
    symbol.val.t = ZU_STRING | ZU_FLAG_GLO;
    symbol.val.w1.i = 0;
    EXPECT_EQ(symbolLine(12, symbol),
              "  12 a_rather_long_global_name[0] string   glo  (" + addressOf(&symbol.val) + ") \"\"\n");
}

TEST(OpcodeTableTest, NumbersAreThoseOfTheObjectFormat) {
    // Object files store these numbers; they must not move.
    EXPECT_EQ(code(Op::EXT), 0);
    EXPECT_EQ(code(Op::NUM), 35);
    EXPECT_EQ(code(Op::CAL), 67);
    EXPECT_EQ(code(Op::LOD), 76);
    EXPECT_EQ(code(Op::OPR), 79);
    EXPECT_EQ(code(Op::LIT), 99);
    EXPECT_EQ(code(Op::LTD), 108);
    EXPECT_EQ(code(Op::JST), 122);
    EXPECT_EQ(kOpcodeLimit, 123);
    int opcodes = 0;
    for (int i = -1; i <= 256; ++i) opcodes += opcodeInfo(i) != nullptr;
    EXPECT_EQ(opcodes, 41);
    EXPECT_STREQ(mnemonic(104), "???");
    EXPECT_EQ(opcodeInfo(code(Op::NEW))->operand, Operand::Class);
    EXPECT_EQ(opcodeInfo(code(Op::ELT))->operand, Operand::LocalName);
}

TEST(OperatorTableTest, EveryOperatorIsATokenWithItsText) {
    int operators = 0;
    for (int i = -1; i <= 256; ++i) {
        if (operatorArity(i) < 0) continue;
        ++operators;
        if (i != opr::ScalarToMatrix) {
            EXPECT_STRNE(SZuTokenName(i), "<token>") << "operator " << i;
        }
    }
    EXPECT_EQ(operators, 50);
    EXPECT_EQ(operatorArity(opr::Delete), 3);
    EXPECT_EQ(operatorArity(opr::DotChoice), 3);
    EXPECT_EQ(operatorArity(opr::AllIndex), 0);
    EXPECT_EQ(operatorArity(33), -1);  // "&&" is a jump, not an operator
    EXPECT_STREQ(SZuTokenName(opr::ConcatVertical), "|");
    EXPECT_STREQ(SZuTokenName(opr::DotOr), ".||");
}

TEST(DumpExportsTest, TraceCountsEntriesFromTheStackBase) {
    namespace c = zu::program;
    c::codeBuffer().open();
    c::codeBuffer().append(0, 0);
    c::codeBuffer().append(80, 4);
    ZuVALUE stack[4] = {};
    stack[2].t = ZU_INT;
    stack[2].w1.i = 4;

    static std::string captured;
    captured.clear();
    SetZuPipe(0);
    SetZuPuts([](const char* text) { captured += text; });
    ZuDumpTrace(1, stack + 1, stack + 2, stack + 1, stack + 1);
    ZuDumpTrace(1, stack + 1, stack, stack + 1, stack + 1);
    SetZuPipe(-1);
    SetZuPuts(nullptr);
    c::codeBuffer().close();
    EXPECT_EQ(captured,
              "  1 PSH          4   cp+1=  2 sp=  1 ap=  0 bp=  0 *sp=4\n"
              "  1 PSH          4   cp+1=  2 sp= -1 ap=  0 bp=  0\n");
}

}  // namespace
