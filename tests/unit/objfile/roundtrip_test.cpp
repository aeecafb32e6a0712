// A program written to an object file and read back, alone and behind
// another program.
#include "objfile_fixture.h"

#include <cstring>

namespace zu::test {
namespace {

class RoundTripTest : public ObjfileTest {
protected:
    static std::vector<std::string> literalTexts(int from) {
        std::vector<std::string> out;
        for (int i = from; i < program::literalTable().count(); ++i) out.push_back(literalText(i));
        return out;
    }
};

constexpr const char* kProgram = R"(
extern print(a, ...);
decl g = 5, m = <1, 2; 3, 4>, text = "abc", list = {1, "two", {3.5}};
static decl hidden = 7;
class Base { decl a; Base(); static decl shared = 2; Get(); };
class Derived : Base { decl b; Derived(); };
Base::Base() { a = 1; }
Base::Get() { return a; }
Derived::Derived() { b = 2; }
extern decl outside;
square(x) { return x * x; }
main()
{
    decl i, s = 0;
    for (i = 0; i < 3; ++i)
        s += square(i) + 0.5;
    if (s > 2) print("big ", g, hidden, m, text, list);
    decl d = new Derived();
    print(d.Get());
}
)";

TEST_F(RoundTripTest, ProgramReadBackHasTheSameCodeSymbolsAndLiterals) {
    ZuParseInterDebug(0, 1);  // statics keep their names as "@name"
    const std::string p = compileTo("prog.zuo", kProgram);
    const std::vector<std::string> code = describe(0, 0);
    const std::vector<std::string> literals = literalTexts(0);
    const int codeSize = program::codeBuffer().size();

    reopen();
    const int base = program::codeBuffer().size();
    ASSERT_EQ(load(p), 0);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(describe(base, base), code);
    EXPECT_EQ(literalTexts(0), literals);
    EXPECT_EQ(program::codeBuffer().size(), base + codeSize);

    const int sq = find("square");
    ASSERT_GE(sq, 0);
    EXPECT_EQ(value(sq).t & ZU_TYPE_MASK, ZU_FUNCTION);
    EXPECT_EQ(value(sq).w1.i, 1);
    EXPECT_STREQ(value(sq).w3.s, " $square");
    const int m = find("m");
    ASSERT_GE(m, 0);
    ASSERT_EQ(value(m).t & ZU_TYPE_MASK, ZU_MATRIX);
    EXPECT_EQ(value(m).w3.m[1][0], 3.0);
    const int list = find("list");
    ASSERT_EQ(value(list).w1.i, 3);
    EXPECT_EQ(value(list).w2.v[2].w2.v[0].w1.d, 3.5);

    const int baseClass = find("Base"), derived = find("Derived");
    ASSERT_GE(derived, 0);
    EXPECT_EQ(value(derived).w2.i, baseClass);
    EXPECT_EQ(value(derived).w3.p, &program::symbolTable()[derived]);
    EXPECT_EQ(value(derived).w1.i, 3);  // a and shared from Base, then b
    const ZuNAMEDVALUE* functions = value(baseClass).w5.nv;
    ASSERT_NE(functions, nullptr);
    EXPECT_STREQ(functions[1].name, "Get");
    EXPECT_EQ(functions[1].val.t & ZU_FLAG_EXT, 0);
    EXPECT_GE(functions[1].val.w2.i, base);
    EXPECT_EQ(value(baseClass).w4.nv[1].val.w1.i, 2);  // the static member's value
}

TEST_F(ObjfileTest, StaticsLoseTheirNameUnlessDebugging) {
    compileTo("plain.zuo", "static decl s = 1; static f() { return s; } main() { f(); }");
    reopen();
    ASSERT_EQ(load(path("plain.zuo")), 0);
    EXPECT_LT(find("s"), 0);
    EXPECT_LT(find("f"), 0);

    ZuParseInterDebug(0, 1);
    compileTo("debug.zuo", "static decl s = 1; main() { return s; }");
    reopen();
    ASSERT_EQ(load(path("debug.zuo")), 0);
    EXPECT_LT(find("s"), 0);
    EXPECT_GE(find("@s"), 0);
}

TEST_F(ObjfileTest, OnlyExternalsTheCodeUsesAreWritten) {
    compileTo("ext.zuo", "extern decl used, unused; extern f(x); extern g(); main() { f(used); }");
    objfile::StagedProgram stage;
    std::FILE* f = std::fopen(path("ext.zuo").c_str(), "rb");
    ASSERT_TRUE(objfile::ReadObjectFile(f, "ext.zuo", stage));
    std::fclose(f);
    std::vector<std::string> names;
    for (const auto& s : stage.symbols) names.push_back(s.record.name ? s.record.name : "");
    EXPECT_EQ(names, (std::vector<std::string>{"used", "f", "main"}));
}

TEST_F(ObjfileTest, SecondFileIsRelocatedBehindTheFirst) {
    const std::string a = compileTo("a.zuo", "decl x = 1.5; f(v) { if (v) return \"yes\"; return x; }");
    const std::string b =
        compileTo("b.zuo", "extern decl x; extern f(v); decl y = 2.5; main() { while (y) y = f(x) + \"b\"; }");
    const std::vector<std::string> bCode = describe(0, 0);

    reopen();
    ASSERT_EQ(load(a), 0);
    const int codeBase = program::codeBuffer().size();
    const int literalBase = program::literalTable().count();
    const int x = find("x"), f = find("f");
    ASSERT_EQ(load(b), 0);
    EXPECT_EQ(describe(codeBase, codeBase), bCode);
    // The externals of the second file are the records of the first.
    EXPECT_EQ(find("x"), x);
    EXPECT_EQ(find("f"), f);
    EXPECT_EQ(value(x).t & ZU_FLAG_EXT, 0);
    EXPECT_GE(value(find("main")).w2.i, codeBase);
    bool sawLiteral = false;
    for (const ZuPCODE& i : program::codeBuffer().code().subspan(static_cast<std::size_t>(codeBase)))
        if (i.op == program::code(program::Op::LIT)) {
            EXPECT_GE(i.arg, literalBase);
            sawLiteral = true;
        }
    EXPECT_TRUE(sawLiteral);
}

TEST_F(ObjfileTest, WriteErrorIsReported) {
    compile("main() {}");
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (!full) GTEST_SKIP() << "no /dev/full";
    EXPECT_EQ(ZuWriteCode(full), 0);
    EXPECT_TRUE(reported("Link error: writing file"));
}

}  // namespace
}  // namespace zu::test
