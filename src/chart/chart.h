#pragma once
// A chart widget for long measured series: line and arrow series over a bottom and a left
// axis, a legend that shows and hides series, zoom and scroll with the mouse, and drawing
// into any painter (screen, printer, picture) by the same code.

#include "chart/chartaxis.h"
#include "chart/chartseries.h"

#include <QFont>
#include <QMargins>
#include <QPoint>
#include <QRectF>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

namespace zarvik {

class Chart : public QWidget {
    Q_OBJECT

public:
    explicit Chart(QWidget* parent = nullptr);
    ~Chart() override;

    // The chart owns its series; they live as long as it does.
    LineSeries* addLineSeries(const QString& title = QString(), const QColor& color = Qt::red);
    ArrowSeries* addArrowSeries(const QString& title = QString(), const QColor& color = Qt::red);
    int seriesCount() const { return static_cast<int>(m_series.size()); }
    ChartSeries* series(int index) const { return m_series[static_cast<size_t>(index)].get(); }
    // Deletes a series of this chart; the series that followed it no longer do.
    void removeSeries(ChartSeries* series);

    ChartAxis* bottomAxis() const { return m_bottom.get(); }
    ChartAxis* leftAxis() const { return m_left.get(); }

    QColor backgroundColor() const { return m_background; }
    void setBackgroundColor(const QColor& color);

    bool isLegendVisible() const { return m_legendVisible; }
    void setLegendVisible(bool visible);
    QColor legendColor() const { return m_legendColor; }
    void setLegendColor(const QColor& color);

    // Room left free between the widget's edges and what the chart draws.
    QMargins margins() const { return m_margins; }
    void setMargins(const QMargins& margins);

    // True while either axis keeps a range of its own instead of fitting the points.
    bool isZoomed() const;
    // Zooms into the part of the plot inside `rect` (widget pixels), as a drag does.
    void zoomToPixels(const QRect& rect);
    // Both axes fit all points again.
    void undoZoom();
    // Moves the visible ranges so that the picture follows the mouse by `delta` pixels.
    void scrollByPixels(const QPoint& delta);

    // Two vertical cursors that stand on points of one line series, for reading values off the
    // chart. With the cursors shown, a drag that starts on a cursor's line moves it, a click
    // (a press and release without a drag) moves the cursor nearer to it there (a cursor
    // outside the bottom axis's range first), and the arrow keys step the active cursor (the
    // one last moved; keys 1 and 2 choose it) point by point; every other gesture zooms and
    // scrolls as without them. A cursor keeps its point through
    // zooms and new points of the series, pulled in to the last point of a shorter series.
    // Cursors without a point take one at a third and at two thirds of the bottom axis's range
    // when the chart is next drawn.
    void setCursorSeries(const LineSeries* series);
    const LineSeries* cursorSeries() const { return m_cursorSeries; }
    bool cursorsShown() const { return m_cursorsShown; }
    void setCursorsShown(bool shown);
    // The point cursor 0 or 1 stands on, or -1 while it has none.
    int cursorPoint(int cursor) const { return m_cursorPoints[cursorIndex(cursor)]; }
    void setCursorPoint(int cursor, int point);
    int activeCursor() const { return m_activeCursor; }
    void setActiveCursor(int cursor);
    // Both cursors give up their points.
    void clearCursors();

    // Draws the chart into `target` of any painter. Sizes are kept as on the screen (96 dots
    // per inch), scaled to the device's resolution, so a print looks like the screen.
    void draw(QPainter& painter, const QRect& target);

    QSize sizeHint() const override { return {600, 400}; }
    QSize minimumSizeHint() const override { return {120, 90}; }

signals:
    // After every drawing, on the screen or into another device; the series' visible ranges
    // are then up to date.
    void afterDraw();
    // The pointer moved over the chart, at (x, y) in widget pixels.
    void mouseMoved(int x, int y);
    // The right button was pressed and released without a scroll in between.
    void rightClicked(const QPoint& position);
    // A cursor took another point, or was shown or hidden.
    void cursorsMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class ChartAxis;
    friend class ChartSeries;

    struct Tick {
        double value;
        QString text;
    };
    struct LegendEntry {
        ChartSeries* series;
        QRectF box;
        QRectF text;
    };
    // Where everything goes, in the logical pixels of one drawing.
    struct Layout {
        QFont font;
        QRectF bounds;
        QRectF area;
        QRect plot;
        QVector<Tick> leftTicks;
        QVector<Tick> bottomTicks;
        QRectF legend;
        QVector<LegendEntry> legendEntries;
    };
    enum class Drag { None, Zoom, Scroll, Cursor };

    void changed();
    void refreshRanges();
    QFont drawingFont() const;
    Layout computeLayout(const QSizeF& size, const QFont& font);
    void layoutLegend(Layout& layout) const;
    QVector<Tick> numberTicks(const ChartAxis& axis, double length, double spacing,
                              const QFont& font) const;
    QVector<Tick> labelTicks(double length, const QFont& font) const;
    const Layout& widgetLayout();
    void paintChart(QPainter& painter, const Layout& layout);
    void paintSeries(QPainter& painter, const Layout& layout);
    void paintAxes(QPainter& painter, const Layout& layout) const;
    void paintLegend(QPainter& painter, const Layout& layout) const;
    template <typename T> T* adopt(std::unique_ptr<T> series);

    // The cursors (chartcursors.cpp).
    static std::size_t cursorIndex(int cursor) { return cursor == 1 ? 1 : 0; }
    bool cursorsDrawn() const;
    // Gives cursors without a point their points and pulls in those beyond the last one.
    void settleCursors();
    void paintCursors(QPainter& painter, const Layout& layout) const;
    // The cursor whose line is within reach of widget pixel `x`, or -1.
    int cursorAt(const QPoint& position);
    // Moves the cursor to the point nearest to widget pixel column `x`.
    void moveCursorTo(int cursor, int x);
    // A click on the plot: the cursor nearer to it, or the one outside the shown range, moves
    // there and becomes the active one.
    void placeNearerCursor(const QPoint& position);

    std::vector<std::unique_ptr<ChartSeries>> m_series;
    std::unique_ptr<ChartAxis> m_bottom;
    std::unique_ptr<ChartAxis> m_left;
    QColor m_background = Qt::white;
    QColor m_legendColor = Qt::white;
    bool m_legendVisible = true;
    QMargins m_margins;

    Layout m_layout;
    bool m_layoutValid = false;
    bool m_repaintPending = false;

    Drag m_drag = Drag::None;
    QPoint m_dragStart;
    QPoint m_dragLast;
    bool m_scrolled = false;

    const LineSeries* m_cursorSeries = nullptr;
    bool m_cursorsShown = false;
    std::array<int, 2> m_cursorPoints{-1, -1};
    int m_activeCursor = 0;
    int m_draggedCursor = -1;
};

} // namespace zarvik
