#pragma once
// What the program takes from the system's locale: the decimal separator of numbers written
// as text, and the short date and long time forms.

#include "common/timepattern.h"

#include <QDateTime>
#include <QLocale>
#include <string>

namespace zarvik {

inline char localeDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 0x80 ? static_cast<char>(point[0].unicode())
                                                          : '.';
}

// "short date" + blank + "long time", the form the program writes file times in; the long
// time without the zone Qt adds to it.
inline QString localeDateTimeText(const QDateTime& t) {
    const QLocale l = QLocale::system();
    const std::string longTime = l.timeFormat(QLocale::LongFormat).toStdString();
    return l.toString(t.date(), QLocale::ShortFormat) + ' ' +
           l.toString(t.time(), QString::fromStdString(timePatternWithoutZone(longTime)));
}

} // namespace zarvik
