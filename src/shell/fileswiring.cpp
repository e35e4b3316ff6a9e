// The data-file parts of the main window and the calls that cross from them into the other
// parts: the sampling panel, the chart view and each other.

#include "chart/chart.h"
#include "chart/chartseries.h"
#include "files/clipboardprint.h"
#include "files/commentbrowser.h"
#include "files/datafilehandlers.h"
#include "files/folderwalk.h"
#include "shell/tform1.h"
#include "view/chartview.h"

#include <QPlainTextEdit>
#include <QToolButton>

namespace zarvik {

void TForm1::createFileParts() {
    const auto closeSamplingPanel = [this] {
        if (gbFT->isVisible())
            btChooseFClick();
    };

    DataFileHandlers::Controls files;
    files.btSave = btSave;
    files.btLoadFile = btLoadFile;
    files.mComment = mComment;
    files.gbFile = gbFile;
    files.cbCh = cbCh;
    files.btPrevFile = btPrevFile;
    files.btNextFile = btNextFile;
    files.btShowCmnt = btShowCmnt;
    files.cbInt = gbChart->cbInt;
    files.seInt = gbChart->seInt;
    files.cbStoreX = gbOptions->cbStoreX;
    files.setStatus = [this](int panel, const QString& text) { setStatusText(panel, text); };
    m_dataFiles = new DataFileHandlers(files, Measurement, this);
    m_dataFiles->SaveDlg.owner = this;
    m_dataFiles->OpenDlg.owner = this;

    FolderWalk::Controls walk;
    walk.btPrevFile = btPrevFile;
    walk.btNextFile = btNextFile;
    walk.gbFile = gbFile;
    m_folderWalk = new FolderWalk(walk, Measurement, this);

    CommentBrowser::Controls browser;
    browser.gbAllCmnt = gbAllCmnt;
    browser.pSearch = pSearch;
    browser.MAllCmnt = MAllCmnt;
    m_commentBrowser = new CommentBrowser(browser, Measurement, this);
    connect(btShowCmnt, &QToolButton::clicked, m_commentBrowser, &CommentBrowser::btShowCmntClick);

    ClipboardPrint::Controls output;
    output.chart = Chart1;
    output.btPrint = btPrint;
    output.btSaveChart = btSaveChart;
    output.btCopy = btCopy;
    output.mComment = mComment;
    output.mClipBoard = mClipBoard;
    m_clipboardPrint = new ClipboardPrint(output, Measurement, this);

    m_dataFiles->closeSamplingPanel = closeSamplingPanel;
    m_dataFiles->restartSearch = [this] { m_commentBrowser->SearchLine = 0; };
    m_dataFiles->setSeriesShown = [this](int n, bool shown) {
        m_chartView->series(n)->setActive(shown);
    };
    // The cursors' places belong to the view of one measurement.
    m_dataFiles->showChart = [this] {
        Chart1->clearCursors();
        m_chartView->ShowChart();
    };
    m_dataFiles->series = [this](int n) -> const LineSeries* { return m_chartView->series(n); };
    m_dataFiles->axisTitles = [this] { return m_chartView->fileAxisTitles(); };
    m_dataFiles->physicalUnits = [this] { return axisModeHasValues(m_chartView->BuiltMode); };
    m_dataFiles->visibleRange = [this] {
        return std::make_pair(static_cast<int>(m_chartView->VisibleFirst),
                              static_cast<int>(m_chartView->VisibleLast));
    };

    m_folderWalk->closeSamplingPanel = closeSamplingPanel;
    m_folderWalk->readFileName = [this] { return m_dataFiles->readFileName(); };

    m_commentBrowser->closeSamplingPanel = closeSamplingPanel;
    m_commentBrowser->layout = [this] { FormResize(); };
    m_commentBrowser->chooseDataFile = [this] {
        return m_dataFiles->OpenDlg.Execute() ? m_dataFiles->OpenDlg.FileName : QString();
    };
    m_commentBrowser->readFileName = [this] { return m_dataFiles->readFileName(); };

    // The browser put its list below the group's caption; the regions follow the rule again.
    FormResize();
}

} // namespace zarvik
