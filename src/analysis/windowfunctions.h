#pragma once
// The window functions of the spectrum: sums of cosines over the points that enter a
// transform, with the figures an analyst corrects by and compares by.

#include <optional>
#include <string>
#include <vector>

namespace zarvik {

enum class WindowFunction { Rect, Hann, Hamming, Blackman, Flattop };

// Every window, in the order the spectrum window lists them.
constexpr WindowFunction kWindowFunctions[] = {WindowFunction::Rect, WindowFunction::Hann,
                                               WindowFunction::Hamming, WindowFunction::Blackman,
                                               WindowFunction::Flattop};

// The name in listings, in the settings file and on the command line: "rect", "hann",
// "hamming", "blackman" or "flattop".
const char* windowName(WindowFunction window);
std::optional<WindowFunction> windowFromName(const std::string& name);

// The n factors of the periodic form, point i at x = i / n: a0 - a1 cos 2 pi x + a2 cos 4 pi x
// - a3 cos 6 pi x + a4 cos 8 pi x with the window's coefficients.
std::vector<double> windowValues(WindowFunction window, int n);

struct WindowFigures {
    double coherentGain = 1.0;       // the mean of the factors
    double noiseBandwidthBins = 1.0; // n * sum of squares / square of the sum
};

// The figures of a window's factors; a window without factors has those of "rect".
WindowFigures windowFigures(const std::vector<double>& values);

} // namespace zarvik
