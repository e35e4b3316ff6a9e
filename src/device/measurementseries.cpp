#include "device/measurementseries.h"

#include "ui/language.h"
#include "ui/operatormessages.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>

namespace zarvik {

MeasurementSeries::MeasurementSeries(const Controls& controls, QObject* parent)
    : QObject(parent), m_c(controls) {
    timSeriesPause = new QTimer(this);
    timSeriesPause->setInterval(1000);
    connect(timSeriesPause, &QTimer::timeout, this, [this] { guarded([this] { pauseTick(); }); });
    connect(m_c.btSeries, &QAbstractButton::clicked, this,
            [this] { guarded([this] { btSeriesClick(); }); });
    connect(m_c.btSeriesFolder, &QAbstractButton::clicked, this,
            [this] { guarded([this] { btSeriesFolderClick(); }); });
    m_startCaption = m_c.btStart->text();
    m_startPlusCaption = m_c.btStartPlus->text();
}

SeriesPlan MeasurementSeries::plan() const {
    SeriesPlan p;
    p.count = m_c.seSeriesCount->value();
    p.pauseSec = m_c.seSeriesPause->value();
    p.folder = m_folder.toStdString();
    p.name = m_c.eSeriesName->text().trimmed().toStdString();
    return p;
}

void MeasurementSeries::applyPlan(const SeriesPlan& p) {
    m_c.seSeriesCount->setValue(p.count);
    m_c.seSeriesPause->setValue(p.pauseSec);
    m_folder = QString::fromStdString(p.folder);
    m_c.lbSeriesFolder->setText(QDir::toNativeSeparators(m_folder));
    m_c.lbSeriesFolder->setToolTip(m_c.lbSeriesFolder->text());
    m_c.eSeriesName->setText(QString::fromStdString(p.name));
}

void MeasurementSeries::btSeriesClick() {
    if (!takeStartClick())
        start();
}

void MeasurementSeries::btSeriesFolderClick() {
    if (!chooseFolder)
        return;
    const QString folder = chooseFolder(m_folder);
    if (folder.isEmpty())
        return;
    SeriesPlan p = plan();
    p.folder = folder.toStdString();
    applyPlan(p);
}

void MeasurementSeries::start() {
    const SeriesPlan p = plan();
    // Files go to the folder only under a name every system takes; without a folder the series
    // is kept in the history alone.
    if (!p.folder.empty() && !validSeriesName(p.name)) {
        operatorMessages().information(
            tr("Задайте имя файлов серии: без знаков \\ / : * ? \" < > | и без точки или пробела "
               "в конце."));
        return;
    }
    m_plan = p;
    m_comment = seriesComment ? seriesComment() : std::vector<std::string>();
    m_taken = 0;
    m_stopRequested = false;
    m_running = true;
    showCaptions();
    startNext();
}

void MeasurementSeries::startNext() {
    showStatus();
    if (!startMeasurement || !startMeasurement())
        finish();
}

void MeasurementSeries::measurementArrived() {
    if (!m_running)
        return;
    ++m_taken;
    if (!m_plan.folder.empty() && saveMeasurement) {
        std::vector<std::string> comment = m_comment;
        comment.push_back(seriesCommentLine(m_taken, m_plan.count));
        const QString file =
            QDir(QString::fromStdString(m_plan.folder))
                .filePath(QString::fromStdString(seriesFileName(m_plan.name, m_taken)));
        try {
            saveMeasurement(file.toStdString(), comment);
        } catch (...) {
            // The measurement stays in the history and on the chart, which is drawn next; a
            // series that cannot save stops here.
            finish();
            showException(std::current_exception());
            return;
        }
    }
    if (m_stopRequested || (m_plan.count > 0 && m_taken >= m_plan.count)) {
        finish();
        return;
    }
    if (m_plan.pauseSec == 0) {
        startNext();
        return;
    }
    m_pauseLeft = m_plan.pauseSec;
    timSeriesPause->start();
    showStatus();
}

void MeasurementSeries::pauseTick() {
    if (--m_pauseLeft > 0) {
        showStatus();
        return;
    }
    timSeriesPause->stop();
    startNext();
}

bool MeasurementSeries::takeStartClick() {
    if (!m_running)
        return false;
    if (timSeriesPause->isActive()) {
        finish();
        return true;
    }
    // The measurement under way arrives whole; the series ends with it.
    m_stopRequested = true;
    if (m_c.setStatus)
        m_c.setStatus(1, tr("Серия: остановка после этого измерения"));
    return true;
}

QString MeasurementSeries::interrupted() {
    if (!m_running)
        return QString();
    const int taken = m_taken;
    finish();
    return translated(seriesBrokenText(taken, m_plan.count));
}

void MeasurementSeries::finish() {
    m_running = false;
    m_stopRequested = false;
    timSeriesPause->stop();
    showCaptions();
    if (m_c.setStatus)
        m_c.setStatus(1, QString());
}

void MeasurementSeries::showCaptions() {
    m_c.btStart->setText(m_running ? tr("Стоп серии") : m_startCaption);
    m_c.btStartPlus->setText(m_running ? tr("Стоп серии") : m_startPlusCaption);
    m_c.btSeries->setText(m_running ? tr("Стоп серии") : tr("Серия"));
}

void MeasurementSeries::showStatus() {
    if (!m_c.setStatus)
        return;
    const int number = m_taken + 1;
    m_c.setStatus(1, translated(timSeriesPause->isActive()
                                    ? seriesPauseText(number, m_plan.count, m_pauseLeft)
                                    : seriesStatusText(number, m_plan.count)));
}

} // namespace zarvik
