#include "view/sampling.h"

#include "common/measurement.h"
#include "common/numtext.h"
#include "common/rounding.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace zarvik {

namespace {

constexpr double kWordsTimesMs = 240000000.0; // 30000 words * 8 blocks * 1000 ms

int roundToInt(double x) {
    return static_cast<int>(roundHalfEven(x));
}

// Time4allSRAM after a change of F: the time of the whole memory for n channels.
std::optional<int> time4allSRAMFor(int F, int n) {
    if (F <= 0 || n <= 0)
        return std::nullopt;
    return roundToInt(kWordsTimesMs / F / n);
}

std::string twoPlaces(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%2d", value);
    return buf;
}

} // namespace

int frequencyMax(int n) {
    return static_cast<int>(truncate(1000000.0 / (3.4 * n + 2.0)));
}

std::optional<int> timeFromFrequency(int F, int B, int n) {
    if (F <= 0 || B <= 0 || n <= 0)
        return std::nullopt;
    return roundToInt(B * kWordsTimesMs / n / F / 8.0);
}

std::optional<int> frequencyFromTime(int T, int B, int n) {
    if (T <= 0 || B <= 0 || n <= 0)
        return std::nullopt;
    return roundToInt(B * kWordsTimesMs / n / T / 8.0);
}

int timeUpperLimit(int B) {
    return static_cast<int>(idiv(std::int64_t{B} * kTimeMaxFullMs, kMemoryBlocks));
}

int timeLowerLimit(int B) {
    return static_cast<int>(idiv(std::int64_t{B} * kTimeMinFullMs, kMemoryBlocks));
}

std::optional<int> clockDivisor(int F) {
    if (F <= 0)
        return std::nullopt;
    const int divisor = roundToInt(kBoardClockHz / F);
    if (divisor < 1)
        return std::nullopt;
    return divisor;
}

std::optional<TrueValues> trueValues(int F, int B, int n, char decimalSeparator) {
    const auto divisor = clockDivisor(F);
    if (!divisor || B <= 0 || n <= 0)
        return std::nullopt;
    TrueValues v;
    v.divisor = *divisor;
    v.frequency = kBoardClockHz / v.divisor;
    v.time = kWordsTimesMs / v.frequency * B / 8.0 / n;
    v.minutes = static_cast<int>(truncate(v.time / 60000.0));
    v.seconds = static_cast<int>(truncate((v.time - v.minutes * 60000.0) / 1000.0));
    v.milliseconds = v.time - v.minutes * 60000.0 - v.seconds * 1000.0;
    v.frequencyText = {ZARVIK_TR_NOOP("Sampling", "Fвыборки,Гц=%1"),
                       {formatFixed(v.frequency, 3, decimalSeparator)}};
    // A Latin T and a Latin c, as the label has always read.
    v.timeText = {ZARVIK_TR_NOOP("Sampling", "Tизмерения,мc=%1"),
                  {formatFixed(v.time, 3, decimalSeparator)}};
    // The letter after the seconds is a Latin c.
    v.minutesText = {ZARVIK_TR_NOOP("Sampling", "или %1 мин %2 c %3 мс"),
                     {twoPlaces(v.minutes), twoPlaces(v.seconds),
                      formatFixed(v.milliseconds, 3, decimalSeparator)}};
    return v;
}

int stepFromEdit(int value) {
    return std::max(value, 1);
}

int cutToStep(int value, int step) {
    const int s = stepFromEdit(step);
    return static_cast<int>(idiv(value, s) * s);
}

int blocksFromSetting(int value) {
    return value >= 1 && value <= kMemoryBlocks ? value : kMemoryBlocks;
}

int frequencyFromSetting(int value) {
    return value < kMinFrequencyHz ? kDefaultFrequencyHz : value;
}

std::optional<FrequencyEdit> frequencyEdited(int F, int fStep, int B, int n,
                                             char decimalSeparator) {
    if (F <= 0)
        return std::nullopt;
    FrequencyEdit e;
    e.frequency = cutToStep(F, fStep);
    const int limit = frequencyMax(n);
    if (e.frequency > limit) {
        e.error = {ZARVIK_TR_NOOP("Sampling", "Fвыборки, Гц>%1"), {std::to_string(limit)}};
        e.frequency = limit;
    }
    if (e.frequency < kMinFrequencyHz) {
        e.error = {ZARVIK_TR_NOOP("Sampling", "Fвыборки, Гц<%1"),
                   {std::to_string(kMinFrequencyHz)}};
        e.frequency = kMinFrequencyHz;
    }
    e.time4allSRAM = time4allSRAMFor(e.frequency, n);
    e.trueValues = trueValues(e.frequency, B, n, decimalSeparator);
    e.time = timeFromFrequency(e.frequency, B, n);
    return e;
}

std::optional<TimeEdit> timeEdited(int T, int tStep, int F, int frequencyMaximum, int B, int n,
                                   char decimalSeparator) {
    if (T <= 0 || B <= 0)
        return std::nullopt;
    TimeEdit e;
    e.time = cutToStep(T, tStep);
    const int upper = timeUpperLimit(B);
    const int lower = timeLowerLimit(B);
    if (e.time > upper) {
        e.error = {ZARVIK_TR_NOOP("Sampling", "Tизмерения, мс>%1"), {std::to_string(upper)}};
        e.time = upper;
    }
    if (e.time < lower) {
        e.error = {ZARVIK_TR_NOOP("Sampling", "Tизмерения, мс<%1"), {std::to_string(lower)}};
        e.time = lower;
    }
    e.time4allSRAM = static_cast<int>(idiv(std::int64_t{e.time} * kMemoryBlocks, B));
    // Without a checked channel there is no F(T): F and the true values stay as they are.
    const auto f = frequencyFromTime(e.time, B, n);
    const int newF = f ? std::clamp(*f, 1, std::max(frequencyMaximum, 1)) : F;
    if (f)
        e.frequency = newF;
    e.trueValues = trueValues(newF, B, n, decimalSeparator);
    return e;
}

std::optional<TimeLeave> timeLeft(int F, int B, int n, char decimalSeparator) {
    if (F <= 0 || B <= 0)
        return std::nullopt;
    TimeLeave l;
    l.time4allSRAM = roundToInt(kWordsTimesMs / F);
    if (n > 0)
        l.time = static_cast<int>(idiv(idiv(std::int64_t{l.time4allSRAM} * B, kMemoryBlocks), n));
    l.trueValues = trueValues(F, B, n, decimalSeparator);
    return l;
}

std::optional<SamplesChange> samplesChanged(int S, int F, int n, char decimalSeparator) {
    const int B = static_cast<int>(idiv(S, kWordsPerBlock));
    if (B <= 0)
        return std::nullopt;
    SamplesChange c;
    c.blocks = B;
    c.timeMinimum = timeLowerLimit(B);
    c.leave = timeLeft(F, B, n, decimalSeparator);
    return c;
}

std::optional<ChannelLimits> channelsCounted(int n, int F, int frequencyMinimum, int B,
                                             char decimalSeparator) {
    if (n <= 0 || B <= 0)
        return std::nullopt;
    ChannelLimits c;
    c.frequencyMaximum = frequencyMax(n);
    const int lowestF = std::max(frequencyMinimum, 1);
    c.timeMaximum = *timeFromFrequency(lowestF, B, n);
    c.timeMinimum = *timeFromFrequency(c.frequencyMaximum, B, n);
    c.frequency = std::clamp(F, lowestF, std::max(c.frequencyMaximum, lowestF));
    c.trueValues = trueValues(c.frequency, B, n, decimalSeparator);
    c.time = timeFromFrequency(c.frequency, B, n);
    return c;
}

std::int64_t nearestPowerOfTwo(int F) {
    std::int64_t p = 2;
    for (std::int64_t f = F; f > 2; f = idiv(f, 2))
        p *= 2;
    return p;
}

RootStep rootStepped(bool up, int F, int frequencyMaximum, int B, int n, char decimalSeparator) {
    const std::int64_t p = nearestPowerOfTwo(F);
    const std::int64_t wanted = up ? 2 * p : idiv(p, 2);
    RootStep r;
    r.frequency =
        static_cast<int>(std::clamp<std::int64_t>(wanted, 1, std::max(frequencyMaximum, 1)));
    r.time4allSRAM = time4allSRAMFor(r.frequency, n);
    r.trueValues = trueValues(r.frequency, B, n, decimalSeparator);
    r.time = timeFromFrequency(r.frequency, B, n);
    return r;
}

} // namespace zarvik
