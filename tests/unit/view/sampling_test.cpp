#include "view/sampling.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace zarvik;

// The labels mix look-alike letters: these spell them byte by byte.
const std::string kLatinT = "T";
const std::string kLatinC = "c";
const std::string kCyrillicEs = "\xd1\x81"; // с
const std::string kCyrillicEm = "\xd0\xbc"; // м

TEST(SamplingLimits, FrequencyMaxPerChannelCount) {
    const int expected[9] = {0, 185185, 113636, 81967, 64102, 52631, 44642, 38759, 34246};
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(frequencyMax(n), expected[n]) << n << " channels";
}

TEST(SamplingLimits, TimeLimitsScaleWithTheBlocks) {
    EXPECT_EQ(timeUpperLimit(8), 1066667);
    EXPECT_EQ(timeLowerLimit(8), 109);
    EXPECT_EQ(timeUpperLimit(1), 133333);
    EXPECT_EQ(timeLowerLimit(1), 13);
    EXPECT_EQ(timeUpperLimit(3), 400000);
    EXPECT_EQ(timeLowerLimit(3), 40);
}

TEST(SamplingFormulas, TimeAndFrequencyFromEachOther) {
    EXPECT_EQ(timeFromFrequency(2048, 8, 8), 14648); // 14648.4375
    EXPECT_EQ(timeFromFrequency(1000, 8, 1), 240000);
    EXPECT_EQ(timeFromFrequency(225, 8, 8), 133333);
    EXPECT_EQ(frequencyFromTime(14648, 8, 8), 2048); // 2048.06
    EXPECT_EQ(frequencyFromTime(13, 1, 8), 288462);  // 288461.54
    EXPECT_EQ(timeFromFrequency(64000, 1, 1), 469);  // 468.75
    EXPECT_EQ(timeFromFrequency(40000, 1, 6), 125);  // 125 exactly
    EXPECT_EQ(timeFromFrequency(1600000, 1, 1), 19); // 18.75
    // Halves go to the even neighbour.
    EXPECT_EQ(timeFromFrequency(12000, 1, 8), 312); // 312.5 -> 312
    EXPECT_EQ(timeFromFrequency(4000, 1, 8), 938);  // 937.5 -> 938
}

TEST(SamplingFormulas, NoDivisionByZeroChannelsOrBlocks) {
    EXPECT_FALSE(timeFromFrequency(2048, 8, 0));
    EXPECT_FALSE(timeFromFrequency(2048, 0, 8));
    EXPECT_FALSE(timeFromFrequency(0, 8, 8));
    EXPECT_FALSE(frequencyFromTime(100, 8, 0));
    EXPECT_FALSE(frequencyFromTime(0, 8, 8));
    EXPECT_FALSE(trueValues(2048, 8, 0, ','));
    EXPECT_FALSE(trueValues(2048, 0, 8, ','));
    EXPECT_FALSE(clockDivisor(0));
    EXPECT_FALSE(clockDivisor(30000000)); // no whole divisor gives it
    EXPECT_EQ(clockDivisor(1000), 14746);
}

TEST(SamplingTrueValues, EightChannelsAt2048Hz) {
    const auto v = trueValues(2048, 8, 8, ',');
    ASSERT_TRUE(v);
    EXPECT_EQ(v->divisor, 7200);
    EXPECT_EQ(v->frequency, 2048.0);
    EXPECT_EQ(v->time, 14648.4375);
    EXPECT_EQ(v->minutes, 0);
    EXPECT_EQ(v->seconds, 14);
    EXPECT_EQ(v->milliseconds, 648.4375);
    EXPECT_EQ(v->frequencyText.russian(), "Fвыборки,Гц=2048,000");
    EXPECT_EQ(v->timeText.russian(), kLatinT + "измерения," + kCyrillicEm + kLatinC + "=14648,438");
    EXPECT_EQ(v->minutesText.russian(),
              "или  0 мин 14 " + kLatinC + " 648,438 " + kCyrillicEm + kCyrillicEs);
}

TEST(SamplingTrueValues, OneChannelAt1000Hz) {
    const auto v = trueValues(1000, 8, 1, '.');
    ASSERT_TRUE(v);
    EXPECT_EQ(v->divisor, 14746);
    EXPECT_NEAR(v->frequency, 999.9729, 1e-4);
    EXPECT_NEAR(v->time, 240006.51, 0.005);
    EXPECT_EQ(v->minutes, 4);
    EXPECT_EQ(v->seconds, 0);
    EXPECT_EQ(v->frequencyText.russian(), "Fвыборки,Гц=999.973");
    EXPECT_EQ(v->timeText.russian(),
              kLatinT + "измерения," + kCyrillicEm + kLatinC + "=240006.510");
    EXPECT_EQ(v->minutesText.russian(),
              "или  4 мин  0 " + kLatinC + " 6.510 " + kCyrillicEm + kCyrillicEs);
}

TEST(SamplingTrueValues, LongTimesKeepWidePlaces) {
    // One channel, 8 blocks, 225 Hz: 1066.7 s, 17 minutes 46 seconds.
    const auto v = trueValues(225, 8, 1, ',');
    ASSERT_TRUE(v);
    EXPECT_EQ(v->minutes, 17);
    EXPECT_EQ(v->seconds, 46);
    EXPECT_EQ(v->minutesText.russian().substr(0, std::string("или 17 мин 46 ").size()),
              "или 17 мин 46 ");
}

TEST(SamplingFrequencyEdit, TypedFourBecomesTheLowestFrequency) {
    const auto e = frequencyEdited(4, 1, 8, 8, ',');
    ASSERT_TRUE(e);
    EXPECT_EQ(e->frequency, 225);
    EXPECT_EQ(e->error.russian(), "Fвыборки, Гц<225");
    EXPECT_EQ(e->time4allSRAM, 133333);
    EXPECT_EQ(e->time, 133333);
    ASSERT_TRUE(e->trueValues);
    EXPECT_EQ(e->trueValues->divisor, 65536);
}

TEST(SamplingFrequencyEdit, TooHighForEightChannelsBecomesTheirMaximum) {
    const auto e = frequencyEdited(40000, 1, 8, 8, ',');
    ASSERT_TRUE(e);
    EXPECT_EQ(e->frequency, 34246);
    EXPECT_EQ(e->error.russian(), "Fвыборки, Гц>34246");
    EXPECT_EQ(e->time, 876);
    EXPECT_EQ(e->time4allSRAM, 876);
}

TEST(SamplingFrequencyEdit, CutToTheStepWithinLimitsShowsNoMessage) {
    const auto e = frequencyEdited(2048, 100, 8, 8, ',');
    ASSERT_TRUE(e);
    EXPECT_EQ(e->frequency, 2000);
    EXPECT_EQ(e->error.russian(), "");
    EXPECT_EQ(e->time4allSRAM, 15000);
    EXPECT_EQ(e->time, 15000);
    // A step above the value cuts it to 0, which the lower limit lifts again.
    const auto low = frequencyEdited(300, 1000, 8, 8, ',');
    ASSERT_TRUE(low);
    EXPECT_EQ(low->frequency, 225);
    EXPECT_EQ(low->error.russian(), "Fвыборки, Гц<225");
    EXPECT_FALSE(frequencyEdited(0, 1, 8, 8, ','));
}

TEST(SamplingFrequencyEdit, WithoutChannelsDependentValuesStay) {
    const auto e = frequencyEdited(2048, 1, 8, 0, ',');
    ASSERT_TRUE(e);
    EXPECT_EQ(e->frequency, 2048);
    EXPECT_FALSE(e->time4allSRAM);
    EXPECT_FALSE(e->time);
    EXPECT_FALSE(e->trueValues);
}

TEST(SamplingTimeEdit, OneBlockLimitsWithTheirMessages) {
    const auto low = timeEdited(5, 1, 2048, 34246, 1, 8, ',');
    ASSERT_TRUE(low);
    EXPECT_EQ(low->time, 13);
    EXPECT_EQ(low->error.russian(), kLatinT + "измерения, " + kCyrillicEm + kCyrillicEs + "<13");
    EXPECT_EQ(low->time4allSRAM, 104);
    EXPECT_EQ(low->frequency, 34246); // F(13) = 288462, cut by the frequency edit's maximum
    ASSERT_TRUE(low->trueValues);
    EXPECT_EQ(low->trueValues->divisor, 431); // the true values are those of the cut F

    const auto high = timeEdited(200000, 1, 2048, 34246, 1, 8, ',');
    ASSERT_TRUE(high);
    EXPECT_EQ(high->time, 133333);
    EXPECT_EQ(high->error.russian(),
              kLatinT + "измерения, " + kCyrillicEm + kCyrillicEs + ">133333");
    EXPECT_EQ(high->time4allSRAM, 1066664);
    EXPECT_EQ(high->frequency, 28); // 28.125: no lower limit of 225 here
}

TEST(SamplingTimeEdit, StepCutAndMissingChannelsOrBlocks) {
    const auto e = timeEdited(14648, 1000, 2048, 34246, 8, 8, ',');
    ASSERT_TRUE(e);
    EXPECT_EQ(e->time, 14000);
    EXPECT_EQ(e->error.russian(), "");
    EXPECT_EQ(e->time4allSRAM, 14000);
    EXPECT_EQ(e->frequency, 2143); // 2142.86

    const auto noChannels = timeEdited(14648, 1, 2048, 34246, 8, 0, ',');
    ASSERT_TRUE(noChannels);
    EXPECT_EQ(noChannels->time, 14648);
    EXPECT_FALSE(noChannels->frequency);
    EXPECT_FALSE(noChannels->trueValues);

    EXPECT_FALSE(timeEdited(14648, 1, 2048, 34246, 0, 8, ','));
    EXPECT_FALSE(timeEdited(0, 1, 2048, 34246, 8, 8, ','));
}

TEST(SamplingTimeLeave, SetsTimeAnewFromFrequency) {
    const auto l = timeLeft(2048, 8, 8, ',');
    ASSERT_TRUE(l);
    EXPECT_EQ(l->time4allSRAM, 117188); // 117187.5, halves to even
    EXPECT_EQ(l->time, 14648);
    ASSERT_TRUE(l->trueValues);
    // Integer steps in their order: 117188 * 3 div 8 = 43945, div 7 = 6277.
    EXPECT_EQ(timeLeft(2048, 3, 7, ',')->time, 6277);

    const auto noChannels = timeLeft(2048, 8, 0, ',');
    ASSERT_TRUE(noChannels);
    EXPECT_EQ(noChannels->time4allSRAM, 117188);
    EXPECT_FALSE(noChannels->time);
    EXPECT_FALSE(noChannels->trueValues);
}

TEST(SamplingSamples, BlocksTimeMinimumAndTheTimeLeave) {
    const auto full = samplesChanged(240000, 2048, 8, ',');
    ASSERT_TRUE(full);
    EXPECT_EQ(full->blocks, 8);
    EXPECT_EQ(full->timeMinimum, 109);
    ASSERT_TRUE(full->leave);
    EXPECT_EQ(full->leave->time, 14648);

    const auto one = samplesChanged(30000, 2048, 8, ',');
    ASSERT_TRUE(one);
    EXPECT_EQ(one->blocks, 1);
    EXPECT_EQ(one->timeMinimum, 13);
    EXPECT_EQ(one->leave->time, 1831);

    // A half-typed count below one block is ignored.
    EXPECT_FALSE(samplesChanged(24000, 2048, 8, ','));
    EXPECT_FALSE(samplesChanged(0, 2048, 8, ','));
}

TEST(SamplingChannels, CountSetsLimitsAndTime) {
    const auto c = channelsCounted(8, 2048, 1, 8, ',');
    ASSERT_TRUE(c);
    EXPECT_EQ(c->frequencyMaximum, 34246);
    EXPECT_EQ(c->timeMaximum, 30000000);
    EXPECT_EQ(c->timeMinimum, 876);
    EXPECT_EQ(c->frequency, 2048);
    EXPECT_EQ(c->time, 14648);

    // Going from one channel to eight cuts a high F to the new maximum.
    const auto cut = channelsCounted(8, 100000, 1, 8, ',');
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->frequency, 34246);
    EXPECT_EQ(cut->time, 876);
    ASSERT_TRUE(cut->trueValues);
    EXPECT_EQ(cut->trueValues->divisor, 431);

    EXPECT_FALSE(channelsCounted(0, 2048, 1, 8, ','));
}

TEST(SamplingRoot, PowersOfTwoAroundF) {
    EXPECT_EQ(nearestPowerOfTwo(2048), 2048);
    EXPECT_EQ(nearestPowerOfTwo(3000), 2048);
    EXPECT_EQ(nearestPowerOfTwo(1000), 1024);
    EXPECT_EQ(nearestPowerOfTwo(3), 4);
    EXPECT_EQ(nearestPowerOfTwo(2), 2);
    EXPECT_EQ(nearestPowerOfTwo(1), 2);
    EXPECT_EQ(nearestPowerOfTwo(1535), 1024); // 0.75 p <= F < 1.5 p
    EXPECT_EQ(nearestPowerOfTwo(1536), 2048);

    EXPECT_EQ(rootStepped(false, 2048, 34246, 8, 8, ',').frequency, 1024);
    EXPECT_EQ(rootStepped(true, 2048, 34246, 8, 8, ',').frequency, 4096);
    EXPECT_EQ(rootStepped(false, 3000, 34246, 8, 8, ',').frequency, 1024);
    EXPECT_EQ(rootStepped(true, 3000, 34246, 8, 8, ',').frequency, 4096);
    EXPECT_EQ(rootStepped(false, 1000, 34246, 8, 8, ',').frequency, 512);
    EXPECT_EQ(rootStepped(true, 1000, 34246, 8, 8, ',').frequency, 2048);
    EXPECT_EQ(rootStepped(false, 3, 34246, 8, 8, ',').frequency, 2);
    EXPECT_EQ(rootStepped(false, 1, 34246, 8, 8, ',').frequency, 1);
    // The frequency edit's maximum cuts the step up.
    EXPECT_EQ(rootStepped(true, 32768, 34246, 8, 8, ',').frequency, 34246);
}

TEST(SamplingRoot, DependentValuesFollowTheNewFrequency) {
    const auto r = rootStepped(false, 2048, 34246, 8, 8, ',');
    EXPECT_EQ(r.time4allSRAM, 29297); // 29296.875
    EXPECT_EQ(r.time, 29297);
    ASSERT_TRUE(r.trueValues);
    EXPECT_EQ(r.trueValues->divisor, 14400);

    const auto none = rootStepped(true, 2048, 34246, 8, 0, ',');
    EXPECT_EQ(none.frequency, 4096);
    EXPECT_FALSE(none.time4allSRAM);
    EXPECT_FALSE(none.time);
    EXPECT_FALSE(none.trueValues);
}

TEST(SamplingSteps, StepEditsAndSettings) {
    EXPECT_EQ(stepFromEdit(0), 1);
    EXPECT_EQ(stepFromEdit(100), 100);
    EXPECT_EQ(cutToStep(2048, 100), 2000);
    EXPECT_EQ(cutToStep(2048, 1), 2048);
    EXPECT_EQ(cutToStep(2048, 0), 2048); // a step of 0 counts as 1
    EXPECT_EQ(blocksFromSetting(0), 8);
    EXPECT_EQ(blocksFromSetting(9), 8);
    EXPECT_EQ(blocksFromSetting(3), 3);
    EXPECT_EQ(frequencyFromSetting(224), 2048);
    EXPECT_EQ(frequencyFromSetting(225), 225);
    EXPECT_EQ(frequencyFromSetting(5000), 5000);
}

} // namespace
