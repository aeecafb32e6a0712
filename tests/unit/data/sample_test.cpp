#include <gtest/gtest.h>

#include "data/database.h"
#include "data/sample.h"
#include "data_fixture.h"

namespace zu::data {
namespace {

TEST(SampleDating, QuarterlyIndicesAndDatesAgree) {
    EXPECT_EQ(IDateObs(1954, 2, 1953, 1, 4), 5);
    EXPECT_EQ(IObsYear(5, 1953, 1, 4), 1954);
    EXPECT_EQ(IObsPeriod(5, 1, 4), 2);
    EXPECT_EQ(IObsYear(3, 1953, 1, 4), 1953);
    EXPECT_EQ(IObsPeriod(3, 1, 4), 4);
    // Before the start the index is negative.
    EXPECT_EQ(IDateObs(1952, 3, 1953, 1, 4), -2);
}

TEST(SampleDating, StartInsideTheYearCrossesYearEnds) {
    // Monthly from 1990(11): index 1 is December, 2 is January 1991.
    EXPECT_EQ(IObsYear(1, 1990, 11, 12), 1990);
    EXPECT_EQ(IObsPeriod(1, 11, 12), 12);
    EXPECT_EQ(IObsYear(2, 1990, 11, 12), 1991);
    EXPECT_EQ(IObsPeriod(2, 11, 12), 1);
    EXPECT_EQ(IObsYear(14, 1990, 11, 12), 1992);
    EXPECT_EQ(IObsPeriod(14, 11, 12), 1);
    for (long long t = 0; t < 40; ++t)
        EXPECT_EQ(IDateObs(IObsYear(t, 1990, 11, 12), IObsPeriod(t, 11, 12), 1990, 11, 12), t) << t;
}

TEST(SampleDating, CountsAndEnds) {
    Sample s{1953, 3, 1954, 2, 4};
    EXPECT_EQ(ISampleCount(s), 4);
    SampleSetEnd(s, 10);
    EXPECT_EQ(s.year2, 1955);
    EXPECT_EQ(s.period2, 4);
    Sample backwards{1960, 1, 1959, 1, 1};
    EXPECT_EQ(ISampleCount(backwards), 0);
    EXPECT_FALSE(FIsValidSample({1950, 5, 1951, 1, 4}));
    EXPECT_FALSE(FIsValidSample({1950, 1, 1951, 1, 0}));
    EXPECT_FALSE(FIsValidSample({2000000000, 1, 2000000000, 1, 1}));
}

using Databases = test::DataFiles;

TEST_F(Databases, NamesAreUniqueAndSlotsRunOut) {
    const int before = IDbCount();
    std::vector<Database*> made;
    Database* a = DbCreate("first", 0);
    ASSERT_NE(a, nullptr);
    made.push_back(a);
    EXPECT_EQ(DbGetDefault(), a);
    EXPECT_EQ(a->capacity, 500);
    EXPECT_EQ(DbCreate("first", 3), nullptr);
    EXPECT_TRUE(Said("Database with this name already exists"));
    while (IDbCount() < kMaxDatabases) made.push_back(DbCreate("db" + std::to_string(IDbCount()), 1));
    EXPECT_EQ(DbCreate("one too many", 1), nullptr);
    EXPECT_TRUE(Said("Cannot create database"));
    for (Database* db : made) DbDelete(db);
    EXPECT_EQ(IDbCount(), before);
    EXPECT_EQ(DbFind("first"), nullptr);
}

TEST_F(Databases, VariablesFollowTheSample) {
    Database* db = DbCreate("vars", 0);
    ASSERT_NE(db, nullptr);
    ASSERT_TRUE(FDbSetSample(*db, {2000, 1, 2000, 4, 4}));
    const int x = IDbAddVar(*db, "x");
    EXPECT_EQ(IDbAddVar(*db, "x"), x);
    EXPECT_EQ(IDbAddVar(*db, "y"), 1);
    EXPECT_EQ(DbGetNext(*db, DbGetFirst(*db)), 1);
    EXPECT_EQ(DbGetNext(*db, 1), -1);
    db->vars[0].values[2] = 7;
    long long first = 0, last = 0;
    EXPECT_TRUE(FVarSpan(db->vars[0], first, last));
    EXPECT_EQ(first, 2);
    EXPECT_EQ(last, 2);
    EXPECT_FALSE(FVarSpan(db->vars[1], first, last));
    // A sample too large is refused and the old one stays.
    EXPECT_FALSE(FDbSetSample(*db, {1, 1, 900000, 1, 100}));
    EXPECT_EQ(db->observations, 4);
    EXPECT_EQ(db->vars[0].values[2], 7);
    DbDelete(db);
}

}  // namespace
}  // namespace zu::data
