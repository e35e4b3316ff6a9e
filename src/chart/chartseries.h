#pragma once
// The series a chart draws: plain point stores that tell their chart when they change.

#include "chart/decimation.h"

#include <QColor>
#include <QLineF>
#include <QString>
#include <QVector>

#include <utility>
#include <vector>

class QPainter;

namespace zarvik {

class Chart;

// The smallest rectangle around the finite values of a series; empty while it has none.
struct SeriesBounds {
    double minX = 0.0;
    double maxX = 0.0;
    double minY = 0.0;
    double maxY = 0.0;
    bool empty = true;

    void include(double x, double y);
};

class ChartSeries {
public:
    virtual ~ChartSeries();
    ChartSeries(const ChartSeries&) = delete;
    ChartSeries& operator=(const ChartSeries&) = delete;

    // The text of the series' legend entry.
    QString title() const { return m_title; }
    void setTitle(const QString& title);

    // A series that is not active is neither drawn nor counted in the automatic ranges.
    bool isActive() const { return m_active; }
    void setActive(bool active);

    // A series may follow others: it is drawn, and counted in the automatic ranges, only while
    // each of them is active too (a line laid over another that goes when that one is hidden,
    // lines that share one legend entry). The chart forgets a followed series it removes.
    void setFollowed(std::vector<const ChartSeries*> series);
    // Active, and so is every series it follows.
    bool isShown() const;

    // Whether the legend has an entry for the series; true unless set otherwise.
    bool isInLegend() const { return m_inLegend; }
    void setInLegend(bool inLegend);

    QColor seriesColor() const { return m_color; }
    void setSeriesColor(const QColor& color);

    virtual void clear() = 0;
    virtual int count() const = 0;

protected:
    ChartSeries(Chart& chart, const QString& title, const QColor& color);
    void changed();

    // What a series needs to draw itself: the painter, already in device pixels and clipped to
    // the plot, the maps of both axes into device pixels, the bottom axis's range and the line
    // width in device pixels.
    struct Canvas {
        QPainter& painter;
        const PixelMap& xMap;
        const PixelMap& yMap;
        double minX;
        double maxX;
        int lineWidth;
    };

private:
    friend class Chart;
    virtual SeriesBounds bounds() const = 0;
    virtual void draw(const Canvas& canvas) = 0;
    // The labelled positions the bottom axis can show instead of numbers, in index order.
    virtual bool hasLabels() const = 0;
    virtual double labelX(int i) const = 0;
    virtual QString labelText(int i) const = 0;
    // First and last index whose label position lies in minX..maxX, or -1 and -1.
    virtual std::pair<int, int> labelRange(double minX, double maxX) const = 0;

    Chart& m_chart;
    QString m_title;
    QColor m_color;
    bool m_active = true;
    bool m_inLegend = true;
    std::vector<const ChartSeries*> m_followed;
};

// A line through points appended in ascending x order, as a measurement channel or a spectrum
// envelope is. The values are held in two contiguous arrays, or, for evenly spaced points (a
// measurement channel), the y values in one and the x values as their rule; label texts and
// point colours take room only once a point brings one.
class LineSeries final : public ChartSeries {
public:
    void clear() override;
    int count() const override { return static_cast<int>(m_y.size()); }

    // An invalid colour (the default) stands for the series' own colour.
    void append(double x, double y, const QString& label = QString(), const QColor& color = {});
    // Many points without labels or colours at once, e.g. a whole channel.
    void append(const double* xs, const double* ys, int n);
    // Replaces all points by points evenly spaced along x, with the given y values and without
    // labels or colours, without copying the values: the series takes their storage and hands
    // its old storage back in `ys`, for the caller to fill next time.
    void assign(const EvenX& x, std::vector<double>& ys);
    void reserve(int n);

    double x(int i) const { return m_even ? m_evenX(i) : m_x[static_cast<size_t>(i)]; }
    double y(int i) const { return m_y[static_cast<size_t>(i)]; }
    // The y values of all points, in order.
    const double* yValues() const { return m_y.data(); }
    QString label(int i) const;
    // The colour point i was appended with, or the series' colour.
    QColor color(int i) const;

    // The first and the last point whose x lay within the bottom axis's range at the last
    // drawing; -1 and -1 when none did or when the series was not drawn since it was cleared.
    int firstVisible() const { return m_firstVisible; }
    int lastVisible() const { return m_lastVisible; }

    // The first and the last point whose x lies within minX..maxX, or -1 and -1.
    std::pair<int, int> pointsBetween(double minX, double maxX) const;
    // The point whose x is nearest to `x` (the first of two as near), or -1 without points.
    int nearestPoint(double x) const;

    // A dashed line is drawn in stretches of pixel columns with gaps between them, the same
    // however many points a column holds.
    bool isDashed() const { return m_dashed; }
    void setDashed(bool dashed);

private:
    friend class Chart;
    LineSeries(Chart& chart, const QString& title, const QColor& color);

    SeriesBounds bounds() const override { return m_bounds; }
    void draw(const Canvas& canvas) override;
    bool hasLabels() const override { return !m_labels.empty(); }
    double labelX(int i) const override { return x(i); }
    QString labelText(int i) const override { return label(i); }
    std::pair<int, int> labelRange(double minX, double maxX) const override;
    // Everything known about the points besides their values, back to "no points".
    void forgetPoints();
    // Evenly spaced points take an array of their x values, e.g. before a point is appended.
    void keepX();
    void noteAppended(double x, double y);
    // Order, finiteness, bounds and block summaries of points start..end-1 appended in bulk.
    void noteBulk(size_t start);
    // Calls f with the x values as StoredX or EvenX.
    template <typename F> auto withX(F f) const;
    template <typename X>
    std::pair<int, int> indexRange(const X& x, double minX, double maxX) const;
    template <typename X> void drawWith(const X& x, const Canvas& canvas);

    // x values, unless the points are evenly spaced: then m_evenX gives them.
    std::vector<double> m_x;
    std::vector<double> m_y;
    EvenX m_evenX;
    bool m_even = false;
    YBlocks m_yBlocks;
    std::vector<QString> m_labels;
    std::vector<QColor> m_colors;
    SeriesBounds m_bounds;
    // Points out of x order or with a y that is not a number cannot take the short drawing.
    bool m_ordered = true;
    bool m_allFinite = true;
    bool m_dashed = false;
    int m_firstVisible = -1;
    int m_lastVisible = -1;
    // Kept between drawings so that a repaint does not allocate.
    QVector<QLineF> m_lines;
    QVector<QLineF> m_dashes;
};

// Arrows from (x0, y0) to (x1, y1), each with a small rectangular head at its end, e.g. the
// lines of an amplitude spectrum.
class ArrowSeries final : public ChartSeries {
public:
    void clear() override;
    int count() const override { return static_cast<int>(m_arrows.size()); }

    // An invalid colour (the default) stands for the series' own colour.
    void append(double x0, double y0, double x1, double y1, const QString& label = QString(),
                const QColor& color = {});

    double startX(int i) const { return arrow(i).x0; }
    double startY(int i) const { return arrow(i).y0; }
    double endX(int i) const { return arrow(i).x1; }
    double endY(int i) const { return arrow(i).y1; }
    QString label(int i) const;
    QColor color(int i) const;

    // Size of the heads in pixels.
    int headWidth() const { return m_headWidth; }
    int headHeight() const { return m_headHeight; }
    void setHeadSize(int width, int height);

private:
    friend class Chart;
    ArrowSeries(Chart& chart, const QString& title, const QColor& color);

    struct Arrow {
        double x0, y0, x1, y1;
    };
    const Arrow& arrow(int i) const { return m_arrows[static_cast<size_t>(i)]; }

    SeriesBounds bounds() const override { return m_bounds; }
    void draw(const Canvas& canvas) override;
    bool hasLabels() const override { return !m_labels.empty(); }
    double labelX(int i) const override { return arrow(i).x0; }
    QString labelText(int i) const override { return label(i); }
    std::pair<int, int> labelRange(double minX, double maxX) const override;

    std::vector<Arrow> m_arrows;
    std::vector<QString> m_labels;
    std::vector<QColor> m_colors;
    SeriesBounds m_bounds;
    int m_headWidth = 5;
    int m_headHeight = 5;
};

} // namespace zarvik
