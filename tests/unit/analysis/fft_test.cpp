#include "analysis/fft.h"
#include "common/widevectors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using zarvik::FFT;

constexpr double kPi = 3.14159265358979323846;

std::vector<double> cosine(std::size_t length, double amplitude, double cyclesPerSample,
                           double offset = 0.0) {
    std::vector<double> x(length);
    for (std::size_t m = 0; m < length; ++m)
        x[m] = offset + amplitude * std::cos(2.0 * kPi * cyclesPerSample * static_cast<double>(m));
    return x;
}

std::vector<double> transform(std::uint16_t count, const std::vector<double>& input,
                              std::int32_t step, std::int32_t n) {
    std::vector<double> out;
    EXPECT_TRUE(FFT(count, input.data(), step, n, out));
    EXPECT_EQ(out.size(), std::size_t{1} << count);
    return out;
}

double largestOutside(const std::vector<double>& out, std::size_t a, std::size_t b) {
    double largest = 0.0;
    for (std::size_t k = 0; k < out.size(); ++k)
        if (k != a && k != b)
            largest = std::max(largest, out[k]);
    return largest;
}

// Amplitudes by the defining sum, in long double, scaled the way the routine scales.
std::vector<double> directAmplitudes(std::uint16_t count, const std::vector<double>& input,
                                     std::int32_t step, std::int32_t n) {
    const std::size_t D = std::size_t{1} << count;
    std::vector<long double> x;
    for (std::int64_t m = 0; m < n; m += step)
        x.push_back(input[static_cast<std::size_t>(m)]);
    long double mean = 0.0L;
    for (long double v : x)
        mean += v;
    mean /= static_cast<long double>(x.size());
    x.resize(std::min(x.size(), D));
    for (long double& v : x)
        v -= mean;
    std::vector<long double> c(D), s(D);
    for (std::size_t r = 0; r < D; ++r) {
        const long double angle = 2.0L * 3.141592653589793238462643383279L *
                                  static_cast<long double>(r) / static_cast<long double>(D);
        c[r] = std::cos(angle);
        s[r] = std::sin(angle);
    }
    const long double spanned =
        std::min<long double>(n, static_cast<long double>(D) * static_cast<long double>(step));
    std::vector<double> out(D);
    const std::size_t stride = D > 4096 ? 13 : 1; // the long transform is sampled, not summed whole
    for (std::size_t k = 0; k < D; k += stride) {
        long double sumRe = 0.0L, sumIm = 0.0L;
        for (std::size_t m = 0; m < x.size(); ++m) {
            const std::size_t r = (k * m) & (D - 1);
            sumRe += x[m] * c[r];
            sumIm -= x[m] * s[r];
        }
        out[k] = static_cast<double>(std::sqrt(sumRe * sumRe + sumIm * sumIm) * step * 65536.0L /
                                     (static_cast<long double>(D) * spanned));
    }
    out[0] /= 2.0;
    return out;
}

TEST(Fft, ConstantInputGivesZeroInEveryBin) {
    // 0.1 and 1234.567 are not sums that come out exact; the spectrum still has no noise.
    for (double value : {1234.5, 0.1, -1234.567}) {
        const std::vector<double> flat(40000, value);
        for (std::int32_t n : {32768, 1000, 40000}) {
            const auto out = transform(15, flat, 1, n);
            EXPECT_EQ(*std::max_element(out.begin(), out.end()), 0.0)
                << "value " << value << " N = " << n;
        }
    }
}

TEST(Fft, SinglePointGivesZeroInEveryBin) {
    const std::vector<double> one{-7.25};
    for (std::uint16_t count : {0, 3, 15}) {
        const auto out = transform(count, one, 1, 1);
        for (double a : out)
            EXPECT_EQ(a, 0.0);
    }
}

TEST(Fft, CosineAtABinReadsItsAmplitudeThereAndInTheMirror) {
    const double A = 3.75;
    const std::size_t D = 32768, k0 = 1000;
    const auto x = cosine(D, A, static_cast<double>(k0) / D, 100.0);
    const auto out = transform(15, x, 1, static_cast<std::int32_t>(D));
    EXPECT_NEAR(out[k0], A, 1e-9);
    EXPECT_NEAR(out[D - k0], A, 1e-9);
    EXPECT_LT(largestOutside(out, k0, D - k0), 1e-9);
}

TEST(Fft, ShorterTransformScalesBy32768OverD) {
    const double A = 2.0;
    for (std::uint16_t count : {4, 10, 16}) {
        const std::size_t D = std::size_t{1} << count, k0 = D / 4 - 1;
        const auto x = cosine(D, A, static_cast<double>(k0) / static_cast<double>(D));
        const auto out = transform(count, x, 1, static_cast<std::int32_t>(D));
        const double expected = A * 32768.0 / static_cast<double>(D);
        EXPECT_NEAR(out[k0], expected, 1e-9 * expected) << "Count " << count;
        EXPECT_NEAR(out[D - k0], expected, 1e-9 * expected) << "Count " << count;
        EXPECT_LT(largestOutside(out, k0, D - k0), 1e-9 * expected) << "Count " << count;
    }
}

TEST(Fft, StepTwoTakesEveryOtherSample) {
    const double A = 1.5;
    const std::size_t D = 32768, k0 = 3000;
    // A cosine at bin k0 of the decimated signal; the odd samples carry a disturbance that
    // must not be taken.
    auto x = cosine(2 * D, A, static_cast<double>(k0) / (2.0 * D));
    for (std::size_t m = 1; m < x.size(); m += 2)
        x[m] += 1000.0 * ((m / 2) % 3 == 0 ? 1.0 : -1.0);
    const auto out = transform(15, x, 2, static_cast<std::int32_t>(2 * D));
    EXPECT_NEAR(out[k0], A, 1e-9);
    EXPECT_NEAR(out[D - k0], A, 1e-9);
    EXPECT_LT(largestOutside(out, k0, D - k0), 1e-9);
}

TEST(Fft, ShortStretchIsZeroPaddedAndScaledByItsLength) {
    // Half a transform of whole periods: the padding halves the sum and the scale by N
    // restores the amplitude.
    const double A = 4.0;
    const std::size_t D = 32768, k0 = 512;
    const auto x = cosine(D / 2, A, static_cast<double>(k0) / D);
    const auto out = transform(15, x, 1, static_cast<std::int32_t>(D / 2));
    EXPECT_NEAR(out[k0], A, 1e-9);
    // Only N values are read: a neighbour past the stretch would change the spectrum.
    auto longer = x;
    longer.resize(D, 1e6);
    EXPECT_EQ(transform(15, longer, 1, static_cast<std::int32_t>(D / 2)), out);
}

TEST(Fft, StretchLongerThanTheTransformKeepsTrueAmplitudes) {
    const double A = 2.5;
    const std::size_t D = 32768, k0 = 200;
    for (std::int32_t step : {1, 2}) {
        const std::size_t length = 2 * D * static_cast<std::size_t>(step);
        const auto x = cosine(length, A, static_cast<double>(k0) / (D * step));
        const auto out = transform(15, x, step, static_cast<std::int32_t>(length));
        EXPECT_NEAR(out[k0], A, 1e-9) << "Step " << step;
        EXPECT_NEAR(out[D - k0], A, 1e-9) << "Step " << step;
    }
    // The longest transform takes all 65536 points and keeps its own scale.
    const auto x = cosine(65536, A, static_cast<double>(k0) / 65536.0);
    const auto out = transform(16, x, 1, 65536);
    EXPECT_NEAR(out[k0], A / 2.0, 1e-9);
}

TEST(Fft, MeanIsTakenOverAllDecimatedPoints) {
    // 40000 points, the first 32768 at 0 and the rest at 1: the transformed points carry the
    // deviation from the mean of all 40000, which shows in bin 0.
    std::vector<double> x(40000, 0.0);
    std::fill(x.begin() + 32768, x.end(), 1.0);
    const auto out = transform(15, x, 1, 40000);
    const double mean = 7232.0 / 40000.0;
    EXPECT_NEAR(out[0], mean, 1e-12);
    // At most 65536 decimated points are considered for the mean.
    std::vector<double> y(70000, 0.0);
    std::fill(y.begin() + 65536, y.end(), 1e9);
    const auto out2 = transform(15, y, 1, 70000);
    EXPECT_LT(*std::max_element(out2.begin(), out2.end()), 1e-9);
}

// Every twiddle from its own cosine and sine: as close to the defining sum as double precision
// allows (the rounding of the mean shows in bin 0 at some 3e-14 of the largest amplitude).
TEST(Fft, AgreesWithTheDefiningSumOnRandomInput) {
    std::mt19937_64 rng(20261207);
    std::uniform_real_distribution<double> value(-2048.0, 2048.0);
    struct Case {
        std::uint16_t count;
        std::int32_t step, n;
    };
    for (Case c : {Case{4, 1, 16}, Case{4, 3, 40}, Case{10, 1, 1024}, Case{10, 3, 2000},
                   Case{10, 2, 5000}, Case{15, 1, 32768}, Case{15, 1, 20000}}) {
        std::vector<double> x(static_cast<std::size_t>(c.n));
        for (double& v : x)
            v = value(rng);
        const auto out = transform(c.count, x, c.step, c.n);
        const auto ref = directAmplitudes(c.count, x, c.step, c.n);
        const std::size_t stride = out.size() > 4096 ? 13 : 1;
        double largest = 0.0;
        for (std::size_t k = 0; k < ref.size(); k += stride)
            largest = std::max(largest, ref[k]);
        ASSERT_GT(largest, 0.0);
        for (std::size_t k = 0; k < ref.size(); k += stride)
            ASSERT_NEAR(out[k], ref[k], 1e-13 * largest)
                << "Count " << c.count << " Step " << c.step << " N " << c.n << " bin " << k;
    }
}

// The transform written out plainly: offset by offset with the twiddle advanced by its
// rotation after each, then the swap loop of the bit-reversal counter and the scale in its
// order: the reference every faster transform is held against.
std::vector<double> plainTransform(std::uint16_t count, const std::vector<double>& input,
                                   std::int32_t step, std::int32_t n) {
    const std::size_t D = std::size_t{1} << count;
    std::vector<double> x;
    for (std::int64_t m = 0; m < n && x.size() < 65536; m += step)
        x.push_back(input[static_cast<std::size_t>(m)]);
    double deviations = 0.0; // whole numbers: exact in any order
    for (double v : x)
        deviations += v - x[0];
    const double mean = x[0] + deviations / static_cast<double>(x.size());
    std::vector<double> re(D, 0.0), im(D, 0.0);
    for (std::size_t m = 0; m < std::min(x.size(), D); ++m)
        re[m] = x[m] - mean;
    for (std::size_t H = D / 2; H >= 1; H /= 2) {
        const double c = std::cos(kPi / static_cast<double>(H));
        const double t = -std::sin(kPi / static_cast<double>(H));
        double wr = 1.0, wi = 0.0;
        for (std::size_t l = 0; l < H; ++l) {
            for (std::size_t p = l; p < D; p += 2 * H) {
                const std::size_t q = p + H;
                const double dr = re[p] - re[q], di = im[p] - im[q];
                re[p] = re[p] + re[q];
                im[p] = im[p] + im[q];
                re[q] = dr * wr - di * wi;
                im[q] = di * wr + dr * wi;
            }
            const double next = wr * c - wi * t;
            wi = wi * c + wr * t;
            wr = next;
        }
    }
    std::size_t j = 1;
    for (std::size_t i = 1; i < D; ++i) {
        if (i < j) {
            std::swap(re[i - 1], re[j - 1]);
            std::swap(im[i - 1], im[j - 1]);
        }
        std::size_t k = D / 2;
        while (k < j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }
    const auto spanned =
        static_cast<double>(std::min<std::int64_t>(n, static_cast<std::int64_t>(D) * step));
    std::vector<double> out(D);
    for (std::size_t k = 0; k < D; ++k)
        out[k] = std::sqrt(re[k] * re[k] + im[k] * im[k]) * 2.0 / static_cast<double>(D) *
                 static_cast<double>(step) * 65536.0 / 2.0 / spanned;
    out[0] = out[0] / 2.0;
    return out;
}

// Both builds of the loops, whichever the processor runs by default, against the plain
// routine: the same spectrum, and the same numbers from either build. The plain routine's
// twiddles come from a rotation recurrence whose rounding builds up along a span (about 6e-13
// of the largest amplitude at 32768 points, 1e-12 at 65536); the real-input transform takes
// each twiddle from its own cosine and sine, so the two part by that much, not by more.
TEST(Fft, GivesTheSpectrumOfThePlainStageLoop) {
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<int> code(0, 4095);
    std::vector<double> x(3 * 65536 + 11);
    for (double& v : x)
        v = code(rng);
    for (std::uint16_t count = 0; count <= 16; ++count) {
        const std::int32_t D = 1 << count;
        // power-of-two and other steps; the stretch exactly one transform long, shorter, and
        // longer than the transform takes
        for (std::int32_t step : {1, 2, 3})
            for (std::int32_t n :
                 {D * step, D * step / 2 + 1, static_cast<std::int32_t>(x.size())}) {
                zarvik::useBaselineLoops(true);
                const auto baseline = transform(count, x, step, n);
                zarvik::useBaselineLoops(false);
                const auto out = transform(count, x, step, n);
                ASSERT_EQ(out, baseline) << "Count " << count << " Step " << step << " N " << n;
                const auto ref = plainTransform(count, x, step, n);
                const double largest = *std::max_element(ref.begin(), ref.end());
                for (std::size_t k = 0; k < ref.size(); ++k)
                    ASSERT_NEAR(out[k], ref[k], 2e-12 * largest)
                        << "Count " << count << " Step " << step << " N " << n << " bin " << k;
            }
    }
}

TEST(Fft, RefusesArgumentsThatDescribeNoTransform) {
    const std::vector<double> x(16, 1.0);
    std::vector<double> out(4, -1.0);
    EXPECT_FALSE(FFT(17, x.data(), 1, 16, out));
    EXPECT_FALSE(FFT(4, x.data(), 0, 16, out));
    EXPECT_FALSE(FFT(4, x.data(), 1, 0, out));
    EXPECT_FALSE(FFT(4, nullptr, 1, 16, out));
    EXPECT_EQ(out, std::vector<double>(4, -1.0));
}

TEST(Fft, WritesExactlyDValues) {
    const auto x = cosine(64, 1.0, 0.125);
    std::vector<double> out(40, -1.0);
    ASSERT_TRUE(FFT(5, x.data(), 1, 64, out));
    ASSERT_EQ(out.size(), 40u);
    for (std::size_t k = 32; k < 40; ++k)
        EXPECT_EQ(out[k], -1.0);
    EXPECT_GT(out[4], 0.0);
}

} // namespace
