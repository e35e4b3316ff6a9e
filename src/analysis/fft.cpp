#include "analysis/fft.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace zarvik {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Sub-transforms of this many points (64 KiB of real and imaginary parts) stay in the cache
// while all of their remaining stages run.
constexpr std::size_t kBlock = 4096;

// Working storage of the transform, kept per thread between calls: the two arrays, the
// twiddles of every half-span and the bit-reversal order are the same for every call with the
// same length, and fresh half-megabyte arrays cost more than the transform itself.
struct Workspace {
    std::vector<double> re, im;
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

// The butterflies of one group: points p = l and q = l + H, l = 0 .. H-1.
inline void butterflies(double* __restrict rp, double* __restrict ip, double* __restrict rq,
                        double* __restrict iq, const double* __restrict wr,
                        const double* __restrict wi, std::size_t H) {
    for (std::size_t l = 0; l < H; ++l) {
        const double dr = rp[l] - rq[l], di = ip[l] - iq[l];
        rp[l] = rp[l] + rq[l];
        ip[l] = ip[l] + iq[l];
        rq[l] = dr * wr[l] - di * wi[l];
        iq[l] = di * wr[l] + dr * wi[l];
    }
}

// One stage of half-span H over `length` points. The butterflies of a stage are independent
// of each other, so the groups are walked outermost and the offsets innermost: the same
// arithmetic as offset by offset, on contiguous memory.
void stage(double* re, double* im, std::size_t length, std::size_t H, const double* wr,
           const double* wi) {
    for (std::size_t b = 0; b < length; b += 2 * H)
        butterflies(re + b, im + b, re + b + H, im + b + H, wr, wi, H);
}

// The last two stages, half-spans 2 and 1, on each group of four points: twiddles (1, 0)
// and w for the first, (1, 0) for the second, computed as any other butterfly.
void lastTwoStages(double* __restrict re, double* __restrict im, std::size_t length, double wr,
                   double wi) {
    for (std::size_t b = 0; b < length; b += 4) {
        const double xr = re[b] - re[b + 2], xi = im[b] - im[b + 2];
        const double yr = re[b + 1] - re[b + 3], yi = im[b + 1] - im[b + 3];
        const double a_r = re[b] + re[b + 2], a_i = im[b] + im[b + 2];
        const double b_r = re[b + 1] + re[b + 3], b_i = im[b + 1] + im[b + 3];
        const double c_r = xr * 1.0 - xi * 0.0, c_i = xi * 1.0 + xr * 0.0;
        const double d_r = yr * wr - yi * wi, d_i = yi * wr + yr * wi;
        const double ur = a_r - b_r, ui = a_i - b_i;
        const double vr = c_r - d_r, vi = c_i - d_i;
        re[b] = a_r + b_r;
        im[b] = a_i + b_i;
        re[b + 1] = ur * 1.0 - ui * 0.0;
        im[b + 1] = ui * 1.0 + ur * 0.0;
        re[b + 2] = c_r + d_r;
        im[b + 2] = c_i + d_i;
        re[b + 3] = vr * 1.0 - vi * 0.0;
        im[b + 3] = vi * 1.0 + vr * 0.0;
    }
}

// The last stage alone, for a transform of two points.
void lastStage(double* __restrict re, double* __restrict im) {
    const double dr = re[0] - re[1], di = im[0] - im[1];
    re[0] = re[0] + re[1];
    im[0] = im[0] + im[1];
    re[1] = dr * 1.0 - di * 0.0;
    im[1] = di * 1.0 + dr * 0.0;
}

// Decimation in frequency, widest span first. After a stage of span G the blocks of G points
// are independent, so once a block fits the cache all of its remaining stages run together.
void transform(Workspace& ws, std::size_t D) {
    double* re = ws.re.data();
    double* im = ws.im.data();
    if (D == 2) {
        lastStage(re, im);
        return;
    }
    if (D < 4)
        return;
    const double* wr = ws.wr.data();
    const double* wi = ws.wi.data();
    const std::size_t block = std::min(D, kBlock);
    for (std::size_t H = D / 2; 2 * H > block; H /= 2)
        stage(re, im, D, H, wr + H - 1, wi + H - 1);
    for (std::size_t b = 0; b < D; b += block) {
        for (std::size_t H = block / 2; H >= 4; H /= 2)
            stage(re + b, im + b, block, H, wr + H - 1, wi + H - 1);
        lastTwoStages(re + b, im + b, block, wr[2], wi[2]);
    }
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
    // whose spectrum is then zero in every bin rather than rounding noise.
    const double origin = Input[0];
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        sum += Input[i * step] - origin;
    const double mean = origin + sum / static_cast<double>(n);

    ws.re.resize(std::max(ws.re.size(), D));
    ws.im.resize(ws.re.size());
    const std::size_t taken = std::min(n, D);
    for (std::size_t i = 0; i < taken; ++i)
        ws.re[i] = Input[i * step] - mean;
    std::fill(ws.re.begin() + static_cast<std::ptrdiff_t>(taken),
              ws.re.begin() + static_cast<std::ptrdiff_t>(D), 0.0);
    std::fill(ws.im.begin(), ws.im.begin() + static_cast<std::ptrdiff_t>(D), 0.0);

    prepareTwiddles(ws, D / 2);
    transform(ws, D);

    // A stretch longer than the transform contributes only the samples its first D points
    // span; scaling by the whole stretch would shrink every amplitude by that ratio.
    const auto spanned =
        static_cast<double>(std::min<std::int64_t>(N, static_cast<std::int64_t>(D) * Step));
    // D and 2 are powers of two: multiplying by their exact reciprocals rounds as dividing.
    const double perD = 1.0 / static_cast<double>(D);
    const auto s = static_cast<double>(Step);
    if (Output.size() < D)
        Output.resize(D);
    // Amplitudes in transform order, then the bit-reversal reordering applied while copying
    // them out: the same values land in the same bins as after swapping in place.
    double* re = ws.re.data();
    const double* im = ws.im.data();
    for (std::size_t k = 0; k < D; ++k)
        re[k] = std::sqrt(re[k] * re[k] + im[k] * im[k]) * 2.0 * perD * s * 65536.0 * 0.5 / spanned;
    prepareOrder(ws, D);
    const std::uint32_t* order = ws.order.data();
    for (std::size_t k = 0; k < D; ++k)
        Output[k] = re[order[k]];
    Output[0] = Output[0] / 2.0;
    return true;
}

} // namespace zarvik
