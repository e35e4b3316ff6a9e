#pragma once
// A stand-in for the user-interface thread of the program: the component's threads queue their
// calls here and wait, and the test's own thread runs them while it pumps.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace zarvik::test {

class UiQueue {
public:
    UiQueue() : m_state(std::make_shared<State>()) {}

    // The invoker to hand to the component: runs fn on the pumping thread and waits for it.
    std::function<void(std::function<void()>)> Invoker() const {
        return [state = m_state](std::function<void()> fn) {
            auto done = std::make_shared<bool>(false);
            std::unique_lock<std::mutex> lock(state->mutex);
            state->calls.push_back([fn = std::move(fn), done, state] {
                fn();
                std::lock_guard<std::mutex> l(state->mutex);
                *done = true;
                state->cv.notify_all();
            });
            state->cv.notify_all();
            state->cv.wait(lock, [&] { return *done || state->closed; });
        };
    }

    // Runs queued calls until pred() holds or the time is up; true when pred() held.
    template <class Pred> bool PumpUntil(Pred pred, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            if (pred()) {
                return true;
            }
            std::function<void()> call;
            {
                std::unique_lock<std::mutex> lock(m_state->mutex);
                if (!m_state->cv.wait_until(lock, deadline,
                                            [&] { return !m_state->calls.empty(); })) {
                    return pred();
                }
                call = std::move(m_state->calls.front());
                m_state->calls.pop_front();
            }
            call();
        }
    }

    // Runs queued calls for the whole period.
    void PumpFor(std::chrono::milliseconds period) {
        PumpUntil([] { return false; }, period);
    }

    // Releases threads still waiting for a call that will never run, and drops those calls
    // (they hold the waiting threads' state, which holds this queue's).
    ~UiQueue() {
        std::deque<std::function<void()>> dropped;
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->closed = true;
        dropped.swap(m_state->calls);
        m_state->cv.notify_all();
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable cv;
        std::deque<std::function<void()>> calls;
        bool closed = false;
    };
    std::shared_ptr<State> m_state;
};

} // namespace zarvik::test
