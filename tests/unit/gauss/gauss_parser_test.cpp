// The Gauss parser through the compiler's entry points: what it declares,
// the code it emits for the forms whose layout matters, the imports that
// autoload records and its messages.
#include "parser/parse_fixture.h"

#include "program/tokens.h"
#include "gauss/registration.h"

#include <cmath>
#include <cstring>
#include <string>

using zu::test::ParseTest;

namespace {

class GaussParseTest : public ParseTest {
protected:
    void SetUp() override {
        ParseTest::SetUp();
        ZuLibFreeFunctions();
        ZuAddGaussStdLib();
        ZuAddGaussStdIOLib();
        ZuSetGaussMode(1);
        ASSERT_TRUE(FZuParseInitGauss(nullptr, 0));
    }
    void TearDown() override {
        ZuParseExitGauss();
        ZuSetGaussMode(0);
        ZuLibFreeFunctions();
        ParseTest::TearDown();
    }

    // The import names the literal table records, in order.
    static std::vector<std::string> imports() {
        std::vector<std::string> out;
        auto& lt = zu::program::literalTable();
        for (int i = 0; i < lt.count(); ++i)
            if (lt[i].t == ZU_IMPORTNAME) out.push_back(std::string(lt[i].w1.s) + (lt[i].w3.i ? " (gauss)" : ""));
        return out;
    }
    int countOf(const std::string& line) const {
        int n = 0;
        for (const std::string& l : listing()) n += l == line;
        return n;
    }
};

// A procedure that calls a name nobody declared makes it a global in front
// of the procedure's own names; those must still be found where they went.
TEST_F(GaussParseTest, GlobalDeclaredInsideProcedureKeepsItsArgumentsFound) {
    const int rebuildsBefore = zu::program::symbolTable().indexRebuilds();
    EXPECT_EQ(compile("proc p(a, b); local c; c = later(a) + b; retp(c); endp;\n"
                      "proc later(x); retp(x); endp;\nv = p(1, 2);\n"),
              0);
    const ZuVALUE* later = global("gauss::later");
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(later->t & ZU_TYPE_MASK, ZU_FUNCTION);
    EXPECT_EQ(later->w1.i, 1);
    // No error above: a, b and c were found as the procedure's own.
    EXPECT_EQ(global("gauss::a"), nullptr);
    EXPECT_EQ(global("gauss::c"), nullptr);
    EXPECT_EQ(zu::program::symbolTable().indexRebuilds(), rebuildsBefore);
    // The same, then an error: the implicit declaration's signature is
    // released with the rest (the sanitizer build checks).
    reopen();
    EXPECT_GT(compile("proc q(a); retp(other(a) +); endp;\nw = other(1;\n"), 0);
}

TEST_F(GaussParseTest, NamesAreGlobalsOfTheNamespaceInLowerCase) {
    ASSERT_EQ(compile("Alpha = 1;\nproc Twice(x); retp(2*x); endp;\nBeta = twice(alpha);\n"), 0);
    ASSERT_NE(global("gauss::alpha"), nullptr);
    ASSERT_NE(global("gauss::beta"), nullptr);
    const ZuVALUE* f = global("gauss::twice");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->t & ZU_TYPE_MASK, ZU_FUNCTION);
    EXPECT_FALSE(f->t & ZU_FLAG_EXT);
    EXPECT_EQ(f->w1.i, 1);
    const ZuVALUE* main = global("main");
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(main->t & ZU_FLAG_EXT);
}

TEST_F(GaussParseTest, ProceduresAloneMakeNoMain) {
    ASSERT_EQ(compile("proc f(x); retp(x); endp;\nfn g(x) = x + 1;\n"), 0);
    EXPECT_EQ(global("main"), nullptr);
    ASSERT_NE(global("gauss::g"), nullptr);
}

TEST_F(GaussParseTest, RunsOfMainCodeAreChainedAroundProcedures) {
    // Three runs of main code: the first two end in a jump over the
    // procedure that follows them, the last in a jump to the end of main.
    ASSERT_EQ(compile("a = 1;\nproc f(x); retp(x); endp;\nb = 2;\nproc g(x); retp(x); endp;\n"
                      "c = 3;\n"),
              0);
    const auto code = emitted();
    int jumps = 0;
    for (std::size_t i = 0; i < code.size(); ++i)
        if (code[i].op == zu::program::code(zu::program::Op::JMP)) {
            ++jumps;
            // Every jump of main lands inside the program, forward to main
            // code or back to the NUM that ends main.
            ASSERT_GT(code[i].arg, 1);
            ASSERT_LT(code[i].arg, static_cast<int>(code.size()) + 2);
        }
    EXPECT_EQ(jumps, 4);  // the entry jump, two over procedures, one to the end
}

TEST_F(GaussParseTest, ForLoopCompanionsLoseTheirNames) {
    ASSERT_EQ(compile("for i (1, 3, 1); x = i; endfor;\n"), 0);
    EXPECT_EQ(global("gauss::i"), nullptr);
    EXPECT_EQ(global("gauss::i$tst"), nullptr);
    ASSERT_NE(global("gauss::x"), nullptr);  // declared by the body: kept
}

TEST_F(GaussParseTest, ForLoopTestsTheDirectionOnlyWhenTheStepIsNotALiteral) {
    const std::string castToInt = "OPR " + std::to_string(zu::program::tok::KwInt);
    const std::string greater = "OPR " + std::to_string(zu::program::tok::Gt);
    ASSERT_EQ(compile("for i (1, 3, -2); endfor;\n"), 0);
    EXPECT_EQ(countOf(castToInt), 2);  // start and stop; the step is known
    EXPECT_EQ(countOf(greater), 0);
    EXPECT_EQ(countOf("OPR " + std::to_string(zu::program::tok::Ge)), 1);
    reopen();
    ASSERT_TRUE(FZuParseInitGauss(nullptr, 0));
    ASSERT_EQ(compile("s = 1;\nfor i (1, 3, s); endfor;\n"), 0);
    EXPECT_EQ(countOf(castToInt), 3);
    EXPECT_EQ(countOf(greater), 1);  // the direction, step > 0
}

TEST_F(GaussParseTest, TwoPartIndexesUseTheBaseOneForms) {
    ASSERT_EQ(compile("x = {1 2, 3 4};\ny = x[2, 1];\nx[1, 2] = 5;\nz = x[2];\n"), 0);
    EXPECT_EQ(countOf("XGL 1"), 3);  // the first part of two, twice; a single index
    EXPECT_EQ(countOf("XGL 2"), 1);
    EXPECT_EQ(countOf("XGS 2"), 1);
}

TEST_F(GaussParseTest, PrintEndingInTwoSemicolonsCallsPrint) {
    ASSERT_EQ(compile("print /rd 1 2;;\nprint 3;\n"), 0);
    const int print = zu::program::symbolTable().find("gauss::print", 0, zu::program::symbolTable().count());
    const int println = zu::program::symbolTable().find("gauss::println", 0, zu::program::symbolTable().count());
    ASSERT_GE(print, 0);
    ASSERT_GE(println, 0);
    EXPECT_EQ(countOf("LOD " + std::to_string(print)), 1);
    EXPECT_EQ(countOf("LOD " + std::to_string(println)), 1);
    EXPECT_EQ(countOf("CAL 3"), 1);  // flags and two items
    EXPECT_EQ(countOf("CAL 2"), 1);
}

TEST_F(GaussParseTest, LetStoresNamesAsCharacterElements) {
    ASSERT_EQ(compile("let x = hello;\nlet y = abcdefghij;\n"), 0);
    EXPECT_TRUE(reported("'ABCDEFGHIJ' Warning: string longer than 8 characters"));
    // The values are literals: find the double whose bytes spell the name,
    // in upper case.
    auto& lt = zu::program::literalTable();
    bool hello = false, truncated = false;
    for (int i = 0; i < lt.count(); ++i) {
        if ((lt[i].t & ZU_TYPE_MASK) != ZU_DOUBLE) continue;
        char bytes[9] = {};
        std::memcpy(bytes, &lt[i].w1.d, 8);
        hello |= std::string(bytes) == "HELLO";
        truncated |= std::string(bytes) == "ABCDEFGH";
    }
    EXPECT_TRUE(hello);
    EXPECT_TRUE(truncated);
}

TEST_F(GaussParseTest, DeclareOperatorsKeepReplaceOrRefuse) {
    ASSERT_EQ(compile("declare matrix a = 1;\ndeclare matrix a ?= 2;\n"
                      "declare matrix b = 1;\ndeclare matrix b != 3;\n"),
              0);
    EXPECT_EQ(global("gauss::a")->w1.i, 1);
    EXPECT_EQ(global("gauss::b")->w1.i, 3);
    reopen();
    ASSERT_TRUE(FZuParseInitGauss(nullptr, 0));
    EXPECT_EQ(compile("declare matrix c = 1;\ndeclare matrix c := 2;\n"), 1);
    EXPECT_TRUE(reported("'gauss::c' duplicate identifier"));
}

TEST_F(GaussParseTest, AutoloadRecordsEachMissingProcedureOnce) {
    ASSERT_EQ(compile("x = f(1) + cols(2);\ny = g(x);\nz = f(2);\n"), 0);
    EXPECT_EQ(IZuParseGaussAutoload(), 2);  // cols is a library function
    EXPECT_EQ(IZuParseGaussAutoload(), 0);
    const auto names = imports();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "f (gauss)");
    EXPECT_EQ(names[1], "g (gauss)");
}

TEST_F(GaussParseTest, ModeErrorsAreCompileMessages) {
    EXPECT_EQ(compile("retp(1);\n"), 1);
    EXPECT_TRUE(reported("'retp' out of place"));
    reopen();
    ASSERT_TRUE(FZuParseInitGauss(nullptr, 0));
    EXPECT_EQ(compile("local x;\nx = 1;\n"), 1);
    EXPECT_TRUE(reported("'local' out of place"));
    reopen();
    ASSERT_TRUE(FZuParseInitGauss(nullptr, 0));
    EXPECT_GE(compile("x = 1;\n@ never closed\n"), 1);
    EXPECT_TRUE(reported("comment not closed"));
    reopen();
    ASSERT_TRUE(FZuParseInitGauss(nullptr, 0));
    EXPECT_EQ(compile("keyword k(s); endp;\ny = k(1);\n"), 1);
    EXPECT_TRUE(reported("'gauss::k' out of place"));
    reopen();
    ASSERT_TRUE(FZuParseInitGauss(nullptr, 0));
    EXPECT_EQ(compile("library nosuchcatalogue;\n"), 1);
    EXPECT_TRUE(reported("'nosuchcatalogue' file not found"));
}

TEST_F(GaussParseTest, MainCodeReadingAnUnassignedGlobalIsReported) {
    EXPECT_EQ(compile("y = x + 1;\n"), 1);
    EXPECT_TRUE(reported("'gauss::x' undeclared identifier"));
    reopen();
    ASSERT_TRUE(FZuParseInitGauss(nullptr, 0));
    // In a procedure the global may be assigned by main code later on.
    EXPECT_EQ(compile("proc f(a); retp(a * scale); endp;\nscale = 2;\nprint f(1);\n"), 0);
}

TEST_F(GaussParseTest, NewDropsWhatCameBefore) {
    ASSERT_EQ(compile("before = 1;\nnew;\nafter = 2;\n"), 0);
    EXPECT_EQ(global("gauss::before"), nullptr);
    ASSERT_NE(global("gauss::after"), nullptr);
    ASSERT_NE(global("gauss::__new__"), nullptr);  // called first by main
}

}  // namespace
