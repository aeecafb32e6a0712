// Julian day numbers, the calendar and the date and time texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "stdlib/dates.h"
#include "zu.h"

namespace {

struct Date {
    int y, m, d;
};

Date FromJulian(int jd) {
    Date date{};
    GetDateFromJulian(jd, &date.y, &date.m, &date.d);
    return date;
}

TEST(JulianDay, KnownDaysAndTheGregorianSwitch) {
    EXPECT_EQ(GetJulianDay(2000, 1, 1), 2451545);
    EXPECT_EQ(GetDayOfWeek(2000, 1, 1), 7);   // Saturday
    EXPECT_EQ(GetDayOfWeek(2026, 12, 6), 1);  // Sunday
    EXPECT_EQ(GetJulianDay(1582, 10, 15), 2299161);
    EXPECT_EQ(GetJulianDay(1582, 10, 4), 2299160);
    const Date after = FromJulian(2299161);
    EXPECT_EQ(after.y, 1582);
    EXPECT_EQ(after.m, 10);
    EXPECT_EQ(after.d, 15);
    const Date before = FromJulian(2299160);
    EXPECT_EQ(before.m, 10);
    EXPECT_EQ(before.d, 4);
    EXPECT_EQ(GetJulianDay(0, 5, 5), -1);
    EXPECT_EQ(GetJulianDay(2000, 0, 5), -1);
    EXPECT_EQ(GetJulianDay(2000, 5, 0), -1);
    EXPECT_EQ(GetDayOfWeekFromJulian(2451545), 7);
    EXPECT_EQ(GetDayOfWeekFromJulian(-1), GetDayOfWeekFromJulian(6));
}

TEST(JulianDay, RoundTripsOverTheCalendar) {
    // Every day from 4000 BC to 3000 AD maps back to itself, and day
    // numbers of consecutive days follow each other.
    const int first = GetJulianDay(-4000, 1, 1);
    const int last = GetJulianDay(3000, 12, 31);
    ASSERT_LT(first, last);
    for (int jd = first; jd <= last; ++jd) {
        const Date date = FromJulian(jd);
        ASSERT_EQ(GetJulianDay(date.y, date.m, date.d), jd) << jd;
        ASSERT_NE(date.y, 0);
    }
    // Day numbers before the epoch are raised by whole centuries.
    const Date early = FromJulian(-1000);
    EXPECT_EQ(GetJulianDay(early.y, early.m, early.d), -1000);
}

TEST(DateTexts, ElapsedAndSpanFormats) {
    char buffer[64];
    zu::stdlib::FormatElapsed(525, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, " 5.25");
    zu::stdlib::FormatElapsed(6500, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, " 1:05.00");
    zu::stdlib::FormatElapsed(372500, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, " 1:02:05.00");
    EXPECT_STREQ(STimeSpan(0, 6525), " 1:05.25");
    EXPECT_STREQ(STimeSpan(0, 500), " 5");
    EXPECT_STREQ(STimeSpan(372500, 0), " 1:02:05");
    EXPECT_STREQ(STimeSpan(0, NAN), " 0");
    // A short buffer is cut, never overrun.
    char tiny[4];
    zu::stdlib::FormatElapsed(372500, tiny, sizeof tiny);
    EXPECT_EQ(std::string(tiny).size(), 3u);
}

TEST(DateTexts, OrdinalSuffixes) {
    const int days[] = {1, 2, 3, 4, 11, 12, 13, 21, 22, 23, 31};
    const char* suffixes[] = {"st", "nd", "rd", "th", "th", "th", "th", "st", "nd", "rd", "st"};
    for (int i = 0; i < 11; ++i) EXPECT_STREQ(zu::stdlib::OrdinalSuffix(days[i]), suffixes[i]);
    std::tm tm{};
    tm.tm_hour = 9;
    tm.tm_min = 5;
    tm.tm_sec = 3;
    tm.tm_mday = 22;
    tm.tm_mon = 1;
    tm.tm_year = 99;
    char buffer[ZU_CALENDER_MAX];
    zu::stdlib::FormatCalender(tm, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, " 9:05:03 on 22nd February 1999");
}

// Local time in a fixed zone for the calendar-time tests.
class LocalTime : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        saved_ = tz ? tz : "";
        hadTz_ = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_)
            setenv("TZ", saved_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::string saved_;
    bool hadTz_ = false;
};

TEST_F(LocalTime, CalendarTimesBothWays) {
    const double t = DateToTime(2001, 9, 8, 13, 4, 5);
    EXPECT_EQ(t, 999954245);
    EXPECT_STREQ(STimeStr(t), "2001-09-08 13:04:05");
    EXPECT_STREQ(STimeStr(DateToTime(2001, 9, 8, 0, 0, 0)), "2001-09-08");
    EXPECT_STREQ(STimeStr(1e300), "0000-00-00");
    int y, m, d, h, mi, s;
    TimeToDate(t, &y, &m, &d, &h, &mi, &s);
    EXPECT_EQ(y, 2001);
    EXPECT_EQ(m, 9);
    EXPECT_EQ(d, 8);
    EXPECT_EQ(h, 13);
    EXPECT_EQ(mi, 4);
    EXPECT_EQ(s, 5);
    TimeToDate(NAN, &y, &m, &d, &h, &mi, &s);
    EXPECT_EQ(y + m + d + h + mi + s, 0);
}

TEST(Clock, TodaysTextsHaveTheirShape) {
    const std::string date = SDate();
    ASSERT_EQ(date.size(), 10u);
    EXPECT_EQ(date[2], '-');
    EXPECT_EQ(date[5], '-');
    const std::string time = STime();
    ASSERT_EQ(time.size(), 8u);
    EXPECT_EQ(time[2], ':');
    char buffer[ZU_CALENDER_MAX];
    EXPECT_NE(std::string(SCalender(buffer)).find(" on "), std::string::npos);
    // Right after STime the elapsed CPU time is below a second.
    EXPECT_EQ(std::string(SClock()).substr(0, 3), " 0.");
    ClockSetDblHsec(ClockGetDblHsec() - 6500);
    EXPECT_EQ(std::string(SClock()).substr(0, 6), " 1:05.");
    EXPECT_GT(TimeGetDbl(), 1.6e9);
}

}  // namespace
