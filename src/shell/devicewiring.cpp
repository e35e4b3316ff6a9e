// The board's parts on the main window: the link supervision, and the measurement cycle with
// the calls that cross from it into the other parts: the sampling panel's start keys, the
// chart build that ends every measurement, and the zero run that starts one.

#include "chart/chart.h"
#include "chart/chartseries.h"
#include "device/linksupervisor.h"
#include "device/linkview.h"
#include "device/measurementcycle.h"
#include "device/measurementseries.h"
#include "files/datafilehandlers.h"
#include "shell/tform1.h"
#include "view/chartview.h"
#include "view/samplingpanel.h"
#include "view/startmode.h"
#include "view/zerolevels.h"

#include <QComboBox>
#include <QFileDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

namespace zarvik {

void TForm1::createMeasurementCycle() {
    MeasurementCycle::Controls c;
    c.btStart = gbFT->btStart;
    c.btStartPlus = btStartPlus;
    c.btRead = btRead;
    c.btBoot = btBoot;
    c.btChooseF = btChooseF;
    c.cbCh = cbCh;
    c.seF = gbFT->seF;
    c.seSamples = gbFT->seSamples;
    c.gbFT = gbFT;
    c.gbFile = gbFile;
    c.pnlChart = pnlChart;
    c.progressBar = progressBar;
    c.lbAll = lbAll;
    c.lbElapsedVal = lbElapsedVal;
    c.lbRestVal = lbRestVal;
    c.lbPercent = lbPercent;
    c.lbRestPercent = lbRestPercent;
    c.setStatus = [this](int panel, const QString& text) { setStatusText(panel, text); };
    c.setStatusTip = [this](int panel, const QString& text) {
        statusPanel(panel)->setToolTip(text + "\n" + tr("Щелчок открывает сводку связи"));
    };
    c.rangeIndex = [this] { return gbOptions->refAdcIndex(); };
    c.startMode = [this] { return static_cast<int>(m_startMode->StartMode); };
    c.timeUnit = [this] {
        return m_chartView->TimeUnit < 0 ? gbOptions->cbTimeunits->currentIndex()
                                         : m_chartView->TimeUnit;
    };
    c.seTimeChange = [this] { m_sampling->seTimeChange(); };
    // The cursors' places belong to the view of one measurement.
    c.showChart = [this] {
        Chart1->clearCursors();
        m_chartView->ShowChart();
    };
    m_cycle = new MeasurementCycle(c, Measurement, *m_link, this);

    m_sampling->startMeasurement = [this] { m_cycle->btStartClick(); };
    m_chartView->clearProgressLabels = [this] { m_cycle->clearPercentLabels(); };
    m_chartView->startProcess = [this](const QString& text) { m_cycle->ShowStartProcess(text); };
    m_chartView->finishProcess = [this](int flags) { m_cycle->ShowFinishProcess(flags); };
    // The time spent drawing does not count as a lost link.
    m_chartView->buildFinished = [this] { m_cycle->drawingFinished(); };
    m_chartView->measurementRunning = [this] { return m_cycle->busy(); };

    m_zeroLevels->startMeasurement = [this] { return m_cycle->btStartClick(); };
    m_zeroLevels->series = [this](int channel) -> const LineSeries* {
        return m_chartView->series(channel);
    };
    m_chartView->zeroLevelStep = [this] { m_zeroLevels->zeroStep(); };

    createSeries();

    // The link's figures open from the panel that tells the link's state.
    m_linkView = new LinkView(this);
    m_linkView->showHelp = [this](const QString& topic) { showHelp(topic); };
    const auto showFigures = [this] {
        m_linkView->showFigures(m_cycle->Transfer, m_cycle->LinkTotals, m_cycle->Transfers,
                                m_link->openings());
    };
    m_cycle->transferEnded = showFigures;
    statusPanel(0)->setToolTip(tr("Щелчок открывает сводку связи"));
    connect(statusPanel(0), &StatusPanel::clicked, this, [this, showFigures] {
        showFigures();
        m_linkView->show();
        m_linkView->raise();
    });
}

void TForm1::createSeries() {
    MeasurementSeries::Controls c;
    c.btSeries = gbFT->btSeries;
    c.seSeriesCount = gbFT->seSeriesCount;
    c.seSeriesPause = gbFT->seSeriesPause;
    c.btSeriesFolder = gbFT->btSeriesFolder;
    c.lbSeriesFolder = gbFT->lbSeriesFolder;
    c.eSeriesName = gbFT->eSeriesName;
    c.btStart = gbFT->btStart;
    c.btStartPlus = btStartPlus;
    c.setStatus = [this](int panel, const QString& text) { setStatusText(panel, text); };
    m_series = new MeasurementSeries(c, this);
    m_series->startMeasurement = [this] { return m_cycle->btStartClick(); };
    m_series->seriesComment = [this] { return m_dataFiles->commentLines(); };
    m_series->saveMeasurement = [this](const std::string& file,
                                       const std::vector<std::string>& comment) {
        m_dataFiles->saveDataFile(QString::fromStdString(file), comment);
    };
    m_series->chooseFolder = [this](const QString& initial) {
        return QFileDialog::getExistingDirectory(this, tr("Папка серии"), initial);
    };
    // Each arrival reaches the series after the history has it (historywiring.cpp).
    m_cycle->takeStartClick = [this] { return m_series->takeStartClick(); };
    m_link->lossNote = [this] { return m_series->interrupted(); };
}

void TForm1::createLinkSupervisor() {
    LinkSupervisor::Controls c;
    c.btUSB = btUSB;
    c.btStart = gbFT->btStart;
    c.btStartPlus = btStartPlus;
    c.setStatus = [this](int panel, const QString& text) { setStatusText(panel, text); };
    m_link = new LinkSupervisor(c, this);
}

} // namespace zarvik
