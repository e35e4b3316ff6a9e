#include "history/historywriter.h"

#include <algorithm>
#include <chrono>
#include <exception>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace zarvik {
namespace {

// The writer gives way to the window's thread: a measurement's file is written while its
// chart is built, on another processor or in the gaps, and never pushes the window aside.
void belowTheWindow() {
#ifdef _WIN32
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#elif defined(__linux__)
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 5);
#endif
}

} // namespace

HistoryWriter::HistoryWriter(Post post) : m_post(std::move(post)) {}

HistoryWriter::~HistoryWriter() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

std::uint64_t HistoryWriter::run(Job job, Done done) {
    std::uint64_t number = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.emplace_back(std::move(job), std::move(done));
        number = ++m_given;
        // The thread is started by the first job: a program that never measures has none.
        if (!m_thread.joinable())
            m_thread = std::thread([this] { loop(); });
    }
    m_wake.notify_all();
    return number;
}

void HistoryWriter::loop() {
    belowTheWindow();
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
        if (m_jobs.empty())
            return; // stopped, and nothing is left to write
        auto [job, done] = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_running = true;
        lock.unlock();
        HistoryWriteResult result;
        try {
            result = job();
        } catch (const std::exception& e) {
            result.ok = false;
            result.error = e.what();
        }
        if (done && m_post)
            m_post([done = std::move(done), result] { done(result); });
        lock.lock();
        m_running = false;
        ++m_ended;
        m_published = std::max(m_published, m_ended);
        m_progress.notify_all();
    }
}

void HistoryWriter::published() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_published = std::max(m_published, m_ended + 1); // the job being run
    }
    m_progress.notify_all();
}

bool HistoryWriter::waitForPublished(std::uint64_t job, int ms) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_progress.wait_for(lock, std::chrono::milliseconds(ms),
                               [&] { return m_published >= job; });
}

void HistoryWriter::finish() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_progress.wait(lock, [this] { return m_jobs.empty() && !m_running; });
}

} // namespace zarvik
