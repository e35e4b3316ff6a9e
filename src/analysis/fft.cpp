#include "analysis/fft.h"

#include "common/widevectors.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zarvik {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Sub-transforms of this many points (16 KiB of real and imaginary parts) stay in the cache
// while all of their remaining stages run.
constexpr std::size_t kBlock = 1024;

// Working storage of the transform, kept per thread between calls: the arrays and the twiddles
// are the same for every call with the same length, and fresh half-megabyte arrays cost more
// than the transform itself.
//
// D real points are transformed as M = D/2 complex points (even points the real parts, odd
// points the imaginary ones), half the work of a complex transform of D points, and their
// spectrum is then taken apart into that of the real points.
struct Workspace {
    std::size_t M = 0;
    // The real parts of M points, one cache line of padding, then their imaginary parts: two
    // arrays a multiple of 4 KiB apart would share cache sets point for point.
    std::vector<double> points;
    double* re() { return points.data(); }
    double* im() { return points.data() + M + 8; }
    // |2 X_k|^2 of bins 0 .. M, bin k < M at position rev(k) (see splitPowers).
    std::vector<double> power;
    // Twiddles of half-span H at [H - 1, 2H - 1): e^(-i pi l / H), l = 0 .. H-1, each from its
    // own cosine and sine, so that no error builds up along a span.
    std::vector<double> wr, wi;
    std::size_t twiddleSpan = 0; // largest half-span in wr/wi
    // e^(-i pi k / M) at position rev(k), for taking the spectrum apart.
    std::vector<double> splitRe, splitIm;
    // rev(k), for bringing a transform too short for tiles into natural order.
    std::vector<std::uint32_t> order;
};

Workspace& workspace() {
    thread_local Workspace ws;
    return ws;
}

std::size_t reversedBits(std::size_t v, int bits) {
    std::size_t r = 0;
    for (int b = 0; b < bits; ++b, v >>= 1)
        r = (r << 1) | (v & 1);
    return r;
}

void prepare(Workspace& ws, int Count) {
    const std::size_t M = (std::size_t{1} << Count) / 2;
    const int bits = std::max(Count - 1, 0);
    ws.M = M;
    ws.points.resize(std::max(ws.points.size(), 2 * M + 16));
    ws.power.resize(std::max(ws.power.size(), M + 1));
    if (ws.twiddleSpan < M / 2) {
        ws.wr.resize(M - 1);
        ws.wi.resize(M - 1);
        for (std::size_t H = 1; H <= M / 2; H *= 2)
            for (std::size_t l = 0; l < H; ++l) {
                const double angle = kPi * static_cast<double>(l) / static_cast<double>(H);
                ws.wr[H - 1 + l] = std::cos(angle);
                ws.wi[H - 1 + l] = -std::sin(angle);
            }
        ws.twiddleSpan = M / 2;
    }
    if (ws.splitRe.size() != M) {
        ws.splitRe.resize(M);
        ws.splitIm.resize(M);
        ws.order.resize(M);
        for (std::size_t k = 0; k < M; ++k) {
            const std::size_t p = reversedBits(k, bits);
            const double angle = kPi * static_cast<double>(k) / static_cast<double>(M);
            ws.splitRe[p] = std::cos(angle);
            ws.splitIm[p] = -std::sin(angle);
            ws.order[k] = static_cast<std::uint32_t>(p);
        }
    }
}

// The same loops twice: for any processor, and for processors with 256-bit vectors, where
// the transform takes about a tenth less time.
#define ZARVIK_LOOPS "analysis/fftstages.h"
#include "common/twobuilds.h"

struct Loops {
    void (*transformSpan)(double*, double*, std::size_t, const double*, const double*);
    void (*splitPowers)(const double*, const double*, const double*, const double*, double*,
                        std::size_t);
    void (*addScaled)(const double*, double*, std::size_t, double);
    void (*reversedRoots)(const double*, double*, int, double);
};

Loops loops() {
#if ZARVIK_WIDE_VECTORS
    if (wideVectorsInUse())
        return {wide::transformSpan, wide::splitPowers, wide::addScaled, wide::reversedRoots};
#endif
    return {any::transformSpan, any::splitPowers, any::addScaled, any::reversedRoots};
}

// The mean of the points input[0], input[step], ... of n. It is summed as deviations from the
// first point: the same mean, without the cancellation of a large offset, and exactly the
// common value of an all-equal stretch, whose spectrum is then zero in every bin rather than
// rounding noise. Sixteen running sums side by side keep the adders busy.
template <bool UnitStep> double meanOf(const double* input, std::size_t step, std::size_t n) {
    const std::size_t stride = UnitStep ? 1 : step;
    const double origin = input[0];
    constexpr std::size_t kSums = 16;
    double sums[kSums] = {};
    std::size_t i = 0;
    for (; i + kSums <= n; i += kSums)
        for (std::size_t j = 0; j < kSums; ++j)
            sums[j] += input[(i + j) * stride] - origin;
    for (; i < n; ++i)
        sums[0] += input[i * stride] - origin;
    for (std::size_t width = kSums / 2; width >= 1; width /= 2)
        for (std::size_t j = 0; j < width; ++j)
            sums[j] += sums[j + width];
    return origin + sums[0] / static_cast<double>(n);
}

// Points 2m and 2m + 1 of the decimated input, less the mean and times the window, as the
// real and the imaginary part of packed point m. Unit steps read the input as it lies.
template <bool Windowed, bool UnitStep>
void packPairs(const double* __restrict input, std::size_t step, double mean,
               const double* __restrict window, double* __restrict re, double* __restrict im,
               std::size_t pairs) {
    const std::size_t stride = UnitStep ? 1 : step;
    for (std::size_t m = 0; m < pairs; ++m) {
        double even = input[2 * m * stride] - mean, odd = input[(2 * m + 1) * stride] - mean;
        if (Windowed) {
            even *= window[2 * m];
            odd *= window[2 * m + 1];
        }
        re[m] = even;
        im[m] = odd;
    }
}

// Decimation and mean removal: the points Input[0], Input[Step], ... below N, at most 65536,
// less their mean, the first D of them times the window, packed in pairs into the workspace.
// Returns the amplitude of |X| for unit gain, by the stretch's scale: 2 / D * Step * 65536 / 2
// / span, the span being the samples that the transformed points cover.
double packPoints(Workspace& ws, int Count, const double* Input, std::int32_t Step, std::int32_t N,
                  const double* window) {
    const std::size_t D = std::size_t{1} << Count;
    const std::int64_t available = (static_cast<std::int64_t>(N) - 1) / Step + 1;
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(available, kFftMaxPoints));
    const auto step = static_cast<std::size_t>(Step);

    const double mean = step == 1 ? meanOf<true>(Input, 1, n) : meanOf<false>(Input, step, n);
    prepare(ws, Count);
    const std::size_t taken = std::min(n, D);
    double* re = ws.re();
    double* im = ws.im();
    const std::size_t pairs = taken / 2;
    if (step == 1)
        window ? packPairs<true, true>(Input, 1, mean, window, re, im, pairs)
               : packPairs<false, true>(Input, 1, mean, window, re, im, pairs);
    else
        window ? packPairs<true, false>(Input, step, mean, window, re, im, pairs)
               : packPairs<false, false>(Input, step, mean, window, re, im, pairs);
    // An odd point left over, then the zero padding.
    std::size_t m = pairs;
    if (taken % 2 == 1) {
        re[m] = (Input[(taken - 1) * step] - mean) * (window ? window[taken - 1] : 1.0);
        im[m] = 0.0;
        ++m;
    }
    const std::size_t packed = std::max<std::size_t>(ws.M, 1);
    std::fill(re + m, re + packed, 0.0);
    std::fill(im + m, im + packed, 0.0);

    // A stretch longer than the transform contributes only the samples its first D points
    // span; scaling by the whole stretch would shrink every amplitude by that ratio.
    const std::int64_t spanned = std::min<std::int64_t>(N, static_cast<std::int64_t>(D) * Step);
    return 2.0 / static_cast<double>(D) * static_cast<double>(Step) * 65536.0 / 2.0 /
           static_cast<double>(spanned);
}

// The powers of the packed points' spectrum into ws.power.
void powers(Workspace& ws) {
    const std::size_t M = ws.M;
    double* re = ws.re();
    double* im = ws.im();
    if (M == 0) { // one real point
        ws.power[0] = re[0] * re[0];
        return;
    }
    if (M == 2) {
        const double dr = re[0] - re[1], di = im[0] - im[1];
        re[0] += re[1];
        im[0] += im[1];
        re[1] = dr;
        im[1] = di;
    } else if (M >= 4) {
        loops().transformSpan(re, im, M, ws.wr.data(), ws.wi.data());
    }
    loops().splitPowers(re, im, ws.splitRe.data(), ws.splitIm.data(), ws.power.data(), M);
}

// out[k] = sqrt(values[k]) * scale for the bins k = 0 .. D-1, from values in the order of
// ws.power; the bins above M mirror those below.
void naturalRoots(Workspace& ws, int Count, const double* values, double* out, double scale) {
    const std::size_t M = ws.M;
    if (Count - 1 >= 6) {
        loops().reversedRoots(values, out, Count - 1, scale);
    } else {
        for (std::size_t k = 0; k < M; ++k)
            out[k] = std::sqrt(values[ws.order[k]]) * scale;
    }
    out[M] = std::sqrt(values[M]) * scale;
    for (std::size_t k = 1; k < M; ++k)
        out[2 * M - k] = out[k];
}

bool describesTransform(std::uint16_t Count, const double* Input, std::int32_t Step, std::int32_t N,
                        const FftWindow& window) {
    return Count <= kFftMaxCount && Step >= 1 && N >= 1 && Input != nullptr &&
           std::isfinite(window.gain) && window.gain > 0.0;
}

} // namespace

bool FFT(std::uint16_t Count, const double* Input, std::int32_t Step, std::int32_t N,
         std::vector<double>& Output, const FftWindow& window) {
    if (!describesTransform(Count, Input, Step, N, window))
        return false;
    Workspace& ws = workspace();
    const double scale = packPoints(ws, Count, Input, Step, N, window.values) / window.gain;
    powers(ws);
    const std::size_t D = std::size_t{1} << Count;
    if (Output.size() < D)
        Output.resize(D);
    // The powers are those of 2 X_k.
    naturalRoots(ws, Count, ws.power.data(), Output.data(), scale / 2.0);
    return true;
}

AmplitudeAverage::AmplitudeAverage(std::uint16_t Count)
    : m_count(std::min<std::uint16_t>(Count, kFftMaxCount)),
      m_sums((std::size_t{1} << m_count) / 2 + 1, 0.0) {}

bool AmplitudeAverage::add(const double* Input, std::int32_t Step, std::int32_t N,
                           const FftWindow& window) {
    if (!describesTransform(m_count, Input, Step, N, window))
        return false;
    Workspace& ws = workspace();
    // The powers are those of 2 X_k.
    const double scale = packPoints(ws, m_count, Input, Step, N, window.values) / window.gain / 2.0;
    powers(ws);
    loops().addScaled(ws.power.data(), m_sums.data(), m_sums.size(), scale * scale);
    ++m_added;
    return true;
}

void AmplitudeAverage::amplitudes(std::vector<double>& Output) const {
    const std::size_t D = std::size_t{1} << m_count;
    if (Output.size() < D)
        Output.resize(D);
    Workspace& ws = workspace();
    prepare(ws, m_count);
    naturalRoots(ws, m_count, m_sums.data(), Output.data(),
                 m_added == 0 ? 0.0 : 1.0 / std::sqrt(static_cast<double>(m_added)));
}

} // namespace zarvik
