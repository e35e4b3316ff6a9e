#include "unit/device/host.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace zarvik::boardsim {
namespace {

// The board-sim program as a child process, its standard output read line by line.
class BoardProcess {
public:
    explicit BoardProcess(std::vector<std::string> args) {
        int out[2];
        if (::pipe(out) != 0) {
            throw std::runtime_error("no pipe");
        }
        args.insert(args.begin(), ZARVIK_BOARD_SIM);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv;
            for (auto& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_out = out[0];
    }
    ~BoardProcess() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_out);
    }

    // The next line of output; empty when none comes in time.
    std::string readLine() {
        std::string line;
        char c;
        while (true) {
            pollfd p{m_out, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0 || ::read(m_out, &c, 1) != 1) {
                return line;
            }
            if (c == '\n') {
                return line;
            }
            line += c;
        }
    }

    void signal(int number) { ::kill(m_pid, number); }

    // The exit status, or -1 when the program does not end in time.
    int waitExit() {
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
};

TEST(BoardProgramTest, PlaysTheBoardUnplugsOnSignalAndEndsOnTerm) {
    char dir[] = "/tmp/zarvik-board-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string link = std::string(dir) + "/board";
    BoardProcess board({"--link", link, "--reopen-after", "100", "--pace", "--time-scale", "0"});
    const std::string first = board.readLine();
    ASSERT_EQ(first.rfind("/dev/pts/", 0), 0u) << first;
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), first);
    {
        Host host(link);
        host.send({0x18});
        EXPECT_EQ(host.take(1), Bytes{0x18});
        host.send({0x19, 0x00, 0x01, 0xE3, 0xE8, 0xE0});
        EXPECT_EQ(host.take(1), Bytes{0x0A});
        host.send({'p', 0x00, 0x00, 0x00, 0xE0});
        const auto expected = encodePacket(measure(0x01, 7200, 1), 0, 'q');
        EXPECT_EQ(host.take(kPacketSize), Bytes(expected.begin(), expected.end()));

        board.signal(SIGUSR2); // unplugged ...
        EXPECT_TRUE(host.waitLineLost());
    }
    const std::string second = board.readLine(); // ... and plugged in again
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), second);
    {
        Host host(link);
        host.send({0x18});
        EXPECT_EQ(host.take(1), Bytes{0x18});
    }
    board.signal(SIGTERM);
    EXPECT_EQ(board.waitExit(), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    std::filesystem::remove_all(dir);
}

TEST(BoardProgramTest, ExternalStartBySignalZeroLevelAndTheRecordAtTheEnd) {
    const std::string record = "/tmp/zarvik-record-" + std::to_string(::getpid());
    BoardProcess board({"--time-scale", "0", "--steady", "0", "--record", record});
    const std::string path = board.readLine();
    ASSERT_FALSE(path.empty());
    Host host(path);
    host.send({0x19, 0x10, 0x01, 0xE3, 0xE8, 0xE0});
    host.pump(100ms);
    EXPECT_EQ(host.pending(), 0u);
    board.signal(SIGUSR1);
    EXPECT_EQ(host.take(1), Bytes{0x0A});
    host.send({'p', 0x00, 0x00, 0x00, 0xE0});
    Bytes zero(kPacketSize, 0); // channel 1 at 0, its index 0; the checksum is the type byte's
    zero.front() = zero.back() = 'q';
    EXPECT_EQ(host.take(kPacketSize), zero);
    board.signal(SIGINT);
    EXPECT_EQ(board.waitExit(), 0);
    // In time order: the host's bytes, then the packet's end.
    std::ifstream in(record);
    std::string got;
    for (std::string first, second; in >> first >> second;) {
        got += (first == "packet-end" ? "end" : second) + " ";
    }
    EXPECT_EQ(got, "19 10 01 e3 e8 e0 70 00 00 00 e0 end ");
    std::filesystem::remove(record);
}

TEST(BoardProgramTest, RefusesWhatItCannotPlay) {
    const std::vector<std::vector<std::string>> cases = {
        {"--no-such-switch"}, {"--steady"}, {"--steady", "-1"}, {"--steady", "4096"}};
    for (const auto& args : cases) {
        BoardProcess board(args);
        EXPECT_EQ(board.waitExit(), 2) << args[0] << " " << args.back();
    }
}

} // namespace
} // namespace zarvik::boardsim
