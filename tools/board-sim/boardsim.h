#pragma once
// The simulated board: a pseudo-terminal whose far end behaves like the converter board on
// its serial line — link-check echo, start commands, the finish byte, and the sample array
// in 503-byte packets asked for one by one — with switches for the faults a real line shows.

#include "boardsignals.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zarvik::boardsim {

struct BoardOptions {
    std::string linkPath;     // a symlink to the device, made at every opening
    bool pace = false;        // pieces of 64 bytes as a USB serial adapter hands them on,
                              // each when its last byte has left a 921600-baud line
    double timeScale = 1.0;   // factor on the measurement time (0: finish at once)
    int triggerAfterMs = -1;  // external start this long after a start that waits for one
    int badChecksumEvery = 0; // every k-th packet sent carries a wrong checksum
    int splitEvery = 0;       // every k-th packet goes out in two writes with a pause
    int splitPauseMs = 20;
    int cutEvery = 0;           // every k-th packet loses its second half for good
    int strayEvery = 0;         // every k-th packet is preceded by stray bytes
    bool noEcho = false;        // no answer to the link check
    bool noReply = false;       // no finish byte after a measurement
    int hangUpAfterPackets = 0; // close the pseudo-terminal after this many packets (0: never)
    int reopenAfterMs = -1;     // after hanging up, open a new one this much later (-1: end)
    // The first transfer on a line goes silent after this many packets (0: never): "q" and
    // "r" get nothing until the next read or start command; the link check is still answered.
    int stallAfterPackets = 0;
    int stallOnRead = 1; // ... or the transfer of this read command on the line, counted from 1
    bool exitOnPeerHangUp = false; // end when the host closes the line
    int steadyLevel = -1; // every channel gives this code, 0..4095 (-1: the channels' signals)
    std::uint8_t finishByte = 0x0A;
    char packetType = 'q';
};

// A byte from the host and when the board read it. The board reads only between its own
// sends, so a byte that comes while a packet goes out is stamped after that packet's end.
struct HostByte {
    std::uint8_t byte;
    std::chrono::steady_clock::time_point at;
};

struct BoardStats {
    int greetings = 0;
    int echoes = 0;
    int starts = 0;
    int finishes = 0;
    int reads = 0;
    int packets = 0; // packets sent, repeats included
    int repeats = 0; // "r" requests
    int opens = 0;
};

class BoardSim {
public:
    // Throws std::invalid_argument for a steady level outside 0..4095.
    explicit BoardSim(BoardOptions options = {});
    BoardSim(const BoardSim&) = delete;
    BoardSim& operator=(const BoardSim&) = delete;
    ~BoardSim();

    // Opens a new pseudo-terminal; throws std::runtime_error when it cannot.
    void open();
    std::string slavePath() const;

    // Plays the board until stopped, or until the line ends (a hang-up without reopening, or
    // the host's hang-up with exitOnPeerHangUp).
    void run();
    // run() on a thread of its own, and its end.
    void start();
    void stop();

    // Safe from signal handlers and other threads.
    void requestStop();
    void triggerExternalStart();
    void hangUp();

    BoardStats stats() const;

    // What the host sent and when each packet's last byte was written, kept until cleared.
    std::vector<HostByte> hostBytes() const;
    std::vector<std::chrono::steady_clock::time_point> packetEnds() const;
    void clearRecord();
    // When the first line was opened.
    std::chrono::steady_clock::time_point openedAt() const;

    // Called with the device path after every opening (on the thread that opens).
    std::function<void(const std::string&)> onOpened;

private:
    using Clock = std::chrono::steady_clock;

    void wake();
    void closeLine();
    void onByte(std::uint8_t byte);
    void execute();
    void startMeasurement(bool waitForTrigger);
    void finishMeasurement();
    bool stalled() const { return m_stallAt > 0 && m_transferSent >= m_stallAt; }
    void sendNextPacket();
    void send(const std::uint8_t* data, std::size_t size, bool endsPacket = false);
    void writeAll(const std::uint8_t* data, std::size_t size);
    int msUntil(Clock::time_point when) const;

    BoardOptions m_options;
    int m_fd = -1;
    int m_wake[2] = {-1, -1};
    mutable std::mutex m_pathMutex;
    std::string m_slavePath;
    std::thread m_thread;

    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_triggerRequested{false};
    std::atomic<bool> m_hangUpRequested{false};
    bool m_peerAbsent = true;
    bool m_peerSeen = false;

    // Command being received.
    std::vector<std::uint8_t> m_command;
    int m_need = 0;

    // Measurement.
    std::uint8_t m_mode = 0;
    std::uint8_t m_mask = 0xFF;
    std::uint32_t m_divisor = 7200;
    int m_blocks = 8;
    bool m_measuring = false;
    bool m_triggered = false;
    Clock::time_point m_finishAt;
    Clock::time_point m_triggerAt;
    bool m_autoTrigger = false;
    BoardMemory m_memory;

    // Transfer.
    std::size_t m_cursor = 0;
    std::size_t m_transferPackets = 0;
    int m_transferSent = 0; // packets sent in this transfer, repeats included
    int m_stallAt = 0;      // packets after which this transfer goes silent (0: never)
    int m_readsToStall = 1; // read commands on this line until the one that stalls
    int m_sent = 0;

    mutable std::mutex m_recordMutex;
    std::vector<HostByte> m_hostBytes;
    std::vector<Clock::time_point> m_packetEnds;
    Clock::time_point m_openedAt;

    std::atomic<int> m_greetings{0}, m_echoes{0}, m_starts{0}, m_finishes{0}, m_reads{0},
        m_packets{0}, m_repeats{0}, m_opens{0};
};

} // namespace zarvik::boardsim
