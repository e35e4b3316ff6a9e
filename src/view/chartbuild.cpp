#include "view/chartbuild.h"

#include "view/smoothing.h"

#include <algorithm>

namespace zarvik {

double timeUnitDivisor(int unit) {
    constexpr double kDivisors[kTimeUnitCount] = {1.0, 1000.0, 1000000.0};
    return kDivisors[std::clamp(unit, 0, kTimeUnitCount - 1)];
}

ChartAxisTitles fileAxisTitles(AxisMode mode, const std::string& yTitle, int timeUnit) {
    const UiSource& time =
        kTimeTitles[static_cast<std::size_t>(std::clamp(timeUnit, 0, kTimeUnitCount - 1))];
    return {axisModeHasValues(mode) ? yTitle : kAdcUnitsTitle.text,
            axisModeHasTime(mode) ? time.text : kSamplesTitle.text};
}

void buildChannelPoints(const TMeasurement& m, const ChartBuildInput& in, ChartBuildOutput& out) {
    const bool time = axisModeHasTime(in.mode);
    const bool values = axisModeHasValues(in.mode);
    out.xStep = time ? m.SamplePeriodUs / in.timeUnitDivisor : 1.0;

    std::array<int, kChannels> order{};
    int count = 0;
    out.channelMask = 0;
    for (int n = 1; n <= kChannels; ++n) {
        if (in.checked[n]) {
            order[count++] = n;
            out.channelMask |= 1u << (n - 1);
        }
    }
    const std::size_t instants =
        count == 0 ? 0 : m.SampleData.size() / 2 / static_cast<std::size_t>(count);
    out.xFactor = time ? m.SamplePeriodUs : 1.0;
    out.xDivisor = time ? in.timeUnitDivisor : 1.0;
    // Every point is written below, so a vector that keeps its size from the last build is
    // not filled twice.
    for (int n = 1; n <= kChannels; ++n)
        out.channels[n].y.resize(in.checked[n] && instants > 1 ? instants - 1 : 0);
    if (instants < 2)
        return;

    const std::uint8_t* bytes = m.SampleData.data();
    const std::size_t stride = 2 * static_cast<std::size_t>(count);
    const std::size_t points = instants - 1;
    auto word = [&](std::size_t instant, int k) {
        const std::uint8_t* p = bytes + instant * stride + 2 * static_cast<std::size_t>(k);
        return static_cast<double>(p[0] | (p[1] << 8));
    };

    if (in.smoothing) {
        std::array<double*, kChannels> ys{};
        std::array<PlotScale, kChannels> scales{};
        for (int k = 0; k < count; ++k) {
            ys[k] = out.channels[order[k]].y.data();
            scales[k] = {values, m.Shift[order[k]], m.Scale[order[k]]};
        }
        smoothChannels(bytes, count, instants, in.smoothingPoints, scales.data(), ys.data());
        return;
    }
    for (int k = 0; k < count; ++k) {
        const int ch = order[k];
        double* ys = out.channels[ch].y.data();
        if (values) {
            const double shift = m.Shift[ch];
            const double scale = m.Scale[ch];
            for (std::size_t i = 0; i < points; ++i)
                ys[i] = (word(i + 1, k) - shift) * scale;
        } else {
            for (std::size_t i = 0; i < points; ++i)
                ys[i] = word(i + 1, k);
        }
    }
}

} // namespace zarvik
