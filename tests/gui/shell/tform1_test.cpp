#include "chart/chart.h"
#include "shell/tform1.h"
#include "ui/help.h"
#include "ui/operatormessages.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using zarvik::TForm1;

struct Recorder : zarvik::OperatorMessages {
    QStringList* log;
    explicit Recorder(QStringList* l) : log(l) {}
    void information(const QString& t) override { log->append("info:" + t); }
    void message(const QString& t) override { log->append("msg:" + t); }
    void error(const QString& t) override { log->append("error:" + t); }
};

class MainWindowTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString appPath() const { return dir.path() + "/"; }
};

void expectLayoutRule(const TForm1& f) {
    EXPECT_EQ(f.Chart1->width(), f.windowWidth() - 22);
    EXPECT_EQ(f.Chart1->height(), f.windowHeight() - 169);
    EXPECT_EQ(f.gbFile->width(), f.Chart1->width());
    EXPECT_EQ(f.pnlChart->width(), f.Chart1->width());
    EXPECT_EQ(f.gbAllCmnt->width(), f.Chart1->width());
    EXPECT_EQ(f.gbAllCmnt->height(), f.Chart1->height());
    EXPECT_EQ(f.progressBar->width(), f.Chart1->width() - 20);
    EXPECT_EQ(f.mComment->width(), f.gbFile->width() - 16);
    EXPECT_EQ(f.MAllCmnt->width(), f.mComment->width());
    EXPECT_EQ(f.MAllCmnt->height(),
              f.gbAllCmnt->height() - f.pSearch->height() - f.MAllCmnt->y() - 10);
    EXPECT_EQ(f.pSearch->width(), f.gbAllCmnt->width() - 20);
    EXPECT_EQ(f.pSearch->y(), f.gbAllCmnt->height() - f.pSearch->height() - 5);
    EXPECT_EQ(f.btSaveChart->y(), f.Chart1->height() - 26);
    // The regions fill the client area: the chart ends where the status bar begins.
    EXPECT_EQ(f.Chart1->geometry().bottom() + 1, f.status->y());
    EXPECT_EQ(f.status->geometry().bottom() + 1, f.height());
}

TEST_F(MainWindowTest, StartsWithTheDesignStateWithoutASettingsFile) {
    TForm1 f(appPath());
    EXPECT_EQ(f.windowWidth(), 794);
    EXPECT_EQ(f.windowHeight(), 515);
    EXPECT_EQ(f.pos(), QPoint(0, 0));
    for (int n = 1; n <= 8; ++n)
        EXPECT_TRUE(f.cbCh[n]->isChecked()) << n;
    EXPECT_EQ(f.Measurement.ChannelCount, 8);
    EXPECT_EQ(f.gbFT->seF->value(), 2048);
    EXPECT_EQ(f.gbFT->seSamples->value(), 240000);
    EXPECT_EQ(f.Measurement.BlockCount, 8);
    EXPECT_TRUE(f.Measurement.SampleData.empty());
    EXPECT_FALSE(f.Measurement.FromFile);
    EXPECT_EQ(f.BlockCode[1], 224);
    EXPECT_EQ(f.BlockCode[4], 128);
    EXPECT_EQ(f.BlockCode[8], 0);
    EXPECT_EQ(f.windowTitle().left(20), "АЦП 12 бит 8 каналов");
    EXPECT_FALSE(f.btShowCmnt->isEnabled());
    EXPECT_FALSE(f.btPrevFile->isEnabled());
    EXPECT_FALSE(f.btNextFile->isEnabled());
    EXPECT_FALSE(f.btSpectrGo->isEnabled());
    EXPECT_FALSE(f.btTrend->isEnabled());
    EXPECT_TRUE(f.btBoot->isHidden());
    EXPECT_TRUE(f.gbFT->isHidden());
    EXPECT_TRUE(f.gbOptions->isHidden());
    EXPECT_TRUE(f.gbChart->isHidden());
    EXPECT_TRUE(f.mClipBoard->isHidden());
    EXPECT_EQ(f.btStartPlus->text(), "ПУСК ИЗМЕРЕНИЯ");
    EXPECT_TRUE(f.btStartPlus->font().bold());
    expectLayoutRule(f);
}

TEST_F(MainWindowTest, ResizingKeepsTheLayoutRule) {
    TForm1 f(appPath());
    for (auto [w, h] : {std::pair{1000, 700}, {640, 400}, {1920, 1040}}) {
        f.setWindowBounds(h, w, 10, 20);
        QApplication::processEvents();
        EXPECT_EQ(f.windowWidth(), w);
        EXPECT_EQ(f.windowHeight(), h);
        expectLayoutRule(f);
    }
}

TEST_F(MainWindowTest, MaximiseAndRestoreAgainstTheWorkArea) {
    TForm1 f(appPath());
    f.setDesktop(QRect(0, 0, 1280, 984), 1280); // task bar of 40 below a 1024 screen
    f.setWindowBounds(500, 700, 30, 40);
    f.FormClick();
    EXPECT_EQ(f.windowHeight(), 984);
    EXPECT_EQ(f.windowWidth(), 1280);
    EXPECT_EQ(f.pos(), QPoint(0, 0));
    f.FormClick();
    EXPECT_EQ(f.windowHeight(), 500);
    EXPECT_EQ(f.windowWidth(), 700);
    EXPECT_EQ(f.pos(), QPoint(30, 40));
}

TEST_F(MainWindowTest, RestoringAWindowThatWasNeverRestoredGives620By480) {
    TForm1 f(appPath());
    f.setDesktop(QRect(0, 0, 1280, 984), 1280);
    f.setWindowBounds(984, 1280, 0, 0);
    f.FormClick();
    EXPECT_EQ(f.windowHeight(), 480);
    EXPECT_EQ(f.windowWidth(), 620);
    EXPECT_EQ(f.pos(), QPoint(0, 0));
}

TEST_F(MainWindowTest, AClickOnAFreePartMaximisesButAClickOnAControlDoesNot) {
    TForm1 f(appPath());
    f.setDesktop(QRect(0, 0, 1280, 984), 1280);
    f.show();
    QMouseEvent onLabel(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.Header->childAt(5, 5), &onLabel);
    EXPECT_EQ(f.windowWidth(), 794);
    // The strip between the comment box and the chart belongs to the window.
    const QPointF free(f.width() - 2, 110);
    ASSERT_EQ(f.childAt(free.toPoint()), nullptr);
    QMouseEvent onWindow(QEvent::MouseButtonPress, free, f.mapToGlobal(free), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &onWindow);
    EXPECT_EQ(f.windowWidth(), 1280);
}

TEST_F(MainWindowTest, FloatingPanelsToggleWithTheirCaptionsAndColours) {
    TForm1 f(appPath());
    f.show();
    f.btOptionsClick();
    EXPECT_TRUE(f.gbOptions->isVisible());
    EXPECT_EQ(f.btOptions->text(), "Закрыть");
    EXPECT_EQ(f.btOptions->palette().color(QPalette::ButtonText), QColor(Qt::red));
    f.btOptionsClick();
    EXPECT_FALSE(f.gbOptions->isVisible());
    EXPECT_EQ(f.btOptions->text(), "Опции");
    EXPECT_EQ(f.btOptions->palette().color(QPalette::ButtonText), QColor(Qt::black));

    f.btChartClick();
    EXPECT_TRUE(f.gbChart->isVisible());
    EXPECT_EQ(f.btChart->text(), "Закрыть");
    f.btChooseFClick();
    EXPECT_TRUE(f.gbFT->isVisible());
    EXPECT_EQ(f.btChooseF->text(), "Закрыть");
    f.btChooseFClick();
    EXPECT_EQ(f.btChooseF->text(), "Выбор F/T");

    // A click on a free part of the chart panel hides the options panel only.
    f.btOptionsClick();
    ASSERT_TRUE(f.gbOptions->isVisible());
    QMouseEvent click(QEvent::MouseButtonPress,
                      QPointF(f.gbChart->width() - 3, f.gbChart->height() - 3), QPointF(),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.gbChart, &click);
    EXPECT_FALSE(f.gbOptions->isVisible());
    EXPECT_TRUE(f.gbChart->isVisible());
    EXPECT_EQ(f.btOptions->text(), "ОПЦИИ");
    EXPECT_EQ(f.btOptions->palette().color(QPalette::ButtonText), QColor(Qt::black));
}

TEST_F(MainWindowTest, StatusBarHasThreePanelsOf200200And50) {
    TForm1 f(appPath());
    const auto labels = f.status->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(labels.size(), 3);
    EXPECT_EQ(labels[0]->width(), 200);
    EXPECT_EQ(labels[1]->width(), 200);
    EXPECT_EQ(labels[2]->width(), 50);
    f.setStatusText(1, "Fвыборки=2048");
    EXPECT_EQ(f.statusText(1), "Fвыборки=2048");
}

TEST_F(MainWindowTest, ChannelBoxesCountTheSelectedChannels) {
    TForm1 f(appPath());
    f.cbCh[3]->setChecked(false);
    f.cbCh[5]->setChecked(false);
    EXPECT_EQ(f.Measurement.ChannelCount, 6);
}

TEST_F(MainWindowTest, F1OpensTheTopicOfTheFocusedControl) {
    TForm1 f(appPath());
    f.show();
    f.mComment->setFocus();
    QApplication::processEvents();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&f, &f1);
    auto* help = f.findChild<zarvik::HelpViewer*>();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->currentTopic(), "Idh_Comment");
    EXPECT_TRUE(help->toPlainText().contains("Комментарий"));
}

TEST(HelpViewer, EveryContextHasATopic) {
    zarvik::HelpViewer help;
    for (int ctx = 2; ctx <= 8; ++ctx)
        EXPECT_TRUE(help.showContext(ctx)) << ctx;
    EXPECT_TRUE(help.showTopic("Idh_Bgn"));
    EXPECT_FALSE(help.showTopic("Idh_None"));
    EXPECT_EQ(help.currentTopic(), "Idh_Bgn");
}

TEST(OperatorMessages, ErrorsThrownInAHandlerReachTheOperatorAsTheirText) {
    QStringList log;
    auto previous = zarvik::setOperatorMessages(std::make_unique<Recorder>(&log));
    zarvik::guarded([] { throw std::runtime_error("Stream read error"); });
    zarvik::guarded([] {});
    zarvik::setOperatorMessages(std::move(previous));
    EXPECT_EQ(log, QStringList{"error:Stream read error"});
}

} // namespace
