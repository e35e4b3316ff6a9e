#include "analysis/spectrumwindow.h"
#include "common/cp1251.h"
#include "device/measurementseries.h"
#include "recordingmessages.h"
#include "shell/tform1.h"
#include "unwritablefiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using zarvik::TForm1;

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString appPath() const { return dir.path() + "/"; }
    QString iniPath() const { return dir.path() + "/Zarvik.ini"; }
    void writeIni(const std::string& utf8Text) {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(zarvik::utf8ToCp1251(utf8Text)));
    }
    QByteArray iniBytes() const {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(SettingsTest, MemoryBlocksOutsideOneToEightReadAsEight) {
    for (const char* stored : {"0", "9", "-1", "x"}) {
        writeIni(std::string("[Окно F/T]\r\nSRAMblocks=") + stored + "\r\n");
        TForm1 f(appPath());
        EXPECT_EQ(f.Measurement.SRAMblocks, 8) << stored;
        EXPECT_EQ(f.gbFT->seSamples->value(), 240000) << stored;
    }
    writeIni("[Окно F/T]\r\nSRAMblocks=3\r\n");
    TForm1 f(appPath());
    EXPECT_EQ(f.gbFT->seSamples->value(), 90000);
}

TEST_F(SettingsTest, AFrequencyBelow225StartsAs2048) {
    writeIni("[Окно F/T]\r\nF=100\r\n");
    EXPECT_EQ(TForm1(appPath()).gbFT->seF->value(), 2048);
    writeIni("[Окно F/T]\r\nF=225\r\n");
    EXPECT_EQ(TForm1(appPath()).gbFT->seF->value(), 225);
}

TEST_F(SettingsTest, AllChannelsOffStartsWithChannelOne) {
    std::string text = "[Series select]\r\n";
    for (int n = 1; n <= 8; ++n)
        text += "Channel " + std::to_string(n) + "=0\r\n";
    writeIni(text);
    TForm1 f(appPath());
    EXPECT_TRUE(f.cbCh[1]->isChecked());
    for (int n = 2; n <= 8; ++n)
        EXPECT_FALSE(f.cbCh[n]->isChecked()) << n;
    EXPECT_EQ(f.Measurement.ChannelCount, 1);
    f.close();
    EXPECT_TRUE(iniBytes().contains("[Series select]\r\nChannel 1=1\r\n"));
}

TEST_F(SettingsTest, ACloseAndReopenKeepsEverySetting) {
    {
        TForm1 f(appPath());
        f.setWindowBounds(600, 900, 12, 34);
        f.gbOptions->cbTimeunits->setCurrentIndex(2);
        f.gbChart->cbShowK->setCurrentIndex(3);
        f.gbChart->seInt->setValue(64);
        f.gbOptions->cbHelp->setCurrentIndex(1);
        f.gbChart->cbRestoreParams->setChecked(false);
        f.cbCh[2]->setChecked(false);
        f.cbCh[7]->setChecked(false);
        f.pColorCh[4]->setColor(QColor(0x12, 0x34, 0x56));
        f.gbOptions->setRefAdcIndex(0);
        f.Measurement.SRAMblocks = 5;
        f.Measurement.Time4allSRAM = 123456;
        f.gbFT->seF->setValue(4096);
        f.close();
    }
    TForm1 g(appPath());
    EXPECT_EQ(g.windowHeight(), 600);
    EXPECT_EQ(g.windowWidth(), 900);
    EXPECT_EQ(g.pos(), QPoint(12, 34));
    EXPECT_EQ(g.gbOptions->cbTimeunits->currentIndex(), 2);
    EXPECT_EQ(g.gbChart->cbShowK->currentIndex(), 3);
    EXPECT_EQ(g.gbChart->seInt->value(), 64);
    EXPECT_EQ(g.gbOptions->cbHelp->currentIndex(), 1);
    EXPECT_FALSE(g.gbChart->cbRestoreParams->isChecked());
    EXPECT_FALSE(g.cbCh[2]->isChecked());
    EXPECT_FALSE(g.cbCh[7]->isChecked());
    EXPECT_TRUE(g.cbCh[8]->isChecked());
    EXPECT_EQ(g.pColorCh[4]->color(), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(g.gbOptions->refAdcIndex(), 0);
    EXPECT_EQ(g.Measurement.SRAMblocks, 5);
    // The stored time is read back, then brought into agreement with F at the end of start-up.
    EXPECT_TRUE(iniBytes().contains("Time4allSRAM=123456\r\n"));
    EXPECT_EQ(g.gbFT->seF->value(), 4096);

    // Colours are stored red in the low byte; Cyrillic names as Windows-1251 bytes.
    const QByteArray bytes = iniBytes();
    EXPECT_TRUE(bytes.contains("Channel 4=5649426\r\n")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("[\xC3\xF0\xE0\xF4\xE8\xEA \xF1\xE8\xE3\xED\xE0\xEB\xE0]\r\n"
                               "\xE2\xFB\xF1\xEE\xF2\xE0=600\r\n"));
}

TEST_F(SettingsTest, TheFirstCloseWritesTheMainWindowKeysInOrder) {
    { TForm1(appPath()).close(); }
    const std::string text = zarvik::cp1251ToUtf8(iniBytes().toStdString());
    const std::vector<std::string> sections = {
        "[График сигнала]", "[Окно F/T]",     "[Запуск]",        "[АЦП]",
        "[Options]",        "[Series Color]", "[Series select]", "[Spectrum]"};
    std::size_t at = 0;
    for (const auto& s : sections) {
        const auto found = text.find(s);
        ASSERT_NE(found, std::string::npos) << s;
        EXPECT_GT(found + 1, at) << s << " out of order";
        at = found;
    }
    EXPECT_NE(text.find("Restore Parameters after Zero=1"), std::string::npos);
    EXPECT_NE(text.find("Fmax=35"), std::string::npos);
}

TEST_F(SettingsTest, ASettingsFileThatCannotBeWrittenAtCloseIsReportedOnceWithItsName) {
    {
        zarvik::test::UnwritableFile unwritable(dir.path(), "Zarvik.ini");
        ASSERT_TRUE(unwritable.blocked());
        TForm1 f(appPath());
        zarvik::TForm2 spectrum;
        f.setSpectrumWindow(&spectrum);
        zarvik::test::messages().log.clear();
        f.close();
    }
    const QStringList& log = zarvik::test::messages().log;
    ASSERT_EQ(log.size(), 1) << log.join('\n').toStdString();
    EXPECT_TRUE(log[0].startsWith("error:Unable to write to /")) << log[0].toStdString();
    EXPECT_TRUE(log[0].endsWith("/Zarvik.ini")) << log[0].toStdString();
}

} // namespace

namespace {

TEST_F(SettingsTest, TheSeriesIsKeptOnlyOnceTheOperatorHasSetOne) {
    {
        TForm1 f(appPath());
        f.close();
    }
    EXPECT_FALSE(iniBytes().contains(QByteArray::fromStdString(zarvik::utf8ToCp1251("[Серия]"))));
    {
        TForm1 f(appPath());
        zarvik::SeriesPlan p;
        p.count = 0;
        p.pauseSec = 600;
        p.folder = (dir.path() + "/Ночь").toStdString();
        p.name = "нагрев";
        f.series()->applyPlan(p);
        f.close();
    }
    TForm1 f(appPath());
    const zarvik::SeriesPlan p = f.series()->plan();
    EXPECT_EQ(p.count, 0);
    EXPECT_EQ(p.pauseSec, 600);
    EXPECT_EQ(p.folder, (dir.path() + "/Ночь").toStdString());
    EXPECT_EQ(p.name, "нагрев");
}

} // namespace
