#include "view/chartview.h"

#include "chart/chart.h"
#include "chart/chartaxis.h"
#include "chart/chartseries.h"
#include "common/numtext.h"
#include "common/rounding.h"
#include "ui/language.h"
#include "ui/operatormessages.h"
#include "ui/systemlocale.h"
#include "ui/widgets.h"
#include "view/scalesfile.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QSpinBox>
#include <new>

namespace zarvik {

ChartView::ChartView(const Controls& controls, TMeasurement& measurement, QObject* parent)
    : QObject(parent), m_c(controls), m_m(measurement) {
    for (int n = 1; n <= kChannels; ++n) {
        m_series[n] = m_c.chart->addLineSeries(QString::number(n), m_c.pColorCh[n]->color());
    }
    setBottomTitle(kSamplesTitle);
    setLeftTitle(kAdcUnitsTitle.text, translated(UiText{kAdcUnitsTitle}));

    chooseColor = [](const QColor& initial) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(initial);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    };

    // Only the operator's choice in a list rebuilds; a value set by the program does not.
    connect(m_c.cbShowK, &QComboBox::activated, this, &ChartView::cbShowKChange);
    connect(m_c.cbTimeunits, &QComboBox::activated, this, &ChartView::cbTimeunitsChange);
    for (QComboBox* list : m_c.alsoRebuildOn)
        connect(list, &QComboBox::activated, this, &ChartView::cbTimeunitsChange);
    connect(m_c.cbInt, &QCheckBox::toggled, this, &ChartView::cbIntClick);
    for (int n = 1; n <= kChannels; ++n) {
        connect(m_c.cbCh[n], &QCheckBox::toggled, this, [this, n] { cbChClick(n); });
        connect(m_c.pColorCh[n], &ColorPanel::clicked, this, [this, n] { pColorChClick(n); });
    }
    connect(m_c.chart, &Chart::mouseMoved, this, &ChartView::Chart1MouseMove);
    connect(m_c.chart, &Chart::afterDraw, this, &ChartView::Chart1AfterDraw);
}

void ChartView::ShowChart() {
    m_c.btSpectrGo->setEnabled(true);
    m_c.btTrend->setEnabled(true);
    const int unit = std::clamp(m_c.cbTimeunits->currentIndex(), 0, kTimeUnitCount - 1);
    ChartBuildInput in;
    in.mode = static_cast<AxisMode>(std::clamp(m_c.cbShowK->currentIndex(), 0, 3));
    in.timeUnitDivisor = timeUnitDivisor(unit);
    in.smoothing = m_c.cbInt->isChecked();
    in.smoothingPoints = m_c.seInt->value();
    for (int n = 1; n <= kChannels; ++n)
        in.checked[n] = m_c.cbCh[n]->isChecked();
    // Points already drawn keep the view they were built in.
    if (m_m.SampleData.empty()) {
        if (!m_builtWithData)
            m_input = in;
        emit built();
        return;
    }
    m_input = in;
    m_builtWithData = true;
    BuiltMode = in.mode;

    const bool running = measurementRunning && measurementRunning();
    if (m_c.pnlChart && !running)
        m_c.pnlChart->hide();

    TimeUnitDivisor = in.timeUnitDivisor;
    TimeUnit = unit;
    m_m.XTitle = kTimeTitles[static_cast<std::size_t>(unit)].text;
    if (clearProgressLabels)
        clearProgressLabels();

    // The calibration's own title as the operator wrote it; the program's default translated.
    setLeftTitle(m_m.YTitle, m_m.YTitle == kDefaultYTitle.text
                                 ? translated(UiText{kDefaultYTitle})
                                 : QString::fromStdString(m_m.YTitle));
    if (!m_m.FromFile) {
        m_m.Scale = m_m.ScaleK;
        m_m.Shift = m_m.ShiftScl;
    }

    try {
        buildChannelPoints(m_m, in, m_points);
        XStep = m_points.xStep;
        m_m.ChannelMask = m_points.channelMask;
        // The series take the built arrays as they are and hand back their old storage for the
        // next build.
        // Every line is replaced, those of unchecked channels by no points.
        for (int n = 1; n <= kChannels; ++n)
            m_series[n]->assign(EvenX{1, m_points.xFactor, m_points.xDivisor},
                                m_points.channels[n].y);
    } catch (const std::bad_alloc&) {
        // No line is drawn rather than some; the measurement itself stays, to be saved or
        // drawn with fewer channels.
        m_points = ChartBuildOutput{};
        for (int n = 1; n <= kChannels; ++n)
            m_series[n]->clear();
        operatorMessages().error(tr("Недостаточно памяти для построения графика"));
    }

    if (m_m.ZeroRun && zeroLevelStep && !running)
        zeroLevelStep();

    const bool time = axisModeHasTime(in.mode);
    setBottomTitle(time ? kTimeTitles[static_cast<std::size_t>(unit)] : kSamplesTitle);
    if (!axisModeHasValues(in.mode))
        setLeftTitle(kAdcUnitsTitle.text, translated(UiText{kAdcUnitsTitle}));

    m_c.btOptions->setEnabled(true);
    if (finishProcess)
        finishProcess(7);
    if (buildFinished)
        buildFinished();
    emit built();
}

void ChartView::setBottomTitle(const UiSource& title) {
    m_fileTitles.second = title.text;
    m_c.chart->bottomAxis()->setTitle(translated(UiText{title}));
}

void ChartView::setLeftTitle(const std::string& forFiles, const QString& shown) {
    m_fileTitles.first = forFiles;
    m_c.chart->leftAxis()->setTitle(shown);
}

void ChartView::cbShowKChange() {
    ShowChart();
}

void ChartView::cbTimeunitsChange() {
    cbShowKChange();
}

void ChartView::cbIntClick() {
    if (startProcess)
        startProcess(tr("Выполняется построение графика"));
    for (int n = 1; n <= kChannels; ++n) {
        if (m_c.cbCh[n]->isChecked() && m_series[n]->lastVisible() >= 0) {
            ShowChart();
            break;
        }
    }
    if (m_c.setStatus)
        m_c.setStatus(2, m_c.cbInt->isChecked()
                             ? tr("Сглаживание по ") + QString::number(m_c.seInt->value()) +
                                   tr(" точкам")
                             : QString());
}

void ChartView::cbChClick(int channel) {
    LineSeries* s = m_series[channel];
    if (channel <= 4)
        s->setActive(m_c.cbCh[channel]->isChecked());
    else
        s->setActive(!s->isActive());
    if (channelsChanged)
        channelsChanged();
}

void ChartView::setChannelColor(int channel, const QColor& color) {
    m_c.pColorCh[channel]->setColor(color);
    const QColor c = m_c.pColorCh[channel]->color();
    m_series[channel]->setSeriesColor(c);
    QPalette pal = m_c.cbCh[channel]->palette();
    pal.setColor(QPalette::WindowText, c);
    m_c.cbCh[channel]->setPalette(pal);
    emit channelColorChanged(channel);
}

void ChartView::pColorChClick(int channel) {
    if (!chooseColor)
        return;
    if (const auto c = chooseColor(m_c.pColorCh[channel]->color()))
        setChannelColor(channel, *c);
}

void ChartView::Chart1MouseMove(int x, int /*y*/) {
    ChartAxis* bottom = m_c.chart->bottomAxis();
    if (!(bottom->maximum() > 1.0) || XStep <= 0.0)
        return;
    const double v = bottom->pixelToValue(x);
    const std::int64_t i = roundHalfEven(v / XStep);
    if (i >= 0 && i <= m_series[1]->lastVisible() && m_c.setStatus)
        m_c.setStatus(2, "X=" + QString::fromStdString(formatFixed(static_cast<double>(i) * XStep,
                                                                   2, localeDecimalSeparator())));
}

void ChartView::Chart1AfterDraw() {
    for (int n = 1; n <= kChannels; ++n) {
        if (m_series[n]->isActive()) {
            VisibleFirst = m_series[n]->firstVisible();
            VisibleLast = m_series[n]->lastVisible();
            return;
        }
    }
}

} // namespace zarvik
