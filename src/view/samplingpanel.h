#pragma once
// The group "Частота выборки / Время измерения" at work: sampling frequency F, measurement
// time T and sample count S kept consistent with each other, with the number of checked
// channels and with the board's limits, and the true values that the board's integer clock
// divisor gives. The formulas are those of view/sampling.h; this part applies them to the
// controls.

#include "common/measurement.h"
#include "common/uitext.h"

#include <QObject>
#include <array>
#include <functional>
#include <optional>

class QAbstractButton;
class QCheckBox;
class QKeyEvent;
class QLabel;
class QSpinBox;
class QTimer;
class QWidget;

namespace zarvik {

class SpinEdit;
struct TrueValues;

class SamplingPanel : public QObject {
    Q_OBJECT
public:
    // The controls of the main window this part works on.
    struct Controls {
        QWidget* gbFT = nullptr;
        QAbstractButton* btChooseF = nullptr;
        std::array<QCheckBox*, 9> cbCh{}; // [1..8]
        SpinEdit* seF = nullptr;
        SpinEdit* seTime = nullptr;
        QSpinBox* seSamples = nullptr;
        QAbstractButton* seRootUp = nullptr;
        QAbstractButton* seRootDown = nullptr;
        QLabel* lbErrIn = nullptr;
        QLabel* lbF = nullptr;
        QLabel* lbT = nullptr;
        QLabel* lbMinutes = nullptr;
        // The steps, in the options panel.
        QSpinBox* seFstep = nullptr;
        QSpinBox* seTstep = nullptr;
        QWidget* gbOptions = nullptr;
        QAbstractButton* btOptions = nullptr;
    };

    SamplingPanel(const Controls& controls, TMeasurement& measurement, QObject* parent = nullptr);

    // The click action of the start button; Enter in the frequency edit runs it.
    std::function<void()> startMeasurement;

    // Start-up, with the values of the settings file: the memory blocks (anything outside
    // 1..8 is 8) and the sample count, Time4allSRAM, and F (below 225 it is 2048).
    void applyStoredValues(int sramBlocks, int time4allSRAM, int frequency);
    // Start-up: the limits of F and T for the channels checked, T at its maximum.
    void setStartLimits();

    void btChooseFClick();
    void seFChange();
    void seFExit();
    void seTimeChange();
    void seTimeExit();
    void seSamplesChange();
    void seRootUpClick();
    void seRootDownClick();
    void seFstepExit();
    void seTstepExit();
    void seFDblClick();
    void seTimeDblClick();
    // Keys in the three edits; true when the key was taken.
    bool seFKeyPress(int key);
    bool seTimeKeyPress(int key);
    bool seSamplesKeyPress(const QKeyEvent& key);
    void CalcUseChnl();
    void showFTlbl();
    void TimErrBlinkTimer();

    QTimer* TimErrBlink = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // seFChange's work on the F typed, also run when the group is opened (the edit has just
    // got the focus).
    void checkFrequency(int F);
    void rootStep(bool up);
    void showTrueValues(const std::optional<TrueValues>& values);
    void showError(const UiText& text);
    void hideError();
    void hideGroup();

    Controls m_c;
    TMeasurement& m_m;
    // Set while a handler writes its own edit, so that the change it makes is not checked a
    // second time halfway through (the limit message would be hidden again).
    bool m_settingF = false;
    bool m_settingT = false;
    bool m_errorYellow = false;
};

} // namespace zarvik
