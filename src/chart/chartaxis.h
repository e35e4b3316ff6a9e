#pragma once
// One axis of a chart: its range, title, marks and the map between its values and pixels.

#include <QString>
#include <QVector>

namespace zarvik {

class Chart;

class ChartAxis {
public:
    ChartAxis(const ChartAxis&) = delete;
    ChartAxis& operator=(const ChartAxis&) = delete;

    QString title() const { return m_title; }
    void setTitle(const QString& title);

    // A hidden axis draws neither marks, labels nor title, and leaves their room to the plot.
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);

    // The current range. While the axis is automatic it fits all points of the active series,
    // and reading it brings it up to date with the latest change.
    double minimum() const;
    double maximum() const;
    // Fixes the range (a zoom or scroll does this); the axis stops being automatic.
    void setRange(double minimum, double maximum);
    bool isAutomatic() const { return m_automatic; }
    void setAutomatic(bool automatic);

    // Between a value and a pixel coordinate of the chart widget along this axis (x for the
    // bottom axis, y for the left one), as the widget currently lays the chart out.
    double pixelToValue(double pixel) const;
    double valueToPixel(double value) const;

    // The bottom axis can write the label texts of the points instead of numbers.
    bool showsPointLabels() const { return m_pointLabels; }
    void setShowPointLabels(bool show);

    // The values the widget currently marks and labels on this axis.
    QVector<double> tickValues() const;
    QVector<QString> tickTexts() const;

private:
    friend class Chart;
    ChartAxis(Chart& chart, bool horizontal);
    // The range without bringing it up to date first (for the chart's own drawing).
    void assignRange(double minimum, double maximum);

    Chart& m_chart;
    bool m_horizontal;
    QString m_title;
    bool m_visible = true;
    bool m_automatic = true;
    bool m_pointLabels = false;
    double m_minimum = 0.0;
    double m_maximum = 1.0;
};

} // namespace zarvik
