#pragma once
// Where an axis puts its marks and what it writes there.

#include <QLocale>
#include <QString>
#include <QVector>

namespace zarvik {

// The smallest step of the form 1, 2 or 5 times a power of ten that is not below `least`
// (`least` > 0): the steps people read at a glance.
double niceStep(double least);

// The multiples of `step` within minimum..maximum, in ascending order. A value that lies within
// rounding of zero is written as exactly zero, so that it is not labelled "-0".
QVector<double> tickValues(double minimum, double maximum, double step);

// `value` written with as many decimals as `step` needs (no more), in the given locale without
// group separators; far out of the everyday range in the exponent form.
QString tickText(double value, double step, const QLocale& locale);

} // namespace zarvik
