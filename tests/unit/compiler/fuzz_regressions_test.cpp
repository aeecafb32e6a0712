// Inputs that once crashed a fuzz target, run through the target's own
// sequence of calls.
#include "program/literals.h"
#include "program/symbols.h"
#include "zu.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

void Quiet(const char*) {}

// Global values (function signatures among them) belong to the run-time
// clean-up, which a host that only compiles does itself.
void FreeGlobalValues() {
    auto& symbols = zu::program::symbolTable();
    for (int g = 0; g < symbols.count(); ++g) ZuFreeValue(&symbols[g].val);
}

// What the compile target does with each input.
void CompileAndClose(const std::string& text) {
    ZuOpenCode();
    ZuOpenSourceText(text.c_str());
    IZuParse();
    ZuOpenSourceFile(nullptr);
    FreeGlobalValues();
    ZuCloseCode();
}

class FuzzRegressions : public ::testing::Test {
protected:
    void SetUp() override { SetZuMessage(Quiet); }
    void TearDown() override {
        IZuScanExit();
        SetZuMessage(nullptr);
    }
};

// A statement "<>;" left the empty matrix's data word half set; closing the
// tables then freed a pointer that was never allocated.
TEST_F(FuzzRegressions, EmptyMatrixStatementIsFreedCleanly) {
    const fs::path seed =
        fs::path(ZU_TESTS_SOURCE) / "fuzz" / "corpus" / "compile" / "close_after_empty_matrix_statement.zu";
    std::ifstream in(seed, std::ios::binary);
    ASSERT_TRUE(in) << seed;
    std::stringstream text;
    text << in.rdbuf();
    for (int round = 0; round < 3; ++round) CompileAndClose(text.str());

    // The empty matrix of a statement and of a failed constant: no rows, no
    // columns, no data.
    ZuOpenCode();
    ZuOpenSourceText("main() { <>; decl a = <1, main>; }");
    IZuParse();
    ZuOpenSourceFile(nullptr);
    int matrices = 0;
    const auto& literals = zu::program::literalTable();
    for (int i = 0; i < literals.count(); ++i) {
        const ZuVALUE& v = literals[i];
        if ((v.t & ZU_TYPE_MASK) != ZU_MATRIX) continue;
        ++matrices;
        if (v.w1.i == 0) {
            EXPECT_EQ(v.w2.i, 0);
            EXPECT_EQ(v.w3.m, nullptr);
        }
    }
    EXPECT_GE(matrices, 1);
    FreeGlobalValues();
    ZuCloseCode();
}

}  // namespace
