// The internal-function table, link errors and dynamic linking.
#include "value/function_table.h"

#include <dlfcn.h>

#include <cmath>
#include <string>

#include "value/link_error.h"
#include "value/test_support.h"

namespace {

void RoutineA(ZuVALUE* rtn, ZuVALUE*, int) { ZuValSetInt(rtn, 1); }
void RoutineB(ZuVALUE* rtn, ZuVALUE*, int) { ZuValSetInt(rtn, 2); }

class FunctionTable : public zu_test::ValueTest {
protected:
    void SetUp() override {
        ValueTest::SetUp();
        ZuLibFreeFunctions();
        ZuResetLinkErrors();
    }
    void TearDown() override {
        ZuLibFreeFunctions();
        ValueTest::TearDown();
    }
    static std::string LastMessage() { return zu_test::messages.empty() ? "" : zu_test::messages.back(); }
};

TEST_F(FunctionTable, DeclarationsGiveTheNameAndTheArgumentCount) {
    EXPECT_EQ(FZuLibAddFunction("cc$acf", RoutineA, 0), 1);
    EXPECT_EQ(FZuLibAddFunction("$date", RoutineA, 0), 1);
    EXPECT_EQ(FZuLibAddFunction("cccccccc$findsample", RoutineA, 0), 1);
    EXPECT_EQ(FZuLibAddFunction("c c$spaced", RoutineA, 1), 1);
    EXPECT_EQ(zu::value::FindFunction("acf")->count, 2);
    EXPECT_EQ(zu::value::FindFunction("date")->count, 0);
    EXPECT_EQ(zu::value::FindFunction("findsample")->count, 8);
    EXPECT_EQ(zu::value::FindFunction("spaced")->count, -3);
    EXPECT_STREQ(zu::value::FindFunction("acf")->declaration, "cc$acf");
    EXPECT_EQ(FZuLibIsIntFunction("acf"), 1);
    EXPECT_EQ(FZuLibIsIntFunction("ac"), 0);
    EXPECT_EQ(FZuLibIsIntFunction("cc$acf"), 0);
    EXPECT_EQ(FZuLibIsIntFunction(nullptr), 0);
    EXPECT_EQ(IZuGetLinkErrors(), 0);
}

TEST_F(FunctionTable, ASecondEntryOfTheSameNameReplacesTheFirst) {
    ASSERT_EQ(FZuLibAddFunction("cc$f", RoutineA, 0), 1);
    const char* first = zu::value::FindFunction("f")->declaration;
    ASSERT_EQ(FZuLibAddFunction("cc$f", RoutineB, 0), 1);
    EXPECT_EQ(zu::value::FunctionCount(), 1);
    EXPECT_EQ(zu::value::FindFunction("f")->routine, &RoutineB);
    EXPECT_STREQ(first, "cc$f");  // a symbol linked to the first still reads it
    ASSERT_EQ(FZuLibAddFunction("c$f", RoutineB, 1), 1);
    EXPECT_EQ(zu::value::FindFunction("f")->count, -1);
}

TEST_F(FunctionTable, NamesAreSortedByteByByte) {
    const char* names[] = {"c$zeta", "c$Alpha", "c$alpha", "c$\xc3\xa9t", "c$al", "c$_x"};
    for (const char* n : names) ASSERT_EQ(FZuLibAddFunction(n, RoutineA, 0), 1);
    for (const char* n : names) EXPECT_NE(zu::value::FindFunction(zu::value::DeclarationName(n)), nullptr) << n;
    EXPECT_EQ(zu::value::FindFunction("a"), nullptr);
    EXPECT_EQ(zu::value::FindFunction("zz"), nullptr);
}

TEST_F(FunctionTable, BadDeclarationsAreLinkErrors) {
    EXPECT_EQ(FZuLibAddFunction("$f", RoutineA, 1), 0);
    EXPECT_EQ(LastMessage(), "Link error: '$f' at least one argument required before ...");
    EXPECT_EQ(FZuLibAddFunction("cc", RoutineA, 0), 0);
    EXPECT_EQ(LastMessage(), "Link error: 'cc' $ expected");
    EXPECT_EQ(FZuLibAddFunction(nullptr, RoutineA, 0), 0);
    EXPECT_EQ(LastMessage(), "Link error: $ expected");
    EXPECT_EQ(IZuGetLinkErrors(), 3);
    EXPECT_EQ(zu::value::FunctionCount(), 0);
    ZuResetLinkErrors();
    EXPECT_EQ(IZuGetLinkErrors(), 0);
}

TEST_F(FunctionTable, HoldsAtMost512Functions) {
    for (int k = 0; k < 512; ++k) {
        ASSERT_EQ(FZuLibAddFunction(("c$f" + std::to_string(k)).c_str(), RoutineA, 0), 1);
    }
    EXPECT_EQ(FZuLibAddFunction("c$one_more", RoutineA, 0), 0);
    EXPECT_EQ(LastMessage(), "Link error: 'c$one_more' too many internal functions");
    EXPECT_EQ(FZuLibAddFunction("cc$f7", RoutineB, 0), 1);  // replacing needs no room
    EXPECT_EQ(zu::value::FindFunction("f7")->routine, &RoutineB);
    EXPECT_EQ(zu::value::FunctionCount(), 512);
    ZuLibFreeFunctions();
    EXPECT_EQ(zu::value::FunctionCount(), 0);
    EXPECT_EQ(FZuLibAddFunction("c$one_more", RoutineA, 0), 1);
}

TEST_F(FunctionTable, TheRunningNameIsSetByTheCaller) {
    EXPECT_STREQ(SZuIntFunc(), "");
    ASSERT_EQ(FZuLibAddFunction("cc$acf", RoutineA, 0), 1);
    const char* declaration = zu::value::FindFunction("acf")->declaration;
    zu::value::SetRunningFunction(zu::value::DeclarationName(declaration).data());
    EXPECT_STREQ(SZuIntFunc(), "acf");
    ZuLibFreeFunctions();
    EXPECT_STREQ(SZuIntFunc(), "");
}

using LinkErrors = FunctionTable;

TEST_F(LinkErrors, MessagesWithAndWithoutAName) {
    ZuLinkError(12, "");
    EXPECT_EQ(LastMessage(), "Link error: undefined function");
    ZuLinkError(17, "mylib");
    EXPECT_EQ(LastMessage(), "Link error: 'mylib' cannot load dll");
    ZuLinkError(2, nullptr);
    EXPECT_EQ(LastMessage(), "Link error: symbol table full (try the -s command line option to increase the size)");
    ZuLinkError(25, "x");
    EXPECT_EQ(LastMessage(), "Link error: 'x' not inititalized");
    ZuLinkError(99, nullptr);
    EXPECT_EQ(LastMessage(), "Link error: code 99");
    EXPECT_EQ(IZuGetLinkErrors(), 5);
    EXPECT_EQ(zu::value::LinkErrorMessage(23), "this is not an Zu object file");
    EXPECT_EQ(zu::value::LinkErrorMessage(-1), "");
}

TEST(LinkErrorDeathTest, OutOfMemoryEndsTheProcess) {
    EXPECT_EXIT(ZuLinkError(3, ""), ::testing::ExitedWithCode(1), "");
}

TEST(DynamicLink, OpensLibrariesAndFindsSymbols) {
    int err = -1;
    void* cosine = GetDynamicLink("libm.so.6", "cos", &err);
    ASSERT_NE(cosine, nullptr);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(reinterpret_cast<double (*)(double)>(cosine)(0.0), 1.0);
    EXPECT_EQ(GetDynamicLink("libm.so.6", "no_such_function_here", &err), nullptr);
    EXPECT_EQ(err, 2);
    EXPECT_EQ(GetDynamicLink("/nonexistent/libnothing.so", "cos", &err), nullptr);
    EXPECT_EQ(err, 1);
    EXPECT_EQ(GetDynamicLink("", "malloc", &err), nullptr);  // never the process itself
    EXPECT_EQ(err, 1);
    EXPECT_EQ(GetDynamicLink(nullptr, "malloc", nullptr), nullptr);
}

}  // namespace
