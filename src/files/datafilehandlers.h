#pragma once
// The save and open buttons of the main window: writing the measurement as a data file, a
// text table or a file for analysis tools (HDF5, MATLAB, NumPy, WAV), and reading a data file into
// the measurement and the window. The reader is also run without its dialog for a dropped file, the
// previous or next file of the folder and a file picked in the comment browser.

#include "common/measurement.h"
#include "files/filedialog.h"
#include "files/textexport.h"

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <utility>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QSpinBox;

namespace zarvik {

class D8cLoadError;
class LineSeries;

class DataFileHandlers : public QObject {
    Q_OBJECT
public:
    // The controls of the main window this part works on.
    struct Controls {
        QAbstractButton* btSave = nullptr;
        QAbstractButton* btLoadFile = nullptr;
        QPlainTextEdit* mComment = nullptr;
        QGroupBox* gbFile = nullptr;
        std::array<QCheckBox*, 9> cbCh{}; // cbCh[1..8]
        QAbstractButton* btPrevFile = nullptr;
        QAbstractButton* btNextFile = nullptr;
        QAbstractButton* btShowCmnt = nullptr;
        QCheckBox* cbInt = nullptr;
        QSpinBox* seInt = nullptr;
        QComboBox* cbStoreX = nullptr; // "не сохранять", "сохранять"
        // Status panel text by index 0..2.
        std::function<void(int, const QString&)> setStatus;
    };

    DataFileHandlers(const Controls& controls, TMeasurement& measurement,
                     QObject* parent = nullptr);

    // Calls into the other parts of the window.
    std::function<void()> closeSamplingPanel; // btChooseF's click while gbFT is shown
    std::function<void()> restartSearch;      // the comment search starts at the top again
    std::function<void(int channel, bool shown)> setSeriesShown;
    std::function<void()> showChart;
    // What the chart shows, for the text table: a channel's series and the visible range.
    std::function<const LineSeries*(int channel)> series;
    std::function<std::pair<int, int>()> visibleRange;
    // The left and the bottom axis titles as files keep them.
    std::function<std::pair<std::string, std::string>()> axisTitles;
    // Whether the chart shows (code - Shift) * Scale rather than converter codes.
    std::function<bool()> physicalUnits;
    // A file read whole is about to replace the measurement (the memo still holds the comment
    // typed for the old one), and has replaced it.
    std::function<void()> measurementReplacing;
    std::function<void()> measurementReplaced;
    // The measurement was saved as a data file of this name.
    std::function<void(const QString& fileName)> dataFileSaved;

    void btSaveClick();
    void btLoadFileClick();
    // The reader without its dialog, on the file the caller put into FileName. True when the
    // file was read; after a failure the measurement and the window are as they were.
    bool readFileName();
    // Saves the measurement as the data file `fileName` with `comment` through the ordinary
    // writer, as "Сохранить" does; the memo and the group caption follow. Throws what the
    // writer throws.
    void saveDataFile(const QString& fileName, const std::vector<std::string>& comment);
    // The comment memo's lines.
    std::vector<std::string> commentLines() const;
    // Tells the operator why the data file `fileName` could not be read, as the open button
    // does.
    static void showLoadError(const D8cLoadError& e, const QString& fileName);

    FileDialog SaveDlg;
    FileDialog OpenDlg;

private:
    bool readDataFile(const QString& fileName);
    ExportView exportView(std::array<std::vector<double>, kChannels + 1>& xs,
                          std::array<std::vector<double>, kChannels + 1>& ys) const;

    Controls m_c;
    TMeasurement& m_m;
};

} // namespace zarvik
