#include "console_capture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class IncludePathTest : public zu::test::ConsoleTest {
protected:
    fs::path root;
    void SetUp() override {
        ConsoleTest::SetUp();
        root = fs::temp_directory_path() / ("zu_include_" + std::to_string(::getpid()));
        fs::create_directories(root / "a");
        fs::create_directories(root / "b");
        ZuSetIncludePath(nullptr);
    }
    void TearDown() override {
        ZuSetIncludePath(nullptr);
        fs::remove_all(root);
        ConsoleTest::TearDown();
    }
    void touch(const fs::path& p, const std::string& text = "") { std::ofstream(p) << text; }
    std::string search(const char* name, const char* ext = "", int asGiven = 0) {
        char found[ZU_PATH_MAX] = "";
        FILE* f = ZuFileOpenSearch(name, 0, asGiven, found, ext);
        if (!f) return "";
        std::fclose(f);
        return found;
    }
};

TEST_F(IncludePathTest, LaterPathsComeFirstAndColonsBecomeSemicolons) {
    ZuSetIncludePath("/one");
    EXPECT_STREQ(ZuGetIncludePath(), "/one;");
    ZuSetIncludePath("/two:/three");
    EXPECT_STREQ(ZuGetIncludePath(), "/two;/three;/one;");
    ZuSetIncludePath("/four;");
    EXPECT_STREQ(ZuGetIncludePath(), "/four;/two;/three;/one;");
    ZuSetIncludePath("");
    EXPECT_STREQ(ZuGetIncludePath(), "/four;/two;/three;/one;");
    ZuSetIncludePath(nullptr);
    EXPECT_STREQ(ZuGetIncludePath(), "");
}

TEST_F(IncludePathTest, EnvironmentWinsOverTheLibraryDirectory) {
    setenv("ZU3PATH", "/x:/y", 1);
    ZuGetIncludePathDefault();
    EXPECT_STREQ(ZuGetIncludePath(), "/x;/y");
    unsetenv("ZU3PATH");
    ZuGetIncludePathDefault();
    // Without ZU3PATH the path is made from the directory of the code.
    std::string path = ZuGetIncludePath();
    ASSERT_FALSE(path.empty());
    auto semicolon = path.find(';');
    ASSERT_NE(semicolon, std::string::npos);
    std::string dir = path.substr(semicolon + 1);
    EXPECT_EQ(path.substr(0, semicolon), dir + "/include");
    EXPECT_TRUE(fs::exists(dir));
}

TEST_F(IncludePathTest, SearchFollowsThePathInOrder) {
    touch(root / "a" / "lib.h", "a");
    touch(root / "b" / "lib.h", "b");
    ZuSetIncludePath((root / "b").c_str());
    ZuSetIncludePath((root / "a").c_str());
    EXPECT_EQ(search("lib.h"), (root / "a" / "lib.h").string());
    ZuSetIncludePath(nullptr);
    ZuSetIncludePath(((root / "a").string() + "/").c_str());
    ZuSetIncludePath((root / "b").c_str());
    EXPECT_EQ(search("lib.h"), (root / "b" / "lib.h").string());
}

TEST_F(IncludePathTest, DefaultExtensionOnlyForNamesWithoutOne) {
    touch(root / "a" / "mod.zu");
    touch(root / "a" / "mod.h");
    ZuSetIncludePath((root / "a").c_str());
    EXPECT_EQ(search("mod", ".zu"), (root / "a" / "mod.zu").string());
    EXPECT_EQ(search("mod.h", ".zu"), (root / "a" / "mod.h").string());
    EXPECT_EQ(search("none", ".zu"), "");
}

TEST_F(IncludePathTest, NameIsTriedAsGivenLast) {
    fs::path file = root / "direct.zu";
    touch(file);
    char found[ZU_PATH_MAX] = "";
    FILE* f = ZuFileOpenSearch(file.c_str(), 0, 0, found, ".zu");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(std::string(found), file.string());
    // On a miss the buffer names the last candidate tried.
    EXPECT_EQ(ZuFileOpenSearch("missing_file", 0, 0, found, ".zu"), nullptr);
    EXPECT_STREQ(found, "missing_file.zu");
}

TEST_F(IncludePathTest, FileOpenNormalisesTheName) {
    fs::path file = root / "a" / "n.txt";
    touch(file, "ok");
    std::string name = (root / "a").string() + "\\n.txt  \t";
    FILE* f = FileOpen(name.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
}

TEST(FileNames, BaseAndExtension) {
    EXPECT_STREQ(SFileBase("dir/sub\\file.zu"), "file.zu");
    EXPECT_STREQ(SFileExt("dir/sub\\file.zu"), ".zu");
    EXPECT_STREQ(SFileExt("dir.d/file"), "");
    EXPECT_STREQ(SFileExt("archive.tar.gz"), ".gz");
}

TEST_F(IncludePathTest, SourceFileOpensAlongThePathWithZuExtension) {
    touch(root / "b" / "prog.zu", "ab");
    ZuSetIncludePath((root / "b").c_str());
    ASSERT_EQ(ZuOpenSourceFile("prog"), 1);
    EXPECT_EQ(std::string(ZuGetSourceFilename()), (root / "b" / "prog.zu").string());
    EXPECT_EQ(IZuGetSource(), 'a');
    ZuUnGetSource('z');
    EXPECT_EQ(IZuGetSource(), 'z');
    EXPECT_EQ(IZuGetSource(), 'b');
    EXPECT_EQ(IZuGetSource(), -1);
    EXPECT_EQ(ZuOpenSourceFile(nullptr), 1);
    EXPECT_EQ(ZuGetSourceFilename(), nullptr);
}

TEST_F(IncludePathTest, MissingSourceIsReported) {
    EXPECT_EQ(ZuOpenSourceFile("no_such_program"), 0);
    ASSERT_EQ(zu::test::captured().messages.size(), 1u);
    EXPECT_EQ(zu::test::captured().messages[0], "Failed to open Zu file");
}

TEST_F(IncludePathTest, SourceTextIsReadThenEnds) {
    ZuOpenSourceText("x;");
    EXPECT_EQ(ZuGetSourceFilename(), nullptr);
    EXPECT_EQ(IZuGetSource(), 'x');
    EXPECT_EQ(IZuGetSource(), ';');
    EXPECT_EQ(IZuGetSource(), -1);
}

}  // namespace
