#pragma once
// Drawing a long line series at the cost of the pixels it covers rather than of its points.

#include <QLineF>
#include <QVector>

#include <vector>

namespace zarvik {

// A linear map of axis values to device positions. Points are snapped to whole device
// coordinates, which the aliased rasteriser treats as pixel centres, so that a line between
// two points of one pixel column is exactly vertical and covers the same pixels whatever its
// direction.
struct PixelMap {
    double scale = 1.0;
    double offset = 0.0;

    double position(double value) const { return value * scale + offset; }
    double snapped(double value) const {
        // Far-off points are pulled in to where the rasteriser still works in exact numbers;
        // the lines to them leave the plot at a slope that differs by far less than a pixel.
        // A point with no position (an x or y that is not a number) goes with the far left or
        // top ones, where the processor's own conversion used to put it.
        constexpr double limit = 1e9;
        double p = position(value) + 0.5;
        p = !(p >= -limit) ? -limit : (p > limit ? limit : p);
        // floor() by hand: this runs for every point drawn, and the library call is not cheap.
        const auto whole = static_cast<long long>(p);
        return static_cast<double>(whole > p ? whole - 1 : whole);
    }
    double value(double position) const { return (position - offset) / scale; }
};

// Points evenly spaced along x: point i lies at (i + first) * step / divisor, worked out as
// written whenever it is needed, so that a series of such points keeps no x values and each x is
// the very number a caller computing and storing it would have had.
struct EvenX {
    int first = 0;
    double step = 1.0;
    double divisor = 1.0;

    double operator()(int i) const {
        return static_cast<double>(static_cast<long long>(i) + first) * step / divisor;
    }
};

// x values kept in an array.
struct StoredX {
    const double* x;

    double operator()(int i) const { return x[i]; }
};

// The lowest and the highest y of each run of `size` consecutive points, kept up to date as
// points are appended, so that a pixel column of many points is summed up without visiting
// each of them.
struct YBlocks {
    static constexpr int size = 16;
    std::vector<double> low;
    std::vector<double> high;

    // `index` is the index of the point, appended in order.
    void note(size_t index, double y) {
        if (index % size == 0) {
            low.push_back(y);
            high.push_back(y);
        } else {
            low.back() = y < low.back() ? y : low.back();
            high.back() = y > high.back() ? y : high.back();
        }
    }
    void clear() {
        low.clear();
        high.clear();
    }
};

// How a line between consecutive points is drawn. Points one pixel column apart or in the same
// column are joined by vertical runs of pixels: a step from row a to row b into the next column
// fills the first column from a halfway towards b and the second from there on to b, as a
// steep line looks. Points further apart are joined by the rasteriser's own line. Either way
// a column of the picture is one unbroken run of pixels, which is what lets the shortened
// drawing below give the very same picture with one line per column. All lines are 1-pixel
// lines with square caps, so each sets exactly the pixels between its two ends.

// Both drawings take the x values as StoredX or EvenX.

// Appends to `out` the lines that draw points first..last (x ascending, y finite) as the lines
// between every two consecutive points would: per pixel column one vertical run from the lowest to
// the highest pixel that the points in it and the steps to their neighbours cover, plus the
// rasteriser's line across a gap of columns. The span of points within one column is found by a
// search that starts from the previous column's count and summed up from `blocks` (those of y), so
// that a repaint costs about the same for any number of points beyond one per pixel column.
template <typename X>
void appendDecimated(const X& x, const double* y, const YBlocks& blocks, int first, int last,
                     const PixelMap& mx, const PixelMap& my, QVector<QLineF>& out);

// Appends the lines between every two consecutive points first..last, each drawn by itself as
// described above: what the decimated drawing stands for, and the drawing of a series whose x
// values are not in order.
template <typename X>
void appendEveryPoint(const X& x, const double* y, int first, int last, const PixelMap& mx,
                      const PixelMap& my, QVector<QLineF>& out);

// Appends to `out` the parts of `lines` (drawn as above, ends on whole device coordinates) that
// lie in the "on" columns of a dash pattern: `on` columns drawn, `off` left out, counted from
// device column 0. A line across columns is cut at the gaps; a vertical one is kept or left out
// whole. The pattern follows the columns rather than each line's length, so a line drawn as one
// run per column is dashed like one drawn point to point.
void appendDashed(const QVector<QLineF>& lines, int on, int off, QVector<QLineF>& out);

} // namespace zarvik
