#include "chart/decimation.h"

namespace zarvik {

namespace {

// The last index in start..last whose point falls into the pixel column `column`, the point
// at `start` being known to fall there.
int columnEnd(const double* x, int start, int last, const PixelMap& mx, double column) {
    int inside = start;
    int step = 1;
    int probe = start + 1;
    while (probe <= last && mx.snapped(x[probe]) == column) {
        inside = probe;
        step *= 2;
        probe = inside + step;
    }
    int outside = probe <= last ? probe : last + 1;
    while (outside - inside > 1) {
        const int mid = inside + (outside - inside) / 2;
        if (mx.snapped(x[mid]) == column)
            inside = mid;
        else
            outside = mid;
    }
    return inside;
}

} // namespace

void appendDecimated(const double* x, const double* y, int first, int last, const PixelMap& mx,
                     const PixelMap& my, QVector<QLineF>& out) {
    QPointF previousEnd;
    for (int i = first; i <= last;) {
        const double column = mx.snapped(x[i]);
        const int end = columnEnd(x, i, last, mx, column);
        double low = y[i];
        double high = y[i];
        for (int k = i + 1; k <= end; ++k) {
            low = std::fmin(low, y[k]);
            high = std::fmax(high, y[k]);
        }
        const QPointF start(column, my.snapped(y[i]));
        if (i > first)
            out.append(QLineF(previousEnd, start));
        const double lowPixel = my.snapped(low);
        const double highPixel = my.snapped(high);
        if (lowPixel != highPixel)
            out.append(QLineF(column, lowPixel, column, highPixel));
        previousEnd = QPointF(column, my.snapped(y[end]));
        i = end + 1;
    }
}

void appendEveryPoint(const double* x, const double* y, int first, int last, const PixelMap& mx,
                      const PixelMap& my, QVector<QLineF>& out) {
    for (int i = first; i < last; ++i)
        out.append(
            QLineF(mx.snapped(x[i]), my.snapped(y[i]), mx.snapped(x[i + 1]), my.snapped(y[i + 1])));
}

} // namespace zarvik
