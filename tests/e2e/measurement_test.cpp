// Measurements as an operator takes them: the real main window against the simulated board,
// with the bytes on the wire, the samples kept, the chart, the progress panel and the link
// check after it; faulty lines, the zero run, and boards that stop answering.

#include "chart/chartseries.h"
#include "device/linksupervisor.h"
#include "device/linkview.h"
#include "device/measurementcycle.h"
#include "history/measurementhistory.h"
#include "mainwindowboard.h"
#include "recordingmessages.h"
#include "shell/tform1.h"
#include "view/chartview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using zarvik::ByteString;
using zarvik::TForm1;
namespace sim = zarvik::boardsim;
using MeasurementTest = zarvik::test::MainWindowWithBoard;

TEST_F(MeasurementTest, AFullMeasurementPacedAsAUsbAdapterDeliversIt) {
    sim::BoardOptions o;
    o.pace = true;
    o.timeScale = 0.2; // 2.9 s of the 14.6 s measurement
    plugIn(o);
    openWindow();
    choose(0xFF, 240000, 2048);
    board->clearRecord();

    form->btStartPlus->click();
    EXPECT_EQ(form->statusText(0), "ИЗМЕРЕНИЕ");
    EXPECT_FALSE(form->pnlChart->isHidden());
    EXPECT_EQ(form->lbAll->text(), "00:15");
    EXPECT_EQ(form->lbRestVal->text(), "00:15");
    EXPECT_FALSE(form->link()->timCheckUSB->isActive());
    // A second into the measurement: 1 * 100 div 15 per cent.
    ASSERT_TRUE(waitFor([&] { return !form->lbPercent->text().isEmpty(); }, 1500));
    ASSERT_TRUE(waitFor([&] { return form->lbElapsedVal->text() == "00:01"; }, 1500));
    EXPECT_EQ(form->lbPercent->text(), "6%");
    EXPECT_EQ(form->lbRestPercent->text(), "94%");
    EXPECT_EQ(form->lbRestVal->text(), "00:14");

    ASSERT_TRUE(waitFor([&] { return form->statusText(0) == "ПЕРЕДАЧА МАССИВА, 7с"; }, 4000));
    ASSERT_TRUE(measured(15000)) << form->statusText(0).toStdString();
    EXPECT_TRUE(log().isEmpty()) << log().join('\n').toStdString();

    const auto bytes = sent();
    EXPECT_TRUE(startsWith(bytes, {0x19, 0x00, 0xFF, 0xE3, 0xE8, 0x00}));
    EXPECT_TRUE(contains(bytes, {'p', 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(count(bytes, 'q'), 959);
    EXPECT_EQ(count(bytes, 'r'), 0);
    EXPECT_EQ(form->Measurement.SampleData, boardArray(0xFF, 7200, 8));
    EXPECT_EQ(form->chartView()->series(8)->count(), 29999);
    EXPECT_TRUE(form->pnlChart->isHidden());
    EXPECT_EQ(form->statusText(0), "");
    EXPECT_NEAR(form->Measurement.SamplePeriodUs, 488.28125, 1e-9);
    EXPECT_EQ(form->Measurement.ChannelsLine, "Каналы 12345678");

    // The link check runs again, with a fresh echo.
    EXPECT_TRUE(form->link()->timCheckUSB->isActive());
    const int echoes = board->stats().echoes;
    EXPECT_TRUE(waitFor([&] { return board->stats().echoes > echoes; }, 2500));
}

TEST_F(MeasurementTest, OneChannelOverTheWholeMemoryStartedByEnterInTheFrequencyEdit) {
    sim::BoardOptions o;
    o.timeScale = 0;
    plugIn(o);
    openWindow();
    choose(0x04, 240000, 4096);
    form->gbFT->show();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form->gbFT->seF, &enter);
    EXPECT_TRUE(form->gbFT->isHidden());
    ASSERT_TRUE(measured(10000));
    EXPECT_EQ(form->Measurement.SampleData, boardArray(0x04, 3600, 8));
    EXPECT_EQ(form->chartView()->series(3)->count(), 239999);
    EXPECT_EQ(form->chartView()->series(1)->count(), 0);
    EXPECT_EQ(count(sent(), 'q'), 959);
}

TEST_F(MeasurementTest, TheQuickStartWaitsForTheBoardToStartAndSendItsWholeMemory) {
    sim::BoardOptions o;
    o.timeScale = 0;
    o.triggerAfterMs = 300;
    plugIn(o);
    openWindow();
    board->clearRecord();
    quickStart();
    ASSERT_TRUE(waitFor([&] { return form->statusText(0) == "ОЖИДАНИЕ ПЕРЕДАЧИ ДАННЫХ"; }, 3000));
    ASSERT_TRUE(measured(8000));
    EXPECT_TRUE(startsWith(sent(), {0x16, 0x00, 'p', 0x00, 0x00, 0x00, 0x00}));
    // The board measures with the channels and rate it last had: all, at 2048 Hz.
    EXPECT_EQ(form->Measurement.SampleData, boardArray(0xFF, 7200, 8));
    EXPECT_EQ(form->Measurement.SamplePeriodUs, 1.4241536458333333);
}

// A pause inside a packet costs nothing; a packet cut short for good, a bad checksum and stray
// bytes in front of a packet cost one repeat each.
TEST_F(MeasurementTest, AFaultyLineGivesTheSameDataWithOneRepeatForEachBadPacket) {
    sim::BoardOptions o;
    o.timeScale = 0;
    o.pace = true;
    o.badChecksumEvery = 7;
    o.splitEvery = 5;
    o.splitPauseMs = zarvik::MeasurementCycle::kRemainderMs / 2;
    o.strayEvery = 11;
    o.cutEvery = 17;
    plugIn(o);
    openWindow();
    choose(0x81, 30000, 2048);
    board->clearRecord();
    form->gbFT->btStart->click();
    ASSERT_TRUE(measured(20000));

    EXPECT_EQ(form->Measurement.SampleData, boardArray(0x81, 7200, 1));
    const auto bytes = sent();
    const int packets = board->stats().packets;
    int fragments = 0;
    int badSums = 0;
    for (int n = 1; n <= packets; ++n) {
        const bool fragment = n % 11 == 0 || n % 17 == 0;
        fragments += fragment;
        badSums += !fragment && n % 7 == 0;
    }
    const int faulty = fragments + badSums;
    EXPECT_EQ(count(bytes, 'r'), faulty);
    EXPECT_EQ(packets, 120 + faulty);

    // The link's figures are what the board sent, and a link this bad is told in the status.
    const zarvik::TransferFigures& f = form->cycle()->Transfer;
    EXPECT_EQ(f.packets, 120);
    EXPECT_EQ(f.repeats, faulty);
    EXPECT_EQ(f.badChecksums, badSums);
    EXPECT_EQ(f.fragments, fragments);
    EXPECT_EQ(f.stalls, 0);
    EXPECT_NEAR(f.lineMs, 120 * 503 * 11 / 921.6, 1e-9);
    EXPECT_GT(f.transferMs, f.lineMs);
    EXPECT_EQ(form->statusText(1),
              QString("Плохая связь: повторено %1 из 120 пакетов").arg(faulty));
    EXPECT_TRUE(form->statusPanel(0)->toolTip().startsWith(
        QString("Пакетов 120, повторено %1 (ошибок суммы %2, обрывков %3, остановок 0); ")
            .arg(faulty)
            .arg(badSums)
            .arg(fragments)))
        << form->statusPanel(0)->toolTip().toStdString();
    // The history keeps them with the measurement.
    const zarvik::HistoryEntry& kept = form->history()->store().at(0);
    ASSERT_TRUE(kept.link);
    EXPECT_EQ(kept.link->repeats, faulty);
    EXPECT_EQ(kept.link->badChecksums, badSums);
    form->statusPanel(0)->clicked();
    EXPECT_TRUE(form->linkView()->isVisible());
    EXPECT_EQ(form->linkView()->value(2, 0), QString::number(faulty));
    EXPECT_EQ(form->linkView()->value(0, 1), "1");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 'r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == 'q') << i;
        }
    }
    EXPECT_TRUE(log().isEmpty()) << log().join('\n').toStdString();
}

TEST_F(MeasurementTest, TheZeroRunMeasuresEveryChannelAndGivesTheSettingsBack) {
    sim::BoardOptions o;
    o.timeScale = 0;
    o.steadyLevel = 1000;
    plugIn(o);
    openWindow();
    choose(0x05, 60000, 1000);
    form->gbChart->cbShowK->setCurrentIndex(0);
    form->gbChart->seInt->setValue(8);
    form->gbChart->cbInt->setChecked(false);
    EXPECT_FALSE(form->gbChart->btSaveZeros->isEnabled());
    board->clearRecord();

    form->gbChart->btZeros->click();
    EXPECT_TRUE(form->pnlChart->isHidden()) << "458 ms of measuring show no progress";
    ASSERT_TRUE(measured(10000));
    // All channels, 1 block, 8192 Hz: divisor 1800 travels as 0xF900.
    EXPECT_TRUE(startsWith(sent(), {0x19, 0x00, 0xFF, 0xF9, 0x00, 0xE0}));
    EXPECT_EQ(form->Measurement.SampleData, boardArray(0xFF, 1800, 1, 1000));
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(form->gbChart->lbCh[n]->text(), QString("Канал %1=1000").arg(n));
    EXPECT_FALSE(form->Measurement.ZeroRun);

    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(form->cbCh[n]->isChecked(), n == 1 || n == 3) << n;
    EXPECT_EQ(form->gbFT->seSamples->value(), 60000);
    EXPECT_EQ(form->gbFT->seF->value(), 1000);
    EXPECT_EQ(form->gbChart->cbShowK->currentIndex(), 0);
    EXPECT_EQ(form->gbChart->seInt->value(), 8);
    EXPECT_FALSE(form->gbChart->cbInt->isChecked());

    ASSERT_TRUE(form->gbChart->btSaveZeros->isEnabled());
    form->gbChart->btSaveZeros->click();
    QFile scales(dir.path() + "/scales.scl");
    ASSERT_TRUE(scales.open(QIODevice::ReadOnly));
    EXPECT_EQ(scales.readAll().toStdString(),
              "[Shift (ADC units)]\r\n1=1000\r\n2=1000\r\n3=1000\r\n"
              "4=1000\r\n5=1000\r\n6=1000\r\n7=1000\r\n8=1000\r\n");
}

TEST_F(MeasurementTest, StartsTheBoardCannotTakeAreRefusedAndTheRepeatReadUsesTheControls) {
    sim::BoardOptions o;
    o.timeScale = 0;
    plugIn(o);
    openWindow();
    choose(0x00, 30000, 2048);
    board->clearRecord();
    form->gbFT->btStart->click();
    // Below 225 Hz the clock divisor no longer fits the command (reachable through T).
    choose(0x01, 30000, 224);
    form->gbFT->btStart->click();
    EXPECT_EQ(log(), QStringList({"info:Должен быть выбран хотя бы один канал!",
                                  "info:Частота выборки 224 Гц не может быть задана плате АЦП: "
                                  "наименьшая частота - 225 Гц."}));
    waitFor([] { return false; }, 100);
    const auto bytes = sent();
    EXPECT_EQ(count(bytes, 0x19), 0) << "nothing is sent";

    // Before any start the read command takes its mode byte from the range and start mode.
    form->gbOptions->setRefAdcIndex(1);
    form->btStartMode->click(); // external start
    form->btRead->click();
    ASSERT_TRUE(measured(8000));
    EXPECT_TRUE(startsWith(sent(), {'p', 0x11, 0x00, 0x00, 0xE0}));
    EXPECT_EQ(form->Measurement.SampleData.size(), 60000u);

    // Escape on the start button hides the group, Enter starts.
    form->btStartMode->click(); // by button again
    form->gbFT->seF->setValue(2048);
    form->gbFT->show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form->gbFT->btStart, &escape);
    EXPECT_TRUE(form->gbFT->isHidden());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form->gbFT->btStart, &enter);
    ASSERT_TRUE(measured(8000));
    EXPECT_EQ(board->stats().starts, 1);

    // The hidden boot button sends its byte and lets the port go.
    board->clearRecord();
    form->btBoot->click();
    EXPECT_FALSE(form->link()->Comm().IsOpen());
    EXPECT_TRUE(waitFor([&] { return contains(sent(), {0x0B}); }, 1000));
}

// A board that stops answering: the operator is told, the measurement on screen stays, the
// reconnect loop runs, and once the board is back a new measurement works.
struct Failure {
    const char* name;
    sim::BoardOptions options;
    bool quickStart;
    const char* message;               // how the operator's message begins
    bool replaceBoard;                 // the board must be plugged in anew to answer
    bool repeatRead;                   // the array is fetched again from the board's memory
    bool unplugWhileMeasuring = false; // waiting for the external start
};

sim::BoardOptions instant() {
    sim::BoardOptions o;
    o.timeScale = 0;
    o.triggerAfterMs = 50;
    return o;
}
sim::BoardOptions with(sim::BoardOptions o, int sim::BoardOptions::*field, int value) {
    o.*field = value;
    return o;
}
sim::BoardOptions mute() {
    sim::BoardOptions o = instant();
    o.noReply = true;
    return o;
}

class BoardFailureTest : public MeasurementTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(BoardFailureTest, TheOperatorIsToldAndTheMeasurementOnScreenStays) {
    const Failure& f = GetParam();
    plugIn(f.options);
    openWindow();
    // 3.7 s of measuring: a board that never reports its end is given up 3 s after that.
    const int blocks = f.quickStart ? 2 : 8;
    choose(0xFF, blocks * 30000, 8192);
    const std::vector<std::uint8_t> previous(2000, 0x07);
    form->Measurement.SampleData = previous;
    form->Measurement.SamplePeriodUs = 123.0;
    form->chartView()->ShowChart();

    if (f.quickStart) {
        quickStart();
        ASSERT_TRUE(
            waitFor([&] { return form->statusText(0) == "ОЖИДАНИЕ ПЕРЕДАЧИ ДАННЫХ"; }, 3000));
    } else {
        if (f.unplugWhileMeasuring)
            form->btStartMode->click();
        form->gbFT->btStart->click();
    }
    if (f.unplugWhileMeasuring) {
        ASSERT_TRUE(waitFor([&] { return board->stats().starts == 1; }, 2000));
        board->hangUp();
    }
    ASSERT_TRUE(waitFor([&] { return !log().isEmpty(); }, 12000)) << f.name;
    ASSERT_EQ(log().size(), 1) << log().join('\n').toStdString();
    EXPECT_TRUE(log()[0].contains(QRegularExpression(QString("^msg:") + f.message)))
        << log()[0].toStdString();
    EXPECT_TRUE(log()[0].endsWith("Для восстановления связи просто подключите устройство"));
    EXPECT_EQ(form->Measurement.SampleData, previous);
    EXPECT_EQ(form->Measurement.SamplePeriodUs, 123.0);
    EXPECT_TRUE(form->link()->timConnect->isActive());
    // A board that fell silent in a transfer was asked once more before it was given up.
    EXPECT_EQ(form->cycle()->LinkTotals.stalls, f.options.stallAfterPackets > 0 || f.quickStart);

    if (f.replaceBoard)
        plugIn(instant());
    ASSERT_TRUE(waitFor([&] { return linkUp(); }, 6000)) << form->statusText(0).toStdString();
    board->clearRecord();
    if (f.repeatRead)
        form->btRead->click();
    else
        form->gbFT->btStart->click();
    ASSERT_TRUE(measured(8000));
    EXPECT_EQ(form->Measurement.SampleData, boardArray(0xFF, 1800, blocks));
    if (f.repeatRead) {
        EXPECT_TRUE(startsWith(sent(), {'p', 0x00, 0x00, 0x00, 0x00}));
    }
    EXPECT_EQ(log().size(), 1) << log().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Boards, BoardFailureTest,
    ::testing::Values(
        Failure{"stall", with(instant(), &sim::BoardOptions::stallAfterPackets, 100), false,
                "Передача массива прервана: получено пакетов 100 из 960.", false, true},
        Failure{"hang-up",
                with(with(instant(), &sim::BoardOptions::hangUpAfterPackets, 300),
                     &sim::BoardOptions::reopenAfterMs, 500),
                // The last packets before the line goes may be lost with it; a host that has
                // read each of them before the line went (a slow one) has all 300.
                false, "Передача массива прервана: получено пакетов (29\\d|300) из 960", false,
                false},
        Failure{"no finish byte", mute(), false, "Плата АЦП не сообщила об окончании измерения.",
                true, false},
        Failure{"unplugged while measuring",
                with(instant(), &sim::BoardOptions::triggerAfterMs, -1), false,
                "Связь с платой АЦП прервалась во время измерения.", true, false, true},
        // The board sends the 2 blocks the read command asks for; 8 were expected. The last
        // request asks for the last packet again, and it comes.
        Failure{"quick start", instant(), true,
                "Передача массива прервана: получено пакетов 241 из 960.", false, false}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

} // namespace
