// The history of measurements against the simulated board: a measurement's history file is
// what a save writes for it, the zero run's is marked, and a program killed the moment the
// chart shows has lost nothing.

#include "files/d8cfile.h"
#include "files/datafilehandlers.h"
#include "files/filetime.h"
#include "history/historystore.h"
#include "history/measurementhistory.h"
#include "mainwindowboard.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QToolButton>

#include <csignal>

#if defined(__SANITIZE_THREAD__)
#define UNDER_THREAD_SANITIZER
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define UNDER_THREAD_SANITIZER
#endif
#endif

namespace {

using zarvik::HistoryEntry;
using zarvik::loadD8cFile;
using HistoryTest = zarvik::test::MainWindowWithBoard;

std::string bytesOf(const QString& fileName) {
    QFile f(fileName);
    f.open(QIODevice::ReadOnly);
    return f.readAll().toStdString();
}

TEST_F(HistoryTest, AMeasurementIsInTheHistoryAsASaveWritesItAndTheZeroRunIsMarked) {
    zarvik::boardsim::BoardOptions o;
    o.timeScale = 0;
    plugIn(o);
    openWindow();
    choose(0x05, 30000, 4096);
    form->mComment->setPlainText("опора 3");
    form->btStartPlus->click();
    ASSERT_TRUE(measured(10000));
    zarvik::MeasurementHistory& history = *form->history();
    history.closing();
    const QString kept = history.folder() + "/" + QString::fromStdString(history.current());

    const QString saved = dir.path() + "/saved.d8c";
    form->dataFiles()->SaveDlg.prompt = [&](const zarvik::FileDialog&) { return saved; };
    form->btSave->click();
    EXPECT_EQ(bytesOf(kept), bytesOf(saved));
    EXPECT_EQ(zarvik::lastWriteTime(kept.toStdString()),
              zarvik::lastWriteTime(saved.toStdString()));
    EXPECT_EQ(loadD8cFile(kept.toStdString()).contents.SampleData, boardArray(0x05, 3600, 1));
    EXPECT_EQ(history.store().at(0).savedAs, QDir::toNativeSeparators(saved).toStdString());

    form->gbChart->btZeros->click();
    ASSERT_TRUE(measured(10000));
    history.closing();
    ASSERT_EQ(history.store().size(), 2u);
    const HistoryEntry& zero = history.store().at(0);
    EXPECT_TRUE(zero.zeroRun);
    EXPECT_TRUE(QString::fromStdString(zero.name).endsWith("_zero.d8c"));
    // Measured with every channel, whatever the boxes show once the settings are back.
    EXPECT_EQ(zero.channelMask, 0xFF);
    EXPECT_TRUE(log().isEmpty()) << log().join('\n').toStdString();
}

TEST_F(HistoryTest, AProgramKilledOnceTheChartShowsHasLostNothing) {
#ifdef UNDER_THREAD_SANITIZER
    GTEST_SKIP() << "the thread sanitizer cannot follow the process QProcess starts";
#endif
    zarvik::boardsim::BoardOptions o;
    o.timeScale = 0;
    plugIn(o);
    QTemporaryDir data;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZARVIK_PORT", QString::fromStdString(linkPath));
    env.insert("XDG_DATA_HOME", data.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(HISTORY_KILL_DRIVER, {dir.path() + "/"});
    ASSERT_TRUE(program.waitForStarted());
    QByteArray said;
    while (!said.contains("shown\n") && program.waitForReadyRead(20000))
        said += program.readAllStandardOutput();
    ASSERT_TRUE(said.contains("shown\n")) << said.toStdString();
    ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
    ASSERT_TRUE(program.waitForFinished());
    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);

    const QString folder = data.path() + "/Zarvik/history";
    const QStringList files = QDir(folder).entryList({"*.d8c"}, QDir::Files);
    ASSERT_EQ(files.size(), 1) << files.join(' ').toStdString();
    EXPECT_EQ(loadD8cFile((folder + "/" + files[0]).toStdString()).contents.SampleData,
              boardArray(0xFF, 7200, 8));
    // The next run lists it, whether or not the index had it.
    zarvik::MeasurementHistory next(folder);
    next.store().load();
    next.store().startCheck();
    while (!next.store().checkStep(100)) {
    }
    ASSERT_EQ(next.store().size(), 1u);
    EXPECT_EQ(next.store().at(0).name, files[0].toStdString());
}

} // namespace
