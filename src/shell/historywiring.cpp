// The history of measurements on the main window: the tool-bar button and key of its panel,
// and the calls that cross into it from the other parts: a transfer's measurement arriving,
// the comment memo, the data files read and saved, the space set in "Опции", the chart's
// first paint and the program's close.

#include "chart/chart.h"
#include "common/inifile.h"
#include "device/measurementcycle.h"
#include "device/measurementseries.h"
#include "files/d8cformat.h"
#include "files/datafilehandlers.h"
#include "files/memotext.h"
#include "history/historywindow.h"
#include "history/measurementhistory.h"
#include "shell/tform1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSpinBox>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>

namespace zarvik {

QString TForm1::historyFolder(const MainSettings& s) const {
    const QString chosen = QString::fromStdString(s.historyFolder).trimmed();
    if (chosen.isEmpty())
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/history";
    // A folder named relative to the program's, as the settings file lies there.
    return QDir::cleanPath(QDir(AppPath).absoluteFilePath(chosen));
}

void TForm1::createHistory(const MainSettings& s) {
    m_history = new MeasurementHistory(historyFolder(s), this);
    const int limit = s.historyLimitMb.value_or(MeasurementHistory::kDefaultLimitMb);
    gbOptions->seHistoryLimit->setValue(limit > 0 ? limit : MeasurementHistory::kDefaultLimitMb);
    m_history->setLimitMegabytes(gbOptions->seHistoryLimit->value());
    connect(gbOptions->seHistoryLimit, &QSpinBox::valueChanged, m_history,
            &MeasurementHistory::setLimitMegabytes);

    const auto integration = [this]() -> std::optional<int> {
        if (gbChart->cbInt->isChecked())
            return gbChart->seInt->value();
        return std::nullopt;
    };
    const auto memo = [this] {
        std::vector<std::string> lines;
        for (const QString& line : memoLines(*mComment))
            lines.push_back(line.toStdString());
        return lines;
    };
    m_history->savedComment = [this, memo, integration] {
        return prepareSavedComment(memo(), Measurement, integration());
    };
    // Each measurement goes into the history with what its transfer cost and, in a series,
    // its number there; only then does the series save it and start the next.
    m_cycle->measurementArrived = [this, memo, integration] {
        std::uint8_t checked = 0;
        for (int n = 1; n <= kChannels; ++n)
            if (cbCh[n]->isChecked())
                checked = static_cast<std::uint8_t>(checked | (1u << (n - 1)));
        HistoryShot shot = historyShot(Measurement, checked, gbOptions->cbTimeunits->currentIndex(),
                                       memo(), integration());
        shot.entry.link = m_cycle->Transfer;
        if (m_series->running()) {
            shot.entry.seriesNumber = m_series->taken() + 1;
            shot.entry.seriesCount = m_series->runningPlan().count;
        }
        m_history->arrived(std::move(shot));
        m_series->measurementArrived();
    };
    connect(mComment, &QPlainTextEdit::textChanged, m_history, &MeasurementHistory::commentEdited);
    m_dataFiles->measurementReplacing = [this] { m_history->replacing(); };
    m_dataFiles->measurementReplaced = [this] {
        m_history->replaced(QString::fromStdString(Measurement.FileName));
    };
    m_dataFiles->dataFileSaved = [this](const QString& name) { m_history->saved(name); };
    m_history->openFile = [this](const QString& fileName) {
        Measurement.FileName = fileName.toStdString();
        return m_dataFiles->readFileName();
    };
    m_history->showFolder = [](const QString& folder) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    };
    m_history->guardPaintsOf(Chart1);

    m_historyWindow = new HistoryWindow(*m_history, this);
    m_historyWindow->showHelp = [this](const QString& topic) { showHelp(topic); };
    connect(btHistory, &QToolButton::clicked, this, &TForm1::btHistoryClick);
    // From the panel too, which is a window of its own.
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    key->setContext(Qt::ApplicationShortcut);
    connect(key, &QShortcut::activated, this, &TForm1::btHistoryClick);
}

void TForm1::btHistoryClick() {
    if (m_historyWindow->isVisible()) {
        m_historyWindow->hide();
        return;
    }
    // Over the chart, below the tool bars, the first time; where the operator left it after.
    if (!m_historyPlaced) {
        m_historyPlaced = true;
        m_historyWindow->move(mapToGlobal(Chart1->geometry().topLeft() + QPoint(20, 20)));
    }
    m_historyWindow->show();
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
}

} // namespace zarvik
