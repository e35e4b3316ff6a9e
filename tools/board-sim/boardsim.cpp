#include "boardsim.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace zarvik::boardsim {
namespace {

constexpr double kBytesPerSecond = 921600.0 / 11;
constexpr std::size_t kPaceChunk = 64;
constexpr int kPeerProbeMs = 20;
constexpr std::uint8_t kStray[] = {0x55, 0xAA, 0x00};

} // namespace

BoardSim::BoardSim(BoardOptions options) : m_options(std::move(options)) {
    if (m_options.steadyLevel < -1 || m_options.steadyLevel > 4095) {
        throw std::invalid_argument("board-sim: a steady level is a code of 0..4095");
    }
    if (::pipe2(m_wake, O_NONBLOCK | O_CLOEXEC) != 0) {
        throw std::runtime_error("board-sim: no pipe");
    }
    m_memory = measure(m_mask, m_divisor, 0, m_options.steadyLevel);
}

BoardSim::~BoardSim() {
    stop();
    closeLine();
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

void BoardSim::open() {
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 || ::grantpt(fd) != 0 || ::unlockpt(fd) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        throw std::runtime_error("board-sim: cannot open a pseudo-terminal");
    }
    char name[128];
    if (::ptsname_r(fd, name, sizeof name) != 0) {
        ::close(fd);
        throw std::runtime_error("board-sim: no device name for the pseudo-terminal");
    }
    // Termios requests on the master act on the device side: make it a raw line, so that a
    // reader that sets nothing still gets the bytes as sent.
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    if (!m_options.linkPath.empty()) {
        ::unlink(m_options.linkPath.c_str());
        if (::symlink(name, m_options.linkPath.c_str()) != 0) {
            ::close(fd);
            throw std::runtime_error("board-sim: cannot create " + m_options.linkPath);
        }
    }
    m_fd = fd;
    m_peerAbsent = true;
    m_peerSeen = false;
    m_need = 0;
    m_measuring = false;
    m_transferPackets = 0;
    m_stallAt = 0;
    m_readsToStall = m_options.stallOnRead;
    {
        std::lock_guard<std::mutex> lock(m_pathMutex);
        m_slavePath = name;
    }
    if (m_opens++ == 0) {
        std::lock_guard<std::mutex> lock(m_recordMutex);
        m_openedAt = Clock::now();
    }
    if (onOpened) {
        onOpened(name);
    }
}

std::string BoardSim::slavePath() const {
    std::lock_guard<std::mutex> lock(m_pathMutex);
    return m_slavePath;
}

void BoardSim::closeLine() {
    if (m_fd < 0) {
        return;
    }
    ::close(m_fd);
    m_fd = -1;
    // As an unplugged board's stable name disappears.
    if (!m_options.linkPath.empty()) {
        ::unlink(m_options.linkPath.c_str());
    }
}

void BoardSim::start() {
    m_stopRequested = false;
    m_thread = std::thread([this] { run(); });
}

void BoardSim::stop() {
    requestStop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void BoardSim::wake() {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &c, 1);
}

void BoardSim::requestStop() {
    m_stopRequested = true;
    wake();
}

void BoardSim::triggerExternalStart() {
    m_triggerRequested = true;
    wake();
}

void BoardSim::hangUp() {
    m_hangUpRequested = true;
    wake();
}

BoardStats BoardSim::stats() const {
    BoardStats s;
    s.greetings = m_greetings;
    s.echoes = m_echoes;
    s.starts = m_starts;
    s.finishes = m_finishes;
    s.reads = m_reads;
    s.packets = m_packets;
    s.repeats = m_repeats;
    s.opens = m_opens;
    return s;
}

std::vector<HostByte> BoardSim::hostBytes() const {
    std::lock_guard<std::mutex> lock(m_recordMutex);
    return m_hostBytes;
}

std::vector<std::chrono::steady_clock::time_point> BoardSim::packetEnds() const {
    std::lock_guard<std::mutex> lock(m_recordMutex);
    return m_packetEnds;
}

void BoardSim::clearRecord() {
    std::lock_guard<std::mutex> lock(m_recordMutex);
    m_hostBytes.clear();
    m_packetEnds.clear();
}

std::chrono::steady_clock::time_point BoardSim::openedAt() const {
    std::lock_guard<std::mutex> lock(m_recordMutex);
    return m_openedAt;
}

int BoardSim::msUntil(Clock::time_point when) const {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(when - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left + 1, 0, 1000000));
}

void BoardSim::run() {
    while (!m_stopRequested) {
        if (m_hangUpRequested.exchange(false)) {
            closeLine();
            if (m_options.reopenAfterMs < 0) {
                return;
            }
            pollfd p{m_wake[0], POLLIN, 0};
            ::poll(&p, 1, m_options.reopenAfterMs);
            if (m_stopRequested) {
                return;
            }
            open();
            continue;
        }
        if (m_fd < 0) {
            return;
        }
        if (m_measuring && !m_triggered &&
            (m_triggerRequested.exchange(false) ||
             (m_autoTrigger && Clock::now() >= m_triggerAt))) {
            m_triggered = true;
            const double seconds =
                measureSeconds(m_mask, m_divisor, m_blocks) * m_options.timeScale;
            m_finishAt =
                Clock::now() + std::chrono::microseconds(static_cast<long long>(seconds * 1e6));
        }
        if (m_measuring && m_triggered && Clock::now() >= m_finishAt) {
            finishMeasurement();
        }

        int timeout = -1;
        if (m_measuring && m_triggered) {
            timeout = msUntil(m_finishAt);
        } else if (m_measuring && m_autoTrigger) {
            timeout = msUntil(m_triggerAt);
        }
        if (m_peerAbsent) {
            timeout = timeout < 0 ? kPeerProbeMs : std::min(timeout, kPeerProbeMs);
        }
        pollfd fds[2] = {{m_wake[0], POLLIN, 0}, {m_peerAbsent ? -1 : m_fd, POLLIN, 0}};
        if (::poll(fds, 2, timeout) < 0 && errno != EINTR) {
            return;
        }
        if (fds[0].revents & POLLIN) {
            char drain[64];
            while (::read(m_wake[0], drain, sizeof drain) > 0) {
            }
        }
        if (m_peerAbsent) {
            // Nobody has the device open while the master reports a hang-up.
            pollfd probe{m_fd, POLLIN, 0};
            ::poll(&probe, 1, 0);
            if (!(probe.revents & POLLHUP)) {
                m_peerAbsent = false;
                m_peerSeen = true;
            }
            continue;
        }
        if (fds[1].revents & POLLIN) {
            std::uint8_t buf[1024];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n > 0) {
                const auto at = Clock::now();
                std::lock_guard<std::mutex> lock(m_recordMutex);
                for (ssize_t i = 0; i < n; ++i) {
                    m_hostBytes.push_back({buf[i], at});
                }
            }
            for (ssize_t i = 0; i < n; ++i) {
                onByte(buf[i]);
            }
        }
        if (fds[1].revents & POLLHUP) {
            m_peerAbsent = true;
            if (m_peerSeen && m_options.exitOnPeerHangUp) {
                return;
            }
        }
    }
}

void BoardSim::onByte(std::uint8_t byte) {
    if (m_need > 0) {
        m_command.push_back(byte);
        if (--m_need == 0) {
            execute();
        }
        return;
    }
    switch (byte) {
    case 0x18:
        if (!m_options.noEcho) {
            send(&byte, 1);
            ++m_echoes;
        }
        break;
    case ')':
        ++m_greetings;
        break;
    case 0x19:
        m_command = {byte};
        m_need = 5;
        break;
    case 0x16:
        m_command = {byte};
        m_need = 1;
        break;
    case 'p':
        m_command = {byte};
        m_need = 4;
        break;
    case 'q':
        sendNextPacket();
        break;
    case 'r':
        // The next "q" gets the last packet again.
        if (stalled()) {
            break;
        }
        if (m_cursor > 0) {
            --m_cursor;
        }
        ++m_repeats;
        break;
    default:
        break;
    }
}

void BoardSim::execute() {
    switch (m_command[0]) {
    case 0x19:
        m_mode = m_command[1];
        m_mask = m_command[2];
        m_divisor = clockDivisorFromBytes(m_command[3], m_command[4]);
        m_blocks = blocksFromCode(m_command[5]);
        startMeasurement((m_mode & 0x10) != 0);
        break;
    case 0x16:
        m_blocks = blocksFromCode(m_command[1]);
        startMeasurement(true);
        break;
    case 'p':
        ++m_reads;
        m_transferPackets = static_cast<std::size_t>(blocksFromCode(m_command[4])) *
                            static_cast<std::size_t>(kPacketsPerBlock);
        m_cursor = 0;
        m_transferSent = 0;
        m_stallAt = --m_readsToStall == 0 ? m_options.stallAfterPackets : 0;
        sendNextPacket();
        break;
    default:
        break;
    }
}

void BoardSim::startMeasurement(bool waitForTrigger) {
    ++m_starts;
    m_transferPackets = 0;
    m_stallAt = 0;
    m_measuring = true;
    m_triggered = !waitForTrigger;
    m_triggerRequested = false;
    m_autoTrigger = waitForTrigger && m_options.triggerAfterMs >= 0;
    if (m_autoTrigger) {
        m_triggerAt = Clock::now() + std::chrono::milliseconds(m_options.triggerAfterMs);
    }
    if (m_triggered) {
        const double seconds = measureSeconds(m_mask, m_divisor, m_blocks) * m_options.timeScale;
        m_finishAt =
            Clock::now() + std::chrono::microseconds(static_cast<long long>(seconds * 1e6));
    }
}

void BoardSim::finishMeasurement() {
    m_measuring = false;
    m_memory = measure(m_mask, m_divisor, m_blocks, m_options.steadyLevel);
    ++m_finishes;
    if (!m_options.noReply) {
        send(&m_options.finishByte, 1);
    }
}

void BoardSim::sendNextPacket() {
    if (m_cursor >= m_transferPackets || stalled()) {
        return;
    }
    const auto packet = encodePacket(m_memory, m_cursor, m_options.packetType);
    ++m_cursor;
    const int n = ++m_sent;
    const auto every = [n](int k) { return k > 0 && n % k == 0; };
    std::vector<std::uint8_t> bytes;
    if (every(m_options.strayEvery)) {
        bytes.assign(std::begin(kStray), std::end(kStray));
    }
    bytes.insert(bytes.end(), packet.begin(), packet.end());
    if (every(m_options.badChecksumEvery)) {
        ++bytes.back();
    }
    if (every(m_options.cutEvery)) {
        send(bytes.data(), bytes.size() / 2);
    } else if (every(m_options.splitEvery)) {
        const std::size_t half = bytes.size() / 2;
        send(bytes.data(), half);
        pollfd p{m_wake[0], POLLIN, 0};
        ::poll(&p, 1, m_options.splitPauseMs);
        send(bytes.data() + half, bytes.size() - half, true);
    } else {
        send(bytes.data(), bytes.size(), true);
    }
    ++m_transferSent;
    ++m_packets;
    if (m_options.hangUpAfterPackets > 0 && m_packets == m_options.hangUpAfterPackets) {
        m_hangUpRequested = true;
    }
}

void BoardSim::send(const std::uint8_t* data, std::size_t size, bool endsPacket) {
    // Stamped before the write, so that the host cannot have the packet before its end is in
    // the record.
    const auto write = [&](const std::uint8_t* piece, std::size_t n) {
        if (endsPacket && piece + n == data + size) {
            std::lock_guard<std::mutex> lock(m_recordMutex);
            m_packetEnds.push_back(Clock::now());
        }
        writeAll(piece, n);
    };
    if (!m_options.pace) {
        write(data, size);
        return;
    }
    // The adapter hands a piece on once its last byte is in, so the host never has a byte
    // before the line could have carried it, and has the last one at the true line end.
    const auto start = Clock::now();
    for (std::size_t done = 0; done < size;) {
        const std::size_t chunk = std::min(kPaceChunk, size - done);
        std::this_thread::sleep_until(start + std::chrono::nanoseconds(static_cast<long long>(
                                                  (done + chunk) * 1e9 / kBytesPerSecond)));
        write(data + done, chunk);
        done += chunk;
    }
}

void BoardSim::writeAll(const std::uint8_t* data, std::size_t size) {
    while (size > 0 && m_fd >= 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, 1000) > 0) {
                continue;
            }
        }
        return; // the host is gone or does not read: the bytes are lost, as on a real line
    }
}

} // namespace zarvik::boardsim
