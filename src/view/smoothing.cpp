#include "view/smoothing.h"

#include "common/widevectors.h"

#include <array>
#include <cmath>

namespace zarvik {

namespace {

constexpr int kMaxChains = 8;

// One chain of the average: where its words are read, where its points are written, and the
// running value before its next word.
struct Chain {
    const std::uint8_t* words;
    double* out;
    double running;
    PlotScale scale;
};

#define ZARVIK_LOOPS "view/smoothingsteps.h"
#include "common/twobuilds.h"

void advance(Chain* chains, int count, std::size_t steps, std::size_t stride, int n) {
    if (steps == 0)
        return;
#if ZARVIK_WIDE_VECTORS
    if (wideVectorsInUse())
        return wide::advanceChains<4>(chains, count, steps, stride, n);
#endif
    any::advanceChains<2>(chains, count, steps, stride, n);
}

// Instants enough for a guessed start, off by at most the words' range (2^16), to shrink by
// the factor (N - 1) / N a step below the last bit of an average (2^-37 and finer), with room
// for the rounding to settle.
std::size_t chosenWarmup(int n) {
    return static_cast<std::size_t>(std::ceil(64.0 / -std::log1p(-1.0 / n)));
}

} // namespace

void smoothChannels(const std::uint8_t* bytes, int count, std::size_t instants, int n,
                    const PlotScale* scales, double* const* ys, std::size_t warmup) {
    if (instants < 2 || count < 1 || count > kMaxChains)
        return;
    const std::size_t stride = 2 * static_cast<std::size_t>(count);
    auto wordAt = [&](std::size_t instant, int k) {
        const std::uint8_t* p = bytes + instant * stride + 2 * static_cast<std::size_t>(k);
        return static_cast<double>(p[0] | (p[1] << 8));
    };
    const std::size_t points = instants - 1;
    const std::size_t lead = warmup > 0 ? warmup : chosenWarmup(n);

    // Segments per channel, so that about eight chains run side by side; each segment at
    // least twice its lead, or the guessing costs more than it saves.
    std::size_t segments = static_cast<std::size_t>(kMaxChains / count);
    while (segments > 1 && (points <= lead || (points - lead) / segments < 2 * lead))
        --segments;
    // Segment s of a channel computes instants 1 + s * length .. 1 + s * length + steps - 1; all
    // but the first begin `lead` instants before the points they own, and the last leaves a
    // short tail. A segment writes those first points before the segment that owns them does,
    // so the owner's values are the ones left.
    const std::size_t length = segments > 1 ? (points - lead) / segments : points;
    const std::size_t steps = segments > 1 ? length + lead : points;

    std::array<Chain, kMaxChains> chains{};
    const int used = count * static_cast<int>(segments);
    for (std::size_t s = 0; s < segments; ++s) {
        for (int k = 0; k < count; ++k) {
            const std::size_t first = 1 + s * length;
            chains[s * count + k] = {bytes + first * stride + 2 * k, ys[k] + (first - 1),
                                     wordAt(first - 1, k), scales[k]};
        }
    }
    // Each guessed chain's value just before its own points.
    std::array<double, kMaxChains> atBoundary{};
    if (segments > 1) {
        advance(chains.data(), used, lead, stride, n);
        for (int c = 0; c < used; ++c)
            atBoundary[c] = chains[c].running;
    }
    advance(chains.data(), used, steps - (segments > 1 ? lead : 0), stride, n);

    // Each segment's guessed chain against the true value left by the segment before it.
    for (std::size_t s = 1; s < segments; ++s) {
        for (int k = 0; k < count; ++k) {
            Chain& chain = chains[s * count + k];
            const double truth = chains[(s - 1) * count + k].running;
            if (atBoundary[s * count + k] == truth)
                continue;
            const std::size_t own = 1 + s * length + lead;
            Chain again{bytes + own * stride + 2 * k, ys[k] + (own - 1), truth, scales[k]};
            advance(&again, 1, length, stride, n);
            chain.running = again.running;
        }
    }
    // The tail after the last segment, from the last segment's true values.
    if (segments > 1) {
        const std::size_t from = 1 + segments * length + lead;
        std::array<Chain, kMaxChains> tail{};
        for (int k = 0; k < count; ++k)
            tail[k] = {bytes + from * stride + 2 * k, ys[k] + (from - 1),
                       chains[(segments - 1) * count + k].running, scales[k]};
        advance(tail.data(), count, instants - from, stride, n);
    }
}

} // namespace zarvik
