#pragma once
// Colours as Windows keeps them in settings and designs: one integer, red in the low byte.

#include <QColor>

namespace zarvik {

inline QColor colorFromWin(quint32 value) {
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

inline quint32 winFromColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<quint32>(rgb.red()) | (static_cast<quint32>(rgb.green()) << 8) |
           (static_cast<quint32>(rgb.blue()) << 16);
}

} // namespace zarvik
