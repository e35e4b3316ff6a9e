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
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

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
    ASSERT_EQ(log().size(), 1);
    EXPECT_TRUE(log()[0].startsWith("info:USB-устройство в реестре не обнаружено\n\n"));
    // Where the operator can look next: the identity searched for and the way round it.
    for (const char* hint : {"10C4:EA61", "/dev/zarvik-adc", "ZARVIK_PORT"})
        EXPECT_TRUE(log()[0].contains(hint)) << hint;
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

TEST(PortAccessMessageTest, TellsHowToMendWhatStandsInTheWay) {
    struct Case {
        const char* what;
        zarvik::PortAccess access;
        std::vector<const char*> says;
        std::vector<const char*> doesNotSay;
    };
    const auto access = [](const char* user, const char* group, bool known, bool rw, bool now,
                           bool listed) {
        zarvik::PortAccess a;
        a.node = "/dev/ttyUSB0";
        a.user = user;
        a.group = group;
        a.known = known;
        a.groupMayReadWrite = rw;
        a.inGroupNow = now;
        a.inGroupListed = listed;
        return a;
    };
    const Case cases[] = {
        {"not in the group",
         access("ivan", "dialout", true, true, false, false),
         {"группе «dialout», а пользователь ivan в неё не входит", "sudo usermod -aG dialout ivan",
          "войдите в систему заново"},
         {"уже внесён"}},
        {"another group owns the port",
         access("ivan", "uucp", true, true, false, false),
         {"sudo usermod -aG uucp ivan"},
         {}},
        {"joined, but the session is older",
         access("ivan", "dialout", true, true, false, true),
         {"ivan уже внесён в группу «dialout»", "Выйдите из системы и войдите снова"},
         {"usermod"}},
        {"owned by root: the rule, not the group",
         access("ivan", "root", true, true, false, false),
         {"группа «root»", "udevadm control --reload-rules"},
         {"usermod"}},
        {"the group may not read and write",
         access("ivan", "dialout", true, false, false, false),
         {"группа «dialout»", "переподключите АЦП"},
         {"usermod"}},
        {"in the group and still refused",
         access("ivan", "dialout", true, true, true, true),
         {"ACL", "ls -l /dev/ttyUSB0"},
         {"usermod", "войдите"}},
        {"nothing known of the node",
         access("ivan", "", false, false, false, false),
         {"ls -l /dev/ttyUSB0"},
         {"usermod"}},
        {"no user name",
         access("", "dialout", true, true, false, false),
         {"sudo usermod -aG dialout $USER"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString text = LinkSupervisor::portAccessMessage(c.access, "Permission denied");
        EXPECT_TRUE(text.startsWith("Нет доступа к порту АЦП /dev/ttyUSB0: Permission denied.\n\n"))
            << text.toStdString();
        // Every case names the rule that gives the port to the serial group.
        EXPECT_TRUE(text.contains("60-zarvik.rules") && text.contains("/dev/zarvik-adc"));
        for (const char* s : c.says)
            EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << "\n" << text.toStdString();
        for (const char* s : c.doesNotSay)
            EXPECT_FALSE(text.contains(QString::fromUtf8(s))) << s << "\n" << text.toStdString();
    }
}

// A real refusal: as root the test gives up its file-system rights for the opening (the
// program opens the port on this thread) against a port of the serial group; otherwise the
// test's own port is closed to its owner.
TEST_F(LinkTest, APortTheUserMayNotOpenSaysWhoOwnsItAndHowToMendIt) {
    zarvik::test::PtyMaster pty;
    const std::string tty = pty.SlavePath();
    const bool root = ::geteuid() == 0;
    const passwd* nobody = ::getpwnam("nobody");
    const group* dialout = ::getgrnam("dialout");
    if (root) {
        ASSERT_NE(nobody, nullptr);
        ASSERT_NE(dialout, nullptr);
        ASSERT_EQ(::chown(tty.c_str(), 0, dialout->gr_gid), 0);
        ASSERT_EQ(::chmod(tty.c_str(), 0660), 0);
    } else {
        ASSERT_EQ(::chmod(tty.c_str(), 0), 0);
    }
    portAt(tty);
    const auto openAs = [&](Sender sender) {
        if (root)
            ::setfsuid(nobody->pw_uid);
        link->OpenPort(sender);
        if (root)
            ::setfsuid(0);
    };
    openAs(Sender::Window);
    ASSERT_EQ(::setfsuid(static_cast<uid_t>(-1)), static_cast<int>(::geteuid()))
        << "file-system rights not given back";
    ASSERT_EQ(log().size(), 1);
    const QString shown = log()[0];
    EXPECT_TRUE(
        shown.startsWith(QString::fromStdString("info:Нет доступа к порту АЦП " + tty + ": ")))
        << shown.toStdString();
    EXPECT_FALSE(shown.contains("подключите АЦП. Для просмотра"));
    if (root) {
        EXPECT_TRUE(shown.contains("«dialout»") && shown.contains("sudo usermod -aG dialout root"))
            << shown.toStdString();
    }
    EXPECT_EQ(status, "USB: нет доступа к порту");
    EXPECT_FALSE(link->Comm().IsOpen());
    EXPECT_TRUE(link->timConnect->isActive());
    openAs(Sender::timConnect);
    EXPECT_EQ(log().size(), 1) << "the reconnect loop tries silently";
    // Once the port is the user's, the link comes up.
    ASSERT_EQ(::chmod(tty.c_str(), 0666), 0);
    openAs(Sender::btUSB);
    EXPECT_TRUE(link->Comm().IsOpen());
    EXPECT_EQ(status, "USB: Связь установлена");
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
