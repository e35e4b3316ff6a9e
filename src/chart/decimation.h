#pragma once
// Drawing a long line series at the cost of the pixels it covers rather than of its points.

#include <QLineF>
#include <QVector>

#include <cmath>

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
        constexpr double limit = 1e9;
        return std::floor(std::fmin(std::fmax(position(value), -limit), limit) + 0.5);
    }
    double value(double position) const { return (position - offset) / scale; }
};

// The lines are drawn one by one rather than as a polyline: a 1-pixel line with square caps
// then sets the pixels of its own two end points and nothing depends on its neighbours, which
// is what makes the shortened drawing below exact.

// Appends to `out` lines through points first..last of the arrays (x ascending, y finite) that
// set the same pixels as the lines between every two consecutive points: per pixel column one
// vertical line from the lowest to the highest point, and one line from the column's last
// point to the next column's first. The span of points within one column is found by a
// galloping search, so a column of many points costs a scan of their y values only.
void appendDecimated(const double* x, const double* y, int first, int last, const PixelMap& mx,
                     const PixelMap& my, QVector<QLineF>& out);

// Appends the lines between every two consecutive points first..last: what the decimated
// drawing stands for, and the drawing of a series whose x values are not in order.
void appendEveryPoint(const double* x, const double* y, int first, int last, const PixelMap& mx,
                      const PixelMap& my, QVector<QLineF>& out);

} // namespace zarvik
