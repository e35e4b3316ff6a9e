// The view's parts on the main window: the chart view with its channel boxes and colours, its
// cursors and the files laid over it, the group of F, T and the sample count, the start-mode
// button and the zero-level group with its calibration file.

#include "files/memotext.h"
#include "shell/tform1.h"
#include "view/chartview.h"
#include "view/cursortable.h"
#include "view/references.h"
#include "view/samplingpanel.h"
#include "view/scalesfile.h"
#include "view/startmode.h"
#include "view/zerolevels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QToolButton>

namespace zarvik {

void TForm1::createSamplingParts() {
    SamplingPanel::Controls c;
    c.gbFT = gbFT;
    c.btChooseF = btChooseF;
    c.cbCh = gbFT->cbCh;
    c.seF = gbFT->seF;
    c.seTime = gbFT->seTime;
    c.seSamples = gbFT->seSamples;
    c.seRootUp = gbFT->seRoot->up;
    c.seRootDown = gbFT->seRoot->down;
    c.lbErrIn = gbFT->lbErrIn;
    c.lbF = gbFT->lbF;
    c.lbT = gbFT->lbT;
    c.lbMinutes = gbFT->lbMinutes;
    c.seFstep = gbOptions->seFstep;
    c.seTstep = gbOptions->seTstep;
    c.gbOptions = gbOptions;
    c.btOptions = btOptions;
    m_sampling = new SamplingPanel(c, Measurement, this);

    m_startMode = new StartModeButton(btStartMode, this);

    ZeroLevels::Controls z;
    z.btZeros = gbChart->btZeros;
    z.btSaveZeros = gbChart->btSaveZeros;
    z.btLoadScalesFile = gbChart->btLoadScalesFile;
    z.cbRestoreParams = gbChart->cbRestoreParams;
    z.lbCh = gbChart->lbCh;
    z.cbCh = gbFT->cbCh;
    z.seSamples = gbFT->seSamples;
    z.seF = gbFT->seF;
    z.cbShowK = gbChart->cbShowK;
    z.seInt = gbChart->seInt;
    z.cbInt = gbChart->cbInt;
    m_zeroLevels = new ZeroLevels(z, Measurement, this);
    m_zeroLevels->readPath = [this] { return Places.forReading(scl::kFileName); };
    m_zeroLevels->writePath = [this] { return Places.forWriting(scl::kFileName); };
}

void TForm1::createChartView() {
    ChartView::Controls c;
    c.chart = Chart1;
    c.cbCh = cbCh;
    c.pColorCh = pColorCh;
    c.cbShowK = gbChart->cbShowK;
    c.cbTimeunits = gbOptions->cbTimeunits;
    c.alsoRebuildOn = {gbOptions->cbStoreX, gbOptions->cbHelp};
    c.cbInt = gbChart->cbInt;
    c.seInt = gbChart->seInt;
    c.btSpectrGo = btSpectrGo;
    c.btTrend = btTrend;
    c.btOptions = btOptions;
    c.pnlChart = pnlChart;
    c.setStatus = [this](int panel, const QString& text) { setStatusText(panel, text); };
    m_chartView = new ChartView(c, Measurement, this);
    m_chartView->channelsChanged = [this] { CalcUseChnl(); };

    References::Controls r;
    r.chart = Chart1;
    r.btOverlay = gbChart->btOverlay;
    r.lbReference = gbChart->lbReference;
    for (int k = 0; k < References::kMaxReferences; ++k)
        r.btRemoveReference[k] = gbChart->btRemoveReference[k];
    m_references = new References(r, *m_chartView, this);
    m_references->OverlayDlg.owner = this;

    m_cursorTable = new CursorTable(*Chart1, *m_chartView, *m_references, Measurement, this);
    m_cursorTable->copyText = [this](const QString& text) {
        mClipBoard->setPlainText(text);
        copyMemoToClipboard(*mClipBoard);
    };
    connect(gbChart->cbCursors, &QCheckBox::toggled, m_cursorTable, &CursorTable::setCursorsOn);
    // The table may change its rows while the chart is being drawn: the chart makes room after.
    connect(m_cursorTable, &CursorTable::layoutChanged, this, &TForm1::FormResize,
            Qt::QueuedConnection);
    auto* cursorsKey = new QShortcut(QKeySequence(Qt::Key_F8), this);
    connect(cursorsKey, &QShortcut::activated, gbChart->cbCursors, &QCheckBox::toggle);
}

} // namespace zarvik
