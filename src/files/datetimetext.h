#pragma once
// A measurement time or a file time as the operator reads it: the system's short date, a
// blank and its long time.

#include <QDateTime>
#include <QString>

namespace zarvik {

// The local date and time of a `MeasuredAt` value (days since 30 December 1899).
QDateTime dateTimeOf(double measuredAt);
QString measuredAtText(double measuredAt);

} // namespace zarvik
