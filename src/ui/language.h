#pragma once
// The language the operator reads: Russian, the program's own, or English. It is decided once
// at start, from the "Language" setting or else from the system's languages, before the first
// window is made; a change of the setting takes effect at the next start.

#include "common/uitext.h"

#include <QString>
#include <QStringList>
#include <string>

class QTranslator;

namespace zarvik {

// The settings' values: "ru", "en", or empty for the system's language.
inline constexpr char kLanguageRussian[] = "ru";
inline constexpr char kLanguageEnglish[] = "en";

// The language a stored value names, "ru" or "en", in any letter case and with blanks around;
// empty for the system's language and for anything else.
std::string languageSetting(const std::string& stored);

// "ru" or "en": the language of the interface since installInterfaceLanguage(); "ru" before.
QString interfaceLanguage();

// The choice for a stored setting and the system's languages in order of preference. A setting
// that names one of ours wins, whatever its letter case. Otherwise the first system language that
// is Russian, Ukrainian, Belarusian or Kazakh gives Russian and the first that is English gives
// English; a system of some other language gets English, and one that names none (C, POSIX)
// Russian.
QString chooseInterfaceLanguage(const std::string& setting, const QStringList& uiLanguages);

// Loads what makes the interface speak `language`: the program's English translation (Qt
// speaks English itself), or Qt's Russian one (the program's own texts are Russian). False
// when it cannot be loaded.
bool loadInterfaceTranslation(QTranslator& translator, const QString& language);

// Installs the translation for the language chosen from the setting and the system, and
// remembers the language. Returns it.
QString installInterfaceLanguage(const std::string& setting);

// A text of the plain layers in the interface's language, filled in.
QString translated(const UiText& text);

} // namespace zarvik
