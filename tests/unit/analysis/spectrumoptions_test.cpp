// Windows, averaging and decibels of the spectrum listing, and the plain listing of before.

#include "analysis/fft.h"
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

struct KnownWindow {
    WindowFunction window;
    const char* name;
    std::vector<double> a;     // a0 - a1 cos 2 pi x + a2 cos 4 pi x - ...
    double noiseBandwidthBins; // the textbooks' figures
    double scallopingLossDb;   // at half a bin
};

const KnownWindow kKnown[] = {
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

// A number as the listing writes it, with a decimal comma or point.
double number(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return std::stod(text);
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t'))
        out.push_back(field);
    return out;
}

// 1 kHz sampling, every bin up to 500 Hz listed.
SpectrumRequest request(int points, WindowFunction window, int segments = 1) {
    SpectrumRequest r;
    r.visibleFirst = 0;
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
    for (int m = 0; m < points; ++m)
        x[static_cast<std::size_t>(m)] = 300.0 + A * std::cos(2 * kPi * bins * m / 32768.0 + 0.3);
    return x;
}

TEST(SpectrumWindows, FactorsGainsAndBandwidthsAreTheFormulas) {
    for (const KnownWindow& k : kKnown) {
        SCOPED_TRACE(k.name);
        EXPECT_STREQ(windowName(k.window), k.name);
        EXPECT_EQ(windowFromName(k.name), k.window);
        for (int n : {1, 7, 1000}) {
            const auto values = windowValues(k.window, n);
            ASSERT_EQ(values.size(), static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) {
                double expected = 0.0;
                for (std::size_t j = 0; j < k.a.size(); ++j)
                    expected += (j % 2 ? -1.0 : 1.0) * k.a[j] *
                                std::cos(2 * kPi * static_cast<double>(j) * i / n);
                ASSERT_NEAR(values[static_cast<std::size_t>(i)], expected, 1e-15) << i;
            }
        }
        // Over whole periods every cosine averages out: the gain is a0.
        const WindowFigures f = windowFigures(windowValues(k.window, 1000));
        EXPECT_NEAR(f.coherentGain, k.a[0], 1e-15);
        EXPECT_NEAR(f.noiseBandwidthBins, k.noiseBandwidthBins, 0.01);
    }
    EXPECT_FALSE(windowFromName("Hann"));
    EXPECT_FALSE(windowFromName(""));
}

TEST(SpectrumWindows, ASineAtABinReadsItsAmplitudeInEveryWindowAndAverage) {
    const double A = 2.5;
    struct Case {
        int points, segments;
        double bins; // a whole number of periods in every segment
    };
    for (const Case c :
         {Case{32768, 1, 1000}, Case{8192, 1, 1000}, Case{65536, 3, 1001}, Case{20000, 4, 1024}}) {
        const auto x = tone(c.points, A, c.bins);
        for (const KnownWindow& k : kKnown) {
            SCOPED_TRACE(std::string(k.name) + " over " + std::to_string(c.points) + " in " +
                         std::to_string(c.segments));
            const auto listing = listSpectrum(x, request(c.points, k.window, c.segments));
            ASSERT_TRUE(listing);
            EXPECT_NEAR(listing->bins[static_cast<std::size_t>(c.bins)].amplitude, A, 1e-9);
        }
    }
}

TEST(SpectrumWindows, ASineBetweenTwoBinsLosesTheWindowsScallopingLoss) {
    const double A = 2.5;
    const auto x = tone(32768, A, 1000.5);
    for (const KnownWindow& k : kKnown) {
        SCOPED_TRACE(k.name);
        const auto listing = listSpectrum(x, request(32768, k.window));
        ASSERT_TRUE(listing);
        EXPECT_NEAR(20 * std::log10(listing->maxAmplitude / A), -k.scallopingLossDb, 0.02);
    }
}

TEST(SpectrumAveraging, LowersTheSpreadOfNoiseBinsBySquareRootOfTheSegments) {
    std::mt19937_64 rng(5);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<double> x(65536);
    for (double& v : x)
        v = noise(rng);
    // The spread of the bins relative to their mean level, over the bins of a band.
    auto spread = [&x](int segments) {
        const auto listing = listSpectrum(x, request(65536, WindowFunction::Hann, segments));
        EXPECT_TRUE(listing);
        double sum = 0.0, squares = 0.0;
        int count = 0;
        for (const SpectrumBin& b : listing->bins)
            if (b.frequency >= 50.0 && b.frequency <= 450.0) {
                sum += b.amplitude;
                squares += b.amplitude * b.amplitude;
                ++count;
            }
        const double mean = sum / count;
        return std::sqrt(squares / count - mean * mean) / mean;
    };
    const double single = spread(1);
    for (int segments : {4, 16}) {
        SCOPED_TRACE(segments);
        const double ratio = single / spread(segments);
        EXPECT_GT(ratio, 0.8 * std::sqrt(segments));
        EXPECT_LT(ratio, 1.25 * std::sqrt(segments));
    }
}

TEST(SpectrumAveraging, OfOneStretchAddedManyTimesIsItsSpectrum) {
    std::mt19937_64 rng(9);
    std::uniform_real_distribution<double> value(-100.0, 100.0);
    std::vector<double> x(5000);
    for (double& v : x)
        v = value(rng);
    for (std::uint16_t count : {0, 1, 2, 3, 7, 15}) {
        SCOPED_TRACE(count);
        std::vector<double> plain, averaged;
        ASSERT_TRUE(FFT(count, x.data(), 2, 5000, plain));
        AmplitudeAverage average(count);
        for (int k = 0; k < 5; ++k)
            ASSERT_TRUE(average.add(x.data(), 2, 5000, {}));
        average.amplitudes(averaged);
        ASSERT_EQ(averaged.size(), plain.size());
        const double largest = *std::max_element(plain.begin(), plain.end());
        for (std::size_t k = 0; k < plain.size(); ++k)
            ASSERT_NEAR(averaged[k], plain[k], 1e-14 * largest) << k;
    }
}

TEST(SpectrumAveraging, SegmentsOfFewerThanSixteenPointsAreRefused) {
    const std::vector<double> x(100, 1.0);
    // 2 * 100 / (K + 1) points per segment: 16 for K = 11, 15 for K = 12.
    EXPECT_EQ(segmentPoints(100, 11), 16);
    EXPECT_FALSE(spectrumRefusal(x, request(100, WindowFunction::Hann, 11)));
    EXPECT_TRUE(listSpectrum(x, request(100, WindowFunction::Hann, 11)));
    EXPECT_EQ(spectrumRefusal(x, request(100, WindowFunction::Hann, 12)),
              SpectrumRefusal::ShortSegments);
    EXPECT_FALSE(listSpectrum(x, request(100, WindowFunction::Hann, 12)));
    for (int segments : {0, 65})
        EXPECT_EQ(spectrumRefusal(x, request(100, WindowFunction::Rect, segments)),
                  SpectrumRefusal::BadOptions);
    // Without averaging a stretch of one point is listed, as it always was.
    EXPECT_TRUE(listSpectrum(x, request(1, WindowFunction::Flattop)));
    EXPECT_EQ(spectrumRefusal({}, request(1, WindowFunction::Rect)),
              SpectrumRefusal::NothingToAnalyse);
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
    ASSERT_EQ(db->bins.size(), linear->bins.size());
    for (std::size_t j = 0; j < db->bins.size(); ++j)
        ASSERT_DOUBLE_EQ(db->bins[j].amplitude,
                         20 * std::log10(std::max(linear->bins[j].amplitude, 1e-12)));
    EXPECT_EQ(db->maxFrequency, linear->maxFrequency);
    EXPECT_NEAR(db->maxAmplitude, -40.0, 1e-6);
    EXPECT_EQ(db->maxText.russian(), "F,Гц=30,5176;  Max=-40,0000");

    // An all-equal stretch: zero everywhere, at the floor of -240 dB.
    const auto flat = listSpectrum(std::vector<double>(500, 3.0), r);
    ASSERT_TRUE(flat);
    EXPECT_EQ(flat->maxFrequency, 0.0);
    EXPECT_EQ(flat->maxAmplitude, -240.0);
    EXPECT_EQ(fields(flat->clipboardLines[2])[1], "-240");
}

TEST(SpectrumSummary, NamesWhatWasAppliedWheneverAnOptionIsNotTheDefault) {
    const auto x = tone(20000, 1.0, 1000);
    auto r = request(20000, WindowFunction::Hann, 4);
    r.step = 2;
    r.fileName = "run.d8c";
    const auto listing = listSpectrum(x, r);
    ASSERT_TRUE(listing && listing->applied);
    // 10000 decimated points, 4 segments of 4000, 500 Hz after decimation.
    EXPECT_EQ(listing->clipboardLines[0],
              "F,Hz\tAmplitude\tFirst Point\tLast Point\tChannel\tFile Name\tWindow\tCoherent "
              "Gain\tENBW,bins\tENBW,Hz\tSegments\tSegment Points\tBin Width,Hz");
    const auto summary = fields(listing->clipboardLines[2]);
    ASSERT_EQ(summary.size(), 13u);
    EXPECT_EQ(summary[5], "run.d8c");
    EXPECT_EQ(summary[6], "hann");
    EXPECT_EQ(summary[7], "0,5");
    EXPECT_NEAR(number(summary[8]), 1.5, 1e-12);
    EXPECT_NEAR(listing->applied->noiseBandwidthHz, 1.5 * 500.0 / 4000.0, 1e-12);
    EXPECT_EQ(summary[10], "4");
    EXPECT_EQ(summary[11], "4000");
    EXPECT_EQ(summary[12], "0,0152587890625");

    // Decibels alone are an option too, and name their column.
    r = request(20000, WindowFunction::Rect);
    r.decibels = true;
    const auto db = listSpectrum(x, r);
    ASSERT_TRUE(db && db->applied);
    EXPECT_EQ(fields(db->clipboardLines[0])[1], "Amplitude,dB");
    EXPECT_EQ(fields(db->clipboardLines[2])[6], "rect");
    EXPECT_EQ(fields(db->clipboardLines[2])[11], "20000");
    EXPECT_FALSE(listSpectrum(x, request(20000, WindowFunction::Rect))->applied);
}

// Listings written by the program before windows, averaging and decibels existed: the
// frequencies, texts and layout are the same byte for byte, and each amplitude is the same to
// within 2e-12 of the largest (the old transform's twiddles drifted by up to 6e-13).
TEST(SpectrumListing, WithTheDefaultsIsTheListingOfBefore) {
    auto series = [](std::size_t length) {
        std::vector<double> x(length);
        unsigned state = 2026;
        for (std::size_t i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            x[i] = static_cast<double>((i * 37) % 101) * 3.0 +
                   static_cast<double>((state >> 16) % 64) * 0.25 - 150.0;
        }
        return x;
    };
    struct Case {
        const char* file;
        std::size_t length;
        int first, last;
        double periodUs;
        int step, fmax;
        bool bins;
        int channel;
        const char* fileName;
        char separator;
    };
    const Case cases[] = {
        {"today_1.txt", 5000, 0, 4999, 100.0, 1, 100, true, 3, "C:\\data\\run 1.d8c", ','},
        {"today_2.txt", 70000, 0, 69999, 100.0, 2, 20, true, 1, "", '.'},
        {"today_3.txt", 3000, 200, 2999, 1000.0, 8, 35, false, 6, "/home/u/run.d8c", ','},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::ifstream in(std::string(ZARVIK_TEST_DATA) + "/spectrum/" + c.file, std::ios::binary);
        ASSERT_TRUE(in);
        std::vector<std::string> before;
        for (std::string line; std::getline(in, line);)
            before.push_back(line);

        SpectrumRequest r;
        r.visibleFirst = c.first;
        r.visibleLast = c.last;
        r.samplePeriodUs = c.periodUs;
        r.step = c.step;
        r.fmaxHz = c.fmax;
        r.binLines = c.bins;
        r.channel = c.channel;
        r.fileName = c.fileName;
        r.decimalSeparator = c.separator;
        const auto listing = listSpectrum(series(c.length), r);
        ASSERT_TRUE(listing);
        std::vector<std::string> now = listing->clipboardLines;
        now.push_back(listing->maxText.russian());
        ASSERT_EQ(now.size(), before.size());

        const double largest = number(fields(before[2])[1]);
        for (std::size_t i = 0; i < now.size(); ++i) {
            const auto a = fields(now[i]), b = fields(before[i]);
            ASSERT_EQ(a.size(), b.size()) << now[i];
            for (std::size_t f = 0; f < a.size(); ++f) {
                // The amplitude columns: the second of the summary and of every bin line.
                if (f == 1 && i >= 2 && i + 1 < now.size())
                    ASSERT_NEAR(number(a[f]), number(b[f]), 2e-12 * largest) << now[i];
                else
                    ASSERT_EQ(a[f], b[f]) << "line " << i;
            }
        }
    }
}

} // namespace
} // namespace zarvik::test
