#include "chart/chart.h"
#include "chart/chartseries.h"
#include "common/cp1251.h"
#include "filepartsfixture.h"
#include "files/d8cformat.h"
#include "files/datafilehandlers.h"
#include "files/filetime.h"
#include "files/librarymodule.h"
#include "unit/files/largestallocation.h"
#include "view/chartview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>
#include <limits>

namespace zarvik::test {
namespace {

using DataFileHandlersTest = FilePartsTest;

// A fresh measurement of channels 1 and 3, four instants, as the board would leave it.
void measureChannels1And3(TForm1& f) {
    for (int n = 1; n <= 8; ++n)
        f.cbCh[n]->setChecked(n == 1 || n == 3);
    TMeasurement& m = f.Measurement;
    m.SampleData = {0x10, 0, 0x20, 0, 0x11, 0, 0x21, 0, 0x12, 0, 0x22, 0, 0x13, 0, 0x23, 0};
    m.SamplePeriodUs = 250.0;
    m.ChannelsLine = "Каналы 13";
    m.FromFile = false;
    m.MeasuredAt = encodeMeasuredAt({2023, 6, 14, 10, 20, 30, 0});
    f.chartView()->ShowChart();
}

TEST_F(DataFileHandlersTest, ASavedMeasurementComesBackThroughTheOpenButton) {
    measureChannels1And3(*form);
    form->mComment->setPlainText("Стенд 2\n\nКаналы 1\nнагрузка 12 кН");
    const QString file = dataPath("run.d8c");
    QStringList offered;
    form->dataFiles()->SaveDlg.prompt = [&](const FileDialog& d) {
        offered << d.qtFilter().section(";;", 0, 0) << d.initialDir() << d.defaultExt()
                << d.FileName;
        return file;
    };
    form->dataFiles()->btSaveClick();
    ASSERT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_EQ(offered, (QStringList{"ADC files (*.d8c)", "DataVib", "dtw", ""}));
    // The old channel line is replaced by this measurement's, and empty lines leave the memo.
    EXPECT_EQ(form->mComment->toPlainText(), "Стенд 2\nнагрузка 12 кН\nКаналы 13");
    EXPECT_EQ(form->gbFile->title(), "ФАЙЛ run.d8c");
    EXPECT_EQ(lastWriteTime(file.toStdString()), toDosTime(form->Measurement.MeasuredAt));

    // The dialog opens on the name chosen last time.
    form->dataFiles()->btSaveClick();
    EXPECT_EQ(offered.last(), file);

    // Another state in the window, then the file back.
    const std::vector<std::uint8_t> saved = form->Measurement.SampleData;
    for (int n = 1; n <= 8; ++n)
        form->cbCh[n]->setChecked(true);
    form->mComment->clear();
    form->Measurement.SampleData.clear();
    form->Measurement.FromFile = false;
    form->show();
    form->btChooseFClick();
    ASSERT_TRUE(form->gbFT->isVisible());
    loadThroughDialog(file);
    // The sampling panel was closed by its own button, which reads as before again.
    EXPECT_FALSE(form->gbFT->isVisible());
    EXPECT_EQ(form->btChooseF->text(), QString("Выбор F/T"));

    ASSERT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    const TMeasurement& m = form->Measurement;
    EXPECT_EQ(m.SampleData, saved);
    EXPECT_EQ(m.DataSize, saved.size());
    EXPECT_TRUE(m.FromFile);
    EXPECT_FALSE(m.LegacyFormat);
    EXPECT_EQ(m.BlockCount, 0);
    EXPECT_EQ(m.FileName, QFileInfo(file).absoluteFilePath().toStdString());
    EXPECT_EQ(m.MeasuredAt, toDosTime(encodeMeasuredAt({2023, 6, 14, 10, 20, 30, 0})));
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(form->cbCh[n]->isChecked(), n == 1 || n == 3) << n;
        EXPECT_EQ(form->chartView()->series(n)->isActive(), n == 1 || n == 3) << n;
    }
    EXPECT_EQ(form->Measurement.ChannelCount, 2);
    EXPECT_EQ(form->mComment->toPlainText(), "Стенд 2\nнагрузка 12 кН\nКаналы 13");
    EXPECT_EQ(form->gbFile->title(), "ФАЙЛ run.d8c");
    EXPECT_EQ(form->statusText(1), "Fвыборки=4000");
    EXPECT_TRUE(form->btPrevFile->isEnabled());
    EXPECT_TRUE(form->btNextFile->isEnabled());
    EXPECT_TRUE(form->btShowCmnt->isEnabled());
    // The chart was drawn from the file: three points per channel after the first instant.
    EXPECT_EQ(form->chartView()->series(1)->count(), 3);
    EXPECT_EQ(form->chartView()->series(3)->count(), 3);
    EXPECT_EQ(form->chartView()->series(2)->count(), 0);
}

TEST_F(DataFileHandlersTest, ResavingALoadedFileKeepsItsCommentAndItsOlderFormat) {
    DataFileRecipe recipe;
    recipe.formatWord = kFormatLegacy;
    recipe.comment = {"Каналы 2", "старый стенд"};
    const QString source = writeDataFile(dataPath("old.d8c"), recipe);
    loadThroughDialog(source);
    ASSERT_TRUE(form->Measurement.LegacyFormat);
    form->gbChart->cbInt->setChecked(true);

    const QString copy = dataPath("copy.d8c");
    form->dataFiles()->SaveDlg.prompt = [&](const FileDialog&) { return copy; };
    form->dataFiles()->btSaveClick();

    const std::string bytes = readBytes(copy);
    ASSERT_GE(bytes.size(), kD8cHeaderSize);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[0]), 0x04);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[1]), 0x00);
    EXPECT_EQ(form->mComment->toPlainText(), "Каналы 2\nстарый стенд");
    EXPECT_EQ(lastWriteTime(copy.toStdString()), lastWriteTime(source.toStdString()));
}

TEST_F(DataFileHandlersTest, EveryByteOfACommentComesBackFromALoadAndASave) {
    std::string comment;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            comment += static_cast<char>(b);
    comment += "\r\n" + utf8ToCp1251("до") + "\xA0\xA0" + utf8ToCp1251("после") + " \x98";
    DataFileRecipe recipe;
    recipe.comment = {};
    const std::string file = readBytes(writeDataFile(dataPath("all.d8c"), recipe)) + comment;
    writeBytes(dataPath("all.d8c"), file);
    loadThroughDialog(dataPath("all.d8c"));
    form->dataFiles()->SaveDlg.prompt = [&](const FileDialog&) { return dataPath("copy.d8c"); };
    form->dataFiles()->btSaveClick();
    ASSERT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    // The comment ends the file; the X title before it follows the window's time unit.
    const std::string copy = readBytes(dataPath("copy.d8c"));
    ASSERT_GE(copy.size(), comment.size());
    EXPECT_EQ(copy.substr(copy.size() - comment.size()), comment);
}

TEST_F(DataFileHandlersTest, AFailedLoadLeavesTheMeasurementAndTheWindowAsTheyWere) {
    const QString good = writeDataFile(dataPath("good.d8c"));
    loadThroughDialog(good);
    form->show();
    QApplication::processEvents();
    ASSERT_TRUE(messages.isEmpty());

    const TMeasurement before = form->Measurement;
    const QString comment = form->mComment->toPlainText();
    const QString caption = form->gbFile->title();
    const int points = form->chartView()->series(1)->count();
    auto expectUnchanged = [&](const char* what) {
        SCOPED_TRACE(what);
        const TMeasurement& m = form->Measurement;
        EXPECT_EQ(m.SampleData, before.SampleData);
        EXPECT_EQ(m.FormatWord, before.FormatWord);
        EXPECT_EQ(m.DataSize, before.DataSize);
        EXPECT_EQ(m.SamplePeriodUs, before.SamplePeriodUs);
        EXPECT_EQ(m.Scale, before.Scale);
        EXPECT_EQ(m.XTitle, before.XTitle);
        EXPECT_EQ(m.FileName, before.FileName);
        EXPECT_EQ(m.MeasuredAt, before.MeasuredAt);
        for (int n = 1; n <= 8; ++n)
            EXPECT_EQ(form->cbCh[n]->isChecked(), n == 1 || n == 3) << n;
        EXPECT_EQ(form->mComment->toPlainText(), comment);
        EXPECT_EQ(form->gbFile->title(), caption);
        EXPECT_EQ(form->chartView()->series(1)->count(), points);
        EXPECT_EQ(form->chartView()->series(2)->count(), 0);
    };

    // Not a data file: the marker byte is 5. The frequency of its header is still shown.
    DataFileRecipe foreign;
    foreign.mask = 0xFF;
    foreign.samplePeriodUs = 8.0;
    std::string bytes = readBytes(writeDataFile(dataPath("foreign.d8c"), foreign));
    bytes[0] = 5;
    writeBytes(dataPath("foreign.d8c"), bytes);
    loadThroughDialog(dataPath("foreign.d8c"));
    EXPECT_EQ(messages, QStringList{"info:" + QString::fromUtf8(kNotDataFileMessage.text)});
    EXPECT_EQ(form->statusText(1), "Fвыборки=125000");
    expectUnchanged("wrong marker");

    // The sample block runs past the end of the file.
    messages.clear();
    DataFileRecipe all;
    all.mask = 0xFF;
    all.comment = {};
    bytes = readBytes(writeDataFile(dataPath("cut.d8c"), all));
    writeBytes(dataPath("cut.d8c"), bytes.substr(0, bytes.size() - 5));
    loadThroughDialog(dataPath("cut.d8c"));
    EXPECT_EQ(messages, QStringList{"error:" + QString::fromStdString(kStreamReadError)});
    expectUnchanged("cut short");

    // More samples than may be held and drawn, all of them in the file.
    messages.clear();
    DataFileRecipe big;
    big.words.assign(kD8cMaxDataSize / 2 + 8, 0);
    writeDataFile(dataPath("big.d8c"), big);
    big.words.clear();
    loadThroughDialog(dataPath("big.d8c"));
    EXPECT_EQ(messages, QStringList{"info:Файл big.d8c не может быть открыт: массив данных "
                                    "33554448 байт больше допустимых 33554432 байт."});
    expectUnchanged("too large");

    // No such file.
    messages.clear();
    form->setStatusText(1, "before");
    loadThroughDialog(dataPath("none.d8c"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("error:Cannot open file ")) << messages[0].toStdString();
    EXPECT_EQ(form->statusText(1), "before");
    expectUnchanged("missing");
}

TEST_F(DataFileHandlersTest, LinesThatDoNotFitInMemoryAreReportedAndTheFileStaysLoaded) {
    DataFileRecipe recipe;
    recipe.mask = 0x01;
    recipe.words.assign(300000, 2048); // 600 kB of samples, 2.4 MB of points
    const QString file = writeDataFile(dataPath("long.d8c"), recipe);
    allocationLimit = 1u << 20;
    loadThroughDialog(file);
    allocationLimit = std::numeric_limits<std::size_t>::max();
    EXPECT_EQ(messages, QStringList{"error:Недостаточно памяти для построения графика"});
    EXPECT_EQ(form->Measurement.SampleData.size(), 600000u);
    EXPECT_EQ(form->chartView()->series(1)->count(), 0);
}

TEST_F(DataFileHandlersTest, ARefusedOrFailedSaveLeavesTheOldFileAndTheCaption) {
    measureChannels1And3(*form);
    form->gbFile->setTitle("Комментарий");
    const QString kept = dataPath("notes.D8C");
    writeBytes(kept, "keep me");
    form->dataFiles()->SaveDlg.prompt = [&](const FileDialog&) { return kept; };
    form->dataFiles()->btSaveClick();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("info:")) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains("notes.D8C"));
    EXPECT_EQ(readBytes(kept), "keep me");
    EXPECT_EQ(form->gbFile->title(), "Комментарий");

    messages.clear();
    const QString nowhere = dataPath("no/such/folder/x.d8c");
    form->dataFiles()->SaveDlg.prompt = [&](const FileDialog&) { return nowhere; };
    form->dataFiles()->btSaveClick();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("error:Cannot create file")) << messages[0].toStdString();
    EXPECT_EQ(form->gbFile->title(), "Комментарий");

    // A cancelled dialog does nothing at all.
    messages.clear();
    form->dataFiles()->SaveDlg.prompt = [](const FileDialog&) { return QString(); };
    form->dataFiles()->btSaveClick();
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(DataFileHandlersTest, ACsvSaveWritesTheVisiblePointsOfTheCheckedChannels) {
    measureChannels1And3(*form);
    form->gbOptions->cbStoreX->setCurrentIndex(0); // "не сохранять"
    form->gbChart->cbShowK->setCurrentIndex(1);    // converter units against sample number
    form->chartView()->ShowChart();
    form->show();
    form->Chart1->repaint();
    QApplication::processEvents();

    const QString file = dataPath("table.csv");
    form->dataFiles()->SaveDlg.prompt = [&](const FileDialog&) { return file; };
    form->dataFiles()->btSaveClick();
    ASSERT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_EQ(form->gbFile->title(), "ФАЙЛ table.csv");
    const std::string text = readBytes(file);
    EXPECT_EQ(text.rfind("\xD0\xE5\xE7\xF3\xEB\xFC\xF2\xE0\xF2", 0), 0u); // "Результат" in 1251
    const std::size_t header = text.find("\r1;3;\r");
    ASSERT_NE(header, std::string::npos) << text;
    EXPECT_EQ(text.substr(header + 6), "17;33;\r18;34;\r19;35;\r");
}

// The HDF5 and MATLAB writers come from a module loaded on the first such file; the other
// formats never need it, and a module that cannot be loaded is a message, not a crash.
TEST(LibraryModuleTest, OnlyHdf5AndMatlabNeedTheModuleAndAMissingOneIsAMessage) {
    const char* missing = "zarvik-no-such-module.so";
    EXPECT_EQ(windowAnalysisWriter(SaveFormat::Npy, missing), coreAnalysisWriter(SaveFormat::Npy));
    EXPECT_EQ(windowAnalysisWriter(SaveFormat::Wav, missing), coreAnalysisWriter(SaveFormat::Wav));
    EXPECT_EQ(windowAnalysisWriter(SaveFormat::Csv, missing), nullptr);
    for (const SaveFormat format : {SaveFormat::Hdf5, SaveFormat::Mat}) {
        try {
            windowAnalysisWriter(format, missing);
            ADD_FAILURE() << "a missing module gave a writer";
        } catch (const FileError& e) {
            EXPECT_EQ(
                std::string(e.what()).rfind("Файлы HDF5 и MATLAB не могут быть записаны: "
                                            "не загружается модуль zarvik-no-such-module.so (",
                                            0),
                0u)
                << e.what();
        }
    }
    const AnalysisWriter hdf5 = windowAnalysisWriter(SaveFormat::Hdf5);
    const AnalysisWriter mat = windowAnalysisWriter(SaveFormat::Mat);
    EXPECT_TRUE(hdf5 && mat && hdf5 != mat);
}

} // namespace
} // namespace zarvik::test
