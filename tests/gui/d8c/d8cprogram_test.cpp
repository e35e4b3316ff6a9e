// The tool's export, spectrum and trend held against the program's own for the same file and
// view: the main window opens the file, the operator's controls are set, and its save button,
// spectrum and trend commands give the reference bytes.

#include "analysis/spectrumwindow.h"
#include "analysis/windowfunctions.h"
#include "chart/chart.h"
#include "chart/chartaxis.h"
#include "commands.h"
#include "files/d8cformat.h"
#include "files/datafilehandlers.h"
#include "files/filetime.h"
#include "gui/files/filepartsfixture.h"
#include "view/chartview.h"
#include "view/cursortable.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <cmath>
#include <sstream>

namespace zarvik::test {
namespace {

// The program and the tool read the same locale: a decimal comma and Russian dates.
[[maybe_unused]] const bool russianLocale = qputenv("LC_ALL", "ru_RU.UTF-8");

constexpr double kPi = 3.14159265358979323846;

// Channels 1, 3 and 6 at 2 kHz for 1.5 s: a 37 Hz tone, a decaying 12 Hz swing, a saw.
QString writeMeasurement(const QString& fileName) {
    TMeasurement m;
    m.ChannelMask = 0x25;
    m.SamplePeriodUs = 500.0;
    m.XTitle = "Время, мс";
    m.YTitle = "Сила, Н";
    m.Scale[1] = 0.125;
    m.Shift[3] = 2040.5;
    m.Scale[6] = 3e-7;
    for (int j = 0; j < 3000; ++j) {
        const double t = j / 2000.0;
        const int words[] = {static_cast<int>(std::lround(2047 + 900 * std::sin(2 * kPi * 37 * t))),
                             static_cast<int>(std::lround(2047 + 1500 * std::exp(-2.5 * t) *
                                                                     std::cos(2 * kPi * 12 * t))),
                             (j * 7) % 4096};
        for (int w : words) {
            m.SampleData.push_back(static_cast<std::uint8_t>(w & 0xFF));
            m.SampleData.push_back(static_cast<std::uint8_t>(w >> 8));
        }
    }
    const std::vector<std::uint8_t> image = encodeD8c(m, {"Стенд 2", "Каналы 136"});
    writeBytes(fileName, std::string(image.begin(), image.end()));
    setLastWriteTime(fileName.toStdString(), encodeMeasuredAt({2026, 3, 14, 9, 26, 52, 0}));
    return fileName;
}

// What the operator sets in the window after opening the file.
struct View {
    std::vector<int> uncheck; // channel boxes cleared
    int axisMode = 0;         // cbShowK
    int timeUnit = 0;         // cbTimeunits
    int smoothing = 0;        // seInt with cbInt checked; 0: cbInt clear
    int storeX = 1;           // cbStoreX
    double zoomFrom = NAN;    // the bottom axis's range, in the time unit
    double zoomTo = NAN;
};

class D8cProgramTest : public FilePartsTest {
protected:
    void SetUp() override {
        FilePartsTest::SetUp();
        form2 = std::make_unique<TForm2>();
        form->setSpectrumWindow(form2.get());
        data = writeMeasurement(dataPath("run.d8c"));
        messages.clear();
    }
    void TearDown() override {
        FilePartsTest::TearDown();
        form2.reset();
    }

    void show(const View& v) {
        loadThroughDialog(data);
        form->gbOptions->cbTimeunits->setCurrentIndex(v.timeUnit);
        form->gbChart->cbShowK->setCurrentIndex(v.axisMode);
        // The window keeps these from the case before; a fresh file does not reset them.
        if (v.smoothing > 0)
            form->gbChart->seInt->setValue(v.smoothing);
        form->gbChart->cbInt->setChecked(v.smoothing > 0);
        form->gbOptions->cbStoreX->setCurrentIndex(v.storeX);
        form->chartView()->ShowChart();
        for (int n : v.uncheck)
            form->cbCh[n]->setChecked(false);
        if (std::isnan(v.zoomFrom))
            form->Chart1->undoZoom();
        else
            form->Chart1->bottomAxis()->setRange(v.zoomFrom, v.zoomTo);
        form->show();
        form->Chart1->repaint();
        QApplication::processEvents();
    }

    // d8c with the data file last.
    std::string tool(std::vector<std::string> args, int expectedExit = 0) {
        args.push_back(data.toStdString());
        d8c::Environment env;
        env.locale = d8c::systemLocaleFormats();
        env.now = [] { return measuredAtNow(); };
        std::ostringstream out, err;
        EXPECT_EQ(d8c::runD8c(args, out, err, env), expectedExit) << err.str();
        EXPECT_EQ(err.str(), "");
        return out.str();
    }

    std::string clipboard() const {
        return QGuiApplication::clipboard()->text().toStdString() + '\n';
    }

    std::unique_ptr<TForm2> form2;
    QString data;
};

TEST_F(D8cProgramTest, TheLocaleIsRussianForBoth) {
    ASSERT_EQ(QLocale::system().decimalPoint(), ",") << "the comparisons would not see the rule";
}

TEST_F(D8cProgramTest, ExportsTheBytesOfTheSaveButton) {
    struct Case {
        const char* name;
        View view;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"as opened", {}, {"export", "--csv"}},
        {"codes by sample, txt", {{}, 1}, {"export", "--txt", "--units", "adc", "--x", "samples"}},
        {"two channels smoothed in ms",
         {{3}, 0, 1, 16},
         {"export", "--csv", "--channels", "1,6", "--time-unit", "ms", "--smooth", "16"}},
        {"zoomed, no X column",
         {{}, 0, 1, 0, 0, 300.0, 900.0},
         {"export", "--csv", "--time-unit", "ms", "--from", "300", "--to", "900", "--x", "none"}},
        {"values by sample",
         {{1}, 2, 2},
         {"export", "--txt", "--x", "samples", "--time-unit", "s", "--channels", "3,6"}},
        {"codes in s, smoothed, zoomed",
         {{}, 3, 2, 2, 1, 0.25, 0.5},
         {"export", "--csv", "--units", "adc", "--time-unit", "s", "--smooth", "2", "--from", "250",
          "--to", "500"}},
        {"nothing in the zoom",
         {{}, 0, 1, 0, 1, 5000.0, 6000.0},
         {"export", "--csv", "--time-unit", "ms", "--from", "5000", "--to", "6000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        show(c.view);
        const bool txt = c.args[1] == "--txt";
        const QString saved = dataPath(txt ? "window.txt" : "window.csv");
        form->dataFiles()->SaveDlg.prompt = [saved](const FileDialog&) { return saved; };
        form->dataFiles()->btSaveClick();
        ASSERT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", "-"});
        EXPECT_EQ(tool(args), readBytes(saved));
    }
}

TEST_F(D8cProgramTest, TheSaveButtonAndTheToolWriteTheSameAnalysisFiles) {
    struct Case {
        const char* name;
        View view;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"as opened", {}, {}},
        {"codes by sample, two channels smoothed and zoomed",
         {{3}, 1, 1, 8, 1, 100.0, 2000.0},
         {"--units", "adc", "--x", "samples", "--channels", "1,6", "--smooth", "8", "--from", "50",
          "--to", "1000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        show(c.view);
        for (const char* ext : {".h5", ".mat", ".npy", ".wav"}) {
            SCOPED_TRACE(ext);
            const QString saved = dataPath(QString("window") + ext);
            form->dataFiles()->SaveDlg.prompt = [saved](const FileDialog&) { return saved; };
            form->dataFiles()->btSaveClick();
            ASSERT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
            const std::string written = dataPath(QString("tool") + ext).toStdString();
            std::vector<std::string> args = {"export", "-o", written};
            args.insert(args.end(), c.args.begin(), c.args.end());
            tool(args);
            EXPECT_EQ(readBytes(QString::fromStdString(written)), readBytes(saved));
            EXPECT_GT(readBytes(saved).size(), 40u);
        }
    }
}

TEST_F(D8cProgramTest, PrintsTheClipboardOfTheSpectrumAndTrendCommands) {
    struct Case {
        const char* name;
        View view;
        int step;
        int fmax;
        bool bins;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"as opened", {}, 1, 35, true, {}},
        {"codes, step 4, up to 100 Hz",
         {{}, 1},
         4,
         100,
         true,
         {"--units", "adc", "--step", "4", "--fmax", "100"}},
        {"second channel smoothed, summary only",
         {{1}, 0, 0, 8},
         2,
         35,
         false,
         {"--channel", "3", "--smooth", "8", "--step", "2", "--no-bins"}},
        {"zoomed",
         {{}, 0, 1, 0, 1, 100.0, 1100.0},
         1,
         500,
         true,
         {"--from", "100", "--to", "1100", "--fmax", "500"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        show(c.view);
        while (form2->seStep->value() < c.step)
            form2->seStep->setValue(form2->seStep->value() * 2);
        while (form2->seStep->value() > c.step)
            form2->seStep->setValue(form2->seStep->value() / 2);
        form2->seFmax->setValue(c.fmax);
        form2->cbSp2ClipBrd->setChecked(c.bins);

        form->btSpectrGo->click();
        std::vector<std::string> args = {"spectrum"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(tool(args), clipboard());

        form->btTrend->click();
        args = {"trend"};
        for (std::size_t i = 0; i < c.args.size(); ++i) {
            if (c.args[i] == "--fmax")
                ++i;
            else if (c.args[i] != "--no-bins")
                args.push_back(c.args[i]);
        }
        EXPECT_EQ(tool(args), clipboard());
        ASSERT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    }
}

// Every window, with and without averaging and decibels: the tool prints what the window copies.
TEST_F(D8cProgramTest, PrintsTheSpectrumOfEveryWindowAveragingAndScale) {
    show({{}, 0, 1, 0, 1, 100.0, 1400.0});
    form2->seFmax->setValue(100);
    form2->cbSp2ClipBrd->setChecked(true);
    for (const WindowFunction window : kWindowFunctions)
        for (const int segments : {1, 4})
            for (const bool decibels : {false, true}) {
                const std::string name = windowName(window);
                SCOPED_TRACE(name + " " + std::to_string(segments) + (decibels ? " dB" : ""));
                form2->setWindowFunction(window);
                form2->seAverage->setValue(segments);
                form2->cbDecibels->setChecked(decibels);
                form->btSpectrGo->click();
                ASSERT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
                std::vector<std::string> args = {"spectrum",
                                                 "--from",
                                                 "100",
                                                 "--to",
                                                 "1400",
                                                 "--fmax",
                                                 "100",
                                                 "--window",
                                                 name,
                                                 "--average",
                                                 std::to_string(segments)};
                if (decibels)
                    args.push_back("--db");
                const std::string listing = tool(args);
                EXPECT_EQ(listing, clipboard());
                EXPECT_EQ(listing.find("\tWindow\t") != std::string::npos,
                          window != WindowFunction::Rect || segments > 1 || decibels);
            }
}

TEST_F(D8cProgramTest, StatsGiveTheFiguresOfTheCursorsTable) {
    struct Case {
        const char* name;
        View view;
        int first, last; // the cursors' points: point i lies at (i + 1) x 0.5 ms
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"codes smoothed, cursors the other way round",
         {{}, 1, 0, 16},
         1799,
         599,
         {"--units", "adc", "--smooth", "16", "--from", "300", "--to", "900"}},
        {"two channels, a few points",
         {{3}, 0, 1},
         100,
         200,
         {"--channels", "1,6", "--from", "50.5", "--to", "100.5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        show(c.view);
        form->gbChart->cbCursors->setChecked(true);
        form->Chart1->setCursorPoint(0, c.first);
        form->Chart1->setCursorPoint(1, c.last);
        form->Chart1->repaint();
        // The channel and the statistics columns (points to std) of each row.
        const QTableWidget* table = form->cursorTable()->tblCursors;
        std::string window = "channel\tpoints\tmin\tmax\tp-p\tmean\trms\tstd\n";
        for (int r = 0; r < table->rowCount(); ++r) {
            window += table->item(r, 0)->text().toStdString();
            for (int column = 4; column < table->columnCount(); ++column)
                window += '\t' + table->item(r, column)->text().toStdString();
            window += '\n';
        }
        std::vector<std::string> args = {"stats"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(tool(args), window);
        form->gbChart->cbCursors->setChecked(false);
    }
}

// The built-in formats are those Qt gives each listed locale, and the tool writes a date
// with them as Qt does.
TEST(D8cLocaleList, AgreesWithQt) {
    const QDateTime when(QDate(2026, 11, 5), QTime(7, 4, 9));
    const LocalDateTime local{2026, 11, 5, 7, 4, 9, 0};
    for (const char* name :
         {"C",     "ru_RU", "uk_UA", "be_BY", "kk_KZ", "en_US", "en_GB", "en_AU",
          "de_DE", "de_AT", "de_CH", "fr_FR", "it_IT", "es_ES", "pl_PL", "cs_CZ",
          "lv_LV", "lt_LT", "et_EE", "fi_FI", "sv_SE", "nl_NL", "pt_BR", "tr_TR"}) {
        SCOPED_TRACE(name);
        d8c::LocaleFormats f;
        ASSERT_TRUE(d8c::knownLocaleFormats(std::string(name) + ".UTF-8", f));
        const QLocale q(QString::fromLatin1(name));
        EXPECT_EQ(QString(f.decimalSeparator), q.decimalPoint());
        EXPECT_EQ(f.shortDate, q.dateFormat(QLocale::ShortFormat).toStdString());
        EXPECT_EQ(f.longTime, q.timeFormat(QLocale::LongFormat).toStdString());
        EXPECT_EQ(
            d8c::formatDateTime(f.shortDate, local, "MSK") + ' ' +
                d8c::formatDateTime(f.longTime, local, "MSK"),
            (q.toString(when.date(), f.shortDate.c_str()) + ' ' +
             q.toString(when.time(), QString::fromStdString(f.longTime).replace("t", "'MSK'")))
                .toStdString());
    }
}

} // namespace
} // namespace zarvik::test
