#include "analysis/spectrumwindow.h"
#include "common/inifile.h"
#include "shell/language.h"
#include "shell/settingskeys.h"
#include "shell/tform1.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Zarvik");
    // The windows make their captions as they are built: the language comes first.
    const zarvik::MainSettings stored = zarvik::readMainSettings(
        zarvik::IniFile(zarvik::programFilePlaces({}).forReading(zarvik::ini::kFileName)));
    zarvik::installInterfaceLanguage(stored.language.value_or(std::string()));
    zarvik::TForm1 form;
    // Hidden until the first spectrum or trend command.
    zarvik::TForm2 spectrum(form.Places);
    form.setSpectrumWindow(&spectrum);
    form.show();
    return QApplication::exec();
}
