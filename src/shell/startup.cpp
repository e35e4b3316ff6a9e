#include "shell/startup.h"

#include "common/inifile.h"
#include "shell/settings.h"
#include "shell/settingskeys.h"
#include "ui/language.h"

namespace zarvik {

namespace {

QString installStoredLanguage() {
    const MainSettings stored =
        readMainSettings(IniFile(programFilePlaces({}).forReading(ini::kFileName)));
    return installInterfaceLanguage(stored.language.value_or(std::string()));
}

} // namespace

ProgramWindows::ProgramWindows() : language(installStoredLanguage()) {
    form.setSpectrumWindow(&spectrum);
}

} // namespace zarvik
