#include "shell/tform1.h"

#include "analysis/spectrumwindow.h"
#include "chart/wincolor.h"
#include "common/cp1251.h"
#include "common/inifile.h"
#include "device/linksupervisor.h"
#include "device/measurementcycle.h"
#include "device/measurementseries.h"
#include "files/datafilehandlers.h"
#include "files/folderwalk.h"
#include "history/historywindow.h"
#include "history/measurementhistory.h"
#include "shell/settings.h"
#include "shell/settingskeys.h"
#include "ui/help.h"
#include "ui/language.h"
#include "ui/operatormessages.h"
#include "ui/windowframe.h"
#include "view/chartview.h"
#include "view/samplingpanel.h"
#include "view/startmode.h"
#include "view/zerolevels.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolButton>
#include <algorithm>

static void initZarvikResources() {
    Q_INIT_RESOURCE(zarvik);
}

namespace zarvik {
namespace {

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

TForm1::~TForm1() {
    // The panel follows the history's list: it goes first, whatever order the children have.
    delete m_historyWindow;
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
    createHistory(s);
    if (s.series)
        m_series->applyPlan(*s.series);
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
    // A file gets the history's space only when it had it or the operator set another.
    s.historyLimitMb = m_readSettings.historyLimitMb;
    if (s.historyLimitMb ||
        gbOptions->seHistoryLimit->value() != MeasurementHistory::kDefaultLimitMb)
        s.historyLimitMb = gbOptions->seHistoryLimit->value();
    s.spectrumStep = m_readSettings.spectrumStep;
    s.spectrumFmax = m_readSettings.spectrumFmax;
    s.spectrumType = m_readSettings.spectrumType;
    if (m_spectrumWindow) {
        const SpectrumSettings spectrum = m_spectrumWindow->settings();
        s.spectrumStep = spectrum.step;
        s.spectrumFmax = spectrum.fmax;
        s.spectrumType = spectrum.spectrumType;
    }
    s.series = m_readSettings.series;
    SeriesPlan series = m_series->plan();
    const SeriesPlan read = m_readSettings.series.value_or(SeriesPlan());
    // The settings file holds Windows-1251 text: a folder it cannot name stays as it was.
    if (cp1251ToUtf8(utf8ToCp1251(series.folder)) != series.folder)
        series.folder = read.folder;
    if (s.series || !(series == read))
        s.series = series;
    return s;
}

void TForm1::reportSettingsNotWritten(const std::filesystem::path& file) {
    if (m_settingsFailureReported)
        return;
    m_settingsFailureReported = true;
    operatorMessages().error(
        QString("Unable to write to %1")
            .arg(QDir::toNativeSeparators(QString::fromStdString(file.u8string()))));
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
    // Nothing is asked of an unsaved measurement: it is in the history, with what was typed.
    m_history->closing();
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
    // A series would stop with the program: the operator decides.
    if (!m_closed && m_series->running() &&
        !operatorMessages().question(
            tr("Идёт серия измерений: снято %1. Остановить серию и закрыть программу?")
                .arg(m_series->taken()))) {
        event->ignore();
        return;
    }
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
