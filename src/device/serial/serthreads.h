#pragma once
// The component's two background threads. Each hands its events to the user-interface thread
// and waits there; so that Close, which runs on that thread, never waits for a thread that is
// itself waiting for the user-interface thread, a thread counts as stopped as soon as it no
// longer touches the device, and ends by itself after the dispatch it is waiting for has run
// (as a no-op). Its state is shared, so it may outlive the component.

#include "device/serial/serdevice.h"
#include "device/serial/serobjects.h"
#include "device/serial/sertypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zarvik {

class TSerCustomComm;

class TSerThread : public std::enable_shared_from_this<TSerThread> {
public:
    TSerThread(TSerCustomComm* comm, TSerUiInvoker invoker, std::shared_ptr<TSerDevice> device);
    TSerThread(const TSerThread&) = delete;
    TSerThread& operator=(const TSerThread&) = delete;
    virtual ~TSerThread();

    void Start(TSerThreadPriority priority);
    void SetPriority(TSerThreadPriority priority);
    // On the user-interface thread: tells the thread to stop and returns once it no longer
    // touches the device.
    void Stop();

protected:
    virtual void Execute() = 0;
    // Marks the thread as using the device; false once it has been told to stop.
    bool Enter();
    void Leave();
    // Runs fn with the component on the user-interface thread and waits for it; fn does not
    // run once the thread has been told to stop (the component may be gone by then).
    void Dispatch(std::function<void(TSerCustomComm&)> fn);

    std::shared_ptr<TSerDevice> m_device;
    TSerEvent m_stopEvent;
    TSerEvent m_parked; // set while waiting for a dispatch

private:
    void Run();
    void ApplyPriority();

    TSerCustomComm* m_comm;
    TSerUiInvoker m_invoker;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_busy = false;
    bool m_finished = false;
    std::atomic<long> m_nativeId{0};
    std::atomic<TSerThreadPriority> m_priority{tpNormal};
    std::thread m_thread;
};

// Waits for line events and dispatches them.
class TSerCommEventThread : public TSerThread {
public:
    using TSerThread::TSerThread;

protected:
    void Execute() override;
};

// Drains the write buffer to the device.
class TSerCommWriteThread : public TSerThread {
public:
    TSerCommWriteThread(TSerCustomComm* comm, TSerUiInvoker invoker,
                        std::shared_ptr<TSerDevice> device,
                        std::shared_ptr<TSerCriticalSection> writeLock, std::size_t size,
                        bool reportTxEmpty);

    // On the user-interface thread: queues the bytes, waiting up to timeoutMs for room;
    // false when they do not fit in time.
    bool Add(const std::uint8_t* data, std::size_t count, int timeoutMs);
    // On the user-interface thread: asks the thread to let go of the buffer (waiting up to
    // 2 s for it, or until it is parked in a dispatch) and empties the buffer.
    void ClearBuffer();

protected:
    void Execute() override;

private:
    std::shared_ptr<TSerCriticalSection> m_writeLock;
    std::condition_variable_any m_room;
    TSerCommBuffer m_buffer;
    std::vector<std::uint8_t> m_staging;
    bool m_reportTxEmpty;
    bool m_purging = false; // guarded by the write lock
    TSerEvent m_dataReady;
    TSerEvent m_purgeRequest;
    TSerEvent m_purgeDone;
};

} // namespace zarvik
