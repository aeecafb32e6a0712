#include "console_capture.h"
#include "driver/switches.h"

#include <string>
#include <vector>

using zu::driver::applySwitch;
using zu::driver::readTwoNumbers;
using zu::driver::RunOptions;
using zu::driver::SwitchResult;
using zu::test::captured;

namespace {

class DriverTest : public zu::test::ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        ZuSetIncludePath(nullptr);
    }
    std::string allMessages() {
        std::string all;
        for (const auto& m : captured().messages) all += m + "\n";
        return all;
    }
};

TEST_F(DriverTest, LettersIgnoreCaseAndTrailingCharacters) {
    RunOptions o;
    EXPECT_EQ(applySwitch("-clx", o), SwitchResult::Continue);
    EXPECT_TRUE(o.createAfterLink);
    EXPECT_FALSE(o.createObject);
    RunOptions upper;
    applySwitch("-C", upper);
    EXPECT_TRUE(upper.createObject);
    RunOptions capitalL;
    applySwitch("-cL", capitalL);  // l must be lower case
    EXPECT_FALSE(capitalL.createAfterLink);
    EXPECT_FALSE(capitalL.createObject);

    ZuSetGaussMode(0);
    applySwitch("-gauss", o);
    EXPECT_EQ(ZuIsGaussMode(), 1);
    EXPECT_EQ(ZuIsCaseInsensitive(), 1);
    ZuSetGaussMode(0);

    EXPECT_EQ(applySwitch("-H", o), SwitchResult::Usage);
    EXPECT_EQ(applySwitch("-?", o), SwitchResult::Usage);
    EXPECT_TRUE(captured().messages.empty());
}

TEST_F(DriverTest, DebugAloneOrDefine) {
    RunOptions o;
    applySwitch("-D", o);
    EXPECT_TRUE(o.debug);
    RunOptions d;
    applySwitch("-dOPTION1+OPTION2", d);
    EXPECT_FALSE(d.debug);
}

TEST_F(DriverTest, IncludeSwitchesEditThePath) {
    RunOptions o;
    applySwitch("-i", o);
    EXPECT_TRUE(o.interactive);
    applySwitch("-i/first", o);
    applySwitch("-I/second:/third", o);
    EXPECT_STREQ(ZuGetIncludePath(), "/second;/third;/first;");
    applySwitch("-x", o);
    EXPECT_STREQ(ZuGetIncludePath(), "");
}

TEST_F(DriverTest, RunSwitches) {
    RunOptions o;
    applySwitch("-r-", o);
    applySwitch("-rr", o);
    EXPECT_TRUE(o.noRun);
    EXPECT_TRUE(o.cacheReport);
    RunOptions none;
    applySwitch("-rq", none);  // accepted, no effect
    applySwitch("-m", none);
    applySwitch("-oz", none);
    applySwitch("-b", none);
    EXPECT_FALSE(none.noRun);
    EXPECT_TRUE(captured().messages.empty());
}

TEST_F(DriverTest, LinkListAndMissingList) {
    RunOptions o;
    EXPECT_EQ(applySwitch("-la+b+c", o), SwitchResult::Continue);
    EXPECT_EQ(o.linkFiles, "a+b+c");
    EXPECT_EQ(applySwitch("-l", o), SwitchResult::NoLinkFile);
    ASSERT_EQ(captured().messages.size(), 1u);
    EXPECT_EQ(captured().messages[0], "No link file specified");
}

TEST_F(DriverTest, UnknownSwitchIsReportedWhole) {
    RunOptions o;
    EXPECT_EQ(applySwitch("-q", o), SwitchResult::Continue);
    EXPECT_EQ(applySwitch("-zu", o), SwitchResult::Continue);
    EXPECT_EQ(applySwitch("-", o), SwitchResult::Continue);
    EXPECT_EQ(allMessages(),
              "Unrecognized command line switch: -q\n"
              "Unrecognized command line switch: -zu\n"
              "Unrecognized command line switch: -\n");
    EXPECT_EQ(ZuGetZuEditMode(), 0);
    applySwitch("-zuedit", o);
    EXPECT_EQ(ZuGetZuEditMode(), 1);
}

TEST(SwitchNumbers, MissingNumbersKeepTheirDefaults) {
    int a = 16, b = 1000;
    readTwoNumbers("8", a, b);
    EXPECT_EQ(a, 8);
    EXPECT_EQ(b, 1000);
    readTwoNumbers("4,20", a, b);
    EXPECT_EQ(a, 4);
    EXPECT_EQ(b, 20);
    int c = 2000, d = 1000;
    readTwoNumbers("", c, d);
    readTwoNumbers(",5", c, d);
    EXPECT_EQ(c, 2000);
    EXPECT_EQ(d, 1000);
    readTwoNumbers("99999999999999,-99999999999999", c, d);
    EXPECT_EQ(c, 2147483647);
    EXPECT_EQ(d, -2147483647 - 1);
}

TEST_F(DriverTest, NoArgumentsGiveBannerAndUsage) {
    EXPECT_EQ(ZuMainCmd(""), 0);
    ASSERT_EQ(captured().messages.size(), 5u);
    EXPECT_EQ(captured().messages[0], "");
    EXPECT_NE(captured().messages[1].find("3.40"), std::string::npos);
    EXPECT_EQ(captured().messages[2].rfind("Zu Object-oriented matriX language\n", 0), 0u);
    EXPECT_EQ(captured().messages[3], "  -d          debugging mode\n  -i          interactive mode");
    EXPECT_EQ(captured().messages[4].back(), '\n');
}

TEST_F(DriverTest, BannerIsSuppressedByBAsFirstArgument) {
    EXPECT_EQ(ZuMainCmd("-b -h"), 0);
    ASSERT_EQ(captured().messages.size(), 3u);
    EXPECT_EQ(captured().messages[0].rfind("Zu Object-oriented", 0), 0u);
}

TEST_F(DriverTest, QuotedArgumentsKeepTheirBlanks) {
    EXPECT_EQ(ZuMainCmd("-b \"no such dir/my prog\" arg1  arg2"), 0);
    EXPECT_EQ(allMessages(), "Failed to open Zu file\n");
    int count = -1;
    char** args = nullptr;
    ZuGetZuArgs(&count, &args);
    EXPECT_EQ(count, 0);  // cleared by the clean-up
}

TEST_F(DriverTest, NoRunWithoutFileGivesUsage) {
    EXPECT_EQ(ZuMainCmd("-b -r-"), 0);
    ASSERT_EQ(captured().messages.size(), 3u);
}

TEST_F(DriverTest, ProgramArgumentsStartAtTheFileName) {
    // Copied at once, so they are checked through a host-held argv.
    std::vector<std::string> words{"zul", "-b", "prog.zu", "one", "-two"};
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    ZuSetZuArgs(static_cast<int>(argv.size()) - 2, argv.data() + 2);
    int count = 0;
    char** args = nullptr;
    ZuGetZuArgs(&count, &args);
    ASSERT_EQ(count, 3);
    EXPECT_STREQ(args[0], "prog.zu");
    EXPECT_STREQ(args[2], "-two");
    EXPECT_NE(args[0], argv[2]);  // owned copies
    ZuSetZuArgs(0, nullptr);
    ZuGetZuArgs(&count, &args);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(args, nullptr);
}

TEST(DriverFlags, GaussModeSetsCaseInsensitivity) {
    EXPECT_EQ(ZuSetGaussMode(1), 1);
    EXPECT_EQ(ZuIsCaseInsensitive(), 1);
    EXPECT_EQ(ZuSetCaseInsensitive(0), 1);
    EXPECT_EQ(ZuIsGaussMode(), 1);
    EXPECT_EQ(ZuSetGaussMode(0), 0);
    EXPECT_EQ(IZuVersion(), 340);
}

}  // namespace
