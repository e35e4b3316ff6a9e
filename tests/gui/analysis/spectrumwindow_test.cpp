#include "analysisfixture.h"

#include "analysis/windowfunctions.h"
#include "chart/chart.h"
#include "common/inifile.h"
#include "shell/settingskeys.h"
#include "ui/help.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <cmath>

namespace zarvik::test {
namespace {

using namespace zarvik::ini;

class SpectrumWindowTest : public AnalysisTest {
protected:
    IniFile ini() const { return IniFile(iniPath().toStdString()); }
    QByteArray iniBytes() const {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(SpectrumWindowTest, StartsHiddenWithTheDefaultsWithoutASettingsFile) {
    createWindows();
    EXPECT_TRUE(form2->isHidden());
    EXPECT_EQ(form2->windowTitle(), "Спектр/Тренд сигнала");
    EXPECT_EQ(form2->windowWidth(), 794);
    EXPECT_EQ(form2->windowHeight(), 515);
    EXPECT_EQ(form2->pos(), QPoint(0, 0));
    EXPECT_EQ(form2->seStep->value(), 1);
    EXPECT_EQ(form2->seFmax->value(), 35);
    EXPECT_EQ(form2->spectrumType(), 0);
    EXPECT_TRUE(form2->cbSp2ClipBrd->isChecked());
    EXPECT_EQ(form2->lbSpectrumMax->text(), "");
    EXPECT_FALSE(form2->Chart1->isHidden());
    EXPECT_TRUE(form2->Chart2->isHidden());
    EXPECT_TRUE(form2->btSpectrum->isHidden());
    EXPECT_EQ(form2->Chart1->bottomAxis()->title(), "ГЕРЦЫ");
    EXPECT_EQ(form2->Chart1->leftAxis()->title(), "Амплитуда");
    EXPECT_EQ(form2->Chart2->leftAxis()->title(), "Тренд");
}

TEST_F(SpectrumWindowTest, F1OpensTheTopicOfTheFocusedControlInTheMainWindowsHelp) {
    createWindows();
    form2->show();
    form2->activateWindow();
    form2->btSaveCh->setFocus();
    QApplication::processEvents();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(form2.get(), &f1);
    auto* help = form1->findChild<HelpViewer*>();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->currentTopic(), HelpViewer::topicForContext(8));
}

TEST_F(SpectrumWindowTest, StoredValuesAreClampedAndTheStepGoesOneDoublingFromOne) {
    const std::pair<int, int> steps[] = {{0, 1}, {1, 1}, {2, 2}, {3, 2}, {8, 2}, {1000, 2}};
    for (const auto& [stored, shown] : steps) {
        SCOPED_TRACE(stored);
        {
            IniFile f(iniPath().toStdString());
            f.writeInteger(kSecSpectrum, kKeyStep, stored);
            f.writeInteger(kSecSpectrum, kKeyFmax, 1000);
            f.writeInteger(kSecSpectrum, kKeySpectrumType, 1);
            f.writeInteger(kSecSpectrum, kKeySpectrumSave, 0);
            f.writeInteger(kSecSpectrumWindow, kKeyHeight, 400);
            f.writeInteger(kSecSpectrumWindow, kKeyWidth, 600);
            f.writeInteger(kSecSpectrumWindow, kKeyLeft, 10);
            f.writeInteger(kSecSpectrumWindow, kKeyTop, 20);
        }
        TForm2 w;
        keepSpectrumSettings(w, FilePlaces(std::filesystem::u8path(appPath().toStdString()), {}));
        EXPECT_EQ(w.seStep->value(), shown);
        EXPECT_EQ(w.seFmax->value(), 500);
        EXPECT_EQ(w.spectrumType(), 1);
        EXPECT_FALSE(w.cbSp2ClipBrd->isChecked());
        EXPECT_EQ(w.windowHeight(), 400);
        EXPECT_EQ(w.windowWidth(), 600);
        EXPECT_EQ(w.pos(), QPoint(10, 20));
    }
}

TEST_F(SpectrumWindowTest, ClosingWritesItsBoundsAndClipboardChoiceOnly) {
    createWindows();
    form2->setWindowBounds(450, 700, 30, 40);
    form2->cbSp2ClipBrd->setChecked(false);
    form2->seFmax->setValue(100);
    form2->close();

    const IniFile f = ini();
    EXPECT_EQ(f.readInteger(kSecSpectrumWindow, kKeyHeight, 0), 450);
    EXPECT_EQ(f.readInteger(kSecSpectrumWindow, kKeyWidth, 0), 700);
    EXPECT_EQ(f.readInteger(kSecSpectrumWindow, kKeyLeft, 0), 30);
    EXPECT_EQ(f.readInteger(kSecSpectrumWindow, kKeyTop, 0), 40);
    EXPECT_TRUE(iniBytes().contains("SpectrumSave=0"));
    EXPECT_FALSE(iniBytes().contains("Fmax=")) << "the main window writes the options";

    form2->cbSp2ClipBrd->setChecked(true);
    form2->close();
    EXPECT_TRUE(iniBytes().contains("SpectrumSave=1"));
}

TEST_F(SpectrumWindowTest, KeepsItsSettingsInTheUsersFolderWhenTheProgramsCannotBeWritten) {
    QTemporaryDir userDir;
    const auto program = std::filesystem::u8path(appPath().toStdString());
    const auto user = std::filesystem::u8path(userDir.path().toStdString());
    IniFile(program / kFileName).writeInteger(kSecSpectrum, kKeyFmax, 77);
    {
        TForm2 w;
        keepSpectrumSettings(
            w, FilePlaces(program, user, [](const std::filesystem::path&) { return false; }));
        EXPECT_EQ(w.seFmax->value(), 77) << "read beside the program until the user has a copy";
        w.cbSp2ClipBrd->setChecked(false);
        w.close();
    }
    EXPECT_EQ(IniFile(user / kFileName).readInteger(kSecSpectrum, kKeySpectrumSave, 1), 0);
    EXPECT_EQ(IniFile(program / kFileName).readInteger(kSecSpectrum, kKeySpectrumSave, 1), 1);
}

TEST_F(SpectrumWindowTest, TheMainWindowClosesTheHiddenWindowAndWritesItsOptions) {
    createWindows();
    form2->setWindowBounds(450, 700, 30, 40);
    form2->seStep->setValue(2);
    form2->seStep->setValue(4);
    form2->seFmax->setValue(120);
    form2->setSpectrumType(1);
    form2->cbSp2ClipBrd->setChecked(false);
    ASSERT_TRUE(form2->isHidden());
    form1->close();

    const IniFile f = ini();
    EXPECT_EQ(f.readInteger(kSecSpectrumWindow, kKeyHeight, 0), 450);
    EXPECT_EQ(f.readInteger(kSecSpectrumWindow, kKeyLeft, 0), 30);
    EXPECT_EQ(f.readInteger(kSecSpectrum, kKeySpectrumSave, 1), 0);
    EXPECT_EQ(f.readInteger(kSecSpectrum, kKeyStep, 0), 4);
    EXPECT_EQ(f.readInteger(kSecSpectrum, kKeyFmax, 0), 120);
    EXPECT_EQ(f.readInteger(kSecSpectrum, kKeySpectrumType, 0), 1);

    // The next start reads them back; the stored 4 comes back as one doubling from 1.
    form2.reset();
    form1.reset();
    createWindows();
    EXPECT_EQ(form2->seStep->value(), 2);
    EXPECT_EQ(form2->seFmax->value(), 120);
    EXPECT_EQ(form2->spectrumType(), 1);
    EXPECT_FALSE(form2->cbSp2ClipBrd->isChecked());
    EXPECT_EQ(form2->windowWidth(), 700);
}

TEST_F(SpectrumWindowTest, TheStepMovesOneDoublingOrHalvingPerChange) {
    createWindows();
    QSpinBox* se = form2->seStep;
    int changes = 0;
    QObject::connect(se, &QSpinBox::valueChanged, [&changes] { ++changes; });

    // The arrows walk the powers of two.
    for (int expected : {2, 4, 8, 16, 32, 32}) {
        se->stepBy(1);
        EXPECT_EQ(se->value(), expected);
    }
    se->stepBy(-1);
    EXPECT_EQ(se->value(), 16);
    se->stepBy(-1);
    se->stepBy(-1);
    ASSERT_EQ(se->value(), 4);

    // A typed value moves one step in its direction; the change made inside the handler runs
    // it once more, which changes nothing further.
    changes = 0;
    se->setValue(20);
    EXPECT_EQ(se->value(), 8);
    EXPECT_EQ(changes, 2);
    // The previous step is now 8, not 4.
    se->setValue(9);
    EXPECT_EQ(se->value(), 16);

    se->setValue(2);
    se->setValue(4);
    ASSERT_EQ(se->value(), 4);
    se->setValue(3);
    EXPECT_EQ(se->value(), 2);
    se->setValue(1);
    EXPECT_EQ(se->value(), 1);
}

TEST_F(SpectrumWindowTest, BothChartsKeepTheMarginsToTheWindow) {
    createWindows();
    form2->show();
    for (const QSize size : {QSize(900, 700), QSize(500, 300)}) {
        form2->resize(size);
        for (const Chart* c : {form2->Chart1, form2->Chart2}) {
            EXPECT_EQ(c->width(), size.width() - 12);
            EXPECT_EQ(c->height(), size.height() - 65);
            EXPECT_EQ(c->geometry().bottom() + 1 + 6, size.height()) << "a 6 pixel rim below";
        }
        EXPECT_EQ(form2->Chart1->geometry(), form2->Chart2->geometry());
    }
    // The control row stays above the charts.
    EXPECT_LE(form2->btSpGo->mapTo(form2.get(), QPoint(0, form2->btSpGo->height())).y(),
              form2->Chart1->y());
}

// Copying the chart: the visible one, drawn on white, as a picture in two forms.
TEST_F(SpectrumWindowTest, CopiesTheShownChartOnWhiteAndKeepsItsColour) {
    createWindows();
    setStream({1}, 500, [](int, int j) { return static_cast<std::uint16_t>(2000 + (j % 7) * 10); });
    form1->Measurement.SamplePeriodUs = 1000.0;
    build(1);
    form1->btSpectrGo->click();
    form2->Chart1->setBackgroundColor(Qt::gray);

    form2->btSaveCh->click();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    const QByteArray svg = mime->data("image/svg+xml");
    EXPECT_TRUE(svg.contains("<svg"));
    EXPECT_TRUE(svg.contains("Амплитуда"));
    const QImage png = qvariant_cast<QImage>(mime->imageData());
    EXPECT_EQ(png.size(), form2->Chart1->size());
    EXPECT_EQ(png.pixelColor(1, 1), QColor(Qt::white));
    EXPECT_EQ(form2->Chart1->backgroundColor(), QColor(Qt::gray));

    form1->btTrend->click();
    form2->btSaveCh->click();
    const QByteArray trend = QGuiApplication::clipboard()->mimeData()->data("image/svg+xml");
    EXPECT_TRUE(trend.contains("Тренд"));
    EXPECT_FALSE(trend.contains("Амплитуда"));
}

// The window function, the averaging and the decibels: a file without their keys keeps
// without them until the operator leaves the defaults; a file with them keeps them, a window
// name the list does not know too, as long as the list is not changed.
TEST_F(SpectrumWindowTest, KeepsTheOptionsKeysOnlyOnceTheFileHasThemOrTheyLeaveTheDefaults) {
    createWindows();
    form2->close();
    for (const char* key : {"Window=", "Average=", "Decibels="})
        EXPECT_FALSE(iniBytes().contains(key)) << key;
    form2->setWindowFunction(WindowFunction::Blackman);
    form2->close();
    EXPECT_TRUE(iniBytes().contains("Window=blackman"));
    EXPECT_FALSE(iniBytes().contains("Average="));
    // Back at its default, a key the file has is kept.
    form2->setWindowFunction(WindowFunction::Rect);
    form2->cbDecibels->setChecked(true);
    form2->close();
    EXPECT_TRUE(iniBytes().contains("Window=rect"));
    EXPECT_TRUE(iniBytes().contains("Decibels=1"));

    IniFile(iniPath().toStdString()).writeString(kSecSpectrum, kKeyWindow, "kaiser");
    IniFile(iniPath().toStdString()).writeInteger(kSecSpectrum, kKeyAverage, 100);
    const FilePlaces places(std::filesystem::u8path(appPath().toStdString()), {});
    {
        TForm2 w;
        keepSpectrumSettings(w, places);
        EXPECT_EQ(w.windowFunction(), WindowFunction::Rect);
        EXPECT_EQ(w.seAverage->value(), 64);
        EXPECT_TRUE(w.cbDecibels->isChecked());
        w.close();
        EXPECT_TRUE(iniBytes().contains("Window=kaiser"));
        EXPECT_TRUE(iniBytes().contains("Average=64"));
        w.setWindowFunction(WindowFunction::Flattop);
        w.close();
    }
    TForm2 w;
    keepSpectrumSettings(w, places);
    EXPECT_EQ(w.windowFunction(), WindowFunction::Flattop);
}

TEST_F(SpectrumWindowTest, TheOptionsShowOnTheAxesAndAShortSegmentIsRefused) {
    createWindows();
    setStream({1}, 400, [](int, int j) { return static_cast<std::uint16_t>(2000 + (j % 9) * 10); });
    form1->Measurement.SamplePeriodUs = 1000.0;
    build(1);
    form2->setSpectrumType(1);
    form2->setWindowFunction(WindowFunction::Hann);
    form2->seAverage->setValue(4);
    form2->cbDecibels->setChecked(true);
    form1->btSpectrGo->click();
    // 399 points in 4 segments of 159: a 1 kHz rate over 159 points, 1.5 bins wide.
    EXPECT_EQ(form2->Chart1->leftAxis()->title(), "Амплитуда, дБ");
    EXPECT_EQ(form2->Chart1->bottomAxis()->title(),
              "ГЕРЦЫ — Окно Ханна: КУ 0,5; ЭШП 1,5 бин = 9,434 Гц; 4 сегм. × 159 отсч.; "
              "Δf 0,03052 Гц");
    // Every line stands on the lowest level listed.
    const ArrowSeries* a = form2->SpectArrows;
    ASSERT_GT(a->count(), 0);
    double lowest = 0.0;
    for (int i = 0; i < a->count(); ++i)
        lowest = std::min(lowest, a->startY(i));
    EXPECT_LT(lowest, -20.0);
    for (int i = 0; i < a->count(); ++i)
        ASSERT_EQ(a->endY(i), lowest);
    const QString listing = QGuiApplication::clipboard()->text();
    const QString label = form2->lbSpectrumMax->text();

    // 399 points leave 15 in each of 50 segments: refused, and the spectrum before stays.
    form2->seAverage->setValue(50);
    form2->btSpGo->click();
    EXPECT_EQ(messages().log,
              QStringList{"msg:Усреднение по 50 сегментам оставляет в сегменте меньше 16 точек: "
                          "уменьшите число сегментов или шаг выборки либо увеличьте участок "
                          "графика"});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), listing);
    EXPECT_EQ(form2->lbSpectrumMax->text(), label);
    EXPECT_EQ(form2->SpectArrows->count(), a->count());

    // The defaults give back the plain titles.
    form2->setWindowFunction(WindowFunction::Rect);
    form2->seAverage->setValue(1);
    form2->cbDecibels->setChecked(false);
    form2->btSpGo->click();
    EXPECT_EQ(form2->Chart1->leftAxis()->title(), "Амплитуда");
    EXPECT_EQ(form2->Chart1->bottomAxis()->title(), "ГЕРЦЫ");
    EXPECT_EQ(form2->SpectArrows->endY(0), 0.0);
}

} // namespace
} // namespace zarvik::test
