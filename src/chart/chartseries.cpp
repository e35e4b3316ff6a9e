#include "chart/chartseries.h"

#include "chart/chart.h"
#include "chart/decimation.h"
#include "common/widevectors.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zarvik {

namespace {

QPen linePen(const QColor& color, int width) {
    QPen pen(color, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    return pen;
}

// Stores `value` at index `i` of a store that takes room only from the first value given:
// the earlier points get the empty value.
template <typename T> void storeSparse(std::vector<T>& store, size_t i, const T& value) {
    if (store.empty() && value == T())
        return;
    if (store.size() < i + 1)
        store.resize(i + 1);
    store[i] = value;
}

template <typename T> T readSparse(const std::vector<T>& store, int i) {
    const auto index = static_cast<size_t>(i);
    return index < store.size() ? store[index] : T();
}

// The first of n points (x ascending) whose x is not below `value`, as std::lower_bound.
template <typename X> int lowerIndex(const X& x, int n, double value) {
    int low = 0;
    int high = n;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (x(mid) < value)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// The first of n points (x ascending) whose x is above `value`, as std::upper_bound.
template <typename X> int upperIndex(const X& x, int n, double value) {
    int low = 0;
    int high = n;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (value < x(mid))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

#define ZARVIK_LOOPS "chart/summarysteps.h"
#include "common/twobuilds.h"

void summariseBlocks(const double* y, size_t blocks, double* lows, double* highs, double& sum,
                     double& low, double& high) {
#if ZARVIK_WIDE_VECTORS
    if (wideVectorsInUse())
        return wide::summariseBlocks<4>(y, blocks, lows, highs, sum, low, high);
#endif
    any::summariseBlocks<2>(y, blocks, lows, highs, sum, low, high);
}

} // namespace

void SeriesBounds::include(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    if (empty) {
        minX = maxX = x;
        minY = maxY = y;
        empty = false;
        return;
    }
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
}

ChartSeries::ChartSeries(Chart& chart, const QString& title, const QColor& color)
    : m_chart(chart), m_title(title), m_color(color) {}

ChartSeries::~ChartSeries() = default;

void ChartSeries::changed() {
    m_chart.changed();
}

void ChartSeries::setTitle(const QString& title) {
    m_title = title;
    changed();
}

void ChartSeries::setActive(bool active) {
    if (m_active == active)
        return;
    m_active = active;
    changed();
}

void ChartSeries::setFollowed(std::vector<const ChartSeries*> series) {
    m_followed = std::move(series);
    changed();
}

bool ChartSeries::isShown() const {
    return m_active && std::all_of(m_followed.begin(), m_followed.end(),
                                   [](const ChartSeries* s) { return s->isActive(); });
}

void ChartSeries::setInLegend(bool inLegend) {
    m_inLegend = inLegend;
    changed();
}

void ChartSeries::setSeriesColor(const QColor& color) {
    m_color = color;
    changed();
}

LineSeries::LineSeries(Chart& chart, const QString& title, const QColor& color)
    : ChartSeries(chart, title, color) {}

void LineSeries::clear() {
    m_x.clear();
    m_y.clear();
    m_even = false;
    forgetPoints();
    changed();
}

void LineSeries::forgetPoints() {
    m_yBlocks.clear();
    m_labels.clear();
    m_colors.clear();
    m_bounds = SeriesBounds();
    m_ordered = true;
    m_allFinite = true;
    m_firstVisible = -1;
    m_lastVisible = -1;
}

void LineSeries::keepX() {
    if (!m_even)
        return;
    m_x.resize(m_y.size());
    for (size_t i = 0; i < m_x.size(); ++i)
        m_x[i] = m_evenX(static_cast<int>(i));
    m_even = false;
}

template <typename F> auto LineSeries::withX(F f) const {
    return m_even ? f(m_evenX) : f(StoredX{m_x.data()});
}

void LineSeries::reserve(int n) {
    m_x.reserve(static_cast<size_t>(n));
    m_y.reserve(static_cast<size_t>(n));
}

void LineSeries::noteAppended(double x, double y) {
    if (!m_x.empty() && !(x >= m_x.back()))
        m_ordered = false;
    if (!std::isfinite(y))
        m_allFinite = false;
    m_bounds.include(x, y);
    m_yBlocks.note(m_y.size(), y);
}

void LineSeries::append(double x, double y, const QString& label, const QColor& color) {
    keepX();
    noteAppended(x, y);
    const size_t index = m_x.size();
    m_x.push_back(x);
    m_y.push_back(y);
    storeSparse(m_labels, index, label);
    storeSparse(m_colors, index, color);
    changed();
}

void LineSeries::append(const double* xs, const double* ys, int n) {
    if (n <= 0)
        return;
    keepX();
    const size_t start = m_x.size();
    m_x.insert(m_x.end(), xs, xs + n);
    m_y.insert(m_y.end(), ys, ys + n);
    noteBulk(start);
    changed();
}

void LineSeries::assign(const EvenX& x, std::vector<double>& ys) {
    m_y.swap(ys);
    m_x.clear();
    m_evenX = x;
    m_even = true;
    forgetPoints();
    // A rule that is not plainly ascending with finite values takes the general way, which
    // looks at every x.
    const int n = count();
    const bool plain = std::isfinite(x.step) && std::isfinite(x.divisor) && x.divisor != 0.0 &&
                       (x.step >= 0.0) == (x.divisor > 0.0) &&
                       (n == 0 || (std::isfinite(x(0)) && std::isfinite(x(n - 1))));
    if (!plain)
        keepX();
    noteBulk(0);
    changed();
}

void LineSeries::noteBulk(size_t start) {
    // Order, finiteness, y bounds and block summaries of the new points: a whole channel of a
    // measurement goes through here at every build.
    const size_t end = m_y.size();
    if (start >= end)
        return;
    const double* ys = m_y.data();

    // The sum of values is finite when all of them are; when it is not, a value may not be or
    // the sum overflowed, which only a look at each value tells.
    double sum = 0.0;
    // y bounds of the new points, valid when all of them are finite
    double lo = ys[start], hi = ys[start];
    auto notePoint = [&](size_t k) {
        sum += ys[k];
        lo = ys[k] < lo ? ys[k] : lo;
        hi = ys[k] > hi ? ys[k] : hi;
        m_yBlocks.note(k, ys[k]);
    };
    // The rest of a block begun earlier, whole blocks, then the start of the last block.
    size_t i = start;
    for (; i < end && i % YBlocks::size != 0; ++i)
        notePoint(i);
    const size_t firstWhole = m_yBlocks.low.size();
    const size_t wholeBlocks = (end - i) / YBlocks::size;
    m_yBlocks.low.resize(firstWhole + wholeBlocks);
    m_yBlocks.high.resize(firstWhole + wholeBlocks);
    summariseBlocks(ys + i, wholeBlocks, m_yBlocks.low.data() + firstWhole,
                    m_yBlocks.high.data() + firstWhole, sum, lo, hi);
    i += wholeBlocks * YBlocks::size;
    for (; i < end; ++i)
        notePoint(i);
    const bool finiteY = std::isfinite(sum) || std::all_of(ys + start, ys + end, [](double y) {
                             return std::isfinite(y);
                         });

    // Evenly spaced points are in order by their rule; stored ones count their steps back
    // (a value that is not a number counts as one).
    if (!m_even) {
        const double* xs = m_x.data();
        double back = 0.0;
        for (size_t k = std::max<size_t>(start, 1); k < end; ++k)
            back += xs[k] >= xs[k - 1] ? 0.0 : 1.0;
        m_ordered = m_ordered && back == 0.0;
    }
    m_allFinite = m_allFinite && finiteY;
    const double firstX = x(static_cast<int>(start));
    const double lastX = x(static_cast<int>(end - 1));
    if (!(m_ordered && std::isfinite(firstX) && std::isfinite(lastX) && finiteY)) {
        for (size_t k = start; k < end; ++k)
            m_bounds.include(x(static_cast<int>(k)), ys[k]);
        return;
    }
    // All finite and in order: the x bounds are the ends.
    m_bounds.include(firstX, lo);
    m_bounds.include(lastX, hi);
}

QString LineSeries::label(int i) const {
    return readSparse(m_labels, i);
}

QColor LineSeries::color(int i) const {
    const QColor own = readSparse(m_colors, i);
    return own.isValid() ? own : seriesColor();
}

template <typename X>
std::pair<int, int> LineSeries::indexRange(const X& x, double minX, double maxX) const {
    int first = -1;
    int last = -1;
    if (m_ordered) {
        first = lowerIndex(x, count(), minX);
        last = upperIndex(x, count(), maxX) - 1;
        if (first > last)
            return {-1, -1};
        return {first, last};
    }
    for (int i = 0; i < count(); ++i) {
        if (x(i) >= minX && x(i) <= maxX) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return {first, last};
}

std::pair<int, int> LineSeries::labelRange(double minX, double maxX) const {
    return pointsBetween(minX, maxX);
}

std::pair<int, int> LineSeries::pointsBetween(double minX, double maxX) const {
    return withX([&](const auto& x) { return indexRange(x, minX, maxX); });
}

int LineSeries::nearestPoint(double value) const {
    const int n = count();
    if (n == 0)
        return -1;
    const auto distance = [&](int i) { return std::abs(x(i) - value); };
    if (!m_ordered) {
        int best = 0;
        for (int i = 1; i < n; ++i)
            if (distance(i) < distance(best))
                best = i;
        return best;
    }
    const int above = withX([&](const auto& xs) { return lowerIndex(xs, n, value); });
    if (above == 0)
        return 0;
    if (above == n)
        return n - 1;
    return distance(above) < distance(above - 1) ? above : above - 1;
}

void LineSeries::setDashed(bool dashed) {
    m_dashed = dashed;
    changed();
}

void LineSeries::draw(const Canvas& canvas) {
    if (m_even)
        drawWith(m_evenX, canvas);
    else
        drawWith(StoredX{m_x.data()}, canvas);
}

template <typename X> void LineSeries::drawWith(const X& x, const Canvas& canvas) {
    const auto [first, last] = indexRange(x, canvas.minX, canvas.maxX);
    m_firstVisible = first;
    m_lastVisible = last;
    if (count() < 2)
        return;

    // The neighbours just outside the range carry the lines that cross the plot's edges.
    int from = 0;
    int to = count() - 1;
    if (m_ordered) {
        from = std::max(lowerIndex(x, count(), canvas.minX) - 1, 0);
        to = std::min(upperIndex(x, count(), canvas.maxX), count() - 1);
    }

    m_lines.clear();
    const double* ys = m_y.data();
    // A y that is not a number breaks the line; each finite run is drawn for itself.
    int runStart = from;
    while (runStart <= to) {
        int runEnd = runStart;
        if (m_allFinite) {
            runEnd = to;
        } else {
            while (runStart <= to && !std::isfinite(ys[runStart]))
                ++runStart;
            runEnd = runStart;
            while (runEnd + 1 <= to && std::isfinite(ys[runEnd + 1]))
                ++runEnd;
            if (runStart > to)
                break;
        }
        if (m_ordered)
            appendDecimated(x, ys, m_yBlocks, runStart, runEnd, canvas.xMap, canvas.yMap, m_lines);
        else
            appendEveryPoint(x, ys, runStart, runEnd, canvas.xMap, canvas.yMap, m_lines);
        runStart = runEnd + 1;
    }
    canvas.painter.setPen(linePen(seriesColor(), canvas.lineWidth));
    if (m_dashed) {
        m_dashes.clear();
        appendDashed(m_lines, 6 * canvas.lineWidth, 4 * canvas.lineWidth, m_dashes);
        canvas.painter.drawLines(m_dashes);
    } else {
        canvas.painter.drawLines(m_lines);
    }
}

ArrowSeries::ArrowSeries(Chart& chart, const QString& title, const QColor& color)
    : ChartSeries(chart, title, color) {}

void ArrowSeries::clear() {
    m_arrows.clear();
    m_labels.clear();
    m_colors.clear();
    m_bounds = SeriesBounds();
    changed();
}

void ArrowSeries::append(double x0, double y0, double x1, double y1, const QString& label,
                         const QColor& color) {
    const size_t index = m_arrows.size();
    m_arrows.push_back({x0, y0, x1, y1});
    storeSparse(m_labels, index, label);
    storeSparse(m_colors, index, color);
    m_bounds.include(x0, y0);
    m_bounds.include(x1, y1);
    changed();
}

QString ArrowSeries::label(int i) const {
    return readSparse(m_labels, i);
}

QColor ArrowSeries::color(int i) const {
    const QColor own = readSparse(m_colors, i);
    return own.isValid() ? own : seriesColor();
}

void ArrowSeries::setHeadSize(int width, int height) {
    m_headWidth = std::max(width, 1);
    m_headHeight = std::max(height, 1);
    changed();
}

std::pair<int, int> ArrowSeries::labelRange(double minX, double maxX) const {
    int first = -1;
    int last = -1;
    for (int i = 0; i < count(); ++i) {
        if (arrow(i).x0 >= minX && arrow(i).x0 <= maxX) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return {first, last};
}

void ArrowSeries::draw(const Canvas& canvas) {
    QPainter& painter = canvas.painter;
    const double headWidth = m_headWidth * canvas.lineWidth;
    const double headHeight = m_headHeight * canvas.lineWidth;
    for (int i = 0; i < count(); ++i) {
        const Arrow& a = arrow(i);
        if (!std::isfinite(a.y0) || !std::isfinite(a.y1))
            continue;
        const QPointF start(canvas.xMap.snapped(a.x0), canvas.yMap.snapped(a.y0));
        const QPointF end(canvas.xMap.snapped(a.x1), canvas.yMap.snapped(a.y1));
        const QColor c = color(i);
        painter.setPen(linePen(c, canvas.lineWidth));
        painter.drawLine(start, end);
        painter.fillRect(
            QRectF(end.x() - headWidth / 2, end.y() - headHeight / 2, headWidth, headHeight), c);
    }
}

} // namespace zarvik
