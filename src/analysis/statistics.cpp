#include "analysis/statistics.h"

#include "common/numtext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zarvik {
namespace {

// Sums run in four interleaved parts, kept apart in their own variables so that they stay in
// registers: each part waits for only every fourth addition, and carries a quarter of the
// rounding one running sum would.
struct Parts {
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
    double total() const { return (a + b) + (c + d); }
};

} // namespace

StretchStatistics stretchStatistics(const double* y, std::size_t n) {
    StretchStatistics s;
    s.points = n;
    if (n == 0)
        return s;

    const std::size_t whole = n - n % 4;
    Parts sum;
    Parts low{y[0], y[0], y[0], y[0]};
    Parts high = low;
    const auto note = [](double v, double& sum, double& low, double& high) {
        sum += v;
        low = v < low ? v : low;
        high = v > high ? v : high;
    };
    for (std::size_t i = 0; i < whole; i += 4) {
        note(y[i], sum.a, low.a, high.a);
        note(y[i + 1], sum.b, low.b, high.b);
        note(y[i + 2], sum.c, low.c, high.c);
        note(y[i + 3], sum.d, low.d, high.d);
    }
    for (std::size_t i = whole; i < n; ++i)
        note(y[i], sum.a, low.a, high.a);
    const double total = sum.total();
    // A value that is not a number, or an infinite one, leaves the sum without a finite value.
    if (!std::isfinite(total)) {
        const double none = std::numeric_limits<double>::quiet_NaN();
        s.min = s.max = s.peakToPeak = s.mean = s.rms = s.standardDeviation = none;
        return s;
    }
    s.min = std::min({low.a, low.b, low.c, low.d});
    s.max = std::max({high.a, high.b, high.c, high.d});
    s.peakToPeak = s.max - s.min;
    s.mean = total / static_cast<double>(n);

    // The spread about the mean in a second pass: a sum of squares about zero would lose the
    // digits of a small swing on a large level (a few codes around 2048, a few mV on 10 V).
    // The sum of the deviations themselves, zero but for rounding, corrects the mean's.
    Parts deviation;
    Parts square;
    const double mean = s.mean;
    const auto spread = [mean](double v, double& deviation, double& square) {
        const double d = v - mean;
        deviation += d;
        square += d * d;
    };
    for (std::size_t i = 0; i < whole; i += 4) {
        spread(y[i], deviation.a, square.a);
        spread(y[i + 1], deviation.b, square.b);
        spread(y[i + 2], deviation.c, square.c);
        spread(y[i + 3], deviation.d, square.d);
    }
    for (std::size_t i = whole; i < n; ++i)
        spread(y[i], deviation.a, square.a);
    const double count = static_cast<double>(n);
    const double deviations = deviation.total();
    const double variance =
        std::max((square.total() - deviations * deviations / count) / count, 0.0);
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
