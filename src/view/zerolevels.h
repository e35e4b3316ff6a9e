#pragma once
// The calibration file at the window: "scales.scl" read at start-up and on request, and the
// zero levels of the last zero run written back into it as the channels' new shifts.

#include "common/measurement.h"

#include <QObject>
#include <array>
#include <filesystem>
#include <functional>

class QAbstractButton;
class QLabel;

namespace zarvik {

class ZeroLevels : public QObject {
    Q_OBJECT
public:
    // The controls of the group "Нулевые уровни" this part works on.
    struct Controls {
        QAbstractButton* btSaveZeros = nullptr;
        QAbstractButton* btLoadScalesFile = nullptr;
        std::array<QLabel*, 9> lbCh{}; // [1..8]
    };

    ZeroLevels(const Controls& controls, TMeasurement& measurement, QObject* parent = nullptr);

    // Where the file is read and where it is written (beside the program, or in the user's
    // configuration folder when the program's folder cannot be written).
    std::function<std::filesystem::path()> readPath;
    std::function<std::filesystem::path()> writePath;

    // Reads the scales, the shifts and the title of the physical quantity. The chart takes
    // them at its next build.
    void GetScalesFileData();
    void btLoadScalesFileClick();
    // Writes the zero levels as the shifts of channels 1..8, leaving the rest of the file as it
    // was. The shifts in use change only when the file is read again.
    void btSaveZerosClick();

private:
    Controls m_c;
    TMeasurement& m_m;
};

} // namespace zarvik
