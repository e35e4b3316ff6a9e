#include "analysis/trend.h"

#include "analysis/spectrum.h"
#include "common/numtext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zarvik {

std::optional<TrendResult> fitTrend(const std::vector<double>& series,
                                    const TrendRequest& request) {
    const double T = request.samplePeriodUs;
    const int s = request.step;
    if (s < 1 || !std::isfinite(T) || T <= 0.0)
        return std::nullopt;
    const auto size = static_cast<std::int64_t>(series.size());
    const std::int64_t first = request.visibleFirst;
    const std::int64_t last = std::min<std::int64_t>(request.visibleLast, size - 1);
    if (first < 0 || first > last)
        return std::nullopt;
    const auto value = [&series](std::int64_t c) { return series[static_cast<std::size_t>(c)]; };

    // Summed as deviations from the first point: the same mean, exactly the common value of
    // a flat stretch, so that its deviations are zero rather than rounding noise.
    const double origin = value(first);
    double sum = 0.0;
    std::int64_t K = 0;
    for (std::int64_t c = first; c <= last; c += s, ++K)
        sum += value(c) - origin;
    const double mean = origin + sum / static_cast<double>(K);

    const char sep = request.decimalSeparator;
    const double periodMs = T / 1000.0;
    TrendResult out;
    // Each fitted point is numbered by its place among the used points, so that a point left
    // out does not shift the times of those after it.
    std::vector<double> place;
    for (std::int64_t c = first; c <= last; c += s) {
        double d = value(c) - mean;
        if (d == 0.0 && c - s >= 0)
            d = value(c - s) - mean;
        const double y = std::log(std::fabs(d));
        if (!std::isfinite(y))
            continue;
        out.points.push_back(
            {static_cast<int>(c), y, formatFixed(static_cast<double>(c) * T / 1000.0, 0, sep)});
        place.push_back(static_cast<double>((c - first) / s));
    }

    const auto fitted = static_cast<double>(out.points.size());
    double meanX = 0.0, meanY = 0.0;
    for (std::size_t i = 0; i < out.points.size(); ++i) {
        meanX += place[i];
        meanY += out.points[i].y;
    }
    if (!out.points.empty()) {
        meanX /= fitted;
        meanY /= fitted;
    }
    double sxy = 0.0, sxx = 0.0;
    for (std::size_t i = 0; i < out.points.size(); ++i) {
        sxy += (out.points[i].y - meanY) * (place[i] - meanX);
        sxx += (place[i] - meanX) * (place[i] - meanX);
    }
    out.fitted = out.points.size() >= 2;
    const double a = out.fitted ? sxy / sxx / periodMs / s : 0.0;
    // The mean place counts used points, s sample indices apart: the line passes through the
    // centroid of the fitted points at its own time.
    const auto x0 = static_cast<double>(first);
    const double b = meanY - (x0 + s * meanX) * a * periodMs;
    out.slope = a;
    out.intercept = b;

    out.lineFirstX = x0;
    out.lineFirstY = x0 * a * T / 1000.0 + b;
    out.lineLastX = static_cast<double>(last);
    out.lineLastY = (x0 + static_cast<double>(last - first)) * a * T / 1000.0 + b;

    out.labelText = formatFixed(a, 6, sep) + "*x+" + formatFixed(b, 6, sep);
    out.clipboardLine = formatGeneral(a, sep) + '\t' + formatGeneral(b, sep) + '\t' +
                        formatGeneral(x0 * T / 1000.0, sep) + '\t' +
                        formatGeneral(static_cast<double>(last) * T / 1000.0, sep) + '\t' +
                        channelColumn(request.channel) + ", " + request.fileName;
    return out;
}

} // namespace zarvik
