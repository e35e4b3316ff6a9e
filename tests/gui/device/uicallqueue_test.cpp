// The hand-over of the serial component's calls to the user-interface thread.

#include "device/uicallqueue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using zarvik::UiCallQueue;

void pumpUntil(const std::atomic<bool>& flag) {
    QElapsedTimer t;
    t.start();
    while (!flag && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

TEST(UiCallQueue, ACallFromAnotherThreadRunsOnTheUiThreadBeforeTheCallerGoesOn) {
    UiCallQueue queue;
    QThread* ranOn = nullptr;
    QThread* seen = nullptr;
    std::atomic<bool> returned{false};
    std::thread worker([&, invoke = queue.invoker()] {
        invoke([&] { ranOn = QThread::currentThread(); });
        seen = ranOn;
        returned = true;
    });
    pumpUntil(returned);
    worker.join();
    EXPECT_EQ(seen, QThread::currentThread());
}

TEST(UiCallQueue, AThreadWaitingWhenTheQueueGoesIsLetGoAndItsCallNeverRuns) {
    auto queue = std::make_unique<UiCallQueue>();
    std::atomic<bool> ran{false};
    std::thread worker([&ran, invoke = queue->invoker()] { invoke([&ran] { ran = true; }); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    queue.reset();
    worker.join();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

} // namespace
