// Linking the symbols of an object file by name with those already loaded.
#include "objfile_fixture.h"

namespace zu::test {
namespace {

class LinkTest : public ObjfileTest {
protected:
    // Loads the first program's file, then the second's; the second's errors.
    int loadBoth(const char* first, const char* second) {
        const std::string a = compileTo("a.zuo", first);
        const std::string b = compileTo("b.zuo", second);
        reopen();
        EXPECT_EQ(load(a), 0);
        messages().clear();
        return load(b);
    }
};

TEST_F(LinkTest, TwoDefinitionsOfOneGlobalAreDuplicates) {
    EXPECT_EQ(loadBoth("decl x = 1;", "decl x = 2;"), 1);
    EXPECT_EQ(messages(), std::vector<std::string>{"Link error: 'x' duplicate identifier"});
}

TEST_F(LinkTest, DeclarationAndDefinitionBecomeOneSymbol) {
    EXPECT_EQ(loadBoth("extern decl x; main() { return x; }", "decl x = 42;"), 0);
    const int x = find("x");
    EXPECT_EQ(value(x).t & (ZU_FLAG_EXT | ZU_TYPE_MASK), ZU_INT);
    EXPECT_EQ(value(x).w1.i, 42);
    int records = 0;
    for (int g = 0; g < program::symbolTable().count(); ++g) records += symbolName(g) == "x";
    EXPECT_EQ(records, 1);
}

TEST_F(LinkTest, UntypedDeclarationLinksWithAnyVariable) {
    EXPECT_EQ(loadBoth("extern decl x; main() { return x; }", "decl x = <1, 2>;"), 0);
    EXPECT_EQ(value(find("x")).t & ZU_TYPE_MASK, ZU_MATRIX);
    EXPECT_EQ(loadBoth("decl x = 2.5;", "extern decl x; main() { return x; }"), 0);
    EXPECT_EQ(value(find("x")).w1.d, 2.5);
    EXPECT_EQ(loadBoth("extern decl x; main() { return x; }", "x() { return 1; }"), 1);
    EXPECT_TRUE(reported("'x' incompatible types"));
}

TEST_F(LinkTest, StaticGlobalsNeverLink) {
    ZuParseInterDebug(0, 1);
    EXPECT_EQ(loadBoth("static decl s = 1; f() { return s; }", "static decl s = 2; g() { return s; }"), 0);
    int statics = 0;
    for (int g = 0; g < program::symbolTable().count(); ++g)
        statics += program::symbolTable()[g].name && std::string(program::symbolTable()[g].name) == "@s";
    EXPECT_EQ(statics, 2);
}

TEST_F(LinkTest, MismatchesAreReported) {
    EXPECT_EQ(loadBoth("x() { return 1; }", "decl x = 1;"), 1);
    EXPECT_TRUE(reported("Link error: 'x' incompatible types"));
    EXPECT_EQ(loadBoth("extern f(a); main() { f(1); }", "f(a, b) { return a; }"), 1);
    EXPECT_TRUE(reported("Link error: 'f' redefinition of function"));
    EXPECT_EQ(loadBoth("class C { decl a; }; main() { new C(); }", "class C { decl b; };"), 1);
    EXPECT_TRUE(reported("Link error: 'C' redefinition of class"));
}

TEST_F(LinkTest, VariableArgumentCounts) {
    // A declaration with "..." meets a definition with enough arguments.
    EXPECT_EQ(loadBoth("extern f(a, ...); main() { f(1); }", "f(a, b) { return a; }"), 0);
    EXPECT_EQ(value(find("f")).w1.i, 2);
    // A definition with two fixed arguments and "..." needs two in the other.
    EXPECT_EQ(loadBoth("extern f(a); main() { f(1); }", "f(a, b, ...) { return a; }"), 1);
    EXPECT_TRUE(reported("redefinition of function"));
}

TEST_F(LinkTest, ClassDefinitionCompletesItsMemberFunctions) {
    const char* header = "class C { decl a; C(); Get(); };";
    const std::string user = std::string(header) + " main() { decl c = new C(); return c.Get(); }";
    const std::string impl = std::string(header) + " C::C() { a = 3; } C::Get() { return a; }";
    EXPECT_EQ(loadBoth(user.c_str(), impl.c_str()), 0);
    const ZuNAMEDVALUE* functions = value(find("C")).w5.nv;
    ASSERT_NE(functions, nullptr);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(functions[i].val.t & ZU_FLAG_EXT, 0) << functions[i].name;
        EXPECT_GT(functions[i].val.w2.i, 1);
    }
}

TEST_F(LinkTest, FileWithLinkErrorsLeavesEarlierRecordsAlone) {
    EXPECT_EQ(loadBoth("extern decl x; decl y = 1; main() { return x + y; }", "decl x = 5, y = 2;"), 1);
    EXPECT_TRUE(reported("'y' duplicate identifier"));
    // x stays a declaration: the file that would define it did not link.
    EXPECT_NE(value(find("x")).t & ZU_FLAG_EXT, 0);
    EXPECT_EQ(value(find("y")).w1.i, 1);
}

TEST_F(LinkTest, BaseClassMustBeDefined) {
    const std::string p = compileTo("d.zuo", "class Base { decl a; }; class Derived : Base { decl b; };");
    std::vector<unsigned char> bytes = bytesOf(p);
    // The base class's name stored with Derived is the last "Base" in the file.
    const std::string base = "Base";
    auto at = std::find_end(bytes.begin(), bytes.end(), base.begin(), base.end());
    ASSERT_NE(at, bytes.end());
    at[1] = 'x';
    const std::string q = writeBytes("bad.zuo", bytes);
    reopen();
    EXPECT_EQ(load(q), 1);
    EXPECT_TRUE(reported("Link error: 'Bxse' undefined base class"));
    EXPECT_EQ(value(find("Derived")).w2.i, -1);
}

}  // namespace
}  // namespace zu::test
