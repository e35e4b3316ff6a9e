#include "view/chartbuild.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace zarvik {
namespace {

// The channel lines written out literally: instant by instant, channel by channel, the running
// value divided by N, the plotted value rounded by the library, then shifted and scaled.
struct LiteralBuild : ChartBuildOutput {
    std::array<std::vector<double>, kChannels + 1> x;
};

LiteralBuild literalBuild(const TMeasurement& m, const ChartBuildInput& in) {
    LiteralBuild out;
    std::vector<int> order;
    for (int n = 1; n <= kChannels; ++n)
        if (in.checked[n])
            order.push_back(n);
    const std::size_t instants = m.SampleData.size() / 2 / order.size();
    const bool time = axisModeHasTime(in.mode);
    const double N = in.smoothingPoints;
    std::vector<double> running(order.size());
    std::size_t pos = 0;
    for (std::size_t j = 0; j < instants; ++j)
        for (std::size_t k = 0; k < order.size(); ++k, pos += 2) {
            const int ch = order[k];
            double x = m.SampleData[pos] | (m.SampleData[pos + 1] << 8);
            if (j == 0)
                running[k] = x;
            if (in.smoothing) {
                running[k] = ((N - 1) * running[k] + x) / N;
                x = std::nearbyint(running[k]);
            }
            if (j == 0)
                continue;
            out.x[ch].push_back(time
                                    ? static_cast<double>(j) * m.SamplePeriodUs / in.timeUnitDivisor
                                    : static_cast<double>(j));
            out.channels[ch].y.push_back(
                axisModeHasValues(in.mode) ? (x - m.Shift[ch]) * m.Scale[ch] : x);
        }
    return out;
}

// Every N of the smoothing (powers of two and others), one to eight channels, every axis
// mode: the very same numbers as the literal build, on words over their whole range.
TEST(ChartBuild, GivesTheSameNumbersAsTheLiteralBuild) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> word(0, 65535);
    TMeasurement m;
    m.SamplePeriodUs = 488.28125 * 3;
    for (int n = 1; n <= kChannels; ++n) {
        m.Scale[n] = 0.0012 * n;
        m.Shift[n] = 2047.5 - n;
    }
    for (const std::vector<int>& channels :
         {std::vector<int>{3}, std::vector<int>{2, 5}, std::vector<int>{1, 2, 4, 6, 7},
          std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}}) {
        m.SampleData.clear();
        for (int i = 0; i < 2 * 1003 * static_cast<int>(channels.size()); ++i)
            m.SampleData.push_back(static_cast<std::uint8_t>(word(rng) & 0xFF));
        for (int smoothing : {0, 2, 3, 7, 8, 100, 512}) {
            for (int mode = 0; mode < 4; ++mode) {
                ChartBuildInput in;
                in.mode = static_cast<AxisMode>(mode);
                in.timeUnitDivisor = 1000.0;
                in.smoothing = smoothing > 0;
                in.smoothingPoints = smoothing > 0 ? smoothing : 8;
                for (int n : channels)
                    in.checked[n] = true;
                ChartBuildOutput out;
                buildChannelPoints(m, in, out);
                const LiteralBuild ref = literalBuild(m, in);
                for (int n = 1; n <= kChannels; ++n) {
                    SCOPED_TRACE(::testing::Message()
                                 << channels.size() << " channels, N " << smoothing << ", mode "
                                 << mode << ", channel " << n);
                    ASSERT_EQ(out.channels[n].y, ref.channels[n].y);
                    for (std::size_t i = 0; i < ref.x[n].size(); ++i)
                        ASSERT_EQ(static_cast<double>(i + 1) * out.xFactor / out.xDivisor,
                                  ref.x[n][i])
                            << i;
                }
            }
        }
    }
}

} // namespace
} // namespace zarvik
