#pragma once
// The spectrum and trend window: one row of controls over two charts in the same place, the
// amplitude spectrum of a channel (lines or envelope) in the first, the logarithm of its
// deviation with the fitted trend line in the second. The main window hands it the values to
// analyse and takes back the text for the clipboard.

#include "analysis/spectrumsettings.h"

#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;

namespace zarvik {

class ArrowSeries;
class Chart;
class LineSeries;
struct SpectrumApplied;
struct TrendResult;
enum class WindowFunction;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    // Window bounds as the settings file counts them: the outer size, with the same frame
    // the main window counts.
    int windowHeight() const;
    int windowWidth() const;
    void setWindowBounds(int height, int width, int left, int top);

    // What the spectrum command of the main window sets before it runs btSpectrumClick.
    struct AnalysisRequest {
        int channel = 1;            // 1..8
        std::vector<double> values; // the channel's points as drawn, from point 0
        int visibleFirst = -1;      // the main chart's visible point range
        int visibleLast = -1;
        double samplePeriodUs = 0.0;
        std::string fileName; // the file last chosen in the main window's open dialog
    };
    AnalysisRequest Request;

    // Calls into the main window.
    std::function<void()> spectrumCommand;            // btSpGo runs the spectrum command
    std::function<void()> trendCommand;               // btTr runs the trend command
    std::function<void(const QStringList&)> copyText; // lines onto the clipboard
    std::function<void(const QString&)> showHelp;     // F1: "Idh_Page#anchor" of the control
    // Keeps the window's settings as it closes; false when they could not be kept.
    std::function<bool(const SpectrumSettings&)> saveSettings;

    // Handlers.
    void btSpectrumClick();
    void btTrClick();
    void seStepChange();
    void btSaveChClick();
    void FormResize();
    void FormClose();

    // The window's two states: the spectrum chart with its options enabled, or the trend
    // chart with them disabled.
    void showSpectrumChart();
    void showTrendChart();
    // The trend chart's bottom axis reads in the main chart's units.
    void setTrendAxisTitle(const QString& title);
    // Draws a fitted trend: the logarithm points, the line and the result label. Without a
    // result the chart and the label are emptied.
    void showTrend(const TrendResult* result);

    // rgSpEnv: 0 "Огибающая", 1 "Спектр".
    int spectrumType() const;
    void setSpectrumType(int index);

    // cbWindow: the window function over the points of each transform.
    WindowFunction windowFunction() const;
    void setWindowFunction(WindowFunction window);

    // The window's settings as its controls and bounds hold them now; the stored ones put
    // into the controls as the operator would (the step edit's doubling rule runs on them).
    SpectrumSettings settings() const;
    void applySettings(const SpectrumSettings& s);

    const int ChartHeightMargin = 65;
    const int ChartWidthMargin = 12;

    QToolButton* btSaveCh = nullptr;
    QLabel* lbStep = nullptr;
    QSpinBox* seStep = nullptr;
    QLabel* lbFmax = nullptr;
    QSpinBox* seFmax = nullptr;
    QGroupBox* rgSpEnv = nullptr;
    std::array<QRadioButton*, 2> rgSpEnvItems{};
    QPushButton* btSpGo = nullptr;
    QPushButton* btTr = nullptr;
    QComboBox* cbWindow = nullptr;
    QSpinBox* seAverage = nullptr; // segments averaged
    QCheckBox* cbDecibels = nullptr;
    QCheckBox* cbSp2ClipBrd = nullptr;
    QLabel* lbSpectrumMax = nullptr;
    QPushButton* btSpectrum = nullptr;

    Chart* Chart1 = nullptr;
    ArrowSeries* SpectArrows = nullptr;
    LineSeries* Envelope = nullptr;
    Chart* Chart2 = nullptr;
    LineSeries* seriLn = nullptr;
    LineSeries* seriTrend = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildControls();
    void buildCharts();
    // Where F1 on each control of the window opens the help.
    void setHelpTopics();
    void FormCreate();
    void setSpectrumOptionsEnabled(bool enabled);
    // The axis titles: in decibels, and with what the options applied when any is not the
    // default.
    void showApplied(const SpectrumApplied* applied);

    QWidget* m_controlRow = nullptr;
    int m_previousStep = 1;         // the last accepted step, for the doubling rule
    std::vector<double> m_spectrum; // amplitudes of the last transform, kept for the run
    SpectrumSettings m_stored;      // as last read or written, for the keys kept when absent
};

} // namespace zarvik
