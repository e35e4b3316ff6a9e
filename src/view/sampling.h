#pragma once
// The linked choice of sampling frequency F (Hz per channel), measurement time T (ms) and
// sample count S, with B = S div 30000 memory blocks shared by n channels: the limits, the
// formulas between them and the true values that the board's integer clock divisor gives.
// Plain functions: the sampling panel applies their results to its controls.
//
// Nothing here divides by a zero channel count or block count. Where a result depends on n
// or B and either is 0 (every channel box unchecked; a half-typed sample count), it comes back
// empty and the panel keeps what it shows.

#include "common/uitext.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zarvik {

constexpr int kMinFrequencyHz = 225;      // lowest F the operator may choose
constexpr int kDefaultFrequencyHz = 2048; // F when the settings hold none or a too low one
constexpr int kMemoryBlocks = 8;          // board memory blocks of 30000 words
constexpr int kTimeMaxFullMs = 1066667;   // T limits for 8 blocks, scaled by B / 8
constexpr int kTimeMinFullMs = 109;

// Highest F for n channels: trunc(1000000 / (3.4 n + 2)).
int frequencyMax(int n);

// T(F) = round(B * 240000000 / n / F / 8): B * 30000 words shared by n channels sampled F
// times a second take T ms. Empty when F, B or n is not positive.
std::optional<int> timeFromFrequency(int F, int B, int n);
// F(T) = round(B * 240000000 / n / T / 8). Empty when T, B or n is not positive.
std::optional<int> frequencyFromTime(int T, int B, int n);

// The T limits of the time edit: B * 1066667 div 8 and B * 109 div 8.
int timeUpperLimit(int B);
int timeLowerLimit(int B);

// The divisor of the 14.7456 MHz clock that gives F: round(14745600 / F). Empty when F is not
// positive or so high that the divisor would be 0.
std::optional<int> clockDivisor(int F);

// What the divisor actually gives, and the texts of the three true-value labels.
struct TrueValues {
    int divisor = 0;
    double frequency = 0.0; // Hz
    double time = 0.0;      // ms
    int minutes = 0;
    int seconds = 0;
    double milliseconds = 0.0;
    UiText frequencyText; // lbF
    UiText timeText;      // lbT
    UiText minutesText;   // lbMinutes
};
// Empty when F, B or n is not positive (or F has no divisor).
std::optional<TrueValues> trueValues(int F, int B, int n, char decimalSeparator);

// The step edits: a value below the minimum 1 becomes 1.
int stepFromEdit(int value);
// A typed value cut down to a whole multiple of its step.
int cutToStep(int value, int step);

// Settings read at start: B outside 1..8 becomes 8; F below 225 becomes 2048.
int blocksFromSetting(int value);
int frequencyFromSetting(int value);

// A change of the frequency edit while it has the input focus (seFChange). Empty for F <= 0,
// which the edit shows while the operator is still typing.
struct FrequencyEdit {
    int frequency = 0; // F after the step cut and the limits
    UiText error;      // text of lbErrIn, shown; empty: hide it
    std::optional<int> time4allSRAM;
    std::optional<int> time; // T(F), for the time edit (which clamps it to its limits)
    std::optional<TrueValues> trueValues;
};
std::optional<FrequencyEdit> frequencyEdited(int F, int fStep, int B, int n, char decimalSeparator);

// A change of the time edit while it has the input focus (seTimeChange). Empty for T <= 0 and
// for B <= 0.
struct TimeEdit {
    int time = 0; // T after the step cut and the limits
    UiText error; // text of lbErrIn, shown; empty: hide it
    int time4allSRAM = 0;
    // F(T), already clamped as the frequency edit will clamp it (1..frequencyMaximum); the
    // true values are those of this F.
    std::optional<int> frequency;
    std::optional<TrueValues> trueValues;
};
std::optional<TimeEdit> timeEdited(int T, int tStep, int F, int frequencyMaximum, int B, int n,
                                   char decimalSeparator);

// Leaving the time edit (seTimeExit), also the end of a sample-count change: T is set anew
// from F, and lbErrIn is hidden. Empty for F <= 0 or B <= 0.
struct TimeLeave {
    int time4allSRAM = 0; // round(240000000 / F), without the channel count
    std::optional<int> time;
    std::optional<TrueValues> trueValues;
};
std::optional<TimeLeave> timeLeft(int F, int B, int n, char decimalSeparator);

// A change of the sample count (seSamplesChange). Empty when S is below one block: an
// intermediate text that the edit cuts back into its range when left.
struct SamplesChange {
    int blocks = 0;      // B, the new SRAMblocks
    int timeMinimum = 0; // new minimum of the time edit
    std::optional<TimeLeave> leave;
};
std::optional<SamplesChange> samplesChanged(int S, int F, int n, char decimalSeparator);

// A click on a channel box (CalcUseChnl) with n boxes now checked. Empty for n = 0 (nothing
// changes) and for B <= 0.
struct ChannelLimits {
    int frequencyMaximum = 0;
    int timeMaximum = 0;
    int timeMinimum = 0;
    int frequency = 0; // F clamped to the new maximum, as the frequency edit will clamp it
    std::optional<int> time;
    std::optional<TrueValues> trueValues;
};
std::optional<ChannelLimits> channelsCounted(int n, int F, int frequencyMinimum, int B,
                                             char decimalSeparator);

// The power-of-two arrows next to F. p is the power of two nearest to F in the sense
// 0.75 p <= F < 1.5 p (p = 2 for F <= 2); down gives p div 2, up gives 2 p.
std::int64_t nearestPowerOfTwo(int F);
struct RootStep {
    int frequency = 0; // clamped to 1..frequencyMaximum as the frequency edit clamps it
    std::optional<int> time4allSRAM;
    std::optional<int> time;
    std::optional<TrueValues> trueValues;
};
RootStep rootStepped(bool up, int F, int frequencyMaximum, int B, int n, char decimalSeparator);

} // namespace zarvik
