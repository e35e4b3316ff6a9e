#include "chart/chartseries.h"

#include "chart/chart.h"
#include "chart/decimation.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

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

void ChartSeries::setSeriesColor(const QColor& color) {
    m_color = color;
    changed();
}

LineSeries::LineSeries(Chart& chart, const QString& title, const QColor& color)
    : ChartSeries(chart, title, color) {}

void LineSeries::clear() {
    m_x.clear();
    m_y.clear();
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
    const size_t start = m_x.size();
    m_x.insert(m_x.end(), xs, xs + n);
    m_y.insert(m_y.end(), ys, ys + n);
    noteBulk(start);
    changed();
}

void LineSeries::assign(std::vector<double>& xs, std::vector<double>& ys) {
    const size_t n = std::min(xs.size(), ys.size());
    xs.resize(n);
    ys.resize(n);
    m_x.swap(xs);
    m_y.swap(ys);
    forgetPoints();
    noteBulk(0);
    changed();
}

void LineSeries::noteBulk(size_t start) {
    // Order, finiteness, y bounds and block summaries of the new points, in plain loops that
    // the compiler turns into vector instructions: a whole channel of a measurement goes
    // through here at every build.
    const size_t end = m_x.size();
    if (start >= end)
        return;
    const double* xs = m_x.data();
    const double* ys = m_y.data();

    bool ordered = m_ordered;
    // inf - inf and NaN - NaN are NaN, so one sum tells whether any value is not finite.
    double probeY = 0.0;
    // y bounds of the new points, valid when all of them are finite
    double lo = ys[start], hi = ys[start];
    auto notePoint = [&](size_t k) {
        if (k > 0)
            ordered &= xs[k] >= xs[k - 1];
        probeY += ys[k] - ys[k];
        lo = ys[k] < lo ? ys[k] : lo;
        hi = ys[k] > hi ? ys[k] : hi;
        m_yBlocks.note(k, ys[k]);
    };

    // The rest of a block begun earlier, whole blocks, then the start of the last block.
    size_t i = start;
    for (; i < end && i % YBlocks::size != 0; ++i)
        notePoint(i);
    constexpr size_t B = YBlocks::size;
    static_assert(B % 4 == 0, "blocks are summed in four lanes");
    const size_t firstWhole = m_yBlocks.low.size();
    const size_t wholeBlocks = (end - i) / B;
    m_yBlocks.low.resize(firstWhole + wholeBlocks);
    m_yBlocks.high.resize(firstWhole + wholeBlocks);
    double* lows = m_yBlocks.low.data() + firstWhole;
    double* highs = m_yBlocks.high.data() + firstWhole;
    for (size_t b = 0; b < wholeBlocks; ++b, i += B) {
        // Four lanes side by side, folded at the end: the same minimum and maximum for finite
        // values, and a block with a value that is not a number is never drawn from its
        // summary.
        const double* yb = ys + i;
        double l0 = yb[0], l1 = yb[1], l2 = yb[2], l3 = yb[3];
        double h0 = l0, h1 = l1, h2 = l2, h3 = l3;
        for (size_t k = 4; k < B; k += 4) {
            l0 = yb[k] < l0 ? yb[k] : l0;
            l1 = yb[k + 1] < l1 ? yb[k + 1] : l1;
            l2 = yb[k + 2] < l2 ? yb[k + 2] : l2;
            l3 = yb[k + 3] < l3 ? yb[k + 3] : l3;
            h0 = yb[k] > h0 ? yb[k] : h0;
            h1 = yb[k + 1] > h1 ? yb[k + 1] : h1;
            h2 = yb[k + 2] > h2 ? yb[k + 2] : h2;
            h3 = yb[k + 3] > h3 ? yb[k + 3] : h3;
        }
        const double blockLo = std::min(std::min(l0, l1), std::min(l2, l3));
        const double blockHi = std::max(std::max(h0, h1), std::max(h2, h3));
        lows[b] = blockLo;
        highs[b] = blockHi;
        lo = blockLo < lo ? blockLo : lo;
        hi = blockHi > hi ? blockHi : hi;
    }
    // Order and finiteness of the whole blocks in two lanes: counts of steps back (or with a
    // value that is not a number) and sums of y - y.
    const size_t wholeFrom = i - wholeBlocks * B;
    double back0 = 0.0, back1 = 0.0, probe0 = 0.0, probe1 = 0.0;
    size_t k = std::max<size_t>(wholeFrom, 1);
    for (; k + 1 < i; k += 2) {
        back0 += xs[k] >= xs[k - 1] ? 0.0 : 1.0;
        back1 += xs[k + 1] >= xs[k] ? 0.0 : 1.0;
        probe0 += ys[k] - ys[k];
        probe1 += ys[k + 1] - ys[k + 1];
    }
    for (; k < i; ++k) {
        back0 += xs[k] >= xs[k - 1] ? 0.0 : 1.0;
        probe0 += ys[k] - ys[k];
    }
    if (wholeFrom == 0 && i > 0)
        probe0 += ys[0] - ys[0];
    ordered &= back0 + back1 == 0.0;
    probeY += probe0 + probe1;
    for (; i < end; ++i)
        notePoint(i);

    m_ordered = ordered;
    const bool finiteY = probeY == 0.0;
    m_allFinite = m_allFinite && finiteY;
    const bool finiteX = ordered && std::isfinite(xs[start]) && std::isfinite(xs[end - 1]);
    if (!(finiteX && finiteY)) {
        for (size_t k = start; k < end; ++k)
            m_bounds.include(xs[k], ys[k]);
        return;
    }
    // All finite and in order: the x bounds are the ends.
    m_bounds.include(xs[start], lo);
    m_bounds.include(xs[end - 1], hi);
}

QString LineSeries::label(int i) const {
    return readSparse(m_labels, i);
}

QColor LineSeries::color(int i) const {
    const QColor own = readSparse(m_colors, i);
    return own.isValid() ? own : seriesColor();
}

std::pair<int, int> LineSeries::labelRange(double minX, double maxX) const {
    int first = -1;
    int last = -1;
    if (m_ordered) {
        first = static_cast<int>(std::lower_bound(m_x.begin(), m_x.end(), minX) - m_x.begin());
        last = static_cast<int>(std::upper_bound(m_x.begin(), m_x.end(), maxX) - m_x.begin()) - 1;
        if (first > last)
            return {-1, -1};
        return {first, last};
    }
    for (int i = 0; i < count(); ++i) {
        if (m_x[static_cast<size_t>(i)] >= minX && m_x[static_cast<size_t>(i)] <= maxX) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return {first, last};
}

void LineSeries::draw(const Canvas& canvas) {
    const auto [first, last] = labelRange(canvas.minX, canvas.maxX);
    m_firstVisible = first;
    m_lastVisible = last;
    if (m_x.size() < 2)
        return;

    // The neighbours just outside the range carry the lines that cross the plot's edges.
    int from = 0;
    int to = count() - 1;
    if (m_ordered) {
        const auto begin = m_x.begin();
        from = static_cast<int>(std::lower_bound(begin, m_x.end(), canvas.minX) - begin) - 1;
        to = static_cast<int>(std::upper_bound(begin, m_x.end(), canvas.maxX) - begin);
        from = std::max(from, 0);
        to = std::min(to, count() - 1);
    }

    m_lines.clear();
    const double* xs = m_x.data();
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
            appendDecimated(xs, ys, m_yBlocks, runStart, runEnd, canvas.xMap, canvas.yMap, m_lines);
        else
            appendEveryPoint(xs, ys, runStart, runEnd, canvas.xMap, canvas.yMap, m_lines);
        runStart = runEnd + 1;
    }
    canvas.painter.setPen(linePen(seriesColor(), canvas.lineWidth));
    canvas.painter.drawLines(m_lines);
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
