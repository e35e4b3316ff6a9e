// The chart's two cursors: their points, their drawing, and the mouse and keys that move them.

#include "chart/chart.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace zarvik {

namespace {

const QColor cursorColor(0x1F, 0x4E, 0xB4);
// How far from its line, in pixels, a press still takes hold of a cursor.
constexpr double cursorReach = 4.0;

} // namespace

void Chart::setCursorSeries(const LineSeries* series) {
    if (m_cursorSeries == series)
        return;
    m_cursorSeries = series;
    update();
    emit cursorsMoved();
}

void Chart::setCursorsShown(bool shown) {
    if (m_cursorsShown == shown)
        return;
    m_cursorsShown = shown;
    update();
    emit cursorsMoved();
}

void Chart::setCursorPoint(int cursor, int point) {
    int& stored = m_cursorPoints[cursorIndex(cursor)];
    if (stored == point)
        return;
    stored = point;
    update();
    emit cursorsMoved();
}

void Chart::setActiveCursor(int cursor) {
    m_activeCursor = static_cast<int>(cursorIndex(cursor));
    update();
}

void Chart::clearCursors() {
    if (m_cursorPoints[0] < 0 && m_cursorPoints[1] < 0)
        return;
    m_cursorPoints = {-1, -1};
    update();
    emit cursorsMoved();
}

bool Chart::cursorsDrawn() const {
    return m_cursorsShown && m_cursorSeries && m_cursorSeries->count() > 0 &&
           m_cursorPoints[0] >= 0 && m_cursorPoints[1] >= 0;
}

void Chart::settleCursors() {
    if (!m_cursorsShown || !m_cursorSeries || m_cursorSeries->count() == 0)
        return;
    const int last = m_cursorSeries->count() - 1;
    bool moved = false;
    for (std::size_t k = 0; k < m_cursorPoints.size(); ++k) {
        int& point = m_cursorPoints[k];
        if (point < 0) {
            const double span = m_bottom->m_maximum - m_bottom->m_minimum;
            point = m_cursorSeries->nearestPoint(m_bottom->m_minimum +
                                                 span * static_cast<double>(k + 1) / 3.0);
            moved = true;
        } else if (point > last) {
            point = last;
            moved = true;
        }
    }
    if (moved)
        emit cursorsMoved();
}

void Chart::paintCursors(QPainter& painter, const Layout& layout) const {
    if (!cursorsDrawn())
        return;
    const QRect plot = layout.plot;
    const double minimum = m_bottom->m_minimum;
    const double span = m_bottom->m_maximum - minimum;
    std::array<double, 2> at{};
    for (std::size_t k = 0; k < at.size(); ++k)
        at[k] = std::round(plot.left() + (m_cursorSeries->x(m_cursorPoints[k]) - minimum) / span *
                                             (plot.width() - 1));

    painter.save();
    painter.setClipRect(plot, Qt::IntersectClip);
    QColor shade = cursorColor;
    shade.setAlpha(28);
    const double left = std::max(std::min(at[0], at[1]), double(plot.left()));
    const double right = std::min(std::max(at[0], at[1]), double(plot.right()));
    if (left <= right)
        painter.fillRect(QRectF(left, plot.top(), right - left + 1, plot.height()), shade);

    painter.setFont(layout.font);
    const QFontMetricsF metrics(layout.font);
    for (std::size_t k = 0; k < at.size(); ++k) {
        const bool active = static_cast<int>(k) == m_activeCursor;
        QPen pen(cursorColor, active ? 2 : 1);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(QPointF(at[k], plot.top()), QPointF(at[k], plot.bottom()));
        // The cursor's number in a tab at the top, on the side with room for it.
        const QString number = QString::number(k + 1);
        const double width = std::ceil(metrics.horizontalAdvance(number)) + 6;
        const double height = std::ceil(metrics.height());
        double x = at[k] + 2;
        if (x + width > plot.right())
            x = at[k] - 1 - width;
        const QRectF tab(x, plot.top(), width, height);
        painter.fillRect(tab, cursorColor);
        painter.setPen(Qt::white);
        painter.drawText(tab, Qt::AlignCenter, number);
    }
    painter.restore();
}

int Chart::cursorAt(const QPoint& position) {
    if (!cursorsDrawn())
        return -1;
    const QRect plot = widgetLayout().plot;
    if (position.y() < plot.top() || position.y() > plot.bottom())
        return -1;
    int found = -1;
    double nearest = cursorReach;
    // The active cursor first: of two cursors on one pixel, the press takes it.
    for (const int k : {m_activeCursor, 1 - m_activeCursor}) {
        const double distance =
            std::abs(m_bottom->valueToPixel(m_cursorSeries->x(cursorPoint(k))) - position.x());
        if (distance < nearest || (found < 0 && distance <= nearest)) {
            found = k;
            nearest = distance;
        }
    }
    return found;
}

void Chart::moveCursorTo(int cursor, int x) {
    if (cursorsDrawn())
        setCursorPoint(cursor, m_cursorSeries->nearestPoint(m_bottom->pixelToValue(x)));
}

void Chart::placeNearerCursor(const QPoint& position) {
    if (!cursorsDrawn() || !widgetLayout().plot.contains(position))
        return;
    const double at = m_bottom->pixelToValue(position.x());
    const auto distance = [&](int cursor) {
        return std::abs(m_cursorSeries->x(cursorPoint(cursor)) - at);
    };
    // A cursor outside the shown range comes first, so that two clicks place both cursors in a
    // zoomed view.
    const auto outside = [&](int cursor) {
        const double x = m_cursorSeries->x(cursorPoint(cursor));
        return x < m_bottom->m_minimum || x > m_bottom->m_maximum;
    };
    const int nearer =
        outside(0) != outside(1) ? (outside(1) ? 1 : 0) : (distance(1) < distance(0) ? 1 : 0);
    setActiveCursor(nearer);
    moveCursorTo(nearer, position.x());
}

void Chart::keyPressEvent(QKeyEvent* event) {
    if (!cursorsDrawn()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int point = cursorPoint(m_activeCursor);
    switch (event->key()) {
    case Qt::Key_Left:
        setCursorPoint(m_activeCursor, std::max(point - 1, 0));
        break;
    case Qt::Key_Right:
        setCursorPoint(m_activeCursor, std::min(point + 1, m_cursorSeries->count() - 1));
        break;
    case Qt::Key_1:
        setActiveCursor(0);
        break;
    case Qt::Key_2:
        setActiveCursor(1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace zarvik
