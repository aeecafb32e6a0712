// zustd.h against the function table: every function a program can declare
// through the standard header is registered with the same argument count,
// and every registered function is declared there.  A function that is not
// written yet is in neither, so a program calling it fails to compile with
// its name rather than to link.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

#include "stdlib_fixture.h"
#include "value/function_table.h"

namespace {

struct Declared {
    int count;     // named arguments
    bool atLeast;  // "..." after them
};

std::filesystem::path StagedHeader() { return std::filesystem::path(ZU_STAGE_INCLUDE) / "zustd.h"; }

// Every line "name(a, b, ...);" of the header.
std::map<std::string, Declared> HeaderDeclarations() {
    std::map<std::string, Declared> found;
    std::ifstream in(StagedHeader());
    const std::regex declaration(R"(^([A-Za-z_][A-Za-z_0-9]*)\(([^()]*)\);\s*$)");
    std::string line;
    while (std::getline(in, line)) {
        std::smatch m;
        if (!std::regex_match(line, m, declaration)) continue;
        Declared d{0, false};
        const std::string arguments = m[2];
        std::size_t start = 0;
        while (start < arguments.size()) {
            std::size_t comma = arguments.find(',', start);
            if (comma == std::string::npos) comma = arguments.size();
            const std::string item = arguments.substr(start, comma - start);
            if (item.find("...") != std::string::npos)
                d.atLeast = true;
            else if (item.find_first_not_of(' ') != std::string::npos)
                ++d.count;
            start = comma + 1;
        }
        EXPECT_TRUE(found.emplace(m[1], d).second) << m[1] << " is declared twice";
    }
    return found;
}

class HeaderTest : public zu_stdlib_test::StdlibTest {
protected:
    void SetUp() override {
        StdlibTest::SetUp();
        ZuLibFreeFunctions();
        ZuAddStdLib();
        ZuAddStdIOLib();
        ZuAddArmaLib();
        ZuAddProbLib();
        ZuAddDrawLib();  // the Gauss tables are declared by zugauss.zu
    }
    void TearDown() override {
        ZuLibFreeFunctions();
        StdlibTest::TearDown();
    }
};

TEST_F(HeaderTest, DeclaresExactlyTheRegisteredFunctionsWithTheirCounts) {
    const std::map<std::string, Declared> declared = HeaderDeclarations();
    ASSERT_GT(declared.size(), 300u) << "no declarations read from " << StagedHeader();
    for (const auto& [name, d] : declared) {
        const auto* entry = zu::value::FindFunction(name);
        if (entry == nullptr) {
            ADD_FAILURE() << name << " is declared in zustd.h but not registered";
            continue;
        }
        EXPECT_EQ(entry->count, d.atLeast ? -d.count : d.count) << name << " has another count in zustd.h";
    }
    for (int i = 0; i < zu::value::FunctionCount(); ++i) {
        const std::string name(zu::value::DeclarationName(zu::value::FunctionAt(i).declaration));
        EXPECT_TRUE(declared.count(name)) << name << " is registered but not declared in zustd.h";
    }
}

}  // namespace
