#include <gtest/gtest.h>

#include <cmath>

#include "data/stata.h"
#include "data_fixture.h"

namespace zu::data {
namespace {

using StataFiles = test::DataFiles;

Database* TwoColumns(const char* name) {
    Database* db = DbCreate(name, 0);
    if (db == nullptr || !FDbSetSample(*db, {1, 1, 3, 1, 1})) return nullptr;
    IDbAddVar(*db, "alpha");
    IDbAddVar(*db, "beta");
    db->vars[0].values = {1, 2.5, 1e300};
    db->vars[1].values = {std::nan(""), -3, 4};
    return db;
}

TEST_F(StataFiles, RoundTripKeepsNamesValuesAndMissingValues) {
    Database* db = TwoColumns("dta");
    ASSERT_NE(db, nullptr);
    ASSERT_EQ(ISaveDta(*db, Path("t.dta"), false), 1);
    DbDelete(db);
    Database* back = DbCreate("dtaback", 0);
    LoadCounts counts;
    ASSERT_TRUE(FLoadDta(*back, Path("t.dta"), counts));
    ASSERT_EQ(back->vars.size(), 2u);
    EXPECT_EQ(back->vars[1].name, "beta");
    EXPECT_EQ(back->vars[0].values, (std::vector<double>{1, 2.5, 1e300}));
    EXPECT_TRUE(std::isnan(back->vars[1].values[0]));
    EXPECT_EQ(back->vars[1].values[2], 4);
    EXPECT_EQ(counts.loaded, 3);  // observations, not values
    DbDelete(back);
}

TEST_F(StataFiles, DamagedFilesGiveAMessage) {
    Database* db = TwoColumns("dtasrc");
    ASSERT_EQ(ISaveDta(*db, Path("t.dta"), false), 1);
    DbDelete(db);
    const std::string whole = ReadText("t.dta");
    Database* target = DbCreate("dtabad", 0);
    LoadCounts counts;
    WriteText("cut.dta", whole.substr(0, whole.size() / 2));
    EXPECT_FALSE(FLoadDta(*target, Path("cut.dta"), counts));
    WriteText("text.dta", "not a stata file at all\n");
    EXPECT_FALSE(FLoadDta(*target, Path("text.dta"), counts));
    EXPECT_TRUE(Said("Unknown Stata file format"));
    EXPECT_FALSE(FLoadDta(*target, Path("absent.dta"), counts));
    EXPECT_TRUE(Said("Cannot open " + Path("absent.dta")));
    EXPECT_TRUE(target->vars.empty());
    DbDelete(target);
}

}  // namespace
}  // namespace zu::data
