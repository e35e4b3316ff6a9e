#pragma once
// The panel "Журнал измерений": every measurement of the history, newest first, with its date,
// channels, frequency, samples, duration, the first line of its comment and the name it was
// saved under. A double-click or Enter opens one as the current measurement through the
// ordinary reader; the filter looks through the comments; a measurement can be pinned, so
// that it is never removed for space, and deleted; "previous" and "next" step through the
// list; the folder opens in the system's file manager. A window beside the main window, so
// that the chart of what it opens stays in sight.

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace zarvik {

class HistoryFilter;
class HistoryModel;
class MeasurementHistory;

class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    HistoryWindow(MeasurementHistory& history, QWidget* parent = nullptr);

    // Asks the operator a yes-or-no question; tests answer it.
    std::function<bool(const QString& question)> confirm;
    // The help at "Idh_Page#anchor".
    std::function<void(const QString& topic)> showHelp;

    void btHistOpenClick();
    void btHistPinClick();
    void btHistDeleteClick();
    // Older and newer than the measurement selected, in the list as filtered.
    void btHistPrevClick();
    void btHistNextClick();
    void eHistFilterChange();

    QLineEdit* eHistFilter = nullptr;
    QTableView* tvHistory = nullptr;
    QPushButton* btHistOpen = nullptr;
    QPushButton* btHistPin = nullptr;
    QPushButton* btHistDelete = nullptr;
    QPushButton* btHistPrev = nullptr;
    QPushButton* btHistNext = nullptr;
    QPushButton* btHistFolder = nullptr;
    QPushButton* btHistClose = nullptr;
    QLabel* lbHistInfo = nullptr;

    HistoryFilter* filter() const { return m_filter; }
    // The measurement selected in the list; empty when none is.
    std::string selected() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void selectRow(int row);
    void selectCurrent();
    void openRow(int row);
    void updateButtons();
    void updateInfo();
    void fitColumns();

    MeasurementHistory& m_history;
    HistoryModel* m_model = nullptr;
    HistoryFilter* m_filter = nullptr;
    bool m_fitted = false; // the columns' widths are set
};

} // namespace zarvik
