#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "data/data_files.h"
#include "data/in7.h"
#include "data_fixture.h"

namespace zu::data {
namespace {

using In7Files = test::DataFiles;

std::vector<std::uint8_t> Cat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// 9.999e+102, 1.5 and -2.0 as little-endian bytes.
const std::vector<std::uint8_t> kMarker = {0xca, 0xbc, 0xf8, 0x0b, 0x7e, 0xdb, 0x51, 0x55};
const std::vector<std::uint8_t> kOneAndHalf = {0, 0, 0, 0, 0, 0, 0xf8, 0x3f};
const std::vector<std::uint8_t> kMinusTwo = {0, 0, 0, 0, 0, 0, 0, 0xc0};

// The block of "gdp": two quarterly values from 1953(1).
std::vector<std::uint8_t> GdpBlock() {
    std::vector<std::uint8_t> b = kMarker;
    b = Cat(b, {2, 0, 0, 0, 'g', 'd', 'p', 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 1, 0, 0xa1, 0x07, 0, 0});
    b = Cat(b, kOneAndHalf);
    return Cat(b, kMinusTwo);
}

Database* Quarterly(const char* name, Sample s) {
    Database* db = DbCreate(name, 0);
    if (db != nullptr && !FDbSetSample(*db, s)) return nullptr;
    return db;
}

TEST_F(In7Files, LinesAreClassifiedByTheirFirstCharacters) {
    EXPECT_EQ(IIn7LineKind("BREVIN 700\r\n"), kLineFirst);
    EXPECT_EQ(IIn7LineKind("Data x.bn7\r\n"), kLineData);
    EXPECT_EQ(IIn7LineKind(";doc\r\n"), kLineComment);
    EXPECT_EQ(IIn7LineKind(">x 1 1 1 1 1 0\r\n"), kLineVar);
    EXPECT_EQ(IIn7LineKind("-x 1 1 1 1 1 0\r\n"), kLineMarked);
    EXPECT_EQ(IIn7LineKind("\r\n"), kLineReturn);
    EXPECT_EQ(IIn7LineKind("\n"), kLineFeed);
    EXPECT_EQ(IIn7LineKind("END\r\n"), kLineEnd);
    EXPECT_EQ(IIn7LineKind("brevi\r\n"), kLineOther);
    EXPECT_EQ(IIn7LineKind(""), kLineOther);
}

TEST_F(In7Files, SavedFilesHaveTheirExactLayout) {
    Database* db = Quarterly("macro", {1953, 1, 1953, 4, 4});
    ASSERT_NE(db, nullptr);
    db->doc = "quarterly data\r\n";
    const int gdp = IDbAddVar(*db, "gdp");
    const int empty = IDbAddVar(*db, "empty");
    db->vars[gdp].values[0] = 1.5;
    db->vars[gdp].values[1] = -2.0;
    db->vars[gdp].doc = "in billions\r\n";
    ASSERT_EQ(ISaveIn7(*db, Path("m"), false), 1);
    EXPECT_EQ(db->vars[empty].flags & kVarWrite, 0);
    const std::string bn7 = ReadText("m.bn7");
    const std::vector<std::uint8_t> expected = GdpBlock();
    EXPECT_EQ(std::vector<std::uint8_t>(bn7.begin(), bn7.end()), expected);

    const std::string in7 = ReadText("m.in7");
    const std::string head =
        "brevin 700\ndata m.bn7\n;quarterly data\n"
        ">gdp          1953  1 1953  2  4 32        macro ";
    ASSERT_EQ(in7.substr(0, head.size()), head);
    EXPECT_TRUE(std::regex_match(in7.substr(head.size()),
                                 std::regex("[0-9]{2}-[0-9]{2}-[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}\n;in billions\n")))
        << in7;
    DbDelete(db);
}

TEST_F(In7Files, BlanksInNamesBecomeUnderscores) {
    Database* db = Quarterly("my data", {2000, 1, 2000, 1, 4});
    ASSERT_NE(db, nullptr);
    db->vars.clear();
    IDbAddVar(*db, "real gdp");
    db->vars[0].values[0] = 1;
    ASSERT_EQ(ISaveIn7(*db, Path("u"), false), 1);
    const std::string in7 = ReadText("u.in7");
    EXPECT_NE(in7.find(">real_gdp     2000  1 2000  1  4 32      my_data "), std::string::npos) << in7;
    EXPECT_EQ(ReadText("u.bn7").substr(12, 12), std::string("real_gdp\0\0\0\0", 12));
    DbDelete(db);
}

TEST_F(In7Files, ReadingBackKeepsSpansDocumentationAndMarks) {
    WriteBytes("r.bn7", Cat(GdpBlock(), GdpBlock()));
    WriteText("r.in7",
              "brevin 700\n\n;before the data line\ndata r.bn7\n;file doc\n"
              ">gdp 1953 1 1953 2 4 32 grp 01-01-2000 00:00:00\n;var doc\n"
              "-late 1953 3 1953 4 4 80 grp\n");
    In7File desc;
    ASSERT_TRUE(FReadIn7(Path("r"), true, true, desc));
    EXPECT_EQ(desc.doc, "file doc\r\n");
    ASSERT_EQ(desc.count, 2);
    EXPECT_EQ(desc.vars[0].doc, "var doc\r\n");
    EXPECT_EQ(desc.vars[0].group, "grp");
    EXPECT_EQ(desc.vars[0].date, "01-01-2000");
    EXPECT_EQ(desc.vars[1].flags & kVarMarked, kVarMarked);

    Database* db = DbCreate("read", 0);
    LoadCounts counts;
    ASSERT_TRUE(FLoadIn7(*db, Path("r.in7"), true, counts));
    EXPECT_EQ(db->observations, 4);
    ASSERT_EQ(db->vars.size(), 2u);
    EXPECT_EQ(db->vars[0].values[1], -2.0);
    EXPECT_TRUE(std::isnan(db->vars[0].values[2]));
    EXPECT_EQ(db->vars[1].values[2], 1.5);
    // Observations, not values: each variable has two.
    EXPECT_EQ(counts.loaded, 2);
    DbDelete(db);

    // Without marked variables only gdp is read.
    ASSERT_TRUE(FReadIn7(Path("r"), true, false, desc));
    EXPECT_EQ(desc.count, 1);
}

TEST_F(In7Files, OverlapWithTheDatabaseSample) {
    WriteBytes("o.bn7", GdpBlock());
    WriteText("o.in7", "brevin 700\ndata o.bn7\n>gdp 1953 1 1953 2 4 32\n");
    // Starting a quarter later, the first value is skipped...
    Database* late = Quarterly("late", {1953, 2, 1953, 4, 4});
    LoadCounts counts;
    ASSERT_TRUE(FLoadIn7(*late, Path("o.in7"), false, counts));
    EXPECT_EQ(late->vars[0].values[0], -2.0);
    EXPECT_EQ(counts.skipped, 1);
    DbDelete(late);
    // ... and a sample after the variable's end reads nothing.
    Database* after = Quarterly("after", {1954, 1, 1954, 4, 4});
    LoadCounts none;
    ASSERT_TRUE(FLoadIn7(*after, Path("o.in7"), false, none));
    EXPECT_TRUE(Said("gdp has no overlap with database sample"));
    EXPECT_EQ(none.loaded, 0);
    DbDelete(after);
}

TEST_F(In7Files, VariableStartingTwoPeriodsEarlySkipsItsFirstValues) {
    std::vector<std::uint8_t> block = kMarker;
    block = Cat(block, {3, 0, 0, 0, 'x', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 3, 0, 0xa0, 0x07, 0, 0});
    block = Cat(Cat(Cat(block, kMinusTwo), kMinusTwo), kOneAndHalf);
    WriteBytes("e.bn7", block);
    WriteText("e.in7", "brevin 700\ndata e.bn7\n>x 1952 3 1953 1 4 32\n");
    Database* db = Quarterly("early", {1953, 1, 1953, 2, 4});
    LoadCounts counts;
    ASSERT_TRUE(FLoadIn7(*db, Path("e.in7"), false, counts));
    EXPECT_EQ(db->vars[0].values[0], 1.5);
    EXPECT_TRUE(std::isnan(db->vars[0].values[1]));
    EXPECT_EQ(counts.read, 3);
    EXPECT_EQ(counts.skipped, 2);
    DbDelete(db);
}

TEST_F(In7Files, HostileDescriptionsAreRefusedWithAMessage) {
    WriteText("c.in7", ";brevin 700\ndata c.bn7\n");
    In7File desc;
    EXPECT_FALSE(FReadIn7(Path("c.in7"), true, false, desc));
    EXPECT_TRUE(Said("This is not a Brevin .IN7 file"));

    WriteText("n.in7", "brevin 700\n>x 1 1 1 1 1 0\n");
    EXPECT_FALSE(FReadIn7(Path("n.in7"), true, false, desc));
    EXPECT_TRUE(Said("Data description not found"));

    EXPECT_FALSE(FReadIn7(Path("absent.in7"), true, false, desc));
    EXPECT_TRUE(Said("Cannot open " + Path("absent.in7")));

    // A line without end, fields missing or out of range, a stray line.
    WriteText("h.in7", "brevin 700\ndata h.bn7\n;" + std::string(100000, 'x') + "\n>short 1 1\n" +
                           ">huge 1953 1 1953 1 4 99999999999999999999\n>bad 1953 9 1953 1 4 0\nstray\n");
    ASSERT_TRUE(FReadIn7(Path("h.in7"), true, false, desc));
    EXPECT_EQ(desc.count, 0);
    EXPECT_EQ(desc.doc, std::string(254, 'x') + "\r\n");
    EXPECT_TRUE(Said("Line too long, rest of line skipped"));
    EXPECT_TRUE(Said("Invalid description of huge skipped"));
    EXPECT_TRUE(Said("Unexpected line found"));
}

TEST_F(In7Files, DataFileShorterThanItsDescription) {
    std::vector<std::uint8_t> bytes = GdpBlock();
    bytes.resize(bytes.size() - 4);
    WriteBytes("t.bn7", bytes);
    WriteText("t.in7",
              "brevin 700\ndata t.bn7\n>gdp 1953 1 1953 2 4 32\n>far 1953 1 1953 2 4 1000000\n"
              ">inside 1953 1 1953 2 4 40\n>wide 1 1 900000 1 100 32\n");
    Database* db = DbCreate("short", 0);
    ASSERT_TRUE(FDbSetSample(*db, {1953, 1, 1953, 2, 4}));
    LoadCounts counts;
    ASSERT_TRUE(FLoadIn7(*db, Path("t"), false, counts));
    EXPECT_TRUE(Said("Unexpected end-of-file while reading gdp"));
    // Offsets must point just behind a block header.
    EXPECT_TRUE(Said("Start of far not found"));
    EXPECT_TRUE(Said("Start of inside not found"));
    EXPECT_TRUE(std::isnan(db->vars[2].values[0]));
    EXPECT_EQ(db->vars[0].values[0], 1.5);
    EXPECT_TRUE(std::isnan(db->vars[0].values[1]));
    DbDelete(db);

    // A variable spanning a huge sample cannot size a fresh database.
    WriteText("w.in7", "brevin 700\ndata t.bn7\n>wide 1 1 900000 1 100 32\n");
    Database* fresh = DbCreate("fresh", 0);
    EXPECT_FALSE(FLoadIn7(*fresh, Path("w.in7"), false, counts));
    EXPECT_TRUE(fresh->vars.empty());
    DbDelete(fresh);
}

TEST_F(In7Files, FileTypesByExtension) {
    EXPECT_EQ(IFileTypeOf("a.IN7"), kTypeIn7);
    EXPECT_EQ(IFileTypeOf("dir.x/a.dat"), kTypeDat);
    EXPECT_EQ(IFileTypeOf("a.Wk1"), kTypeWks);
    EXPECT_EQ(IFileTypeOf("a.csv"), kTypeCsv);
    EXPECT_EQ(IFileTypeOf("dir.x/a"), kTypeMatrix);
    EXPECT_EQ(WithExtension("dir.x/a", ".bn7"), "dir.x/a.bn7");
    EXPECT_EQ(WithExtension("a.in7", ".bn7"), "a.bn7");
}

}  // namespace
}  // namespace zu::data
