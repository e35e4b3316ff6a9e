#pragma once
// The comment browser laid over the chart: the comments of all data files of a folder one after
// another, each under a "=v=name=v=" line, a search through them, and opening the file whose
// comment holds the caret. Building the list reads only each file's header, titles and
// comment; the measurement in memory is never touched.

#include "common/measurement.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace zarvik {

class CommentBrowser : public QObject {
    Q_OBJECT
public:
    // The group, its search panel and its list memo as the main window places them.
    struct Controls {
        QGroupBox* gbAllCmnt = nullptr;
        QWidget* pSearch = nullptr;
        QPlainTextEdit* MAllCmnt = nullptr;
    };

    CommentBrowser(const Controls& controls, TMeasurement& measurement, QObject* parent = nullptr);

    // Calls into the other parts of the window.
    std::function<void()> closeSamplingPanel;
    std::function<void()> layout; // the main window's resize layout
    // The open dialog; an empty name when cancelled.
    std::function<QString()> chooseDataFile;
    // The reader without its dialog, on the file named by FileName.
    std::function<bool()> readFileName;

    void btShowCmntClick();
    void MAllCmntDblClick();
    void btOpenFindClick();
    void btFindClick();
    void btPathClick();
    void btCancelClick();

    // The folder whose comments the list shows.
    QString listedFolder() const { return m_folder; }

    // The list line at which the next search starts; back to 0 whenever a file is read.
    int SearchLine = 0;

    // The controls of the search panel.
    QLabel* lbFind = nullptr;
    QLineEdit* eFind = nullptr;
    QCheckBox* chkCaps = nullptr;
    QPushButton* btFind = nullptr;
    QPushButton* btOpenFind = nullptr;
    QPushButton* btPath = nullptr;
    QPushButton* btCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSearchPanel();
    void showComments(bool askForFolder);

    Controls m_c;
    TMeasurement& m_m;
    QString m_folder;
};

// The list of the files `names` of `folder`, in that order: for each data file its line
// "=v=" + name + "=v=" and its comment lines. A file that cannot be opened is passed over, and
// so is one that is not a data file.
QStringList commentListLines(const QString& folder, const QStringList& names);

} // namespace zarvik
