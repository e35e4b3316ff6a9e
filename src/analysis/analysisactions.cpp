#include "analysis/analysisactions.h"

#include "analysis/spectrumwindow.h"
#include "analysis/trend.h"
#include "chart/chart.h"
#include "files/memotext.h"
#include "ui/operatormessages.h"
#include "ui/systemlocale.h"
#include "view/chartview.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

namespace zarvik {

AnalysisActions::AnalysisActions(const Controls& controls, const TMeasurement& measurement,
                                 QObject* parent)
    : QObject(parent), m_c(controls), m_form2(controls.form2), m_m(measurement) {
    connect(m_c.btSpectrGo, &QAbstractButton::clicked, this, &AnalysisActions::btSpectrGoClick);
    connect(m_c.btTrend, &QAbstractButton::clicked, this, &AnalysisActions::btTrendClick);
    m_form2->spectrumCommand = [this] { btSpectrGoClick(); };
    m_form2->trendCommand = [this] { btTrendClick(); };
    m_form2->copyText = [this](const QStringList& lines) { copyToClipboard(lines); };
}

int AnalysisActions::firstShownChannel() const {
    for (int n = 1; n <= kChannels; ++n)
        if (m_c.chartView->series(n)->isActive())
            return n;
    return 0;
}

std::vector<double> AnalysisActions::seriesValues(int channel) const {
    const LineSeries* s = m_c.chartView->series(channel);
    std::vector<double> values(static_cast<std::size_t>(s->count()));
    for (int i = 0; i < s->count(); ++i)
        values[static_cast<std::size_t>(i)] = s->y(i);
    return values;
}

std::string AnalysisActions::fileName() const {
    return openDialogFileName ? openDialogFileName().toStdString() : std::string();
}

void AnalysisActions::copyToClipboard(const QStringList& lines) {
    m_c.mClipBoard->setPlainText(lines.join('\n'));
    copyMemoToClipboard(*m_c.mClipBoard);
}

void AnalysisActions::btSpectrGoClick() {
    if (!m_form2)
        return;
    m_form2->showSpectrumChart();
    const int channel = firstShownChannel();
    if (channel == 0) {
        operatorMessages().message(tr("Должен быть показан хотя бы один график!"));
        return;
    }
    TForm2::AnalysisRequest& r = m_form2->Request;
    r.channel = channel;
    r.values = seriesValues(channel);
    r.visibleFirst = m_c.chartView->VisibleFirst;
    r.visibleLast = m_c.chartView->VisibleLast;
    r.samplePeriodUs = m_m.SamplePeriodUs;
    r.fileName = fileName();
    m_form2->show();
    m_form2->btSpectrum->click();
}

void AnalysisActions::btTrendClick() {
    if (!m_form2)
        return;
    m_form2->showTrendChart();
    const int channel = firstShownChannel();
    if (channel == 0) {
        operatorMessages().message(tr("Должен быть показан хотя бы один график!"));
        return;
    }
    m_form2->show();
    m_form2->setTrendAxisTitle(m_c.chart->bottomAxis()->title());

    TrendRequest r;
    r.visibleFirst = m_c.chartView->VisibleFirst;
    r.visibleLast = m_c.chartView->VisibleLast;
    r.step = m_form2->seStep->value();
    r.samplePeriodUs = m_m.SamplePeriodUs;
    r.channel = channel;
    r.fileName = fileName();
    r.decimalSeparator = localeDecimalSeparator();
    const auto result = fitTrend(seriesValues(channel), r);
    // Nothing visible on the main chart (or no sampling period): nothing to fit or copy.
    if (result)
        copyToClipboard({QString::fromStdString(result->clipboardLine)});
    m_form2->showTrend(result ? &*result : nullptr);
}

} // namespace zarvik
