// Win32 back end of the serial port component: a COM device opened for overlapped I/O, its
// line settings in a DCB, and WaitCommEvent for the line events.

#ifndef NOMINMAX
#ifndef NOMINMAX
#define NOMINMAX
#endif
#endif
#include <windows.h>

#include "device/serial/serdevice.h"

#include <atomic>
#include <cctype>

namespace zarvik {
namespace {

// "COM10" and above open only under the device namespace; it works for the low numbers too.
std::string DevicePath(const std::string& name) {
    const bool com = name.size() > 3 && std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
                     std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
                     std::toupper(static_cast<unsigned char>(name[2])) == 'M';
    return com ? "\\\\.\\" + name : name;
}

int LastError() {
    return static_cast<int>(GetLastError());
}

// The Windows SDK has it; mingw-w64's headers do not.
#ifndef ERROR_NO_SUCH_DEVICE
#define ERROR_NO_SUCH_DEVICE 433L
#endif

// What the driver of an unplugged USB serial adapter answers from then on.
bool DeviceGone(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_NO_SUCH_DEVICE:
        return true;
    default:
        return false;
    }
}

class TSerWin32Device : public TSerDevice {
public:
    ~TSerWin32Device() override { Close(); }

    int Open(const std::string& name) override {
        const HANDLE handle = CreateFileA(DevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return LastError();
        }
        m_handle = handle;
        return 0;
    }

    void Close() override {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(m_handle);
            m_handle = INVALID_HANDLE_VALUE;
        }
    }

    bool IsOpen() const override { return m_handle != INVALID_HANDLE_VALUE; }

    int SetLineSettings(const TSerLineSettings& s) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        dcb.BaudRate = s.BaudRate;
        dcb.fBinary = (s.Flags & lfBinary) != 0;
        dcb.fParity = (s.Flags & lfParity) != 0;
        dcb.fOutxCtsFlow = (s.Flags & lfOutxCtsFlow) != 0;
        dcb.fOutxDsrFlow = (s.Flags & lfOutxDsrFlow) != 0;
        dcb.fDtrControl = (s.Flags & lfDtrControlMask) >> 4;
        dcb.fDsrSensitivity = (s.Flags & lfDsrSensitivity) != 0;
        dcb.fTXContinueOnXoff = (s.Flags & lfTxContinueOnXoff) != 0;
        dcb.fOutX = (s.Flags & lfOutX) != 0;
        dcb.fInX = (s.Flags & lfInX) != 0;
        dcb.fErrorChar = (s.Flags & lfErrorChar) != 0;
        dcb.fNull = (s.Flags & lfNull) != 0;
        dcb.fRtsControl = (s.Flags & lfRtsControlMask) >> 12;
        dcb.XonLim = s.XonLim;
        dcb.XoffLim = s.XoffLim;
        dcb.ByteSize = s.ByteSize;
        dcb.Parity = s.Parity;
        dcb.StopBits = s.StopBits;
        dcb.XonChar = s.XonChar;
        dcb.XoffChar = s.XoffChar;
        dcb.ErrorChar = s.ErrorChar;
        dcb.EofChar = s.EofChar;
        dcb.EvtChar = s.EvtChar;
        return SetCommState(m_handle, &dcb) ? 0 : LastError();
    }

    int GetLineSettings(TSerLineSettings& s) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(m_handle, &dcb)) {
            return LastError();
        }
        std::uint32_t flags = 0;
        const auto set = [&flags](bool on, std::uint32_t flag) {
            if (on) {
                flags |= flag;
            }
        };
        set(dcb.fBinary, lfBinary);
        set(dcb.fParity, lfParity);
        set(dcb.fOutxCtsFlow, lfOutxCtsFlow);
        set(dcb.fOutxDsrFlow, lfOutxDsrFlow);
        flags |= static_cast<std::uint32_t>(dcb.fDtrControl) << 4;
        set(dcb.fDsrSensitivity, lfDsrSensitivity);
        set(dcb.fTXContinueOnXoff, lfTxContinueOnXoff);
        set(dcb.fOutX, lfOutX);
        set(dcb.fInX, lfInX);
        set(dcb.fErrorChar, lfErrorChar);
        set(dcb.fNull, lfNull);
        flags |= static_cast<std::uint32_t>(dcb.fRtsControl) << 12;
        s.BaudRate = static_cast<std::uint32_t>(dcb.BaudRate);
        s.Flags = flags;
        s.XonLim = dcb.XonLim;
        s.XoffLim = dcb.XoffLim;
        s.ByteSize = dcb.ByteSize;
        s.Parity = dcb.Parity;
        s.StopBits = dcb.StopBits;
        s.XonChar = dcb.XonChar;
        s.XoffChar = dcb.XoffChar;
        s.ErrorChar = dcb.ErrorChar;
        s.EofChar = dcb.EofChar;
        s.EvtChar = dcb.EvtChar;
        return 0;
    }

    int SetupQueues(std::uint32_t inSize, std::uint32_t outSize) override {
        return SetupComm(m_handle, inSize, outSize) ? 0 : LastError();
    }

    int SetImmediateReads() override {
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD;
        return SetCommTimeouts(m_handle, &timeouts) ? 0 : LastError();
    }

    int SetEventMask(TSerCommEvents mask) override {
        return SetCommMask(m_handle, mask) ? 0 : LastError();
    }

    TSerWaitOutcome WaitCommEvent(TSerEvent& stop) override {
        for (;;) {
            if (m_gone) {
                // Reported once; a removed device would fail every further wait at once.
                stop.WaitFor(-1);
                return {TSerWaitOutcome::Stopped, 0, 0};
            }
            OVERLAPPED ov{};
            ov.hEvent = m_waitEvent.GetHandle();
            m_waitEvent.ResetEvent();
            DWORD mask = 0;
            if (!::WaitCommEvent(m_handle, &mask, &ov)) {
                const DWORD error = GetLastError();
                if (DeviceGone(error)) {
                    // Reported whatever the mask, as on POSIX: the owner must learn it.
                    m_gone = true;
                    return {TSerWaitOutcome::Event, ceError, 0};
                }
                if (error != ERROR_IO_PENDING) {
                    return {TSerWaitOutcome::Failed, 0, static_cast<int>(error)};
                }
                const HANDLE handles[2] = {stop.GetHandle(), m_waitEvent.GetHandle()};
                const DWORD woken = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
                if (woken != WAIT_OBJECT_0 + 1) {
                    // The wait still refers to ov on this stack: end it before leaving.
                    CancelIoEx(m_handle, &ov);
                    DWORD ignored = 0;
                    GetOverlappedResult(m_handle, &ov, &ignored, TRUE);
                    if (woken == WAIT_OBJECT_0) {
                        return {TSerWaitOutcome::Stopped, 0, 0};
                    }
                    return {TSerWaitOutcome::Failed, 0, LastError()};
                }
                DWORD ignored = 0;
                if (!GetOverlappedResult(m_handle, &ov, &ignored, FALSE)) {
                    const DWORD failure = GetLastError();
                    if (!DeviceGone(failure)) {
                        return {TSerWaitOutcome::Failed, 0, static_cast<int>(failure)};
                    }
                    m_gone = true;
                    return {TSerWaitOutcome::Event, ceError, 0};
                }
            }
            if (mask != 0) {
                return {TSerWaitOutcome::Event, static_cast<TSerCommEvents>(mask), 0};
            }
        }
    }

    int Read(std::uint8_t* buffer, std::size_t count, int timeoutMs, std::size_t& got) override {
        got = 0;
        OVERLAPPED ov{};
        ov.hEvent = m_readEvent.GetHandle();
        DWORD n = 0;
        if (ReadFile(m_handle, buffer, static_cast<DWORD>(count), &n, &ov)) {
            got = n;
            return 0;
        }
        const DWORD error = GetLastError();
        if (DeviceGone(error)) {
            m_gone = true; // nothing more to read: the line error says why
            return 0;
        }
        if (error != ERROR_IO_PENDING) {
            return static_cast<int>(error);
        }
        const DWORD wait = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
        if (WaitForSingleObject(ov.hEvent, wait) != WAIT_OBJECT_0) {
            CancelIoEx(m_handle, &ov);
        }
        // Bytes read before a cancel are kept rather than lost.
        if (!GetOverlappedResult(m_handle, &ov, &n, TRUE) &&
            GetLastError() != ERROR_OPERATION_ABORTED) {
            return LastError();
        }
        got = n;
        return 0;
    }

    TSerWriteOutcome Write(const std::uint8_t* data, std::size_t count, int timeoutMs,
                           TSerEvent* stop, TSerEvent* purge) override {
        OVERLAPPED ov{};
        ov.hEvent = m_writeEvent.GetHandle();
        DWORD n = 0;
        if (WriteFile(m_handle, data, static_cast<DWORD>(count), &n, &ov)) {
            return {TSerWriteOutcome::Written, n, 0};
        }
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
            return {TSerWriteOutcome::Failed, 0, static_cast<int>(error)};
        }
        HANDLE handles[3];
        DWORD handleCount = 0;
        handles[handleCount++] = ov.hEvent;
        const DWORD stopIndex = handleCount;
        if (stop) {
            handles[handleCount++] = stop->GetHandle();
        }
        const DWORD purgeIndex = handleCount;
        if (purge) {
            handles[handleCount++] = purge->GetHandle();
        }
        const DWORD woken = WaitForMultipleObjects(
            handleCount, handles, FALSE, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
        if (woken != WAIT_OBJECT_0) {
            CancelIoEx(m_handle, &ov);
        }
        const BOOL done = GetOverlappedResult(m_handle, &ov, &n, TRUE);
        if (woken == WAIT_OBJECT_0) {
            if (!done) {
                return {TSerWriteOutcome::Failed, 0, LastError()};
            }
            return {TSerWriteOutcome::Written, n, 0};
        }
        if (n > 0 && woken == WAIT_TIMEOUT) {
            return {TSerWriteOutcome::Written, n, 0};
        }
        if (stop && woken == WAIT_OBJECT_0 + stopIndex) {
            return {TSerWriteOutcome::Stopped, 0, 0};
        }
        if (purge && woken == WAIT_OBJECT_0 + purgeIndex) {
            return {TSerWriteOutcome::PurgeRequested, 0, 0};
        }
        if (woken == WAIT_TIMEOUT) {
            return {TSerWriteOutcome::TimedOut, 0, 0};
        }
        return {TSerWriteOutcome::Failed, 0, LastError()};
    }

    int GetStatus(std::uint32_t& errors, TSerComStat& stat) override {
        DWORD flags = 0;
        COMSTAT comStat{};
        errors = 0;
        stat = TSerComStat{};
        if (!m_gone && !ClearCommError(m_handle, &flags, &comStat)) {
            const DWORD error = GetLastError();
            if (!DeviceGone(error)) {
                return static_cast<int>(error);
            }
            m_gone = true;
        }
        if (m_gone) {
            errors = leIoError;
            return 0;
        }
        errors = static_cast<std::uint32_t>(flags);
        stat.InQueue = static_cast<std::uint32_t>(comStat.cbInQue);
        stat.OutQueue = static_cast<std::uint32_t>(comStat.cbOutQue);
        return 0;
    }

    int Purge(std::uint32_t flags) override {
        // A device that is gone has nothing left to discard.
        if (m_gone || PurgeComm(m_handle, flags)) {
            return 0;
        }
        const DWORD error = GetLastError();
        if (DeviceGone(error)) {
            m_gone = true;
            return 0;
        }
        return static_cast<int>(error);
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    std::atomic<bool> m_gone{false};
    TSerEvent m_waitEvent;  // the event thread's overlapped waits
    TSerEvent m_readEvent;  // reads, under the read lock
    TSerEvent m_writeEvent; // the write thread's or direct writes
};

} // namespace

std::shared_ptr<TSerDevice> CreateSerDevice() {
    return std::make_shared<TSerWin32Device>();
}

} // namespace zarvik
