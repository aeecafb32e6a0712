// Nice axis ranges, tick steps and tick labels.
#include "draw/render_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zu::draw {

double NiceStep(double raw) {
    if (!(raw > 0) || !std::isfinite(raw)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double mantissa = raw / power;
    // Rounded to the nearest of 1, 2, 5 and 10 (on a logarithmic scale).
    const double nice = mantissa < 1.5 ? 1 : mantissa < 3.2 ? 2 : mantissa < 7 ? 5 : 10;
    return nice * power;
}

int MinorDivisions(double step) {
    if (!(step > 0)) return 0;
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    return std::fabs(mantissa - 2) < 1e-6 ? 4 : 5;
}

void NiceRange(double lo, double hi, int targetTicks, double* min, double* max, double* step) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        lo = 0;
        hi = 1;
    }
    if (lo > hi) std::swap(lo, hi);
    if (hi == lo) {
        const double pad = lo != 0 ? std::fabs(lo) * 0.1 : 1;
        lo -= pad;
        hi += pad;
    }
    // Ranges too small to tell apart from their size are widened as well.
    if ((hi - lo) < std::fabs(hi) * 1e-12) {
        lo -= std::fabs(lo) * 1e-9;
        hi += std::fabs(hi) * 1e-9;
    }
    const double s = NiceStep((hi - lo) / std::max(targetTicks - 1, 1));
    *step = s;
    *min = std::floor(lo / s + 1e-9) * s;
    *max = std::ceil(hi / s - 1e-9) * s;
    if (*max <= *min) *max = *min + s;
}

std::string FormatTick(double value, double step) {
    char text[64];
    if (std::fabs(value) < step * 1e-9) value = 0;
    const double magnitude = std::max(std::fabs(value), step);
    if (magnitude >= 1e7 || step < 1e-5) {
        std::snprintf(text, sizeof text, "%g", value);
        return text;
    }
    const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 10);
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::vector<Tick> NumericTicks(double min, double max, double step, int minorPerMajor) {
    std::vector<Tick> ticks;
    if (!(step > 0) || !(max >= min) || (max - min) / step > 1000) return ticks;
    const long first = static_cast<long>(std::ceil(min / step - 1e-9));
    const long last = static_cast<long>(std::floor(max / step + 1e-9));
    for (long k = first; k <= last; ++k) ticks.push_back({k * step, FormatTick(k * step, step)});
    if (minorPerMajor > 1) {
        const double minor = step / minorPerMajor;
        const long firstMinor = static_cast<long>(std::ceil(min / minor - 1e-9));
        const long lastMinor = static_cast<long>(std::floor(max / minor + 1e-9));
        for (long k = firstMinor; k <= lastMinor; ++k)
            if (k % minorPerMajor != 0) ticks.push_back({k * minor, ""});
    }
    return ticks;
}

std::string PeriodLabel(int year, int period, int freq) {
    char text[48];
    if (freq == 4)
        std::snprintf(text, sizeof text, "%dQ%d", year, period);
    else if (freq == 12)
        std::snprintf(text, sizeof text, "%dM%d", year, period);
    else if (freq <= 1)
        std::snprintf(text, sizeof text, "%d", year);
    else
        std::snprintf(text, sizeof text, "%d(%d)", year, period);
    return text;
}

}  // namespace zu::draw
