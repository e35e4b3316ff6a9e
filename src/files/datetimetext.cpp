#include "files/datetimetext.h"

#include "files/filetime.h"
#include "ui/systemlocale.h"

namespace zarvik {

QDateTime dateTimeOf(double measuredAt) {
    const LocalDateTime t = decodeMeasuredAt(measuredAt);
    return QDateTime(QDate(t.year, t.month, t.day),
                     QTime(t.hour, t.minute, t.second, t.millisecond));
}

QString measuredAtText(double measuredAt) {
    return localeDateTimeText(dateTimeOf(measuredAt));
}

} // namespace zarvik
