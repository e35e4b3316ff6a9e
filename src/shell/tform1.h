#pragma once
// The main window: its regions, tool bars, floating panels, start-up and shut-down, the
// layout rule and the one-click maximise/restore. The parts of the program hang their
// behaviour on the controls placed here.

#include "common/measurement.h"
#include "shell/optionspanel.h"
#include "shell/settings.h"
#include "view/chartpanel.h"
#include "view/ftpanel.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QStatusBar;
class QToolButton;
class QGroupBox;
class QFrame;

namespace zarvik {

class AnalysisActions;
class Chart;
class ChartView;
class LinkSupervisor;
class MeasurementCycle;
class MeasurementSeries;
class ClipboardPrint;
class CommentBrowser;
class CursorTable;
class DataFileHandlers;
class FolderWalk;
class HelpViewer;
class LinkView;
class References;
class HistoryWindow;
class MeasurementHistory;
class SamplingPanel;
class StartModeButton;
class ZeroLevels;
class TForm2;

// Where "Zarvik.ini" and "scales.scl" are kept for the settings folder `appPath` (empty: the
// executable's folder); the program reads its language there before the first window.
FilePlaces programFilePlaces(const QString& appPath);

// The spectrum window's settings kept in "Zarvik.ini" where `places` says: read into the window
// now, written whenever it closes; `notWritten` hears of a file that could not be written.
void keepSpectrumSettings(TForm2& window, const FilePlaces& places,
                          std::function<void(const std::filesystem::path&)> notWritten = {});

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // `appPath` is the folder of the settings and calibration files, with its trailing
    // separator; empty means the folder of the executable.
    explicit TForm1(const QString& appPath = QString(), QWidget* parent = nullptr);
    ~TForm1() override;

    // Window bounds as the settings file and the layout rule count them: the outer size,
    // title bar and borders included.
    int windowHeight() const;
    int windowWidth() const;
    void setWindowBounds(int height, int width, int left, int top);

    // The desktop the maximise/restore click works against; tests may fix it.
    void setDesktop(const QRect& workArea, int screenWidth);

    QString statusText(int panel) const;
    void setStatusText(int panel, const QString& text);
    StatusPanel* statusPanel(int panel) const { return m_statusPanels.at(panel); }

    // Handlers of the window's own controls and life events.
    void FormClick();
    void FormResize();
    void btOptionsClick();
    void btChartClick();
    void btChooseFClick();
    void gbOptionsClick();
    void cbLanguageChange();
    void CalcUseChnl();
    // Shows the history of measurements, or hides it when it is shown.
    void btHistoryClick();

    // State of the window itself.
    QString AppPath;
    // Where "Zarvik.ini" and "scales.scl" are read and written: beside the program, or in the
    // user's configuration folder when the program's folder cannot be written.
    FilePlaces Places;
    const std::uint16_t ChartHeightMargin = 169;
    const std::uint16_t ChartWidthMargin = 22;
    struct Bounds {
        std::uint16_t height = 0;
        std::uint16_t width = 0;
        std::int32_t left = 0;
        std::int32_t top = 0;
    } NormalBounds;
    std::array<std::uint8_t, 9> BlockCode{}; // [1..8]: (8 - B) * 32

    TMeasurement Measurement;

    // Regions.
    QWidget* Header = nullptr;
    QWidget* ctlBar = nullptr;
    QFrame* tbFile = nullptr;
    QFrame* tbMCctl = nullptr;
    QFrame* tbOptions = nullptr;
    QToolButton* btSave = nullptr;
    QToolButton* btLoadFile = nullptr;
    QToolButton* btCopy = nullptr;
    QToolButton* btShowCmnt = nullptr;
    QToolButton* btPrevFile = nullptr;
    QToolButton* btNextFile = nullptr;
    QToolButton* btPrint = nullptr;
    QToolButton* btHistory = nullptr;
    QToolButton* btUSB = nullptr;
    QToolButton* btStartMode = nullptr;
    QToolButton* btChooseF = nullptr;
    QToolButton* btStartPlus = nullptr;
    QToolButton* btSpectrGo = nullptr;
    QToolButton* btTrend = nullptr;
    QToolButton* btChart = nullptr;
    QToolButton* btOptions = nullptr;
    QToolButton* btRead = nullptr;
    QToolButton* btBoot = nullptr;
    QGroupBox* gbFile = nullptr;
    QPlainTextEdit* mComment = nullptr;
    QPlainTextEdit* mClipBoard = nullptr;
    Chart* Chart1 = nullptr;
    QGroupBox* gbAllCmnt = nullptr;
    QWidget* pSearch = nullptr;
    QPlainTextEdit* MAllCmnt = nullptr;
    QFrame* pnlChart = nullptr;
    QProgressBar* progressBar = nullptr;
    QLabel* lbAll = nullptr;
    QLabel* lbElapsedVal = nullptr;
    QLabel* lbRestVal = nullptr;
    QLabel* lbPercent = nullptr;
    QLabel* lbRestPercent = nullptr;
    QToolButton* btSaveChart = nullptr;
    QStatusBar* status = nullptr;
    FTPanel* gbFT = nullptr;
    OptionsPanel* gbOptions = nullptr;
    ChartPanel* gbChart = nullptr;

    // Channel tables, index = channel number 1..8.
    std::array<QCheckBox*, 9> cbCh{};
    std::array<ColorPanel*, 9> pColorCh{};

    // The parts of the program that live on this window.
    ChartView* chartView() const { return m_chartView; }
    CursorTable* cursorTable() const { return m_cursorTable; }
    References* references() const { return m_references; }
    SamplingPanel* samplingPanel() const { return m_sampling; }
    StartModeButton* startMode() const { return m_startMode; }
    ZeroLevels* zeroLevels() const { return m_zeroLevels; }
    LinkSupervisor* link() const { return m_link; }
    MeasurementCycle* cycle() const { return m_cycle; }
    MeasurementSeries* series() const { return m_series; }
    LinkView* linkView() const { return m_linkView; }
    DataFileHandlers* dataFiles() const { return m_dataFiles; }
    FolderWalk* folderWalk() const { return m_folderWalk; }
    CommentBrowser* commentBrowser() const { return m_commentBrowser; }
    ClipboardPrint* clipboardPrint() const { return m_clipboardPrint; }
    AnalysisActions* analysis() const { return m_analysis; }
    MeasurementHistory* history() const { return m_history; }
    HistoryWindow* historyWindow() const { return m_historyWindow; }

    // The spectrum window, made by the program entry after this window: its commands run from
    // this window's tool bar, it closes with this window, and its analysis options are kept
    // in this window's settings.
    void setSpectrumWindow(TForm2* window);
    TForm2* spectrumWindow() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The regions and the layout rule (regions.cpp).
    void buildRegions();
    // `otherCaptions` are those the button shows in other states: it is wide enough for each,
    // so that a changed caption never shifts the tool bars.
    QToolButton* addButton(QFrame* bar, const QString& name, const QString& caption,
                           const QString& hint, int helpContext,
                           const QStringList& otherCaptions = {});
    void placeHeaderCaption(QWidget* toolBar);
    void FormCreate();
    void FormShow();
    void FormClose();
    // The wiring of each part, in a file of its own: the chart view with its cursors and
    // references, the sampling panel, the start-mode button and the zero-level group
    // (viewwiring.cpp); the link supervision and the
    // measurement cycle (devicewiring.cpp); the data-file parts (fileswiring.cpp).
    void createChartView();
    void createSamplingParts();
    void createLinkSupervisor();
    void createMeasurementCycle();
    void createSeries();
    void createFileParts();
    // The history of measurements, its panel, and the calls into it (historywiring.cpp).
    void createHistory(const MainSettings& s);
    QString historyFolder(const MainSettings& s) const;
    void applySettings(const MainSettings& s);
    MainSettings collectSettings() const;
    void togglePanel(QWidget* panel, QToolButton* button, const QString& caption);
    QRect workArea() const;
    int screenWidth() const;
    // Opens the help at "Idh_Page" or "Idh_Page#anchor".
    void showHelp(const QString& topic);
    // Where F1 on each control of the window opens the help (helptopics.cpp).
    void setHelpTopics();
    // Both windows write the settings file as the program closes, and the spectrum window
    // again at every close of its own: the operator is told once.
    void reportSettingsNotWritten(const std::filesystem::path& file);

    std::array<QLabel*, 3> m_headerCaptions{}; // over tbFile, tbMCctl, tbOptions
    std::array<StatusPanel*, 3> m_statusPanels{};
    std::optional<QRect> m_workArea;
    int m_screenWidth = 0;
    bool m_shown = false;
    bool m_closed = false;
    bool m_settingsFailureReported = false;
    bool m_languageChosen = false; // the operator chose in the language list
    HelpViewer* m_help = nullptr;
    ChartView* m_chartView = nullptr;
    CursorTable* m_cursorTable = nullptr;
    References* m_references = nullptr;
    SamplingPanel* m_sampling = nullptr;
    StartModeButton* m_startMode = nullptr;
    ZeroLevels* m_zeroLevels = nullptr;
    MainSettings m_readSettings; // as read at start
    LinkSupervisor* m_link = nullptr;
    MeasurementCycle* m_cycle = nullptr;
    MeasurementSeries* m_series = nullptr;
    LinkView* m_linkView = nullptr;
    DataFileHandlers* m_dataFiles = nullptr;
    FolderWalk* m_folderWalk = nullptr;
    CommentBrowser* m_commentBrowser = nullptr;
    ClipboardPrint* m_clipboardPrint = nullptr;
    QPointer<TForm2> m_spectrumWindow;
    AnalysisActions* m_analysis = nullptr;
    MeasurementHistory* m_history = nullptr;
    HistoryWindow* m_historyWindow = nullptr;
    bool m_historyPlaced = false; // the panel was shown at its first place
};

} // namespace zarvik
