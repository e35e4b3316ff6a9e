// The view for analysis tools: which points, codes, values and times it holds, and the NumPy
// and WAV files byte for byte. The real readers check every format in tests/unit/d8c.

#include "files/analysisexport.h"
#include "files/fileerror.h"
#include "files/filetime.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zarvik {
namespace {

using test::readBytes;
using test::TempDir;

// Channels 1, 2 and 5 in the stream, instant j holding 100j + n for channel n; the chart
// drew channels 2 and 5 smoothed, so its values are not the codes.
struct Drawn {
    TMeasurement m;
    std::vector<double> x, y2, y5;

    Drawn() {
        m.ChannelMask = 0x13;
        m.SamplePeriodUs = 250.0;
        for (int j = 0; j < 6; ++j)
            for (int n : {1, 2, 5}) {
                m.SampleData.push_back(static_cast<std::uint8_t>((100 * j + n) & 0xFF));
                m.SampleData.push_back(static_cast<std::uint8_t>((100 * j + n) >> 8));
            }
        for (int i = 0; i < 5; ++i) {
            x.push_back(0.25 * (i + 1));
            y2.push_back(i + 0.5);
            y5.push_back(-i * 1e-7);
        }
        m.Scale[2] = 0.5;
        m.Shift[5] = 2040.25;
        m.MeasuredAt = encodeMeasuredAt({2026, 3, 14, 9, 26, 52, 0});
        m.FileName = "/data/run.d8c";
    }

    ExportView view() const {
        ExportView v;
        v.checked[2] = v.checked[5] = true;
        v.series[2] = {x.data(), y2.data(), y2.size()};
        v.series[5] = {x.data(), y5.data(), y5.size()};
        v.VisibleFirst = 1;
        v.VisibleLast = 3;
        v.leftAxisTitle = "Сила, Н";
        v.bottomAxisTitle = "Время, мс";
        v.integrationPoints = 4;
        return v;
    }
};

TEST(AnalysisData, HoldsTheTablesPointsWithTheirCodesFromTheStream) {
    Drawn drawn;
    drawn.m.FromFile = true;
    const AnalysisData d = analysisData(drawn.m, {"Стенд 2", "", "нагрузка"}, drawn.view());
    EXPECT_EQ(d.channels, (std::vector<int>{2, 5}));
    ASSERT_EQ(d.points, 3u);
    // Point i is instant i + 1; the zoom starts at point 1.
    EXPECT_EQ(d.codes, (std::vector<std::uint16_t>{202, 205, 302, 305, 402, 405}));
    EXPECT_EQ(d.values, (std::vector<double>{1.5, -1e-7, 2.5, -2e-7, 3.5, -3e-7}));
    EXPECT_EQ(d.time, (std::vector<double>{0.0005, 0.00075, 0.001}));
    EXPECT_EQ(d.scale, (std::vector<double>{0.5, 250.0}));
    EXPECT_EQ(d.shift, (std::vector<double>{2047.0, 2040.25}));
    EXPECT_EQ(d.units, "physical");
    EXPECT_EQ(d.smoothing, 4);
    EXPECT_EQ(d.xTitle, "Время, мс");
    EXPECT_EQ(d.yTitle, "Сила, Н");
    EXPECT_EQ(d.comment, "Стенд 2\n\nнагрузка");
    EXPECT_EQ(d.measuredAt, "2026-03-14T09:26:52");
    EXPECT_EQ(d.source, "/data/run.d8c");

    // A measurement of this run names no file; the view in codes does not smooth.
    drawn.m.FromFile = false;
    ExportView codes = drawn.view();
    codes.physical = false;
    codes.integrationPoints.reset();
    codes.VisibleLast = 100; // past the points: cut to those held
    const AnalysisData c = analysisData(drawn.m, {}, codes);
    EXPECT_EQ(c.points, 4u);
    EXPECT_EQ(c.codes.back(), 505);
    EXPECT_EQ(c.units, "adc");
    EXPECT_EQ(c.smoothing, 1);
    EXPECT_EQ(c.source, "");
    EXPECT_EQ(c.comment, "");

    // Rows only where both the chart and the stream hold the point.
    drawn.m.SampleData.resize(drawn.m.SampleData.size() - 3 * 2); // one instant
    EXPECT_EQ(analysisData(drawn.m, {}, codes).points, 3u);
    ExportView notDrawn = drawn.view();
    notDrawn.checked[3] = true;
    notDrawn.series[3] = notDrawn.series[2];
    EXPECT_EQ(analysisData(drawn.m, {}, notDrawn).points, 0u);
    EXPECT_EQ(isoLocalTime(0.0), "");
}

TEST(AnalysisFiles, NumPyArrayAndWavSoundByteForByte) {
    TempDir dir;
    AnalysisData d;
    d.channels = {1, 3};
    d.points = 2;
    d.values = {1.0, -2.0, 0.5, 4095.0};
    d.codes = {0, 2048, 4095, 65535};
    d.samplePeriodUs = 125.0;

    writeNpyFile(d, dir.file("v.npy"));
    const std::vector<std::uint8_t> npy = readBytes(dir.file("v.npy"));
    // Magic, version 1.0, the header's length, the header: the numbers start 64-aligned.
    ASSERT_EQ(npy.size(), 128u + 4 * 8);
    EXPECT_EQ(std::string(npy.begin(), npy.begin() + 10),
              std::string("\x93NUMPY\x01\x00\x76\x00", 10));
    EXPECT_EQ(std::string(npy.begin() + 10, npy.begin() + 128),
              "{'descr': '<f8', 'fortran_order': False, 'shape': (2, 2), }" + std::string(58, ' ') +
                  "\n");
    // Little-endian: -2.0 is 00 .. 00 C0.
    EXPECT_EQ(npy[128 + 15], 0xC0);

    writeWavFile(d, dir.file("c.wav"));
    const std::vector<std::uint8_t> wav = readBytes(dir.file("c.wav"));
    const std::vector<std::uint8_t> expected = {
        'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0,
        2, 0, 0x40, 0x1F, 0, 0, 0, 0x7D, 0, 0, 4, 0, 16, 0, 'd', 'a', 't', 'a', 8, 0, 0, 0,
        // (code - 2048) x 16: -32768, 0, 32752; a word above 4095 stops at 32767.
        0x00, 0x80, 0x00, 0x00, 0xF0, 0x7F, 0xFF, 0x7F};
    EXPECT_EQ(wav, expected);
}

TEST(AnalysisFiles, AWavWithoutARateOrAChannelIsRefusedAndTheOldFileStays) {
    TempDir dir;
    const std::string name = dir.file("c.wav");
    test::writeBytes(name, {'o', 'l', 'd'});
    AnalysisData d;
    d.channels = {1};
    for (double period : {0.0, -1.0, std::nan(""), 1e-12, 3e6}) {
        d.samplePeriodUs = period;
        EXPECT_FALSE(wavSampleRate(period, 1)) << period;
        try {
            writeWavFile(d, name);
            ADD_FAILURE() << period;
        } catch (const FileError& e) {
            EXPECT_EQ(e.kind(), FileError::Kind::FormatRefused);
        }
    }
    d.samplePeriodUs = 100.0;
    d.channels.clear();
    EXPECT_THROW(writeWavFile(d, name), FileError);
    EXPECT_EQ(readBytes(name), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    // round(1000000 / period), halves to even.
    EXPECT_EQ(wavSampleRate(400000.0, 8), 2u);
    EXPECT_EQ(wavSampleRate(80000.0, 8), 12u);
    EXPECT_EQ(wavSampleRate(64000.0, 8), 16u);
    EXPECT_EQ(wavSampleRate(1.0 / 269.0, 8), std::nullopt) << "bytes per second past 32 bits";
}

} // namespace
} // namespace zarvik
