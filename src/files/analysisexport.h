#pragma once
// The view the text table writes, as arrays for analysis tools: the same points of the same
// channels in the same order, with the calibration, the titles and the comment beside them.
// HDF5 and MATLAB files are written by their libraries (libraryexport.h, a library of its own
// that builds without those libraries leave out); a NumPy array and a WAV sound are a fixed
// header in front of the numbers and are written here. Errors are thrown as FileError.

#include "common/measurement.h"
#include "files/saveformat.h"
#include "files/textexport.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zarvik {

struct AnalysisData {
    std::vector<int> channels; // the shown channels, ascending
    std::size_t points = 0;
    // points x channels, row by row (one row per point, a column per channel).
    std::vector<std::uint16_t> codes; // the converter's codes of those points, never smoothed
    std::vector<double> values;       // the numbers of the text table, at full precision
    std::vector<double> time;         // per point: seconds from the measurement's first sample
    double samplePeriodUs = 0.0;
    std::vector<double> scale; // per shown channel
    std::vector<double> shift;
    std::string units;  // "adc" or "physical"
    int smoothing = 1;  // points of the running average; 1 when the view does not smooth
    std::string xTitle; // UTF-8, the axis titles of the table
    std::string yTitle;
    std::string comment;    // the comment's lines joined by "\n"
    std::string measuredAt; // ISO 8601 local time; empty when the measurement has no time
    std::string source;     // the data file read; empty for a measurement taken in this run
};

AnalysisData analysisData(const TMeasurement& m, const std::vector<std::string>& comment,
                          const ExportView& view);

// "yyyy-MM-ddTHH:mm:ss" of a MeasuredAt value; empty for the empty value 0.
std::string isoLocalTime(double measuredAt);

// The sound's sample rate, round(1000000 / SamplePeriodUs) Hz, when a WAV file of `channels`
// 16-bit channels can hold it.
std::optional<std::uint32_t> wavSampleRate(double samplePeriodUs, std::size_t channels);

// `values` as a NumPy array: little-endian float64, C order, points x channels.
void writeNpyFile(const AnalysisData& d, const std::string& fileName);
// 16-bit PCM, a sound channel per shown channel, each sample (code - 2048) x 16. Refused
// (FileError FormatRefused) without a channel or a sample rate it can hold.
void writeWavFile(const AnalysisData& d, const std::string& fileName);

using AnalysisWriter = void (*)(const AnalysisData& d, const std::string& fileName);

// The writer of the formats written here (NumPy, WAV); none for the others.
AnalysisWriter coreAnalysisWriter(SaveFormat format);

// Writes the view with `write`, in place of a file of that name only once it is whole. On
// success the measurement takes the header fields a save fills and SaveFileName, and the
// file's last-write time becomes MeasuredAt, as for the text table.
void writeAnalysisExport(TMeasurement& m, const std::string& fileName,
                         const std::vector<std::string>& comment, const ExportView& view,
                         AnalysisWriter write);

} // namespace zarvik
