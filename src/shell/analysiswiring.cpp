// The spectrum window beside the main window: its commands on the main window's tool bar, the
// main chart's stretch it analyses, its help, and its settings in "Zarvik.ini".

#include "shell/tform1.h"

#include "analysis/analysisactions.h"
#include "analysis/spectrumwindow.h"
#include "files/datafilehandlers.h"
#include "shell/settingskeys.h"
#include "view/chartview.h"

#include <QToolButton>

namespace zarvik {

void keepSpectrumSettings(TForm2& window, const FilePlaces& places,
                          std::function<void(const std::filesystem::path&)> notWritten) {
    window.applySettings(readSpectrumSettings(IniFile(places.forReading(ini::kFileName))));
    window.saveSettings = [places, notWritten](const SpectrumSettings& s) {
        IniFile ini(places.forWriting(ini::kFileName));
        if (writeSpectrumSettings(ini, s))
            return true;
        if (notWritten)
            notWritten(ini.path());
        return false;
    };
}

TForm2* TForm1::spectrumWindow() const {
    return m_spectrumWindow;
}

void TForm1::setSpectrumWindow(TForm2* window) {
    m_spectrumWindow = window;
    keepSpectrumSettings(*window, Places,
                         [form = QPointer<TForm1>(this)](const std::filesystem::path& file) {
                             if (form)
                                 form->reportSettingsNotWritten(file);
                         });
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

} // namespace zarvik
