#pragma once
// The far end of a pseudo-terminal for the serial tests: the component opens the slave device,
// the test reads and writes the master.

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace zarvik::test {

class PtyMaster {
public:
    PtyMaster() {
        m_fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        m_slave = ::ptsname(m_fd);
    }
    PtyMaster(const PtyMaster&) = delete;
    PtyMaster& operator=(const PtyMaster&) = delete;
    ~PtyMaster() { HangUp(); }

    const std::string& SlavePath() const { return m_slave; }
    int Fd() const { return m_fd; }

    void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
    void Write(const void* data, std::size_t size) {
        const auto* p = static_cast<const char*>(data);
        while (size > 0) {
            const ssize_t n = ::write(m_fd, p, size);
            if (n < 0) {
                if (errno != EAGAIN) {
                    throw std::runtime_error("pty write failed");
                }
                pollfd pfd{m_fd, POLLOUT, 0};
                ::poll(&pfd, 1, 100);
                continue;
            }
            p += n;
            size -= static_cast<std::size_t>(n);
        }
    }

    // Reads until count bytes have come or nothing more arrives for quietMs.
    std::vector<std::uint8_t> Read(std::size_t count, int quietMs = 1000) {
        std::vector<std::uint8_t> out;
        std::uint8_t buf[4096];
        while (out.size() < count) {
            pollfd pfd{m_fd, POLLIN, 0};
            if (::poll(&pfd, 1, quietMs) <= 0) {
                break;
            }
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0) {
                if (n < 0 && errno == EAGAIN) {
                    continue;
                }
                break;
            }
            out.insert(out.end(), buf, buf + n);
        }
        return out;
    }

    void HangUp() {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }

private:
    int m_fd = -1;
    std::string m_slave;
};

} // namespace zarvik::test
