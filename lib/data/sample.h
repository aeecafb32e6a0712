// Dated samples: a start year and period, an end year and period, and the
// number of periods per year.  Observation indices count from 0 at the
// start of a sample.
#ifndef ZU_DATA_SAMPLE_H
#define ZU_DATA_SAMPLE_H

namespace zu::data {

struct Sample {
    int year1 = 1;
    int period1 = 1;
    int year2 = 1;
    int period2 = 1;
    int freq = 1;
};

// Index of (year, period) in a sample that starts at (year0, period0).
// Computed wide so that untrusted years cannot overflow.
[[nodiscard]] long long IDateObs(long long year, long long period, int year0, int period0, int freq);

// Year and period of index t (t >= 0) of a sample starting at
// (year0, period0).
[[nodiscard]] long long IObsYear(long long t, int year0, int period0, int freq);
[[nodiscard]] long long IObsPeriod(long long t, int period0, int freq);

// Number of observations from the start to the end (0 when the end comes
// first).
[[nodiscard]] long long ISampleCount(const Sample& s);

// The frequency is at least 1 and both periods lie in 1..freq.
[[nodiscard]] bool FIsValidSample(const Sample& s);

// The end of a sample of `count` observations from its start.
void SampleSetEnd(Sample& s, long long count);

}  // namespace zu::data

#endif
