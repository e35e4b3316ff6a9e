#include "shell/startup.h"

#include "common/inifile.h"
#include "shell/language.h"
#include "shell/settings.h"
#include "shell/settingskeys.h"

namespace zarvik {

namespace {

QString installStoredLanguage() {
    const MainSettings stored =
        readMainSettings(IniFile(programFilePlaces({}).forReading(ini::kFileName)));
    return installInterfaceLanguage(stored.language.value_or(std::string()));
}

} // namespace

ProgramWindows::ProgramWindows() : language(installStoredLanguage()), spectrum(form.Places) {
    form.setSpectrumWindow(&spectrum);
}

} // namespace zarvik
