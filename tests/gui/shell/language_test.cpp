// The interface's language: how it is chosen and kept, what the operator reads in each, and the
// files, which read the same whatever the language.
#include "analysis/spectrumwindow.h"
#include "chart/chart.h"
#include "chart/chartaxis.h"
#include "common/cp1251.h"
#include "files/datafilehandlers.h"
#include "files/filetime.h"
#include "gui/view/zerostep.h"
#include "interfacelanguage.h"
#include "recordingmessages.h"
#include "shell/tform1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zarvik::test {
namespace {

TEST(InterfaceLanguage, TheSettingWinsAndElseTheSystemsFirstKnownLanguage) {
    const struct {
        const char* setting;
        QStringList system;
        const char* chosen;
    } cases[] = {
        {"en", {"ru-RU"}, "en"},
        {"ru", {"en-US"}, "ru"},
        {"", {"en-US", "ru-RU"}, "en"},
        {"", {"ru-RU", "en-US"}, "ru"},
        {"", {"uk-UA"}, "ru"},
        {"", {"be_BY"}, "ru"},
        {"", {"kk"}, "ru"},
        {"", {"de-DE", "ru-RU"}, "ru"}, // the first language we speak
        {"", {"de-DE"}, "en"},          // none of ours: English reads more widely
        {"", {"C"}, "ru"},              // no language named: the program's own
        {"", {}, "ru"},
        {"de", {"en-GB"}, "en"}, // a value we do not know follows the system
        {" EN", {"ru"}, "en"},   // as written by hand
    };
    for (const auto& c : cases)
        EXPECT_EQ(chooseInterfaceLanguage(c.setting, c.system), c.chosen)
            << c.setting << " " << c.system.join(',').toStdString();
}

class LanguageTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString appPath() const { return dir.path() + "/"; }
    QString path(const QString& name) const { return dir.path() + "/" + name; }
    QByteArray bytes(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeIni(const std::string& utf8Text) {
        QFile f(path("Zarvik.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(utf8ToCp1251(utf8Text)));
    }
    void SetUp() override { messages().log.clear(); }
};

// Everything a window shows as text: captions, titles, tips, list items and axis titles.
QStringList shownTexts(QWidget* window) {
    QStringList texts = {window->windowTitle(), window->toolTip()};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        texts << w->toolTip();
        if (const auto* b = qobject_cast<QAbstractButton*>(w))
            texts << b->text();
        if (const auto* l = qobject_cast<QLabel*>(w))
            texts << l->text();
        if (const auto* g = qobject_cast<QGroupBox*>(w))
            texts << g->title();
        // The language list names each language in itself.
        if (const auto* c = qobject_cast<QComboBox*>(w); c && c->objectName() != "cbLanguage")
            for (int i = 0; i < c->count(); ++i)
                texts << c->itemText(i);
        if (const auto* c = qobject_cast<Chart*>(w))
            texts << c->leftAxis()->title() << c->bottomAxis()->title();
    }
    texts.removeAll(QString());
    return texts;
}

void showEveryPanel(TForm1& f) {
    f.show();
    f.btChooseFClick();
    f.btOptionsClick();
    f.btChartClick();
    f.pnlChart->show();
    QApplication::processEvents();
}

TEST_F(LanguageTest, TheEnglishWindowsShowNoRussianWord) {
    InterfaceLanguage english(kLanguageEnglish);
    TForm1 f(appPath());
    TForm2 spectrum;
    f.setSpectrumWindow(&spectrum);
    // A measurement on the chart: its axes, the true values and the status line.
    f.Measurement.SampleData.assign(64, 0x10);
    f.Measurement.SamplePeriodUs = 250.0;
    f.chartView()->ShowChart();
    showEveryPanel(f);
    spectrum.show();
    QApplication::processEvents();
    const QRegularExpression cyrillic("[\\x{0400}-\\x{04FF}]");
    for (QWidget* window : {static_cast<QWidget*>(&f), static_cast<QWidget*>(&spectrum)})
        for (const QString& text : shownTexts(window))
            EXPECT_FALSE(text.contains(cyrillic)) << text.toStdString();
    spectrum.close();
    f.close();
}

TEST_F(LanguageTest, CaptionsReadInTheInterfacesLanguage) {
    const struct {
        const char* language;
        const char* start;
        const char* chooseF;
        const char* options;
        const char* title;
        const char* trueFrequency;
        const char* spectrumTitle;
    } cases[] = {
        {kLanguageRussian, "ПУСК ИЗМЕРЕНИЯ", "Выбор F/T", "Опции", "АЦП 12 бит 8 каналов",
         "Fвыборки,Гц=", "Спектр/Тренд сигнала"},
        {kLanguageEnglish, "START", "Set F/T", "Options", "ADC 12 bit 8 channels",
         "Fsample, Hz=", "Signal spectrum/trend"},
    };
    for (const auto& c : cases) {
        InterfaceLanguage language(c.language);
        TForm1 f(appPath());
        TForm2 spectrum;
        EXPECT_EQ(f.btStartPlus->text(), c.start) << c.language;
        EXPECT_EQ(f.gbFT->btStart->text(), c.start) << c.language;
        EXPECT_EQ(f.btChooseF->text(), c.chooseF) << c.language;
        EXPECT_EQ(f.btOptions->text(), c.options) << c.language;
        EXPECT_EQ(f.gbOptions->title(), c.options) << c.language;
        EXPECT_TRUE(f.windowTitle().startsWith(c.title)) << c.language;
        // A text made below the windows, translated at their edge and filled in.
        EXPECT_TRUE(f.gbFT->lbF->text().startsWith(c.trueFrequency))
            << f.gbFT->lbF->text().toStdString();
        EXPECT_EQ(spectrum.windowTitle(), c.spectrumTitle) << c.language;
    }
}

TEST_F(LanguageTest, TheLanguageKeyIsWrittenOnlyWhenTheFileHadItOrTheOperatorChose) {
    const QString systems =
        chooseInterfaceLanguage("", QLocale::system().uiLanguages()); // what "system" gives
    const struct {
        const char* stored; // the Options section's line, if any
        int choice;         // the item the operator picks; -1 none
        int shown;          // the list's item at start
        const char* written;
        bool told; // the operator is told the language changes at the next start
    } cases[] = {
        {nullptr, -1, 0, nullptr, false},
        {"Language=en", -1, 2, "Language=en", false},
        {"Language=ru", -1, 1, "Language=ru", false},
        {"Language=", -1, 0, "Language=", false},
        {"Language=fr", -1, 0, "Language=fr", false}, // not ours: kept as it is
        {"Language=En", -1, 2, "Language=En", false}, // written by hand
        {nullptr, 2, 0, "Language=en", true},
        {nullptr, 1, 0, "Language=ru", false}, // the tests' interface is Russian already
        {"Language=en", 0, 2, "Language=", systems != kLanguageRussian},
    };
    for (const auto& c : cases) {
        const std::string options = "[Options]\r\nTimeUnits=1\r\n" +
                                    std::string(c.stored ? c.stored : "") +
                                    (c.stored ? "\r\n" : "");
        writeIni(options);
        {
            TForm1 f(appPath());
            messages().log.clear(); // the port's message
            EXPECT_EQ(f.gbOptions->cbLanguage->currentIndex(), c.shown) << options;
            if (c.choice >= 0) {
                f.gbOptions->cbLanguage->setCurrentIndex(c.choice);
                emit f.gbOptions->cbLanguage->activated(c.choice);
            }
            f.close();
        }
        const QString ini = QString::fromUtf8(cp1251ToUtf8(bytes("Zarvik.ini").toStdString()));
        const QStringList languageLines =
            ini.split("\r\n").filter(QRegularExpression("^Language="));
        EXPECT_EQ(languageLines, c.written ? QStringList{c.written} : QStringList{}) << options;
        EXPECT_EQ(messages().log.size(), c.told ? 1 : 0)
            << options << messages().log.join('|').toStdString();
    }
}

// A measurement saved in each format, its zero levels and the settings: every byte as in the
// Russian interface.
QMap<QString, QByteArray> filesWrittenIn(const QString& language, const QString& folder) {
    InterfaceLanguage interface(language);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QString appPath = folder + "/";
    QMap<QString, QByteArray> files;
    {
        TForm1 f(appPath);
        messages().log.clear(); // the port's message
        for (int n = 1; n <= 8; ++n)
            f.cbCh[n]->setChecked(n == 1 || n == 3);
        f.gbOptions->cbTimeunits->setCurrentIndex(1);
        f.gbChart->cbInt->setChecked(true);
        TMeasurement& m = f.Measurement;
        m.SampleData = {0x10, 0, 0x20, 0, 0x11, 0, 0x21, 0, 0x12, 0, 0x22, 0, 0x13, 0, 0x23, 0};
        m.SamplePeriodUs = 250.0;
        m.ChannelsLine = "Каналы 13";
        m.FromFile = false;
        // A fixed moment: the data file's time, which heads the text tables of what it holds.
        m.MeasuredAt = encodeMeasuredAt({2023, 6, 14, 10, 20, 30, 0});
        f.chartView()->ShowChart();
        f.mComment->setPlainText("Стенд 2");
        QString answer;
        f.dataFiles()->SaveDlg.prompt = [&answer](const FileDialog&) { return answer; };
        // A fresh measurement's text table would carry the clock's time: read back, the data
        // file heads them with its own name and time.
        answer = appPath + "fresh.d8c";
        f.dataFiles()->btSaveClick();
        f.dataFiles()->OpenDlg.prompt = [&answer](const FileDialog&) { return answer; };
        f.dataFiles()->btLoadFileClick();
        EXPECT_TRUE(f.Measurement.FromFile);
        for (const char* name : {"read.txt", "read.csv", "read.d8c"}) {
            answer = appPath + name;
            f.dataFiles()->btSaveClick();
        }
        zeroStepOver(f, {0, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 999});
        f.gbChart->btSaveZeros->click();
        f.close();
    }
    EXPECT_TRUE(messages().log.isEmpty()) << messages().log.join('|').toStdString();
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        QFile file(appPath + name);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        files[name] = file.readAll();
    }
    return files;
}

TEST_F(LanguageTest, FilesReadTheSameInEveryLanguage) {
    // The same folder for both: the export names the file it read.
    const QString folder = path("files");
    const QMap<QString, QByteArray> russian = filesWrittenIn(kLanguageRussian, folder);
    const QMap<QString, QByteArray> english = filesWrittenIn(kLanguageEnglish, folder);
    EXPECT_EQ(russian.keys(), (QStringList{"Zarvik.ini", "fresh.d8c", "read.csv", "read.d8c",
                                           "read.txt", "scales.scl"}));
    for (auto it = russian.begin(); it != russian.end(); ++it)
        EXPECT_EQ(english.value(it.key()), it.value()) << it.key().toStdString();
    // The titles are the Russian ones in both.
    EXPECT_TRUE(
        russian.value("read.txt")
            .contains(QByteArray::fromStdString(utf8ToCp1251("Время, мс\t<-name of X axis"))))
        << russian.value("read.txt").left(400).toStdString();
}

} // namespace
} // namespace zarvik::test
