#include "chart/chartpicture.h"

#include "chart/chart.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSvgGenerator>

namespace zarvik {
namespace {

// Gives the chart another background for one drawing; the old colour comes back even when
// the drawing fails.
class BackgroundOverride {
public:
    BackgroundOverride(Chart& chart, const QColor& color)
        : m_chart(chart), m_saved(chart.backgroundColor()) {
        m_chart.setBackgroundColor(color);
    }
    ~BackgroundOverride() { m_chart.setBackgroundColor(m_saved); }
    BackgroundOverride(const BackgroundOverride&) = delete;
    BackgroundOverride& operator=(const BackgroundOverride&) = delete;

private:
    Chart& m_chart;
    QColor m_saved;
};

} // namespace

QMimeData* chartPictureOnWhite(Chart& chart, const QString& title) {
    const QSize size = chart.rect().size().expandedTo(QSize(1, 1));
    const QRect whole(QPoint(0, 0), size);
    QBuffer svg;
    QImage png(size, QImage::Format_RGB32);
    {
        BackgroundOverride white(chart, Qt::white);
        svg.open(QIODevice::WriteOnly);
        QSvgGenerator generator;
        generator.setOutputDevice(&svg);
        generator.setSize(size);
        generator.setViewBox(whole);
        generator.setTitle(title);
        QPainter toSvg(&generator);
        chart.draw(toSvg, whole);
        toSvg.end();

        png.fill(Qt::white);
        QPainter toPng(&png);
        chart.draw(toPng, whole);
    }
    auto* mime = new QMimeData;
    mime->setData("image/svg+xml", svg.data());
    mime->setImageData(png);
    return mime;
}

} // namespace zarvik
