#pragma once
// Helpers shared by the chart tests: drawing into images and pressing mouse buttons.

#include "chart/chart.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace zarvik::testing {

inline QImage drawn(Chart& chart) {
    QImage image(chart.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    chart.draw(painter, image.rect());
    return image;
}

inline void mouse(QWidget& widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                  Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), widget.mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// Press at `from`, move in a few steps to `to` and release there, holding `button`.
inline void drag(QWidget& widget, QPoint from, QPoint to, Qt::MouseButton button) {
    mouse(widget, QEvent::MouseButtonPress, from, button, button);
    for (int step = 1; step <= 4; ++step)
        mouse(widget, QEvent::MouseMove, from + (to - from) * step / 4, Qt::NoButton, button);
    mouse(widget, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

// The number of pixels in which two images of the same size differ.
inline int differingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

} // namespace zarvik::testing
