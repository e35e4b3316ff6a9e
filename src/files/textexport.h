#pragma once
// The text table of a measurement: ".txt" with TAB between the columns, ".csv" with ';'. It
// writes what the chart shows — the channel series as drawn, in the units and with the
// smoothing of the view, over the visible points — after a block of lines on the source, the
// calibration, the axes and the comment. Every line ends with a lone CR; only the comment
// keeps CR LF between its lines. Errors are thrown as FileError (see fileerror.h).

#include "common/measurement.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zarvik {

// The points of one channel series as the chart holds them; the caller keeps them alive.
struct SeriesView {
    const double* x = nullptr;
    const double* y = nullptr;
    std::size_t count = 0;
};

// The state of the window the export is taken from.
struct ExportView {
    std::array<bool, kChannels + 1> checked{};      // cbCh1..cbCh8; index 0 unused
    std::array<SeriesView, kChannels + 1> series{}; // Ch1..Ch8
    std::string leftAxisTitle;                      // UTF-8, as the chart shows them
    std::string bottomAxisTitle;
    int VisibleFirst = -1; // a negative first index is an empty range
    int VisibleLast = -1;
    bool storeX = true;                   // cbStoreX shows "сохранять"
    std::optional<int> integrationPoints; // the value of seInt while cbInt is checked
    bool physical = true; // the series hold (code - Shift) * Scale, not converter codes
};

// The channels whose boxes are checked, ascending: the table's columns.
std::vector<int> exportedChannels(const ExportView& view);

// The point indices the table's rows hold, [first, end): VisibleFirst..VisibleLast cut to the
// points every exported series holds; empty for a negative first index or no channel.
std::pair<std::size_t, std::size_t> exportedPoints(const ExportView& view);

// "short date" + blank + "long time" of a MeasuredAt value in the system's formats (UTF-8).
using DateTimeFormatter = std::function<std::string(double measuredAt)>;

// The first line, UTF-8. For a measurement read from a file it names the file and the file's
// last-write time; when that file is gone the measurement's own MeasuredAt stands in.
std::string exportSourceLine(const TMeasurement& m, double now, const DateTimeFormatter& format);

// The whole export as Windows-1251 bytes. Rows run over VisibleFirst..VisibleLast, cut to the
// points every exported series holds; with no channel box checked there are no columns and no
// rows.
std::string buildTextExport(const TMeasurement& m, const std::vector<std::string>& comment,
                            const ExportView& view, const std::string& sourceLine, char separator,
                            char decimalSeparator);

// Writes the export with `separator` to `fileName` whatever its extension, in place of a file
// of that name only once it is written whole (see replaceFileContents). On success the
// measurement takes the header fields a save fills and SaveFileName, and the file's
// last-write time becomes MeasuredAt.
void writeTextExport(TMeasurement& m, const std::string& fileName, char separator,
                     const std::vector<std::string>& comment, const ExportView& view,
                     char decimalSeparator, double now, const DateTimeFormatter& format);

// The export as the save button writes it: the name's extension (".txt" or ".csv", compared
// exactly) chooses the separator; any other name is refused with FileError UnsupportedExtension
// before anything is touched; otherwise as writeTextExport.
void saveTextExport(TMeasurement& m, const std::string& fileName,
                    const std::vector<std::string>& comment, const ExportView& view,
                    char decimalSeparator, double now, const DateTimeFormatter& format);

} // namespace zarvik
