#include "device/serial/serobjects.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#ifndef NOMINMAX
#ifndef NOMINMAX
#define NOMINMAX
#endif
#endif
#include <windows.h>
#else
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#endif

namespace zarvik {

#ifdef _WIN32

TSerHandleObject::~TSerHandleObject() {
    if (m_handle != nullptr) {
        CloseHandle(m_handle);
    }
}

TSerWaitResult TSerHandleObject::WaitFor(int timeoutMs) {
    const DWORD r =
        WaitForSingleObject(m_handle, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
    switch (r) {
    case WAIT_OBJECT_0:
        return TSerWaitResult::Signaled;
    case WAIT_ABANDONED:
        return TSerWaitResult::Abandoned;
    case WAIT_TIMEOUT:
        return TSerWaitResult::TimedOut;
    default:
        m_lastError = static_cast<int>(GetLastError());
        return TSerWaitResult::Failed;
    }
}

void TSerHandleObject::SetEvent() {
    ::SetEvent(m_handle);
}

void TSerHandleObject::ResetEvent() {
    ::ResetEvent(m_handle);
}

bool TSerHandleObject::IsSet() {
    return WaitForSingleObject(m_handle, 0) == WAIT_OBJECT_0;
}

TSerEvent::TSerEvent() : TSerHandleObject(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

int WaitForAnyEvent(std::initializer_list<TSerEvent*> events, int timeoutMs) {
    HANDLE handles[MAXIMUM_WAIT_OBJECTS] = {};
    if (events.size() > MAXIMUM_WAIT_OBJECTS) {
        return -1;
    }
    DWORD n = 0;
    for (TSerEvent* e : events) {
        handles[n++] = e->GetHandle();
    }
    const DWORD r = WaitForMultipleObjects(
        n, handles, FALSE, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
    if (r < WAIT_OBJECT_0 + n) {
        return static_cast<int>(r - WAIT_OBJECT_0);
    }
    return -1;
}

#else

TSerHandleObject::~TSerHandleObject() {
    if (m_handle >= 0) {
        ::close(m_handle);
    }
}

TSerWaitResult TSerHandleObject::WaitFor(int timeoutMs) {
    pollfd p{m_handle, POLLIN, 0};
    int r;
    do {
        r = ::poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r < 0) {
        m_lastError = errno;
        return TSerWaitResult::Failed;
    }
    return r == 0 ? TSerWaitResult::TimedOut : TSerWaitResult::Signaled;
}

void TSerHandleObject::SetEvent() {
    const std::uint64_t one = 1;
    // The counter only saturates after 2^64 sets; a failed write leaves the event set anyway.
    [[maybe_unused]] const ssize_t n = ::write(m_handle, &one, sizeof one);
}

void TSerHandleObject::ResetEvent() {
    std::uint64_t value;
    [[maybe_unused]] const ssize_t n = ::read(m_handle, &value, sizeof value);
}

bool TSerHandleObject::IsSet() {
    return WaitFor(0) == TSerWaitResult::Signaled;
}

TSerEvent::TSerEvent() : TSerHandleObject(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

int WaitForAnyEvent(std::initializer_list<TSerEvent*> events, int timeoutMs) {
    pollfd fds[8];
    if (events.size() > 8) {
        return -1;
    }
    nfds_t n = 0;
    for (TSerEvent* e : events) {
        fds[n++] = pollfd{e->GetHandle(), POLLIN, 0};
    }
    int r;
    do {
        r = ::poll(fds, n, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r <= 0) {
        return -1;
    }
    for (nfds_t i = 0; i < n; ++i) {
        if (fds[i].revents != 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

#endif

bool TSerCommBuffer::Append(const std::uint8_t* data, std::size_t count) {
    if (count > m_data.size() - m_count) {
        return false;
    }
    std::memcpy(m_data.data() + m_count, data, count);
    m_count += count;
    return true;
}

void TSerCommBuffer::Remove(std::size_t count) {
    count = std::min(count, m_count);
    std::memmove(m_data.data(), m_data.data() + count, m_count - count);
    m_count -= count;
}

void TSerCommBuffer::Clear() {
    m_count = 0;
    ++m_generation;
}

} // namespace zarvik
