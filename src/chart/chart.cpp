#include "chart/chart.h"

#include "chart/decimation.h"
#include "chart/ticks.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace zarvik {

namespace {

// Sizes in logical pixels.
constexpr double padding = 4.0;
constexpr double tickLength = 4.0;
constexpr double labelGap = 3.0;
constexpr double legendSpacing = 12.0;
// A drag shorter than this is a click.
constexpr int dragThreshold = 4;
// The resolution at which the chart's sizes are meant.
constexpr double screenDpi = 96.0;

const QColor gridColor(0xD8, 0xD8, 0xD8);

// A pixel map that puts `minimum` on pixel `first` and `maximum` on pixel `first + count - 1`;
// `count` < 0 runs the other way, as the left axis does from the bottom row up.
PixelMap pixelMap(double minimum, double maximum, double first, double count) {
    PixelMap map;
    const double direction = count < 0 ? -1.0 : 1.0;
    map.scale = direction * std::max(std::abs(count) - 1.0, 1.0) / (maximum - minimum);
    map.offset = first - minimum * map.scale;
    return map;
}

} // namespace

Chart::Chart(QWidget* parent)
    : QWidget(parent), m_bottom(new ChartAxis(*this, true)), m_left(new ChartAxis(*this, false)) {
    setMouseTracking(true);
    // The right button scrolls; a right click is reported by rightClicked() instead.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

Chart::~Chart() = default;

template <typename T> T* Chart::adopt(std::unique_ptr<T> series) {
    T* raw = series.get();
    m_series.push_back(std::move(series));
    changed();
    return raw;
}

LineSeries* Chart::addLineSeries(const QString& title, const QColor& color) {
    return adopt(std::unique_ptr<LineSeries>(new LineSeries(*this, title, color)));
}

ArrowSeries* Chart::addArrowSeries(const QString& title, const QColor& color) {
    return adopt(std::unique_ptr<ArrowSeries>(new ArrowSeries(*this, title, color)));
}

void Chart::removeSeries(ChartSeries* series) {
    const auto it = std::find_if(m_series.begin(), m_series.end(),
                                 [series](const auto& owned) { return owned.get() == series; });
    if (it == m_series.end())
        return;
    for (const auto& other : m_series) {
        auto& followed = other->m_followed;
        followed.erase(std::remove(followed.begin(), followed.end(), series), followed.end());
    }
    if (m_cursorSeries == series)
        setCursorSeries(nullptr);
    m_series.erase(it);
    changed();
}

void Chart::setBackgroundColor(const QColor& color) {
    m_background = color;
    changed();
}

void Chart::setLegendVisible(bool visible) {
    m_legendVisible = visible;
    changed();
}

void Chart::setLegendColor(const QColor& color) {
    m_legendColor = color;
    changed();
}

void Chart::setMargins(const QMargins& margins) {
    m_margins = margins;
    changed();
}

void Chart::changed() {
    m_layoutValid = false;
    // Appending a long series point by point must not queue a repaint per point.
    if (!m_repaintPending) {
        m_repaintPending = true;
        update();
    }
}

bool Chart::isZoomed() const {
    return !m_bottom->isAutomatic() || !m_left->isAutomatic();
}

void Chart::zoomToPixels(const QRect& rect) {
    const QRect r = rect.normalized();
    const double left = m_bottom->pixelToValue(r.left());
    const double right = m_bottom->pixelToValue(r.right());
    const double top = m_left->pixelToValue(r.top());
    const double bottom = m_left->pixelToValue(r.bottom());
    m_bottom->setRange(left, right);
    m_left->setRange(bottom, top);
}

void Chart::undoZoom() {
    m_bottom->setAutomatic(true);
    m_left->setAutomatic(true);
}

void Chart::scrollByPixels(const QPoint& delta) {
    const double dx = m_bottom->pixelToValue(delta.x()) - m_bottom->pixelToValue(0);
    const double dy = m_left->pixelToValue(delta.y()) - m_left->pixelToValue(0);
    m_bottom->setRange(m_bottom->minimum() - dx, m_bottom->maximum() - dx);
    m_left->setRange(m_left->minimum() - dy, m_left->maximum() - dy);
}

void Chart::refreshRanges() {
    if (!m_bottom->isAutomatic() && !m_left->isAutomatic())
        return;
    SeriesBounds all;
    for (const auto& series : m_series) {
        if (!series->isShown())
            continue;
        const SeriesBounds b = series->bounds();
        if (b.empty)
            continue;
        all.include(b.minX, b.minY);
        all.include(b.maxX, b.maxY);
    }
    // An empty chart shows the unit range.
    if (all.empty)
        all = SeriesBounds{0.0, 1.0, 0.0, 1.0, false};
    if (m_bottom->isAutomatic())
        m_bottom->assignRange(all.minX, all.maxX);
    if (m_left->isAutomatic())
        m_left->assignRange(all.minY, all.maxY);
}

QFont Chart::drawingFont() const {
    // A size in pixels keeps text in proportion when the painter is scaled for a printer.
    QFont f = font();
    if (f.pixelSize() <= 0)
        f.setPixelSize(std::max(1, qRound(f.pointSizeF() * screenDpi / 72.0)));
    return f;
}

QVector<Chart::Tick> Chart::numberTicks(const ChartAxis& axis, double length, double spacing,
                                        const QFont& font) const {
    const QFontMetricsF metrics(font);
    const double span = axis.m_maximum - axis.m_minimum;
    const double pixels = std::max(length - 1.0, 1.0);
    QVector<Tick> ticks;
    // A wider label needs a wider step, which may need wider labels: a few rounds settle it.
    for (int round = 0; round < 4; ++round) {
        const double step = niceStep(span * spacing / pixels);
        ticks.clear();
        double widest = 0.0;
        for (const double value : tickValues(axis.m_minimum, axis.m_maximum, step)) {
            const QString text = tickText(value, step, locale());
            widest = std::max(widest, metrics.horizontalAdvance(text));
            ticks.append({value, text});
        }
        if (!axis.m_horizontal || widest + 2 * labelGap <= step / span * pixels)
            break;
        spacing = widest + 3 * labelGap;
    }
    return ticks;
}

QVector<Chart::Tick> Chart::labelTicks(double length, const QFont& font) const {
    QVector<Tick> ticks;
    const ChartSeries* source = nullptr;
    for (const auto& series : m_series) {
        if (series->isShown() && series->hasLabels()) {
            source = series.get();
            break;
        }
    }
    if (!source)
        return ticks;
    const double minimum = m_bottom->m_minimum;
    const double maximum = m_bottom->m_maximum;
    const auto [first, last] = source->labelRange(minimum, maximum);
    if (first < 0)
        return ticks;

    // Every stride-th labelled point gets its text: as many as fit side by side, at points
    // whose numbers are round so that the marks stay put while the range scrolls.
    const QFontMetricsF metrics(font);
    const double pixelsPerValue = std::max(length - 1.0, 1.0) / (maximum - minimum);
    double widest = 0.0;
    for (const int i : {first, (first + last) / 2, last})
        widest = std::max(widest, metrics.horizontalAdvance(source->labelText(i)));
    const double pointSpacing = last > first
                                    ? std::abs(source->labelX(last) - source->labelX(first)) *
                                          pixelsPerValue / (last - first)
                                    : length;
    const double needed = (widest + 3 * labelGap) / std::max(pointSpacing, 1e-9);
    const double stride = needed <= 1.0 ? 1.0 : niceStep(needed);
    if (!std::isfinite(stride) || stride > 1e9)
        return ticks;
    const auto step = static_cast<long long>(stride);
    double lastRight = -1e300;
    for (long long i = (first + step - 1) / step * step; i <= last; i += step) {
        const int index = static_cast<int>(i);
        const QString text = source->labelText(index);
        if (text.isEmpty())
            continue;
        // Unevenly spaced points may still crowd; a label that would overlap is left out.
        const double centre = (source->labelX(index) - minimum) * pixelsPerValue;
        const double halfWidth = metrics.horizontalAdvance(text) / 2;
        if (centre - halfWidth < lastRight + labelGap)
            continue;
        lastRight = centre + halfWidth;
        ticks.append({source->labelX(index), text});
    }
    return ticks;
}

void Chart::layoutLegend(Layout& layout) const {
    std::vector<ChartSeries*> listed;
    for (const auto& series : m_series)
        if (series->isInLegend())
            listed.push_back(series.get());
    if (!m_legendVisible || listed.empty())
        return;
    const QFontMetricsF metrics(layout.font);
    const double rowHeight = std::ceil(metrics.height()) + 2;
    const double box = std::round(metrics.height() * 0.75);
    const double maxWidth = std::max(layout.area.width() - 2 * padding, 1.0);

    // Entries flow left to right and wrap into further rows.
    struct Row {
        QVector<int> entries;
        double width = 0.0;
    };
    QVector<Row> rows(1);
    QVector<double> widths;
    for (const ChartSeries* series : listed) {
        const double width = box + labelGap + metrics.horizontalAdvance(series->title());
        const int index = static_cast<int>(widths.size());
        widths.append(width);
        Row& row = rows.last();
        const double grown = row.width + (row.entries.isEmpty() ? 0 : legendSpacing) + width;
        if (!row.entries.isEmpty() && grown > maxWidth) {
            rows.append(Row{{index}, width});
        } else {
            row.entries.append(index);
            row.width = grown;
        }
    }
    double widest = 0.0;
    for (const Row& row : rows)
        widest = std::max(widest, row.width);
    const double height = rows.size() * rowHeight + 2 * padding;
    const double width = std::min(widest + 2 * padding, layout.area.width());
    layout.legend = QRectF(std::round(layout.area.center().x() - width / 2),
                           std::round(layout.area.bottom() - height), std::round(width), height);
    double top = layout.legend.top() + padding;
    for (const Row& row : rows) {
        double x = layout.legend.left() + padding + (widest - row.width) / 2;
        for (const int index : row.entries) {
            ChartSeries* series = listed[static_cast<size_t>(index)];
            const QRectF boxRect(std::round(x), std::round(top + (rowHeight - box) / 2), box, box);
            const QRectF textRect(x + box + labelGap, top, widths[index] - box - labelGap,
                                  rowHeight);
            layout.legendEntries.append({series, boxRect, textRect});
            x += widths[index] + legendSpacing;
        }
        top += rowHeight;
    }
    layout.area.setBottom(layout.legend.top() - padding);
}

Chart::Layout Chart::computeLayout(const QSizeF& size, const QFont& font) {
    refreshRanges();
    Layout layout;
    layout.font = font;
    layout.bounds = QRectF(QPointF(0, 0), size);
    layout.area =
        layout.bounds.adjusted(m_margins.left() + padding, m_margins.top() + padding,
                               -m_margins.right() - padding, -m_margins.bottom() - padding);
    layoutLegend(layout);

    const QFontMetricsF metrics(font);
    const double lineHeight = std::ceil(metrics.height());
    double bottomSpace = 0.0;
    if (m_bottom->isVisible())
        bottomSpace = tickLength + labelGap + lineHeight +
                      (m_bottom->title().isEmpty() ? 0.0 : lineHeight + labelGap);
    const double top = layout.area.top() + (m_left->isVisible() ? lineHeight / 2 : 0.0);
    const double bottom = layout.area.bottom() - bottomSpace;
    const double plotHeight = std::max(std::floor(bottom - top), 2.0);

    double leftSpace = 0.0;
    if (m_left->isVisible()) {
        layout.leftTicks = numberTicks(*m_left, plotHeight, 2.5 * lineHeight, font);
        double widest = 0.0;
        for (const Tick& tick : layout.leftTicks)
            widest = std::max(widest, metrics.horizontalAdvance(tick.text));
        leftSpace = (m_left->title().isEmpty() ? 0.0 : lineHeight + labelGap) + std::ceil(widest) +
                    labelGap + tickLength;
    }
    // Room on the right for half of a label centred on the last pixel.
    const double rightSpace = m_bottom->isVisible() ? 2 * lineHeight : padding;
    const double left = std::ceil(layout.area.left() + leftSpace);
    const double plotWidth = std::max(std::floor(layout.area.right() - rightSpace - left), 2.0);
    layout.plot = QRect(static_cast<int>(left), static_cast<int>(std::ceil(top)),
                        static_cast<int>(plotWidth), static_cast<int>(plotHeight));

    if (m_bottom->isVisible()) {
        layout.bottomTicks = m_bottom->showsPointLabels()
                                 ? labelTicks(plotWidth, font)
                                 : numberTicks(*m_bottom, plotWidth, 5 * lineHeight, font);
    }
    return layout;
}

const Chart::Layout& Chart::widgetLayout() {
    if (!m_layoutValid) {
        m_layout = computeLayout(QSizeF(size()), drawingFont());
        m_layoutValid = true;
    }
    return m_layout;
}

void Chart::paintSeries(QPainter& painter, const Layout& layout) {
    // Series are drawn in device pixels, so that the shortened drawing of long series works
    // on the pixels that really appear, whatever the painter's scale.
    const QTransform device = painter.deviceTransform();
    const QRectF devicePlot = device.mapRect(QRectF(layout.plot));
    const QRect pixels(qRound(devicePlot.left()), qRound(devicePlot.top()),
                       std::max(qRound(devicePlot.width()), 2),
                       std::max(qRound(devicePlot.height()), 2));
    const int lineWidth = std::max(1, qRound(device.m11()));

    painter.save();
    painter.setWorldTransform(device.inverted() * painter.worldTransform());
    painter.setClipRect(pixels, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const PixelMap xMap =
        pixelMap(m_bottom->m_minimum, m_bottom->m_maximum, pixels.left(), pixels.width());
    const PixelMap yMap =
        pixelMap(m_left->m_minimum, m_left->m_maximum, pixels.bottom(), -pixels.height());
    const ChartSeries::Canvas canvas{painter,  xMap, yMap, m_bottom->m_minimum, m_bottom->m_maximum,
                                     lineWidth};
    for (const auto& series : m_series) {
        if (series->isShown())
            series->draw(canvas);
    }
    painter.restore();
}

void Chart::paintAxes(QPainter& painter, const Layout& layout) const {
    const QRect plot = layout.plot;
    const QFontMetricsF metrics(layout.font);
    const double lineHeight = std::ceil(metrics.height());
    const auto toX = [&](double value) {
        return std::round(plot.left() + (value - m_bottom->m_minimum) /
                                            (m_bottom->m_maximum - m_bottom->m_minimum) *
                                            (plot.width() - 1));
    };
    const auto toY = [&](double value) {
        return std::round(plot.bottom() - (value - m_left->m_minimum) /
                                              (m_left->m_maximum - m_left->m_minimum) *
                                              (plot.height() - 1));
    };

    painter.setPen(QPen(gridColor, 0, Qt::DotLine));
    for (const Tick& tick : layout.leftTicks)
        painter.drawLine(QPointF(plot.left(), toY(tick.value)),
                         QPointF(plot.right(), toY(tick.value)));
    for (const Tick& tick : layout.bottomTicks)
        painter.drawLine(QPointF(toX(tick.value), plot.top()),
                         QPointF(toX(tick.value), plot.bottom()));

    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    painter.setFont(layout.font);
    if (m_left->isVisible()) {
        const double right = plot.left() - 1 - tickLength;
        for (const Tick& tick : layout.leftTicks) {
            const double y = toY(tick.value);
            painter.drawLine(QPointF(right, y), QPointF(plot.left() - 1, y));
            // The top and bottom labels stay whole inside the chart.
            double top = y - lineHeight / 2;
            top = std::clamp(top, layout.bounds.top(), layout.bounds.bottom() - lineHeight);
            painter.drawText(
                QRectF(layout.area.left(), top, right - labelGap - layout.area.left(), lineHeight),
                Qt::AlignRight | Qt::AlignVCenter, tick.text);
        }
        if (!m_left->title().isEmpty()) {
            painter.save();
            painter.translate(layout.area.left(), plot.center().y());
            painter.rotate(-90);
            painter.drawText(QRectF(-plot.height() / 2.0, 0, plot.height(), lineHeight),
                             Qt::AlignCenter, m_left->title());
            painter.restore();
        }
    }
    if (m_bottom->isVisible()) {
        const double top = plot.bottom() + 1;
        for (const Tick& tick : layout.bottomTicks) {
            const double x = toX(tick.value);
            painter.drawLine(QPointF(x, top), QPointF(x, top + tickLength));
            const double width = metrics.horizontalAdvance(tick.text) + 2;
            double left = x - width / 2;
            left = std::clamp(left, layout.bounds.left(), layout.bounds.right() - width);
            painter.drawText(QRectF(left, top + tickLength + labelGap, width, lineHeight),
                             Qt::AlignCenter, tick.text);
        }
        if (!m_bottom->title().isEmpty()) {
            painter.drawText(QRectF(plot.left(), top + tickLength + 2 * labelGap + lineHeight,
                                    plot.width(), lineHeight),
                             Qt::AlignCenter, m_bottom->title());
        }
    }
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(plot.left() - 1, plot.top() - 1, plot.width() + 1, plot.height() + 1));
}

void Chart::paintLegend(QPainter& painter, const Layout& layout) const {
    if (layout.legendEntries.isEmpty())
        return;
    const QColor frame = palette().color(QPalette::WindowText);
    painter.setPen(QPen(frame, 0));
    painter.setBrush(m_legendColor);
    painter.drawRect(layout.legend);
    painter.setFont(layout.font);
    for (const LegendEntry& entry : layout.legendEntries) {
        painter.setPen(QPen(frame, 0));
        painter.setBrush(Qt::white);
        painter.drawRect(entry.box);
        if (entry.series->isActive()) {
            const QRectF b = entry.box.adjusted(2, 2, -2, -2);
            QPen tick(frame, 2);
            tick.setCapStyle(Qt::FlatCap);
            painter.setPen(tick);
            const QPointF mark[] = {{b.left(), b.center().y()},
                                    {b.left() + b.width() * 0.4, b.bottom()},
                                    {b.right(), b.top()}};
            painter.drawPolyline(mark, 3);
        }
        painter.setPen(entry.series->seriesColor());
        painter.drawText(entry.text, Qt::AlignLeft | Qt::AlignVCenter, entry.series->title());
    }
    painter.setBrush(Qt::NoBrush);
}

void Chart::paintChart(QPainter& painter, const Layout& layout) {
    painter.fillRect(layout.bounds, m_background);
    paintAxes(painter, layout);
    paintSeries(painter, layout);
    paintCursors(painter, layout);
    paintLegend(painter, layout);
}

void Chart::draw(QPainter& painter, const QRect& target) {
    const QPaintDevice* device = painter.device();
    const double dpi = device && device->logicalDpiX() > 0 ? device->logicalDpiX() : screenDpi;
    const double scale = dpi / screenDpi;
    const Layout layout = computeLayout(QSizeF(target.size()) / scale, drawingFont());
    settleCursors();
    painter.save();
    // Labels and lines of a chart too small for them must not spill over the rest of the page.
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    paintChart(painter, layout);
    painter.restore();
    emit afterDraw();
}

void Chart::paintEvent(QPaintEvent*) {
    m_repaintPending = false;
    const Layout& layout = widgetLayout();
    settleCursors();
    QPainter painter(this);
    paintChart(painter, layout);
    if (m_drag == Drag::Zoom && m_dragLast != m_dragStart) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), 0, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(m_dragStart, m_dragLast).normalized());
    }
    painter.end();
    emit afterDraw();
}

void Chart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    changed();
}

void Chart::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::LocaleChange)
        changed();
}

void Chart::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        for (const LegendEntry& entry : widgetLayout().legendEntries) {
            if (entry.box.united(entry.text).contains(pos)) {
                entry.series->setActive(!entry.series->isActive());
                return;
            }
        }
        m_draggedCursor = cursorAt(pos);
        m_drag = m_draggedCursor >= 0 ? Drag::Cursor : Drag::Zoom;
        if (m_draggedCursor >= 0)
            setActiveCursor(m_draggedCursor);
    } else if (event->button() == Qt::RightButton) {
        m_drag = Drag::Scroll;
        m_scrolled = false;
    } else {
        return;
    }
    m_dragStart = pos;
    m_dragLast = pos;
}

void Chart::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_drag == Drag::Zoom) {
        m_dragLast = pos;
        update();
    } else if (m_drag == Drag::Cursor) {
        moveCursorTo(m_draggedCursor, pos.x());
    } else if (m_drag == Drag::Scroll) {
        if (m_scrolled || (pos - m_dragStart).manhattanLength() >= dragThreshold) {
            m_scrolled = true;
            scrollByPixels(pos - m_dragLast);
            m_dragLast = pos;
        }
    }
    emit mouseMoved(pos.x(), pos.y());
}

void Chart::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_drag == Drag::Zoom && event->button() == Qt::LeftButton) {
        m_drag = Drag::None;
        const QPoint d = pos - m_dragStart;
        // Down and to the right zooms in; a drag up or to the left goes back to the full view.
        if (d.x() >= dragThreshold && d.y() >= dragThreshold)
            zoomToPixels(QRect(m_dragStart, pos));
        else if (d.x() <= -dragThreshold || d.y() <= -dragThreshold)
            undoZoom();
        else if (d.manhattanLength() < dragThreshold)
            placeNearerCursor(pos);
        update();
    } else if (m_drag == Drag::Cursor && event->button() == Qt::LeftButton) {
        m_drag = Drag::None;
    } else if (m_drag == Drag::Scroll && event->button() == Qt::RightButton) {
        m_drag = Drag::None;
        if (!m_scrolled)
            emit rightClicked(pos);
    }
}

} // namespace zarvik
