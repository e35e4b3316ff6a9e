#pragma once
// The floating panel of the program's options. Several parts share its controls (colours and
// time units: the chart view; steps: the sampling panel; range: the measurement cycle;
// language: the main window), so the main window owns it and hands each part its controls.

#include "ui/widgets.h"

#include <array>

class QComboBox;
class QLabel;
class QRadioButton;

namespace zarvik {

// "Опции" (olive): channel colours, time units, export, help, steps, language, converter range,
// the space of the history of measurements.
class OptionsPanel : public ClickableGroupBox {
    Q_OBJECT
public:
    explicit OptionsPanel(QWidget* parent = nullptr);
    std::array<ColorPanel*, 9> pColorCh{}; // pColorCh[1..8]
    std::array<QLabel*, 9> lbColorCh{};
    QComboBox* cbTimeunits = nullptr;
    QComboBox* cbStoreX = nullptr;
    QComboBox* cbHelp = nullptr;
    QComboBox* cbLanguage = nullptr; // system's, Russian, English
    QSpinBox* seFstep = nullptr;
    QSpinBox* seTstep = nullptr;
    QSpinBox* seHistoryLimit = nullptr; // megabytes the history of measurements may take
    QGroupBox* rgRefADC = nullptr;
    std::array<QRadioButton*, 2> rgRefADCItems{};
    int refAdcIndex() const;
    void setRefAdcIndex(int index);
};

} // namespace zarvik
