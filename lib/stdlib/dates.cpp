// Dates, times and timing.
#include "stdlib/dates.h"

#include <sys/times.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <ctime>

#include "zu.h"

namespace zu::stdlib {
namespace {

// The text of the last date routine; the library wrappers copy it.
char g_text[128];

// The clock reference, in CPU ticks.
long g_clockReference = 0;

long TicksPerSecond() {
    const long tps = sysconf(_SC_CLK_TCK);
    return tps > 0 ? tps : 100;
}

// Local broken-down time of a calendar time; false when it has none.
bool BreakDown(double t, std::tm* out) {
    // time_t is 64-bit; keep well inside what localtime can represent.
    if (!(std::fabs(t) < 1e15)) return false;
    const std::time_t tt = static_cast<std::time_t>(std::floor(t));
    return localtime_r(&tt, out) != nullptr;
}

bool Now(std::tm* out) {
    const std::time_t tt = std::time(nullptr);
    return tt != static_cast<std::time_t>(-1) && localtime_r(&tt, out) != nullptr;
}

constexpr const char* kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

// Appends one number at *used, never past size: "%02lld" when zeroPad,
// else "%2lld", preceded by prefix and followed by suffix.
void Append(char* buffer, std::size_t size, std::size_t* used, const char* prefix, bool zeroPad, long long value,
            const char* suffix) {
    if (*used >= size) return;
    const int n =
        std::snprintf(buffer + *used, size - *used, zeroPad ? "%s%02lld%s" : "%s%2lld%s", prefix, value, suffix);
    if (n > 0) *used += static_cast<std::size_t>(n);
}

// Hours and minutes as " h:mm:" (leading zero fields left out); returns
// true when something was written.
bool FormatHoursMinutes(long long hours, long long minutes, char* buffer, std::size_t size, std::size_t* used) {
    if (hours != 0) {
        Append(buffer, size, used, "", false, hours, ":");
        Append(buffer, size, used, "", true, minutes, ":");
        return true;
    }
    if (minutes != 0) {
        Append(buffer, size, used, "", false, minutes, ":");
        return true;
    }
    return false;
}

}  // namespace

void FormatElapsed(long long e, char* buffer, std::size_t size) {
    std::size_t used = 0;
    buffer[0] = '\0';
    const bool before = FormatHoursMinutes(e / 360000, (e / 6000) % 60, buffer, size, &used);
    Append(buffer, size, &used, "", before, (e / 100) % 60, "");
    Append(buffer, size, &used, ".", true, e % 100, "");
}

void FormatSpan(long long d, char* buffer, std::size_t size) {
    std::size_t used = 0;
    buffer[0] = '\0';
    const long long s = d / 100;
    const bool before = FormatHoursMinutes(s / 3600, s / 60 % 60, buffer, size, &used);
    Append(buffer, size, &used, "", before, s % 60, "");
    if (d - 100 * s != 0) Append(buffer, size, &used, ".", true, d - 100 * s, "");
}

const char* OrdinalSuffix(int day) {
    if (day < 11 || day > 13) {
        switch (day % 10) {
        case 1: return "st";
        case 2: return "nd";
        case 3: return "rd";
        default: break;
        }
    }
    return "th";
}

void FormatCalender(const std::tm& tm, char* buffer, std::size_t size) {
    const int month = tm.tm_mon >= 0 && tm.tm_mon < 12 ? tm.tm_mon : 0;
    std::snprintf(buffer, size, "%2u:%02u:%02u on %u%s %s %u", static_cast<unsigned>(tm.tm_hour),
                  static_cast<unsigned>(tm.tm_min), static_cast<unsigned>(tm.tm_sec), static_cast<unsigned>(tm.tm_mday),
                  OrdinalSuffix(tm.tm_mday), kMonths[month], static_cast<unsigned>(tm.tm_year + 1900));
}

}  // namespace zu::stdlib

using namespace zu::stdlib;

extern "C" {

const char* SDate(void) {
    std::tm tm{};
    if (!Now(&tm)) return "";
    std::snprintf(g_text, sizeof g_text, "%2u-%02u-%4u", static_cast<unsigned>(tm.tm_mday),
                  static_cast<unsigned>(tm.tm_mon + 1), static_cast<unsigned>(tm.tm_year + 1900));
    return g_text;
}

const char* STime(void) {
    ClockReset();
    std::tm tm{};
    if (!Now(&tm)) return "";
    std::snprintf(g_text, sizeof g_text, "%2d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return g_text;
}

long ClockGet(void) {
    struct tms t;
    if (times(&t) != static_cast<clock_t>(-1)) return static_cast<long>(t.tms_utime + t.tms_stime);
    const std::clock_t c = std::clock();
    return static_cast<long>(static_cast<double>(c) * TicksPerSecond() / CLOCKS_PER_SEC);
}

void ClockReset(void) { g_clockReference = ClockGet(); }
void ClockSet(long ticks) { g_clockReference = ticks; }

void ClockSetDblHsec(double hsec) {
    const double ticks = hsec * TicksPerSecond() / 100;
    g_clockReference = std::fabs(ticks) < 1e18 ? static_cast<long>(ticks) : 0;
}

double ClockGetDblHsec(void) { return static_cast<double>(ClockGet()) * 100 / TicksPerSecond(); }

double TimeGetDbl(void) { return static_cast<double>(std::time(nullptr)); }

const char* SClock(void) {
    const long elapsed = ClockGet() - g_clockReference;
    FormatElapsed(static_cast<long long>(elapsed) * 100 / TicksPerSecond(), g_text, sizeof g_text);
    return g_text;
}

const char* STimeSpan(double t0, double t1) {
    // Spans beyond a few million years, and missing readings, show as 0.
    const double d = std::fabs(t0 - t1);
    FormatSpan(d < 1e15 ? static_cast<long long>(d) : 0, g_text, sizeof g_text);
    return g_text;
}

const char* STimeStr(double t) {
    std::tm tm{};
    if (!BreakDown(t, &tm)) {
        std::snprintf(g_text, sizeof g_text, "0000-00-00");
        return g_text;
    }
    int n = std::snprintf(g_text, sizeof g_text, "%4u-%02u-%02u", static_cast<unsigned>(tm.tm_year + 1900),
                          static_cast<unsigned>(tm.tm_mon + 1), static_cast<unsigned>(tm.tm_mday));
    if (n > 0 && (tm.tm_hour != 0 || tm.tm_min != 0 || tm.tm_sec != 0))
        std::snprintf(g_text + n, sizeof g_text - n, " %2d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return g_text;
}

char* SCalender(char* buffer) {
    if (buffer == nullptr) return nullptr;
    std::tm tm{};
    if (!Now(&tm)) {
        buffer[0] = '\0';
        return buffer;
    }
    FormatCalender(tm, buffer, ZU_CALENDER_MAX);
    return buffer;
}

double DateToTime(int y, int m, int d, int h, int min, int s) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = m - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = min;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    return static_cast<double>(std::mktime(&tm));
}

void TimeToDate(double t, int* y, int* m, int* d, int* h, int* min, int* s) {
    std::tm tm{};
    const bool ok = BreakDown(t, &tm);
    if (y) *y = ok ? tm.tm_year + 1900 : 0;
    if (m) *m = ok ? tm.tm_mon + 1 : 0;
    if (d) *d = ok ? tm.tm_mday : 0;
    if (h) *h = ok ? tm.tm_hour : 0;
    if (min) *min = ok ? tm.tm_min : 0;
    if (s) *s = ok ? tm.tm_sec : 0;
}

int GetJulianDay(int y, int m, int d) {
    if (y == 0 || m < 1 || d < 1) return -1;
    // There is no year 0: year -1 is the year before 1, which the formula
    // counts as 0 (and GetDateFromJulian counts back the same way).
    const long long year = y < 0 ? y + 1LL : y;
    const long long yy = m <= 2 ? year - 1 : year;
    const long long mm = m <= 2 ? m + 13LL : m + 1LL;
    long long jd = static_cast<long long>(std::floor(365.25 * yy)) + static_cast<long long>(std::floor(30.6001 * mm)) +
                   d + 1720995;
    // The Gregorian calendar from 15 October 1582 on.
    const long long date = y * 10000LL + m * 100LL + d;
    if (date >= 15821015) {
        const long long a = yy / 100;
        jd += 2 - a + a / 4;
    }
    // A day number that does not fit the result is no day number.
    return jd >= -2147483647LL && jd <= 2147483647LL ? static_cast<int>(jd) : -1;
}

void GetDateFromJulian(int jd, int* y, int* m, int* d) {
    long long a = jd, centuries = 0;
    if (jd >= 2299161) {
        const long long alpha = static_cast<long long>(((jd - 1867216LL) - 0.25) / 36524.25);
        a = jd + 1LL + alpha - alpha / 4;
    } else if (a < 0) {
        centuries = -a / 36525 + 1;
        a += centuries * 36525;
    }
    const long long b = a + 1524;
    const long long c = static_cast<long long>(std::floor(6680 + ((a - 2438346) - 122.1) / 365.25));
    const long long yearDays = 365 * c + c / 4;
    const long long e = static_cast<long long>(std::floor((b - yearDays) / 30.6001));
    const long long day = b - yearDays - static_cast<long long>(std::floor(30.6001 * e));
    long long month = e - 1;
    if (month > 12) month -= 12;
    long long year = c - 4715;
    if (month > 2) year -= 1;
    if (year <= 0) year -= 1;
    year -= 100 * centuries;
    if (y) *y = static_cast<int>(year);
    if (m) *m = static_cast<int>(month);
    if (d) *d = static_cast<int>(day);
}

int GetDayOfWeekFromJulian(int jd) {
    const long long r = (jd + 1LL) % 7;
    return static_cast<int>(r < 0 ? r + 7 : r) + 1;
}

int GetDayOfWeek(int y, int m, int d) { return GetDayOfWeekFromJulian(GetJulianDay(y, m, d)); }

}  // extern "C"
