// Axis scales: nice ranges and tick steps (1, 2 or 5 times a power of
// ten), tick labels for numbers and for dates of annual, quarterly and
// monthly series.
#pragma once

#include <cmath>
#include <string>
#include <vector>

namespace zu::draw {

struct Tick {
    double value;
    std::string label;  // empty for a minor tick
};

struct AxisScale {
    double min = 0, max = 1;  // the range shown
    std::vector<Tick> ticks;  // major (labelled) and minor ticks inside the range
};

// The data range lo..hi widened to a nice range whose ends are on ticks.
// A zero range is widened around its value; non-finite ends give 0..1.
// `targetTicks` is the number of labelled ticks wanted.
void NiceRange(double lo, double hi, int targetTicks, double* min, double* max, double* step);

// The nice step (1, 2 or 5 times a power of ten) nearest to above raw.
double NiceStep(double raw);

// Labels of the numbers of an axis with the given major step.
std::string FormatTick(double value, double step);

// Ticks of a numeric axis over min..max with the given major step and
// minor subdivisions.
std::vector<Tick> NumericTicks(double min, double max, double step, int minorPerMajor);

// Ticks of a dated axis: x is year + (period - 1) / freq.  `fits` says
// whether n labels of the given text fit along the axis.
template <class Fits>
std::vector<Tick> TimeTicks(double min, double max, int freq, Fits&& fits);

// A numeric scale chosen so that the labels fit: the step grows until
// `fits(count, widestLabel)` accepts it.
template <class Fits>
AxisScale ChooseNumericScale(double lo, double hi, bool niceEnds, Fits&& fits);

// ------------------------------------------------------------------

std::string PeriodLabel(int year, int period, int freq);
// Minor ticks a major step is divided into: 5 for 1 and 5, 4 for 2.
int MinorDivisions(double step);

template <class Fits>
std::vector<Tick> TimeTicks(double min, double max, int freq, Fits&& fits) {
    std::vector<Tick> ticks;
    if (!(max > min) || freq < 1) return ticks;
    const double eps = 1e-9;
    const double periods = (max - min) * freq;
    // Labelled every k periods (below a year) or every k years.
    static const int kPeriodSteps[] = {1, 2, 3, 6};
    static const int kYearSteps[] = {1, 2, 5, 10, 20, 25, 50, 100, 200, 500, 1000};
    auto firstYear = static_cast<long>(std::floor(min));
    // Sub-year labels when the span is short enough to show them.
    if (freq > 1 && periods <= 24) {
        for (int k : kPeriodSteps) {
            if (freq % k != 0 && k != 1) continue;
            const int count = static_cast<int>(periods / k) + 1;
            if (!fits(count, PeriodLabel(static_cast<int>(firstYear), freq, freq))) continue;
            for (long p = static_cast<long>(std::ceil((min - eps) * freq));
                 p <= static_cast<long>(std::floor((max + eps) * freq)); ++p) {
                const long year = static_cast<long>(std::floor(static_cast<double>(p) / freq));
                const int period = static_cast<int>(p - year * freq) + 1;
                const double x = static_cast<double>(p) / freq;
                ticks.push_back({x, (period - 1) % k == 0 ? PeriodLabel(static_cast<int>(year), period, freq) : ""});
            }
            return ticks;
        }
    }
    for (int k : kYearSteps) {
        const int count = static_cast<int>((max - min) / k) + 1;
        if (count > 1 && !fits(count, std::to_string(firstYear))) continue;
        const long first = static_cast<long>(std::ceil((min - eps) / k)) * k;
        for (long y = first; y <= max + eps; y += k) ticks.push_back({static_cast<double>(y), std::to_string(y)});
        // Minor ticks: every period when there are few, else every year.
        const bool everyPeriod = freq > 1 && periods <= 60;
        const double minorStep = everyPeriod ? 1.0 / freq : (k > 1 && (max - min) <= 200 ? 1.0 : 0);
        if (minorStep > 0) {
            for (double x = std::ceil((min - eps) / minorStep) * minorStep; x <= max + eps; x += minorStep) {
                const double r = x / k;
                if (std::fabs(r - std::round(r)) > 1e-7) ticks.push_back({x, ""});
            }
        }
        return ticks;
    }
    return ticks;
}

template <class Fits>
AxisScale ChooseNumericScale(double lo, double hi, bool niceEnds, Fits&& fits) {
    AxisScale s;
    for (int target = 7; target >= 2; --target) {
        double min = 0, max = 0, step = 0;
        NiceRange(lo, hi, target, &min, &max, &step);
        if (!niceEnds && std::isfinite(lo) && std::isfinite(hi) && hi > lo) {
            min = lo;
            max = hi;
        }
        std::vector<Tick> ticks = NumericTicks(min, max, step, 0);
        std::string widest;
        int count = 0;
        for (const Tick& t : ticks) {
            if (t.label.empty()) continue;
            ++count;
            if (t.label.size() > widest.size()) widest = t.label;
        }
        s.min = min;
        s.max = max;
        if (fits(count, widest) || target == 2) {
            s.ticks = NumericTicks(min, max, step, MinorDivisions(step));
            return s;
        }
    }
    return s;
}

}  // namespace zu::draw
