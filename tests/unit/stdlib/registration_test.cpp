// The registration lists: every entry enters the internal-function table
// as declared, and no name is registered twice.
#include <set>
#include <string>
#include <string_view>

#include "driver/registration.h"
#include "gauss/registration.h"
#include "stdlib_fixture.h"
#include "value/function_table.h"

using namespace zu::driver;

namespace {

class RegistrationTest : public zu_stdlib_test::StdlibTest {
protected:
    void SetUp() override {
        StdlibTest::SetUp();
        ZuLibFreeFunctions();
        ZuResetLinkErrors();
    }
    void TearDown() override {
        ZuLibFreeFunctions();
        StdlibTest::TearDown();
    }
};

const std::span<const LibraryFunction> kLists[] = {StdLibList(),
                                                   ArmaLibList(),
                                                   ProbLibList(),
                                                   StdIOLibList(),
                                                   zu::gauss::GaussStdLibList(),
                                                   zu::gauss::GaussStdIOLibList()};

TEST_F(RegistrationTest, EveryEntryEntersTheTableWithItsCount) {
    ZuAddStdLib();
    ZuAddStdIOLib();
    ZuAddArmaLib();
    ZuAddProbLib();
    ZuAddGaussStdLib();
    ZuAddGaussStdIOLib();
    EXPECT_EQ(IZuGetLinkErrors(), 0);
    std::set<std::string_view> names;
    std::size_t total = 0;
    for (auto list : kLists) {
        for (const LibraryFunction& f : list) {
            ++total;
            const std::string_view name = zu::value::DeclarationName(f.declaration);
            EXPECT_TRUE(names.insert(name).second) << name << " is registered twice";
            const auto* entry = zu::value::FindFunction(name);
            ASSERT_NE(entry, nullptr) << name;
            EXPECT_EQ(entry->routine, f.routine) << name;
            const int declared = static_cast<int>(std::string_view{f.declaration}.find('$'));
            EXPECT_EQ(entry->count, f.atLeast ? -declared : declared) << name;
            EXPECT_NE(f.routine, nullptr) << name;
        }
    }
    EXPECT_EQ(static_cast<std::size_t>(zu::value::FunctionCount()), total);
    EXPECT_LE(total, 468u);
}

TEST_F(RegistrationTest, TheFunctionsThatTakeMoreArgumentsSaySo) {
    ZuAddStdLib();
    ZuAddStdIOLib();
    for (const char* name : {"zeros", "ones", "unit", "print", "println", "sprint", "binand", "constant"}) {
        const auto* entry = zu::value::FindFunction(name);
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_LT(entry->count, 0) << name;
    }
    EXPECT_EQ(zu::value::FindFunction("binand")->count, -2);
    EXPECT_EQ(zu::value::FindFunction("reshape")->count, 3);
    EXPECT_EQ(zu::value::FindFunction("arglist")->count, 0);
}

}  // namespace
