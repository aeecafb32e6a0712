// Imports: object files before sources, directories, the loop over the
// recorded names, and the search beside the imports.
#include "objfile_fixture.h"

namespace zu::test {
namespace {

class ImportTest : public ObjfileTest {
protected:
    void SetUp() override {
        ObjfileTest::SetUp();
        ZuSetIncludePath(dir_.string().c_str());
    }
    int addImport(const char* name) { return program::literalTable().addImport(name, false, false); }
};

TEST_F(ImportTest, ObjectFileIsPreferredToTheSource) {
    compileTo("lib.zuo", "decl fromObject = 1;");
    writeFile("lib.zu", "decl fromSource = 1;");
    reopen();
    addImport("lib");
    EXPECT_EQ(IZuParseLinkImports(), 0);
    EXPECT_GE(find("fromObject"), 0);
    EXPECT_LT(find("fromSource"), 0);
    EXPECT_NE(program::literalTable()[0].w2.i, 0);  // marked linked
}

TEST_F(ImportTest, SourceIsCompiledWhenThereIsNoObjectFile) {
    writeFile("lib.zu", "decl fromSource = 3;");
    addImport("lib");
    EXPECT_EQ(IZuParseLinkImports(), 0);
    EXPECT_GE(find("fromSource"), 0);
}

TEST_F(ImportTest, DirectoryLoadsNothingAndMissingFileFails) {
    const int symbols = program::symbolTable().count();
    EXPECT_EQ(IZuGetImportFile("lib/", 0, 0), 0);
    EXPECT_EQ(program::symbolTable().count(), symbols);
    EXPECT_TRUE(messages().empty());
    addImport("nothere");
    EXPECT_EQ(IZuParseLinkImports(), 1);
    EXPECT_EQ(messages(), std::vector<std::string>{"Import file not found: nothere"});
}

TEST_F(ImportTest, ImportsOfLoadedFilesAreFollowedAndLoadedOnce) {
    compileTo("inner.zuo", "decl inner = 1;");
    // outer.zuo records the import of inner, in another case.
    reopen();
    compile("decl outer = 2;");
    addImport("INNER");
    EXPECT_EQ(ZuWriteCode(std::fopen(path("outer.zuo").c_str(), "wb")), 1);
    reopen();
    addImport("outer");
    addImport("inner");
    EXPECT_EQ(IZuParseLinkImports(), 0);
    EXPECT_GE(find("outer"), 0);
    EXPECT_GE(find("inner"), 0);
    EXPECT_TRUE(messages().empty()) << messages().front();  // no duplicate from a second load
}

TEST_F(ImportTest, SearchAlongImportsLooksBesideImportsWithDirectories) {
    std::filesystem::create_directories(dir_ / "sub");
    std::ofstream((dir_ / "sub" / "ext.so").string()) << "x";
    ZuSetIncludePath(nullptr);
    char found[ZU_PATH_MAX] = "";
    EXPECT_FALSE(objfile::ZuSearchAlongImports(found, "ext", ".so"));
    const std::string import = (dir_ / "sub" / "lib").string();
    addImport(import.c_str());
    EXPECT_TRUE(objfile::ZuSearchAlongImports(found, "ext", ".so"));
    EXPECT_EQ(std::string(found), (dir_ / "sub" / "ext.so").string());
}

}  // namespace
}  // namespace zu::test
