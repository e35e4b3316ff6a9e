#include "chart/ticks.h"

#include <cmath>

namespace zarvik {

namespace {

// More marks than this on one axis would only be a smear; a step that small is a fault of
// the caller, not a wish.
constexpr int maxTicks = 1000;

} // namespace

double niceStep(double least) {
    if (!(least > 0.0) || !std::isfinite(least))
        return 1.0;
    double power = std::pow(10.0, std::floor(std::log10(least)));
    // log10 may land a hair below an exact power of ten.
    if (power * 10.0 <= least)
        power *= 10.0;
    for (const double factor : {1.0, 2.0, 5.0}) {
        // The tolerance keeps 0.30000000000000004 from becoming 0.5.
        if (factor * power >= least * (1.0 - 1e-12))
            return factor * power;
    }
    return 10.0 * power;
}

QVector<double> tickValues(double minimum, double maximum, double step) {
    QVector<double> ticks;
    if (!(step > 0.0) || !std::isfinite(minimum) || !std::isfinite(maximum) || maximum < minimum)
        return ticks;
    if ((maximum - minimum) / step > maxTicks)
        return ticks;
    const double tolerance = step * 1e-9;
    for (double k = std::ceil((minimum - tolerance) / step);; ++k) {
        double value = k * step;
        if (value > maximum + tolerance)
            break;
        if (std::abs(value) < tolerance)
            value = 0.0;
        ticks.append(value);
    }
    return ticks;
}

QString tickText(double value, double step, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const double magnitude = std::abs(value);
    if (magnitude >= 1e15 || step < 1e-9)
        return plain.toString(value, 'g', 6);
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    return plain.toString(value, 'f', decimals);
}

} // namespace zarvik
