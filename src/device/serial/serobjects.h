#pragma once
// Synchronisation objects and the write buffer of the serial port component.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <vector>

namespace zarvik {

enum class TSerWaitResult { Signaled, Abandoned, TimedOut, Failed };

// Owns one operating-system handle that can be waited on together with a device: an eventfd on
// POSIX, an event handle on Windows. The handle is closed on destruction.
class TSerHandleObject {
public:
#ifdef _WIN32
    using Handle = void*;
#else
    using Handle = int;
#endif
    TSerHandleObject(const TSerHandleObject&) = delete;
    TSerHandleObject& operator=(const TSerHandleObject&) = delete;
    virtual ~TSerHandleObject();

    // timeoutMs < 0 waits without a time-out.
    TSerWaitResult WaitFor(int timeoutMs);
    void SetEvent();
    void ResetEvent();
    bool IsSet();
    Handle GetHandle() const {
        return m_handle;
    }
    // The system error code of the last failed wait.
    int LastError() const {
        return m_lastError;
    }

protected:
    explicit TSerHandleObject(Handle handle) : m_handle(handle) {}

private:
    Handle m_handle;
    int m_lastError = 0;
};

// A manual-reset event, created non-signalled and unnamed.
class TSerEvent : public TSerHandleObject {
public:
    TSerEvent();
};

// Waits until one of the events is set; returns its index, -1 on time-out or failure.
int WaitForAnyEvent(std::initializer_list<TSerEvent*> events, int timeoutMs);

// A mutual-exclusion lock; usable with the standard lock guards.
class TSerCriticalSection {
public:
    void Enter() { m_mutex.lock(); }
    void Leave() { m_mutex.unlock(); }
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }

private:
    std::mutex m_mutex;
};

// The fixed byte buffer between WriteBytes and the write thread. Each Clear starts a new
// generation, so that the write thread does not remove bytes it took before a purge from the
// bytes queued after it.
class TSerCommBuffer {
public:
    explicit TSerCommBuffer(std::size_t capacity) : m_data(capacity) {}

    std::size_t Capacity() const { return m_data.size(); }
    std::size_t Count() const { return m_count; }
    const std::uint8_t* Data() const { return m_data.data(); }
    std::uint64_t Generation() const { return m_generation; }

    // False, changing nothing, when the bytes do not fit.
    bool Append(const std::uint8_t* data, std::size_t count);
    void Remove(std::size_t count);
    void Clear();

private:
    std::vector<std::uint8_t> m_data;
    std::size_t m_count = 0;
    std::uint64_t m_generation = 0;
};

} // namespace zarvik
