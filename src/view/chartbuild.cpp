#include "view/chartbuild.h"

#include "view/smoothing.h"

#include <algorithm>

namespace zarvik {

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
    // Every point is written below, so a vector that keeps its size from the last build is
    // not filled twice.
    for (int n = 1; n <= kChannels; ++n) {
        const std::size_t points = in.checked[n] && instants > 1 ? instants - 1 : 0;
        out.channels[n].x.resize(points);
        out.channels[n].y.resize(points);
    }
    if (instants < 2)
        return;

    const std::uint8_t* bytes = m.SampleData.data();
    const std::size_t stride = 2 * static_cast<std::size_t>(count);
    const std::size_t points = instants - 1;
    auto word = [&](std::size_t instant, int k) {
        const std::uint8_t* p = bytes + instant * stride + 2 * static_cast<std::size_t>(k);
        return static_cast<double>(p[0] | (p[1] << 8));
    };

    // The X values are the same for every line.
    double* xs = out.channels[order[0]].x.data();
    // The instant counts as a 32-bit integer, whose conversion to double goes into vector
    // instructions (a 64-bit one does not). It fits: a sample block counts its bytes in 32
    // bits, so no channel has more than 2^31 - 1 instants.
    const auto last = static_cast<std::int32_t>(points);
    if (time) {
        const double period = m.SamplePeriodUs;
        const double divisor = in.timeUnitDivisor;
        for (std::int32_t i = 0; i < last; ++i)
            xs[i] = static_cast<double>(i + 1) * period / divisor;
    } else {
        for (std::int32_t i = 0; i < last; ++i)
            xs[i] = static_cast<double>(i + 1);
    }
    for (int k = 1; k < count; ++k)
        std::copy(xs, xs + points, out.channels[order[k]].x.data());

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
