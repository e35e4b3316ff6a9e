#pragma once
// The spectrum and trend commands of the main window: they take the first shown channel over
// the stretch visible on the main chart, run the analysis in the spectrum window and put the
// result on the clipboard through the main window's hidden memo.

#include "common/measurement.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <vector>

class QAbstractButton;
class QPlainTextEdit;

namespace zarvik {

class Chart;
class ChartView;
class TForm2;

class AnalysisActions : public QObject {
    Q_OBJECT
public:
    // The controls and parts of the main window this part works on, and the spectrum window.
    struct Controls {
        TForm2* form2 = nullptr;
        ChartView* chartView = nullptr;
        Chart* chart = nullptr; // the main chart: its bottom axis title heads the trend chart
        QPlainTextEdit* mClipBoard = nullptr;
        QAbstractButton* btSpectrGo = nullptr;
        QAbstractButton* btTrend = nullptr;
    };

    AnalysisActions(const Controls& controls, const TMeasurement& measurement,
                    QObject* parent = nullptr);

    // The file last chosen in the main window's open dialog; empty when none ever was.
    std::function<QString()> openDialogFileName;

    void btSpectrGoClick();
    void btTrendClick();

    // The lines replace the memo's text, which is then selected and copied as a whole.
    void copyToClipboard(const QStringList& lines);

private:
    // The first channel 1..8 whose series the main chart shows, or 0.
    int firstShownChannel() const;
    std::vector<double> seriesValues(int channel) const;
    std::string fileName() const;

    Controls m_c;
    QPointer<TForm2> m_form2;
    const TMeasurement& m_m;
};

} // namespace zarvik
