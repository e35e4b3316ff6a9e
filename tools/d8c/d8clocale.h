#pragma once
// What the program takes from the system's locale for an export, found without Qt: the decimal
// separator of numbers and the "short date" + blank + "long time" form of file times. On
// Windows they are the user's regional settings; elsewhere they follow LC_ALL, LC_NUMERIC or
// LC_TIME, and LANG, as the program's own look-up does, with the formats Qt gives the locales
// of a built-in list (other locales read as "C").

#include "files/filetime.h"

#include <string>

namespace zarvik::d8c {

struct LocaleFormats {
    char decimalSeparator = '.';
    std::string shortDate = "d MMM yyyy"; // Qt date-time patterns
    std::string longTime = "HH:mm:ss t";
};

// The built-in formats of a locale name such as "ru_RU.UTF-8" (language, territory; code set
// and modifier ignored): the exact entry, else that of the language; false when neither is
// listed.
bool knownLocaleFormats(const std::string& name, LocaleFormats& out);

// The formats of the system's locale.
LocaleFormats systemLocaleFormats();

// A date-time pattern in Qt's letters: d dd ddd dddd, M MM MMM MMMM, yy yyyy, h hh H HH, m mm,
// s ss, z zzz, AP ap A a, t (the time zone's abbreviation); text in single quotes is copied,
// '' gives a quote, and every other character stands for itself. Names of months and days
// and AM/PM are English, as in the "C" locale.
std::string formatDateTime(const std::string& pattern, const LocalDateTime& t,
                           const std::string& zoneName);

// The local time zone's abbreviation at a MeasuredAt value ("MSK", "CET"), as the system
// names it.
std::string localZoneName(double measuredAt);

} // namespace zarvik::d8c
