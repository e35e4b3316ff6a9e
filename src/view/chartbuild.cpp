#include "view/chartbuild.h"

#include "common/rounding.h"

#include <algorithm>

namespace zarvik {

namespace {

// The recursive average of C channels whose words alternate in `bytes`, instant 0 starting
// each running value: A := ((N - 1) * A + x) / N, the plotted value A rounded to an integer,
// halves to even, while A keeps its fraction. The running values live in registers and the C
// channels' chains run side by side. With N a power of two, multiplying by 1/N (exact) rounds
// as dividing by N does, and is quicker.
template <int C, bool PowerOfTwo>
void smoothInstants(const std::uint8_t* bytes, std::size_t points, double n, double* const* ys) {
    const double keep = n - 1.0;
    const double inverse = 1.0 / n;
    double running[C];
    for (int k = 0; k < C; ++k)
        running[k] = static_cast<double>(bytes[2 * k] | (bytes[2 * k + 1] << 8));
    const std::uint8_t* p = bytes + 2 * C;
    for (std::size_t i = 0; i < points; ++i, p += 2 * C) {
        for (int k = 0; k < C; ++k) {
            const double sum =
                keep * running[k] + static_cast<double>(p[2 * k] | (p[2 * k + 1] << 8));
            running[k] = PowerOfTwo ? sum * inverse : sum / n;
            // A stays within the words' range, 0 .. 65535.
            ys[k][i] = roundHalfEvenSmall(running[k]);
        }
    }
}

template <int C>
void smoothInstants(const std::uint8_t* bytes, std::size_t points, int n, double* const* ys) {
    if ((n & (n - 1)) == 0)
        smoothInstants<C, true>(bytes, points, n, ys);
    else
        smoothInstants<C, false>(bytes, points, n, ys);
}

void smooth(const std::uint8_t* bytes, int count, std::size_t points, int n, double* const* ys) {
    switch (count) {
    case 1:
        return smoothInstants<1>(bytes, points, n, ys);
    case 2:
        return smoothInstants<2>(bytes, points, n, ys);
    case 3:
        return smoothInstants<3>(bytes, points, n, ys);
    case 4:
        return smoothInstants<4>(bytes, points, n, ys);
    case 5:
        return smoothInstants<5>(bytes, points, n, ys);
    case 6:
        return smoothInstants<6>(bytes, points, n, ys);
    case 7:
        return smoothInstants<7>(bytes, points, n, ys);
    default:
        return smoothInstants<8>(bytes, points, n, ys);
    }
}

} // namespace

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
        for (int k = 0; k < count; ++k)
            ys[k] = out.channels[order[k]].y.data();
        smooth(bytes, count, points, in.smoothingPoints, ys.data());
        if (values) {
            for (int k = 0; k < count; ++k) {
                const int ch = order[k];
                const double shift = m.Shift[ch];
                const double scale = m.Scale[ch];
                for (std::size_t i = 0; i < points; ++i)
                    ys[k][i] = (ys[k][i] - shift) * scale;
            }
        }
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
