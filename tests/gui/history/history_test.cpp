// The history as the operator meets it on the main window: measurements arriving, the panel
// that opens them through the ordinary reader, the filter, pinning and deleting, the comment
// that follows its measurement, a folder that cannot be written and the space kept.

#include "common/inifile.h"
#include "device/measurementcycle.h"
#include "files/d8cfile.h"
#include "files/filetime.h"
#include "history/historymodel.h"
#include "history/historywindow.h"
#include "history/measurementhistory.h"
#include "recordingmessages.h"
#include "shell/settingskeys.h"
#include "shell/tform1.h"
#include "view/chartview.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zarvik {
namespace {

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::messages().log.clear();
        folder = appDir.path() + "/history";
    }
    void open(const QString& historyFolder) {
        IniFile ini((appDir.path() + "/" + ini::kFileName).toStdString());
        ini.writeString(ini::kSecHistory, ini::kKeyHistoryFolder, historyFolder.toStdString());
        form = std::make_unique<TForm1>(appDir.path() + "/");
        for (int n = 1; n <= kChannels; ++n)
            form->cbCh[n]->setChecked(n <= 2);
        test::messages().log.clear(); // no board here
    }
    void SetUpForm() { open(folder); }
    MeasurementHistory& history() { return *form->history(); }
    HistoryWindow& panel() { return *form->historyWindow(); }

    // A transfer's measurement of channels 1 and 2 becomes the current one; `scale` stands for
    // the calibration file of the moment.
    std::string arrive(int minute, std::size_t bytes = 60000, double scale = 250.0) {
        TMeasurement& m = form->Measurement;
        m.SampleData.assign(bytes, static_cast<std::uint8_t>(minute));
        m.SamplePeriodUs = 488.28125;
        m.MeasuredAt = encodeMeasuredAt({2024, 5, 14, 9, minute, 0, 0});
        m.ChannelsLine = "Каналы 12";
        m.FromFile = false;
        for (int n = 1; n <= kChannels; ++n)
            m.ScaleK[n] = scale;
        form->cycle()->measurementArrived();
        form->chartView()->ShowChart();
        return history().current();
    }
    // Every file given to the writer is on the disk and the window knows.
    void settle() {
        history().closing();
        QApplication::processEvents();
    }
    QString pathOf(const std::string& name) const {
        return folder + "/" + QString::fromStdString(name);
    }
    std::vector<std::string> commentOf(const std::string& name) const {
        return loadD8cFile(pathOf(name).toStdString()).contents.Comment;
    }
    QStringList shownComments() {
        QStringList rows;
        for (int row = 0; row < panel().tvHistory->model()->rowCount(); ++row)
            rows << panel().tvHistory->model()->index(row, HistoryModel::Comment).data().toString();
        return rows;
    }
    void press(QWidget* w, int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    QStringList historyMessages() const { return test::messages().log.filter("Журнал измерений"); }

    QTemporaryDir appDir;
    QString folder;
    std::unique_ptr<TForm1> form;
};

TEST_F(HistoryTest, ThePanelOpensAMeasurementWithItsOwnCalibrationAndStepsThroughIt) {
    SetUpForm();
    form->mComment->setPlainText("балка");
    const std::string first = arrive(1, 60000, 2.0);
    const std::string second = arrive(2, 60000, 3.0);
    const std::string third = arrive(3, 60000, 4.0);
    settle();
    EXPECT_EQ(third, "2024-05-14_09-03-00.d8c");

    form->btHistory->click();
    ASSERT_TRUE(panel().isVisible());
    QTableView* list = panel().tvHistory;
    ASSERT_EQ(list->model()->rowCount(), 3);
    EXPECT_EQ(panel().selected(), third); // the measurement on show
    EXPECT_EQ(list->model()->index(0, HistoryModel::When).data().toString().isEmpty(), false);

    // A double-click on the oldest opens it as a file is opened: its own scales.
    const QRect cell = list->visualRect(list->model()->index(2, HistoryModel::Comment));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_TRUE(form->Measurement.FromFile);
    EXPECT_EQ(form->Measurement.Scale[1], 2.0);
    EXPECT_EQ(QDir::fromNativeSeparators(QString::fromStdString(form->Measurement.FileName)),
              pathOf(first));
    EXPECT_EQ(history().current(), first);
    EXPECT_EQ(form->mComment->toPlainText(), "балка\nКаналы 12");

    // Next is newer, previous older; Enter opens the selected one.
    panel().btHistNext->click();
    EXPECT_EQ(history().current(), second);
    EXPECT_EQ(form->Measurement.Scale[1], 3.0);
    panel().btHistNext->click();
    EXPECT_EQ(history().current(), third);
    EXPECT_FALSE(panel().btHistNext->isEnabled());
    panel().btHistPrev->click();
    EXPECT_EQ(history().current(), second);
    list->setCurrentIndex(list->model()->index(2, 0));
    press(list, Qt::Key_Return);
    EXPECT_EQ(history().current(), first);
    EXPECT_TRUE(test::messages().log.isEmpty()) << test::messages().log.join('\n').toStdString();

    // Ctrl+H toggles it, whichever of the two windows has the keyboard.
    form->show();
    for (QWidget* window : {static_cast<QWidget*>(&panel()), static_cast<QWidget*>(form.get())}) {
        const bool shown = panel().isVisible();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_H, Qt::ControlModifier);
        EXPECT_NE(panel().isVisible(), shown);
    }
}

TEST_F(HistoryTest, TheFilterFindsCommentsInEitherCaseAndPinnedOnesSurviveDeleting) {
    SetUpForm();
    // The comment field belongs to the measurement on show.
    for (const auto& [minute, comment] : std::vector<std::pair<int, QString>>{
             {1, "Стенд 2, опора"}, {2, "балка"}, {3, "СТЕНД 3"}}) {
        arrive(minute);
        form->mComment->setPlainText(comment);
    }
    settle();
    form->btHistory->click();
    panel().eHistFilter->insert("стенд");
    EXPECT_EQ(shownComments(), (QStringList{"СТЕНД 3", "Стенд 2, опора"}));

    // The pin: the button toggles it, and it reaches the index.
    panel().tvHistory->setCurrentIndex(panel().tvHistory->model()->index(1, 0));
    const std::string pinned = panel().selected();
    panel().btHistPin->click();
    EXPECT_EQ(panel().btHistPin->text(), "Открепить");
    EXPECT_TRUE(history().store().find(pinned)->pinned);

    // Deleting asks first; "no" keeps the measurement, "yes" takes its file.
    QStringList asked;
    bool answer = false;
    panel().confirm = [&](const QString& question) {
        asked << question;
        return answer;
    };
    press(panel().tvHistory, Qt::Key_Delete);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].startsWith("Измерение " + QString::fromStdString(pinned) + " закреплено"));
    EXPECT_TRUE(QFile::exists(pathOf(pinned)));
    panel().eHistFilter->clear();
    panel().tvHistory->setCurrentIndex(panel().tvHistory->model()->index(1, 0));
    const std::string deleted = panel().selected();
    answer = true;
    panel().btHistDelete->click();
    settle();
    EXPECT_FALSE(QFile::exists(pathOf(deleted)));
    EXPECT_EQ(shownComments(), (QStringList{"СТЕНД 3", "Стенд 2, опора"}));

    // The next run finds the pin and not the deleted one.
    form.reset();
    SetUpForm();
    history().store().load();
    ASSERT_EQ(history().store().size(), 2u);
    EXPECT_TRUE(history().store().find(pinned)->pinned);
    EXPECT_EQ(history().store().find(deleted), nullptr);
}

TEST_F(HistoryTest, ACommentFollowsItsMeasurementWhateverComesNext) {
    SetUpForm();
    form->mComment->setPlainText("опыт 1");
    const std::string first = arrive(1);
    // Typed, and at once the next measurement: the first gets what was typed, and the new one
    // what a save would write now, the memo as it stands.
    form->mComment->setPlainText("опыт 1, повторить");
    const std::string second = arrive(2);
    settle();
    EXPECT_EQ(commentOf(first), (std::vector<std::string>{"опыт 1, повторить", "Каналы 12"}));
    EXPECT_EQ(commentOf(second), commentOf(first));

    // Typed, and another file opened before the pause: the typed text is the second's, and
    // the first keeps its own.
    form->mComment->setPlainText("опыт 2");
    ASSERT_TRUE(history().open(first));
    settle();
    EXPECT_EQ(commentOf(second), (std::vector<std::string>{"опыт 2", "Каналы 12"}));
    EXPECT_EQ(commentOf(first), (std::vector<std::string>{"опыт 1, повторить", "Каналы 12"}));

    // Written after a pause in typing, without anything else happening.
    form->mComment->setPlainText("опыт 1, стенд 4");
    QTest::qWait(MeasurementHistory::kCommentDelayMs + 300);
    settle();
    EXPECT_EQ(commentOf(first), (std::vector<std::string>{"опыт 1, стенд 4"}));

    // And at the close, which asks nothing.
    form->mComment->setPlainText("опыт 1, последнее слово");
    form->close();
    EXPECT_EQ(commentOf(first), (std::vector<std::string>{"опыт 1, последнее слово"}));
    EXPECT_TRUE(test::messages().log.isEmpty());
}

TEST_F(HistoryTest, AFolderThatCannotBeWrittenIsToldOnceAndTheMeasurementStays) {
    QFile plain(appDir.path() + "/plain");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    folder = appDir.path() + "/plain/history";
    SetUpForm();
    arrive(1);
    arrive(2);
    settle();
    const QStringList told = historyMessages();
    ASSERT_EQ(told.size(), 1) << test::messages().log.join('\n').toStdString();
    EXPECT_TRUE(told[0].contains(QDir::toNativeSeparators(folder))) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains("Сохранить данные в файл"));
    EXPECT_EQ(form->Measurement.SampleData, std::vector<std::uint8_t>(60000, 2));
    EXPECT_EQ(history().store().size(), 0u);
    form->btHistory->click();
    EXPECT_EQ(panel().tvHistory->model()->rowCount(), 0);
}

TEST_F(HistoryTest, TheOldestUnpinnedGoWhenTheSpaceIsTakenAndTheOperatorIsToldOnce) {
    SetUpForm();
    // Without a change, the settings file is not given the history's keys.
    form->close();
    EXPECT_FALSE(IniFile((appDir.path() + "/" + ini::kFileName).toStdString())
                     .hasKey(ini::kSecHistory, ini::kKeyHistoryLimit));
    form.reset();
    SetUpForm();
    form->gbOptions->seHistoryLimit->setValue(1);
    const std::size_t third = 1024 * 1024 / 3;
    const std::string kept = arrive(1, third);
    settle();
    history().setPinned(kept, true);
    for (int minute = 2; minute <= 6; ++minute)
        arrive(minute, third);
    settle();
    std::vector<std::string> names;
    for (std::size_t row = 0; row < history().store().size(); ++row)
        names.push_back(history().store().at(row).name);
    // Two of a third of a megabyte fit: the newest and, pinned, the oldest.
    EXPECT_EQ(names, (std::vector<std::string>{"2024-05-14_09-06-00.d8c", kept}));
    EXPECT_FALSE(QFile::exists(pathOf("2024-05-14_09-05-00.d8c")));
    EXPECT_EQ(historyMessages().size(), 1);
    form->close();
    EXPECT_EQ(IniFile((appDir.path() + "/" + ini::kFileName).toStdString())
                  .readInteger(ini::kSecHistory, ini::kKeyHistoryLimit, 0),
              1);
}

} // namespace
} // namespace zarvik
