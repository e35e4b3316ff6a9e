#pragma once
// Types shared by the serial port component and its back ends: the enumerations of its
// properties, the line-settings record, the queue status and the component's error type.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace zarvik {

enum TSerBaudrate {
    brUser,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};

// The line rate of a table entry; 0 for brUser.
std::uint32_t BaudrateValue(TSerBaudrate rate);

enum TSerParity { paNone, paOdd, paEven, paMark, paSpace };
enum TSerDatabits { db4, db5, db6, db7, db8 };
enum TSerStopbits { sb1, sb15, sb2 };
enum TSerDtrControl { dtrDisabled, dtrEnabled, dtrHandshake };
enum TSerRtsControl { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };
enum TSerThreadPriority {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

// Options of the line: replace bytes received with a parity error by ErrorChar, drop NUL bytes.
enum TSerOption : std::uint32_t { coErrorChar = 0x01, coNullStrip = 0x02 };
using TSerOptions = std::uint32_t;

// Line events, as bits of the event mask the component waits for.
enum TSerCommEvent : std::uint32_t {
    ceRxChar = 0x0001,
    ceRxFlag = 0x0002,
    ceTxEmpty = 0x0004,
    ceCts = 0x0008,
    ceDsr = 0x0010,
    ceRlsd = 0x0020,
    ceBreak = 0x0040,
    ceError = 0x0080,
    ceRing = 0x0100,
    cePErr = 0x0200,
    ceRx80Full = 0x0400,
    ceEvent1 = 0x0800,
    ceEvent2 = 0x1000
};
using TSerCommEvents = std::uint32_t;

// Line error flags reported by GetLineStatus and OnError.
enum TSerLineError : std::uint32_t {
    leRxOver = 0x0001,   // input queue overflow
    leOverrun = 0x0002,  // the receiver lost a byte
    leRxParity = 0x0004, // parity error
    leFrame = 0x0008,    // framing error
    leBreak = 0x0010,    // break condition
    leIoError = 0x0400   // the device is gone (unplugged, hung up)
};

// Flags of the line-settings record.
enum TSerLineFlag : std::uint32_t {
    lfBinary = 0x0001,
    lfParity = 0x0002,
    lfOutxCtsFlow = 0x0004,
    lfOutxDsrFlow = 0x0008,
    lfDtrControlEnable = 0x0010,
    lfDtrControlHandshake = 0x0020,
    lfDtrControlMask = 0x0030,
    lfDsrSensitivity = 0x0040,
    lfTxContinueOnXoff = 0x0080,
    lfOutX = 0x0100,
    lfInX = 0x0200,
    lfErrorChar = 0x0400,
    lfNull = 0x0800,
    lfRtsControlEnable = 0x1000,
    lfRtsControlHandshake = 0x2000,
    lfRtsControlToggle = 0x3000,
    lfRtsControlMask = 0x3000
};

// The line settings as one record: read from the open port, changed and written back.
struct TSerLineSettings {
    std::uint32_t BaudRate = 0;
    std::uint32_t Flags = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 8;
    std::uint8_t Parity = 0;   // TSerParity
    std::uint8_t StopBits = 0; // TSerStopbits
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
};

// Queue status of the open port.
struct TSerComStat {
    std::uint32_t InQueue = 0;
    std::uint32_t OutQueue = 0;
};

// Purge flags.
enum TSerPurgeFlag : std::uint32_t {
    pfAbortOutput = 0x01,
    pfAbortInput = 0x02,
    pfClearOutput = 0x04,
    pfClearInput = 0x08
};

// Runs a function on the user-interface thread and returns when it has run. The owner of the
// component supplies it; the component's threads hand every event over through it.
using TSerUiInvoker = std::function<void(std::function<void()>)>;

// Every failure of the component; the text is the operator-readable message.
class ESerCommError : public std::runtime_error {
public:
    explicit ESerCommError(const std::string& message, int errorCode = 0)
        : std::runtime_error(message), m_errorCode(errorCode) {}
    int ErrorCode() const { return m_errorCode; }

private:
    int m_errorCode;
};

} // namespace zarvik
