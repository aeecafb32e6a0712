// Library functions over dates, times and timing.  The texts of the date
// routines live in one buffer that the next call overwrites, so each is
// copied into a new string at once.
/// @family Dates and times
#include "stdlib/dates_library.h"
#include "console/run_error_codes.h"

#include <cmath>
#include <climits>
#include <limits>

#include "value/value.h"

using zu::value::Columns;
using zu::value::DoubleOf;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::stdlib {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A day number or a date field given as a double: whole days (rounded
// down) inside the int range.
bool WholeDay(double x, int* out) {
    if (!(x >= INT_MIN && x <= INT_MAX)) return false;
    *out = static_cast<int>(std::floor(x));
    return true;
}

double DayOfWeekFromJulian(double jd) {
    int day = 0;
    return WholeDay(jd, &day) ? GetDayOfWeekFromJulian(day) : kNaN;
}

// Julian day of a date; NaN for a date without one.
double JulianOf(double y, double m, double d) {
    int year = 0, month = 0, day = 0;
    if (!WholeDay(y, &year) || !WholeDay(m, &month) || !WholeDay(d, &day)) return kNaN;
    const int jd = GetJulianDay(year, month, day);
    return jd == -1 ? kNaN : jd;
}

double DayOfWeekOfDate(double y, double m, double d) {
    const double jd = JulianOf(y, m, d);
    return std::isnan(jd) ? kNaN : DayOfWeekFromJulian(jd);
}

// The one-argument forms take day numbers, the three-argument forms dates.
bool DateArguments(int cArg) {
    if (cArg == 1 || cArg == 3) return true;
    ZuLibArgError(cArg < 3 ? 1 : 3);
    return false;
}

// One row of `width` fields per element of argument 0, elements taken row
// by row; `fill` writes the fields of one element.
template <typename Fill>
void RowsPerElement(ZuVALUE* rtn, ZuVALUE* pv, int width, Fill fill) {
    if (ZuLibCheckType(ZU_MATRIX, pv, 0, 0) == 0) return;
    const int r = Rows(&pv[0]), c = Columns(&pv[0]);
    const long long n = static_cast<long long>(r) * c;
    if (n > INT_MAX) {
        ReportRunError(RunErrorCode::OutOfMemory);
        return;
    }
    ZuLibValMatMalloc(rtn, static_cast<int>(n), width);
    if (!value::IsMatrix(rtn) || n < 1) return;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) fill(MatrixData(&pv[0])[i][j], MatrixData(rtn)[static_cast<long long>(i) * c + j]);
}

}  // namespace

/// date()
/// Today's date as a string "dd-mm-yyyy" (the day padded with a blank to two places); the
/// empty string when the clock cannot be read.
/// Example:
///     decl d = date();
///     println(sizeof(d), " ", d[2:2], d[5:5]);
void FnDate(ZuVALUE* rtn, ZuVALUE*, int) { ZuValSetString(rtn, SDate()); }

/// time()
/// The time of day as a string "hh:mm:ss" (the hour padded with a blank).
/// Example:
///     decl t = time();
///     println(sizeof(t), " ", t[2:2], t[5:5]);
void FnTime(ZuVALUE* rtn, ZuVALUE*, int) { ZuValSetString(rtn, STime()); }

/// timer()
/// The processor time (user and system) used by the process, in hundredths of a second, as
/// a double: a reading for `timespan`.
/// Example:
///     decl t0 = timer();
///     decl x = sumc(ones(1000, 100));
///     println(timer() >= t0);
void FnTimer(ZuVALUE* rtn, ZuVALUE*, int) { ZuValSetDouble(rtn, ClockGetDblHsec()); }

/// today()
/// The calendar time: the seconds since 1970-01-01 00:00 UTC, as a double, for `timestr` and
/// `timing`.
/// Example:
///     println(today() > 1.6e9, " ", timing(today())[0][0] >= 2024);
void FnToday(ZuVALUE* rtn, ZuVALUE*, int) { ZuValSetDouble(rtn, TimeGetDbl()); }

/// timespan(t0 [, t1])
/// With `t1`: the span between two readings of `timer` (hundredths of a second) as a string
/// "h:mm:ss", or "m:ss.hh" below an hour. With `t0` alone: the processor time used since the
/// reading `t0`, as such a string.
/// Example:
///     println("[", timespan(0, 360000), "] [", timespan(0, 12345), "]");
void FnTimespan(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 2) {
        ZuLibArgError(2);
        return;
    }
    if (ZuLibCheckType(ZU_DOUBLE, pv, 0, cArg - 1) == 0) return;
    ClockSetDblHsec(DoubleOf(&pv[0]));
    ZuValSetString(rtn, cArg == 1 ? SClock() : STimeSpan(DoubleOf(&pv[0]), DoubleOf(&pv[1])));
}

/// timestr(t)
/// The calendar time `t` (seconds since 1970, as from `today`) in local time as a string
/// "yyyy-mm-dd", with the time of day added as " hh:mm:ss" (the hour padded with a blank)
/// when it is not midnight.
/// Example:
///     println(timestr(0), " | ", timestr(1e9));
void FnTimestr(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_DOUBLE, pv, 0, 0) == 0) return;
    ZuValSetString(rtn, STimeStr(DoubleOf(&pv[0])));
}

/// timing(t [, ...])
/// For each calendar time in `t` (seconds since 1970, as from `today`; elements taken row by
/// row) one row of year, month, day, hour, minute and second, in local time. Further
/// arguments are an argument error.
/// Example:
///     print(timing(<0, 1e9>));
void FnTiming(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (cArg > 1) {
        ZuLibArgError(1);
        return;
    }
    RowsPerElement(rtn, pv, 6, [](double t, double* row) {
        int f[6] = {};
        TimeToDate(t, &f[0], &f[1], &f[2], &f[3], &f[4], &f[5]);
        for (int k = 0; k < 6; ++k) row[k] = f[k];
    });
}

/// dayofweek(jd [, m, d])
/// The day of the week of the day numbers `jd`, or of the dates `jd` (the year), `m`, `d`:
/// 1 for Sunday to 7 for Saturday, element by element.
/// Example:
///     println(dayofweek(2024, 1, 1), " ", dayofweek(dayofcalendar(2024, 1, 7)));
void FnDayofweek(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (!DateArguments(cArg)) return;
    if (cArg == 1)
        ZuFnDouble(rtn, pv, DayOfWeekFromJulian);
    else
        ZuFnDouble3(rtn, pv, DayOfWeekOfDate);
}

/// dayofcalendar(jd [, m, d])
/// With three arguments: the day numbers (Julian days) of the dates year `jd`, month `m`, day
/// `d`, element by element. With one: the year, month and day of each day number in `jd`, one
/// row each. The name `dayofcalender` is the same function.
/// Example:
///     println("%d", dayofcalendar(2000, 1, 1));
///     print(dayofcalendar(<2451545, 2460311>));

/// dayofcalender(jd [, m, d])
/// The same function as `dayofcalendar`, under its older spelling.
/// Example:
///     println("%d", dayofcalender(2024, 1, 1));
void FnDayofcalendar(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (!DateArguments(cArg)) return;
    if (cArg == 3) {
        ZuFnDouble3(rtn, pv, JulianOf);
        return;
    }
    RowsPerElement(rtn, pv, 3, [](double jd, double* row) {
        int day = 0, f[3] = {};
        if (!WholeDay(jd, &day)) {
            row[0] = row[1] = row[2] = kNaN;
            return;
        }
        GetDateFromJulian(day, &f[0], &f[1], &f[2]);
        for (int k = 0; k < 3; ++k) row[k] = f[k];
    });
}

}  // namespace zu::stdlib
