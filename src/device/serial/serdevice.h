#pragma once
// The operating system's side of the serial port component: one interface, a POSIX termios
// back end and a Win32 overlapped back end. Error results are system error codes, 0 = success;
// the component turns them into its messages.

#include "device/serial/serobjects.h"
#include "device/serial/sertypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace zarvik {

struct TSerWaitOutcome {
    enum Kind { Event, Stopped, Failed } kind = Stopped;
    TSerCommEvents events = 0;
    int error = 0;
};

struct TSerWriteOutcome {
    enum Kind { Written, Stopped, PurgeRequested, TimedOut, Failed } kind = Written;
    std::size_t count = 0;
    int error = 0;
};

class TSerDevice {
public:
    virtual ~TSerDevice() = default;

    // Opens the device for reading and writing, exclusively, for asynchronous I/O.
    virtual int Open(const std::string& name) = 0;
    // Releases the device; a wait still pending on it ends.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    virtual int SetLineSettings(const TSerLineSettings& settings) = 0;
    virtual int GetLineSettings(TSerLineSettings& settings) = 0;
    virtual int SetupQueues(std::uint32_t inSize, std::uint32_t outSize) = 0;
    // Reads return at once with what is queued.
    virtual int SetImmediateReads() = 0;
    virtual int SetEventMask(TSerCommEvents mask) = 0;

    // Event thread: waits for a line event of the mask, or until stop is set.
    virtual TSerWaitOutcome WaitCommEvent(TSerEvent& stop) = 0;

    // Reads up to count bytes of what is queued, waiting up to timeoutMs for a completion.
    virtual int Read(std::uint8_t* buffer, std::size_t count, int timeoutMs, std::size_t& got) = 0;
    // Writes some of the bytes: Written with the count, or ends early when stop or purge (either
    // may be null) is set or after timeoutMs (< 0: no time-out).
    virtual TSerWriteOutcome Write(const std::uint8_t* data, std::size_t count, int timeoutMs,
                                   TSerEvent* stop, TSerEvent* purge) = 0;

    // Fetches and clears the line error flags, and the queue status.
    virtual int GetStatus(std::uint32_t& errors, TSerComStat& stat) = 0;
    virtual int Purge(std::uint32_t flags) = 0;
};

std::shared_ptr<TSerDevice> CreateSerDevice();

} // namespace zarvik
