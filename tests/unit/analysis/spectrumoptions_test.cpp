// Windows, averaging and decibels of the spectrum listing, and the plain listing of before.

#include "analysis/spectrum.h"
#include "analysis/windowfunctions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace zarvik::test {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The textbooks' figures of each window: the coefficients of a0 - a1 cos 2 pi x + a2 cos 4 pi x
// - ..., the noise bandwidth in bins and the scalloping loss at half a bin.
const struct {
    WindowFunction window;
    const char* name;
    std::vector<double> a;
    double noiseBandwidthBins, scallopingLossDb;
} kKnown[] = {
    {WindowFunction::Rect, "rect", {1.0}, 1.0, 3.92},
    {WindowFunction::Hann, "hann", {0.5, 0.5}, 1.5, 1.42},
    {WindowFunction::Hamming, "hamming", {0.54, 0.46}, 1.36, 1.75},
    {WindowFunction::Blackman, "blackman", {0.42, 0.5, 0.08}, 1.73, 1.10},
    {WindowFunction::Flattop,
     "flattop",
     {0.21557895, 0.41663158, 0.277263158, 0.083578947, 0.006947368},
     3.77,
     0.01},
};

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        out.push_back(field);
    return out;
}

// A number as the listing writes it, with a decimal comma or point.
double number(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return std::stod(text);
}

// `points` points at 1 kHz, every bin up to 500 Hz listed.
SpectrumRequest request(int points, WindowFunction window, int segments = 1) {
    SpectrumRequest r;
    r.visibleLast = points - 1;
    r.samplePeriodUs = 1000.0;
    r.fmaxHz = 500;
    r.window = window;
    r.segments = segments;
    r.decimalSeparator = ',';
    return r;
}

// A cosine of amplitude A at `bins` bins of the 32768-point transform, over an offset.
std::vector<double> tone(int points, double A, double bins) {
    std::vector<double> x(static_cast<std::size_t>(points));
    for (std::size_t m = 0; m < x.size(); ++m)
        x[m] = 300.0 + A * std::cos(2 * kPi * bins * static_cast<double>(m) / 32768.0 + 0.3);
    return x;
}

TEST(SpectrumWindows, FactorsGainsAndBandwidthsAreTheFormulas) {
    for (const auto& k : kKnown) {
        SCOPED_TRACE(k.name);
        EXPECT_STREQ(windowName(k.window), k.name);
        EXPECT_EQ(windowFromName(k.name), k.window);
        const auto values = windowValues(k.window, 1000);
        ASSERT_EQ(values.size(), 1000u);
        for (std::size_t i = 0; i < values.size(); i += 7) {
            double expected = 0.0;
            for (std::size_t j = 0; j < k.a.size(); ++j)
                expected += (j % 2 ? -k.a[j] : k.a[j]) * std::cos(2 * kPi * j * i / 1000.0);
            ASSERT_NEAR(values[i], expected, 1e-15) << i;
        }
        // Over whole periods every cosine averages out: the gain is a0.
        EXPECT_NEAR(windowFigures(values).coherentGain, k.a[0], 1e-15);
        EXPECT_NEAR(windowFigures(values).noiseBandwidthBins, k.noiseBandwidthBins, 0.01);
    }
    EXPECT_FALSE(windowFromName("Hann"));
}

TEST(SpectrumWindows, ASineReadsItsAmplitudeAtABinAndLosesTheScallopingLossBetweenBins) {
    const double A = 2.5;
    const struct {
        int points, segments;
        double bins; // whole periods in every segment
    } atBin[] = {{32768, 1, 1000}, {8192, 1, 1000}, {65536, 3, 1001}, {20000, 4, 1024}};
    for (const auto& k : kKnown) {
        SCOPED_TRACE(k.name);
        for (const auto& c : atBin) {
            const auto listing =
                listSpectrum(tone(c.points, A, c.bins), request(c.points, k.window, c.segments));
            ASSERT_TRUE(listing);
            EXPECT_NEAR(listing->bins[static_cast<std::size_t>(c.bins)].amplitude, A, 1e-9)
                << c.points << " points in " << c.segments;
        }
        const auto between = listSpectrum(tone(32768, A, 1000.5), request(32768, k.window));
        ASSERT_TRUE(between);
        EXPECT_NEAR(20 * std::log10(between->maxAmplitude / A), -k.scallopingLossDb, 0.02);
    }
}

TEST(SpectrumAveraging, LowersTheSpreadOfNoiseBinsBySquareRootOfTheSegments) {
    std::mt19937_64 rng(5);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<double> x(65536);
    for (double& v : x)
        v = noise(rng);
    // The spread of the bins of a band relative to their mean level.
    auto spread = [&x](int segments) {
        const auto listing = listSpectrum(x, request(65536, WindowFunction::Hann, segments));
        double sum = 0.0, squares = 0.0, count = 0.0;
        for (const SpectrumBin& b : listing->bins)
            if (b.frequency >= 50.0 && b.frequency <= 450.0) {
                sum += b.amplitude;
                squares += b.amplitude * b.amplitude;
                ++count;
            }
        return std::sqrt(squares / count - sum * sum / count / count) / (sum / count);
    };
    const double single = spread(1);
    for (int segments : {4, 16}) {
        EXPECT_GT(single / spread(segments), 0.8 * std::sqrt(segments)) << segments;
        EXPECT_LT(single / spread(segments), 1.25 * std::sqrt(segments)) << segments;
    }
}

TEST(SpectrumAveraging, SegmentsOfFewerThanSixteenPointsAreRefused) {
    const std::vector<double> x(100, 1.0);
    // 2 * 100 / (K + 1) points per segment: 16 for K = 11, 15 for K = 12.
    EXPECT_TRUE(listSpectrum(x, request(100, WindowFunction::Hann, 11)));
    EXPECT_EQ(spectrumRefusal(x, request(100, WindowFunction::Hann, 12)),
              SpectrumRefusal::ShortSegments);
    EXPECT_FALSE(listSpectrum(x, request(100, WindowFunction::Hann, 12)));
    EXPECT_EQ(spectrumRefusal(x, request(100, WindowFunction::Rect, 65)),
              SpectrumRefusal::BadOptions);
    // Without averaging a stretch of one point is listed, as it always was.
    EXPECT_TRUE(listSpectrum(x, request(1, WindowFunction::Flattop)));
}

TEST(SpectrumDecibels, AreTwentyLogOfTheAmplitudeAndMarkTheStrongestLine) {
    // A tone far below one unit: every bin is negative in decibels, and the strongest is still
    // the tone's.
    const auto x = tone(32768, 0.01, 1000);
    auto r = request(32768, WindowFunction::Rect);
    const auto linear = listSpectrum(x, r);
    r.decibels = true;
    const auto db = listSpectrum(x, r);
    ASSERT_TRUE(linear && db);
    for (std::size_t j = 0; j < db->bins.size(); ++j)
        ASSERT_DOUBLE_EQ(db->bins[j].amplitude,
                         20 * std::log10(std::max(linear->bins[j].amplitude, 1e-12)));
    EXPECT_EQ(db->maxText.russian(), "F,Гц=30,5176;  Max=-40,0000");
    // An all-equal stretch is zero everywhere, at the floor of -240 dB.
    EXPECT_EQ(listSpectrum(std::vector<double>(500, 3.0), r)->maxAmplitude, -240.0);
}

TEST(SpectrumSummary, NamesWhatWasAppliedWheneverAnOptionIsNotTheDefault) {
    const auto x = tone(20000, 1.0, 1000);
    auto r = request(20000, WindowFunction::Hann, 4);
    r.step = 2;
    r.decibels = true;
    const auto listing = listSpectrum(x, r);
    ASSERT_TRUE(listing);
    EXPECT_EQ(listing->clipboardLines[0],
              "F,Hz\tAmplitude,dB\tFirst Point\tLast Point\tChannel\tFile Name\tWindow\tCoherent "
              "Gain\tENBW,bins\tENBW,Hz\tSegments\tSegment Points\tBin Width,Hz");
    // 10000 decimated points at 500 Hz in 4 segments of 4000.
    const auto s = fields(listing->clipboardLines[2]);
    const std::vector<std::string> applied(s.begin() + 6, s.end());
    EXPECT_EQ(applied, (std::vector<std::string>{"hann", "0,5", "1,5", "0,1875", "4", "4000",
                                                 "0,0152587890625"}));
    EXPECT_FALSE(listSpectrum(x, request(20000, WindowFunction::Rect))->applied);
}

// Listings written by the program before windows, averaging and decibels existed: the
// frequencies, texts and layout are the same byte for byte, and each amplitude is the same to
// within 2e-12 of the largest (the old transform's twiddles drifted by up to 6e-13).
TEST(SpectrumListing, WithTheDefaultsIsTheListingOfBefore) {
    std::vector<double> x(70000);
    unsigned state = 2026;
    for (std::size_t i = 0; i < x.size(); ++i) {
        state = state * 1103515245u + 12345u;
        x[i] = ((i * 37) % 101) * 3.0 + ((state >> 16) % 64) * 0.25 - 150.0;
    }
    const struct {
        const char* file;
        int length, first, step, fmax, channel;
        double periodUs;
        bool bins;
        const char* fileName;
        char separator;
    } cases[] = {
        {"today_1.txt", 5000, 0, 1, 100, 3, 100.0, true, "C:\\data\\run 1.d8c", ','},
        {"today_2.txt", 70000, 0, 2, 20, 1, 100.0, true, "", '.'},
        {"today_3.txt", 3000, 200, 8, 35, 6, 1000.0, false, "/home/u/run.d8c", ','},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::ifstream in(std::string(ZARVIK_TEST_DATA) + "/spectrum/" + c.file, std::ios::binary);
        std::vector<std::string> before;
        for (std::string line; std::getline(in, line);)
            before.push_back(line);
        ASSERT_GT(before.size(), 3u);

        SpectrumRequest r;
        r.visibleFirst = c.first;
        r.visibleLast = c.length - 1;
        r.samplePeriodUs = c.periodUs;
        r.step = c.step;
        r.fmaxHz = c.fmax;
        r.binLines = c.bins;
        r.channel = c.channel;
        r.fileName = c.fileName;
        r.decimalSeparator = c.separator;
        const auto listing = listSpectrum(std::vector<double>(x.begin(), x.begin() + c.length), r);
        ASSERT_TRUE(listing);
        std::vector<std::string> now = listing->clipboardLines;
        now.push_back(listing->maxText.russian());
        ASSERT_EQ(now.size(), before.size());
        const double largest = number(fields(before[2])[1]);
        for (std::size_t i = 0; i < now.size(); ++i) {
            auto a = fields(now[i]), b = fields(before[i]);
            ASSERT_EQ(a.size(), b.size()) << now[i];
            // The amplitude columns: the second of the summary and of every bin line.
            if (i >= 2 && i + 1 < now.size()) {
                ASSERT_NEAR(number(a[1]), number(b[1]), 2e-12 * largest) << now[i];
                a[1] = b[1];
            }
            ASSERT_EQ(a, b) << "line " << i;
        }
    }
}

} // namespace
} // namespace zarvik::test
