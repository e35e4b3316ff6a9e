// The loops of the average. Included twice by smoothing.cpp: once for any processor (two
// doubles a vector) and once compiled for 256-bit vectors (four), chosen at run time. No include
// guard.

// Advances `count` chains (at most W * V) by `steps` words each, side by side in V vectors of W,
// their words `stride` bytes apart. Missing chains are copies of the last one, which write the
// same values to the same places. With N a power of two, multiplying by 1/N (exact) rounds as
// dividing by N does, and is quicker. The running values stay within the words' range,
// 0 .. 65535, so adding and taking off 2^52 rounds them to integers, halves to even.
template <int W, int V, bool PowerOfTwo, bool Values>
ZARVIK_OUT_OF_LINE void advanceLanes(Chain* chains, int count, std::size_t steps,
                                     std::size_t stride, double n) {
    using Lanes = typename DoubleLanes<W>::type;
    constexpr int K = W * V;
    Lanes keep, inverse, divisor, big;
    for (int i = 0; i < W; ++i) {
        keep[i] = n - 1.0;
        inverse[i] = 1.0 / n;
        divisor[i] = n;
        big[i] = 0x1p52;
    }
    const std::uint8_t* words[K];
    double* out[K];
    Lanes running[V], shift[V], scale[V];
    for (int k = 0; k < K; ++k) {
        const Chain& c = chains[k < count ? k : count - 1];
        words[k] = c.words;
        out[k] = c.out;
        running[k / W][k % W] = c.running;
        shift[k / W][k % W] = c.scale.shift;
        scale[k / W][k % W] = c.scale.scale;
    }
    for (std::size_t t = 0; t < steps; ++t) {
        const std::size_t at = t * stride;
        // Unrolled, so that the running values stay in registers.
#pragma GCC unroll 4
        for (int j = 0; j < V; ++j) {
            Lanes x;
#pragma GCC unroll 4
            for (int i = 0; i < W; ++i) {
                const std::uint8_t* p = words[j * W + i] + at;
                x[i] = static_cast<double>(p[0] | (p[1] << 8));
            }
            const Lanes sum = keep * running[j] + x;
            running[j] = PowerOfTwo ? sum * inverse : sum / divisor;
            const Lanes v = (running[j] + big) - big;
            const Lanes plotted = Values ? (v - shift[j]) * scale[j] : v;
#pragma GCC unroll 4
            for (int i = 0; i < W; ++i)
                out[j * W + i][t] = plotted[i];
        }
    }
    for (int k = 0; k < count; ++k) {
        chains[k].words += steps * stride;
        chains[k].out += steps;
        chains[k].running = running[k / W][k % W];
    }
}

template <int W, int V>
void advanceLanes(Chain* chains, int count, std::size_t steps, std::size_t stride, int n) {
    const bool powerOfTwo = (n & (n - 1)) == 0;
    if (chains[0].scale.values) {
        if (powerOfTwo)
            advanceLanes<W, V, true, true>(chains, count, steps, stride, n);
        else
            advanceLanes<W, V, false, true>(chains, count, steps, stride, n);
    } else {
        if (powerOfTwo)
            advanceLanes<W, V, true, false>(chains, count, steps, stride, n);
        else
            advanceLanes<W, V, false, false>(chains, count, steps, stride, n);
    }
}

// All chains of one call scale alike: every channel shows values, or every one converter units.
template <int W>
void advanceChains(Chain* chains, int count, std::size_t steps, std::size_t stride, int n) {
    switch ((count + W - 1) / W) {
    case 1:
        return advanceLanes<W, 1>(chains, count, steps, stride, n);
    case 2:
        return advanceLanes<W, 2>(chains, count, steps, stride, n);
    case 3:
        return advanceLanes<W, 3>(chains, count, steps, stride, n);
    default:
        return advanceLanes<W, 4>(chains, count, steps, stride, n);
    }
}
