#include "boardsim.h"
#include "device/linksupervisor.h"
#include "recordingmessages.h"
#include "unit/serial/pty.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using zarvik::LinkSupervisor;
using zarvik::UsbComPort;
using Sender = zarvik::LinkSupervisor::Sender;

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        zarvik::test::messages().log.clear();
        LinkSupervisor::Controls c;
        c.btUSB = &usb;
        c.btStart = &start;
        c.btStartPlus = &startPlus;
        c.setStatus = [this](int panel, const QString& text) {
            if (panel == 0)
                status = text;
        };
        link = std::make_unique<LinkSupervisor>(c);
    }
    void TearDown() override { link.reset(); }

    void portAt(const std::string& device) {
        link->findPort = [device] {
            UsbComPort p;
            p.PortNumber = device.empty() ? -1 : 1;
            p.DeviceName = device;
            return p;
        };
    }
    // Runs the event loop until `done` holds or the time is up.
    template <class F> bool waitFor(F done, int ms) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    QStringList log() const { return zarvik::test::messages().log; }

    QToolButton usb;
    QPushButton start;
    QPushButton startPlus;
    QString status;
    std::unique_ptr<LinkSupervisor> link;
};

TEST_F(LinkTest, NoBoardAtStartUpGivesOneMessageAndTheBlinkingLoop) {
    portAt("");
    link->OpenPort(Sender::Window);
    EXPECT_EQ(log(), QStringList{"info:USB-устройство в реестре не обнаружено"});
    EXPECT_TRUE(link->timConnect->isActive());
    EXPECT_FALSE(link->timCheckUSB->isActive());
    EXPECT_FALSE(start.isEnabled());
    EXPECT_FALSE(startPlus.isEnabled());
    // The loop does not search again and stays silent.
    const QIcon before = usb.icon();
    link->timConnectTimer();
    link->timConnectTimer();
    EXPECT_EQ(log().size(), 1);
    EXPECT_EQ(link->ConnectBlinkCount, 2);
    // The operator's click searches without a message when nothing is found.
    link->btUSBClick();
    EXPECT_EQ(log().size(), 1);
    EXPECT_FALSE(start.isEnabled());
    (void)before;
}

TEST_F(LinkTest, APortThatWillNotOpenGivesTheLongMessageOnceAndRetriesSilently) {
    QTemporaryDir dir;
    portAt((dir.path() + "/no-such-tty").toStdString());
    link->OpenPort(Sender::Window);
    ASSERT_EQ(log().size(), 1);
    EXPECT_TRUE(log()[0].startsWith("info:Если необходимо выполнить измерения, подключите АЦП."));
    EXPECT_EQ(status, "USB: нет связи");
    EXPECT_TRUE(link->timConnect->isActive());
    link->OpenPort(Sender::timConnect);
    EXPECT_EQ(log().size(), 1) << "the reconnect loop tries silently";
    EXPECT_FALSE(link->Comm().IsOpen());
}

TEST_F(LinkTest, OpeningTheBoardGreetsItAndStartsTheLinkCheck) {
    zarvik::boardsim::BoardSim board;
    board.open();
    board.start();
    portAt(board.slavePath());
    link->OpenPort(Sender::Window);
    EXPECT_TRUE(log().isEmpty()) << log().join("\n").toStdString();
    EXPECT_TRUE(link->Comm().IsOpen());
    EXPECT_EQ(status, "USB: Связь установлена");
    EXPECT_TRUE(start.isEnabled());
    EXPECT_TRUE(startPlus.isEnabled());
    EXPECT_TRUE(link->timCheckUSB->isActive());
    EXPECT_FALSE(link->timConnect->isActive());
    EXPECT_TRUE(waitFor([&] { return board.stats().greetings == 1; }, 2000));
    // Echoes keep the link up over several ticks.
    EXPECT_TRUE(waitFor([&] { return board.stats().echoes >= 3; }, 5000));
    EXPECT_TRUE(log().isEmpty());
    EXPECT_EQ(status, "USB: Связь установлена");
    link.reset();
    board.stop();
}

TEST_F(LinkTest, ABoardThatStopsEchoingIsReportedWithinTwoSeconds) {
    zarvik::boardsim::BoardOptions options;
    options.noEcho = true;
    zarvik::boardsim::BoardSim board(options);
    board.open();
    board.start();
    portAt(board.slavePath());
    link->OpenPort(Sender::Window);
    ASSERT_TRUE(link->Comm().IsOpen());
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(waitFor([&] { return !log().isEmpty(); }, 3000));
    EXPECT_LE(t.elapsed(), 2600); // two ticks of the one-second check, and room for a busy machine
    EXPECT_EQ(log(), QStringList{"msg:Для восстановления связи просто подключите устройство"});
    EXPECT_EQ(status, "USB: нет связи");
    EXPECT_FALSE(start.isEnabled());
    EXPECT_FALSE(link->timCheckUSB->isActive());
    EXPECT_TRUE(link->timConnect->isActive());
    link.reset();
    board.stop();
}

// The loss message is modal: the reconnect loop keeps running while it is open.
struct ReconnectWhileShown : zarvik::OperatorMessages {
    LinkSupervisor* link = nullptr;
    QStringList shown;
    void information(const QString& t) override { shown << t; }
    void message(const QString& t) override {
        shown << t;
        link->OpenPort(Sender::timConnect);
    }
    void error(const QString& t) override { shown << t; }
};

TEST_F(LinkTest, ALinkBackBeforeTheLossMessageIsClosedIsNotLostAgain) {
    zarvik::boardsim::BoardSim board;
    board.open();
    board.start();
    portAt(board.slavePath());
    link->OpenPort(Sender::Window);
    ASSERT_TRUE(link->Comm().IsOpen());

    auto recorder = std::make_unique<ReconnectWhileShown>();
    recorder->link = link.get();
    ReconnectWhileShown& shown = *recorder;
    auto previous = zarvik::setOperatorMessages(std::move(recorder));
    link->LinkCheckAnswered = false; // the echo did not come
    link->timCheckUSBTimer();
    EXPECT_EQ(status, "USB: Связь установлена");
    EXPECT_TRUE(start.isEnabled());
    EXPECT_FALSE(link->timConnect->isActive());
    // The next tick checks the fresh link instead of finding it lost.
    const int echoes = board.stats().echoes;
    link->timCheckUSBTimer();
    EXPECT_EQ(shown.shown.size(), 1);
    EXPECT_TRUE(waitFor([&] { return board.stats().echoes > echoes; }, 2000));
    zarvik::setOperatorMessages(std::move(previous));

    // Without an open port a finished drawing has no link to check.
    link->closePort();
    link->timCheckUSB->stop();
    link->resumeLinkCheck();
    EXPECT_FALSE(link->timCheckUSB->isActive());
    link.reset();
    board.stop();
}

TEST_F(LinkTest, AnEchoByteThatCannotGoOutIsShownAndTheLinkIsThenLost) {
    zarvik::test::PtyMaster board;
    portAt(board.SlavePath());
    link->Comm().FlowControl().SetXonXoffOut(true);
    link->Comm().Buffers().SetWriteTimeout(50);
    link->OpenPort(Sender::Window);
    ASSERT_TRUE(link->Comm().IsOpen());
    link->timCheckUSB->stop();
    // XOFF holds the line, so the write buffer cannot drain; input is taken in order, so once
    // the echo after it has been read the line is held.
    link->LinkCheckPending = true;
    link->LinkCheckAnswered = false;
    board.Write("\x13\x18");
    ASSERT_TRUE(waitFor([&] { return link->LinkCheckAnswered; }, 2000));
    // Filled to the last byte.
    EXPECT_THROW(for (int i = 0; i < 100000; ++i) link->Comm().WriteByte('a'),
                 zarvik::ESerCommError);
    link->timCheckUSB->start(20);
    ASSERT_TRUE(waitFor([&] { return log().size() >= 2; }, 3000));
    EXPECT_EQ(log().mid(0, 2),
              (QStringList{"error:Output buffer is full. Please check comm status.",
                           "msg:Для восстановления связи просто подключите устройство"}));
    EXPECT_FALSE(link->timCheckUSB->isActive());
    link.reset();
}

TEST_F(LinkTest, TheReconnectLoopReopensThePortWhenTheBoardComesBack) {
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/board").toStdString();
    zarvik::boardsim::BoardOptions options;
    options.linkPath = path;
    options.reopenAfterMs = 1500;
    zarvik::boardsim::BoardSim board(options);
    board.open();
    board.start();
    portAt(path);
    link->OpenPort(Sender::Window);
    ASSERT_TRUE(start.isEnabled());
    ASSERT_TRUE(waitFor([&] { return board.stats().greetings == 1; }, 2000));

    board.hangUp(); // unplugged; back after a while under the same name
    ASSERT_TRUE(waitFor([&] { return link->timConnect->isActive(); }, 4000));
    EXPECT_FALSE(start.isEnabled());
    ASSERT_TRUE(waitFor([&] { return start.isEnabled(); }, 6000));
    EXPECT_FALSE(link->timConnect->isActive());
    EXPECT_TRUE(link->timCheckUSB->isActive());
    EXPECT_EQ(status, "USB: Связь установлена");
    // The board is greeted again, and the link check runs on the new line.
    EXPECT_TRUE(waitFor([&] { return board.stats().greetings == 2; }, 2000));
    const int echoes = board.stats().echoes;
    EXPECT_TRUE(waitFor([&] { return board.stats().echoes > echoes; }, 2500));
    link.reset();
    board.stop();
}

} // namespace
