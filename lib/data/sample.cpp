#include "data/sample.h"

namespace zu::data {

long long IDateObs(long long year, long long period, int year0, int period0, int freq) {
    return (year - year0) * freq + (period - period0);
}

long long IObsYear(long long t, int year0, int period0, int freq) {
    const long long q = t / freq;
    long long year = year0 + q;
    if (t + period0 - freq * q > freq) ++year;
    return year;
}

long long IObsPeriod(long long t, int period0, int freq) {
    long long p = t + period0 - freq * (t / freq);
    if (p > freq) p -= freq;
    return p;
}

long long ISampleCount(const Sample& s) {
    const long long last = IDateObs(s.year2, s.period2, s.year1, s.period1, s.freq);
    return last < 0 ? 0 : last + 1;
}

bool FIsValidSample(const Sample& s) {
    // Years are kept small enough for every product of the arithmetic to
    // stay far inside a long long, and for the 16-bit fields of data files.
    constexpr int kYearLimit = 1000000;
    constexpr int kFreqLimit = 100000;
    return s.freq >= 1 && s.freq <= kFreqLimit && s.period1 >= 1 && s.period1 <= s.freq && s.period2 >= 1 &&
           s.period2 <= s.freq && s.year1 > -kYearLimit && s.year1 < kYearLimit && s.year2 > -kYearLimit &&
           s.year2 < kYearLimit;
}

void SampleSetEnd(Sample& s, long long count) {
    const long long t = count < 1 ? 0 : count - 1;
    s.year2 = static_cast<int>(IObsYear(t, s.year1, s.period1, s.freq));
    s.period2 = static_cast<int>(IObsPeriod(t, s.period1, s.freq));
}

}  // namespace zu::data
