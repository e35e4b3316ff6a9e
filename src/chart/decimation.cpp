#include "chart/decimation.h"

#include <algorithm>
#include <cmath>

namespace zarvik {

namespace {

// The last index in start..last whose point falls into the pixel column `column`, the point
// at `start` being known to fall there. The search first tries where the column would end if it
// held `guess` points, the count of the column before: with evenly spaced points that settles
// it in two probes. Otherwise it gallops on from there or searches back.
template <typename X>
int columnEnd(const X& x, int start, int last, const PixelMap& mx, double column, int guess) {
    const auto inColumn = [&](int i) { return mx.snapped(x(i)) == column; };
    int inside = start;
    int outside = last + 1;
    const int expected = std::min(start + std::max(guess, 1) - 1, last);
    if (inColumn(expected)) {
        inside = expected;
        if (inside == last || !inColumn(inside + 1))
            return inside;
        for (int step = 1; inside + step <= last; step *= 2) {
            if (!inColumn(inside + step)) {
                outside = inside + step;
                break;
            }
            inside += step;
        }
    } else {
        outside = expected;
    }
    while (outside - inside > 1) {
        const int mid = inside + (outside - inside) / 2;
        if (inColumn(mid))
            inside = mid;
        else
            outside = mid;
    }
    return inside;
}

void scan(const double* y, int from, int to, double& low, double& high) {
    for (int k = from; k <= to; ++k) {
        low = y[k] < low ? y[k] : low;
        high = y[k] > high ? y[k] : high;
    }
}

// The row where a step from row `from` to row `to` into the next column leaves the first
// column: halfway, rounded towards `from`.
double halfway(double from, double to) {
    return from + static_cast<double>(static_cast<long long>((to - from) / 2));
}

// A run of pixels in one column, growing as points and steps add to it.
struct Run {
    double column;
    double low;
    double high;

    void include(double row) {
        low = std::min(low, row);
        high = std::max(high, row);
    }
    QLineF line() const { return QLineF(column, low, column, high); }
};

// Joins the end of column run `left` (at row `from`) with the start of run `right` (at row
// `to`): by widening both runs when the columns are neighbours, else by a line.
void join(Run& left, double from, Run& right, double to, QVector<QLineF>& out) {
    if (right.column - left.column > 1) {
        out.append(QLineF(left.column, from, right.column, to));
        return;
    }
    const double middle = halfway(from, to);
    left.include(middle);
    if (to != from)
        right.include(middle + (to > from ? 1 : -1));
}

} // namespace

template <typename X>
void appendDecimated(const X& x, const double* y, const YBlocks& blocks, int first, int last,
                     const PixelMap& mx, const PixelMap& my, QVector<QLineF>& out) {
    // One point alone is no line.
    if (first >= last)
        return;
    constexpr int size = YBlocks::size;
    Run previous{};
    double previousEnd = 0.0;
    int previousCount = 1;
    for (int i = first; i <= last;) {
        const double column = mx.snapped(x(i));
        const int end = columnEnd(x, i, last, mx, column, previousCount);
        previousCount = end - i + 1;
        double low = y[i];
        double high = y[i];
        // Blocks wholly inside i..end stand for their points; the ends are scanned.
        const int firstBlock = i / size + 1;
        const int endBlock = (end + 1) / size;
        if (firstBlock < endBlock) {
            scan(y, i + 1, firstBlock * size - 1, low, high);
            for (int b = firstBlock; b < endBlock; ++b) {
                const double blockLow = blocks.low[static_cast<size_t>(b)];
                const double blockHigh = blocks.high[static_cast<size_t>(b)];
                low = blockLow < low ? blockLow : low;
                high = blockHigh > high ? blockHigh : high;
            }
            scan(y, endBlock * size, end, low, high);
        } else {
            scan(y, i + 1, end, low, high);
        }
        // The map may turn y upside down; the run takes the rows in order.
        Run run{column, my.snapped(low), my.snapped(high)};
        if (run.low > run.high)
            std::swap(run.low, run.high);
        if (i > first) {
            join(previous, previousEnd, run, my.snapped(y[i]), out);
            out.append(previous.line());
        }
        previous = run;
        previousEnd = my.snapped(y[end]);
        i = end + 1;
    }
    out.append(previous.line());
}

template <typename X>
void appendEveryPoint(const X& x, const double* y, int first, int last, const PixelMap& mx,
                      const PixelMap& my, QVector<QLineF>& out) {
    for (int i = first; i < last; ++i) {
        const double x0 = mx.snapped(x(i));
        const double y0 = my.snapped(y[i]);
        const double x1 = mx.snapped(x(i + 1));
        const double y1 = my.snapped(y[i + 1]);
        if (x0 == x1) {
            out.append(QLineF(x0, y0, x1, y1));
            continue;
        }
        // Drawn from left to right, as the decimated drawing meets it.
        const bool forward = x0 < x1;
        Run left{forward ? x0 : x1, forward ? y0 : y1, forward ? y0 : y1};
        Run right{forward ? x1 : x0, forward ? y1 : y0, forward ? y1 : y0};
        const int before = static_cast<int>(out.size());
        join(left, left.low, right, right.low, out);
        if (out.size() == before) {
            out.append(left.line());
            out.append(right.line());
        }
    }
}

void appendDashed(const QVector<QLineF>& lines, int on, int off, QVector<QLineF>& out) {
    const double period = on + off;
    for (const QLineF& line : lines) {
        QPointF a = line.p1();
        QPointF b = line.p2();
        if (b.x() < a.x())
            std::swap(a, b);
        if (a.x() == b.x()) {
            const double column = a.x() - std::floor(a.x() / period) * period;
            if (column < on)
                out.append(line);
            continue;
        }
        const double slope = (b.y() - a.y()) / (b.x() - a.x());
        const auto yAt = [&](double x) { return a.y() + (x - a.x()) * slope; };
        for (double start = std::floor(a.x() / period) * period; start <= b.x(); start += period) {
            const double from = std::max(start, a.x());
            const double to = std::min(start + on - 1, b.x());
            if (from <= to)
                out.append(QLineF(from, yAt(from), to, yAt(to)));
        }
    }
}

template void appendDecimated(const StoredX&, const double*, const YBlocks&, int, int,
                              const PixelMap&, const PixelMap&, QVector<QLineF>&);
template void appendDecimated(const EvenX&, const double*, const YBlocks&, int, int,
                              const PixelMap&, const PixelMap&, QVector<QLineF>&);
template void appendEveryPoint(const StoredX&, const double*, int, int, const PixelMap&,
                               const PixelMap&, QVector<QLineF>&);
template void appendEveryPoint(const EvenX&, const double*, int, int, const PixelMap&,
                               const PixelMap&, QVector<QLineF>&);

} // namespace zarvik
