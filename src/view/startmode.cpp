#include "view/startmode.h"

#include <QAbstractButton>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>

namespace zarvik {
namespace {

constexpr int kSize = 32; // drawn large, shown at the tool bar's 16 x 16

QPixmap blank() {
    QPixmap p(kSize, kSize);
    p.fill(Qt::transparent);
    return p;
}

} // namespace

StartModeButton::StartModeButton(QAbstractButton* btStartMode, QObject* parent)
    : QObject(parent), m_button(btStartMode) {
    connect(m_button, &QAbstractButton::clicked, this, &StartModeButton::btStartModeClick);
}

void StartModeButton::btStartModeClick() {
    if (StartMode == kByButton) {
        StartMode = kExternal;
        m_button->setIcon(QIcon(imgExRise()));
        m_button->setToolTip(tr("Внешний запуск: после нажатия кнопки ПУСК ИЗМЕРЕНИЯ должна "
                                "сработать схема запуска, подключенная к плате АЦП"));
    } else {
        StartMode = kByButton;
        m_button->setIcon(QIcon(imgPC()));
        m_button->setToolTip(tr("Запуск по нажатию кнопки ПУСК ИЗМЕРЕНИЯ"));
    }
}

void StartModeButton::restore(int stored) {
    // The click flips the mode, so it is handed the opposite of what is wanted: stored - 16,
    // with a negative result taken as 16.
    const std::int64_t opposite = std::int64_t{stored} - kExternal;
    StartMode = opposite < 0 ? kExternal : static_cast<std::int32_t>(opposite);
    btStartModeClick();
}

QPixmap StartModeButton::imgPC() {
    QPixmap pix = blank();
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    // Monitor with a blue screen on a stand, and a keyboard.
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(200, 200, 200));
    p.drawRoundedRect(QRectF(4, 3, 24, 18), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 200));
    p.drawRect(QRectF(7, 6, 18, 12));
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(QRectF(13, 21, 6, 4));
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(5, 25, 22, 5));
    return pix;
}

QPixmap StartModeButton::imgExRise() {
    QPixmap pix = blank();
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    // A low level, a rising edge with an arrow on it, and a high level.
    QPainterPath edge;
    edge.moveTo(2, 26);
    edge.lineTo(13, 26);
    edge.lineTo(19, 6);
    edge.lineTo(30, 6);
    p.setPen(QPen(QColor(200, 0, 0), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(edge);
    QPainterPath arrow;
    arrow.moveTo(16.6, 14.0);
    arrow.lineTo(10.4, 20.9);
    arrow.lineTo(18.0, 23.1);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0));
    p.drawPath(arrow);
    return pix;
}

} // namespace zarvik
