// Where F1 on each control of the main window opens the help, and the help viewer it opens.

#include "shell/tform1.h"

#include "files/commentbrowser.h"
#include "history/historywindow.h"
#include "ui/help.h"
#include "ui/language.h"
#include "view/cursortable.h"

#include "chart/chart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>

namespace zarvik {

void TForm1::setHelpTopics() {
    const std::pair<QWidget*, const char*> topics[] = {
        {Header, "Idh_Window#toolbars"},
        {ctlBar, "Idh_Window#toolbars"},
        {btSave, "Idh_Files#btSave"},
        {btLoadFile, "Idh_Files#btLoadFile"},
        {btCopy, "Idh_Copy#btCopy"},
        {btShowCmnt, "Idh_Browser#btShowCmnt"},
        {btPrevFile, "Idh_Files#btPrevFile"},
        {btNextFile, "Idh_Files#btNextFile"},
        {btPrint, "Idh_Copy#btPrint"},
        {btHistory, "Idh_History#btHistory"},
        {btUSB, "Idh_Measure#btUSB"},
        {btStartMode, "Idh_Measure#btStartMode"},
        {btChooseF, "Idh_Measure#btChooseF"},
        {btStartPlus, "Idh_Measure#btStartPlus"},
        {btSpectrGo, "Idh_Spectrum#btSpectrGo"},
        {btTrend, "Idh_Spectrum#btTrend"},
        {btChart, "Idh_ChartPanel#btChart"},
        {btOptions, "Idh_Options#btOptions"},
        {btRead, "Idh_Measure#btRead"},
        {gbFile, "Idh_Comment#mComment"},
        {mComment, "Idh_Comment#mComment"},
        {Chart1, "Idh_Chart#Chart1"},
        {btSaveChart, "Idh_Copy#btSaveChart"},
        {pnlChart, "Idh_Measure#pnlChart"},
        {status, "Idh_Window#status"},
        {gbAllCmnt, "Idh_Browser#MAllCmnt"},
        {MAllCmnt, "Idh_Browser#MAllCmnt"},
        {pSearch, "Idh_Browser#pSearch"},
        {m_commentBrowser->eFind, "Idh_Browser#eFind"},
        {m_commentBrowser->chkCaps, "Idh_Browser#chkCaps"},
        {m_commentBrowser->btFind, "Idh_Browser#btFind"},
        {m_commentBrowser->btOpenFind, "Idh_Browser#btOpenFind"},
        {m_commentBrowser->btPath, "Idh_Browser#btPath"},
        {m_commentBrowser->btCancel, "Idh_Browser#btCancel"},
        {gbFT, "Idh_Measure#gbFT"},
        {gbFT->seF, "Idh_Measure#seF"},
        {gbFT->seRoot, "Idh_Measure#seRoot"},
        {gbFT->seTime, "Idh_Measure#seTime"},
        {gbFT->seSamples, "Idh_Measure#seSamples"},
        {gbFT->btStart, "Idh_Measure#btStart"},
        {gbFT->seSeriesCount, "Idh_Measure#series"},
        {gbFT->seSeriesPause, "Idh_Measure#series"},
        {gbFT->btSeriesFolder, "Idh_Measure#btSeriesFolder"},
        {gbFT->eSeriesName, "Idh_Measure#series"},
        {gbFT->btSeries, "Idh_Measure#btSeries"},
        {gbOptions, "Idh_Options#gbOptions"},
        {gbOptions->cbTimeunits, "Idh_Options#cbTimeunits"},
        {gbOptions->cbStoreX, "Idh_Options#cbStoreX"},
        {gbOptions->cbHelp, "Idh_Options#cbHelp"},
        {gbOptions->cbLanguage, "Idh_Options#cbLanguage"},
        {gbOptions->seFstep, "Idh_Options#seFstep"},
        {gbOptions->seTstep, "Idh_Options#seTstep"},
        {gbOptions->rgRefADC, "Idh_Options#rgRefADC"},
        {gbOptions->seHistoryLimit, "Idh_Options#seHistoryLimit"},
        {m_historyWindow, "Idh_History#HistoryWindow"},
        {m_historyWindow->eHistFilter, "Idh_History#eHistFilter"},
        {m_historyWindow->tvHistory, "Idh_History#tvHistory"},
        {m_historyWindow->btHistOpen, "Idh_History#tvHistory"},
        {m_historyWindow->btHistPin, "Idh_History#btHistPin"},
        {m_historyWindow->btHistDelete, "Idh_History#btHistDelete"},
        {m_historyWindow->btHistPrev, "Idh_History#btHistPrev"},
        {m_historyWindow->btHistNext, "Idh_History#btHistPrev"},
        {m_historyWindow->btHistFolder, "Idh_History#btHistFolder"},
        {m_historyWindow->btHistClose, "Idh_History#HistoryWindow"},
        {gbChart, "Idh_ChartPanel#gbChart"},
        {gbChart->cbShowK, "Idh_ChartPanel#cbShowK"},
        {gbChart->cbInt, "Idh_ChartPanel#cbInt"},
        {gbChart->seInt, "Idh_ChartPanel#cbInt"},
        {gbChart->btZeros, "Idh_ChartPanel#btZeros"},
        {gbChart->cbRestoreParams, "Idh_ChartPanel#cbRestoreParams"},
        {gbChart->btSaveZeros, "Idh_ChartPanel#btSaveZeros"},
        {gbChart->btLoadScalesFile, "Idh_ChartPanel#btLoadScalesFile"},
        {gbChart->cbCursors, "Idh_ChartPanel#cbCursors"},
        {gbChart->btOverlay, "Idh_ChartPanel#btOverlay"},
        {m_cursorTable, "Idh_Chart#cursors"},
        {m_cursorTable->cbWithReference, "Idh_Chart#cbWithReference"},
        {m_cursorTable->btCopyCursors, "Idh_Chart#btCopyCursors"},
    };
    for (const auto& [widget, topic] : topics)
        setHelpTopic(widget, topic);
    for (int n = 1; n <= kChannels; ++n) {
        setHelpTopic(gbFT->cbCh[n], "Idh_Measure#cbCh");
        setHelpTopic(gbOptions->pColorCh[n], "Idh_Options#pColorCh");
    }
    for (QPushButton* remove : gbChart->btRemoveReference)
        setHelpTopic(remove, "Idh_ChartPanel#btRemoveReference");
}

void TForm1::showHelp(const QString& topic) {
    if (!m_help) {
        m_help = new HelpViewer(this);
        m_help->setLanguage(interfaceLanguage());
    }
    m_help->showTopic(topic);
}

} // namespace zarvik
