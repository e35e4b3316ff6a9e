#include "device/uicallqueue.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace zarvik {
namespace {

struct Call {
    std::function<void()> run;
    bool done = false;
};

} // namespace

// Shared with the waiting threads, which may outlive the queue.
struct UiCallQueue::State {
    QThread* uiThread = nullptr;
    UiCallQueue* receiver = nullptr; // null once the queue is gone
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<std::shared_ptr<Call>> calls;
};

UiCallQueue::UiCallQueue() : m_state(std::make_shared<State>()) {
    m_state->uiThread = QThread::currentThread();
    m_state->receiver = this;
}

UiCallQueue::~UiCallQueue() {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->receiver = nullptr;
    m_state->calls.clear();
    m_state->cv.notify_all();
}

TSerUiInvoker UiCallQueue::invoker() const {
    return [state = m_state](std::function<void()> fn) {
        if (QThread::currentThread() == state->uiThread) {
            fn();
            return;
        }
        auto call = std::make_shared<Call>();
        call->run = std::move(fn);
        std::unique_lock<std::mutex> lock(state->mutex);
        if (!state->receiver)
            return;
        state->calls.push_back(call);
        // Posted under the lock, so that the queue cannot be destroyed in between.
        QCoreApplication::postEvent(state->receiver, new QEvent(QEvent::User));
        state->cv.wait(lock, [&] { return call->done || !state->receiver; });
    };
}

// The only custom events the queue receives are its wake-ups.
void UiCallQueue::customEvent(QEvent*) {
    // One call per wake-up: a call that runs a nested event loop (a message box) lets the calls
    // queued behind it run inside that loop.
    std::unique_lock<std::mutex> lock(m_state->mutex);
    if (m_state->calls.empty())
        return;
    const std::shared_ptr<Call> call = m_state->calls.front();
    m_state->calls.pop_front();
    lock.unlock();
    call->run();
    lock.lock();
    call->done = true;
    m_state->cv.notify_all();
}

} // namespace zarvik
