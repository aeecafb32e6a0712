// Saving over existing files when the disk fills: every writer reports
// failure and leaves the old file exactly as it was, with no temporary
// file left behind.
#include <string>
#include <vector>

#include "saving/child_run.h"

namespace zu::saving::test {
namespace {

// Room for the headers of a file, not for the rows of a large matrix.
constexpr rlim_t kFullDisk = 4096;

class FullDisk : public ScratchFolder {};

TEST_F(FullDisk, SavematOfEveryFileTypeKeepsTheOldFile) {
    const std::vector<std::string> names = {"t.mat", "t.csv", "t.in7", "t.bn7", "t.fmt", "t.dat",
                                            "t.dta", "t.xls", "t.xlsx", "t.wks", "t.dht"};
    WriteOld(names);
    const ChildResult run = RunProgram(R"(main()
{
    decl x = rann(2000, 3), types = {"t.mat", "t.csv", "t.in7", "t.fmt", "t.dat", "t.dta", "t.xls", "t.xlsx",
                                     "t.wks", "t.dht"}, k;
    for (k = 0; k < sizeof(types); ++k)
        println(types[k], " ", savemat(types[k], x));
}
)",
                                       {kFullDisk});
    ASSERT_EQ(run.signal, 0) << run.output;
    for (const char* type : {"t.mat", "t.csv", "t.in7", "t.fmt", "t.dat", "t.dta", "t.xls", "t.xlsx", "t.wks", "t.dht"})
        EXPECT_NE(run.output.find(std::string(type) + " 0\n"), std::string::npos) << type << "\n" << run.output;
    ExpectOld(names);
    std::vector<std::string> expected = names;
    expected.push_back("prog.zu");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(), expected);
}

TEST_F(FullDisk, SavedataWithBackupKeepsTheOldFileAndMakesNoBackup) {
    const std::vector<std::string> names = {"d.csv", "d.in7", "d.bn7", "d.dat", "d.dta", "d.xls", "d.wks"};
    WriteOld(names);
    const ChildResult run = RunProgram(R"(main()
{
    decl x = rann(3000, 2), types = {"d.csv", "d.in7", "d.dat", "d.dta", "d.xls", "d.wks"}, k;
    for (k = 0; k < sizeof(types); ++k)
        println(types[k], " ", savedata(types[k], 0, 1, 0, 0, x, {"a", "b"}, 4, 1950, 1, 0, 0));
}
)",
                                       {kFullDisk});
    ASSERT_EQ(run.signal, 0) << run.output;
    for (const char* type : {"d.csv", "d.in7", "d.dat", "d.dta", "d.xls", "d.wks"})
        EXPECT_NE(run.output.find(std::string(type) + " 0\n"), std::string::npos) << type << "\n" << run.output;
    ExpectOld(names);
    for (const char* backup : {"d.bak", "d.bki", "d.bkb"}) EXPECT_FALSE(Exists(backup)) << backup;
}

// Writes 100 rows of 10 columns to a matrix file opened with `mode`
// (after the names of a data set, when given) on a full disk: the rows
// that fwrite counts, the header and the rows read back all agree with
// the whole rows the file holds, and fclose reports the failure.
class FullDiskMatrixFile : public FullDisk {
protected:
    void WriteHundredRows(const std::string& name, const std::string& mode, const std::string& names,
                          std::size_t headerBytes) {
        const ChildResult run = RunProgram(R"(main()
{
    decl f = fopen(")" + name + R"(", ")" + mode + R"("), k, stored = 0, back;
    )" + names + R"(
    for (k = 0; k < 100; ++k)
        stored += fwrite(f, range(1, 10) + 10 * k);
    println("stored ", stored);
    println("fclose ", fclose(f));
    f = fopen(")" + name + R"(", "rf");
    println("read ", fread(f, &back));
    println("last row ", back[rows(back) - 1][0] == 10 * (rows(back) - 1) + 1);
    fclose(f);
}
)",
                                           {kFullDisk});
        ASSERT_EQ(run.signal, 0) << run.output;
        const std::string data = Read(name);
        constexpr std::size_t kRow = 80;
        ASSERT_GT(data.size(), headerBytes);
        EXPECT_EQ((data.size() - headerBytes) % kRow, 0U) << "a row cut short stays in the file";
        const std::size_t rows = (data.size() - headerBytes) / kRow;
        EXPECT_LT(rows, 100U);
        EXPECT_GT(rows, 0U);
        const std::string held = std::to_string(rows);
        EXPECT_NE(run.output.find("stored " + held + "\n"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("fclose -1\n"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("read " + held + "\n"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("last row 1\n"), std::string::npos) << run.output;
    }
};

TEST_F(FullDiskMatrixFile, OlderHeader) { WriteHundredRows("m.fmt", "wf", "", 16); }

TEST_F(FullDiskMatrixFile, NewerHeader) { WriteHundredRows("m.fmt", "wF", "", 136); }

TEST_F(FullDiskMatrixFile, DataSetWithNames) {
    // 128 bytes, then 33 a name, rounded up to a multiple of 8.
    WriteHundredRows("d.dat", "wf", R"(fwrite(f, {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"});)", 464);
}

TEST_F(FullDisk, DrawingFilesKeepTheOldFile) {
    const std::vector<std::string> names = {"g.zug", "g.eps", "g.ps", "g.svg", "g.pdf", "g.png"};
    WriteOld(names);
    const ChildResult run = RunProgram(R"(main()
{
    decl names = {"g.zug", "g.eps", "g.ps", "g.svg", "g.pdf", "g.png"}, k;
    Draw(0, rann(1, 5000));
    for (k = 0; k < sizeof(names); ++k)
        println(names[k], " ", SaveDrawWindow(names[k]));
}
)",
                                       {kFullDisk});
    ASSERT_EQ(run.signal, 0) << run.output;
    ExpectOld(names);
    EXPECT_EQ(run.output.find(" 1\n"), std::string::npos) << run.output;
}

TEST_F(FullDisk, GaussSaveKeepsTheOldFileAndStops) {
    WriteOld({"x.fmt"});
    Write("prog.gss", "x = rndn(2000, 3);\nsave x;\nprint \"not reached\";\n");
    const ChildResult run = RunChild(Dir(), {ZU_LAUNCHER, "-b", "-g", "prog.gss"}, {kFullDisk});
    ASSERT_EQ(run.signal, 0) << run.output;
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("save: cannot write x.fmt"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("not reached"), std::string::npos) << run.output;
    ExpectOld({"x.fmt"});
}

TEST_F(FullDisk, GaussDataSetReportsTheFailure) {
    Write("prog.gss", "print saved(rndn(2000, 3), \"big\", 0);\nprint saved(rndn(5, 2), \"small\", 0);\n");
    const ChildResult run = RunChild(Dir(), {ZU_LAUNCHER, "-b", "-g", "prog.gss"}, {kFullDisk});
    ASSERT_EQ(run.signal, 0) << run.output;
    const std::size_t failed = run.output.find("0.0000000");
    EXPECT_NE(failed, std::string::npos) << run.output;
    EXPECT_NE(run.output.find("1.0000000", failed), std::string::npos) << run.output;
}

TEST_F(FullDisk, ObjectFileKeepsTheOldOne) {
    WriteOld({"prog.zuo"});
    std::string body = "main()\n{\n    decl x = 0;\n";
    for (int k = 0; k < 400; ++k) body += "    x += " + std::to_string(k) + ";\n";
    body += "    println(x);\n}\n";
    Write("prog.zu", "#include <zustd.h>\n" + body);
    const ChildResult run = RunChild(Dir(), {ZU_LAUNCHER, "-c", "prog.zu"}, {kFullDisk});
    ASSERT_EQ(run.signal, 0) << run.output;
    EXPECT_NE(run.exitCode, 0) << run.output;
    ExpectOld({"prog.zuo"});
    EXPECT_EQ(Names(), (std::vector<std::string>{"prog.zu", "prog.zuo"}));
}

TEST_F(FullDisk, ConverterKeepsItsOldOutputFiles) {
    const std::vector<std::string> names = {"out.zu", "out.h", "out.log"};
    WriteOld(names);
    std::string gauss;
    for (int k = 0; k < 400; ++k) gauss += "x" + std::to_string(k) + " = " + std::to_string(k) + " + 1;\n";
    Write("in.prg", gauss);
    // The converter asks before it overwrites the program and its header.
    const ChildResult run = RunChild(Dir(), {ZU_CONVERTER, "in.prg", "out.zu"}, {kFullDisk}, "Y\nY\n");
    ASSERT_EQ(run.signal, 0) << run.output;
    EXPECT_NE(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Unable to write file"), std::string::npos) << run.output;
    ExpectOld(names);
}

}  // namespace
}  // namespace zu::saving::test
