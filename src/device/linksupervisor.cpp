#include "device/linksupervisor.h"

#include "device/serial/serutils.h"
#include "ui/operatormessages.h"

#include <QAbstractButton>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <cstdlib>

namespace zarvik {
namespace {

constexpr std::uint16_t kVendorId = 0x10C4;
constexpr std::uint16_t kProductId = 0xEA61;
constexpr char kInstance[] = "0001";

// A 9 x 17 USB plug: a body with two contacts and a cable, in the state's colour.
QIcon usbIcon(const QColor& color) {
    QPixmap p(9, 17);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setPen(Qt::black);
    g.setBrush(color);
    g.drawRect(0, 6, 8, 8);
    g.fillRect(2, 1, 5, 5, Qt::gray);
    g.drawRect(2, 1, 4, 5);
    g.fillRect(3, 2, 1, 2, Qt::black);
    g.fillRect(5, 2, 1, 2, Qt::black);
    g.drawLine(4, 14, 4, 16);
    return QIcon(p);
}

} // namespace

UsbComPort findBoardPort() {
    const QByteArray named = qgetenv("ZARVIK_PORT");
    if (!named.isEmpty()) {
        UsbComPort p;
        p.PortNumber = 1;
        p.DeviceName = named.toStdString();
        return p;
    }
    return FindUsbComPort(kVendorId, kProductId, kInstance);
}

QString LinkSupervisor::noBoardMessage() {
    const QString notFound = tr("USB-устройство в реестре не обнаружено");
#ifdef _WIN32
    return notFound;
#else
    const QString ids = QString("%1:%2")
                            .arg(kVendorId, 4, 16, QChar('0'))
                            .arg(kProductId, 4, 16, QChar('0'))
                            .toUpper();
    return notFound + "\n\n" +
           tr("Проверьте кабель USB. Программа ищет АЦП по коду USB %1 (имена %2 и "
              "/dev/serial/by-id/…); другой порт можно указать в переменной окружения "
              "ZARVIK_PORT.")
               .arg(ids, QString::fromStdString(UsbPortRoots{}.boardLink.string()));
#endif
}

QString LinkSupervisor::portAccessMessage(const PortAccess& access, const QString& systemText) {
    const QString node = QString::fromStdString(access.node);
    const QString user = access.user.empty() ? "$USER" : QString::fromStdString(access.user);
    const QString group = QString::fromStdString(access.group);
    QString why;
    if (!access.known) {
        why = tr("Проверьте права на этот файл устройства: ls -l %1").arg(node);
    } else if (!access.groupMayReadWrite || access.group == "root") {
        // Joining the group would not help, or would give the user far more than the port.
        why = tr("Права порта не позволяют открыть его обычному пользователю (группа «%1»). "
                 "Установите правило udev, затем выполните «sudo udevadm control "
                 "--reload-rules» и переподключите АЦП.")
                  .arg(group);
    } else if (access.inGroupNow) {
        why = tr("Пользователь %1 входит в группу «%2», которой порт открыт; доступ запрещён "
                 "чем-то другим (списки ACL, политика безопасности). Проверьте: ls -l %3")
                  .arg(user, group, node);
    } else if (access.inGroupListed) {
        why = tr("Пользователь %1 уже внесён в группу «%2», но этот сеанс начат раньше. Выйдите "
                 "из системы и войдите снова.")
                  .arg(user, group);
    } else {
        why = tr("Порт принадлежит группе «%1», а пользователь %2 в неё не входит. Добавьте его "
                 "в группу командой\n\n    sudo usermod -aG %1 %2\n\nи войдите в систему "
                 "заново.")
                  .arg(group, user);
    }
    return tr("Нет доступа к порту АЦП %1: %2.").arg(node, systemText) + "\n\n" + why + "\n\n" +
           tr("Правило udev %1 (входит в пакет программы; без пакета его копируют в "
              "/etc/udev/rules.d) отдаёт порт АЦП группе «dialout» с правами 0660 и даёт ему "
              "постоянное имя %2.")
               .arg(QString::fromLatin1(kUdevRuleName),
                    QString::fromStdString(UsbPortRoots{}.boardLink.string()));
}

LinkSupervisor::LinkSupervisor(const Controls& controls, QObject* parent)
    : QObject(parent), m_c(controls), m_comm(std::make_unique<TSerComm>(m_uiCalls.invoker())),
      m_green(usbIcon(QColor(0, 170, 0))), m_red(usbIcon(QColor(220, 0, 0))) {
    findPort = &findBoardPort;
    // The window's design of the component: DTR off, RTS on, no flow control.
    m_comm->FlowControl().SetControlDtr(dtrDisabled);
    m_comm->FlowControl().SetControlRts(rtsEnabled);
    m_comm->SetBaudrate(br9600);
    // Received bytes and the event character; the write thread reports an empty buffer. Line
    // errors and modem lines are not watched, so their counters are not polled; an unplugged
    // board is still reported as a line error (leIoError).
    m_comm->SetMonitorEvents(ceRxChar | ceTxEmpty | ceRxFlag);
    m_comm->OnRxChar = [this](TSerCustomComm&, int count) { CommRxChar(count); };
    m_comm->SetExceptionHandler(&showException);

    timConnect = new QTimer(this);
    timConnect->setInterval(500);
    timCheckUSB = new QTimer(this);
    timCheckUSB->setInterval(1000);
    // The port's errors ("Output buffer is full...") are shown; none escapes a slot.
    connect(timConnect, &QTimer::timeout, this, [this] { guarded([this] { timConnectTimer(); }); });
    connect(timCheckUSB, &QTimer::timeout, this,
            [this] { guarded([this] { timCheckUSBTimer(); }); });
    connect(m_c.btUSB, &QAbstractButton::clicked, this,
            [this] { guarded([this] { btUSBClick(); }); });
    showUsb(false);
    timCheckUSB->start();
}

LinkSupervisor::~LinkSupervisor() {
    closePort();
}

void LinkSupervisor::showUsb(bool green) {
    m_c.btUSB->setIcon(green ? m_green : m_red);
}

void LinkSupervisor::setStartEnabled(bool enabled) {
    m_c.btStart->setEnabled(enabled);
    m_c.btStartPlus->setEnabled(enabled);
}

void LinkSupervisor::status(const QString& text) {
    if (m_c.setStatus)
        m_c.setStatus(0, text);
}

void LinkSupervisor::closePort() {
    try {
        if (m_comm->IsOpen())
            m_comm->Close();
    } catch (...) {
        // A port that fails to close is gone anyway.
    }
}

void LinkSupervisor::OpenPort(Sender sender) {
    showUsb(false);
    closePort();
    setStartEnabled(false);
    timCheckUSB->stop();

    if (sender != Sender::timConnect) {
        const UsbComPort found = findPort();
        PortNumber = found.PortNumber;
        PortDevice = found.DeviceName;
    }
    if (PortNumber < 0) {
        if (sender == Sender::Window) {
            operatorMessages().information(noBoardMessage());
            timConnect->start();
        }
        return;
    }
#ifdef _WIN32
    if (PortNumber == 0) // COM0 does not exist
        return;
#endif

    m_comm->SetParity(paOdd);
    m_comm->SetDatabits(db8);
    m_comm->SetStopbits(sb1);
    showUsb(true);
    try {
        m_comm->SetPortNum(PortNumber);
        m_comm->SetDeviceName(PortDevice);
    } catch (const std::exception&) {
        // The open below reports a port that cannot be named.
    }

    try {
        m_comm->Open();
        TSerLineSettings line = m_comm->GetLineSettings();
        line.BaudRate = kBaud;
        m_comm->SetLineSettings(line);
    } catch (const std::exception& e) {
        closePort();
        // A port the user may not open is there: "connect the converter" would mislead.
        const auto* serial = dynamic_cast<const ESerCommError*>(&e);
        const int error = serial ? serial->ErrorCode() : 0;
        const bool denied = isAccessDenied(error);
        if (sender != Sender::timConnect)
            operatorMessages().information(
                denied ? portAccessMessage(examinePortAccess(PortDevice),
                                           QString::fromStdString(SystemErrorText(error)))
                       : tr("Если необходимо выполнить измерения, подключите АЦП. Для просмотра "
                            "записанных файлов подключение АЦП не обязательно."));
        showUsb(false);
        status(denied ? tr("USB: нет доступа к порту") : tr("USB: нет связи"));
        timConnect->start();
        return;
    }

    showUsb(true);
    timConnect->stop();
    m_comm->WriteString(")");
    setStartEnabled(true);
    timCheckUSB->start();
    LinkCheckAnswered = true;
    ++m_opened;
    status(tr("USB: Связь установлена"));
}

void LinkSupervisor::btUSBClick() {
    if (reconnecting)
        reconnecting();
    OpenPort(Sender::btUSB);
}

void LinkSupervisor::timConnectTimer() {
    ++ConnectBlinkCount;
    if (ConnectBlinkCount % 2 != 0) {
        showUsb(true);
        return;
    }
    showUsb(false);
    OpenPort(Sender::timConnect);
}

void LinkSupervisor::timCheckUSBTimer() {
    LinkCheckPending = true;
    if (LinkCheckAnswered) {
        // Cleared first: an echo byte that cannot go out is not answered either, and the next
        // tick finds the link lost instead of failing on the full buffer again.
        LinkCheckAnswered = false;
        m_comm->WriteByte(kEcho);
        return;
    }
    const int opened = m_opened;
    declareLinkLost();
    // Back while the message was shown: the fresh link's first check must not find it lost.
    if (m_opened == opened)
        LinkCheckAnswered = false;
}

void LinkSupervisor::declareLinkLost(const QString& why) {
    if (m_reportingLoss)
        return;
    timCheckUSB->stop();
    LinkCheckPending = false;
    try {
        m_comm->PurgeAll();
    } catch (const std::exception&) {
        // The line is already gone; the reconnect loop takes over.
    }
    timConnect->start();
    setStartEnabled(false);
    const int opened = m_opened;
    QStringList parts;
    for (const QString& part : {why, lossNote ? lossNote() : QString(),
                                tr("Для восстановления связи просто подключите устройство")})
        if (!part.isEmpty())
            parts << part;
    m_reportingLoss = true;
    operatorMessages().message(parts.join("\n\n"));
    m_reportingLoss = false;
    if (m_opened != opened)
        return;
    status(tr("USB: нет связи"));
    showUsb(true);
    m_c.btUSB->setEnabled(true);
}

void LinkSupervisor::resumeLinkCheck() {
    if (!m_comm->IsOpen())
        return;
    timCheckUSB->start();
    LinkCheckAnswered = true;
}

void LinkSupervisor::CommRxChar(int count) {
    if (count <= 0)
        return;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    const int got = m_comm->ReadBytes(bytes.data(), count);
    if (got > 0 && LinkCheckPending && bytes[0] == kEcho)
        LinkCheckAnswered = true;
}

} // namespace zarvik
