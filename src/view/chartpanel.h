#pragma once
// The floating panel of the chart's options: its controls only; the chart view and the zero
// levels own their behaviour.

#include "ui/widgets.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace zarvik {

// "График" (teal): axis mode, smoothing, zero levels, the cursors' switch and the files laid
// over the measurement.
class ChartPanel : public ClickableGroupBox {
    Q_OBJECT
public:
    explicit ChartPanel(QWidget* parent = nullptr);
    QComboBox* cbShowK = nullptr;
    QCheckBox* cbInt = nullptr;
    QSpinBox* seInt = nullptr;
    QPushButton* btZeros = nullptr;
    QCheckBox* cbRestoreParams = nullptr;
    QLabel* Label11 = nullptr;
    std::array<QLabel*, 9> lbCh{}; // lbCh[1..8]
    QPushButton* btSaveZeros = nullptr;
    QPushButton* btLoadScalesFile = nullptr;
    QCheckBox* cbCursors = nullptr;
    QPushButton* btOverlay = nullptr;
    // One row per file laid over the measurement: its name and the button that takes it away.
    static constexpr int kReferenceRows = 3;
    std::array<QLabel*, kReferenceRows> lbReference{};
    std::array<QPushButton*, kReferenceRows> btRemoveReference{};
};

} // namespace zarvik
