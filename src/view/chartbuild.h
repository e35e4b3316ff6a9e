#pragma once
// Turning the sample stream into the points of the channel lines: the split by channel, the
// recursive smoothing and the scaling to physical values, without any widget.

#include "common/measurement.h"
#include "common/uitext.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zarvik {

// The axis modes of the chart, in the order of the list the operator picks from.
enum class AxisMode : int { ValuesTime = 0, AdcSamples = 1, ValuesSamples = 2, AdcTime = 3 };

inline bool axisModeHasTime(AxisMode m) {
    return m == AxisMode::ValuesTime || m == AxisMode::AdcTime;
}
inline bool axisModeHasValues(AxisMode m) {
    return m == AxisMode::ValuesTime || m == AxisMode::ValuesSamples;
}

// The time units of the X axis, in the order of the list the operator picks from (µs, ms, s);
// a unit outside the list counts as the nearest end of it.
constexpr int kTimeUnitCount = 3;
double timeUnitDivisor(int unit);

// Axis titles as the data and text files keep them, in Russian whatever the interface's
// language; the chart shows them translated. The time titles follow the time units' list.
inline constexpr UiSource kSamplesTitle = ZARVIK_TR_NOOP("Axes", "Выборки");
inline constexpr UiSource kAdcUnitsTitle = ZARVIK_TR_NOOP("Axes", "единицы АЦП");
inline constexpr std::array<UiSource, kTimeUnitCount> kTimeTitles = {
    ZARVIK_TR_NOOP("Axes", "Время, мкс"), ZARVIK_TR_NOOP("Axes", "Время, мс"),
    ZARVIK_TR_NOOP("Axes", "Время, с")};

struct ChartAxisTitles {
    std::string left;   // the physical quantity, or converter units
    std::string bottom; // time in the unit, or samples
};

// The titles of a build as files keep them: `yTitle` names the values.
ChartAxisTitles fileAxisTitles(AxisMode mode, const std::string& yTitle, int timeUnit);

struct ChartBuildInput {
    AxisMode mode = AxisMode::ValuesTime;
    double timeUnitDivisor = 1.0; // 1, 1000 or 1000000 (us, ms, s)
    bool smoothing = false;
    int smoothingPoints = 8;                   // N of the recursive average, 2..512
    std::array<bool, kChannels + 1> checked{}; // [1..8]: the channel boxes at build time
};

struct ChannelPoints {
    std::vector<double> y;
};

struct ChartBuildOutput {
    double xStep = 0.0;
    // Point i of every line lies at x = (i + 1) * xFactor / xDivisor, computed as written: the
    // sample's number, or its time in the chosen unit.
    double xFactor = 1.0;
    double xDivisor = 1.0;
    std::uint32_t channelMask = 0;
    std::array<ChannelPoints, kChannels + 1> channels; // [1..8]; unchecked channels empty

    // The x of point i, as the chart's series compute it.
    double x(std::size_t i) const { return static_cast<double>(i + 1) * xFactor / xDivisor; }
};

// Splits `m.SampleData` by the checked channels and fills the points of each: instant 0 starts
// the running value but is not plotted, so M instants give M - 1 points, the first at X = XStep.
// The output's vectors are reused, so repeated builds do not allocate. With no channel checked
// the lines stay empty.
void buildChannelPoints(const TMeasurement& m, const ChartBuildInput& in, ChartBuildOutput& out);

} // namespace zarvik
