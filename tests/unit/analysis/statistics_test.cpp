#include "analysis/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using zarvik::statisticsColumns;
using zarvik::stretchStatistics;
using zarvik::StretchStatistics;

StretchStatistics of(const std::vector<double>& y) {
    return stretchStatistics(y.data(), y.size());
}

TEST(StretchStatistics, SmallSeriesGiveTheFiguresWorkedOutByHand) {
    const struct {
        const char* name;
        std::vector<double> y;
        double min, max, mean, rms, std;
    } cases[] = {
        {"one point", {5}, 5, 5, 5, 5, 0},
        {"even swing about zero", {-3, 3}, -3, 3, 0, 3, 3},
        {"four in a row", {1, 2, 3, 4}, 1, 4, 2.5, std::sqrt(7.5), std::sqrt(1.25)},
        // Five points: one more than the interleaved sums take at a time.
        {"codes about mid-scale",
         {2047, 2049, 2047, 2049, 2048},
         2047,
         2049,
         2048,
         std::sqrt(2048.0 * 2048.0 + 0.8),
         std::sqrt(0.8)},
        {"negative level, extremes inside",
         {-7, -9, -6, -8, -10, -5, -8},
         -10,
         -5,
         -53.0 / 7,
         std::sqrt(419.0 / 7),
         std::sqrt(419.0 / 7 - 53.0 * 53.0 / 49)},
        // A swing of a thousandth on a level of a million: a sum of squares about zero would
        // keep none of its digits.
        {"small swing on a large level",
         {1e6 + 1e-3, 1e6 - 1e-3, 1e6 + 1e-3, 1e6 - 1e-3},
         1e6 - 1e-3,
         1e6 + 1e-3,
         1e6,
         1e6,
         1e-3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const StretchStatistics s = of(c.y);
        EXPECT_EQ(s.points, c.y.size());
        EXPECT_EQ(s.min, c.min);
        EXPECT_EQ(s.max, c.max);
        EXPECT_EQ(s.peakToPeak, c.max - c.min);
        EXPECT_NEAR(s.mean, c.mean, std::abs(c.mean) * 1e-15);
        EXPECT_NEAR(s.rms, c.rms, c.rms * 1e-15);
        EXPECT_NEAR(s.standardDeviation, c.std, c.std * 1e-6 + 1e-15);
    }
}

TEST(StretchStatistics, ALongSeriesAgreesWithLongDoubleSums) {
    // A full measurement of one channel: a swing and a ripple on a level, in volts.
    std::vector<double> y(240000);
    for (std::size_t i = 0; i < y.size(); ++i)
        y[i] = 4.9 + 0.75 * std::sin(i * 0.0013) + 1e-3 * std::sin(i * 2.1);
    long double sum = 0;
    for (const double v : y)
        sum += v;
    const long double mean = sum / y.size();
    long double squares = 0;
    long double deviations = 0;
    for (const double v : y) {
        squares += static_cast<long double>(v) * v;
        deviations += (v - mean) * (v - mean);
    }
    const StretchStatistics s = of(y);
    EXPECT_NEAR(s.mean, static_cast<double>(mean), 1e-14 * 4.9);
    EXPECT_NEAR(s.rms, static_cast<double>(std::sqrt(squares / y.size())), 1e-14 * 4.9);
    const double std = static_cast<double>(std::sqrt(deviations / y.size()));
    EXPECT_NEAR(s.standardDeviation, std, 1e-13 * std);
}

TEST(StretchStatistics, AValueThatIsNoFiniteNumberLeavesNoFiguresAndNoPointsNoText) {
    for (const double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        const StretchStatistics s = of({1, 2, bad, 4, 5});
        EXPECT_EQ(s.points, 5u);
        for (const double v : {s.min, s.max, s.peakToPeak, s.mean, s.rms, s.standardDeviation})
            EXPECT_TRUE(std::isnan(v));
    }
    EXPECT_EQ(statisticsColumns(stretchStatistics(nullptr, 0), ','),
              (std::vector<std::string>{"0", "", "", "", "", "", ""}));
}

} // namespace
