#pragma once
// The channel chart of the main window: rebuilding the lines from the measurement, the axis
// modes and time units, smoothing, channel boxes and colours, the X read-out and the record of
// the visible point range on which export, spectrum and trend work.

#include "common/measurement.h"
#include "view/chartbuild.h"

#include <QColor>
#include <QObject>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QSpinBox;
class QWidget;

namespace zarvik {

class Chart;
class ColorPanel;
class LineSeries;

class ChartView : public QObject {
    Q_OBJECT
public:
    // The controls of the main window this part works on.
    struct Controls {
        Chart* chart = nullptr;
        std::array<QCheckBox*, 9> cbCh{};
        std::array<ColorPanel*, 9> pColorCh{};
        QComboBox* cbShowK = nullptr;
        QComboBox* cbTimeunits = nullptr;
        // Other lists whose change rebuilds the chart like a change of the time unit.
        std::vector<QComboBox*> alsoRebuildOn;
        QCheckBox* cbInt = nullptr;
        QSpinBox* seInt = nullptr;
        QAbstractButton* btSpectrGo = nullptr;
        QAbstractButton* btTrend = nullptr;
        QAbstractButton* btOptions = nullptr;
        QWidget* pnlChart = nullptr;
        // Status panel text by index 0..2.
        std::function<void(int, const QString&)> setStatus;
    };

    ChartView(const Controls& controls, TMeasurement& measurement, QObject* parent = nullptr);

    // Runs at the points where a build reaches into other parts: the progress labels are
    // cleared (before the split), the zero-level step (when a zero run is pending) and the
    // return of the link to idle (at the end).
    std::function<void()> clearProgressLabels;
    std::function<void()> zeroLevelStep;
    std::function<void()> buildFinished;
    // The board measures or sends: a build then only draws what is held, and leaves the
    // progress panel and a pending zero-level step to the build that ends the measurement.
    std::function<bool()> measurementRunning;
    // The process text of the status bar: shown when the smoothing box rebuilds, cleared at
    // the end of a build (flags 7: the first and the third panel).
    std::function<void(const QString& text)> startProcess;
    std::function<void(int flags)> finishProcess;
    // The colour dialog; tests answer it. Returns nothing when the operator cancels.
    std::function<std::optional<QColor>(const QColor& initial)> chooseColor;
    // After a channel box click, the sampling limits follow the new channel count.
    std::function<void()> channelsChanged;

    LineSeries* series(int channel) const { return m_series[static_cast<std::size_t>(channel)]; }

    void ShowChart();
    void cbShowKChange();
    void cbTimeunitsChange();
    void cbIntClick();
    void cbChClick(int channel);
    void pColorChClick(int channel);
    void Chart1MouseMove(int x, int y);
    void Chart1AfterDraw();
    // Gives the channel its colour: the panel first, then the series and the box from it.
    void setChannelColor(int channel, const QColor& color);

    // The view of the last build: axis mode, time unit, smoothing and the channel boxes; before
    // the first build with data, the one the controls chose since.
    const ChartBuildInput& buildInput() const { return m_input; }

signals:
    // After every run of ShowChart, also one that found no data to draw.
    void built();
    void channelColorChanged(int channel);

public:
    double TimeUnitDivisor = 1.0;
    int TimeUnit = -1; // the time units' item of the last build; none before
    AxisMode BuiltMode = AxisMode::ValuesTime; // the axis mode of the last build
    // The left and the bottom axis titles as the text export writes them.
    const std::pair<std::string, std::string>& fileAxisTitles() const { return m_fileTitles; }
    double XStep = 0.0;
    std::int32_t VisibleFirst = -1;
    std::int32_t VisibleLast = -1;

private:
    void setBottomTitle(const UiSource& title);
    void setLeftTitle(const std::string& forFiles, const QString& shown);

    Controls m_c;
    TMeasurement& m_m;
    ChartBuildInput m_input;
    bool m_builtWithData = false;
    std::array<LineSeries*, 9> m_series{};
    ChartBuildOutput m_points; // reused between builds
    std::pair<std::string, std::string> m_fileTitles;
};

} // namespace zarvik
