#include "analysis/spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

using zarvik::listSpectrum;
using zarvik::SpectrumRequest;

constexpr double kPi = 3.14159265358979323846;

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t'))
        out.push_back(field);
    if (!line.empty() && line.back() == '\t')
        out.emplace_back();
    return out;
}

// 1 kHz sampling, step 1, Fmax 35: the window's defaults on a typical measurement.
SpectrumRequest kiloHertz(int first, int last) {
    SpectrumRequest r;
    r.visibleFirst = first;
    r.visibleLast = last;
    r.samplePeriodUs = 1000.0;
    r.step = 1;
    r.fmaxHz = 35;
    r.channel = 1;
    r.decimalSeparator = ',';
    return r;
}

std::vector<double> noise(std::size_t length) {
    std::vector<double> x(length);
    unsigned state = 12345;
    for (double& v : x) {
        state = state * 1103515245u + 12345u;
        v = static_cast<double>((state >> 16) % 4096) * 0.25;
    }
    return x;
}

TEST(SpectrumListing, OneKilohertzUpTo35HzListsBins0To1146) {
    const auto series = noise(5000);
    const auto listing = listSpectrum(series, kiloHertz(0, 4999));
    ASSERT_TRUE(listing);
    ASSERT_EQ(listing->bins.size(), 1147u);
    for (std::size_t j = 0; j < listing->bins.size(); ++j)
        ASSERT_EQ(listing->bins[j].bin, static_cast<int>(j));
    EXPECT_EQ(listing->bins.back().frequency, 34.97314453125);
    EXPECT_EQ(listing->bins.back().label, "34,97314453125");
    EXPECT_EQ(listing->bins[0].label, "0");
    EXPECT_EQ(listing->bins[1].label, "0,030517578125");
}

TEST(SpectrumListing, StepDividesTheFrequencies) {
    const auto series = noise(5000);
    auto request = kiloHertz(0, 4999);
    request.step = 4;
    request.fmaxHz = 10;
    const auto listing = listSpectrum(series, request);
    ASSERT_TRUE(listing);
    // f_j = j * 0.030517578125 / 4 <= 10 up to j = 1310.
    ASSERT_EQ(listing->bins.size(), 1311u);
    EXPECT_EQ(listing->bins.back().frequency, 1310 * 0.030517578125 / 4);
}

TEST(SpectrumListing, EndsAtTheLastBinWhenFmaxLiesBeyondIt) {
    // At 1 kHz with step 32 the last bin is 31.2 Hz, below Fmax 500.
    const auto series = noise(40000);
    auto request = kiloHertz(0, 39999);
    request.step = 32;
    request.fmaxHz = 500;
    const auto listing = listSpectrum(series, request);
    ASSERT_TRUE(listing);
    ASSERT_EQ(listing->bins.size(), 32768u);
    EXPECT_EQ(listing->bins.back().bin, 32767);
}

TEST(SpectrumListing, StrongestBinGivesTheResultText) {
    // A cosine of amplitude 2 at bin 500 (15.2587890625 Hz) over the whole transform.
    std::vector<double> series(32768 + 100, 1e9); // points outside the stretch must not count
    for (std::size_t m = 0; m < 32768; ++m)
        series[100 + m] = 7.0 + 2.0 * std::cos(2.0 * kPi * 500.0 * static_cast<double>(m) / 32768);
    const auto listing = listSpectrum(series, kiloHertz(100, 100 + 32767));
    ASSERT_TRUE(listing);
    EXPECT_EQ(listing->maxFrequency, 500 * 0.030517578125);
    EXPECT_NEAR(listing->maxAmplitude, 2.0, 1e-9);
    EXPECT_EQ(listing->maxText.russian(), "F,Гц=15,2588;  Max=2,0000");
}

TEST(SpectrumListing, AllEqualStretchGivesZeroAtZeroHertz) {
    const std::vector<double> series(3000, 0.1);
    const auto listing = listSpectrum(series, kiloHertz(0, 2999));
    ASSERT_TRUE(listing);
    EXPECT_EQ(listing->maxFrequency, 0.0);
    EXPECT_EQ(listing->maxAmplitude, 0.0);
    EXPECT_EQ(listing->maxText.russian(), "F,Гц=0,0000;  Max=0,0000");
    EXPECT_EQ(fields(listing->clipboardLines[2])[0], "0");
    EXPECT_EQ(fields(listing->clipboardLines[2])[1], "0");
}

TEST(SpectrumClipboard, WithoutBinLinesHoldsHeaderEmptyLineAndSummary) {
    const auto series = noise(2000);
    auto request = kiloHertz(10, 1999);
    request.fileName = "D:\\Измерения\\опыт 1.d8c";
    const auto listing = listSpectrum(series, request);
    ASSERT_TRUE(listing);
    ASSERT_EQ(listing->clipboardLines.size(), 3u);
    EXPECT_EQ(listing->clipboardLines[0],
              "F,Hz\tAmplitude\tFirst Point\tLast Point\tChannel\tFile Name");
    EXPECT_EQ(listing->clipboardLines[1], "");
    const auto summary = fields(listing->clipboardLines[2]);
    ASSERT_EQ(summary.size(), 6u);
    EXPECT_EQ(summary[2], "10");
    EXPECT_EQ(summary[3], "1999");
    EXPECT_EQ(summary[4], "11");
    EXPECT_EQ(summary[5], "D:\\Измерения\\опыт 1.d8c");
}

TEST(SpectrumClipboard, BinLinesFollowTheSummaryOnePerListedBin) {
    const auto series = noise(2000);
    auto request = kiloHertz(0, 1999);
    request.binLines = true;
    const auto listing = listSpectrum(series, request);
    ASSERT_TRUE(listing);
    ASSERT_EQ(listing->clipboardLines.size(), 3u + 1147u);
    EXPECT_EQ(fields(listing->clipboardLines[2]).size(), 6u);
    for (std::size_t j = 0; j < listing->bins.size(); ++j) {
        const auto line = fields(listing->clipboardLines[3 + j]);
        ASSERT_EQ(line.size(), 2u);
        ASSERT_EQ(line[0], listing->bins[j].label);
    }
    EXPECT_EQ(fields(listing->clipboardLines.back())[0], "34,97314453125");
}

TEST(SpectrumClipboard, TimesOfTheStretchAreInMilliseconds) {
    const auto series = noise(5000);
    auto request = kiloHertz(100, 4000);
    request.samplePeriodUs = 250.0;
    request.decimalSeparator = '.';
    request.fileName = "";
    const auto summary = fields(listSpectrum(series, request)->clipboardLines[2]);
    ASSERT_EQ(summary.size(), 6u);
    EXPECT_EQ(summary[2], "25");
    EXPECT_EQ(summary[3], "1000");
    EXPECT_EQ(summary[5], "");
    request.visibleLast = 4001;
    EXPECT_EQ(fields(listSpectrum(series, request)->clipboardLines[2])[3], "1000.25");
}

TEST(SpectrumClipboard, ChannelColumnNamesTheInputGroup) {
    EXPECT_EQ(zarvik::channelColumn(1), "11");
    EXPECT_EQ(zarvik::channelColumn(2), "21");
    EXPECT_EQ(zarvik::channelColumn(3), "32");
    EXPECT_EQ(zarvik::channelColumn(8), "82");
    const auto series = noise(1000);
    auto request = kiloHertz(0, 999);
    request.channel = 3;
    EXPECT_EQ(fields(listSpectrum(series, request)->clipboardLines[2])[4], "32");
    request.channel = 2;
    EXPECT_EQ(fields(listSpectrum(series, request)->clipboardLines[2])[4], "21");
}

TEST(SpectrumStretch, IsCutTo65536PointsAndToTheSeries) {
    auto series = noise(70000);
    const auto cut = listSpectrum(series, kiloHertz(0, 65535));
    for (std::size_t m = 65536; m < series.size(); ++m)
        series[m] = 1e12;
    const auto whole = listSpectrum(series, kiloHertz(0, 69999));
    ASSERT_TRUE(cut && whole);
    ASSERT_EQ(cut->bins.size(), whole->bins.size());
    for (std::size_t j = 0; j < cut->bins.size(); ++j)
        ASSERT_EQ(cut->bins[j].amplitude, whole->bins[j].amplitude);

    // A last point past the series reads as the series' last point.
    const std::vector<double> shortSeries = noise(500);
    const auto past = listSpectrum(shortSeries, kiloHertz(0, 100000));
    const auto exact = listSpectrum(shortSeries, kiloHertz(0, 499));
    ASSERT_TRUE(past && exact);
    EXPECT_EQ(past->maxAmplitude, exact->maxAmplitude);
    EXPECT_EQ(past->clipboardLines, exact->clipboardLines);
}

TEST(SpectrumStretch, NothingToAnalyseGivesNoListing) {
    const auto series = noise(100);
    EXPECT_FALSE(listSpectrum(series, kiloHertz(-1, 50)));   // no visible point
    EXPECT_FALSE(listSpectrum(series, kiloHertz(60, 50)));   // inverted
    EXPECT_FALSE(listSpectrum(series, kiloHertz(100, 150))); // past the series
    EXPECT_FALSE(listSpectrum({}, kiloHertz(0, 0)));         // no series
    auto request = kiloHertz(0, 99);
    request.samplePeriodUs = 0.0; // no measurement yet
    EXPECT_FALSE(listSpectrum(series, request));
    request.samplePeriodUs = std::nan("");
    EXPECT_FALSE(listSpectrum(series, request));
    request = kiloHertz(0, 99);
    request.step = 0;
    EXPECT_FALSE(listSpectrum(series, request));
    EXPECT_TRUE(listSpectrum(series, kiloHertz(99, 99))); // one point is a (flat) stretch
}

TEST(SpectrumStep, MovesOneDoublingOrHalvingFromThePreviousStep) {
    using zarvik::stepAfterChange;
    // The arrows walk 1, 2, 4, 8, 16, 32 and back.
    EXPECT_EQ(stepAfterChange(1, 2), 2);
    EXPECT_EQ(stepAfterChange(2, 3), 4);
    EXPECT_EQ(stepAfterChange(16, 17), 32);
    EXPECT_EQ(stepAfterChange(32, 31), 16);
    EXPECT_EQ(stepAfterChange(2, 1), 1);
    // Typed values move one step in their direction.
    EXPECT_EQ(stepAfterChange(4, 20), 8);
    EXPECT_EQ(stepAfterChange(4, 3), 2);
    // No change, and the ends of the range.
    EXPECT_EQ(stepAfterChange(8, 8), 8);
    EXPECT_EQ(stepAfterChange(32, 32), 32);
    EXPECT_EQ(stepAfterChange(1, 1), 1);
}

} // namespace
