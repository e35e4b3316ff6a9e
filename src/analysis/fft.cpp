#include "analysis/fft.h"

#include "common/widevectors.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace zarvik {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Sub-transforms of this many points (16 KiB of real and imaginary parts) stay in the cache
// while all of their remaining stages run.
constexpr std::size_t kBlock = 1024;

// Real spans this short run as general ones; only their imaginary parts need clearing, as the
// widest stage of every longer real span writes the imaginary parts it hands on.
constexpr std::size_t kRealLeaf = 16;

// Working storage of the transform, kept per thread between calls: the two arrays, the
// twiddles of every half-span and the bit-reversal order are the same for every call with the
// same length, and fresh half-megabyte arrays cost more than the transform itself.
struct Workspace {
    // The real parts of D points, one cache line of padding, then their imaginary parts: two
    // arrays a multiple of 4 KiB apart would share cache sets point for point.
    std::vector<double> points;
    double* re() { return points.data(); }
    double* im(std::size_t D) { return points.data() + D + 8; }
    // Twiddles of half-span H at [H - 1, 2H - 1): the rotation recurrence from (1, 0) by
    // (cos(pi/H), -sin(pi/H)), one cosine and one sine per half-span.
    std::vector<double> wr, wi;
    std::size_t twiddleSpan = 0; // largest half-span in wr/wi
    // order[k]: the point that the bit-reversal swaps bring to position k.
    std::vector<std::uint32_t> order;
};

void prepareTwiddles(Workspace& ws, std::size_t largestHalfSpan) {
    if (ws.twiddleSpan >= largestHalfSpan)
        return;
    ws.wr.resize(2 * largestHalfSpan - 1);
    ws.wi.resize(2 * largestHalfSpan - 1);
    for (std::size_t H = ws.twiddleSpan == 0 ? 1 : 2 * ws.twiddleSpan; H <= largestHalfSpan;
         H *= 2) {
        const double c = std::cos(kPi / static_cast<double>(H));
        const double t = -std::sin(kPi / static_cast<double>(H));
        double w_re = 1.0, w_im = 0.0;
        for (std::size_t l = 0; l < H; ++l) {
            ws.wr[H - 1 + l] = w_re;
            ws.wi[H - 1 + l] = w_im;
            const double next_re = w_re * c - w_im * t;
            w_im = w_im * c + w_re * t;
            w_re = next_re;
        }
    }
    ws.twiddleSpan = largestHalfSpan;
}

// The bit-reversal counter with one-based indices, its swaps applied to the identity.
void prepareOrder(Workspace& ws, std::size_t D) {
    if (ws.order.size() == D)
        return;
    ws.order.resize(D);
    for (std::size_t i = 0; i < D; ++i)
        ws.order[i] = static_cast<std::uint32_t>(i);
    std::size_t j = 1;
    for (std::size_t i = 1; i < D; ++i) {
        if (i < j)
            std::swap(ws.order[i - 1], ws.order[j - 1]);
        std::size_t k = D / 2;
        while (k < j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }
}

std::size_t reversedBits(std::size_t v, int bits) {
    std::size_t r = 0;
    for (int b = 0; b < bits; ++b, v >>= 1)
        r = (r << 1) | (v & 1);
    return r;
}

// How amplitudes are scaled; see amplitudeRow.
struct AmplitudeScale {
    bool shiftsOnly;
    double factor; // with shiftsOnly: the product of all factors
    double perD, step, span;
};

// The same loops twice: for any processor, and for processors with 256-bit vectors, where
// the transform takes about a tenth less time.
#define ZARVIK_LOOPS "analysis/fftstages.h"
#include "common/twobuilds.h"

struct Loops {
    void (*transformRealSpan)(double*, double*, std::size_t, const double*, const double*);
    void (*reversedAmplitudes)(const double*, const double*, double*, int, const AmplitudeScale&);
};

Loops loops() {
#if ZARVIK_WIDE_VECTORS
    if (wideVectorsInUse())
        return {wide::transformRealSpan, wide::reversedAmplitudes};
#endif
    return {any::transformRealSpan, any::reversedAmplitudes};
}

// The last stage alone, for a transform of two points.
void lastStage(double* __restrict re, double* __restrict im) {
    const double dr = re[0] - re[1], di = im[0] - im[1];
    re[0] = re[0] + re[1];
    im[0] = im[0] + im[1];
    re[1] = dr * 1.0 - di * 0.0;
    im[1] = di * 1.0 + dr * 0.0;
}

void transform(Workspace& ws, std::size_t D) {
    double* re = ws.re();
    double* im = ws.im(D);
    if (D == 2) {
        lastStage(re, im);
        return;
    }
    if (D >= 4)
        loops().transformRealSpan(re, im, D, ws.wr.data(), ws.wi.data());
}

bool isPowerOfTwo(std::uint64_t v) {
    return v != 0 && (v & (v - 1)) == 0;
}

} // namespace

bool FFT(std::uint16_t Count, const double* Input, std::int32_t Step, std::int32_t N,
         std::vector<double>& Output) {
    if (Count > kFftMaxCount || Step < 1 || N < 1 || Input == nullptr)
        return false;

    thread_local Workspace ws;
    const std::size_t D = std::size_t{1} << Count;
    const std::int64_t available = (static_cast<std::int64_t>(N) - 1) / Step + 1;
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(available, kFftMaxPoints));
    const auto step = static_cast<std::size_t>(Step);

    // The mean is summed as deviations from the first point: the same mean, without the
    // cancellation of a large offset, and exactly the common value of an all-equal stretch,
    // whose spectrum is then zero in every bin rather than rounding noise. Four running sums
    // side by side keep the adder busy.
    const double origin = Input[0];
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        s0 += Input[i * step] - origin;
        s1 += Input[(i + 1) * step] - origin;
        s2 += Input[(i + 2) * step] - origin;
        s3 += Input[(i + 3) * step] - origin;
    }
    for (; i < n; ++i)
        s0 += Input[i * step] - origin;
    const double mean = origin + ((s0 + s1) + (s2 + s3)) / static_cast<double>(n);

    ws.points.resize(std::max(ws.points.size(), 2 * D + 8));
    double* re = ws.re();
    double* im = ws.im(D);
    const std::size_t taken = std::min(n, D);
    for (i = 0; i < taken; ++i)
        re[i] = Input[i * step] - mean;
    std::fill(re + taken, re + D, 0.0);
    std::fill(im, im + std::min(D, kRealLeaf), 0.0);

    prepareTwiddles(ws, D / 2);
    transform(ws, D);

    // A stretch longer than the transform contributes only the samples its first D points
    // span; scaling by the whole stretch would shrink every amplitude by that ratio.
    const std::int64_t spanned = std::min<std::int64_t>(N, static_cast<std::int64_t>(D) * Step);
    const auto span = static_cast<double>(spanned);
    const auto s = static_cast<double>(Step);
    if (Output.size() < D)
        Output.resize(D);
    // D and 2 are powers of two, so multiplying by their exact reciprocals rounds as dividing;
    // when Step and the span are powers of two too (the usual case), every factor only shifts
    // the exponent and their product applied at once gives the same values.
    AmplitudeScale scale{};
    scale.shiftsOnly = isPowerOfTwo(static_cast<std::uint64_t>(Step)) &&
                       isPowerOfTwo(static_cast<std::uint64_t>(spanned));
    scale.factor = 2.0 / static_cast<double>(D) * s * 65536.0 * 0.5 / span;
    scale.perD = 1.0 / static_cast<double>(D);
    scale.step = s;
    scale.span = span;
    // The bit-reversal reordering applied while the amplitudes are written out: the same
    // values land in the same bins as after swapping in place.
    if (Count >= 6) {
        loops().reversedAmplitudes(re, im, Output.data(), Count, scale);
    } else {
        prepareOrder(ws, D);
        for (std::size_t k = 0; k < D; ++k)
            any::amplitudeRow(re + ws.order[k], im + ws.order[k], &Output[k], 1, scale);
    }
    Output[0] = Output[0] / 2.0;
    return true;
}

} // namespace zarvik
