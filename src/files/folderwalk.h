#pragma once
// Opening data files without the open dialog: a file dropped on the main window, and the
// previous or next data file of the current file's folder.

#include "common/measurement.h"

#include <QObject>
#include <QStringList>
#include <functional>

class QAbstractButton;
class QGroupBox;

namespace zarvik {

class FolderWalk : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QAbstractButton* btPrevFile = nullptr;
        QAbstractButton* btNextFile = nullptr;
        QGroupBox* gbFile = nullptr;
    };

    FolderWalk(const Controls& controls, TMeasurement& measurement, QObject* parent = nullptr);

    // Calls into the other parts of the window.
    std::function<void()> closeSamplingPanel;
    // The reader without its dialog, on the file named by FileName.
    std::function<bool()> readFileName;

    // Files dropped on the window: the first one is read.
    void WMDropFiles(const QStringList& fileNames);
    void btPrevFileClick();
    void btNextFileClick();

private:
    void open(const QString& folder, const QString& name);

    Controls m_c;
    TMeasurement& m_m;
};

// The name under which a dropped file is read: with its Latin capitals lowered where the file
// system ignores letter case (the lowered name is the same file), else as dropped, since there
// the lowered name would be another file or none.
QString droppedFileName(const QString& fileName);

} // namespace zarvik
