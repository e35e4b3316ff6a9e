// The arithmetic loops of the transform. Included twice by fft.cpp: once for any processor and
// once compiled for 256-bit vectors, chosen at run time. No include guard.

// One butterfly with twiddle (wr, wi): p takes the sum, q the rotated difference.
inline void butterfly(double& pr, double& pi, double& qr, double& qi, double wr, double wi) {
    const double dr = pr - qr, di = pi - qi;
    pr = pr + qr;
    pi = pi + qi;
    qr = dr * wr - di * wi;
    qi = di * wr + dr * wi;
}

// The butterflies of one group: points l and l + H, l = 0 .. H-1. Out of line, so that the
// compiler takes the promise that the rows do not overlap as it stands: inlined into a stage,
// it checked the pointers at run time and took its one-at-a-time path.
ZARVIK_OUT_OF_LINE void group(double* __restrict rp, double* __restrict ip, double* __restrict rq,
                              double* __restrict iq, const double* __restrict wr,
                              const double* __restrict wi, std::size_t H) {
    for (std::size_t l = 0; l < H; ++l)
        butterfly(rp[l], ip[l], rq[l], iq[l], wr[l], wi[l]);
}

// Both stages of one group of 2H points, half-spans H and Q = H/2: each quarter of four
// points l, l + Q, l + H, l + H + Q goes through both stages while in registers, with the
// same butterflies as two separate passes.
inline void groupPair(double* __restrict r0, double* __restrict i0, double* __restrict r1,
                      double* __restrict i1, double* __restrict r2, double* __restrict i2,
                      double* __restrict r3, double* __restrict i3, const double* __restrict wr,
                      const double* __restrict wi, const double* __restrict wr2,
                      const double* __restrict wi2, const double* __restrict vr,
                      const double* __restrict vi, std::size_t Q) {
    for (std::size_t l = 0; l < Q; ++l) {
        double a0r = r0[l], a0i = i0[l], a1r = r1[l], a1i = i1[l];
        double a2r = r2[l], a2i = i2[l], a3r = r3[l], a3i = i3[l];
        butterfly(a0r, a0i, a2r, a2i, wr[l], wi[l]);
        butterfly(a1r, a1i, a3r, a3i, wr2[l], wi2[l]);
        butterfly(a0r, a0i, a1r, a1i, vr[l], vi[l]);
        butterfly(a2r, a2i, a3r, a3i, vr[l], vi[l]);
        r0[l] = a0r;
        i0[l] = a0i;
        r1[l] = a1r;
        i1[l] = a1i;
        r2[l] = a2r;
        i2[l] = a2i;
        r3[l] = a3r;
        i3[l] = a3i;
    }
}

// One stage of half-span H over `length` points. The butterflies of a stage are independent
// of each other, so the groups are walked outermost and the offsets innermost: the same
// arithmetic as offset by offset, on contiguous memory.
void stage(double* re, double* im, std::size_t length, std::size_t H, const double* wr,
           const double* wi) {
    for (std::size_t b = 0; b < length; b += 2 * H)
        group(re + b, im + b, re + b + H, im + b + H, wr, wi, H);
}

// Two stages, half-spans H and H/2, in one pass at half the memory traffic.
void stagePair(double* re, double* im, std::size_t length, std::size_t H, const double* wr,
               const double* wi, const double* vr, const double* vi) {
    const std::size_t Q = H / 2;
    for (std::size_t b = 0; b < length; b += 2 * H)
        groupPair(re + b, im + b, re + b + Q, im + b + Q, re + b + H, im + b + H, re + b + H + Q,
                  im + b + H + Q, wr, wi, wr + Q, wi + Q, vr, vi, Q);
}

// The stages of half-spans `from` down to `to` (both powers of two, from >= to) over
// `length` points, two at a time where two remain.
void stages(double* re, double* im, std::size_t length, std::size_t from, std::size_t to,
            const double* wr, const double* wi) {
    std::size_t H = from;
    for (; H / 2 >= to; H /= 4)
        stagePair(re, im, length, H, wr + H - 1, wi + H - 1, wr + H / 2 - 1, wi + H / 2 - 1);
    if (H == to)
        stage(re, im, length, H, wr + H - 1, wi + H - 1);
}

// The last two stages, half-spans 2 and 1, on each group of four points: twiddles (1, 0)
// and w for the first, (1, 0) for the second.
void lastTwoStages(double* __restrict re, double* __restrict im, std::size_t length, double wr,
                   double wi) {
    for (std::size_t b = 0; b < length; b += 4) {
        const double xr = re[b] - re[b + 2], xi = im[b] - im[b + 2];
        const double yr = re[b + 1] - re[b + 3], yi = im[b + 1] - im[b + 3];
        const double a_r = re[b] + re[b + 2], a_i = im[b] + im[b + 2];
        const double b_r = re[b + 1] + re[b + 3], b_i = im[b + 1] + im[b + 3];
        const double d_r = yr * wr - yi * wi, d_i = yi * wr + yr * wi;
        re[b] = a_r + b_r;
        im[b] = a_i + b_i;
        re[b + 1] = a_r - b_r;
        im[b + 1] = a_i - b_i;
        re[b + 2] = xr + d_r;
        im[b + 2] = xi + d_i;
        re[b + 3] = xr - d_r;
        im[b + 3] = xi - d_i;
    }
}

// Decimation in frequency, widest span first, depth first: after the widest stage of a span
// its two halves are independent, so each half runs on while it is still in the cache, and
// spans of `kBlock` points or less run all their remaining stages in one go.
void transformSpan(double* re, double* im, std::size_t n, const double* wr, const double* wi) {
    if (n > kBlock) {
        stage(re, im, n, n / 2, wr + n / 2 - 1, wi + n / 2 - 1);
        transformSpan(re, im, n / 2, wr, wi);
        transformSpan(re + n / 2, im + n / 2, n / 2, wr, wi);
        return;
    }
    if (n >= 8)
        stages(re, im, n, n / 2, 4, wr, wi);
    lastTwoStages(re, im, n, wr[2], wi[2]);
}

// The spectrum of 2M real points from the transform Z of the M complex points z_m = x_2m +
// i x_2m+1: with E and O the transforms of the even and the odd points, X_k = E_k + W^k O_k
// and X_M-k = conj(E_k - W^k O_k), W = e^(-i pi / M), where 2 E_k = Z_k + conj Z_M-k and
// 2 O_k = -i (Z_k - conj Z_M-k). Given a = Z_k, b = Z_M-k and w = W^k, sets |2 X_k|^2 and
// |2 X_M-k|^2.
inline void splitPair(double ar, double ai, double br, double bi, double wr, double wi, double& pk,
                      double& pmk) {
    const double er = ar + br, ei = ai - bi;
    const double odr = ai + bi, odi = br - ar;
    const double tr = wr * odr - wi * odi, ti = wr * odi + wi * odr;
    pk = (er + tr) * (er + tr) + (ei + ti) * (ei + ti);
    pmk = (er - tr) * (er - tr) + (ei - ti) * (ei - ti);
}

// The powers |2 X_k|^2 of the real points, from Z as the transform leaves it, at bit-reversed
// positions: power[p] belongs to bin k = rev(p), p < M, and power[M] to bin M; bin 0 is halved
// (|X_0|^2). In the bit-reversed order the bins k and M-k lie mirrored within the same block
// [2^s, 2^(s+1)), so every pair is read and written forwards from the block's start and
// backwards from its end, without a gather. splitRe, splitIm hold W^k at p = rev(k).
void splitPowers(const double* __restrict re, const double* __restrict im,
                 const double* __restrict splitRe, const double* __restrict splitIm,
                 double* __restrict power, std::size_t M) {
    const double sum = re[0] + im[0], difference = re[0] - im[0];
    power[0] = sum * sum;
    power[M] = 4.0 * difference * difference;
    if (M >= 2) { // bin M/2 pairs with itself
        double unused = 0.0;
        splitPair(re[1], im[1], re[1], im[1], splitRe[1], splitIm[1], power[1], unused);
    }
    for (std::size_t start = 2; start < M; start *= 2)
        for (std::size_t i = 0; i < start / 2; ++i) {
            const std::size_t p = start + i, q = 2 * start - 1 - i;
            splitPair(re[p], im[p], re[q], im[q], splitRe[p], splitIm[p], power[p], power[q]);
        }
}

// sums[k] += values[k] * scale, k = 0 .. count-1.
void addScaled(const double* __restrict values, double* __restrict sums, std::size_t count,
               double scale) {
    for (std::size_t k = 0; k < count; ++k)
        sums[k] += values[k] * scale;
}

// out[k] = sqrt(values[rev(k)]) * scale, k < 2^bits, which brings every bin to its place. In
// 8 x 8 tiles: the index splits into its top three bits h, middle bits m and low three bits l,
// and (h, m, l) takes from (rev l, rev m, rev h); a tile reads eight rows of eight values and
// writes eight rows of eight bins, whole cache lines both ways. Needs bits >= 6.
void reversedRoots(const double* values, double* __restrict out, int bits, double scale) {
    static constexpr std::size_t rev3[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    const int middleBits = bits - 6;
    const int high = bits - 3;
    double tile[8][8];
    for (std::size_t m = 0; m < (std::size_t{1} << middleBits); ++m) {
        const std::size_t from = m << 3;
        const std::size_t to = reversedBits(m, middleBits) << 3;
        for (std::size_t r = 0; r < 8; ++r)
            for (std::size_t c = 0; c < 8; ++c)
                tile[r][c] = std::sqrt(values[(r << high) | from | c]) * scale;
        for (std::size_t h = 0; h < 8; ++h)
            for (std::size_t l = 0; l < 8; ++l)
                out[(h << high) | to | l] = tile[rev3[l]][rev3[h]];
    }
}
