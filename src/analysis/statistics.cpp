#include "analysis/statistics.h"

#include "common/numtext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zarvik {
namespace {

// Sums run in four interleaved parts: each part waits for only every fourth addition, and each
// carries a quarter of the rounding a single running sum would.
constexpr std::size_t kLanes = 4;

} // namespace

StretchStatistics stretchStatistics(const double* y, std::size_t n) {
    StretchStatistics s;
    s.points = n;
    if (n == 0)
        return s;

    double sum[kLanes] = {};
    double low[kLanes];
    double high[kLanes];
    std::fill(low, low + kLanes, y[0]);
    std::fill(high, high + kLanes, y[0]);
    const std::size_t whole = n - n % kLanes;
    for (std::size_t i = 0; i < whole; i += kLanes) {
        for (std::size_t k = 0; k < kLanes; ++k) {
            const double v = y[i + k];
            sum[k] += v;
            low[k] = v < low[k] ? v : low[k];
            high[k] = v > high[k] ? v : high[k];
        }
    }
    for (std::size_t i = whole; i < n; ++i) {
        sum[0] += y[i];
        low[0] = std::min(low[0], y[i]);
        high[0] = std::max(high[0], y[i]);
    }
    const double total = (sum[0] + sum[1]) + (sum[2] + sum[3]);
    // A value that is not a number, or an infinite one, leaves the sum without a finite value.
    if (!std::isfinite(total)) {
        const double none = std::numeric_limits<double>::quiet_NaN();
        s.min = s.max = s.peakToPeak = s.mean = s.rms = s.standardDeviation = none;
        return s;
    }
    s.min = std::min({low[0], low[1], low[2], low[3]});
    s.max = std::max({high[0], high[1], high[2], high[3]});
    s.peakToPeak = s.max - s.min;
    s.mean = total / static_cast<double>(n);

    // The spread about the mean in a second pass: a sum of squares about zero would lose the
    // digits of a small swing on a large level (a few codes around 2048, a few mV on 10 V).
    // The sum of the deviations themselves, zero but for rounding, corrects the mean's.
    double dev[kLanes] = {};
    double square[kLanes] = {};
    for (std::size_t i = 0; i < whole; i += kLanes) {
        for (std::size_t k = 0; k < kLanes; ++k) {
            const double d = y[i + k] - s.mean;
            dev[k] += d;
            square[k] += d * d;
        }
    }
    for (std::size_t i = whole; i < n; ++i) {
        const double d = y[i] - s.mean;
        dev[0] += d;
        square[0] += d * d;
    }
    const double count = static_cast<double>(n);
    const double deviation = (dev[0] + dev[1]) + (dev[2] + dev[3]);
    const double squares = (square[0] + square[1]) + (square[2] + square[3]);
    const double variance = std::max((squares - deviation * deviation / count) / count, 0.0);
    s.standardDeviation = std::sqrt(variance);
    s.rms = std::sqrt(s.mean * s.mean + variance);
    return s;
}

std::vector<std::string> statisticsColumns(const StretchStatistics& s, char decimalSeparator) {
    std::vector<std::string> columns = {std::to_string(s.points)};
    for (const double v : {s.min, s.max, s.peakToPeak, s.mean, s.rms, s.standardDeviation})
        columns.push_back(s.points == 0 ? std::string() : formatGeneral(v, decimalSeparator));
    return columns;
}

} // namespace zarvik
