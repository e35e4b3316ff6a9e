#include "chart/ticks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zarvik {
namespace {

TEST(NiceStep, RoundsUpToOneTwoOrFiveTimesAPowerOfTen) {
    EXPECT_DOUBLE_EQ(niceStep(1.0), 1.0);
    EXPECT_DOUBLE_EQ(niceStep(1.01), 2.0);
    EXPECT_DOUBLE_EQ(niceStep(2.0), 2.0);
    EXPECT_DOUBLE_EQ(niceStep(2.1), 5.0);
    EXPECT_DOUBLE_EQ(niceStep(5.5), 10.0);
    EXPECT_DOUBLE_EQ(niceStep(0.3), 0.5);
    EXPECT_DOUBLE_EQ(niceStep(0.1 + 0.2), 0.5);
    EXPECT_DOUBLE_EQ(niceStep(0.00012), 0.0002);
    EXPECT_DOUBLE_EQ(niceStep(1000.0), 1000.0);
    EXPECT_DOUBLE_EQ(niceStep(0.001), 0.001);
    EXPECT_DOUBLE_EQ(niceStep(3.2e5), 5e5);
    EXPECT_DOUBLE_EQ(niceStep(7e-9), 1e-8);
}

TEST(NiceStep, NeverFallsBelowTheLeastStepAsked) {
    for (double least = 1e-7; least < 1e7; least *= 1.37) {
        const double step = niceStep(least);
        EXPECT_GE(step, least * (1 - 1e-12));
        EXPECT_LE(step, least * 2.5 + 1e-300);
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
                    std::abs(mantissa - 5) < 1e-9)
            << step;
    }
}

TEST(TickValues, ListsTheMultiplesOfTheStepInsideTheRange) {
    EXPECT_EQ(tickValues(-0.7, 1.2, 0.5), (QVector<double>{-0.5, 0.0, 0.5, 1.0}));
    EXPECT_EQ(tickValues(10, 30, 10), (QVector<double>{10, 20, 30}));
    EXPECT_EQ(tickValues(0.3, 0.4, 0.5), QVector<double>{});
    // Computed as k * step, the tick at zero must be zero, not a rounding residue.
    const auto ticks = tickValues(-0.3, 0.3, 0.1);
    ASSERT_EQ(ticks.size(), 7);
    EXPECT_EQ(ticks[3], 0.0);
    EXPECT_FALSE(std::signbit(ticks[3]));
    EXPECT_TRUE(tickValues(0, 1e9, 1e-3).isEmpty());
}

TEST(TickText, WritesAsManyDecimalsAsTheStepNeeds) {
    const QLocale c = QLocale::c();
    EXPECT_EQ(tickText(240000, 50000, c), "240000");
    EXPECT_EQ(tickText(1.5, 0.5, c), "1.5");
    EXPECT_EQ(tickText(2, 0.5, c), "2.0");
    EXPECT_EQ(tickText(0.15, 0.05, c), "0.15");
    EXPECT_EQ(tickText(-0.2, 0.2, c), "-0.2");
    EXPECT_EQ(tickText(0.0, 0.001, c), "0.000");
    EXPECT_EQ(tickText(1.5, 0.5, QLocale(QLocale::Russian)), "1,5");
}

} // namespace
} // namespace zarvik
