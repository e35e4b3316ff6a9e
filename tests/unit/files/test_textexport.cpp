// The text table, byte for byte: the header block, the columns of the checked channels, the
// visible range, the separators of ".txt" and ".csv", and the source line.

#include "common/cp1251.h"
#include "files/d8cfile.h"
#include "files/filetime.h"
#include "files/textexport.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace zarvik {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

struct Chart {
    std::vector<double> x{0.5, 1.0, 1.5, 2.0};
    std::vector<double> y2{1.25, -3.0, 0.0, 4095.0};
    std::vector<double> y5{2047.0, 0.001, 1e-6, 123456.0};
    // Channel 1 is drawn but not checked: its values must not appear.
    std::vector<double> y1{7.0, 7.0, 7.0, 7.0};

    ExportView view() const {
        ExportView v;
        v.checked[2] = v.checked[5] = true;
        v.series[1] = {x.data(), y1.data(), x.size()};
        v.series[2] = {x.data(), y2.data(), x.size()};
        v.series[5] = {x.data(), y5.data(), x.size()};
        v.leftAxisTitle = "Сила, Н";
        v.bottomAxisTitle = "Время, мс";
        v.VisibleFirst = 0;
        v.VisibleLast = 3;
        return v;
    }
};

// Stands in for the system's short date and long time formats.
std::string dateText(double t) {
    const LocalDateTime l = decodeMeasuredAt(t);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %d:%02d:%02d", l.day, l.month, l.year, l.hour,
                  l.minute, l.second);
    return buf;
}

TMeasurement calibrated() {
    TMeasurement m;
    m.Shift[2] = 2040.5;
    m.Scale[5] = 0.001;
    return m;
}

const std::string kHead = "Результат измерения 05.11.2023 14:30:16\r"
                          "Channel:;Shift:;Scale:;;OUTPUT=(ADCunits - Shift) * Scale\r"
                          "1;2047;250\r"
                          "2;2040,5;250\r"
                          "3;2047;250\r"
                          "4;2047;250\r"
                          "5;2047;0,001\r"
                          "6;2047;250\r"
                          "7;2047;250\r"
                          "8;2047;250\r"
                          "Сила, Н;<-name of Y axis\r"
                          "Время, мс;<-name of X axis\r";

std::string csv(const ExportView& v, const std::vector<std::string>& comment = {"Тест"}) {
    return buildTextExport(calibrated(), comment, v, "Результат измерения 05.11.2023 14:30:16", ';',
                           ',');
}

TEST(TextExport, CsvOfChannelsTwoAndFiveWithTheXColumn) {
    const Chart chart;
    const std::string expected = kHead + "Тест\r\r"
                                         "Время, мс;2;5;\r"
                                         "0,5;1,25;2047;\r"
                                         "1;-3;0,001;\r"
                                         "1,5;0;1E-6;\r"
                                         "2;4095;123456;\r";
    const std::string out = csv(chart.view());
    EXPECT_EQ(out, utf8ToCp1251(expected));
    // Windows-1251 on the way out: "Тест" is four bytes.
    EXPECT_NE(out.find("\xD2\xE5\xF1\xF2\r\r"), std::string::npos);
}

TEST(TextExport, CsvWithoutTheXColumn) {
    const Chart chart;
    ExportView v = chart.view();
    v.storeX = false;
    const std::string expected = kHead + "Тест\r\r"
                                         "2;5;\r"
                                         "1,25;2047;\r"
                                         "-3;0,001;\r"
                                         "0;1E-6;\r"
                                         "4095;123456;\r";
    EXPECT_EQ(csv(v), utf8ToCp1251(expected));
}

TEST(TextExport, ZoomedChartExportsOnlyTheVisiblePoints) {
    const Chart chart;
    ExportView v = chart.view();
    v.VisibleFirst = 1;
    v.VisibleLast = 2;
    const std::string expected = kHead + "Тест\r\r"
                                         "Время, мс;2;5;\r"
                                         "1;-3;0,001;\r"
                                         "1,5;0;1E-6;\r";
    EXPECT_EQ(csv(v), utf8ToCp1251(expected));
}

TEST(TextExport, EmptyAndStaleRanges) {
    const Chart chart;
    const std::string noRows = utf8ToCp1251(kHead + "Тест\r\rВремя, мс;2;5;\r");
    ExportView v = chart.view();
    v.VisibleFirst = -1;
    EXPECT_EQ(csv(v), noRows);
    v.VisibleFirst = 3;
    v.VisibleLast = 2;
    EXPECT_EQ(csv(v), noRows);
    // A range recorded before a rebuild with fewer points is cut to the points there are.
    v.VisibleFirst = 3;
    v.VisibleLast = 40;
    EXPECT_EQ(csv(v), noRows + "2;4095;123456;\r");
    v.VisibleFirst = 9;
    EXPECT_EQ(csv(v), noRows);
}

TEST(TextExport, NoCheckedChannelGivesNoColumns) {
    const Chart chart;
    ExportView v = chart.view();
    v.checked = {};
    EXPECT_EQ(csv(v), utf8ToCp1251(kHead + "Тест\r\r\r"));
}

TEST(TextExport, MultiLineCommentAndAnEmptyOne) {
    const Chart chart;
    ExportView v = chart.view();
    v.VisibleFirst = -1;
    EXPECT_EQ(csv(v, {"a", "б"}), utf8ToCp1251(kHead + "a\r\nб\r\rВремя, мс;2;5;\r"));
    // Without a comment two empty lines stand between the axis lines and the columns.
    EXPECT_EQ(csv(v, {}), utf8ToCp1251(kHead + "\r\rВремя, мс;2;5;\r"));
}

TEST(TextExport, TxtFileWithTabsAndTheSmoothingLine) {
    TempDir dir;
    const Chart chart;
    ExportView v = chart.view();
    v.VisibleFirst = 3;
    v.integrationPoints = 8;
    TMeasurement m = calibrated();
    m.SampleData = {1, 0, 2, 0};
    m.LegacyFormat = true;
    m.MeasuredAt = encodeMeasuredAt({2022, 2, 3, 4, 5, 7, 0});
    const std::string name = dir.file("экспорт.txt");
    saveTextExport(m, name, {}, v, '.', encodeMeasuredAt({2023, 11, 5, 14, 30, 16, 0}), dateText);
    std::string expected = "Результат измерения 05.11.2023 14:30:16\r"
                           "Channel:\tShift:\tScale:\t\tOUTPUT=(ADCunits - Shift) * Scale\r"
                           "1\t2047\t250\r"
                           "2\t2040.5\t250\r"
                           "3\t2047\t250\r"
                           "4\t2047\t250\r"
                           "5\t2047\t0.001\r"
                           "6\t2047\t250\r"
                           "7\t2047\t250\r"
                           "8\t2047\t250\r"
                           "Сила, Н\t<-name of Y axis\r"
                           "Время, мс\t<-name of X axis\r"
                           "Выполнено интегрирование по 8\r"
                           "\r\r"
                           "Время, мс\t2\t5\t\r"
                           "2\t4095\t123456\t\r";
    const std::string cp = utf8ToCp1251(expected);
    EXPECT_EQ(readBytes(name), std::vector<std::uint8_t>(cp.begin(), cp.end()));
    EXPECT_EQ(m.SaveFileName, name);
    EXPECT_EQ(m.FormatWord, kFormatLegacy);
    EXPECT_EQ(m.DataSize, 4u);
    EXPECT_EQ(lastWriteTime(name), toDosTime(m.MeasuredAt));
}

TEST(TextExport, OtherNamesAreRefusedAndTheirFilesKept) {
    TempDir dir;
    const Chart chart;
    TMeasurement m = calibrated();
    const auto format = [](double) { return std::string("?"); };
    for (const char* n : {"a.CSV", "a.d8c", "a.tx"}) {
        writeBytes(dir.file(n), {5, 6});
        try {
            saveTextExport(m, dir.file(n), {}, chart.view(), ',', 0.0, format);
            FAIL() << n;
        } catch (const FileError& e) {
            EXPECT_EQ(e.kind(), FileError::Kind::UnsupportedExtension);
        }
        EXPECT_EQ(readBytes(dir.file(n)), (std::vector<std::uint8_t>{5, 6}));
    }
    EXPECT_EQ(m.SaveFileName, "");
}

TEST(ExportSource, NamesTheFileWithItsTimeOrFallsBackToTheMeasurement) {
    TempDir dir;
    TMeasurement m;
    m.ChannelsLine = "Каналы 1";
    m.MeasuredAt = encodeMeasuredAt({2021, 6, 1, 10, 0, 4, 0});
    saveD8cFile(m, dir.file("src.d8c"), {}, std::nullopt);
    applyLoadedD8c(m, loadD8cFile(dir.file("src.d8c")));
    setLastWriteTime(dir.file("src.d8c"), encodeMeasuredAt({2021, 6, 2, 11, 0, 0, 0}));
    const double now = encodeMeasuredAt({2024, 1, 1, 0, 0, 0, 0});
    EXPECT_EQ(exportSourceLine(m, now, dateText),
              "Данные из файла " + m.FileName + "  02.06.2021 11:00:00");

    std::filesystem::remove(dir.file("src.d8c"));
    EXPECT_EQ(exportSourceLine(m, now, dateText),
              "Данные из файла " + m.FileName + "  01.06.2021 10:00:04");

    m.FromFile = false;
    EXPECT_EQ(exportSourceLine(m, now, dateText), "Результат измерения 01.01.2024 0:00:00");
}

} // namespace
} // namespace zarvik
