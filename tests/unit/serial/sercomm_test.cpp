#include "device/serial/sercomm.h"
#include "device/serial/serconst.h"
#include "unit/serial/pty.h"
#include "unit/serial/uiqueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <map>
#include <mutex>
#include <sstream>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace zarvik {
namespace {

int CountThreads() {
    int n = 0;
    if (DIR* dir = ::opendir("/proc/self/task")) {
        while (dirent* e = ::readdir(dir)) {
            n += e->d_name[0] != '.';
        }
        ::closedir(dir);
    }
    return n;
}

// The number of threads once threads left behind by earlier closes have ended.
int ThreadCount() {
    int n = CountThreads();
    for (int settled = 0; settled < 5;) {
        std::this_thread::sleep_for(10ms);
        const int now = CountThreads();
        settled = now == n ? settled + 1 : 0;
        n = now;
    }
    return n;
}

// Ends the test program when a test hangs, instead of waiting for the runner's time-out.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit)
        : m_thread([this, limit] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_cv.wait_for(lock, limit, [this] { return m_done; })) {
                  std::fprintf(stderr, "deadlock: test did not finish\n");
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_done = false;
    std::thread m_thread;
};

class SerCommTest : public ::testing::Test {
protected:
    SerCommTest() : comm(ui.Invoker()) {
        // The program's settings of its port.
        comm.SetBaudrate(br9600);
        comm.SetParity(paOdd);
        comm.FlowControl().SetControlRts(rtsEnabled);
        comm.SetMonitorEvents(ceRxChar | ceTxEmpty | ceRxFlag);
        comm.SetDeviceName(pty.SlavePath());
    }

    std::string ReadAll(int count) {
        std::string out(static_cast<std::size_t>(count), '\0');
        const int n = comm.ReadBytes(out.data(), count);
        out.resize(static_cast<std::size_t>(n));
        return out;
    }

    test::PtyMaster pty;
    test::UiQueue ui;
    TSerComm comm;
};

TEST_F(SerCommTest, SecondOpenRaisesAndKeepsTheFirstOpening) {
    comm.Open();
    try {
        comm.Open();
        FAIL() << "second Open did not raise";
    } catch (const ESerCommError& e) {
        EXPECT_STREQ(e.what(), "Can't perform this operation while port is open");
    }
    ASSERT_TRUE(comm.IsOpen());
    EXPECT_TRUE(comm.WriteString("abc"));
    const auto got = pty.Read(3);
    EXPECT_EQ(std::string(got.begin(), got.end()), "abc");
}

TEST_F(SerCommTest, OpenFailureNamesDeviceCodeAndSystemText) {
    comm.SetDeviceName("/dev/zarvik-no-such-port%d");
    comm.SetPortNum(7);
    try {
        comm.Open();
        FAIL() << "Open of a missing device did not raise";
    } catch (const ESerCommError& e) {
        EXPECT_STREQ(e.what(), "Unable to open specified device /dev/zarvik-no-such-port7 (2), "
                               "No such file or directory");
        EXPECT_EQ(e.ErrorCode(), ENOENT);
    }
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(SerCommTest, OpenOfSomethingThatIsNoTtyClosesItAgain) {
    comm.SetDeviceName("/dev/null");
    try {
        comm.Open();
        FAIL() << "a non-tty opened as a serial port";
    } catch (const ESerCommError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Unable to open specified device /dev/null (", 0), 0u)
            << e.what();
    }
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(SerCommTest, PortIsExclusive) {
    comm.Open();
    TSerComm other(ui.Invoker());
    other.SetDeviceName(pty.SlavePath());
    EXPECT_THROW(other.Open(), ESerCommError);
    EXPECT_FALSE(other.IsOpen());
    comm.Close();
    EXPECT_NO_THROW(other.Open());
}

TEST_F(SerCommTest, ClosedPortNeitherWritesNorReadsNorRaises) {
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_FALSE(comm.WriteString(")"));
    EXPECT_FALSE(comm.WriteByte(0x18));
    EXPECT_EQ(comm.WriteBytes("abc", 3), 0);
    char buf[8];
    EXPECT_EQ(comm.ReadBytes(buf, 8), 0);
    EXPECT_EQ(comm.InQueueCount(), 0);
    std::uint32_t errors = 1;
    TSerComStat status;
    status.InQueue = 9;
    comm.GetLineStatus(errors, status);
    EXPECT_EQ(errors, 0u);
    EXPECT_EQ(status.InQueue, 0u);
    EXPECT_NO_THROW(comm.PurgeAll());
    EXPECT_FALSE(comm.CheckLineErrors());
    EXPECT_NO_THROW(comm.Close());
}

TEST_F(SerCommTest, ReadReturnsAtOnceWithWhatIsQueued) {
    comm.Buffers().SetReadTimeout(60000);
    comm.Open();
    auto empty = std::async(std::launch::async, [&] { return ReadAll(16); });
    ASSERT_EQ(empty.wait_for(10s), std::future_status::ready)
        << "ReadBytes waited on an empty queue";
    EXPECT_EQ(empty.get(), "");

    pty.Write("hello");
    ASSERT_TRUE(ui.PumpUntil([&] { return comm.InQueueCount() == 5; }, 2s));
    EXPECT_EQ(ReadAll(3), "hel");
    EXPECT_EQ(comm.InQueueCount(), 2);
    EXPECT_EQ(ReadAll(16), "lo");
}

TEST_F(SerCommTest, WritesGoOutInOrderThroughTheWriteThread) {
    comm.Open();
    EXPECT_TRUE(comm.WriteString(")"));
    EXPECT_TRUE(comm.WriteByte(0x18));
    EXPECT_EQ(comm.WriteBytes("\x19\x00\xFF\xE3\xE8\x00", 6), 6);
    const auto got = pty.Read(8);
    const std::vector<std::uint8_t> expected = {0x29, 0x18, 0x19, 0x00, 0xFF, 0xE3, 0xE8, 0x00};
    EXPECT_EQ(got, expected);
}

TEST_F(SerCommTest, WriteLargerThanTheBufferFailsAfterTheTimeout) {
    comm.Buffers().SetWriteTimeout(100);
    comm.Open();
    const std::string big(2049, 'x');
    try {
        comm.WriteString(big);
        FAIL() << "a write larger than the buffer was taken";
    } catch (const ESerCommError& e) {
        EXPECT_STREQ(e.what(), "Output buffer is full. Please check comm status.");
    }
    // A write of exactly the buffer size fits.
    EXPECT_TRUE(comm.WriteString(std::string(2048, 'y')));
    EXPECT_EQ(pty.Read(2048).size(), 2048u);
}

TEST_F(SerCommTest, RxCharComesOnTheUiThreadOncePerArrival) {
    std::vector<int> counts;
    std::vector<std::thread::id> threads;
    comm.OnRxChar = [&](TSerCustomComm&, int count) {
        counts.push_back(count);
        threads.push_back(std::this_thread::get_id());
    };
    comm.Open();
    pty.Write("hello");
    ASSERT_TRUE(ui.PumpUntil([&] { return !counts.empty(); }, 2s));
    // The bytes stay queued and unread: no new event for them.
    ui.PumpFor(300ms);
    ASSERT_EQ(counts.size(), 1u) << counts[0] << " " << counts.back();
    EXPECT_EQ(counts[0], 5);
    EXPECT_EQ(threads[0], std::this_thread::get_id());

    pty.Write("abc");
    ASSERT_TRUE(ui.PumpUntil([&] { return counts.size() == 2; }, 2s));
    EXPECT_EQ(counts[1], 8);
    EXPECT_EQ(ReadAll(100), "helloabc");
    ui.PumpFor(200ms);
    EXPECT_EQ(counts.size(), 2u);
}

TEST_F(SerCommTest, BytesQueuedBeforeOpeningAreAnnounced) {
    int count = 0;
    comm.OnRxChar = [&](TSerCustomComm&, int n) { count = n; };
    // A tty keeps what arrived while nobody had it open only while it is open, so open,
    // receive without the event thread running the handler yet, and reopen the component.
    comm.Open();
    pty.Write("xyz");
    ASSERT_TRUE(ui.PumpUntil([&] { return count == 3; }, 2s));
    comm.Close();
    count = 0;
    TSerComm second(ui.Invoker());
    second.SetDeviceName(pty.SlavePath());
    second.OnRxChar = [&](TSerCustomComm&, int n) { count = n; };
    second.Open();
    pty.Write("12");
    ASSERT_TRUE(ui.PumpUntil([&] { return count > 0; }, 2s));
    EXPECT_GE(count, 2);
}

TEST_F(SerCommTest, EveryByteArrivesWhenTheHandlerReadsWhileDataKeepComing) {
    std::string received;
    comm.OnRxChar = [&](TSerCustomComm& sender, int count) {
        std::string chunk(static_cast<std::size_t>(count), '\0');
        chunk.resize(static_cast<std::size_t>(sender.ReadBytes(chunk.data(), count)));
        received += chunk;
    };
    comm.Open();
    std::string sent;
    for (int i = 0; i < 20000; ++i) {
        sent += static_cast<char>('A' + i % 26);
    }
    std::thread feeder([&] {
        for (std::size_t i = 0; i < sent.size(); i += 503) {
            pty.Write(sent.substr(i, 503));
            std::this_thread::sleep_for(1ms);
        }
    });
    ui.PumpUntil([&] { return received.size() >= sent.size(); }, 10s);
    feeder.join();
    EXPECT_EQ(received, sent);
}

TEST_F(SerCommTest, HandlerExceptionsGoToTheExceptionHandlerAndEventsGoOn) {
    std::vector<std::string> shown;
    comm.SetExceptionHandler([&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& error) {
            shown.push_back(error.what());
        } catch (int) {
            shown.push_back("int");
        }
    });
    int calls = 0;
    comm.OnRxChar = [&](TSerCustomComm& sender, int count) {
        ++calls;
        std::string drop(static_cast<std::size_t>(count), '\0');
        sender.ReadBytes(drop.data(), count);
        if (calls == 1)
            throw std::runtime_error("handler failed");
        throw 7; // not a std::exception
    };
    comm.Open();
    pty.Write("a");
    ASSERT_TRUE(ui.PumpUntil([&] { return calls == 1; }, 2s));
    pty.Write("b");
    ASSERT_TRUE(ui.PumpUntil([&] { return calls == 2; }, 2s));
    EXPECT_EQ(shown, (std::vector<std::string>{"handler failed", "int"}));
}

TEST_F(SerCommTest, EmptyMaskRunsNoEventThread) {
    const int before = ThreadCount();
    comm.SetMonitorEvents(0);
    int calls = 0;
    comm.OnRxChar = [&](TSerCustomComm&, int) { ++calls; };
    comm.Open();
    EXPECT_EQ(ThreadCount(), before + 1); // the write thread only
    pty.Write("data");
    ui.PumpFor(300ms);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(comm.InQueueCount(), 4);
    comm.Close();

    comm.SetMonitorEvents(ceRxChar);
    comm.Open();
    EXPECT_EQ(ThreadCount(), before + 2);
    comm.Close();
    // The event thread was waiting to announce the queued bytes; it ends once that call has
    // run (as a no-op) on this thread.
    ui.PumpFor(50ms);
    EXPECT_EQ(ThreadCount(), before);
    EXPECT_EQ(calls, 0);
}

TEST_F(SerCommTest, DirectWriteWritesWithoutAThread) {
    const int before = ThreadCount();
    comm.SetDirectWrite(true);
    comm.SetMonitorEvents(0);
    comm.Open();
    EXPECT_EQ(ThreadCount(), before);
    EXPECT_EQ(comm.WriteBytes("direct", 6), 6);
    const auto got = pty.Read(6);
    EXPECT_EQ(std::string(got.begin(), got.end()), "direct");
}

std::string Drain(test::PtyMaster& pty) {
    const auto got = pty.Read(1u << 24, 300);
    return std::string(got.begin(), got.end());
}

// With software flow control the far end holds the line with XOFF: the write thread then
// cannot drain the component's buffer until XON.
class HeldLineTest : public SerCommTest {
protected:
    void OpenHeld() {
        comm.FlowControl().SetXonXoffOut(true);
        comm.Open();
        // Input is taken in order: once the byte after XOFF has arrived, the line is held.
        pty.Write("\x13M");
        ASSERT_TRUE(ui.PumpUntil([&] { return comm.InQueueCount() == 1; }, 2s));
    }
    void Release() { pty.Write("\x11"); }
};

TEST_F(HeldLineTest, PurgeOfInputOnlyKeepsTheWriteBuffer) {
    OpenHeld();
    const std::string payload(1000, 'P');
    ASSERT_TRUE(comm.WriteString(payload));
    std::this_thread::sleep_for(50ms); // the write thread now waits for the line
    EXPECT_EQ(Drain(pty), "");
    comm.Purge(pfAbortInput | pfClearInput);
    Release();
    EXPECT_EQ(Drain(pty), payload);
}

TEST_F(HeldLineTest, PurgeAllDropsTheWriteBuffer) {
    OpenHeld();
    ASSERT_TRUE(comm.WriteString(std::string(1000, 'P')));
    std::this_thread::sleep_for(50ms);
    comm.PurgeAll();
    Release();
    EXPECT_EQ(Drain(pty), "");
    // The component still writes after the purge.
    EXPECT_TRUE(comm.WriteString("after"));
    EXPECT_EQ(Drain(pty), "after");
}

TEST_F(HeldLineTest, BufferStaysFullWhileTheLineIsHeld) {
    comm.Buffers().SetWriteTimeout(50);
    OpenHeld();
    ASSERT_TRUE(comm.WriteString(std::string(2000, 'a')));
    try {
        comm.WriteString(std::string(100, 'b'));
        FAIL() << "the full buffer took more";
    } catch (const ESerCommError& e) {
        EXPECT_STREQ(e.what(), "Output buffer is full. Please check comm status.");
    }
    Release();
    EXPECT_EQ(Drain(pty), std::string(2000, 'a'));
    EXPECT_TRUE(comm.WriteString(std::string(100, 'b')));
}

TEST_F(SerCommTest, PurgeAllDiscardsReceivedBytes) {
    comm.Open();
    pty.Write("stale");
    ASSERT_TRUE(ui.PumpUntil([&] { return comm.InQueueCount() == 5; }, 2s));
    comm.PurgeAll();
    EXPECT_EQ(comm.InQueueCount(), 0);
}

TEST_F(SerCommTest, CloseWhileBytesKeepArrivingNeverDeadlocks) {
    const Watchdog watchdog(30s);
    std::atomic<bool> feeding{true};
    std::thread feeder([&] {
        while (feeding) {
            try {
                pty.Write(std::string(64, 'z'));
            } catch (const std::exception&) {
            }
            std::this_thread::sleep_for(200us);
        }
    });
    int afterClose = 0;
    bool closed = false;
    comm.OnRxChar = [&](TSerCustomComm& sender, int count) {
        afterClose += closed;
        std::string drop(static_cast<std::size_t>(count), '\0');
        sender.ReadBytes(drop.data(), count);
    };
    for (int round = 0; round < 60; ++round) {
        closed = false;
        comm.Open();
        // Sometimes close while the event thread waits for this thread to run its dispatch.
        if (round % 2 == 0) {
            ui.PumpFor(std::chrono::milliseconds(round % 5));
        } else {
            std::this_thread::sleep_for(2ms);
        }
        comm.Close();
        closed = true;
        ui.PumpFor(2ms);
    }
    feeding = false;
    feeder.join();
    EXPECT_EQ(afterClose, 0);
}

TEST_F(SerCommTest, DispatchPendingAtDestructionRunsNothing) {
    const Watchdog watchdog(30s);
    int calls = 0;
    {
        TSerComm temp(ui.Invoker());
        temp.SetDeviceName(pty.SlavePath());
        temp.OnRxChar = [&](TSerCustomComm&, int) { ++calls; };
        temp.Open();
        pty.Write("x");
        std::this_thread::sleep_for(100ms); // the event thread now waits for this thread
    }
    ui.PumpFor(100ms);
    EXPECT_EQ(calls, 0);
}

TEST_F(SerCommTest, OnCloseAndOnOpenAreRaised) {
    std::vector<std::string> seen;
    comm.OnOpen = [&](TSerCustomComm&) { seen.push_back("open"); };
    comm.OnClose = [&](TSerCustomComm&) { seen.push_back("close"); };
    comm.Open();
    comm.Close();
    comm.Close();
    EXPECT_EQ(seen, (std::vector<std::string>{"open", "close"}));
}

TEST_F(SerCommTest, TxEmptyFollowsADrainedWrite) {
    int empties = 0;
    comm.OnTxEmpty = [&](TSerCustomComm&) { ++empties; };
    comm.Open();
    comm.WriteString("q");
    EXPECT_TRUE(ui.PumpUntil([&] { return empties == 1; }, 2s));
}

TEST_F(SerCommTest, HangUpIsALineErrorAndNoSpin) {
    comm.SetMonitorEvents(ceRxChar | ceError);
    std::vector<std::uint32_t> errors;
    comm.OnError = [&](TSerCustomComm&, std::uint32_t e) { errors.push_back(e); };
    int rx = 0;
    comm.OnRxChar = [&](TSerCustomComm&, int) { ++rx; };
    comm.Open();
    pty.HangUp();
    ASSERT_TRUE(ui.PumpUntil([&] { return !errors.empty(); }, 2s));
    ui.PumpFor(300ms);
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0] & leIoError, leIoError);
    EXPECT_EQ(rx, 0);
    char buf[8];
    EXPECT_EQ(comm.ReadBytes(buf, 8), 0);
    EXPECT_EQ(comm.InQueueCount(), 0);
    EXPECT_NO_THROW(comm.PurgeAll());
    EXPECT_TRUE(comm.CheckLineErrors());
    EXPECT_NO_THROW(comm.Close());
}

// The program's port watches only received bytes and the event character, and must still
// learn of a board unplugged while it measures.
TEST_F(SerCommTest, HangUpIsReportedAlsoWhenLineErrorsAreNotWatched) {
    std::vector<std::uint32_t> errors;
    comm.OnError = [&](TSerCustomComm&, std::uint32_t e) { errors.push_back(e); };
    comm.Open();
    pty.HangUp();
    ASSERT_TRUE(ui.PumpUntil([&] { return !errors.empty(); }, 2s));
    EXPECT_EQ(errors[0] & leIoError, leIoError);
}

TEST_F(SerCommTest, WritesToAHungUpLineAreDroppedAndReported) {
    std::vector<std::uint32_t> errors;
    comm.OnError = [&](TSerCustomComm&, std::uint32_t e) { errors.push_back(e); };
    comm.Open();
    pty.HangUp();
    EXPECT_TRUE(comm.WriteByte(0x18));
    ASSERT_TRUE(ui.PumpUntil([&] { return !errors.empty(); }, 2s));
    ui.PumpFor(200ms);
    // The hang-up and the failed write, each once at most.
    EXPECT_LE(errors.size(), 2u);
    for (const std::uint32_t e : errors)
        EXPECT_EQ(e & leIoError, leIoError);
}

TEST_F(SerCommTest, LineSettingsOfTheProgramsPort) {
    comm.Open();
    const TSerLineSettings s = comm.GetLineSettings();
    EXPECT_EQ(s.BaudRate, 9600u);
    EXPECT_EQ(s.Flags, static_cast<std::uint32_t>(lfBinary | lfRtsControlEnable));
    EXPECT_EQ(s.XonLim, 1024);
    EXPECT_EQ(s.XoffLim, 1024);
    EXPECT_EQ(s.ByteSize, 8);
    EXPECT_EQ(s.Parity, paOdd);
    EXPECT_EQ(s.StopBits, sb1);
    EXPECT_EQ(s.XonChar, 17);
    EXPECT_EQ(s.XoffChar, 19);

    // Raw eight-bit line, as seen through another descriptor of the same tty.
    const int fd = ::open(pty.SlavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL), 0u);
}

TEST_F(SerCommTest, BaudRateOfTheOpenPortIsReadChangedAndWrittenBack) {
    comm.Open();
    TSerLineSettings s = comm.GetLineSettings();
    s.BaudRate = 921600;
    comm.SetLineSettings(s);
    EXPECT_EQ(comm.GetLineSettings().BaudRate, 921600u);
    // A rate outside the classic table.
    EXPECT_NO_THROW(comm.SetBaudrate(br14400));
    EXPECT_EQ(comm.GetLineSettings().BaudRate, 14400u);
    comm.SetUserBaudrate(921600);
    EXPECT_EQ(comm.Baudrate(), brUser);
    EXPECT_EQ(comm.GetLineSettings().BaudRate, 921600u);
    comm.SetBaudrate(br115200);
    EXPECT_EQ(comm.UserBaudrate(), 0u);
    EXPECT_EQ(comm.GetLineSettings().BaudRate, 115200u);
}

TEST_F(SerCommTest, RejectedLineSettingKeepsTheOldValue) {
    comm.Open();
    try {
        comm.SetDatabits(db4);
        FAIL() << "four data bits were accepted";
    } catch (const ESerCommError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Error writing dcb (22), ", 0), 0u) << e.what();
    }
    EXPECT_EQ(comm.Databits(), db8);
    EXPECT_EQ(comm.GetLineSettings().ByteSize, 8);
}

TEST_F(SerCommTest, SettingsThatNeedAClosedPortRaiseWhileOpen) {
    comm.Open();
    const auto expectRefused = [](const auto& change) {
        try {
            change();
            ADD_FAILURE() << "accepted while open";
        } catch (const ESerCommError& e) {
            EXPECT_STREQ(e.what(), "Can't perform this operation while port is open");
        }
    };
    expectRefused([&] { comm.SetPortNum(3); });
    expectRefused([&] { comm.SetDeviceName("COM%d"); });
    expectRefused([&] { comm.SetMonitorEvents(0); });
    expectRefused([&] { comm.SetDirectWrite(true); });
    expectRefused([&] { comm.SetUpdateDCB(false); });
    expectRefused([&] { comm.Buffers().SetWriteSize(16); });
    EXPECT_EQ(comm.PortNum(), 0);
    EXPECT_EQ(comm.DeviceName(), pty.SlavePath());
    EXPECT_EQ(comm.Buffers().WriteSize(), 2048);
    EXPECT_FALSE(comm.DirectWrite());
    // Line settings apply at once instead.
    EXPECT_NO_THROW(comm.SetParity(paEven));
    EXPECT_EQ(comm.GetLineSettings().Parity, paEven);
    EXPECT_NO_THROW(comm.SetEventPriority(tpLower));
    comm.Close();
    EXPECT_NO_THROW(comm.Buffers().SetWriteSize(16));
}

TEST_F(SerCommTest, FailedOpenReleasesTheDevice) {
    comm.SetDatabits(db4); // no tty takes four data bits
    try {
        comm.Open();
        FAIL() << "four data bits were accepted";
    } catch (const ESerCommError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Error writing dcb (22), ", 0), 0u) << e.what();
    }
    EXPECT_FALSE(comm.IsOpen());
    comm.SetDatabits(db8);
    EXPECT_NO_THROW(comm.Open());
}

// The nice value of each of this process's threads, by thread id.
std::map<int, int> ThreadNiceValues() {
    std::map<int, int> values;
    if (DIR* dir = ::opendir("/proc/self/task")) {
        while (dirent* e = ::readdir(dir)) {
            if (e->d_name[0] == '.') {
                continue;
            }
            std::string text;
            try {
                std::ifstream stat(std::string("/proc/self/task/") + e->d_name + "/stat");
                text.assign(std::istreambuf_iterator<char>(stat), {});
            } catch (const std::exception&) {
                continue; // the thread ended meanwhile
            }
            if (text.rfind(')') == std::string::npos) {
                continue;
            }
            // Fields after the command name (which ends with ')'): nice is the 17th.
            std::istringstream fields(text.substr(text.rfind(')') + 2));
            std::string field;
            for (int i = 0; i < 17 && fields >> field; ++i) {
            }
            values[std::atoi(e->d_name)] = std::atoi(field.c_str());
        }
        ::closedir(dir);
    }
    return values;
}

// Only lowering: raising a thread's priority needs a privilege the tests may not have.
TEST_F(SerCommTest, ThreadPrioritiesApplyAtOnceToRunningThreads) {
    ThreadCount(); // threads left by earlier tests have ended
    const auto before = ThreadNiceValues();
    comm.SetEventPriority(tpLower);
    comm.SetWritePriority(tpIdle);
    comm.Open();
    // The nice values of the component's threads, sorted, once both have started.
    const auto ours = [&] {
        std::vector<int> nice;
        for (int i = 0; i < 100; ++i) {
            nice.clear();
            for (const auto& [tid, value] : ThreadNiceValues()) {
                if (before.count(tid) == 0) {
                    nice.push_back(value);
                }
            }
            std::sort(nice.begin(), nice.end());
            if (nice.size() == 2 && nice[0] != 0) {
                break;
            }
            std::this_thread::sleep_for(10ms);
        }
        return nice;
    };
    EXPECT_EQ(ours(), (std::vector<int>{5, 19}));
    comm.SetEventPriority(tpLowest);
    EXPECT_EQ(ours(), (std::vector<int>{10, 19}));
}

TEST_F(SerCommTest, AutoOpenOpensWhenLoaded) {
    comm.Loaded();
    EXPECT_FALSE(comm.IsOpen());
    comm.SetAutoOpen(true);
    comm.Loaded();
    EXPECT_TRUE(comm.IsOpen());
}

} // namespace
} // namespace zarvik
