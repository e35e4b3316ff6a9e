#include "chart/chartaxis.h"

#include "chart/chart.h"

#include <algorithm>
#include <cmath>

namespace zarvik {

ChartAxis::ChartAxis(Chart& chart, bool horizontal) : m_chart(chart), m_horizontal(horizontal) {}

void ChartAxis::setTitle(const QString& title) {
    m_title = title;
    m_chart.changed();
}

void ChartAxis::setVisible(bool visible) {
    m_visible = visible;
    m_chart.changed();
}

double ChartAxis::minimum() const {
    m_chart.refreshRanges();
    return m_minimum;
}

double ChartAxis::maximum() const {
    m_chart.refreshRanges();
    return m_maximum;
}

void ChartAxis::assignRange(double minimum, double maximum) {
    if (minimum > maximum)
        std::swap(minimum, maximum);
    // An axis of no extent would map every value onto one pixel and no pixel back to a value.
    if (minimum == maximum) {
        const double half = std::max(1.0, std::abs(minimum) * 1e-6);
        minimum -= half;
        maximum += half;
    }
    m_minimum = minimum;
    m_maximum = maximum;
}

void ChartAxis::setRange(double minimum, double maximum) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        return;
    assignRange(minimum, maximum);
    m_automatic = false;
    m_chart.changed();
}

void ChartAxis::setAutomatic(bool automatic) {
    m_automatic = automatic;
    m_chart.changed();
}

void ChartAxis::setShowPointLabels(bool show) {
    m_pointLabels = show;
    m_chart.changed();
}

double ChartAxis::pixelToValue(double pixel) const {
    const QRect plot = m_chart.widgetLayout().plot;
    const double span = m_maximum - m_minimum;
    if (m_horizontal)
        return m_minimum + (pixel - plot.left()) * span / std::max(plot.width() - 1, 1);
    return m_minimum + (plot.bottom() - pixel) * span / std::max(plot.height() - 1, 1);
}

double ChartAxis::valueToPixel(double value) const {
    const QRect plot = m_chart.widgetLayout().plot;
    const double t = (value - m_minimum) / (m_maximum - m_minimum);
    if (m_horizontal)
        return plot.left() + t * std::max(plot.width() - 1, 1);
    return plot.bottom() - t * std::max(plot.height() - 1, 1);
}

QVector<double> ChartAxis::tickValues() const {
    const auto& layout = m_chart.widgetLayout();
    QVector<double> values;
    for (const auto& tick : m_horizontal ? layout.bottomTicks : layout.leftTicks)
        values.append(tick.value);
    return values;
}

QVector<QString> ChartAxis::tickTexts() const {
    const auto& layout = m_chart.widgetLayout();
    QVector<QString> texts;
    for (const auto& tick : m_horizontal ? layout.bottomTicks : layout.leftTicks)
        texts.append(tick.text);
    return texts;
}

} // namespace zarvik
