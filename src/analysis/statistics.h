#pragma once
// The figures of a stretch of one channel: its extremes, level and spread. The cursors table of
// the main window and `d8c stats` compute and write them through these two functions, so that
// both give the same text for the same points.

#include <cstddef>
#include <string>
#include <vector>

namespace zarvik {

struct StretchStatistics {
    std::size_t points = 0;
    double min = 0.0;
    double max = 0.0;
    double peakToPeak = 0.0; // max - min
    double mean = 0.0;
    double rms = 0.0;               // root of the mean square
    double standardDeviation = 0.0; // of the population: divided by the points, not one less
};

// The figures of y[0..n-1]. A stretch holding a value that is not a finite number has no
// figures: all six are not a number. With no points all are 0.
StretchStatistics stretchStatistics(const double* y, std::size_t n);

// points, min, max, p-p, mean, rms and std as text: the points a whole number, the rest in the
// general form (see formatGeneral); with no points the six figures are empty.
std::vector<std::string> statisticsColumns(const StretchStatistics& s, char decimalSeparator);

} // namespace zarvik
