#pragma once
// The floating panel of the sampling parameters: its controls only; the sampling panel
// (view/samplingpanel.h) owns their behaviour.

#include "ui/widgets.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zarvik {

// "Частота выборки / Время измерения": channel selection, F, T, sample count, start.
class FTPanel : public ClickableGroupBox {
    Q_OBJECT
public:
    explicit FTPanel(QWidget* parent = nullptr);
    std::array<QCheckBox*, 9> cbCh{}; // cbCh[1..8]
    SpinEdit* seF = nullptr;
    SpinEdit* seTime = nullptr;
    QSpinBox* seSamples = nullptr;
    ArrowPair* seRoot = nullptr;
    QPushButton* btStart = nullptr;
    QLabel* lbErrIn = nullptr;
    QLabel* lbTrueValues = nullptr;
    QLabel* lbF = nullptr;
    QLabel* lbT = nullptr;
    QLabel* lbMinutes = nullptr;
    // "Серия измерений": how many, the pause, the folder and name of the files, the start.
    QSpinBox* seSeriesCount = nullptr;
    QSpinBox* seSeriesPause = nullptr;
    QPushButton* btSeriesFolder = nullptr;
    QLabel* lbSeriesFolder = nullptr;
    QLineEdit* eSeriesName = nullptr;
    QPushButton* btSeries = nullptr;
};

} // namespace zarvik
