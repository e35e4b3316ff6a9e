#include "common/numtext.h"
#include "common/rounding.h"
#include "common/timepattern.h"

#include <gtest/gtest.h>

namespace {

using zarvik::formatGeneral;

TEST(GeneralForm, FixedNotationInsideItsRange) {
    EXPECT_EQ(formatGeneral(0.0, '.'), "0");
    EXPECT_EQ(formatGeneral(2047.0, '.'), "2047");
    EXPECT_EQ(formatGeneral(250.5, ','), "250,5");
    EXPECT_EQ(formatGeneral(-0.125, '.'), "-0.125");
    EXPECT_EQ(formatGeneral(1e-5, '.'), "0.00001");
    EXPECT_EQ(formatGeneral(0.1, '.'), "0.1");
    EXPECT_EQ(formatGeneral(1.0 / 3.0, '.'), "0.333333333333333");
    EXPECT_EQ(formatGeneral(2.0 / 3.0, ','), "0,666666666666667");
    EXPECT_EQ(formatGeneral(123456789012345.0, '.'), "123456789012345");
    EXPECT_EQ(formatGeneral(1.4241536458333333, '.'), "1.42415364583333");
}

TEST(GeneralForm, ScientificOutsideItsRange) {
    EXPECT_EQ(formatGeneral(1e-6, '.'), "1E-6");
    EXPECT_EQ(formatGeneral(2.5e20, '.'), "2.5E20");
    EXPECT_EQ(formatGeneral(-1.5e-7, ','), "-1,5E-7");
    EXPECT_EQ(formatGeneral(1e15, '.'), "1E15");
    // Rounding to 15 digits carries into the next power of ten.
    EXPECT_EQ(formatGeneral(999999999999999.9, '.'), "1E15");
    EXPECT_EQ(formatGeneral(9.99999999999999999e-6, '.'), "0.00001");
}

TEST(FixedForm, SeparatorAndDecimals) {
    EXPECT_EQ(zarvik::formatFixed(14648.4375, 3, ','), "14648,438");
    EXPECT_EQ(zarvik::formatFixed(2048.0, 3, '.'), "2048.000");
    EXPECT_EQ(zarvik::formatFixed(-0.002, 6, ','), "-0,002000");
}

TEST(ParseDecimal, OnlyTheLocaleSeparatorMakesANumber) {
    double v = -1;
    EXPECT_TRUE(zarvik::parseDecimal(" 2047,5 ", ',', v));
    EXPECT_DOUBLE_EQ(v, 2047.5);
    EXPECT_TRUE(zarvik::parseDecimal("-1E-3", '.', v));
    EXPECT_DOUBLE_EQ(v, -0.001);
    v = 7;
    EXPECT_FALSE(zarvik::parseDecimal("2047.5", ',', v));
    EXPECT_FALSE(zarvik::parseDecimal("2047,5", '.', v));
    EXPECT_FALSE(zarvik::parseDecimal("12abc", '.', v));
    EXPECT_FALSE(zarvik::parseDecimal("", '.', v));
    EXPECT_FALSE(zarvik::parseDecimal("inf", '.', v));
    EXPECT_DOUBLE_EQ(v, 7) << "a failed parse leaves the value alone";
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(zarvik::roundHalfEven(2.5), 2);
    EXPECT_EQ(zarvik::roundHalfEven(3.5), 4);
    EXPECT_EQ(zarvik::roundHalfEven(-2.5), -2);
    EXPECT_EQ(zarvik::roundHalfEven(-3.5), -4);
    EXPECT_EQ(zarvik::roundHalfEven(2.4999), 2);
    EXPECT_EQ(zarvik::roundHalfEven(2.5001), 3);
    EXPECT_EQ(zarvik::roundHalfEven(14648.4375), 14648);
    // the quick form for small non-negative values agrees, ties and near-ties alike
    for (double v : {0.0, 0.5, 1.5, 2.5, 3.5, 2.4999, 2.5001, 14648.4375, 65535.5, 65534.5,
                     4095.499999999999, 1e15 + 0.5})
        EXPECT_EQ(zarvik::roundHalfEvenSmall(v), static_cast<double>(zarvik::roundHalfEven(v)))
            << v;
    EXPECT_EQ(zarvik::truncate(-2.9), -2);
    EXPECT_EQ(zarvik::truncate(2.9), 2);
    EXPECT_EQ(zarvik::idiv(-7, 2), -3);
}

// The long time of the locale without the zone Qt adds to it on some systems.
TEST(TimePattern, TheZoneGoesWithTheTextThatSetsItApart) {
    const struct {
        const char* pattern;
        const char* without;
    } cases[] = {
        {"HH:mm:ss t", "HH:mm:ss"},       {"h:mm:ss AP t", "h:mm:ss AP"},
        {"HH:mm:ss, t", "HH:mm:ss"},      {"H:mm:ss (t)", "H:mm:ss"},
        {"H.mm.ss t", "H.mm.ss"},         {"t HH:mm:ss", "HH:mm:ss"},
        {"HH:mm:ss tttt", "HH:mm:ss"},    {"HH 'at' mm", "HH 'at' mm"},
        {"HH:mm 't' ss", "HH:mm 't' ss"}, {"HH:mm:ss", "HH:mm:ss"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zarvik::timePatternWithoutZone(c.pattern), c.without) << c.pattern;
}

} // namespace
