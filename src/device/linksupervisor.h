#pragma once
// The link to the board: finding its port, opening it with the board's line settings, the
// greeting, the once-a-second echo check while idle, and the blinking reconnect loop when the
// link is lost. The program stays usable without the board; every failure ends in a message
// and a retry loop.

#include "device/portaccess.h"
#include "device/portfinder.h"
#include "device/serial/sercomm.h"
#include "device/uicallqueue.h"

#include <QIcon>
#include <QObject>
#include <functional>
#include <memory>

class QAbstractButton;
class QTimer;

namespace zarvik {

class LinkSupervisor : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QAbstractButton* btUSB = nullptr;
        QAbstractButton* btStart = nullptr;
        QAbstractButton* btStartPlus = nullptr;
        std::function<void(int, const QString&)> setStatus;
    };
    // Who asks for the port to be opened.
    enum class Sender { Window, btUSB, timConnect };

    explicit LinkSupervisor(const Controls& controls, QObject* parent = nullptr);
    ~LinkSupervisor() override;

    TSerComm& Comm() { return *m_comm; }
    // Successful openings of the port since the program started.
    int openings() const { return m_opened; }

    // Where the board is: the environment variable ZARVIK_PORT names a device to use instead
    // of the look-up by USB identity. Tests replace it.
    std::function<UsbComPort()> findPort;

    void OpenPort(Sender sender);
    // Called as the operator asks for the line to be opened anew ("USB"), before it closes.
    std::function<void()> reconnecting;
    // What else the loss of the link ended (a series of measurements), for the operator's
    // message; empty when nothing.
    std::function<QString()> lossNote;
    void btUSBClick();
    void timConnectTimer();
    void timCheckUSBTimer();
    // Bytes on a line that no measurement cycle reads: a chunk that begins with the echo byte
    // answers a pending link check.
    void CommRxChar(int count);
    // The end of a drawing: the check runs again, starting afresh, so that the time spent
    // measuring and drawing does not count as a lost link. Without an open port there is no
    // link to check.
    void resumeLinkCheck();
    // The link counts as lost: the reconnect loop starts and the operator is told, with `why`
    // before the usual words when a measurement was cut short.
    void declareLinkLost(const QString& why = QString());
    // Shut-down: closes the port; errors while closing are ignored.
    void closePort();

    // What the operator reads when the port may not be opened: the system's words, then who
    // owns the port and how to join its group, or to mend the port's rights with the udev rule.
    static QString portAccessMessage(const PortAccess& access, const QString& systemText);
    // The message when no board is found, with where the program looked.
    static QString noBoardMessage();

    int PortNumber = -1;
    std::string PortDevice;
    bool LinkCheckPending = false;
    bool LinkCheckAnswered = false;
    int ConnectBlinkCount = 0;
    QTimer* timConnect = nullptr;
    QTimer* timCheckUSB = nullptr;

    static constexpr std::uint8_t kEcho = 0x18;
    static constexpr std::uint32_t kBaud = 921600;

private:
    void showUsb(bool green);
    void setStartEnabled(bool enabled);
    void status(const QString& text);

    Controls m_c;
    UiCallQueue m_uiCalls; // outlives m_comm, whose threads call through it
    std::unique_ptr<TSerComm> m_comm;
    // Successful openings; the loss message runs a nested event loop in which the reconnect
    // loop may bring the link back.
    int m_opened = 0;
    bool m_reportingLoss = false;
    QIcon m_green;
    QIcon m_red;
};

// The board's port as the program looks for it: ZARVIK_PORT if set, else by USB identity.
UsbComPort findBoardPort();

} // namespace zarvik
