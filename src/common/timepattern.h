#pragma once
// The long time of the system's locale as the program writes it into files and onto the
// clipboard: hours, minutes and seconds in the locale's order, without the time zone that
// the toolkit's long format adds on some systems ("15:18:18 UTC").

#include <string>

namespace zarvik {

// `pattern` in Qt's date-time letters with every unquoted time-zone field (a run of 't') taken
// out, together with the blanks, commas and brackets that only set it apart: "HH:mm:ss t" ->
// "HH:mm:ss", "h:mm:ss AP t" -> "h:mm:ss AP", "H:mm:ss (t)" -> "H:mm:ss", "t HH:mm" ->
// "HH:mm". Quoted text stays as it is.
std::string timePatternWithoutZone(const std::string& pattern);

} // namespace zarvik
