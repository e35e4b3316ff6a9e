// POSIX back end of the serial port component: termios line settings, non-blocking I/O and an
// edge-triggered epoll wait, so that the event thread wakes for newly received bytes only.

#include "device/serial/serbaud.h"
#include "device/serial/serdevice.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace zarvik {
namespace {

// Modem and error events need the driver's interrupt counters; they are sampled this often.
constexpr int kCounterPollMs = 100;
// Device numbers of the pseudo-terminal slaves.
constexpr unsigned int kPtySlaveMajorFirst = 136;
constexpr unsigned int kPtySlaveMajorLast = 143;
constexpr TSerCommEvents kCounterEvents = ceCts | ceDsr | ceRlsd | ceRing | ceBreak | ceError;

bool StandardSpeed(std::uint32_t rate, speed_t& speed) {
    static const struct {
        std::uint32_t rate;
        speed_t speed;
    } table[] = {{50, B50},         {75, B75},         {110, B110},        {134, B134},
                 {150, B150},       {200, B200},       {300, B300},        {600, B600},
                 {1200, B1200},     {1800, B1800},     {2400, B2400},      {4800, B4800},
                 {9600, B9600},     {19200, B19200},   {38400, B38400},    {57600, B57600},
                 {115200, B115200}, {230400, B230400}, {460800, B460800},  {500000, B500000},
                 {576000, B576000}, {921600, B921600}, {1000000, B1000000}};
    for (const auto& e : table) {
        if (e.rate == rate) {
            speed = e.speed;
            return true;
        }
    }
    return false;
}

bool IsPseudoTerminal(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        return false;
    }
    const unsigned int m = major(st.st_rdev);
    return m >= kPtySlaveMajorFirst && m <= kPtySlaveMajorLast;
}

// A tty without modem lines (a pseudo-terminal, some USB bridges) rejects these requests.
bool NoModemLines(int error) {
    return error == ENOTTY || error == EINVAL;
}

class TSerPosixDevice : public TSerDevice {
public:
    ~TSerPosixDevice() override { Close(); }

    int Open(const std::string& name) override {
        const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return errno;
        }
        // Exclusive use: the tty refuses further opens, and a lock keeps out other programs
        // that honour it (the tty's own flag does not hold against a privileged opener).
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno == EWOULDBLOCK ? EBUSY : errno;
            ::close(fd);
            return error;
        }
        if (::ioctl(fd, TIOCEXCL) != 0) {
            const int error = errno;
            ::close(fd);
            return error;
        }
        const int ep = ::epoll_create1(EPOLL_CLOEXEC);
        if (ep < 0) {
            const int error = errno;
            ::close(fd);
            return error;
        }
        // Edge-triggered: one wake-up per arrival of bytes, none for bytes left unread. Bytes
        // already queued now count as an arrival.
        epoll_event ev{};
        ev.events = EPOLLIN | EPOLLET;
        ev.data.fd = fd;
        if (::epoll_ctl(ep, EPOLL_CTL_ADD, fd, &ev) != 0) {
            const int error = errno;
            ::close(ep);
            ::close(fd);
            return error;
        }
        m_fd = fd;
        m_epoll = ep;
        m_hungUp = false;
        m_watching = true;
        m_haveSettings = false;
        m_modemLines = true;
        m_countersKnown = ReadCounters(m_statusCounters);
        return 0;
    }

    void Close() override {
        if (m_fd < 0) {
            return;
        }
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_epoll);
        ::close(m_fd);
        m_fd = -1;
        m_epoll = -1;
    }

    bool IsOpen() const override { return m_fd >= 0; }

    int SetLineSettings(const TSerLineSettings& s) override {
        termios tio{};
        if (::tcgetattr(m_fd, &tio) != 0) {
            return errno;
        }
        ::cfmakeraw(&tio);
        tio.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF | IXANY | IGNPAR | PARMRK);
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | CMSPAR);
        tio.c_cflag |= CLOCAL | CREAD;
        switch (s.ByteSize) {
        case 5:
            tio.c_cflag |= CS5;
            break;
        case 6:
            tio.c_cflag |= CS6;
            break;
        case 7:
            tio.c_cflag |= CS7;
            break;
        case 8:
            tio.c_cflag |= CS8;
            break;
        default:
            return EINVAL;
        }
        switch (s.Parity) {
        case paNone:
            break;
        case paOdd:
            tio.c_cflag |= PARENB | PARODD;
            break;
        case paEven:
            tio.c_cflag |= PARENB;
            break;
        case paMark:
            tio.c_cflag |= PARENB | PARODD | CMSPAR;
            break;
        case paSpace:
            tio.c_cflag |= PARENB | CMSPAR;
            break;
        default:
            return EINVAL;
        }
        // A tty has no 1.5 stop bits setting; the second stop bit gives 1.5 at 5 data bits.
        if (s.StopBits == sb15 || s.StopBits == sb2) {
            tio.c_cflag |= CSTOPB;
        }
        if (s.Flags & lfParity) {
            tio.c_iflag |= INPCK;
        } else {
            tio.c_iflag |= IGNPAR;
        }
        const std::uint32_t rts = s.Flags & lfRtsControlMask;
        if ((s.Flags & lfOutxCtsFlow) || rts == lfRtsControlHandshake) {
            tio.c_cflag |= CRTSCTS;
        }
        if (s.Flags & lfOutX) {
            tio.c_iflag |= IXON;
        }
        if (s.Flags & lfInX) {
            tio.c_iflag |= IXOFF;
        }
        tio.c_cc[VSTART] = static_cast<cc_t>(s.XonChar);
        tio.c_cc[VSTOP] = static_cast<cc_t>(s.XoffChar);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;

        speed_t speed;
        const bool standard = StandardSpeed(s.BaudRate, speed);
        if (standard) {
            ::cfsetispeed(&tio, speed);
            ::cfsetospeed(&tio, speed);
        }
        if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) {
            // The C library reports a dropped parity bit as EINVAL; a pseudo-terminal has no
            // parity (nor rate) and always drops it.
            if (errno != EINVAL || !IsPseudoTerminal(m_fd)) {
                return errno;
            }
        }
        if (!standard) {
            if (const int error = SetCustomBaudrate(m_fd, s.BaudRate)) {
                return error;
            }
        }
        if (const int error = SetModemLine(TIOCM_DTR, (s.Flags & lfDtrControlMask) != 0)) {
            return error;
        }
        if (const int error = SetModemLine(TIOCM_RTS, rts != 0)) {
            return error;
        }
        m_settings = s;
        m_haveSettings = true;
        return 0;
    }

    int GetLineSettings(TSerLineSettings& s) override {
        if (m_haveSettings) {
            s = m_settings;
            return 0;
        }
        termios tio{};
        if (::tcgetattr(m_fd, &tio) != 0) {
            return errno;
        }
        s = TSerLineSettings{};
        s.Flags = lfBinary;
        switch (tio.c_cflag & CSIZE) {
        case CS5:
            s.ByteSize = 5;
            break;
        case CS6:
            s.ByteSize = 6;
            break;
        case CS7:
            s.ByteSize = 7;
            break;
        default:
            s.ByteSize = 8;
            break;
        }
        if (tio.c_cflag & PARENB) {
            s.Parity = (tio.c_cflag & PARODD) ? paOdd : paEven;
        }
        s.StopBits = (tio.c_cflag & CSTOPB) ? sb2 : sb1;
        const speed_t speed = ::cfgetospeed(&tio);
        for (std::uint32_t rate : {110u, 300u, 600u, 1200u, 2400u, 4800u, 9600u, 19200u, 38400u,
                                   57600u, 115200u, 230400u, 460800u, 921600u}) {
            speed_t candidate;
            if (StandardSpeed(rate, candidate) && candidate == speed) {
                s.BaudRate = rate;
            }
        }
        s.XonChar = static_cast<char>(tio.c_cc[VSTART]);
        s.XoffChar = static_cast<char>(tio.c_cc[VSTOP]);
        return 0;
    }

    // A tty's queues are the driver's own; there is nothing to size.
    int SetupQueues(std::uint32_t, std::uint32_t) override { return 0; }

    // The descriptor is non-blocking and VMIN = VTIME = 0: reads already return at once.
    int SetImmediateReads() override { return 0; }

    int SetEventMask(TSerCommEvents mask) override {
        m_mask = mask;
        m_watchCounters = (mask & kCounterEvents) != 0 && ReadCounters(m_eventCounters);
        return 0;
    }

    TSerWaitOutcome WaitCommEvent(TSerEvent& stop) override {
        for (;;) {
            pollfd fds[2] = {{stop.GetHandle(), POLLIN, 0}, {m_epoll, POLLIN, 0}};
            const nfds_t n = m_watching ? 2 : 1;
            const int r = ::poll(fds, n, m_watchCounters ? kCounterPollMs : -1);
            if (r < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return {TSerWaitOutcome::Failed, 0, errno};
            }
            if (fds[0].revents != 0) {
                return {TSerWaitOutcome::Stopped, 0, 0};
            }
            const TSerCommEvents device = n == 2 && fds[1].revents != 0 ? TakeDeviceEvents() : 0;
            TSerCommEvents events = device;
            if (m_watchCounters) {
                events |= CounterEvents();
            }
            // A hang-up ends the line: it is reported whatever the mask, or an owner that does
            // not watch line errors would wait for ever on a device that is gone.
            events = (events & m_mask) | (device & ceError);
            if (events != 0) {
                return {TSerWaitOutcome::Event, events, 0};
            }
        }
    }

    int Read(std::uint8_t* buffer, std::size_t count, int, std::size_t& got) override {
        got = 0;
        if (count == 0 || m_hungUp) {
            return 0;
        }
        const ssize_t n = ::read(m_fd, buffer, count);
        if (n > 0) {
            got = static_cast<std::size_t>(n);
            return 0;
        }
        if (n == 0) {
            // Without VMIN an empty queue also reads as 0 bytes; only a hang-up tells them apart.
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR))) {
                m_hungUp = true;
            }
            return 0;
        }
        if (errno == EAGAIN || errno == EINTR) {
            return 0;
        }
        if (errno == EIO) {
            m_hungUp = true;
            return 0;
        }
        return errno;
    }

    TSerWriteOutcome Write(const std::uint8_t* data, std::size_t count, int timeoutMs,
                           TSerEvent* stop, TSerEvent* purge) override {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const ssize_t n = ::write(m_fd, data, count);
            if (n > 0) {
                return {TSerWriteOutcome::Written, static_cast<std::size_t>(n), 0};
            }
            if (n < 0 && errno == EIO) {
                m_hungUp = true;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return {TSerWriteOutcome::Failed, 0, errno};
            }
            pollfd fds[3];
            nfds_t n_fds = 0;
            fds[n_fds++] = pollfd{m_fd, POLLOUT, 0};
            const nfds_t stopIndex = stop ? n_fds : 99;
            if (stop) {
                fds[n_fds++] = pollfd{stop->GetHandle(), POLLIN, 0};
            }
            const nfds_t purgeIndex = purge ? n_fds : 99;
            if (purge) {
                fds[n_fds++] = pollfd{purge->GetHandle(), POLLIN, 0};
            }
            int wait = -1;
            if (timeoutMs >= 0) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                        .count();
                if (left <= 0) {
                    return {TSerWriteOutcome::TimedOut, 0, 0};
                }
                wait = static_cast<int>(left);
            }
            if (::poll(fds, n_fds, wait) < 0 && errno != EINTR) {
                return {TSerWriteOutcome::Failed, 0, errno};
            }
            if (stopIndex < n_fds && fds[stopIndex].revents != 0) {
                return {TSerWriteOutcome::Stopped, 0, 0};
            }
            if (purgeIndex < n_fds && fds[purgeIndex].revents != 0) {
                return {TSerWriteOutcome::PurgeRequested, 0, 0};
            }
        }
    }

    int GetStatus(std::uint32_t& errors, TSerComStat& stat) override {
        errors = 0;
        stat = TSerComStat{};
        if (m_hungUp) {
            errors = leIoError;
            return 0;
        }
        int in = 0;
        if (::ioctl(m_fd, TIOCINQ, &in) != 0) {
            if (errno == EIO) {
                m_hungUp = true;
                errors = leIoError;
                return 0;
            }
            return errno;
        }
        int out = 0;
        if (::ioctl(m_fd, TIOCOUTQ, &out) != 0) {
            return errno;
        }
        stat.InQueue = static_cast<std::uint32_t>(in);
        stat.OutQueue = static_cast<std::uint32_t>(out);
        serial_icounter_struct now{};
        if (m_countersKnown && ReadCounters(now)) {
            errors = ErrorFlags(m_statusCounters, now);
            m_statusCounters = now;
        }
        return 0;
    }

    int Purge(std::uint32_t flags) override {
        // A line that is gone has nothing left to discard.
        if (m_hungUp) {
            return 0;
        }
        const bool input = (flags & (pfAbortInput | pfClearInput)) != 0;
        const bool output = (flags & (pfAbortOutput | pfClearOutput)) != 0;
        if (!input && !output) {
            return 0;
        }
        const int queue = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
        if (::tcflush(m_fd, queue) != 0) {
            if (errno == EIO) {
                m_hungUp = true;
                return 0;
            }
            return errno;
        }
        return 0;
    }

private:
    int SetModemLine(int line, bool on) {
        if (!m_modemLines) {
            return 0;
        }
        if (::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &line) != 0) {
            if (NoModemLines(errno)) {
                m_modemLines = false;
                return 0;
            }
            return errno;
        }
        return 0;
    }

    bool ReadCounters(serial_icounter_struct& counters) {
        return ::ioctl(m_fd, TIOCGICOUNT, &counters) == 0;
    }

    static std::uint32_t ErrorFlags(const serial_icounter_struct& before,
                                    const serial_icounter_struct& after) {
        std::uint32_t errors = 0;
        if (after.buf_overrun != before.buf_overrun) {
            errors |= leRxOver;
        }
        if (after.overrun != before.overrun) {
            errors |= leOverrun;
        }
        if (after.parity != before.parity) {
            errors |= leRxParity;
        }
        if (after.frame != before.frame) {
            errors |= leFrame;
        }
        if (after.brk != before.brk) {
            errors |= leBreak;
        }
        return errors;
    }

    TSerCommEvents TakeDeviceEvents() {
        epoll_event ev[4];
        const int n = ::epoll_wait(m_epoll, ev, 4, 0);
        TSerCommEvents events = 0;
        for (int i = 0; i < n; ++i) {
            if (ev[i].events & (EPOLLHUP | EPOLLERR)) {
                // The device is gone: report it once and stop watching it, since a hung-up
                // descriptor stays ready for ever.
                m_hungUp = true;
                m_watching = false;
                ::epoll_ctl(m_epoll, EPOLL_CTL_DEL, m_fd, nullptr);
                events |= ceError;
            } else if (ev[i].events & EPOLLIN) {
                events |= ceRxChar;
            }
        }
        return events;
    }

    TSerCommEvents CounterEvents() {
        serial_icounter_struct now{};
        if (!ReadCounters(now)) {
            return 0;
        }
        TSerCommEvents events = 0;
        const serial_icounter_struct& was = m_eventCounters;
        if (now.cts != was.cts) {
            events |= ceCts;
        }
        if (now.dsr != was.dsr) {
            events |= ceDsr;
        }
        if (now.dcd != was.dcd) {
            events |= ceRlsd;
        }
        if (now.rng != was.rng) {
            events |= ceRing;
        }
        if (now.brk != was.brk) {
            events |= ceBreak;
        }
        if (ErrorFlags(was, now) & ~static_cast<std::uint32_t>(leBreak)) {
            events |= ceError;
        }
        m_eventCounters = now;
        return events;
    }

    int m_fd = -1;
    int m_epoll = -1;
    TSerCommEvents m_mask = 0;
    std::atomic<bool> m_hungUp{false};
    bool m_watching = true;
    bool m_modemLines = true;
    bool m_watchCounters = false;
    bool m_countersKnown = false;
    bool m_haveSettings = false;
    TSerLineSettings m_settings;
    serial_icounter_struct m_statusCounters{};
    serial_icounter_struct m_eventCounters{};
};

} // namespace

std::shared_ptr<TSerDevice> CreateSerDevice() {
    return std::make_shared<TSerPosixDevice>();
}

} // namespace zarvik
