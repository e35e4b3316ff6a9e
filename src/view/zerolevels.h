#pragma once
// The calibration file at the window: "scales.scl" read at start-up and on request, and the
// zero levels of the last zero run written back into it as the channels' new shifts.

#include "common/measurement.h"

#include <QObject>
#include <array>
#include <filesystem>
#include <functional>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace zarvik {

class LineSeries;

class ZeroLevels : public QObject {
    Q_OBJECT
public:
    // The controls of the group "Нулевые уровни" this part works on, and those a zero run sets
    // for its measurement and gives back afterwards.
    struct Controls {
        QAbstractButton* btZeros = nullptr;
        QAbstractButton* btSaveZeros = nullptr;
        QAbstractButton* btLoadScalesFile = nullptr;
        QCheckBox* cbRestoreParams = nullptr;
        std::array<QLabel*, 9> lbCh{};    // [1..8]
        std::array<QCheckBox*, 9> cbCh{}; // [1..8]
        QSpinBox* seSamples = nullptr;
        QSpinBox* seF = nullptr;
        QComboBox* cbShowK = nullptr;
        QSpinBox* seInt = nullptr;
        QCheckBox* cbInt = nullptr;
    };

    ZeroLevels(const Controls& controls, TMeasurement& measurement, QObject* parent = nullptr);

    // Where the file is read and where it is written (beside the program, or in the user's
    // configuration folder when the program's folder cannot be written).
    std::function<std::filesystem::path()> readPath;
    std::function<std::filesystem::path()> writePath;
    // The start button's click action; false when the start was refused.
    std::function<bool()> startMeasurement;
    // The chart's line of a channel, read by the zero step.
    std::function<const LineSeries*(int channel)> series;

    // Reads the scales, the shifts and the title of the physical quantity. The chart takes
    // them at its next build.
    void GetScalesFileData();
    void btLoadScalesFileClick();
    // A short measurement of all channels, heavily smoothed, whose level at rest is each
    // channel's zero.
    void btZerosClick();
    // Inside the chart build of the zero run's data: the levels, their labels, and the
    // operator's settings back when so chosen.
    void zeroStep();
    // Writes the zero levels that a zero run has found as the shifts of their channels,
    // leaving the rest of the file as it was. The shifts in use change only when the file is
    // read again.
    void btSaveZerosClick();

    // Point 3000 of a channel's smoothed line: far enough in for the average over 512 points
    // to have settled.
    static constexpr int kZeroPoint = 3000;

private:
    void restoreParams();

    Controls m_c;
    TMeasurement& m_m;
    // Channels whose zero level a zero run has measured.
    std::uint8_t m_measured = 0;
};

} // namespace zarvik
