#pragma once
// The exponential trend of the visible stretch of one channel: a least-squares line through
// the natural logarithm of the absolute deviation from the mean, against time in
// milliseconds. Its slope is the growth (positive) or decay (negative) rate per millisecond.
// Everything the trend chart draws and the clipboard receives, computed without a window.

#include <optional>
#include <string>
#include <vector>

namespace zarvik {

struct TrendRequest {
    int visibleFirst = 0; // first and last visible point of the main chart
    int visibleLast = -1;
    int step = 1;                // seStep: every step-th point from the first is used
    double samplePeriodUs = 0.0; // one channel's sampling period
    int channel = 1;             // analysed channel, 1..8
    std::string fileName;        // the file last chosen in the open dialog, or empty
    char decimalSeparator = '.';
};

// One point of the logarithm chart: x the point index, y = ln|deviation|, label the point's
// time in whole milliseconds.
struct TrendPoint {
    int x = 0;
    double y = 0.0;
    std::string label;
};

struct TrendResult {
    std::vector<TrendPoint> points; // the used points whose deviation has a logarithm
    double slope = 0.0;             // a, per millisecond
    double intercept = 0.0;         // b: the line is a * t + b, t in ms
    // False when fewer than two points have a logarithm: the slope is then 0 and the line
    // runs level through the one point there is (or at 0 when there is none).
    bool fitted = false;
    // The drawn line, from the first to the last visible point (x point index, y value).
    double lineFirstX = 0.0, lineFirstY = 0.0;
    double lineLastX = 0.0, lineLastY = 0.0;
    std::string labelText;     // "a*x+b" with six decimals
    std::string clipboardLine; // a, b, first and last time in ms, channel and file, tabbed
};

// Fits the trend of `series` (the channel's values as drawn, indexed by point) over the
// visible stretch, cut to the series. A point whose value equals the mean takes the
// deviation of the used point one step before it, read only when that point lies inside the
// series; a point whose deviation still has no logarithm (zero, or not a finite number) is
// left out of the chart and the fit, which keep every other point at its own time. Returns nothing
// when there is nothing to fit: an empty or inverted stretch, a step below 1, or a sampling period
// that is not a positive number.
std::optional<TrendResult> fitTrend(const std::vector<double>& series, const TrendRequest& request);

} // namespace zarvik
