#include "files/datafilehandlers.h"

#include "chart/chartseries.h"
#include "common/numtext.h"
#include "files/d8cfile.h"
#include "files/datetimetext.h"
#include "files/filetime.h"
#include "files/folderlisting.h"
#include "files/librarymodule.h"
#include "files/memotext.h"
#include "files/saveformat.h"
#include "ui/language.h"
#include "ui/operatormessages.h"
#include "ui/systemlocale.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QSpinBox>

namespace zarvik {
namespace {

const QString kDataFolder = QStringLiteral("DataVib");

QString joinMemoLines(const std::vector<std::string>& lines) {
    QStringList text;
    for (const std::string& line : lines)
        text << QString::fromStdString(line);
    return text.join('\n');
}

} // namespace

DataFileHandlers::DataFileHandlers(const Controls& controls, TMeasurement& measurement,
                                   QObject* parent)
    : QObject(parent),
      SaveDlg(FileDialog::Mode::Save,
              "ADC files|*.d8c|Save to Text file|*.txt|Save to CSV-file|*.csv|" + tr("Файл HDF5") +
                  "|*.h5|" + tr("Файл MATLAB") + "|*.mat|" + tr("Массив NumPy") + "|*.npy|" +
                  tr("Звуковой файл WAV") + "|*.wav|All files|*.*",
              kDataFolder, "dtw"),
      OpenDlg(FileDialog::Mode::Open, "ADC files|*.d8c|All files|*.*", kDataFolder, "dtw"),
      m_c(controls), m_m(measurement) {
    connect(m_c.btSave, &QAbstractButton::clicked, this, &DataFileHandlers::btSaveClick);
    connect(m_c.btLoadFile, &QAbstractButton::clicked, this, &DataFileHandlers::btLoadFileClick);
}

std::vector<std::string> DataFileHandlers::commentLines() const {
    std::vector<std::string> lines;
    for (const QString& line : memoLines(*m_c.mComment))
        lines.push_back(line.toStdString());
    return lines;
}

ExportView DataFileHandlers::exportView(std::array<std::vector<double>, kChannels + 1>& xs,
                                        std::array<std::vector<double>, kChannels + 1>& ys) const {
    ExportView v;
    for (int n = 1; n <= kChannels; ++n) {
        v.checked[n] = m_c.cbCh[n]->isChecked();
        const LineSeries* s = series ? series(n) : nullptr;
        if (!v.checked[n] || s == nullptr)
            continue;
        const int count = s->count();
        xs[n].resize(static_cast<std::size_t>(count));
        ys[n].resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            xs[n][static_cast<std::size_t>(i)] = s->x(i);
            ys[n][static_cast<std::size_t>(i)] = s->y(i);
        }
        v.series[n] = SeriesView{xs[n].data(), ys[n].data(), xs[n].size()};
    }
    // The table's titles are the files' own, whatever language the chart shows them in.
    if (axisTitles)
        std::tie(v.leftAxisTitle, v.bottomAxisTitle) = axisTitles();
    if (visibleRange)
        std::tie(v.VisibleFirst, v.VisibleLast) = visibleRange();
    // The list holds only its two items, so anything but "не сохранять" writes the X column.
    v.storeX = m_c.cbStoreX->currentIndex() != 0;
    if (m_c.cbInt->isChecked())
        v.integrationPoints = m_c.seInt->value();
    if (physicalUnits)
        v.physical = physicalUnits();
    return v;
}

void DataFileHandlers::btSaveClick() {
    if (!SaveDlg.Execute())
        return;
    const QString name = SaveDlg.FileName;
    const std::optional<SaveFormat> format = saveFormatFor(name.toStdString());
    if (!format) {
        // Refused before any file is touched: a file of that name keeps its contents.
        operatorMessages().information(translated(unsupportedExtensionMessage(name.toStdString())));
        return;
    }
    guarded([&] {
        const std::vector<std::string> comment = commentLines();
        if (*format == SaveFormat::DataFile) {
            saveDataFile(name, comment);
            return;
        }
        std::array<std::vector<double>, kChannels + 1> xs;
        std::array<std::vector<double>, kChannels + 1> ys;
        const ExportView view = exportView(xs, ys);
        if (const AnalysisWriter write = windowAnalysisWriter(*format))
            writeAnalysisExport(m_m, name.toStdString(), comment, view, write);
        else
            saveTextExport(m_m, name.toStdString(), comment, view, localeDecimalSeparator(),
                           measuredAtNow(),
                           [](double t) { return measuredAtText(t).toStdString(); });
        m_c.gbFile->setTitle(tr("ФАЙЛ ") + nameOf(name));
    });
}

void DataFileHandlers::saveDataFile(const QString& fileName,
                                    const std::vector<std::string>& comment) {
    std::optional<int> integration;
    if (m_c.cbInt->isChecked())
        integration = m_c.seInt->value();
    const std::vector<std::string> written =
        saveD8cFile(m_m, fileName.toStdString(), comment, integration);
    m_c.mComment->setPlainText(joinMemoLines(written));
    m_c.gbFile->setTitle(tr("ФАЙЛ ") + nameOf(fileName));
    if (dataFileSaved)
        dataFileSaved(fileName);
}

void DataFileHandlers::btLoadFileClick() {
    if (closeSamplingPanel)
        closeSamplingPanel();
    if (restartSearch)
        restartSearch();
    if (!OpenDlg.Execute())
        return;
    readDataFile(OpenDlg.FileName);
}

bool DataFileHandlers::readFileName() {
    if (closeSamplingPanel)
        closeSamplingPanel();
    if (restartSearch)
        restartSearch();
    return readDataFile(QString::fromStdString(m_m.FileName));
}

void DataFileHandlers::showLoadError(const D8cLoadError& e, const QString& fileName) {
    if (e.kind() == FileError::Kind::NotDataFile)
        operatorMessages().information(errorText(e));
    else if (e.kind() == FileError::Kind::TooLarge)
        operatorMessages().information(
            tr("Файл %1 не может быть открыт: массив данных %2 байт больше допустимых %3 байт.")
                .arg(nameOf(fileName))
                .arg(e.header()->DataSize)
                .arg(kD8cMaxDataSize));
    else
        operatorMessages().error(errorText(e));
}

bool DataFileHandlers::readDataFile(const QString& fileName) {
    // Kept with its folder whatever the current folder is, so that the folder walk stays in
    // the folder of the file.
    const QString name = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
    auto showFrequency = [this](const D8cHeader& h) {
        if (m_c.setStatus)
            m_c.setStatus(1, tr("Fвыборки=") +
                                 QString::fromStdString(formatGeneral(1000000.0 / h.SamplePeriodUs,
                                                                      localeDecimalSeparator())));
    };

    LoadedD8c loaded;
    try {
        loaded = loadD8cFile(name.toStdString());
    } catch (const D8cLoadError& e) {
        if (e.header())
            showFrequency(*e.header());
        showLoadError(e, name);
        return false;
    } catch (...) {
        showException(std::current_exception());
        return false;
    }

    showFrequency(loaded.contents.header);
    const std::uint8_t mask = loaded.contents.header.ChannelMask;
    if (measurementReplacing)
        measurementReplacing();
    applyLoadedD8c(m_m, std::move(loaded));

    // Every box that changes runs its click handling, as the operator's click would.
    for (int n = 1; n <= kChannels; ++n)
        m_c.cbCh[n]->setChecked(true);
    for (int n = 1; n <= kChannels; ++n)
        if ((mask & (1u << (n - 1))) == 0)
            m_c.cbCh[n]->setChecked(false);
    if (setSeriesShown)
        for (int n = 1; n <= kChannels; ++n)
            setSeriesShown(n, m_c.cbCh[n]->isChecked());

    m_c.mComment->setPlainText(joinMemoLines(m_m.Comment));
    m_c.gbFile->setTitle(tr("ФАЙЛ ") + nameOf(name));
    m_c.btPrevFile->setEnabled(true);
    m_c.btNextFile->setEnabled(true);
    m_c.btShowCmnt->setEnabled(true);
    if (measurementReplaced)
        measurementReplaced();
    if (showChart)
        showChart();
    return true;
}

} // namespace zarvik
