#include "common/cp1251.h"
#include "recordingmessages.h"
#include "shell/tform1.h"
#include "view/startmode.h"
#include "zerostep.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using zarvik::TForm1;

const QString kByButtonHint = "Запуск по нажатию кнопки ПУСК ИЗМЕРЕНИЯ";
const QString kExternalHint = "Внешний запуск: после нажатия кнопки ПУСК ИЗМЕРЕНИЯ должна "
                              "сработать схема запуска, подключенная к плате АЦП";

void writeFile(const QString& path, const std::string& utf8Text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromStdString(zarvik::utf8ToCp1251(utf8Text)));
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray cp1251(const char* utf8) {
    return QByteArray::fromStdString(zarvik::utf8ToCp1251(utf8));
}

class SettingsFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString appPath() const { return dir.path() + "/"; }
    QString iniPath() const { return dir.path() + "/Zarvik.ini"; }
    void writeIni(const std::string& utf8Text) { writeFile(iniPath(), utf8Text); }
    QByteArray iniBytes() const { return fileBytes(iniPath()); }
};

TEST_F(SettingsFileTest, WithoutAFileTheDefaultsStartAndTheFirstCloseWritesEveryKey) {
    {
        TForm1 f(appPath());
        EXPECT_EQ(f.windowHeight(), 515);
        EXPECT_EQ(f.windowWidth(), 794);
        EXPECT_EQ(f.pos(), QPoint(0, 0));
        for (int n = 1; n <= 8; ++n)
            EXPECT_TRUE(f.cbCh[n]->isChecked()) << n;
        EXPECT_EQ(f.gbFT->seF->value(), 2048);
        EXPECT_EQ(f.gbFT->seSamples->value(), 240000);
        EXPECT_EQ(f.startMode()->StartMode, 0);
        EXPECT_EQ(f.btStartMode->toolTip(), kByButtonHint);
        EXPECT_FALSE(f.btStartMode->icon().isNull());
        EXPECT_EQ(f.gbOptions->seFstep->value(), 1);
        EXPECT_EQ(f.gbOptions->seTstep->value(), 1);
        f.close();
    }
    std::string expected = "[График сигнала]\r\nвысота=515\r\nширина=794\r\nслева=0\r\nсверху=0\r\n"
                           "[Окно F/T]\r\nF=2048\r\nTime4allSRAM=117188\r\nSRAMblocks=8\r\n"
                           "[Запуск]\r\nТип=0\r\n"
                           "[АЦП]\r\nДиапазон=1\r\n"
                           "[Options]\r\nTimeUnits=0\r\nXYmode=0\r\nIntegrate on Samples Num=8\r\n"
                           "Load Help on Start=0\r\nRestore Parameters after Zero=1\r\n"
                           "[Series Color]\r\n";
    for (int n = 1; n <= 8; ++n)
        expected += "Channel " + std::to_string(n) + "=" + std::to_string(64 * n) + "\r\n";
    expected += "[Series select]\r\n";
    for (int n = 1; n <= 8; ++n)
        expected += "Channel " + std::to_string(n) + "=1\r\n";
    expected += "[Spectrum]\r\nStep=1\r\nFmax=35\r\nSpectrumType=0\r\n";
    EXPECT_EQ(iniBytes(), cp1251(expected.c_str()));
}

TEST_F(SettingsFileTest, StoredStartModeSixteenIsExternalStartEveryOtherValueStartByButton) {
    for (const char* stored : {"16", "0", "5", "32", "20", "-3", "x"}) {
        writeIni(std::string("[Запуск]\r\nТип=") + stored + "\r\n");
        const bool external = std::string(stored) == "16";
        {
            TForm1 f(appPath());
            EXPECT_EQ(f.startMode()->StartMode, external ? 16 : 0) << stored;
            EXPECT_EQ(f.btStartMode->toolTip(), external ? kExternalHint : kByButtonHint) << stored;
            f.close();
        }
        EXPECT_TRUE(iniBytes().contains(
            cp1251(external ? "[Запуск]\r\nТип=16\r\n" : "[Запуск]\r\nТип=0\r\n")))
            << stored;
    }
    // The button flips the mode, its picture and its hint; the flipped mode is kept.
    {
        TForm1 f(appPath());
        const qint64 byButtonPicture = f.btStartMode->icon().cacheKey();
        f.btStartMode->click();
        EXPECT_EQ(f.startMode()->StartMode, 16);
        EXPECT_EQ(f.btStartMode->toolTip(), kExternalHint);
        EXPECT_NE(f.btStartMode->icon().cacheKey(), byButtonPicture);
        f.close();
    }
    EXPECT_TRUE(iniBytes().contains(cp1251("[Запуск]\r\nТип=16\r\n")));
}

TEST_F(SettingsFileTest, ValuesOutsideTheirRangesAreCorrectedAtStart) {
    struct Case {
        std::string ini;
        int blocks, frequency;
    };
    const Case cases[] = {
        {"SRAMblocks=0\r\n", 8, 2048}, {"SRAMblocks=9\r\n", 8, 2048},
        {"SRAMblocks=x\r\n", 8, 2048}, {"SRAMblocks=1\r\nF=100\r\n", 1, 2048},
        {"F=224\r\n", 8, 2048},        {"F=-5\r\n", 8, 2048},
        {"F=225\r\n", 8, 225},         {"F=60000\r\n", 8, 34246}, // the limit of eight channels
    };
    for (const Case& c : cases) {
        writeIni("[Окно F/T]\r\n" + c.ini + "[Options]\r\nIntegrate on Samples Num=1000\r\n");
        TForm1 f(appPath());
        EXPECT_EQ(f.Measurement.SRAMblocks, c.blocks) << c.ini;
        EXPECT_EQ(f.gbFT->seSamples->value(), c.blocks * 30000) << c.ini;
        EXPECT_EQ(f.gbFT->seF->value(), c.frequency) << c.ini;
        EXPECT_EQ(f.gbChart->seInt->value(), 512) << c.ini;
    }
}

TEST_F(SettingsFileTest, StartUpBringsTheSamplingValuesIntoAgreement) {
    writeIni("[Series select]\r\nChannel 5=0\r\nChannel 6=0\r\nChannel 7=0\r\nChannel 8=0\r\n"
             "[Окно F/T]\r\nSRAMblocks=2\r\nTime4allSRAM=5\r\nF=4096\r\n");
    TForm1 f(appPath());
    EXPECT_EQ(f.Measurement.ChannelCount, 4);
    EXPECT_EQ(f.gbFT->seF->maximum(), 64102);
    EXPECT_EQ(f.gbFT->seTime->maximum(), 15000000); // 2 blocks, 4 channels, F = 1
    EXPECT_EQ(f.gbFT->seTime->minimum(), 27);       // 2 * 109 div 8
    // The whole memory's time is taken from F, and T from it.
    EXPECT_EQ(f.Measurement.Time4allSRAM, 58594);
    EXPECT_EQ(f.gbFT->seTime->value(), 3662);
    EXPECT_FALSE(f.gbFT->lbF->text().isEmpty());
}

TEST_F(SettingsFileTest, ACloseAndReopenKeepsEverySettingAndWritesTheSameBytes) {
    writeIni("[Spectrum]\r\nStep=4\r\nFmax=100\r\nSpectrumType=1\r\n");
    {
        TForm1 f(appPath());
        f.setWindowBounds(600, 900, 12, 34);
        f.gbOptions->cbTimeunits->setCurrentIndex(2);
        f.gbChart->cbShowK->setCurrentIndex(3);
        f.gbChart->seInt->setValue(64);
        f.gbOptions->cbHelp->setCurrentIndex(1);
        f.gbChart->cbRestoreParams->setChecked(false);
        for (int n = 2; n <= 8; ++n)
            f.cbCh[n]->setChecked(false);
        f.pColorCh[4]->setColor(QColor(0x12, 0x34, 0x56));
        f.gbOptions->setRefAdcIndex(0);
        f.gbFT->seF->setValue(100000); // one channel may go above 65535
        // The sample count sets the whole memory's time from F.
        f.gbFT->seSamples->setValue(150000);
        f.btStartMode->click();
        f.close();
    }
    const QByteArray first = iniBytes();
    EXPECT_TRUE(first.contains(cp1251("[Окно F/T]\r\nF=100000\r\nTime4allSRAM=2400\r\n"
                                      "SRAMblocks=5\r\n")))
        << first.toStdString();
    {
        TForm1 g(appPath());
        EXPECT_EQ(g.windowHeight(), 600);
        EXPECT_EQ(g.windowWidth(), 900);
        EXPECT_EQ(g.pos(), QPoint(12, 34));
        EXPECT_EQ(g.gbOptions->cbTimeunits->currentIndex(), 2);
        EXPECT_EQ(g.gbChart->cbShowK->currentIndex(), 3);
        EXPECT_EQ(g.gbChart->seInt->value(), 64);
        EXPECT_EQ(g.gbOptions->cbHelp->currentIndex(), 1);
        EXPECT_FALSE(g.gbChart->cbRestoreParams->isChecked());
        EXPECT_TRUE(g.cbCh[1]->isChecked());
        for (int n = 2; n <= 8; ++n)
            EXPECT_FALSE(g.cbCh[n]->isChecked()) << n;
        EXPECT_EQ(g.pColorCh[4]->color(), QColor(0x12, 0x34, 0x56));
        EXPECT_EQ(g.gbOptions->refAdcIndex(), 0);
        EXPECT_EQ(g.gbFT->seSamples->value(), 150000);
        EXPECT_EQ(g.Measurement.SRAMblocks, 5);
        EXPECT_EQ(g.gbFT->seF->value(), 100000);
        EXPECT_EQ(g.startMode()->StartMode, 16);
        g.close();
    }
    // Written by the program, read back and written again: the same bytes, the spectrum
    // window's options included.
    EXPECT_EQ(iniBytes(), first);
    EXPECT_TRUE(first.contains("[Spectrum]\r\nStep=4\r\nFmax=100\r\nSpectrumType=1\r\n"));
    // "Окно F/T" in Windows-1251.
    EXPECT_TRUE(first.contains("[\xCE\xEA\xED\xEE F/T]\r\n"));
}

// Points the user's configuration folder somewhere else for one test.
class ConfigHome {
public:
    explicit ConfigHome(const QString& path) : m_old(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", path.toUtf8());
    }
    ~ConfigHome() { qputenv("XDG_CONFIG_HOME", m_old); }

private:
    QByteArray m_old;
};

TEST(SettingsPlaces, AProgramFolderThatCannotBeWrittenKeepsTheFilesInTheUsersFolder) {
    QTemporaryDir program, config;
    const ConfigHome home(config.path());
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    ASSERT_TRUE(userFolder.startsWith(config.path())) << userFolder.toStdString();

    const QString programIni = program.path() + "/Zarvik.ini";
    const QString programScales = program.path() + "/scales.scl";
    writeFile(programIni, "[Окно F/T]\r\nF=4096\r\n[Spectrum]\r\nSpectrumSave=0\r\n");
    writeFile(programScales, "[K, (cm/s/s)/mA]\r\n1=3\r\n[Yscale]\r\nName=Сила, Н\r\n");
    // Where the replacements would be written there are folders: nothing can be saved here.
    ASSERT_TRUE(QDir(program.path()).mkdir("Zarvik.ini.~new"));
    ASSERT_TRUE(QDir(program.path()).mkdir("scales.scl.~new"));
    const QByteArray iniBefore = fileBytes(programIni);
    const QByteArray scalesBefore = fileBytes(programScales);

    zarvik::test::messages().log.clear();
    {
        TForm1 f(program.path() + "/");
        EXPECT_EQ(f.gbFT->seF->value(), 4096);
        EXPECT_EQ(f.Measurement.ScaleK[1], 3.0);
        EXPECT_EQ(f.Measurement.YTitle, "Сила, Н");
        f.gbFT->seF->setValue(8192);
        zarvik::test::zeroStepOver(f, {0, 0, 1000, 0, 0, 0, 0, 0, 0});
        f.gbChart->btSaveZeros->click();
        f.close();
    }
    for (const QString& m : zarvik::test::messages().log)
        EXPECT_FALSE(m.startsWith("error:")) << m.toStdString();

    EXPECT_EQ(fileBytes(programIni), iniBefore);
    EXPECT_EQ(fileBytes(programScales), scalesBefore);
    const QByteArray userIni = fileBytes(userFolder + "/Zarvik.ini");
    EXPECT_TRUE(userIni.contains("F=8192\r\n")) << userIni.toStdString();
    EXPECT_TRUE(userIni.contains("SpectrumSave=0\r\n")); // another window's key is kept
    const QByteArray userScales = fileBytes(userFolder + "/scales.scl");
    EXPECT_TRUE(userScales.startsWith("[K, (cm/s/s)/mA]\r\n1=3\r\n")) << userScales.toStdString();
    EXPECT_TRUE(userScales.contains("[Shift (ADC units)]\r\n1=0\r\n2=1000\r\n"));

    TForm1 g(program.path() + "/");
    EXPECT_EQ(g.gbFT->seF->value(), 8192);
    EXPECT_EQ(g.Measurement.ShiftScl[2], 1000.0);
    EXPECT_EQ(g.Measurement.YTitle, "Сила, Н");
}

} // namespace
