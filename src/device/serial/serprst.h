#pragma once
// The component's property groups: buffer sizes and time-outs, special characters, handshake.
// A change is reported to the owner unless an update is in progress; when the owner refuses a
// change (the port is open, or the line rejects it) the old value is kept.

#include "device/serial/sertypes.h"

#include <functional>

namespace zarvik {

class TSerPersistent {
public:
    virtual ~TSerPersistent() = default;

    void SetOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }
    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate();

protected:
    void Changed();
    template <class T> void Assign(T& field, T value) {
        const T old = field;
        field = value;
        try {
            Changed();
        } catch (...) {
            field = old;
            throw;
        }
    }

private:
    int m_updateCount = 0;
    std::function<void()> m_onChange;
};

class TSerBuffers : public TSerPersistent {
public:
    int ReadSize() const { return m_readSize; }
    int WriteSize() const { return m_writeSize; }
    int ReadTimeout() const { return m_readTimeout; }
    int WriteTimeout() const { return m_writeTimeout; }
    void SetReadSize(int value) { Assign(m_readSize, value); }
    void SetWriteSize(int value) { Assign(m_writeSize, value); }
    void SetReadTimeout(int value) { Assign(m_readTimeout, value); }
    void SetWriteTimeout(int value) { Assign(m_writeTimeout, value); }

private:
    int m_readSize = 4096;
    int m_writeSize = 2048;
    int m_readTimeout = 1000;
    int m_writeTimeout = 1000;
};

class TSerEventChars : public TSerPersistent {
public:
    char XonChar() const { return m_xonChar; }
    char XoffChar() const { return m_xoffChar; }
    char ErrorChar() const { return m_errorChar; }
    char EventChar() const { return m_eventChar; }
    char EofChar() const { return m_eofChar; }
    void SetXonChar(char value) { Assign(m_xonChar, value); }
    void SetXoffChar(char value) { Assign(m_xoffChar, value); }
    void SetErrorChar(char value) { Assign(m_errorChar, value); }
    void SetEventChar(char value) { Assign(m_eventChar, value); }
    void SetEofChar(char value) { Assign(m_eofChar, value); }

private:
    char m_xonChar = 17;
    char m_xoffChar = 19;
    char m_errorChar = 0;
    char m_eventChar = 0;
    char m_eofChar = 0;
};

class TSerFlowControl : public TSerPersistent {
public:
    bool OutCtsFlow() const { return m_outCtsFlow; }
    bool OutDsrFlow() const { return m_outDsrFlow; }
    TSerDtrControl ControlDtr() const { return m_controlDtr; }
    TSerRtsControl ControlRts() const { return m_controlRts; }
    bool XonXoffOut() const { return m_xonXoffOut; }
    bool XonXoffIn() const { return m_xonXoffIn; }
    bool DsrSensitivity() const { return m_dsrSensitivity; }
    bool TxContinueOnXoff() const { return m_txContinueOnXoff; }
    void SetOutCtsFlow(bool value) { Assign(m_outCtsFlow, value); }
    void SetOutDsrFlow(bool value) { Assign(m_outDsrFlow, value); }
    void SetControlDtr(TSerDtrControl value) { Assign(m_controlDtr, value); }
    void SetControlRts(TSerRtsControl value) { Assign(m_controlRts, value); }
    void SetXonXoffOut(bool value) { Assign(m_xonXoffOut, value); }
    void SetXonXoffIn(bool value) { Assign(m_xonXoffIn, value); }
    void SetDsrSensitivity(bool value) { Assign(m_dsrSensitivity, value); }
    void SetTxContinueOnXoff(bool value) { Assign(m_txContinueOnXoff, value); }

private:
    bool m_outCtsFlow = false;
    bool m_outDsrFlow = false;
    TSerDtrControl m_controlDtr = dtrDisabled;
    TSerRtsControl m_controlRts = rtsDisabled;
    bool m_xonXoffOut = false;
    bool m_xonXoffIn = false;
    bool m_dsrSensitivity = false;
    bool m_txContinueOnXoff = false;
};

} // namespace zarvik
