#include "device/serial/serthreads.h"

#include "device/serial/sercomm.h"

#include <chrono>
#include <cstring>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace zarvik {
namespace {

constexpr int kPurgeAckMs = 2000;

#ifdef _WIN32
int NativePriority(TSerThreadPriority priority) {
    static const int values[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                                 THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                                 THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                 THREAD_PRIORITY_TIME_CRITICAL};
    return values[priority];
}
#else
// Per-thread nice values; raising above normal needs the privilege to do so and is skipped
// quietly without it.
int NativePriority(TSerThreadPriority priority) {
    static const int values[] = {19, 10, 5, 0, -5, -10, -20};
    return values[priority];
}
#endif

} // namespace

TSerThread::TSerThread(TSerCustomComm* comm, TSerUiInvoker invoker,
                       std::shared_ptr<TSerDevice> device)
    : m_device(std::move(device)), m_comm(comm), m_invoker(std::move(invoker)) {}

TSerThread::~TSerThread() {
    if (m_thread.joinable()) {
        m_thread.detach();
    }
}

void TSerThread::Start(TSerThreadPriority priority) {
    m_priority = priority;
    m_thread = std::thread([self = shared_from_this()] { self->Run(); });
}

// The wanted priority is stored before the thread's id is looked at, and the thread stores
// its id before it looks at the wanted priority: a change is never lost to the start.
void TSerThread::SetPriority(TSerThreadPriority priority) {
    m_priority = priority;
    ApplyPriority();
}

void TSerThread::ApplyPriority() {
    const long id = m_nativeId.load();
    if (id == 0) {
        return;
    }
    const int value = NativePriority(m_priority.load());
#ifdef _WIN32
    if (const HANDLE thread = OpenThread(THREAD_SET_INFORMATION, FALSE, static_cast<DWORD>(id))) {
        SetThreadPriority(thread, value);
        CloseHandle(thread);
    }
#else
    setpriority(PRIO_PROCESS, static_cast<id_t>(id), value);
#endif
}

void TSerThread::Run() {
#ifdef _WIN32
    m_nativeId = static_cast<long>(GetCurrentThreadId());
#else
    m_nativeId = static_cast<long>(::syscall(SYS_gettid));
#endif
    ApplyPriority();
    Execute();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_finished = true;
    m_busy = false;
    m_cv.notify_all();
}

void TSerThread::Stop() {
    m_stop = true;
    m_stopEvent.SetEvent();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return !m_busy || m_finished; });
    const bool finished = m_finished;
    lock.unlock();
    if (!m_thread.joinable()) {
        return;
    }
    if (finished) {
        m_thread.join();
    } else {
        m_thread.detach();
    }
}

bool TSerThread::Enter() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stop) {
        return false;
    }
    m_busy = true;
    return true;
}

void TSerThread::Leave() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_busy = false;
    m_cv.notify_all();
}

void TSerThread::Dispatch(std::function<void(TSerCustomComm&)> fn) {
    m_parked.SetEvent();
    m_invoker([self = shared_from_this(), fn = std::move(fn)] {
        if (!self->m_stop) {
            self->m_comm->RunHandler([&] { fn(*self->m_comm); });
        }
    });
    m_parked.ResetEvent();
}

void TSerCommEventThread::Execute() {
    for (;;) {
        if (!Enter()) {
            return;
        }
        const TSerWaitOutcome outcome = m_device->WaitCommEvent(m_stopEvent);
        Leave();
        if (outcome.kind != TSerWaitOutcome::Event) {
            return;
        }
        const TSerCommEvents events = outcome.events;
        Dispatch([events](TSerCustomComm& comm) { comm.DispatchLineEvents(events); });
    }
}

TSerCommWriteThread::TSerCommWriteThread(TSerCustomComm* comm, TSerUiInvoker invoker,
                                         std::shared_ptr<TSerDevice> device,
                                         std::shared_ptr<TSerCriticalSection> writeLock,
                                         std::size_t size, bool reportTxEmpty)
    : TSerThread(comm, std::move(invoker), std::move(device)), m_writeLock(std::move(writeLock)),
      m_buffer(size), m_staging(size), m_reportTxEmpty(reportTxEmpty) {}

bool TSerCommWriteThread::Add(const std::uint8_t* data, std::size_t count, int timeoutMs) {
    std::unique_lock<TSerCriticalSection> lock(*m_writeLock);
    const auto fits = [&] { return m_buffer.Count() + count <= m_buffer.Capacity(); };
    if (!m_room.wait_for(lock, std::chrono::milliseconds(timeoutMs), fits)) {
        return false;
    }
    m_buffer.Append(data, count);
    m_dataReady.SetEvent();
    return true;
}

void TSerCommWriteThread::ClearBuffer() {
    {
        std::lock_guard<TSerCriticalSection> lock(*m_writeLock);
        m_purging = true;
    }
    m_purgeDone.ResetEvent();
    m_purgeRequest.SetEvent();
    WaitForAnyEvent({&m_purgeDone, &m_parked}, kPurgeAckMs);
    std::lock_guard<TSerCriticalSection> lock(*m_writeLock);
    m_buffer.Clear();
    m_dataReady.ResetEvent();
    m_purging = false;
    m_room.notify_all();
}

void TSerCommWriteThread::Execute() {
    const auto acknowledgePurge = [this] {
        m_purgeRequest.ResetEvent();
        m_purgeDone.SetEvent();
    };
    for (;;) {
        if (!Enter()) {
            return;
        }
        const int woken = WaitForAnyEvent({&m_stopEvent, &m_purgeRequest, &m_dataReady}, -1);
        if (woken <= 0) {
            Leave();
            return;
        }
        if (woken == 1) {
            acknowledgePurge();
            Leave();
            continue;
        }
        std::size_t count;
        std::uint64_t generation;
        {
            std::unique_lock<TSerCriticalSection> lock(*m_writeLock);
            // A purge under way empties the buffer: take nothing from it before it is done.
            if (m_purging) {
                acknowledgePurge();
                m_room.wait(lock, [this] { return !m_purging; });
            }
            count = m_buffer.Count();
            generation = m_buffer.Generation();
            std::memcpy(m_staging.data(), m_buffer.Data(), count);
            if (count == 0) {
                m_dataReady.ResetEvent();
            }
        }
        if (count == 0) {
            Leave();
            continue;
        }
        const TSerWriteOutcome outcome =
            m_device->Write(m_staging.data(), count, -1, &m_stopEvent, &m_purgeRequest);
        if (outcome.kind == TSerWriteOutcome::Stopped) {
            Leave();
            return;
        }
        if (outcome.kind == TSerWriteOutcome::PurgeRequested) {
            acknowledgePurge();
            Leave();
            continue;
        }
        if (outcome.kind != TSerWriteOutcome::Written) {
            // The bytes cannot reach the line; keeping them would retry the failing write for
            // ever. The operator learns of it through the error check.
            {
                std::lock_guard<TSerCriticalSection> lock(*m_writeLock);
                m_buffer.Clear();
                m_dataReady.ResetEvent();
                m_room.notify_all();
            }
            Leave();
            Dispatch([](TSerCustomComm& comm) { comm.CheckLineErrors(); });
            continue;
        }
        bool empty;
        {
            std::lock_guard<TSerCriticalSection> lock(*m_writeLock);
            if (m_buffer.Generation() == generation) {
                m_buffer.Remove(outcome.count);
            }
            empty = m_buffer.Count() == 0;
            if (empty) {
                m_dataReady.ResetEvent();
            } else {
                m_dataReady.SetEvent();
            }
            m_room.notify_all();
        }
        Leave();
        if (empty && m_reportTxEmpty) {
            Dispatch([](TSerCustomComm& comm) { comm.DispatchEvents(ceTxEmpty); });
        }
    }
}

} // namespace zarvik
