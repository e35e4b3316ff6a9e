// The loop of the y summaries of a series. Included twice by chartseries.cpp: once for any
// processor (two doubles a vector) and once compiled for 256-bit vectors (four), chosen at run
// time. No include guard.

template <typename T> T lower(T a, T b) {
    return a < b ? a : b;
}
template <typename T> T higher(T a, T b) {
    return a > b ? a : b;
}

// Summaries of whole blocks of y values from `y` on; `sum` gathers their sum (finite unless a
// value is not finite, or the sum overflows), `low` and `high` their bounds, valid when all
// values are finite. Within a block the vectors are folded as a tree, so the blocks' work
// overlaps.
template <int W>
ZARVIK_OUT_OF_LINE void summariseBlocks(const double* y, std::size_t blocks, double* lows,
                                        double* highs, double& sum, double& low, double& high) {
    using Lanes = typename DoubleLanes<W>::type;
    constexpr int L = YBlocks::size / W;
    static_assert(L >= 2 && (L & (L - 1)) == 0, "a block is a power of two of vectors");
    Lanes sums{};
    Lanes lowest, highest;
    for (int i = 0; i < W; ++i) {
        lowest[i] = low;
        highest[i] = high;
    }
    for (std::size_t b = 0; b < blocks; ++b, y += YBlocks::size) {
        Lanes l[L], h[L], s[L];
#pragma GCC unroll 8
        for (int j = 0; j < L; ++j) {
            std::memcpy(&l[j], y + W * j, sizeof l[j]);
            h[j] = l[j];
            s[j] = l[j];
        }
#pragma GCC unroll 8
        for (int width = L / 2; width > 0; width /= 2) {
#pragma GCC unroll 8
            for (int j = 0; j < width; ++j) {
                l[j] = lower(l[j], l[j + width]);
                h[j] = higher(h[j], h[j + width]);
                s[j] = s[j] + s[j + width];
            }
        }
        double blockLow = l[0][0], blockHigh = h[0][0];
        for (int i = 1; i < W; ++i) {
            blockLow = lower(blockLow, l[0][i]);
            blockHigh = higher(blockHigh, h[0][i]);
        }
        lows[b] = blockLow;
        highs[b] = blockHigh;
        lowest = lower(l[0], lowest);
        highest = higher(h[0], highest);
        sums += s[0];
    }
    for (int i = 0; i < W; ++i) {
        sum += sums[i];
        low = lower(low, lowest[i]);
        high = higher(high, highest[i]);
    }
}
