// Saves that cannot be done report failure and keep the old file; saves
// that succeed keep the backups asked for and leave no temporary behind.
#include <string>
#include <vector>

#include "saving/child_run.h"

namespace zu::saving::test {
namespace {

class SaveResults : public ScratchFolder {};

TEST_F(SaveResults, InvalidStataNameKeepsTheOldFile) {
    WriteOld({"k.dta"});
    const ChildResult run = RunProgram(R"(main()
{
    println("saved ", savedata("k.dta", 0, 0, 0, 0, <1; 2; 3>, {"not a name"}, 1, 1, 1, 0, 0));
}
)");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("saved 0\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Cannot write k.dta"), std::string::npos) << run.output;
    ExpectOld({"k.dta"});
    EXPECT_EQ(Names(), (std::vector<std::string>{"k.dta", "prog.zu"}));
}

TEST_F(SaveResults, NothingToWriteIsAFailure) {
    WriteOld({"k.dat", "k.in7", "k.bn7", "k.csv", "k.dht"});
    const ChildResult run = RunProgram(R"(main()
{
    println("dat ", savedata("k.dat", 0, 0, 0, 0, <.NaN; .NaN>, {"a"}, 1, 1, 1, 0, 0));
    println("in7 ", savemat("k.in7", <.NaN>));
    println("csv ", savemat("k.csv", zeros(3, 0)));
    println("dht ", savemat("k.dht", zeros(3, 0)));
}
)");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    for (const char* line : {"dat 0\n", "in7 0\n", "csv 0\n", "dht 0\n"})
        EXPECT_NE(run.output.find(line), std::string::npos) << line << run.output;
    EXPECT_NE(run.output.find("Cannot save k.in7: no observations to write"), std::string::npos) << run.output;
    ExpectOld({"k.dat", "k.in7", "k.bn7", "k.csv", "k.dht"});
}

TEST_F(SaveResults, BackupsTakeTheOldFiles) {
    WriteOld({"b.dat", "b.in7", "b.bn7", "b.csv"});
    const ChildResult run = RunProgram(R"(main()
{
    decl x = <1; 2; 3>, data, names, f, y1, p1, y2, p2;
    println(savedata("b.dat", 0, 1, 0, 0, x, {"v"}, 1, 2000, 1, 0, 0),
            savedata("b.in7", 0, 1, 0, 0, x, {"v"}, 1, 2000, 1, 0, 0),
            savedata("b.csv", 0, 1, 0, 0, x, {"v"}, 1, 2000, 1, 0, 0));
    loaddata("b.in7", 0, 0, 0, 0, &data, &names, &f, &y1, &p1, &y2, &p2);
    println(data' == x', " ", names[0]);
}
)");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("111\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("1 v\n"), std::string::npos) << run.output;
    EXPECT_EQ(Read("b.bak"), OldContents("b.csv")) << "the last save with backup moved its old file here";
    EXPECT_EQ(Read("b.bki"), OldContents("b.in7"));
    EXPECT_EQ(Read("b.bkb"), OldContents("b.bn7"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"b.bak", "b.bkb", "b.bki", "b.bn7", "b.csv", "b.dat", "b.in7",
                                                 "prog.zu"}));
}

}  // namespace
}  // namespace zu::saving::test
