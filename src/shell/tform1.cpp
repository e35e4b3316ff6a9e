#include "shell/tform1.h"

#include "analysis/analysisactions.h"
#include "analysis/spectrumwindow.h"
#include "chart/chart.h"
#include "chart/wincolor.h"
#include "common/inifile.h"
#include "device/linksupervisor.h"
#include "device/measurementcycle.h"
#include "files/commentbrowser.h"
#include "files/datafilehandlers.h"
#include "files/folderwalk.h"
#include "shell/help.h"
#include "shell/language.h"
#include "shell/operatormessages.h"
#include "shell/settings.h"
#include "shell/settingskeys.h"
#include "shell/windowframe.h"
#include "view/chartview.h"
#include "view/samplingpanel.h"
#include "view/startmode.h"
#include "view/zerolevels.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <utility>

static void initZarvikResources() {
    Q_INIT_RESOURCE(zarvik);
}

namespace zarvik {
namespace {

// The regions' fixed places in the window.
constexpr int kHeaderHeight = 17;
constexpr int kCtlBarTop = 16;
constexpr int kCtlBarHeight = 41;
constexpr int kFileTop = 56;
constexpr int kFileHeight = 57;
constexpr int kChartTop = 112;
constexpr int kChartLeft = 3;
constexpr int kSaveChartAboveBottom = 26;
constexpr int kStatusHeight = 19;

// The stored values of the language list's items, in its order.
const std::array<std::string, 3> kLanguageItems = {"", kLanguageRussian, kLanguageEnglish};

const std::string& chosenLanguage(const QComboBox* list) {
    return kLanguageItems[static_cast<std::size_t>(std::clamp(list->currentIndex(), 0, 2))];
}

// A stored list item that the list does not have would leave it showing nothing: the first
// item, the list's default, stands in for it.
void selectStoredItem(QComboBox* list, int index) {
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : 0);
}

} // namespace

FilePlaces programFilePlaces(const QString& appPath) {
    const QString folder =
        appPath.isEmpty() ? QCoreApplication::applicationDirPath() + "/" : appPath;
    const std::filesystem::path programFolder = std::filesystem::u8path(folder.toStdString());
    const std::filesystem::path userFolder = std::filesystem::u8path(
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());
    return isInstalledProgram(programFolder) && !userFolder.empty()
               ? FilePlaces::inUserFolder(userFolder)
               : FilePlaces(programFolder, userFolder);
}

TForm1::TForm1(const QString& appPath, QWidget* parent) : QWidget(parent), AppPath(appPath) {
    initZarvikResources();
    setObjectName("Form1");
    setWindowTitle(tr("АЦП 12 бит 8 каналов") + "   " + "www.zarvik-lab.ru ");
    setToolTip(tr("Щелкните по незанятой части окна для разворачивания/сворачивания окна"));
    setHelpContext(this, 6);
    // The design's small dialog font; the regions' fixed sizes are measured in it.
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    buildRegions();
    FormCreate();
    setHelpTopics();
}

TForm1::~TForm1() = default;

QToolButton* TForm1::addButton(QFrame* bar, const QString& name, const QString& caption,
                               const QString& hint, int helpContext,
                               const QStringList& otherCaptions) {
    auto* b = new QToolButton(bar);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setFixedHeight(21);
    if (!caption.isEmpty()) {
        b->setText(caption);
        QFont f = b->font();
        f.setBold(true);
        b->setFont(f);
        const QFontMetrics fm(f);
        int widest = fm.horizontalAdvance(caption);
        for (const QString& c : otherCaptions)
            widest = std::max(widest, fm.horizontalAdvance(c));
        QStyleOptionToolButton opt;
        opt.initFrom(b);
        opt.text = caption;
        b->setFixedWidth(
            b->style()
                ->sizeFromContents(QStyle::CT_ToolButton, &opt, QSize(widest, fm.height()), b)
                .width());
    }
    b->setAutoRaise(true);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    b->setIconSize(QSize(16, 16));
    setHelpContext(b, helpContext);
    bar->layout()->addWidget(b);
    return b;
}

void TForm1::buildRegions() {
    // Header captions over the three tool bars; they follow the bars' places (eventFilter).
    Header = new QWidget(this);
    Header->setObjectName("Header");
    Header->setAttribute(Qt::WA_NoMousePropagation);
    const std::array<const char*, 3> sections = {
        QT_TR_NOOP("Файл"), QT_TR_NOOP("Управление контроллером"), QT_TR_NOOP("Опции")};
    for (std::size_t i = 0; i < sections.size(); ++i) {
        m_headerCaptions[i] = new QLabel(tr(sections[i]), Header);
        m_headerCaptions[i]->setAlignment(Qt::AlignCenter);
        m_headerCaptions[i]->setFrameStyle(QFrame::Panel | QFrame::Raised);
    }

    ctlBar = new QWidget(this);
    ctlBar->setObjectName("ctlBar");
    ctlBar->setAttribute(Qt::WA_NoMousePropagation);
    ctlBar->installEventFilter(this);
    auto* barLayout = new QHBoxLayout(ctlBar);
    barLayout->setContentsMargins(0, 7, 0, 7);
    barLayout->setSpacing(0);
    // Tool bars that never wrap and never hide a button behind an overflow arrow: each as wide
    // as its buttons in the font in use (the design's widths held them in a narrower font).
    auto makeBar = [&](const char* name) {
        auto* bar = new QFrame(ctlBar);
        bar->setObjectName(name);
        bar->setFrameStyle(QFrame::Panel | QFrame::Raised);
        bar->setFixedHeight(27);
        bar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        bar->installEventFilter(this);
        auto* layout = new QHBoxLayout(bar);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->setSpacing(1);
        barLayout->addWidget(bar);
        return bar;
    };
    tbFile = makeBar("tbFile");
    tbMCctl = makeBar("tbMCctl");
    tbOptions = makeBar("tbOptions");
    barLayout->addStretch();

    // The style's 16-pixel pictures, the size the bars show: its icons would read every size
    // of every picture, a tenth of the start-up.
    QStyle* st = style();
    auto icon = [st](QStyle::StandardPixmap which) { return QIcon(st->standardPixmap(which)); };
    btSave = addButton(tbFile, "btSave", {}, tr("Сохранить данные в файл"), 7);
    btSave->setIcon(icon(QStyle::SP_DialogSaveButton));
    btLoadFile = addButton(tbFile, "btLoadFile", {}, tr("Открыть файл данных"), 7);
    btLoadFile->setIcon(icon(QStyle::SP_DialogOpenButton));
    btCopy = addButton(tbFile, "btCopy", {}, tr("Копировать комментарий в буфер обмена"), 8);
    btCopy->setIcon(icon(QStyle::SP_FileDialogDetailedView));
    btShowCmnt = addButton(tbFile, "btShowCmnt", {},
                           tr("Просмотреть комментарии ко всем  файлам в папке"), 7);
    btShowCmnt->setIcon(icon(QStyle::SP_FileDialogContentsView));
    btPrevFile = addButton(tbFile, "btPrevFile", {}, tr("Предыдущий файл в папке"), 7);
    btPrevFile->setIcon(icon(QStyle::SP_ArrowLeft));
    btNextFile = addButton(tbFile, "btNextFile", {}, tr("Следующий файл в папке"), 7);
    btNextFile->setIcon(icon(QStyle::SP_ArrowRight));
    btPrint = addButton(tbFile, "btPrint", {}, tr("Печать графика"), 7);
    btPrint->setIcon(icon(QStyle::SP_FileIcon));
    btShowCmnt->setEnabled(false);
    btPrevFile->setEnabled(false);
    btNextFile->setEnabled(false);

    btUSB = addButton(tbMCctl, "btUSB", {}, tr("Подключить АЦП к компьютеру"), 4);
    btUSB->setIcon(icon(QStyle::SP_DriveNetIcon));
    btStartMode = addButton(tbMCctl, "btStartMode", {}, {}, 4);
    btChooseF = addButton(tbMCctl, "btChooseF", tr("Выбор F/T"),
                          tr("Выбрать частоту выборки / время измерения"), 4, {tr("Закрыть")});
    btStartPlus =
        addButton(tbMCctl, "btStartPlus", tr("ПУСК ИЗМЕРЕНИЯ"), tr("Запуск измерения"), 4);
    btSpectrGo = addButton(tbMCctl, "btSpectrGo", tr("Спектр"), tr("Построение спектра"), 4);
    btTrend = addButton(tbMCctl, "btTrend", tr("Тренд"), tr("Определение тренда"), 4);
    btSpectrGo->setEnabled(false);
    btTrend->setEnabled(false);

    btChart =
        addButton(tbOptions, "btChart", tr("График"), tr("Параметры графика"), 5, {tr("Закрыть")});
    btOptions = addButton(tbOptions, "btOptions", tr("Опции"),
                          tr("Цвет графика, единицы времени..."), 5, {tr("Закрыть"), tr("ОПЦИИ")});
    btRead = addButton(tbOptions, "btRead", tr("Повтор чтения"),
                       tr("Повторное считывание массива из памяти платы АЦП"), 5);
    btBoot = addButton(tbOptions, "btBoot", tr("Boot"), tr("Внешний генератор"), 4);
    btBoot->hide();

    gbFile = new QGroupBox(tr("Комментарий"), this);
    gbFile->setObjectName("gbFile");
    setHelpContext(gbFile, 2);
    mComment = new QPlainTextEdit(gbFile);
    mComment->setObjectName("mComment");
    mComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mComment->move(8, 15);
    setHelpContext(mComment, 2);
    mClipBoard = new QPlainTextEdit(gbFile);
    mClipBoard->setObjectName("mClipBoard");
    mClipBoard->hide();

    Chart1 = new Chart(this);
    Chart1->setObjectName("Chart1");
    Chart1->setMargins(QMargins(0, 0, 0, 0));
    Chart1->setLegendColor(colorFromWin(13290186));
    Chart1->setToolTip(tr("Увеличение: протяните мышь с левой кнопкой вправо-вниз; возврат: "
                          "влево-вверх; сдвиг: правой кнопкой"));
    setHelpContext(Chart1, 7);
    // A click on the chart takes the focus, so that F1 then tells of the chart.
    Chart1->setFocusPolicy(Qt::ClickFocus);

    gbAllCmnt = new QGroupBox(Chart1);
    gbAllCmnt->setObjectName("gbAllCmnt");
    gbAllCmnt->move(0, 0);
    MAllCmnt = new QPlainTextEdit(gbAllCmnt);
    MAllCmnt->setObjectName("MAllCmnt");
    MAllCmnt->move(8, 8);
    setHelpContext(MAllCmnt, 3);
    pSearch = new QWidget(gbAllCmnt);
    pSearch->setObjectName("pSearch");
    pSearch->setGeometry(10, 0, 100, 30);
    setHelpContext(pSearch, 3);
    gbAllCmnt->hide();

    pnlChart = new QFrame(Chart1);
    pnlChart->setObjectName("pnlChart");
    pnlChart->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlChart->setAutoFillBackground(true); // over the chart, not through it
    pnlChart->setGeometry(0, 0, 100, 60);
    progressBar = new QProgressBar(pnlChart);
    progressBar->setObjectName("progressBar");
    progressBar->setGeometry(10, 34, 80, 16);
    // Total, elapsed and rest, each a fixed caption and its value; the percentages follow the
    // elapsed and the rest time.
    auto* figures = new QWidget(pnlChart);
    auto* figuresLayout = new QHBoxLayout(figures);
    figuresLayout->setContentsMargins(0, 0, 0, 0);
    figuresLayout->setSpacing(6);
    const auto figure = [&](const char* name) {
        auto* l = new QLabel(figures);
        l->setObjectName(name);
        l->setMinimumWidth(QFontMetrics(l->font()).horizontalAdvance("100%") + 4);
        return l;
    };
    const auto caption = [&](const QString& text) {
        figuresLayout->addSpacing(12);
        figuresLayout->addWidget(new QLabel(text, figures));
    };
    lbAll = figure("lbAll");
    lbElapsedVal = figure("lbElapsedVal");
    lbRestVal = figure("lbRestVal");
    lbPercent = figure("lbPercent");
    lbRestPercent = figure("lbRestPercent");
    caption(tr("Продолжительность:"));
    figuresLayout->addWidget(lbAll);
    caption(tr("Прошло:"));
    figuresLayout->addWidget(lbElapsedVal);
    figuresLayout->addWidget(lbPercent);
    caption(tr("Осталось:"));
    figuresLayout->addWidget(lbRestVal);
    figuresLayout->addWidget(lbRestPercent);
    figuresLayout->addStretch();
    figures->setGeometry(0, 8, figures->sizeHint().width() + 40, 20);
    pnlChart->hide();

    btSaveChart = new QToolButton(Chart1);
    btSaveChart->setObjectName("btSaveChart");
    btSaveChart->setIcon(icon(QStyle::SP_DialogSaveButton));
    btSaveChart->setGeometry(2, 0, 24, 24);
    setHelpContext(btSaveChart, 8);

    status = new QStatusBar(this);
    status->setObjectName("status");
    status->setSizeGripEnabled(false);
    status->setToolTip(tr("Щелкнуть для отображения/скрытия X,Y и цифровых сигналов"));
    setHelpContext(status, 6);
    const std::array<int, 3> panelWidths = {200, 200, 50};
    for (int i = 0; i < 3; ++i) {
        m_statusPanels[i] = new QLabel(status);
        m_statusPanels[i]->setFixedWidth(panelWidths[i]);
        m_statusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        status->addWidget(m_statusPanels[i]);
    }

    gbFT = new FTPanel(this);
    gbOptions = new OptionsPanel(this);
    gbChart = new ChartPanel(this);
    for (QWidget* panel : {static_cast<QWidget*>(gbFT), static_cast<QWidget*>(gbOptions),
                           static_cast<QWidget*>(gbChart)}) {
        panel->move(kChartLeft + 40, kChartTop + 8);
        panel->hide();
    }
    gbOptions->move(kChartLeft + 60, kChartTop + 12);
    gbChart->move(kChartLeft + 80, kChartTop + 16);
    setHelpContext(gbFT, 4);
    setHelpContext(gbOptions, 5);
    setHelpContext(gbChart, 5);
    setHelpContext(gbOptions->seFstep, 4);
    setHelpContext(gbOptions->seTstep, 4);

    connect(btOptions, &QToolButton::clicked, this, &TForm1::btOptionsClick);
    connect(btChart, &QToolButton::clicked, this, &TForm1::btChartClick);
    connect(gbOptions, &ClickableGroupBox::clicked, this, &TForm1::gbOptionsClick);
    connect(gbChart, &ClickableGroupBox::clicked, this, &TForm1::gbOptionsClick);
    connect(gbOptions->cbLanguage, &QComboBox::activated, this, &TForm1::cbLanguageChange);
}

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
        {gbOptions, "Idh_Options#gbOptions"},
        {gbOptions->cbTimeunits, "Idh_Options#cbTimeunits"},
        {gbOptions->cbStoreX, "Idh_Options#cbStoreX"},
        {gbOptions->cbHelp, "Idh_Options#cbHelp"},
        {gbOptions->cbLanguage, "Idh_Options#cbLanguage"},
        {gbOptions->seFstep, "Idh_Options#seFstep"},
        {gbOptions->seTstep, "Idh_Options#seTstep"},
        {gbOptions->rgRefADC, "Idh_Options#rgRefADC"},
        {gbChart, "Idh_ChartPanel#gbChart"},
        {gbChart->cbShowK, "Idh_ChartPanel#cbShowK"},
        {gbChart->cbInt, "Idh_ChartPanel#cbInt"},
        {gbChart->seInt, "Idh_ChartPanel#cbInt"},
        {gbChart->btZeros, "Idh_ChartPanel#btZeros"},
        {gbChart->cbRestoreParams, "Idh_ChartPanel#cbRestoreParams"},
        {gbChart->btSaveZeros, "Idh_ChartPanel#btSaveZeros"},
        {gbChart->btLoadScalesFile, "Idh_ChartPanel#btLoadScalesFile"},
    };
    for (const auto& [widget, topic] : topics)
        setHelpTopic(widget, topic);
    for (int n = 1; n <= kChannels; ++n) {
        setHelpTopic(gbFT->cbCh[n], "Idh_Measure#cbCh");
        setHelpTopic(gbOptions->pColorCh[n], "Idh_Options#pColorCh");
    }
}

void TForm1::FormCreate() {
    for (int n = 1; n <= kChannels; ++n)
        Measurement.ZeroLevel[n] = 0.0;
    Measurement.ZeroRun = false;

    setAcceptDrops(true);

    if (AppPath.isEmpty())
        AppPath = QCoreApplication::applicationDirPath() + "/";
    Places = programFilePlaces(AppPath);

    createSamplingParts();
    m_zeroLevels->GetScalesFileData();

    Measurement.FromFile = false;

    const MainSettings s = readMainSettings(IniFile(Places.forReading(ini::kFileName)));
    m_readSettings = s;
    setWindowBounds(s.height, s.width, s.left, s.top);

    selectStoredItem(gbOptions->cbTimeunits, s.timeUnits);
    selectStoredItem(gbChart->cbShowK, s.xyMode);
    gbChart->seInt->setValue(s.integratePoints);

    for (int n = 1; n <= kChannels; ++n) {
        cbCh[n] = gbFT->cbCh[n];
        pColorCh[n] = gbOptions->pColorCh[n];
    }
    createChartView();
    createFileParts();
    applySettings(s);

    Measurement.SampleData.clear();
    Measurement.BlockCount = kMaxBlocks;

    createLinkSupervisor();
    createMeasurementCycle();
    m_link->OpenPort(LinkSupervisor::Sender::Window);

    for (int b = 1; b <= kMaxBlocks; ++b)
        BlockCode[b] = static_cast<std::uint8_t>((8 - b) * 32);

    // Everything derived from F, T and the sample count agrees from here on.
    m_sampling->seSamplesChange();
}

void TForm1::applySettings(const MainSettings& s) {
    for (int n = 1; n <= kChannels; ++n) {
        m_chartView->setChannelColor(n, colorFromWin(s.seriesColor[n]));
        cbCh[n]->setChecked(s.seriesSelect[n]);
    }
    bool any = false;
    for (int n = 1; n <= kChannels; ++n)
        any = any || cbCh[n]->isChecked();
    if (!any)
        cbCh[1]->setChecked(true);
    CalcUseChnl();

    m_startMode->restore(s.startType);
    gbOptions->setRefAdcIndex(s.adcRange);

    m_sampling->applyStoredValues(s.sramBlocks, s.time4allSRAM, s.f);
    m_sampling->setStartLimits();

    selectStoredItem(gbOptions->cbHelp, s.loadHelpOnStart);
    // A stored value the list does not have shows as the system's language, and stays in the
    // file unless the operator chooses.
    const auto language = std::find(std::begin(kLanguageItems), std::end(kLanguageItems),
                                    languageSetting(s.language.value_or(std::string())));
    gbOptions->cbLanguage->setCurrentIndex(
        language == std::end(kLanguageItems)
            ? 0
            : static_cast<int>(std::distance(std::begin(kLanguageItems), language)));
    gbChart->cbRestoreParams->setChecked(s.restoreParamsAfterZero);
}

MainSettings TForm1::collectSettings() const {
    MainSettings s;
    s.height = windowHeight();
    s.width = windowWidth();
    s.left = x();
    s.top = y();
    s.timeUnits = gbOptions->cbTimeunits->currentIndex();
    s.xyMode = gbChart->cbShowK->currentIndex();
    s.integratePoints = gbChart->seInt->value();
    s.loadHelpOnStart = gbOptions->cbHelp->currentIndex();
    s.restoreParamsAfterZero = gbChart->cbRestoreParams->isChecked();
    s.language = m_readSettings.language;
    if (m_languageChosen)
        s.language = chosenLanguage(gbOptions->cbLanguage);
    for (int n = 1; n <= kChannels; ++n) {
        s.seriesColor[n] = winFromColor(pColorCh[n]->color());
        s.seriesSelect[n] = cbCh[n]->isChecked();
    }
    s.adcRange = gbOptions->refAdcIndex();
    s.sramBlocks = Measurement.SRAMblocks;
    s.time4allSRAM = Measurement.Time4allSRAM;
    s.f = gbFT->seF->value();
    s.startType = m_startMode->StartMode;
    // The spectrum window's options go back as they were read unless it has its own say.
    s.spectrumStep = m_readSettings.spectrumStep;
    s.spectrumFmax = m_readSettings.spectrumFmax;
    s.spectrumType = m_readSettings.spectrumType;
    if (m_spectrumWindow) {
        const SpectrumSettings spectrum = m_spectrumWindow->settings();
        s.spectrumStep = spectrum.step;
        s.spectrumFmax = spectrum.fmax;
        s.spectrumType = spectrum.spectrumType;
    }
    return s;
}

TForm2* TForm1::spectrumWindow() const {
    return m_spectrumWindow;
}

void TForm1::reportSettingsNotWritten(const std::filesystem::path& file) {
    if (m_settingsFailureReported)
        return;
    m_settingsFailureReported = true;
    operatorMessages().error(
        QString("Unable to write to %1")
            .arg(QDir::toNativeSeparators(QString::fromStdString(file.u8string()))));
}

void TForm1::setSpectrumWindow(TForm2* window) {
    m_spectrumWindow = window;
    window->settingsNotWritten = [form =
                                      QPointer<TForm1>(this)](const std::filesystem::path& file) {
        if (form)
            form->reportSettingsNotWritten(file);
    };
    AnalysisActions::Controls c;
    c.form2 = window;
    c.chartView = m_chartView;
    c.chart = Chart1;
    c.mClipBoard = mClipBoard;
    c.btSpectrGo = btSpectrGo;
    c.btTrend = btTrend;
    delete m_analysis;
    m_analysis = new AnalysisActions(c, Measurement, this);
    m_analysis->openDialogFileName = [this] { return m_dataFiles->OpenDlg.FileName; };
    window->showHelp = [this](const QString& topic) { showHelp(topic); };
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
}

void TForm1::createLinkSupervisor() {
    LinkSupervisor::Controls c;
    c.btUSB = btUSB;
    c.btStart = gbFT->btStart;
    c.btStartPlus = btStartPlus;
    c.setStatus = [this](int panel, const QString& text) { setStatusText(panel, text); };
    m_link = new LinkSupervisor(c, this);
}

void TForm1::CalcUseChnl() {
    m_sampling->CalcUseChnl();
}

void TForm1::FormShow() {
    if (gbOptions->cbHelp->currentIndex() == 0)
        showHelp("Idh_Bgn");
}

void TForm1::FormClose() {
    if (m_closed)
        return;
    m_closed = true;
    Measurement.SampleData.clear();
    Measurement.SampleData.shrink_to_fit();
    // The spectrum window writes its own settings as it closes.
    if (m_spectrumWindow)
        m_spectrumWindow->close();
    m_link->closePort();
    IniFile ini(Places.forWriting(ini::kFileName));
    if (!writeMainSettings(ini, collectSettings()))
        reportSettingsNotWritten(ini.path());
    if (m_help)
        m_help->close();
}

int TForm1::windowHeight() const {
    return height() + kFrameHeight;
}
int TForm1::windowWidth() const {
    return width() + kFrameWidth;
}

void TForm1::setWindowBounds(int height, int width, int left, int top) {
    resize(width - kFrameWidth, height - kFrameHeight);
    move(left, top);
    // A hidden window gets its resize event only when shown; the regions follow at once.
    FormResize();
}

void TForm1::setDesktop(const QRect& workArea, int screenWidth) {
    m_workArea = workArea;
    m_screenWidth = screenWidth;
}

QRect TForm1::workArea() const {
    if (m_workArea)
        return *m_workArea;
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

int TForm1::screenWidth() const {
    if (m_workArea)
        return m_screenWidth;
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 1024;
}

void TForm1::FormResize() {
    const int chartWidth = windowWidth() - ChartWidthMargin;
    const int chartHeight = windowHeight() - ChartHeightMargin;
    const int clientWidth = width();

    Header->setGeometry(0, 0, clientWidth, kHeaderHeight);
    ctlBar->setGeometry(0, kCtlBarTop, clientWidth, kCtlBarHeight);
    gbFile->setGeometry(kChartLeft, kFileTop, chartWidth, kFileHeight);
    mComment->resize(gbFile->width() - 16, kFileHeight - 19);
    Chart1->setGeometry(kChartLeft, kChartTop, chartWidth, chartHeight);
    pnlChart->resize(Chart1->width(), pnlChart->height());
    progressBar->resize(Chart1->width() - 20, progressBar->height());
    gbAllCmnt->resize(Chart1->width(), Chart1->height());
    MAllCmnt->resize(mComment->width(),
                     gbAllCmnt->height() - pSearch->height() - MAllCmnt->y() - 10);
    pSearch->setGeometry(pSearch->x(), gbAllCmnt->height() - pSearch->height() - 5,
                         gbAllCmnt->width() - 20, pSearch->height());
    btSaveChart->move(btSaveChart->x(), Chart1->height() - kSaveChartAboveBottom);
    status->setGeometry(0, height() - kStatusHeight, clientWidth, kStatusHeight);
}

void TForm1::FormClick() {
    const QRect area = workArea();
    const int screenW = screenWidth();
    if (windowHeight() >= area.bottom() + 1 && windowWidth() >= screenW) {
        if (NormalBounds.height == 0) {
            NormalBounds.height = 480;
            NormalBounds.width = 620;
        }
        setWindowBounds(NormalBounds.height, NormalBounds.width, NormalBounds.left,
                        NormalBounds.top);
    } else {
        NormalBounds.height = static_cast<std::uint16_t>(windowHeight());
        NormalBounds.width = static_cast<std::uint16_t>(windowWidth());
        NormalBounds.left = x();
        NormalBounds.top = y();
        setWindowBounds(area.bottom() + 1, screenW, 0, 0);
    }
}

void TForm1::togglePanel(QWidget* panel, QToolButton* button, const QString& caption) {
    QPalette pal = button->palette();
    if (panel->isVisible()) {
        panel->hide();
        button->setText(caption);
        pal.setColor(QPalette::ButtonText, Qt::black);
    } else {
        panel->show();
        button->setText(tr("Закрыть"));
        pal.setColor(QPalette::ButtonText, Qt::red);
        panel->raise();
    }
    button->setPalette(pal);
}

void TForm1::btOptionsClick() {
    togglePanel(gbOptions, btOptions, tr("Опции"));
}

void TForm1::btChartClick() {
    togglePanel(gbChart, btChart, tr("График"));
}

void TForm1::btChooseFClick() {
    m_sampling->btChooseFClick();
}

void TForm1::cbLanguageChange() {
    m_languageChosen = true;
    // The captions are made once, with the window: the new language comes with the next start.
    if (chooseInterfaceLanguage(chosenLanguage(gbOptions->cbLanguage),
                                QLocale::system().uiLanguages()) != interfaceLanguage())
        operatorMessages().information(
            tr("Язык интерфейса сменится при следующем запуске программы."));
}

void TForm1::gbOptionsClick() {
    gbOptions->hide();
    btOptions->setText(tr("ОПЦИИ"));
    QPalette pal = btOptions->palette();
    pal.setColor(QPalette::ButtonText, Qt::black);
    btOptions->setPalette(pal);
}

QString TForm1::statusText(int panel) const {
    return m_statusPanels.at(panel)->text();
}

void TForm1::setStatusText(int panel, const QString& text) {
    m_statusPanels.at(panel)->setText(text);
}

void TForm1::showHelp(const QString& topic) {
    if (!m_help) {
        m_help = new HelpViewer(this);
        m_help->setLanguage(interfaceLanguage());
    }
    m_help->showTopic(topic);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TForm1::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && childAt(event->position().toPoint()) == nullptr)
        FormClick();
    QWidget::mousePressEvent(event);
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && event->type() == QEvent::KeyPress) {
            showHelp(helpTopicOf(QApplication::focusWidget(), 6));
            return true;
        }
    }
    return QWidget::event(event);
}

void TForm1::placeHeaderCaption(QWidget* toolBar) {
    const std::array<QWidget*, 3> bars = {tbFile, tbMCctl, tbOptions};
    for (std::size_t i = 0; i < bars.size(); ++i)
        if (bars[i] == toolBar) {
            const QPoint at = Header->mapFrom(this, toolBar->mapTo(this, QPoint(0, 0)));
            m_headerCaptions[i]->setGeometry(at.x(), 0, toolBar->width(), kHeaderHeight);
        }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        placeHeaderCaption(qobject_cast<QWidget*>(watched));
    // A double-click on a free part of the tool-bar strip: the buttons take their own.
    if (watched == ctlBar && event->type() == QEvent::MouseButtonDblClick) {
        guarded([this] { m_cycle->ctlBarDblClick(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    QStringList names;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            names << QDir::toNativeSeparators(url.toLocalFile());
    event->acceptProposedAction();
    // Read once the drop is over: a message box shown inside the drop would hold the program
    // the files were dragged from until it is closed.
    QMetaObject::invokeMethod(
        this, [this, names] { m_folderWalk->WMDropFiles(names); }, Qt::QueuedConnection);
}

} // namespace zarvik
