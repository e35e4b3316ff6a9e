#pragma once
// The history's files are written on a thread of their own, so that a measurement's file and
// the flush of it to the disk cost the user-interface thread nothing: the drawing of a new
// measurement is not held up by the disk. Each job is given its data by value and runs in the
// order given; what it brings back is handed to the owner's thread through `post`.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace zarvik {

// What a job did: the file as it now is, or why it failed (the operator's text).
struct HistoryWriteResult {
    bool ok = true;
    std::string error;
    std::uint64_t fileBytes = 0;
    std::int64_t fileTime = 0;
};

class HistoryWriter {
public:
    using Job = std::function<HistoryWriteResult()>;
    using Done = std::function<void(const HistoryWriteResult&)>;
    // Runs a function on the owner's thread (a queued call of the window's event loop).
    using Post = std::function<void(std::function<void()>)>;

    explicit HistoryWriter(Post post);
    HistoryWriter(const HistoryWriter&) = delete;
    HistoryWriter& operator=(const HistoryWriter&) = delete;
    // Finishes every job given.
    ~HistoryWriter();

    // `done` (if any) runs through `post` once `job` has run. Returns the job's number.
    std::uint64_t run(Job job, Done done = {});
    // Called by a job that publishes a file, once the file is under its name and before it is
    // flushed to the disk: the owner may wait for that moment (see waitForPublished).
    void published();
    // Waits until the job numbered `job` has published its file or ended, at most `ms`
    // milliseconds. True when it has.
    bool waitForPublished(std::uint64_t job, int ms);
    // Waits until every job given so far has run.
    void finish();

private:
    void loop();

    Post m_post;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_progress;
    std::deque<std::pair<Job, Done>> m_jobs;
    std::uint64_t m_given = 0;
    std::uint64_t m_ended = 0;
    std::uint64_t m_published = 0;
    bool m_running = false; // a job is being run
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace zarvik
