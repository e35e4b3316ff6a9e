#pragma once
// TSerComm: the serial port component. Opens a serial device, applies the line settings, runs
// an event thread that hands line events to the user-interface thread (waiting until they have
// been handled) and a write thread that drains a write buffer to the device. Plain C++17 over
// the operating system's serial interface.
//
// The owner passes a function that runs a call on its user-interface thread and returns when
// the call has run (in a Qt program: QMetaObject::invokeMethod with a blocking queued
// connection); it is only ever called from the component's own threads. Close and destruction
// never wait for a thread that waits on that call: such a call, once it runs, does nothing.
//
// The device opened is DeviceName with PortNum put in for its integer placeholder ("COM%d" and
// 5 give COM5); a name without a placeholder, such as a /dev/serial/by-id path, is used as it
// is. A device that is gone (unplugged, hung up) is reported as ceError, with leIoError in the
// line errors, whatever MonitorEvents holds, as long as any event is monitored. On POSIX
// systems the other line events are received bytes (ceRxChar) and, where the driver counts
// them, modem-line changes, breaks and line errors; an event character (ceRxFlag) is not
// detected there.

#include "device/serial/serdevice.h"
#include "device/serial/serobjects.h"
#include "device/serial/serprst.h"
#include "device/serial/sertypes.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

namespace zarvik {

class TSerThread;
class TSerCommEventThread;
class TSerCommWriteThread;

// Base of the component: knows whether it is being destroyed and when it has been loaded.
class TSerComponent {
public:
    virtual ~TSerComponent() = default;
    // Called by the owner once the component's properties have all been set.
    virtual void Loaded() {}

protected:
    bool m_destroying = false;
};

class TSerCustomComm;
using TSerNotifyEvent = std::function<void(TSerCustomComm& sender)>;
using TSerRxCharEvent = std::function<void(TSerCustomComm& sender, int count)>;
using TSerErrorEvent = std::function<void(TSerCustomComm& sender, std::uint32_t errors)>;
// Receives exceptions raised by event handlers, of whatever type, which must not reach the
// component's threads.
using TSerExceptionHandler = std::function<void(std::exception_ptr error)>;

class TSerCustomComm : public TSerComponent {
public:
    // invoker runs a function on the user-interface thread and waits for it; it must not be
    // empty. Every event is raised through it.
    explicit TSerCustomComm(TSerUiInvoker invoker);
    TSerCustomComm(const TSerCustomComm&) = delete;
    TSerCustomComm& operator=(const TSerCustomComm&) = delete;
    ~TSerCustomComm() override;

    void Loaded() override;

    void Open();
    void Close();
    bool IsOpen() const;

    int WriteBytes(const void* data, int count);
    bool WriteString(const std::string& text);
    bool WriteByte(std::uint8_t value);
    int ReadBytes(void* buffer, int count);
    int InQueueCount();
    void GetLineStatus(std::uint32_t& errors, TSerComStat& status);
    bool CheckLineErrors();
    void Purge(std::uint32_t flags);
    void PurgeAll();

    // The open port's line settings as one record, to be changed and written back.
    TSerLineSettings GetLineSettings();
    void SetLineSettings(const TSerLineSettings& settings);

    // Properties.
    bool AutoOpen() const { return m_autoOpen; }
    void SetAutoOpen(bool value) { m_autoOpen = value; }
    TSerBaudrate Baudrate() const { return m_baudrate; }
    void SetBaudrate(TSerBaudrate value);
    std::uint32_t UserBaudrate() const { return m_userBaudrate; }
    void SetUserBaudrate(std::uint32_t value);
    TSerParity Parity() const { return m_parity; }
    void SetParity(TSerParity value);
    bool ParityCheck() const { return m_parityCheck; }
    void SetParityCheck(bool value);
    TSerDatabits Databits() const { return m_databits; }
    void SetDatabits(TSerDatabits value);
    TSerStopbits Stopbits() const { return m_stopbits; }
    void SetStopbits(TSerStopbits value);
    TSerOptions Options() const { return m_options; }
    void SetOptions(TSerOptions value);
    TSerEventChars& EventChars() { return m_eventChars; }
    TSerFlowControl& FlowControl() { return m_flowControl; }
    TSerBuffers& Buffers() { return m_buffers; }
    int PortNum() const { return m_portNum; }
    void SetPortNum(int value);
    const std::string& DeviceName() const { return m_deviceName; }
    void SetDeviceName(const std::string& value);
    TSerCommEvents MonitorEvents() const { return m_monitorEvents; }
    void SetMonitorEvents(TSerCommEvents value);
    TSerThreadPriority EventPriority() const { return m_eventPriority; }
    void SetEventPriority(TSerThreadPriority value);
    TSerThreadPriority WritePriority() const { return m_writePriority; }
    void SetWritePriority(TSerThreadPriority value);
    bool DirectWrite() const { return m_directWrite; }
    void SetDirectWrite(bool value);
    bool UpdateDCB() const { return m_updateDCB; }
    void SetUpdateDCB(bool value);

    void SetExceptionHandler(TSerExceptionHandler handler) { m_onException = std::move(handler); }

    // Events, raised on the user-interface thread.
    TSerNotifyEvent OnOpen, OnClose, OnCts, OnDsr, OnRlsd, OnRing, OnBreak, OnRxFlag, OnTxEmpty,
        OnPErr, OnRx80Full, OnEvent1, OnEvent2;
    TSerErrorEvent OnError;
    // count: the bytes waiting in the input queue; they stay there for the handler to read.
    TSerRxCharEvent OnRxChar;

protected:
    virtual void OpenDevice();
    virtual void StartThreads();
    virtual void DispatchRxChar();
    virtual void DispatchEvents(TSerCommEvents mask);

private:
    friend class TSerThread;
    friend class TSerCommEventThread;
    friend class TSerCommWriteThread;

    void DispatchLineEvents(TSerCommEvents mask);
    // Runs an event handler; an exception goes to the exception handler.
    void RunHandler(const std::function<void()>& handler);
    TSerLineSettings BuildLineSettings() const;
    void ApplyLineSettings();
    void StopThreads();
    void RequireClosed() const;
    // Sets a line property and applies it to the open port, keeping the old value on failure.
    template <class T> void SetLineProperty(T& field, T value);

    TSerUiInvoker m_invoker;
    TSerExceptionHandler m_onException;
    std::shared_ptr<TSerDevice> m_device;
    TSerCriticalSection m_readLock;
    std::shared_ptr<TSerCriticalSection> m_writeLock;
    std::shared_ptr<TSerCommEventThread> m_eventThread;
    std::shared_ptr<TSerCommWriteThread> m_writeThread;
    TSerCommEvents m_eventMask = 0;

    bool m_autoOpen = false;
    TSerBaudrate m_baudrate = br1200;
    std::uint32_t m_userBaudrate = 0;
    TSerParity m_parity = paNone;
    bool m_parityCheck = false;
    TSerDatabits m_databits = db8;
    TSerStopbits m_stopbits = sb1;
    TSerOptions m_options = 0;
    TSerEventChars m_eventChars;
    TSerFlowControl m_flowControl;
    TSerBuffers m_buffers;
    int m_portNum = 0;
    std::string m_deviceName = "COM%d";
    TSerCommEvents m_monitorEvents = ceError | ceRxChar | ceTxEmpty;
    TSerThreadPriority m_eventPriority = tpNormal;
    TSerThreadPriority m_writePriority = tpHighest;
    bool m_directWrite = false;
    bool m_updateDCB = true;
};

class TSerComm : public TSerCustomComm {
public:
    using TSerCustomComm::TSerCustomComm;
};

} // namespace zarvik
