// Series of measurements against the simulated board: numbered files with the series' comment,
// the pause, the external start, stopping, a fault that ends the series with what it took, and
// closing the program while a series runs.

#include "device/measurementcycle.h"
#include "device/measurementseries.h"
#include "files/d8cfile.h"
#include "files/filetime.h"
#include "history/measurementhistory.h"
#include "mainwindowboard.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace {

using zarvik::test::MainWindowWithBoard;
namespace sim = zarvik::boardsim;

constexpr std::uint8_t kMask = 0x03;
constexpr std::uint32_t kDivisor = 7200; // 2048 Hz

class SeriesTest : public MainWindowWithBoard {
protected:
    // A board measuring 0.37 s of the 3.7 s of one block over two channels.
    void openWith(sim::BoardOptions o) {
        o.timeScale = 0.1;
        plugIn(o);
        openWindow();
        choose(kMask, 30000, 2048);
        folder = dir.path() + "/series";
        board->clearRecord();
        zarvik::test::messages().log.clear();
    }
    // Count, pause and, with a name, the folder the files go to; the memo holds the comment.
    void plan(int count, int pauseSec, const QString& name = QString()) {
        zarvik::SeriesPlan p;
        p.count = count;
        p.pauseSec = pauseSec;
        if (!name.isEmpty()) {
            p.folder = folder.toStdString();
            p.name = name.toStdString();
            QDir().mkpath(folder);
        }
        form->series()->applyPlan(p);
        form->mComment->setPlainText("Drop test\nRig 4");
    }
    bool ended(int ms) {
        return waitFor([&] { return !form->series()->running(); }, ms) && measured(2000);
    }
    QString file(int number) const {
        return folder + "/" + QString::fromStdString(zarvik::seriesFileName("run", number));
    }
    // When the board read each start command.
    std::vector<std::chrono::steady_clock::time_point> starts() const {
        std::vector<std::chrono::steady_clock::time_point> at;
        for (const sim::HostByte& b : board->hostBytes())
            if (b.byte == 0x19)
                at.push_back(b.at);
        return at;
    }

    QString folder;
};

TEST_F(SeriesTest, FiveByButtonWithAPauseEachSavedUnderItsNumber) {
    openWith({});
    plan(5, 1, "run");
    form->gbFT->btSeries->click();
    EXPECT_TRUE(form->series()->running());
    EXPECT_EQ(form->btStartPlus->text(), "Стоп серии");
    EXPECT_EQ(form->gbFT->btStart->text(), "Стоп серии");
    EXPECT_EQ(form->statusText(1), "Серия: 1 из 5");
    ASSERT_TRUE(waitFor([&] { return form->series()->timSeriesPause->isActive(); }, 5000));
    EXPECT_EQ(form->statusText(1), "Серия: 2 из 5, пуск через 1 с");
    ASSERT_TRUE(ended(20000));
    EXPECT_EQ(form->btStartPlus->text(), "ПУСК ИЗМЕРЕНИЯ");
    EXPECT_TRUE(log().isEmpty()) << log().join('\n').toStdString();

    const auto array = boardArray(kMask, kDivisor, 1);
    double previous = 0.0;
    for (int n = 1; n <= 5; ++n) {
        const zarvik::LoadedD8c f = zarvik::loadD8cFile(file(n).toStdString());
        EXPECT_EQ(f.contents.SampleData, array) << n;
        EXPECT_EQ(f.contents.Comment,
                  (std::vector<std::string>{"Drop test", "Rig 4",
                                            "Серия " + std::to_string(n) + " из 5", "Каналы 12"}))
            << n;
        EXPECT_EQ(f.contents.header.ChannelMask, kMask);
        // The file's time is its measurement's, a pause and a measurement after the last.
        EXPECT_GT(f.MeasuredAt, previous + 1.3 / 86400.0) << n;
        previous = f.MeasuredAt;
    }
    EXPECT_FALSE(QFile::exists(file(6)));
    // Each is in the history too, with its number in the series and what its transfer cost.
    zarvik::HistoryStore& history = form->history()->store();
    ASSERT_GE(history.size(), 5u);
    for (int n = 1; n <= 5; ++n) {
        const zarvik::HistoryEntry& e = history.at(static_cast<std::size_t>(5 - n));
        EXPECT_EQ(e.seriesNumber, n);
        EXPECT_EQ(e.seriesCount, 5);
        ASSERT_TRUE(e.link);
        EXPECT_EQ(e.link->packets, 120);
        EXPECT_EQ(e.savedAs, file(n).toStdString());
        const std::string kept = history.pathOf(e.name).u8string();
        ASSERT_TRUE(waitFor([&] { return QFile::exists(QString::fromStdString(kept)); }, 2000));
        EXPECT_EQ(zarvik::loadD8cFile(kept).contents.SampleData, array) << n;
    }
    const auto at = starts();
    ASSERT_EQ(at.size(), 5u);
    for (std::size_t i = 1; i < at.size(); ++i)
        EXPECT_GE(at[i] - at[i - 1], std::chrono::milliseconds(1000 + 370)) << i;
}

TEST_F(SeriesTest, OnTheExternalStartEachMeasurementWaitsForItsTrigger) {
    sim::BoardOptions o;
    o.triggerAfterMs = 400;
    openWith(o);
    form->btStartMode->click(); // external start
    plan(3, 0);
    form->gbFT->btSeries->click();
    ASSERT_TRUE(ended(15000));
    EXPECT_EQ(board->stats().starts, 3);
    EXPECT_EQ(board->stats().reads, 3);
    EXPECT_EQ(form->series()->taken(), 3);
    EXPECT_EQ(form->Measurement.SampleData, boardArray(kMask, kDivisor, 1));
    const auto at = starts();
    ASSERT_EQ(at.size(), 3u);
    for (std::size_t i = 1; i < at.size(); ++i)
        EXPECT_GE(at[i] - at[i - 1], std::chrono::milliseconds(400 + 370)) << i;
    EXPECT_TRUE(log().isEmpty()) << log().join('\n').toStdString();
}

TEST_F(SeriesTest, StopEndsAPauseAtOnceAndLetsATransferArriveWhole) {
    openWith({});
    plan(0, 30); // until stopped
    EXPECT_EQ(form->gbFT->seSeriesCount->text(), "до остановки");
    form->gbFT->btSeries->click();
    ASSERT_TRUE(waitFor([&] { return form->series()->timSeriesPause->isActive(); }, 5000));
    form->gbFT->btStart->click(); // "Стоп серии" during the pause
    EXPECT_FALSE(form->series()->running());
    EXPECT_EQ(form->series()->taken(), 1);

    plan(0, 0);
    form->gbFT->btSeries->click();
    auto& cycle = *form->cycle();
    ASSERT_TRUE(
        waitFor([&] { return board->stats().starts == 3 && cycle.State.transferring(); }, 5000));
    form->btStartPlus->click(); // during the second measurement's transfer
    EXPECT_TRUE(form->series()->running()) << "the transfer is never cut";
    EXPECT_EQ(form->statusText(1), "Серия: остановка после этого измерения");
    ASSERT_TRUE(ended(5000));
    EXPECT_EQ(form->series()->taken(), 2);
    EXPECT_EQ(board->stats().starts, 3);
    EXPECT_EQ(form->Measurement.SampleData, boardArray(kMask, kDivisor, 1));
}

TEST_F(SeriesTest, AStallInTheThirdMeasurementEndsTheSeriesWithTwoKept) {
    sim::BoardOptions o;
    o.stallAfterPackets = 50;
    o.stallOnRead = 3;
    openWith(o);
    plan(5, 0, "run");
    form->gbFT->btSeries->click();
    ASSERT_TRUE(waitFor([&] { return !log().isEmpty(); }, 15000));
    EXPECT_FALSE(form->series()->running());
    ASSERT_EQ(log().size(), 1) << log().join('\n').toStdString();
    EXPECT_TRUE(log()[0].startsWith("msg:Передача массива прервана: получено пакетов 50 из 120."))
        << log()[0].toStdString();
    EXPECT_TRUE(
        log()[0].contains("\n\nСерия остановлена: снято измерений 2 из 5, все они сохранены.\n\n"))
        << log()[0].toStdString();
    for (int n = 1; n <= 2; ++n)
        EXPECT_EQ(zarvik::loadD8cFile(file(n).toStdString()).contents.SampleData,
                  boardArray(kMask, kDivisor, 1));
    EXPECT_FALSE(QFile::exists(file(3)));
    EXPECT_EQ(form->btStartPlus->text(), "ПУСК ИЗМЕРЕНИЯ");
}

TEST_F(SeriesTest, ClosingTheProgramDuringASeriesAsksFirst) {
    openWith({});
    plan(0, 30);
    form->gbFT->btSeries->click();
    ASSERT_TRUE(waitFor([&] { return form->series()->timSeriesPause->isActive(); }, 5000));
    auto& messages = zarvik::test::messages();
    messages.answer = false;
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->series()->running());
    ASSERT_EQ(log().size(), 1);
    EXPECT_EQ(log()[0],
              "question:Идёт серия измерений: снято 1. Остановить серию и закрыть программу?");
    messages.answer = true;
    EXPECT_TRUE(form->close());
}

} // namespace
