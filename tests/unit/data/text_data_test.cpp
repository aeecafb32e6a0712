#include <gtest/gtest.h>

#include <cmath>

#include "data/data_files.h"
#include "data/text_data.h"
#include "data_fixture.h"

namespace zu::data {
namespace {

using TextFiles = test::DataFiles;

TEST(NumberTexts, MissingAndInfiniteValuesAndExactDoubles) {
    double d = 0;
    EXPECT_TRUE(FParseNumber(".", d));
    EXPECT_TRUE(std::isnan(d));
    EXPECT_TRUE(FParseNumber("-.Inf", d));
    EXPECT_EQ(d, -HUGE_VAL);
    EXPECT_FALSE(FParseNumber("1.5x", d));
    EXPECT_FALSE(FParseNumber("", d));
    EXPECT_EQ(NumberText(0.1), "0.1");
    EXPECT_EQ(NumberText(std::nan("")), ".");
    const double third = 1.0 / 3;
    ASSERT_TRUE(FParseNumber(NumberText(third), d));
    EXPECT_EQ(d, third);
}

TEST_F(TextFiles, DatFilesRoundTripWithTheirHeaders) {
    Database* db = DbCreate("dat", 0);
    ASSERT_TRUE(FDbSetSample(*db, {1990, 11, 1991, 2, 12}));
    const int a = IDbAddVar(*db, "a");
    db->vars[a].values = {std::nan(""), 0.25, std::nan(""), -3};
    ASSERT_EQ(ISaveDat(*db, Path("x.dat"), false), 1);
    EXPECT_EQ(ReadText("x.dat"), "\n>a 1990 12 1991 2 12\n0.25\n.\n-3\n");
    DbDelete(db);

    Database* back = DbCreate("back", 0);
    LoadCounts counts;
    ASSERT_TRUE(FLoadDat(*back, Path("x.dat"), nullptr, counts));
    EXPECT_EQ(back->sample.year1, 1990);
    EXPECT_EQ(back->sample.period1, 12);
    EXPECT_EQ(back->observations, 3);
    EXPECT_EQ(back->vars[0].values[2], -3);
    EXPECT_EQ(counts.read, 3);
    DbDelete(back);
}

TEST_F(TextFiles, DatFilesWithoutHeadersNeedALayout) {
    WriteText("plain.dat", "1 2\n3 4\n5 6\n");
    Database* db = DbCreate("plain", 0);
    LoadCounts counts;
    EXPECT_FALSE(FLoadDat(*db, Path("plain.dat"), nullptr, counts));
    EXPECT_TRUE(Said("Need formatting information to read this file"));
    TextLayout byVariable{2, false, {2000, 1, 1, 1, 1}};
    SampleSetEnd(byVariable.sample, 3);
    ASSERT_TRUE(FLoadDat(*db, Path("plain.dat"), &byVariable, counts));
    ASSERT_EQ(db->vars.size(), 2u);
    EXPECT_EQ(db->vars[0].values, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(db->vars[1].values, (std::vector<double>{4, 5, 6}));
    EXPECT_EQ(db->sample.year2, 2002);
    DbDelete(db);
}

TEST_F(TextFiles, HostileDatFiles) {
    Database* db = DbCreate("hostile", 0);
    LoadCounts counts;
    WriteText("b.dat", std::string("\0\1binary", 8));
    EXPECT_FALSE(FLoadDat(*db, Path("b.dat"), nullptr, counts));
    WriteText("h.dat", ">x 1 1 99999999 1 1\n1\n");
    EXPECT_FALSE(FLoadDat(*db, Path("h.dat"), nullptr, counts));
    WriteText("g.dat", ">x 1 1 2 1 1\n1 abc\n");
    EXPECT_FALSE(FLoadDat(*db, Path("g.dat"), nullptr, counts));
    EXPECT_TRUE(Said("Invalid number abc in " + Path("g.dat")));
    // Fewer values than the header announces: the rest stays missing.
    WriteText("s.dat", ">x 2000 1 2003 1 1\n1\n2\n");
    ASSERT_TRUE(FLoadDat(*db, Path("s.dat"), nullptr, counts));
    EXPECT_TRUE(Said("Unexpected end-of-file while reading x"));
    EXPECT_EQ(db->observations, 4);
    EXPECT_TRUE(std::isnan(db->vars[0].values[3]));
    DbDelete(db);
}

TEST_F(TextFiles, MatrixFilesCheckTheirDimensions) {
    std::vector<double> v;
    int r = 0, c = 0;
    WriteText("m.mat", "2 2\n 1 .\n -.Inf 4e2\n");
    ASSERT_TRUE(FLoadMatrixText(Path("m.mat"), false, v, r, c));
    EXPECT_EQ(r, 2);
    EXPECT_EQ(c, 2);
    EXPECT_TRUE(std::isnan(v[1]));
    EXPECT_EQ(v[3], 400);
    ASSERT_TRUE(FLoadMatrixText(Path("m.mat"), true, v, r, c));
    EXPECT_EQ(r, 6);
    EXPECT_EQ(c, 1);
    WriteText("big.mat", "100000 100000\n1\n");
    EXPECT_FALSE(FLoadMatrixText(Path("big.mat"), false, v, r, c));
    WriteText("few.mat", "2 3\n1 2\n");
    EXPECT_FALSE(FLoadMatrixText(Path("few.mat"), false, v, r, c));
    EXPECT_TRUE(Said(Path("few.mat") + " holds 2 elements where 2 x 3 were announced"));
}

}  // namespace
}  // namespace zu::data
