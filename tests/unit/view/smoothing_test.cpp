#include "view/smoothing.h"

#include "common/widevectors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace zarvik {
namespace {

// One chain per channel, step by step, as the average is defined.
std::vector<std::vector<double>> stepByStep(const std::vector<std::uint8_t>& bytes, int count,
                                            int n, const PlotScale& scale) {
    const std::size_t instants = bytes.size() / 2 / static_cast<std::size_t>(count);
    std::vector<std::vector<double>> out(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        double running = 0.0;
        for (std::size_t j = 0; j < instants; ++j) {
            const std::size_t at = 2 * (j * static_cast<std::size_t>(count) + k);
            const double x = bytes[at] | (bytes[at + 1] << 8);
            running = j == 0 ? x : ((n - 1) * running + x) / n;
            const double v = std::nearbyint(running);
            if (j > 0)
                out[static_cast<std::size_t>(k)].push_back(
                    scale.values ? (v - scale.shift) * scale.scale : v);
        }
    }
    return out;
}

// Long channels, cut into segments that start from guesses: with the lead chosen from N the
// guesses settle; with a lead of one or two instants they almost never do and the segments are
// computed again. Either way every value is the step-by-step chain's, to the last bit, in both
// builds of the loops; words that jump over the whole range make the guesses as wrong as they
// can be.
TEST(Smoothing, SegmentsRunSideBySideGiveTheStepByStepChain) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> noise(-40, 40);
    for (int count : {1, 2, 3, 5, 8}) {
        const std::size_t instants = 24001;
        std::vector<std::uint8_t> bytes;
        for (std::size_t j = 0; j < instants; ++j)
            for (int k = 0; k < count; ++k) {
                int w = 2047 + static_cast<int>(1800 * std::sin(0.003 * j + k)) + noise(rng);
                if (j % 4000 == 1999)
                    w = j % 8000 == 1999 ? 65535 : 0;
                bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
                bytes.push_back(static_cast<std::uint8_t>(w >> 8));
            }
        for (int n : {2, 3, 8, 100, 512}) {
            for (std::size_t lead : {std::size_t{0}, std::size_t{1}, std::size_t{2}}) {
                for (bool baseline : {false, true}) {
                    useBaselineLoops(baseline);
                    for (const PlotScale scale : {PlotScale{}, PlotScale{true, 2047.5, 0.0123}}) {
                        SCOPED_TRACE(::testing::Message()
                                     << count << " channels, N " << n << ", lead " << lead
                                     << ", baseline " << baseline);
                        std::vector<std::vector<double>> out(
                            static_cast<std::size_t>(count),
                            std::vector<double>(instants - 1, -1.0));
                        std::vector<double*> ys;
                        for (auto& o : out)
                            ys.push_back(o.data());
                        const std::vector<PlotScale> scales(static_cast<std::size_t>(count), scale);
                        smoothChannels(bytes.data(), count, instants, n, scales.data(), ys.data(),
                                       lead);
                        ASSERT_EQ(out, stepByStep(bytes, count, n, scale));
                    }
                }
            }
        }
    }
    useBaselineLoops(false);
}

} // namespace
} // namespace zarvik
