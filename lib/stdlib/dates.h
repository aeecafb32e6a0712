// Dates, times and timing: the formatting steps, kept apart from the
// clock and calendar readings so that they can be checked directly.
#pragma once

#include <cstddef>
#include <ctime>

namespace zu::stdlib {

// Elapsed time of e hundredths as " h:mm:ss.hh", leading fields left out
// while zero.
void FormatElapsed(long long e, char* buffer, std::size_t size);

// Span of d hundredths as " h:mm:ss", ".hh" only when not zero.
void FormatSpan(long long d, char* buffer, std::size_t size);

// "hh:mm:ss on 1st January 2000" for a broken-down time.
void FormatCalender(const std::tm& tm, char* buffer, std::size_t size);

// English ordinal suffix of a day of the month.
const char* OrdinalSuffix(int day);

}  // namespace zu::stdlib
