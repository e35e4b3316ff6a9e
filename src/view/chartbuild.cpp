#include "view/chartbuild.h"

#include "common/rounding.h"

namespace zarvik {

void buildChannelPoints(const TMeasurement& m, const ChartBuildInput& in, ChartBuildOutput& out) {
    for (auto& c : out.channels) {
        c.x.clear();
        c.y.clear();
    }
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
    if (count == 0)
        return;
    const std::size_t instants = m.SampleData.size() / 2 / static_cast<std::size_t>(count);
    if (instants < 2)
        return;
    for (int k = 0; k < count; ++k) {
        out.channels[order[k]].x.resize(instants - 1);
        out.channels[order[k]].y.resize(instants - 1);
    }

    const double n = in.smoothingPoints;
    std::array<double, kChannels + 1> running{};
    const std::uint8_t* bytes = m.SampleData.data();
    for (std::size_t j = 0; j < instants; ++j) {
        const double x = time ? static_cast<double>(j) * m.SamplePeriodUs / in.timeUnitDivisor
                              : static_cast<double>(j);
        for (int k = 0; k < count; ++k) {
            const int ch = order[k];
            double v = static_cast<double>(bytes[0] | (bytes[1] << 8));
            bytes += 2;
            if (j == 0)
                running[ch] = v;
            if (in.smoothing) {
                running[ch] = ((n - 1.0) * running[ch] + v) / n;
                v = static_cast<double>(roundHalfEven(running[ch]));
            }
            if (j == 0)
                continue;
            ChannelPoints& p = out.channels[ch];
            p.x[j - 1] = x;
            p.y[j - 1] = values ? (v - m.Shift[ch]) * m.Scale[ch] : v;
        }
    }
}

} // namespace zarvik
