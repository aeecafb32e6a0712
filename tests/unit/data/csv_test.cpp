#include <gtest/gtest.h>

#include <cmath>

#include "data/csv.h"
#include "data/data_files.h"
#include "data_fixture.h"

namespace zu::data {
namespace {

using CsvFiles = test::DataFiles;

TEST(CsvCells, DateForms) {
    struct Case {
        const char* text;
        bool years;
        DateForm form;
        int year, period, day;
    };
    const Case cases[] = {
        {"1990Q3", false, DateForm::Quarter, 1990, 3, 0},        {"1990-q4", false, DateForm::Quarter, 1990, 4, 0},
        {" 1990M03 ", false, DateForm::Month, 1990, 3, 0},       {"1990-11", false, DateForm::Month, 1990, 11, 0},
        {"1990/11", false, DateForm::Month, 1990, 11, 0},        {"1990:7", false, DateForm::Colon, 1990, 7, 0},
        {"1990(2)", false, DateForm::Colon, 1990, 2, 0},         {"1990-03-31", false, DateForm::Day, 1990, 3, 31},
        {"2000-01-31T00:00", false, DateForm::Day, 2000, 1, 31}, {"1990", true, DateForm::Year, 1990, 1, 0},
    };
    for (const Case& c : cases) {
        CellDate d;
        ASSERT_TRUE(FParseCsvDate(c.text, c.years, d)) << c.text;
        EXPECT_EQ(d.form, c.form) << c.text;
        EXPECT_EQ(d.year, c.year) << c.text;
        EXPECT_EQ(d.period, c.period) << c.text;
        EXPECT_EQ(d.day, c.day) << c.text;
    }
    for (const char* bad : {"1990", "1990Q5", "1990Q0", "1990M13", "1990-13", "1990-02-32", "1990-02-03x", "90Q1",
                            "1990(2", "1990:", "Q1 1990", "", "1990:0"}) {
        CellDate d;
        EXPECT_FALSE(FParseCsvDate(bad, false, d)) << bad;
    }
}

TEST(CsvCells, NumbersMissingValuesAndText) {
    double d = 0;
    EXPECT_TRUE(FParseCsvNumber(" +1.5e3 ", false, d));
    EXPECT_EQ(d, 1500);
    EXPECT_TRUE(FParseCsvNumber("-0,25", true, d));
    EXPECT_EQ(d, -0.25);
    EXPECT_FALSE(FParseCsvNumber("-0,25", false, d));
    for (const char* missing : {"", "  ", "NA", "NaN", ".", "#N/A", "null", ".NaN"}) {
        d = 0;
        EXPECT_TRUE(FParseCsvNumber(missing, false, d)) << missing;
        EXPECT_TRUE(std::isnan(d)) << missing;
    }
    EXPECT_TRUE(FParseCsvNumber("-.Inf", false, d));
    EXPECT_EQ(d, -HUGE_VAL);
    for (const char* text : {"1.5x", "one", "1,5,0", "1e999", "--1", "0x10"})
        EXPECT_FALSE(FParseCsvNumber(text, true, d)) << text;
    EXPECT_FALSE(FParseCsvNumber(std::string(100, '1') + ",5", true, d));
}

TEST_F(CsvFiles, RoundTripKeepsQuotedNamesEmptyCellsAndTheDatedSample) {
    Database* db = DbCreate("csv", 0);
    ASSERT_TRUE(FDbSetSample(*db, {1999, 11, 2000, 1, 12}));
    IDbAddVar(*db, "plain");
    IDbAddVar(*db, "with,comma");
    db->vars[0].values = {1, 2, 3};
    db->vars[1].values = {0.5, std::nan(""), 1e-300};
    ASSERT_EQ(ISaveCsv(*db, Path("c.csv"), false), 1);
    EXPECT_EQ(ReadText("c.csv"), "Date,plain,\"with,comma\"\n1999-11,1,0.5\n1999-12,2,\n2000-01,3,1e-300\n");
    DbDelete(db);

    Database* back = DbCreate("csvback", 0);
    LoadCounts counts;
    ASSERT_TRUE(FLoadCsv(*back, Path("c.csv"), counts));
    EXPECT_EQ(counts.read, 3);
    EXPECT_EQ(back->sample.freq, 12);
    EXPECT_EQ(back->sample.year1, 1999);
    EXPECT_EQ(back->sample.period1, 11);
    ASSERT_EQ(back->vars.size(), 2u);
    EXPECT_EQ(back->vars[1].name, "with,comma");
    EXPECT_TRUE(std::isnan(back->vars[1].values[1]));
    EXPECT_EQ(back->vars[1].values[2], 1e-300);
    DbDelete(back);
}

TEST_F(CsvFiles, LoadingIntoADatabaseWithASampleSkipsWhatFallsOutside) {
    Database* db = DbCreate("window", 0);
    ASSERT_TRUE(FDbSetSample(*db, {2000, 2, 2000, 3, 4}));
    WriteText("q.csv", "date,x\n2000Q1,1\n2000Q2,2\n2000Q3,3\n2000Q4,4\n");
    LoadCounts counts;
    ASSERT_TRUE(FLoadCsv(*db, Path("q.csv"), counts));
    EXPECT_EQ(counts.read, 4);
    EXPECT_EQ(counts.loaded, 2);
    EXPECT_EQ(counts.skipped, 2);
    EXPECT_EQ(db->vars[0].values, (std::vector<double>{2, 3}));
    WriteText("m.csv", "date,x\n2000-01,1\n");
    EXPECT_FALSE(FLoadCsv(*db, Path("m.csv"), counts));
    DbDelete(db);
}

TEST_F(CsvFiles, HostileFilesGiveAMessageAndNothingElse) {
    Database* db = DbCreate("badcsv", 0);
    LoadCounts counts;
    WriteText("names.csv", "a,b\n");
    EXPECT_FALSE(FLoadCsv(*db, Path("names.csv"), counts));
    EXPECT_TRUE(Said("No observations in file"));
    WriteText("ragged.csv", "a,b\r\n1\r\n2,3,4\r\n");
    EXPECT_FALSE(FLoadCsv(*db, Path("ragged.csv"), counts));
    EXPECT_TRUE(Said(Path("ragged.csv") + " (3): 3 cells, but 2 names in the first line"));
    // Two dates centuries apart would make a sample of thousands of rows
    // out of a file of three lines.
    WriteText("gap.csv", "date,x\n1000Q1,1\n9000Q1,2\n");
    EXPECT_FALSE(FLoadCsv(*db, Path("gap.csv"), counts));
    EXPECT_TRUE(Said(Path("gap.csv") + ": the dates leave gaps too large"));
    WriteText("wide.csv", std::string(kMaxVariablesAsked + 1, ',') + "\n1\n");
    EXPECT_FALSE(FLoadCsv(*db, Path("wide.csv"), counts));
    EXPECT_TRUE(db->vars.empty());
    // A quote that never closes takes the rest of the file as one cell.
    WriteText("open.csv", "a,b\n1,\"" + std::string(100000, 'x') + "\n2,3\n");
    ASSERT_TRUE(FLoadCsv(*db, Path("open.csv"), counts));
    EXPECT_EQ(db->observations, 1);
    EXPECT_TRUE(std::isnan(db->vars[1].values[0]));
    DbDelete(db);
}

TEST_F(CsvFiles, TheReaderHandsOutRowsOnlyAfterTheFirstPassAgrees) {
    WriteText("r.csv", "date,x,y\n2001Q2,1,2\n2001Q4,3,4\n");
    CsvShape seen;
    std::vector<long long> asked;
    double row[2];
    const bool ok = FReadCsv(
        Path("r.csv"),
        [&](const CsvShape& s) {
            seen = s;
            return true;
        },
        [&](long long t) {
            asked.push_back(t);
            return row;
        });
    ASSERT_TRUE(ok);
    EXPECT_TRUE(seen.dated);
    EXPECT_EQ(seen.rows, 3);
    EXPECT_EQ(seen.records, 2);
    EXPECT_EQ(asked, (std::vector<long long>{0, 2}));
    EXPECT_EQ(row[0], 3);
    asked.clear();
    EXPECT_FALSE(FReadCsv(
        Path("r.csv"), [](const CsvShape&) { return false; },
        [&](long long t) {
            asked.push_back(t);
            return row;
        }));
    EXPECT_TRUE(asked.empty());
}

}  // namespace
}  // namespace zu::data
