#pragma once
// One measurement on the board, from the start command to the drawn result: the start (by
// button, from the tool bar, by Enter, and the quick start that waits for the board's own
// transfer), the measurement-finished byte, the transfer of the array packet by packet with
// its repeats, the progress panel, the repeat read and the hidden boot command. The bytes and
// decisions come from device/boardprotocol.h and device/receivehandler.h; this part carries
// them out on the line and the controls.
//
// The array arrives in a buffer of its own and becomes the measurement only when its last
// packet is in: an interrupted transfer leaves the measurement on screen, and what a save
// would write, as they were.

#include "common/measurement.h"
#include "device/receivehandler.h"

#include <QObject>
#include <QString>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QSpinBox;
class QTimer;
class QWidget;

namespace zarvik {

class LinkSupervisor;

class MeasurementCycle : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QAbstractButton* btStart = nullptr;
        QAbstractButton* btStartPlus = nullptr;
        QAbstractButton* btRead = nullptr;
        QAbstractButton* btBoot = nullptr;
        QAbstractButton* btChooseF = nullptr;
        std::array<QCheckBox*, 9> cbCh{}; // [1..8]
        QSpinBox* seF = nullptr;
        QSpinBox* seSamples = nullptr;
        QWidget* gbFT = nullptr;
        QGroupBox* gbFile = nullptr;
        QWidget* pnlChart = nullptr;
        QProgressBar* progressBar = nullptr;
        QLabel* lbAll = nullptr;
        QLabel* lbElapsedVal = nullptr;
        QLabel* lbRestVal = nullptr;
        QLabel* lbPercent = nullptr;
        QLabel* lbRestPercent = nullptr;
        std::function<void(int, const QString&)> setStatus;
        // The converter range item of "Диапазон АЦП" and the start mode (0 or 16).
        std::function<int()> rangeIndex;
        std::function<int()> startMode;
        // The time unit of the chart's time axis ("мкс", "мс", "с").
        std::function<int()> timeUnit; // the time units' item the title is made for
        // The time edit's change handler, run by the quick start.
        std::function<void()> seTimeChange;
        std::function<void()> showChart;
    };

    MeasurementCycle(const Controls& controls, TMeasurement& measurement, LinkSupervisor& link,
                     QObject* parent = nullptr);

    // A transfer's array has just become the measurement, before it is drawn.
    std::function<void()> measurementArrived;

    // False when the start was refused (no link, no channel, a frequency the board cannot take).
    bool btStartClick();
    void btStartPlusClick();
    // Enter starts, Escape hides the group; true when the key was taken.
    bool btStartKeyPress(int key);
    void ctlBarDblClick();
    void SendStartCommand();
    void CommRxChar(int count);
    void TimRxTimer();
    void GetData();
    void timSendCmdTimer();
    void btReadClick();
    void btBootClick();
    void TimPrgssBarTimer();
    void ShowStartProcess(const QString& text);
    // Bit 0 clears status panel 0, bit 2 status panel 2.
    void ShowFinishProcess(int flags);
    // The end of every drawing: the cycle is idle again.
    void drawingFinished();
    // The progress panel's percentages, cleared when a drawing starts.
    void clearPercentLabels();

    CycleState State;
    QString TransferText;
    double MeasureTimeMs = 0.0;
    double TransferTimeMs = 0.0;
    int ClockDivisor = 0;
    std::uint32_t ProgressStartTick = 0;
    std::int32_t ProgressTotalSec = 0;
    std::int32_t ProgressElapsedSec = 0;
    std::int32_t ProgressRestSec = 0;
    std::uint16_t ProgressPercent = 0;

    QTimer* TimRx = nullptr;
    QTimer* TimPrgssBar = nullptr;
    QTimer* timSendCmd = nullptr;
    // Nothing came after a request during the transfer, or no finish byte after a start by
    // button: the line is asked once more, then the transfer counts as interrupted.
    QTimer* timStall = nullptr;

    // How long the line must be quiet before a chunk other than a whole packet is judged. A
    // USB serial adapter hands a packet over in pieces, up to its latency timer (commonly
    // 16 ms) apart; a packet still arriving must never be judged.
    static constexpr int kQuietMs = 20;
    // How long the rest of a packet cut short may keep the line before the packet is asked
    // for again regardless.
    static constexpr int kRemainderMs = 200;
    static constexpr int kStallMs = 3000;

private:
    // What a start prepares for the measurement; it becomes the measurement's together with
    // the samples when the last packet is in.
    struct Pending {
        double SamplePeriodUs = 0.0;
        double MeasuredAt = 0.0;
        std::string XTitle;
        std::string ChannelsLine;
        std::int16_t BlockCount = kMaxBlocks;
        bool sawNextPacket = false;
    };

    std::uint32_t tickCount() const;
    std::uint8_t checkedMask() const;
    bool portReady();
    void write(const ByteString& bytes);
    void startProgress(double totalMs);
    void showProgressFigures();
    void armStall();
    void stallTimeout();
    void lineLost();
    QString transferInterruptedText() const;
    void commitTransfer();
    void interrupt(const QString& why);
    void status(int panel, const QString& text);
    bool eventFilter(QObject* watched, QEvent* event) override;

    Controls m_c;
    TMeasurement& m_m;
    LinkSupervisor& m_link;
    Pending m_pending;
    std::vector<std::uint8_t> m_received;
    std::chrono::steady_clock::time_point m_epoch;
    // A rejected packet: the rest of it is dropped until it is in and the line is quiet, then
    // the repeat request goes out.
    bool m_draining = false;
    std::size_t m_drainOwed = 0;
    ByteString m_afterDrain;
    // The one extra "r" "q" of a stall has gone out.
    bool m_stallAsked = false;
};

} // namespace zarvik
