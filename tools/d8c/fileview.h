#pragma once
// A data file as the main window shows it right after opening it: every channel of the file
// drawn in the chosen units, time unit and smoothing, with its own calibration and titles, and
// the stretch between two times visible. Export, spectrum and trend take it from here as they
// take the window's view.

#include "common/measurement.h"
#include "files/textexport.h"
#include "view/chartbuild.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zarvik::d8c {

enum class XColumn { Time, Samples, None };

struct ViewOptions {
    std::vector<int> channels; // in ascending order; empty: every channel of the file
    std::optional<double> fromMs;
    std::optional<double> toMs;
    bool physical = true;         // values (code - Shift) * Scale, or converter codes
    XColumn x = XColumn::Time;    // X axis by time or by sample; None: no X column
    int timeUnit = 0;             // 0 µs, 1 ms, 2 s
    std::optional<int> smoothing; // points of the running average, 2..512
};

// A file that cannot be shown the way the options ask (a channel it does not hold).
class ViewError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FileView {
    TMeasurement m;
    ChartBuildOutput points;
    ChartAxisTitles titles;
    std::vector<int> channels; // the shown channels
    int visibleFirst = -1;     // -1, -1: no point lies between the two times
    int visibleLast = -1;
};

// `fileName` as the program names an opened file: absolute, with the system's separators.
std::string programFileName(const std::string& fileName);

// Opens and draws the file. Throws FileError (from the load) or ViewError.
FileView openFileView(const std::string& fileName, const ViewOptions& options);

// The points whose time (ms) lies within [fromMs, toMs] among `count` points of one channel
// sampled every `samplePeriodUs`: the first and the last index, or -1, -1.
std::pair<int, int> pointsBetween(std::size_t count, double samplePeriodUs,
                                  std::optional<double> fromMs, std::optional<double> toMs);

// The export's view of it; the X values are kept in `xs`.
ExportView exportViewOf(const FileView& view, const ViewOptions& options, std::vector<double>& xs);

} // namespace zarvik::d8c
