#pragma once
// A series of measurements: the same settings measured again and again, with a pause between
// them or each on the board's external start, every measurement numbered, kept and — when a
// folder and a name are given — saved there as NAME_0001.d8c, NAME_0002.d8c... with the
// series' comment. While a series runs the start buttons stop it; a stop waits for the
// measurement under way to arrive whole, a pause ends at once, and a fault of the link ends the
// series with what it took.

#include "device/seriesplan.h"

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;

namespace zarvik {

class MeasurementSeries : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QAbstractButton* btSeries = nullptr;
        QSpinBox* seSeriesCount = nullptr; // 0: until stopped
        QSpinBox* seSeriesPause = nullptr; // seconds
        QAbstractButton* btSeriesFolder = nullptr;
        QLabel* lbSeriesFolder = nullptr;
        QLineEdit* eSeriesName = nullptr;
        // The start buttons, whose captions say "Стоп серии" while a series runs.
        QAbstractButton* btStart = nullptr;
        QAbstractButton* btStartPlus = nullptr;
        std::function<void(int, const QString&)> setStatus;
    };

    MeasurementSeries(const Controls& controls, QObject* parent = nullptr);

    // Calls into the other parts.
    std::function<bool()> startMeasurement; // a start with the current settings; false: refused
    std::function<std::vector<std::string>()> seriesComment; // the comment memo's lines
    // Saves the current measurement under `fileName` with `comment`; throws what the writer
    // throws.
    std::function<void(const std::string& fileName, const std::vector<std::string>& comment)>
        saveMeasurement;
    // The folder dialog; empty when cancelled.
    std::function<QString(const QString& initial)> chooseFolder;

    SeriesPlan plan() const;
    void applyPlan(const SeriesPlan& p);

    bool running() const { return m_running; }
    // The plan the running series keeps to, whatever the controls say meanwhile.
    const SeriesPlan& runningPlan() const { return m_plan; }
    int taken() const { return m_taken; }

    // Handlers.
    void btSeriesClick();
    void btSeriesFolderClick();
    // A start button while the series runs: it asks the series to stop. False when no series
    // runs and the start is the button's own.
    bool takeStartClick();
    // A measurement of the series has arrived and is the current one; called before it is
    // drawn, so that the next start never waits for a drawing.
    void measurementArrived();
    // The link failed under the series' measurement: the series ends. The note for the
    // operator's message, empty when no series ran.
    QString interrupted();

    QTimer* timSeriesPause = nullptr;

private:
    void start();
    void finish();
    void startNext();
    void pauseTick();
    void showCaptions();
    void showStatus();

    Controls m_c;
    SeriesPlan m_plan; // fixed while the series runs
    std::vector<std::string> m_comment;
    QString m_folder;
    QString m_startCaption;
    QString m_startPlusCaption;
    bool m_running = false;
    bool m_stopRequested = false;
    int m_taken = 0;
    int m_pauseLeft = 0;
};

} // namespace zarvik
