#include "device/measurementcycle.h"

#include "device/linksupervisor.h"
#include "files/filetime.h"
#include "ui/language.h"
#include "ui/operatormessages.h"
#include "view/chartbuild.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <thread>

namespace zarvik {
namespace {

// The sampling period of a measurement the board starts on its own: 21 periods of its clock.
constexpr double kQuickStartPeriodUs = 1.4241536458333333;
constexpr double kQuickStartTransferMs = 8000.0;
constexpr double kShowProgressAboveMs = 2000.0;

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

MeasurementCycle::MeasurementCycle(const Controls& controls, TMeasurement& measurement,
                                   LinkSupervisor& link, QObject* parent)
    : QObject(parent), m_c(controls), m_m(measurement), m_link(link),
      m_epoch(std::chrono::steady_clock::now()) {
    TimRx = new QTimer(this);
    TimRx->setSingleShot(true);
    TimRx->setInterval(kQuietMs);
    TimPrgssBar = new QTimer(this);
    TimPrgssBar->setInterval(250);
    timSendCmd = new QTimer(this);
    timSendCmd->setInterval(400);
    timStall = new QTimer(this);
    timStall->setSingleShot(true);
    connect(TimRx, &QTimer::timeout, this, [this] { guarded([this] { TimRxTimer(); }); });
    connect(TimPrgssBar, &QTimer::timeout, this, &MeasurementCycle::TimPrgssBarTimer);
    connect(timSendCmd, &QTimer::timeout, this, [this] { guarded([this] { timSendCmdTimer(); }); });
    connect(timStall, &QTimer::timeout, this, [this] { guarded([this] { stallTimeout(); }); });

    const auto click = [this](QAbstractButton* button, void (MeasurementCycle::*handler)()) {
        connect(button, &QAbstractButton::clicked, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    connect(m_c.btStart, &QAbstractButton::clicked, this,
            [this] { guarded([this] { btStartClick(); }); });
    m_c.btStart->installEventFilter(this);
    click(m_c.btStartPlus, &MeasurementCycle::btStartPlusClick);
    click(m_c.btRead, &MeasurementCycle::btReadClick);
    click(m_c.btBoot, &MeasurementCycle::btBootClick);

    // The line is the cycle's from now on; the echo of the link check arrives through it too.
    m_link.Comm().OnRxChar = [this](TSerCustomComm&, int count) { CommRxChar(count); };
    // A board unplugged while it measures or sends: no reply will come. While idle the link
    // check finds it.
    m_link.Comm().OnError = [this](TSerCustomComm&, std::uint32_t errors) {
        if (errors & leIoError)
            lineLost();
    };
}

void MeasurementCycle::lineLost() {
    if (State.measuring())
        interrupt(tr("Связь с платой АЦП прервалась во время измерения."));
    else if (State.transferring() && State.PacketsLeft > 0)
        interrupt(transferInterruptedText());
}

QString MeasurementCycle::transferInterruptedText() const {
    const auto got = static_cast<int>(m_received.size() / (2 * board::kSamplesPerPacket));
    return tr("Передача массива прервана: получено пакетов %1 из %2. Массив остался в памяти "
              "платы АЦП: после восстановления связи его можно считать снова кнопкой "
              "\"Повтор чтения\".")
        .arg(got)
        .arg(State.PacketsTotal);
}

std::uint32_t MeasurementCycle::tickCount() const {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - m_epoch)
                                          .count());
}

std::uint8_t MeasurementCycle::checkedMask() const {
    std::uint8_t mask = 0;
    for (int n = 1; n <= kChannels; ++n)
        if (m_c.cbCh[n]->isChecked())
            mask = static_cast<std::uint8_t>(mask | (1u << (n - 1)));
    return mask;
}

void MeasurementCycle::status(int panel, const QString& t) {
    if (m_c.setStatus)
        m_c.setStatus(panel, t);
}

void MeasurementCycle::write(const ByteString& bytes) {
    if (!bytes.empty())
        m_link.Comm().WriteBytes(bytes.data(), static_cast<int>(bytes.size()));
}

bool MeasurementCycle::portReady() {
    if (m_link.Comm().IsOpen())
        return true;
    operatorMessages().information(
        tr("Нет связи с платой АЦП. Подключите АЦП к компьютеру и повторите."));
    return false;
}

bool MeasurementCycle::btStartClick() {
    const std::uint8_t mask = checkedMask();
    const int F = m_c.seF->value();
    const std::optional<int> divisor = startDivisor(F);
    if (mask == 0) {
        operatorMessages().information(tr("Должен быть выбран хотя бы один канал!"));
        return false;
    }
    if (!divisor) {
        operatorMessages().information(
            tr("Частота выборки %1 Гц не может быть задана плате АЦП: наименьшая частота - "
               "225 Гц.")
                .arg(F));
        return false;
    }
    if (!portReady())
        return false;

    m_pending = Pending();
    m_pending.ChannelsLine = channelsLine(mask);
    m_link.LinkCheckPending = false;
    m_link.timCheckUSB->stop();
    m_c.btChooseF->setText(tr("Выбор F/T"));
    QPalette pal = m_c.btChooseF->palette();
    pal.setColor(QPalette::ButtonText, Qt::black);
    m_c.btChooseF->setPalette(pal);

    State.PacketsLeft = 1;
    m_pending.BlockCount = static_cast<std::int16_t>(m_m.SRAMblocks);

    MeasureTimeMs = measureTimeMs(m_m.SRAMblocks, channelsInMask(mask), F);
    timStall->stop();
    if (MeasureTimeMs > kShowProgressAboveMs) {
        startProgress(MeasureTimeMs);
        m_c.pnlChart->show();
        m_c.pnlChart->raise();
    }
    m_c.gbFT->hide();

    ClockDivisor = *divisor;
    m_pending.SamplePeriodUs = samplePeriodUs(ClockDivisor);

    const int blocks = m_c.seSamples->value() / kWordsPerBlock;
    State.CurrentCommand = startCommand(modeByte(m_c.rangeIndex(), m_c.startMode()), mask,
                                        ClockDivisor, blockCode(std::clamp(blocks, 1, kMaxBlocks)));
    State.StartCommand = State.CurrentCommand;

    TransferTimeMs = transferTimeMs(m_m.SRAMblocks);
    TransferText = translated(transferText(TransferTimeMs));

    SendStartCommand();
    // A start by button is answered once the measuring time is over; an external start may
    // come at any time, so only then is there nothing to wait for.
    if (m_c.startMode() == 0) {
        timStall->setInterval(static_cast<int>(MeasureTimeMs) + kStallMs);
        timStall->start();
    }
    return true;
}

void MeasurementCycle::btStartPlusClick() {
    m_c.btStart->click();
}

bool MeasurementCycle::btStartKeyPress(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        btStartClick();
        return true;
    }
    if (key == Qt::Key_Escape) {
        m_c.gbFT->hide();
        return true;
    }
    return false;
}

bool MeasurementCycle::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_c.btStart && event->type() == QEvent::KeyPress) {
        bool taken = false;
        guarded([&] { taken = btStartKeyPress(static_cast<QKeyEvent*>(event)->key()); });
        return taken;
    }
    return QObject::eventFilter(watched, event);
}

void MeasurementCycle::ctlBarDblClick() {
    if (!portReady())
        return;
    m_link.timCheckUSB->stop();
    timStall->stop();
    m_pending = Pending();
    m_c.gbFT->hide();
    State.PacketsLeft = 1;
    State.CurrentCommand = startAndWaitCommand();
    State.StartCommand = State.CurrentCommand;
    m_pending.SamplePeriodUs = kQuickStartPeriodUs;
    m_pending.BlockCount = kMaxBlocks;
    if (m_c.seTimeChange)
        m_c.seTimeChange();
    TransferText = tr("ОЖИДАНИЕ ПЕРЕДАЧИ ДАННЫХ");
    TransferTimeMs = kQuickStartTransferMs;
    SendStartCommand();
}

void MeasurementCycle::SendStartCommand() {
    m_pending.MeasuredAt = measuredAtNow();
    m_pending.XTitle = "Время, мкс";
    m_c.lbPercent->clear();
    m_c.lbRestPercent->clear();
    ProgressStartTick = tickCount();
    status(0, tr("ИЗМЕРЕНИЕ"));
    status(2, QString());
    m_draining = false;
    TimRx->stop();
    timSendCmd->stop();
    write(State.CurrentCommand);
}

void MeasurementCycle::CommRxChar(int count) {
    if (State.transferring())
        timStall->stop();
    if (m_draining) {
        // The rest of a rejected packet is no packet to judge.
        std::vector<std::uint8_t> drop(static_cast<std::size_t>(count));
        const auto got =
            static_cast<std::size_t>(std::max(m_link.Comm().ReadBytes(drop.data(), count), 0));
        m_drainOwed -= std::min(m_drainOwed, got);
        TimRx->start(m_drainOwed > 0 ? kRemainderMs : kQuietMs);
        return;
    }
    if (count == static_cast<int>(board::kPacketSize)) {
        TimRx->stop();
        TimRxTimer();
        return;
    }
    // Judged once the line has been quiet: a packet still arriving is not cut in two.
    TimRx->start(kQuietMs);
}

void MeasurementCycle::TimRxTimer() {
    TimRx->stop();
    TSerComm& comm = m_link.Comm();
    if (m_draining) {
        m_draining = false;
        comm.Purge(pfAbortInput | pfClearInput);
        write(m_afterDrain);
        armStall();
        return;
    }
    // Everything waiting, at least the 530 bytes a packet with some stray bytes takes.
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::max(comm.InQueueCount(), 530)));
    const int n = comm.ReadBytes(chunk.data(), static_cast<int>(chunk.size()));
    if (n <= 0)
        return;

    const bool wasMeasuring = State.measuring();
    const ChunkDecision d = receiveChunk(State, chunk.data(), static_cast<std::size_t>(n),
                                         m_link.LinkCheckPending, m_received);
    if (d.linkCheckAnswered)
        m_link.LinkCheckAnswered = true;
    if (d.clearLegacyFormat)
        m_pending.sawNextPacket = true;
    if (d.status0)
        status(0, translated(*d.status0));
    if (d.status1)
        status(1, translated(*d.status1));
    if (d.rejected) {
        // A packet cut short by a pause on the line still owes its remaining bytes; they are
        // read and dropped as they come, and only then is the packet asked for again.
        m_draining = true;
        m_afterDrain = d.write;
        // Stray bytes before it only add to what is owed, which the quiet time covers.
        const auto got = static_cast<std::size_t>(n);
        m_drainOwed = got < board::kPacketSize ? board::kPacketSize - got : 0;
        TimRx->start(m_drainOwed > 0 ? kRemainderMs : kQuietMs);
    } else if (!d.write.empty()) {
        write(d.write);
        armStall();
    }
    if (wasMeasuring && (d.startTransfer || d.draw))
        timStall->stop();
    if (d.startTransfer)
        GetData();
    if (d.transferComplete)
        commitTransfer();
    if (d.draw) {
        m_c.showChart();
        // After an unexpected reply with nothing to redraw no drawing ends the cycle.
        if (m_m.SampleData.empty())
            drawingFinished();
    }
}

void MeasurementCycle::armStall() {
    if (!State.transferring() || State.PacketsLeft == 0)
        return;
    timStall->setInterval(kStallMs);
    timStall->start();
}

void MeasurementCycle::stallTimeout() {
    if (State.measuring()) {
        interrupt(tr("Плата АЦП не сообщила об окончании измерения."));
        return;
    }
    if (!State.transferring() || State.PacketsLeft == 0)
        return;
    if (!m_stallAsked) {
        m_stallAsked = true;
        write({board::kRepeat, board::kNext});
        timStall->setInterval(kStallMs);
        timStall->start();
        return;
    }
    interrupt(transferInterruptedText());
}

void MeasurementCycle::interrupt(const QString& why) {
    TimRx->stop();
    timSendCmd->stop();
    timStall->stop();
    TimPrgssBar->stop();
    m_c.pnlChart->hide();
    m_draining = false;
    m_stallAsked = false;
    State.CurrentCommand = {0x00};
    State.PacketsLeft = 0;
    m_received.clear();
    m_received.shrink_to_fit();
    status(1, QString());
    m_link.declareLinkLost(why);
}

void MeasurementCycle::commitTransfer() {
    m_m.SampleData.swap(m_received);
    m_received.clear();
    m_m.SamplePeriodUs = m_pending.SamplePeriodUs;
    m_m.MeasuredAt = m_pending.MeasuredAt;
    m_m.XTitle = m_pending.XTitle;
    m_m.ChannelsLine = m_pending.ChannelsLine;
    m_m.BlockCount = m_pending.BlockCount;
    if (m_pending.sawNextPacket)
        m_m.LegacyFormat = false;
    m_m.FromFile = false;
    timStall->stop();
    m_stallAsked = false;
    if (measurementArrived)
        measurementArrived();
}

void MeasurementCycle::GetData() {
    m_pending.XTitle = kTimeTitles[static_cast<std::size_t>(std::clamp(m_c.timeUnit(), 0, 2))].text;
    m_c.lbPercent->clear();
    m_c.lbRestPercent->clear();
    State.PacketsLeft = State.PacketsTotal =
        static_cast<std::uint16_t>(m_pending.BlockCount * board::kPacketsPerBlock);
    // Before any start in this run the mode byte is that of the controls as they stand.
    const std::uint8_t mode = State.StartCommand.size() > 1
                                  ? State.StartCommand[1]
                                  : modeByte(m_c.rangeIndex(), m_c.startMode());
    State.CurrentCommand = readCommand(mode, blockCode(m_m.SRAMblocks));
    m_received.clear();
    m_received.reserve(static_cast<std::size_t>(State.PacketsTotal) * 2 * board::kSamplesPerPacket);
    m_draining = false;
    m_stallAsked = false;
    m_pending.sawNextPacket = false;
    m_link.Comm().PurgeAll();
    status(0, TransferText);
    ProgressStartTick = tickCount();
    startProgress(TransferTimeMs);
    m_c.gbFile->setTitle(tr("Комментарий"));
    timSendCmd->start();
}

void MeasurementCycle::timSendCmdTimer() {
    timSendCmd->stop();
    write(State.CurrentCommand);
    armStall();
}

void MeasurementCycle::btReadClick() {
    if (!portReady())
        return;
    State.CurrentCommand = {0x00};
    m_pending.BlockCount = static_cast<std::int16_t>(m_m.SRAMblocks);
    m_link.timCheckUSB->stop();
    timStall->stop();
    if (TransferText.isEmpty()) {
        // No start in this run has said how long the array takes.
        TransferTimeMs = transferTimeMs(m_m.SRAMblocks);
        TransferText = translated(transferText(TransferTimeMs));
    }
    if (m_pending.MeasuredAt == 0.0) {
        m_pending.MeasuredAt = measuredAtNow();
        m_pending.SamplePeriodUs = m_m.SamplePeriodUs;
    }
    GetData();
}

void MeasurementCycle::btBootClick() {
    State.CurrentCommand = {board::kBoot};
    write(State.CurrentCommand);
    // The byte must be on the line before the port closes.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    m_link.closePort();
}

void MeasurementCycle::startProgress(double totalMs) {
    const auto maximum = static_cast<int>(std::llround(totalMs));
    m_c.progressBar->setMaximum(std::max(maximum, 1));
    m_c.progressBar->setValue(0);
    TimPrgssBar->start();
    ProgressTotalSec = static_cast<std::int32_t>(std::nearbyint(totalMs / 1000.0));
    ProgressElapsedSec = 0;
    ProgressRestSec = ProgressTotalSec;
    showProgressFigures();
    m_c.lbAll->setText(text(minutesSeconds(ProgressTotalSec)));
}

void MeasurementCycle::showProgressFigures() {
    m_c.lbElapsedVal->setText(text(minutesSeconds(ProgressElapsedSec)));
    m_c.lbRestVal->setText(text(minutesSeconds(ProgressRestSec)));
}

void MeasurementCycle::TimPrgssBarTimer() {
    const ProgressFigures p = progressFigures(tickCount() - ProgressStartTick, ProgressTotalSec,
                                              m_c.progressBar->maximum());
    ProgressElapsedSec = p.elapsedSec;
    ProgressRestSec = p.restSec;
    ProgressPercent = p.percent;
    m_c.lbPercent->setText(QString::number(p.percent) + "%");
    m_c.lbRestPercent->setText(QString::number(100 - p.percent) + "%");
    showProgressFigures();
    m_c.progressBar->setValue(std::min(p.position, m_c.progressBar->maximum()));
    if (p.finished) {
        m_c.pnlChart->hide();
        TimPrgssBar->stop();
    }
}

void MeasurementCycle::ShowStartProcess(const QString& t) {
    status(0, t);
}

void MeasurementCycle::ShowFinishProcess(int flags) {
    if (flags & 1)
        status(0, QString());
    if (flags & 4)
        status(2, QString());
}

void MeasurementCycle::drawingFinished() {
    State.CurrentCommand = {0x00};
    m_link.resumeLinkCheck();
}

void MeasurementCycle::clearPercentLabels() {
    m_c.lbPercent->clear();
    m_c.lbRestPercent->clear();
}

} // namespace zarvik
