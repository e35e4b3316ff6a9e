#include "view/chartbuild.h"

#include "common/rounding.h"

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

    // Channel by channel: each line is one tight pass over the stream with a fixed stride.
    const double n = in.smoothingPoints;
    const std::uint8_t* bytes = m.SampleData.data();
    const std::size_t stride = 2 * static_cast<std::size_t>(count);
    const std::size_t points = instants - 1;
    for (int k = 0; k < count; ++k) {
        const int ch = order[k];
        double* xs = out.channels[ch].x.data();
        double* ys = out.channels[ch].y.data();
        if (k == 0) {
            if (time) {
                const double period = m.SamplePeriodUs;
                const double divisor = in.timeUnitDivisor;
                for (std::size_t i = 0; i < points; ++i)
                    xs[i] = static_cast<double>(i + 1) * period / divisor;
            } else {
                for (std::size_t i = 0; i < points; ++i)
                    xs[i] = static_cast<double>(i + 1);
            }
        } else {
            std::copy(out.channels[order[0]].x.begin(), out.channels[order[0]].x.end(), xs);
        }
        const std::uint8_t* w = bytes + 2 * static_cast<std::size_t>(k);
        const double shift = m.Shift[ch];
        const double scale = m.Scale[ch];
        auto word = [&](std::size_t j) {
            const std::uint8_t* p = w + j * stride;
            return static_cast<double>(p[0] | (p[1] << 8));
        };
        if (in.smoothing) {
            // The running value starts at the first word and keeps its fraction; only the
            // plotted value is rounded.
            double running = word(0);
            for (std::size_t i = 0; i < points; ++i) {
                running = ((n - 1.0) * running + word(i + 1)) / n;
                const auto v = static_cast<double>(roundHalfEven(running));
                ys[i] = values ? (v - shift) * scale : v;
            }
        } else if (values) {
            for (std::size_t i = 0; i < points; ++i)
                ys[i] = (word(i + 1) - shift) * scale;
        } else {
            for (std::size_t i = 0; i < points; ++i)
                ys[i] = word(i + 1);
        }
    }
}

} // namespace zarvik
