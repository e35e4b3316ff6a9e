#pragma once
// The table under the chart that reads the two cursors: their places t1 and t2, Δt and 1/Δt,
// and for each shown channel, in the units of the chart and smoothed as drawn, the values at
// the cursors, their difference and the figures of the points between them (the same figures
// `d8c stats` prints); the files laid over the measurement get rows of their own on request.
// It follows the cursors as they move and puts itself on the clipboard as tab-separated text.

#include <QFrame>
#include <QStringList>
#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace zarvik {

class Chart;
class ChartView;
class LineSeries;
class References;
struct TMeasurement;

class CursorTable : public QFrame {
    Q_OBJECT
public:
    CursorTable(Chart& chart, ChartView& view, References& references,
                const TMeasurement& measurement, QWidget* parent = nullptr);

    QLabel* lbCursorTimes = nullptr;
    QCheckBox* cbWithReference = nullptr;
    QPushButton* btCopyCursors = nullptr;
    QTableWidget* tblCursors = nullptr;

    // The cursors' switch: shows or hides the cursors on the chart and this table with them.
    void setCursorsOn(bool on);
    bool cursorsOn() const { return m_on; }
    // The height the table would take to show all its rows, but no more than `available`.
    int heightFor(int available) const;
    // The table as tab-separated text: the header of the times and their values, an empty
    // line, then the header of the rows and the rows.
    QString text() const;
    void btCopyCursorsClick();

    // Puts a text on the clipboard.
    std::function<void(const QString&)> copyText;

signals:
    // The table took more or fewer rows, or was shown or hidden: the window lays it out anew.
    void layoutChanged();

private:
    // What the rows are made from: the cursors' points, the lines and which of them are shown.
    std::vector<long long> state() const;
    void refresh();
    void chooseCursorSeries();
    void setRows(const std::vector<QStringList>& rows);

    Chart& m_chart;
    ChartView& m_view;
    References& m_references;
    const TMeasurement& m_m;
    bool m_on = false;
    unsigned m_builds = 0;
    unsigned m_referenceChanges = 0;
    std::vector<long long> m_shown; // what the rows were made from
    QStringList m_timesHeader;
    QStringList m_times;
};

} // namespace zarvik
