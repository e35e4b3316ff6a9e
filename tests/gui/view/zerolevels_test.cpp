#include "common/cp1251.h"
#include "recordingmessages.h"
#include "shell/tform1.h"
#include "ui/systemlocale.h"
#include "unwritablefiles.h"
#include "view/zerolevels.h"
#include "zerostep.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using zarvik::TForm1;

class ZeroLevelsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString scalesPath() const { return dir.path() + "/scales.scl"; }
    void writeScales(const std::string& utf8Text) {
        QFile f(scalesPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(zarvik::utf8ToCp1251(utf8Text)));
    }
    QByteArray scalesBytes() const {
        QFile f(scalesPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // A number with the system locale's decimal separator.
    static std::string decimal(const char* pointText) {
        std::string s = pointText;
        for (char& c : s)
            if (c == '.')
                c = zarvik::localeDecimalSeparator();
        return s;
    }
};

TEST_F(ZeroLevelsTest, WithoutAScalesFileEveryChannelHasTheDefaultCalibration) {
    TForm1 f(dir.path() + "/");
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(f.Measurement.ScaleK[n], 250.0) << n;
        EXPECT_EQ(f.Measurement.ShiftScl[n], 2047.0) << n;
        EXPECT_EQ(f.gbChart->lbCh[n]->text(), QString("Канал %1=0").arg(n));
    }
    EXPECT_EQ(f.Measurement.YTitle, "Ускорение, см/с/c");
}

TEST_F(ZeroLevelsTest, TheStartAndTheLoadButtonReadTheFile) {
    writeScales("[K, (cm/s/s)/mA]\r\n1=" + decimal("0.5") + "\r\n2=1.5,0\r\n" +
                "[Shift (ADC units)]\r\n3=" + decimal("2000.25") + "\r\n");
    TForm1 f(dir.path() + "/");
    EXPECT_EQ(f.Measurement.ScaleK[1], 0.5);
    EXPECT_EQ(f.Measurement.ScaleK[2], 250.0); // neither separator alone: not a number
    EXPECT_EQ(f.Measurement.ShiftScl[3], 2000.25);

    // A measurement from a data file keeps its own calibration; the title is replaced.
    f.Measurement.FromFile = true;
    f.Measurement.Scale[4] = 9.0;
    writeScales("[K, (cm/s/s)/mA]\r\n4=7\r\n[Yscale]\r\nName=Сила, Н\r\n");
    f.gbChart->btLoadScalesFile->click();
    EXPECT_EQ(f.Measurement.ScaleK[4], 7.0);
    EXPECT_EQ(f.Measurement.ScaleK[1], 250.0);
    EXPECT_EQ(f.Measurement.ShiftScl[3], 2047.0);
    EXPECT_EQ(f.Measurement.YTitle, "Сила, Н");
    EXPECT_EQ(f.Measurement.Scale[4], 9.0);
}

TEST_F(ZeroLevelsTest, SavingWritesTheEightShiftsInPlaceAndNothingElse) {
    const std::string before = "[K, (cm/s/s)/mA]\r\n1=" + decimal("12.5") +
                               "\r\n[Shift (ADC units)]\r\n1=2040\r\n9=keep\r\n"
                               "[Yscale]\r\nName=Сила, Н\r\n";
    writeScales(before);
    TForm1 f(dir.path() + "/");
    zarvik::test::zeroStepOver(f, {0, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 999});
    EXPECT_EQ(f.gbChart->lbCh[8]->text(), "Канал 8=999");
    f.gbChart->btSaveZeros->click();
    EXPECT_EQ(scalesBytes(), QByteArray::fromStdString(zarvik::utf8ToCp1251(
                                 "[K, (cm/s/s)/mA]\r\n1=" + decimal("12.5") +
                                 "\r\n[Shift (ADC units)]\r\n1=1000\r\n9=keep\r\n2=1000\r\n"
                                 "3=1000\r\n4=1000\r\n5=1000\r\n6=1000\r\n7=1000\r\n8=999\r\n"
                                 "[Yscale]\r\nName=Сила, Н\r\n")));
    // The shifts in use change only when the file is read again.
    EXPECT_EQ(f.Measurement.ShiftScl[2], 2047.0);
    f.gbChart->btLoadScalesFile->click();
    EXPECT_EQ(f.Measurement.ShiftScl[2], 1000.0);
    EXPECT_EQ(f.Measurement.ShiftScl[8], 999.0);
}

TEST_F(ZeroLevelsTest, OnlyLevelsAZeroRunHasMeasuredAreSaved) {
    TForm1 f(dir.path() + "/");
    EXPECT_FALSE(f.gbChart->btSaveZeros->isEnabled());
    f.zeroLevels()->btSaveZerosClick();
    EXPECT_FALSE(QFile::exists(scalesPath())) << "no zero run, no levels to write";

    // A build with too few points for the settled one measures nothing.
    f.Measurement.SampleData.assign(2 * 8 * 3000, 0x01);
    f.Measurement.ZeroRun = true;
    f.chartView()->ShowChart();
    EXPECT_FALSE(f.Measurement.ZeroRun);
    EXPECT_FALSE(f.gbChart->btSaveZeros->isEnabled());
    EXPECT_EQ(f.gbChart->lbCh[1]->text(), "Канал 1=0");

    // Channels 2 and 5 measured: only their keys are written.
    f.gbChart->cbRestoreParams->setChecked(false);
    for (int n = 1; n <= 8; ++n)
        f.cbCh[n]->setChecked(n == 2 || n == 5);
    zarvik::test::zeroStepOver(f, {0, 0, 1500, 0, 0, 2100, 0, 0, 0});
    EXPECT_TRUE(f.gbChart->btSaveZeros->isEnabled());
    f.gbChart->btSaveZeros->click();
    EXPECT_EQ(scalesBytes().toStdString(), "[Shift (ADC units)]\r\n2=1500\r\n5=2100\r\n");
}

TEST_F(ZeroLevelsTest, AFailedWriteIsReportedWithTheFullName) {
    {
        zarvik::test::UnwritableFile unwritable(dir.path(), "scales.scl");
        ASSERT_TRUE(unwritable.blocked());
        TForm1 f(dir.path() + "/");
        zarvik::test::zeroStepOver(f, {0, 1, 2, 3, 4, 5, 6, 7, 8});
        zarvik::test::messages().log.clear();
        f.gbChart->btSaveZeros->click();
    }
    const QStringList& log = zarvik::test::messages().log;
    ASSERT_EQ(log.size(), 1) << log.join('\n').toStdString();
    EXPECT_TRUE(log[0].startsWith("error:Unable to write to /")) << log[0].toStdString();
    EXPECT_TRUE(log[0].endsWith("scales.scl")) << log[0].toStdString();
    EXPECT_FALSE(QFile::exists(scalesPath()));
}

} // namespace
