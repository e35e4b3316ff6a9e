#include "device/serial/sercomm.h"

#include "device/serial/serconst.h"
#include "device/serial/serthreads.h"
#include "device/serial/serutils.h"

#include <algorithm>
#include <mutex>
#include <stdexcept>

namespace zarvik {
namespace {

[[noreturn]] void Raise(const char* format, int code) {
    throw ESerCommError(ErrorMessage(format, code), code);
}

} // namespace

std::uint32_t BaudrateValue(TSerBaudrate rate) {
    static const std::uint32_t values[] = {0,     110,    300,    600,   1200,  2400,
                                           4800,  9600,   14400,  19200, 38400, 56000,
                                           57600, 115200, 128000, 256000};
    return values[rate];
}

TSerCustomComm::TSerCustomComm(TSerUiInvoker invoker)
    : m_invoker(std::move(invoker)), m_writeLock(std::make_shared<TSerCriticalSection>()) {
    if (!m_invoker) {
        throw std::invalid_argument("TSerCustomComm needs a user-interface invoker");
    }
    const auto lineChanged = [this] {
        if (IsOpen() && m_updateDCB) {
            ApplyLineSettings();
        }
    };
    m_eventChars.SetOnChange(lineChanged);
    m_flowControl.SetOnChange(lineChanged);
    m_buffers.SetOnChange([this] { RequireClosed(); });
}

TSerCustomComm::~TSerCustomComm() {
    m_destroying = true;
    Close();
}

void TSerCustomComm::Loaded() {
    if (m_autoOpen) {
        Open();
    }
}

bool TSerCustomComm::IsOpen() const {
    return m_device != nullptr;
}

void TSerCustomComm::RequireClosed() const {
    if (IsOpen()) {
        throw ESerCommError(sPortOpen);
    }
}

void TSerCustomComm::Open() {
    RequireClosed();
    OpenDevice();
    try {
        if (m_updateDCB) {
            ApplyLineSettings();
        }
        const auto readSize = static_cast<std::uint32_t>(std::max(m_buffers.ReadSize(), 0));
        const auto writeSize = static_cast<std::uint32_t>(std::max(m_buffers.WriteSize(), 0));
        if (const int error = m_device->SetupQueues(readSize, writeSize)) {
            Raise(sSetupBuffers, error);
        }
        if (const int error = m_device->SetImmediateReads()) {
            Raise(sSetTimeouts, error);
        }
        m_eventMask = m_monitorEvents;
        if (!m_directWrite) {
            // The write thread reports an empty output buffer itself.
            m_eventMask &= ~static_cast<TSerCommEvents>(ceTxEmpty);
        }
        if (const int error = m_device->SetEventMask(m_eventMask)) {
            Raise(sSetEventMask, error);
        }
        StartThreads();
    } catch (...) {
        StopThreads();
        m_device->Close();
        m_device.reset();
        throw;
    }
    if (OnOpen) {
        RunHandler([this] { OnOpen(*this); });
    }
}

void TSerCustomComm::OpenDevice() {
    const std::string name = FormatDeviceName(m_deviceName, m_portNum);
    auto device = CreateSerDevice();
    if (const int error = device->Open(name)) {
        throw ESerCommError(
            FillMessage(sOpenFailed, {name, std::to_string(error), SystemErrorText(error)}), error);
    }
    m_device = std::move(device);
}

void TSerCustomComm::StartThreads() {
    if (m_eventMask != 0) {
        m_eventThread = std::make_shared<TSerCommEventThread>(this, m_invoker, m_device);
        m_eventThread->Start(m_eventPriority);
    }
    if (!m_directWrite) {
        // Only a handler set at opening is told of an empty buffer: the write thread would
        // otherwise wait on the user-interface thread after every write for nothing.
        const bool reportTxEmpty = (m_monitorEvents & ceTxEmpty) && OnTxEmpty;
        m_writeThread = std::make_shared<TSerCommWriteThread>(
            this, m_invoker, m_device, m_writeLock,
            static_cast<std::size_t>(std::max(m_buffers.WriteSize(), 1)), reportTxEmpty);
        m_writeThread->Start(m_writePriority);
    }
}

void TSerCustomComm::StopThreads() {
    if (m_eventThread) {
        m_eventThread->Stop();
        m_eventThread.reset();
    }
    if (m_writeThread) {
        m_writeThread->Stop();
        m_writeThread.reset();
    }
}

void TSerCustomComm::Close() {
    if (!IsOpen()) {
        return;
    }
    {
        std::lock_guard<TSerCriticalSection> lock(m_readLock);
        StopThreads();
        m_device->Close();
        m_device.reset();
    }
    if (!m_destroying && OnClose) {
        OnClose(*this);
    }
}

int TSerCustomComm::WriteBytes(const void* data, int count) {
    if (!IsOpen() || count <= 0) {
        return 0;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    const auto size = static_cast<std::size_t>(count);
    if (!m_directWrite) {
        if (!m_writeThread->Add(bytes, size, m_buffers.WriteTimeout())) {
            throw ESerCommError(sBufferFull);
        }
        return count;
    }
    std::lock_guard<TSerCriticalSection> lock(*m_writeLock);
    std::size_t written = 0;
    while (written < size) {
        const TSerWriteOutcome outcome = m_device->Write(bytes + written, size - written,
                                                         m_buffers.ReadTimeout(), nullptr, nullptr);
        if (outcome.kind == TSerWriteOutcome::Failed) {
            Raise(sWriteError, outcome.error);
        }
        if (outcome.kind != TSerWriteOutcome::Written) {
            break;
        }
        written += outcome.count;
    }
    if (written == size && (m_eventMask & ceTxEmpty) && OnTxEmpty) {
        RunHandler([this] { OnTxEmpty(*this); });
    }
    return static_cast<int>(written);
}

bool TSerCustomComm::WriteString(const std::string& text) {
    return WriteBytes(text.data(), static_cast<int>(text.size())) == static_cast<int>(text.size());
}

bool TSerCustomComm::WriteByte(std::uint8_t value) {
    return WriteBytes(&value, 1) == 1;
}

int TSerCustomComm::ReadBytes(void* buffer, int count) {
    if (!IsOpen() || count <= 0) {
        return 0;
    }
    std::lock_guard<TSerCriticalSection> lock(m_readLock);
    std::size_t got = 0;
    if (const int error =
            m_device->Read(static_cast<std::uint8_t*>(buffer), static_cast<std::size_t>(count),
                           m_buffers.ReadTimeout(), got)) {
        Raise(sReadError, error);
    }
    return static_cast<int>(got);
}

int TSerCustomComm::InQueueCount() {
    if (!IsOpen()) {
        return 0;
    }
    std::uint32_t errors;
    TSerComStat status;
    GetLineStatus(errors, status);
    return static_cast<int>(status.InQueue);
}

void TSerCustomComm::GetLineStatus(std::uint32_t& errors, TSerComStat& status) {
    std::lock_guard<TSerCriticalSection> lock(m_readLock);
    errors = 0;
    status = TSerComStat{};
    if (!IsOpen()) {
        return;
    }
    if (const int error = m_device->GetStatus(errors, status)) {
        Raise(sStatistics, error);
    }
}

bool TSerCustomComm::CheckLineErrors() {
    std::uint32_t errors;
    TSerComStat status;
    GetLineStatus(errors, status);
    if (errors != 0 && OnError) {
        RunHandler([&] { OnError(*this, errors); });
    }
    return errors != 0;
}

void TSerCustomComm::Purge(std::uint32_t flags) {
    if (!IsOpen()) {
        return;
    }
    std::lock_guard<TSerCriticalSection> lock(m_readLock);
    if (flags != (pfAbortInput | pfClearInput) && m_writeThread) {
        m_writeThread->ClearBuffer();
    }
    if (const int error = m_device->Purge(flags)) {
        Raise(sPurge, error);
    }
}

void TSerCustomComm::PurgeAll() {
    Purge(pfAbortOutput | pfAbortInput | pfClearOutput | pfClearInput);
}

TSerLineSettings TSerCustomComm::GetLineSettings() {
    TSerLineSettings settings;
    if (IsOpen()) {
        if (const int error = m_device->GetLineSettings(settings)) {
            Raise(sWriteDcb, error);
        }
    }
    return settings;
}

void TSerCustomComm::SetLineSettings(const TSerLineSettings& settings) {
    if (!IsOpen()) {
        return;
    }
    if (const int error = m_device->SetLineSettings(settings)) {
        Raise(sWriteDcb, error);
    }
}

TSerLineSettings TSerCustomComm::BuildLineSettings() const {
    TSerLineSettings s;
    s.BaudRate = m_baudrate == brUser ? m_userBaudrate : BaudrateValue(m_baudrate);
    std::uint32_t flags = lfBinary;
    if (m_parityCheck) {
        flags |= lfParity;
    }
    const TSerFlowControl& fc = m_flowControl;
    if (fc.OutCtsFlow()) {
        flags |= lfOutxCtsFlow;
    }
    if (fc.OutDsrFlow()) {
        flags |= lfOutxDsrFlow;
    }
    static const std::uint32_t dtr[] = {0, lfDtrControlEnable, lfDtrControlHandshake};
    flags |= dtr[fc.ControlDtr()];
    if (fc.DsrSensitivity()) {
        flags |= lfDsrSensitivity;
    }
    if (fc.TxContinueOnXoff()) {
        flags |= lfTxContinueOnXoff;
    }
    if (fc.XonXoffOut()) {
        flags |= lfOutX;
    }
    if (fc.XonXoffIn()) {
        flags |= lfInX;
    }
    if (m_options & coErrorChar) {
        flags |= lfErrorChar;
    }
    if (m_options & coNullStrip) {
        flags |= lfNull;
    }
    static const std::uint32_t rts[] = {0, lfRtsControlEnable, lfRtsControlHandshake,
                                        lfRtsControlToggle};
    flags |= rts[fc.ControlRts()];
    s.Flags = flags;
    const auto limit = static_cast<std::uint16_t>(std::min(m_buffers.ReadSize() / 4, 1024));
    s.XonLim = limit;
    s.XoffLim = limit;
    s.ByteSize = static_cast<std::uint8_t>(4 + m_databits);
    s.Parity = static_cast<std::uint8_t>(m_parity);
    s.StopBits = static_cast<std::uint8_t>(m_stopbits);
    s.XonChar = m_eventChars.XonChar();
    s.XoffChar = m_eventChars.XoffChar();
    s.ErrorChar = m_eventChars.ErrorChar();
    s.EofChar = m_eventChars.EventChar();
    s.EvtChar = m_eventChars.EventChar();
    return s;
}

void TSerCustomComm::ApplyLineSettings() {
    SetLineSettings(BuildLineSettings());
}

template <class T> void TSerCustomComm::SetLineProperty(T& field, T value) {
    const T old = field;
    field = value;
    if (IsOpen() && m_updateDCB) {
        try {
            ApplyLineSettings();
        } catch (...) {
            field = old;
            throw;
        }
    }
}

void TSerCustomComm::SetBaudrate(TSerBaudrate value) {
    const std::uint32_t oldUser = m_userBaudrate;
    if (value != brUser) {
        m_userBaudrate = 0;
    }
    try {
        SetLineProperty(m_baudrate, value);
    } catch (...) {
        m_userBaudrate = oldUser;
        throw;
    }
}

void TSerCustomComm::SetUserBaudrate(std::uint32_t value) {
    const TSerBaudrate oldRate = m_baudrate;
    m_baudrate = brUser;
    try {
        SetLineProperty(m_userBaudrate, value);
    } catch (...) {
        m_baudrate = oldRate;
        throw;
    }
}

void TSerCustomComm::SetParity(TSerParity value) {
    SetLineProperty(m_parity, value);
}

void TSerCustomComm::SetParityCheck(bool value) {
    SetLineProperty(m_parityCheck, value);
}

void TSerCustomComm::SetDatabits(TSerDatabits value) {
    SetLineProperty(m_databits, value);
}

void TSerCustomComm::SetStopbits(TSerStopbits value) {
    SetLineProperty(m_stopbits, value);
}

void TSerCustomComm::SetOptions(TSerOptions value) {
    SetLineProperty(m_options, value);
}

void TSerCustomComm::SetPortNum(int value) {
    RequireClosed();
    m_portNum = value;
}

void TSerCustomComm::SetDeviceName(const std::string& value) {
    RequireClosed();
    m_deviceName = value;
}

void TSerCustomComm::SetMonitorEvents(TSerCommEvents value) {
    RequireClosed();
    m_monitorEvents = value;
}

void TSerCustomComm::SetDirectWrite(bool value) {
    RequireClosed();
    m_directWrite = value;
}

void TSerCustomComm::SetUpdateDCB(bool value) {
    RequireClosed();
    m_updateDCB = value;
}

void TSerCustomComm::SetEventPriority(TSerThreadPriority value) {
    m_eventPriority = value;
    if (m_eventThread) {
        m_eventThread->SetPriority(value);
    }
}

void TSerCustomComm::SetWritePriority(TSerThreadPriority value) {
    m_writePriority = value;
    if (m_writeThread) {
        m_writeThread->SetPriority(value);
    }
}

void TSerCustomComm::RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        if (m_onException) {
            m_onException(std::current_exception());
        }
    }
}

void TSerCustomComm::DispatchLineEvents(TSerCommEvents mask) {
    if (mask & ceRxChar) {
        RunHandler([this] { DispatchRxChar(); });
        mask &= ~static_cast<TSerCommEvents>(ceRxChar);
    }
    if (mask != 0) {
        RunHandler([this, mask] { DispatchEvents(mask); });
    }
}

void TSerCustomComm::DispatchRxChar() {
    const int count = InQueueCount();
    if (count > 0 && OnRxChar) {
        OnRxChar(*this, count);
    }
}

void TSerCustomComm::DispatchEvents(TSerCommEvents mask) {
    if (mask & ceError) {
        CheckLineErrors();
    }
    const struct {
        TSerCommEvent bit;
        TSerNotifyEvent TSerCustomComm::*handler;
    } events[] = {
        {ceRxFlag, &TSerCustomComm::OnRxFlag},     {ceCts, &TSerCustomComm::OnCts},
        {ceDsr, &TSerCustomComm::OnDsr},           {ceRing, &TSerCustomComm::OnRing},
        {ceRlsd, &TSerCustomComm::OnRlsd},         {ceTxEmpty, &TSerCustomComm::OnTxEmpty},
        {ceBreak, &TSerCustomComm::OnBreak},       {cePErr, &TSerCustomComm::OnPErr},
        {ceRx80Full, &TSerCustomComm::OnRx80Full}, {ceEvent1, &TSerCustomComm::OnEvent1},
        {ceEvent2, &TSerCustomComm::OnEvent2}};
    for (const auto& e : events) {
        const TSerNotifyEvent& handler = this->*e.handler;
        if ((mask & e.bit) && handler) {
            handler(*this);
        }
    }
}

} // namespace zarvik
