// The translator on small programs: the first pass, renaming, structs,
// hoisted externals, optional arguments and the count of what was left
// unsupported; and the symbol table's index under procedure scopes.
#include <gtest/gtest.h>

#include <string>

#include "capture.h"
#include "conversion_table.h"
#include "messages.h"
#include "output.h"
#include "scanner.h"
#include "symbols.h"
#include "translator.h"

using namespace g2zu;
using g2zu_test::Capture;
using g2zu_test::TempFile;

namespace {

struct Converted {
    std::string zu;
    std::string log;
    int errors = 0;
    int unsupported = 0;
    std::vector<std::string> hoisted;
};

// Converts source as the driver does, with a conversion table of a few
// entries and "range" reserved by the Zu library.
Converted convert(const std::string& source) {
    TempFile file("translator_test.prg", source);
    Capture user;
    Capture zu;
    Capture log;
    Messages messages(user.file());
    messages.set_log(log.file());
    Symbols symbols(messages);
    symbols.add_reserved("range");
    Symbols::Defined ftos = symbols.define("ftos", Kind::Conversion, 0, false, false);
    symbols.at(ftos.index).replacement = "g2zu_ftos";
    symbols.at(ftos.index).return_count = 1;
    Symbols::Defined eig = symbols.define("eig", Kind::Conversion, 0, false, false);
    symbols.at(eig.index).unsupported = true;
    Output out(zu.file(), messages);
    Scanner in(messages, &out);
    EXPECT_TRUE(in.open(file.name()));
    messages.set_where(&in);
    out.set_where(&in);
    Converted c;
    {
        Translator t(in, out, symbols, messages);
        t.prescan(file.name());
        while (t.copy_comments(false)) {
            t.statement();
            if (!t.copy_comments(true)) break;
        }
        t.finish();
        c.unsupported = t.unsupported_count();
        c.hoisted = t.hoisted_externals();
    }
    c.zu = zu.text();
    c.log = log.text();
    c.errors = messages.errors();
    return c;
}

bool has(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

}  // namespace

TEST(Translator, ProceduresAreKnownBeforeTheirDefinition) {
    Converted c = convert("y = later(2) + counted;\nproc later(a); retp(a + 1); endp;\nproc counted; retp(3); endp;\n");
    EXPECT_EQ(c.errors, 0);
    EXPECT_TRUE(has(c.zu, "y = later(2) + counted();"));
    EXPECT_TRUE(has(c.zu, "later(const a)"));
}

TEST(Translator, AProcedureNamedLikeALibraryFunctionIsRenamedEverywhere) {
    Converted c = convert("x = range(1, 4);\nproc range(a, b); retp(b - a); endp;\nz = range(2, 3);\n");
    EXPECT_EQ(c.errors, 0);
    EXPECT_TRUE(has(c.zu, "x = g_range(1, 4);"));
    EXPECT_TRUE(has(c.zu, "g_range(const a, const b)"));
    EXPECT_TRUE(has(c.zu, "z = g_range(2, 3);"));
    EXPECT_FALSE(has(c.zu, " range("));
    EXPECT_TRUE(has(c.log, "procedure range renamed g_range"));
}

TEST(Translator, StructMembersBecomePositionsAlsoWhenNested) {
    Converted c = convert(
        "struct pt { matrix x; matrix y; };\n"
        "struct seg { struct pt from; struct pt to; string name; };\n"
        "struct seg s;\n"
        "s.to.y = 4;\n"
        "s.name = \"a\";\n"
        "print s.to.y;\n");
    EXPECT_EQ(c.errors, 0);
    EXPECT_TRUE(has(c.zu, "decl s = {{0, 0}, {0, 0}, \"\"};"));
    EXPECT_TRUE(has(c.zu, "s[2][2] = 4;"));
    EXPECT_TRUE(has(c.zu, "s[3] = \"a\";"));
    EXPECT_TRUE(has(c.zu, "println(s[2][2]);"));
}

TEST(Translator, ExternalsOfProceduresAndGlobalsTheyUseAreDeclaredFirst) {
    Converted c = convert(
        "proc f(x);\n    external matrix tol;\n    retp(x * tol * scale);\nendp;\n"
        "declare matrix tol = 2;\nscale = 3;\nprint f(1);\n");
    EXPECT_EQ(c.errors, 0);
    ASSERT_EQ(c.hoisted.size(), 2u);
    EXPECT_EQ(c.hoisted[0], "tol");
    EXPECT_EQ(c.hoisted[1], "scale");
    EXPECT_TRUE(has(c.zu, "decl tol = 2;"));  // the file defines what the procedure named
    EXPECT_FALSE(has(c.zu, "extern decl tol;\n    "));
    EXPECT_TRUE(has(c.log, "external declaration moved to file level"));
}

TEST(Translator, OptionalArgumentsReachTheStandIns) {
    Converted c = convert(
        "proc f(a, ...); local b; b = dynargsGet(1, 5); retp(a + b + dynargsCount()); endp;\n"
        "proc g(...); retp(dynargsCount()); endp;\n"
        "print f(1) g() g(1, 2);\n");
    EXPECT_TRUE(has(c.zu, "f(const a, ...)"));
    EXPECT_TRUE(has(c.zu, "dynargsget(va_arglist(), 1, 5)"));
    EXPECT_TRUE(has(c.zu, "g(g2zu_args)"));
    EXPECT_TRUE(has(c.zu, "dynargscount(g2zu_args)"));
    EXPECT_TRUE(has(c.zu, "g({}), \" \", g({1, 2})"));
}

TEST(Translator, TheForCounterOfAProcedureIsItsLocal) {
    Converted c = convert("proc f(n); local i; for i(1, n, 1); endfor; retp(i); endp;\nfor j(3, 1, -1); endfor;\n");
    EXPECT_EQ(c.errors, 0);
    EXPECT_FALSE(has(c.zu, "decl i;\n        for"));
    EXPECT_FALSE(has(c.zu, "{\tdecl i;"));
    EXPECT_TRUE(has(c.zu, "{\tdecl j;"));
    EXPECT_TRUE(has(c.zu, "j >= 1"));
}

TEST(Translator, WhatIsLeftUnsupportedIsCounted) {
    Converted clean = convert("x = ftos(1, \"%*.*lf\", 5, 2);\nnew;\nprint x;\n");
    EXPECT_EQ(clean.unsupported, 0);
    EXPECT_TRUE(has(clean.zu, "g2zu_ftos(1,"));
    EXPECT_TRUE(has(clean.log, "new command: nothing to do in a batch run"));
    Converted rough = convert("x = eig(1);\ny = x .xor x;\nopen f = data;\n");
    EXPECT_EQ(rough.unsupported, 3);
    EXPECT_TRUE(has(rough.log, "eig unsupported"));
}

TEST(Translator, PrintsEndTheirLineUnlessTheStatementEndsTwice) {
    Converted c = convert("a = 1;\nprint a;\nprint a;;\n? a a;\n");
    EXPECT_TRUE(has(c.zu, " g2zu_println(a);"));
    EXPECT_TRUE(has(c.zu, " g2zu_print(a);"));
    EXPECT_TRUE(has(c.zu, " g2zu_println(a, \" \", a);"));
}

TEST(Translator, ZuKeywordsCannotNameVariables) {
    EXPECT_EQ(zu_variable_name("class"), "g_class");
    EXPECT_EQ(zu_variable_name("static"), "g_static");
    EXPECT_EQ(zu_variable_name("x"), "x");
    Converted c = convert("default = 3;\nproc f(const); retp(const + default); endp;\n");
    EXPECT_TRUE(has(c.zu, "decl g_default = 3;"));
    EXPECT_TRUE(has(c.zu, "f(const g_const)"));
    EXPECT_TRUE(has(c.zu, "return g_const + g_default;"));
}

// ---------------------------------------------------------------------------
// The symbol table's index

TEST(SymbolIndex, LocalsShadowAndLeaveWithTheirScope) {
    Capture user;
    Messages messages(user.file());
    Symbols symbols(messages);
    int global = symbols.define("x", Kind::Variable, 0, false, false).index;
    int previous = symbols.enter_scope();
    int local = symbols.define("x", Kind::Variable, symbols.scope_start(), false, false).index;
    symbols.define("called", Kind::Undeclared, 0, false, false);
    symbols.define("y", Kind::Variable, symbols.scope_start(), false, false);
    EXPECT_EQ(symbols.find_global("x"), local);
    EXPECT_EQ(messages.errors(), 0);
    symbols.leave_scope(previous);
    EXPECT_EQ(symbols.find_global("x"), global);
    EXPECT_EQ(symbols.find_global("y"), -1);
    // the undeclared call stays, moved down, and is still found
    int called = symbols.find_global("called");
    ASSERT_GE(called, 0);
    EXPECT_EQ(symbols.at(called).name, "called");
    EXPECT_EQ(symbols.top(), 2);
}

TEST(SymbolIndex, TheTableGrowsPastItsFirstSize) {
    Capture user;
    Messages messages(user.file());
    Symbols symbols(messages);
    for (int i = 0; i < 3000; ++i) symbols.define("v" + std::to_string(i), Kind::Variable, 0, false, false);
    EXPECT_EQ(symbols.top(), 3000);
    EXPECT_EQ(symbols.find_global("v0"), 0);
    EXPECT_EQ(symbols.find_global("v2999"), 2999);
    EXPECT_EQ(messages.errors(), 0);
}

TEST(ConversionTable, ReservedNamesAreLoaded) {
    TempFile table("reserved_test.cvt",
                   "\"abs\" = \"fabs\" proc = abs(x);\nreserved \"range\" \"sortc\";\nglobal \"__output\";\n");
    Capture user;
    Messages messages(user.file());
    Symbols symbols(messages);
    Scanner in(messages, nullptr);
    ASSERT_TRUE(in.open(table.name()));
    EXPECT_TRUE(load_conversion_table(in, symbols, messages));
    EXPECT_TRUE(symbols.is_reserved("range"));
    EXPECT_TRUE(symbols.is_reserved("sortc"));
    EXPECT_FALSE(symbols.is_reserved("abs"));
    EXPECT_GE(symbols.find_global("abs"), 0);
    // a global of the support file: a variable that no header declares
    int output = symbols.find_global("__output");
    ASSERT_GE(output, 0);
    EXPECT_EQ(symbols.at(output).kind, Kind::Variable);
    EXPECT_TRUE(symbols.at(output).from_include);
}

TEST(Translator, TypedDeclarationsDeclareLocalsAndGlobals) {
    Converted c = convert(
        "string title = \"t\";\nmatrix m;\n"
        "proc f(x); string s = \"v\"; matrix y; string array parts; y = x; retp(s); endp;\n");
    EXPECT_EQ(c.errors, 0);
    EXPECT_EQ(c.unsupported, 0);
    EXPECT_TRUE(has(c.zu, "decl title = \"t\";"));
    EXPECT_TRUE(has(c.zu, "decl m;"));
    EXPECT_TRUE(has(c.zu, "decl s = \"v\";"));
    EXPECT_TRUE(has(c.zu, "decl y;"));
    EXPECT_TRUE(has(c.zu, "decl parts = {};"));
}

TEST(Translator, AMemberOfAnUnknownStructIsLoggedWhenItsPlaceVaries) {
    Converted c = convert(
        "struct a { matrix x; matrix y; };\nstruct b { matrix y; matrix x; };\n"
        "proc f(p); retp(p.x); endp;\nproc g(struct b p); retp(p.x); endp;\n");
    EXPECT_TRUE(has(c.zu, "return p[1];"));  // the first struct with the member
    EXPECT_TRUE(has(c.zu, "return p[2];"));  // the declared struct
    EXPECT_TRUE(has(c.log, "check member x: its struct is not known here"));
}

TEST(Translator, DivisionsOfProductsAreWrittenWithTheirStandIn) {
    Converted c = convert("b = y / x;\nc = -a * 2 / b' ^ 2 + 1 / 4 / 2;\nprint y/x -6/3;\nd = f(4/2) / (a + b);\n");
    EXPECT_TRUE(has(c.zu, "b = g2zu_div(y, x);"));
    EXPECT_TRUE(has(c.zu, "c = g2zu_div(-a * 2, b' .^ 2) + g2zu_div(g2zu_div(1, 4), 2);"));
    EXPECT_TRUE(has(c.zu, "println(g2zu_div(y, x)-g2zu_div(6, 3));"));
    EXPECT_TRUE(has(c.zu, "d = g2zu_div(f(g2zu_div(4, 2)), (a + b));"));
    EXPECT_FALSE(has(c.log, "check / operation"));
}

TEST(Translator, ModuloJoinsTheDivisionsOfAProduct) {
    Converted c = convert("b = 2 * 17 % 5 / 2;\nprint 9%4 (-7 % 3);\n");
    EXPECT_EQ(c.unsupported, 0);
    EXPECT_TRUE(has(c.zu, "b = g2zu_div(g2zu_mod(2 * 17, 5), 2);"));
    EXPECT_TRUE(has(c.zu, "println(g2zu_mod(9, 4), \" \", (g2zu_mod(-7, 3)));"));
}

TEST(Translator, APrintedStringThatLooksLikeAFormatStaysText) {
    Converted c = convert("print \"%d items\" 4;\nx[\"%a\"] = 1;\n");
    EXPECT_TRUE(has(c.zu, "println(\"%%d items\", 4);"));
}

TEST(Translator, AVariableNamedLikeALibraryFunctionIsRenamed) {
    Converted c = convert("range = 3;\ny = range + 1;\nproc f(range); retp(range * 2); endp;\n");
    EXPECT_TRUE(has(c.zu, "decl g_range = 3;"));
    EXPECT_TRUE(has(c.zu, "y = g_range + 1;"));
    EXPECT_TRUE(has(c.zu, "f(const g_range)"));
    EXPECT_TRUE(has(c.log, "variable range written g_range"));
}

TEST(Translator, TheFirstPassReadsPastPreprocessorLinesAndLabels) {
    Converted c = convert(
        "#define N 5\nprint f(N);\nstart:\nproc f(x);\n    retp(x + g(x));\nendp;\n#define M 2\nproc g(x); retp(x); "
        "endp;\n");
    EXPECT_EQ(c.errors, 0);
    EXPECT_TRUE(has(c.zu, "println(f(n));"));
}

TEST(Translator, TheHorizontalDirectProductHasItsStandIn) {
    Converted c = convert("c = a *~ b * 2;\nprint a *~ b;\n");
    EXPECT_TRUE(has(c.zu, "c = g2zu_hdp(a, b) * 2;"));
    EXPECT_EQ(c.unsupported, 1);  // the print items a, *~ and b stand apart
}

TEST(Translator, AForLoopWithAStepInAVariableCountsEitherWay) {
    Converted c = convert("s = -2;\nfor i (10, 1, s); endfor;\nfor j (1, 9, 2); endfor;\n");
    EXPECT_TRUE(has(c.zu, "for (i = 10; (i - (1)) * (s) <= 0; i += s)"));
    EXPECT_TRUE(has(c.zu, "for (j = 1; j <= 9; j += 2)"));
}
