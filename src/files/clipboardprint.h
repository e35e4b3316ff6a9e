#pragma once
// Handing the measurement over to other programs: the chart printed on the default printer,
// the chart copied to the clipboard as a picture, and the comment copied as text with the
// data file's name and date.

#include "common/measurement.h"

#include <QObject>
#include <functional>
#include <memory>

class QAbstractButton;
class QAction;
class QMenu;
class QPlainTextEdit;
class QPoint;
class QPrinter;

namespace zarvik {

class Chart;

class ClipboardPrint : public QObject {
    Q_OBJECT
public:
    struct Controls {
        Chart* chart = nullptr;
        QAbstractButton* btPrint = nullptr;
        QAbstractButton* btSaveChart = nullptr;
        QAbstractButton* btCopy = nullptr;
        QPlainTextEdit* mComment = nullptr;
        QPlainTextEdit* mClipBoard = nullptr; // hidden staging area of clipboard text
    };

    ClipboardPrint(const Controls& controls, const TMeasurement& measurement,
                   QObject* parent = nullptr);

    // The default printer with its current settings; none when the system has no printer.
    std::function<std::unique_ptr<QPrinter>()> defaultPrinter;

    void btPrintClick();
    // One print job: the chart scaled into the full width and the upper half of the page.
    // Throws with the job's error when the printer cannot take it.
    void printChart(QPrinter& printer);
    void btSaveChartClick();
    void N1Click();
    void btCopyClick();
    // The chart's pop-up menu at a point of the chart.
    void Chart1RightClick(const QPoint& position);

    QMenu* pmChart = nullptr;
    QAction* N1 = nullptr; // "Копировать"

private:
    Controls m_c;
    const TMeasurement& m_m;
};

} // namespace zarvik
