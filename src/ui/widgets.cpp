#include "ui/widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>

namespace zarvik {

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent) {
    // A value set by the program, or typed within the limits, comes as a change of the value;
    // text the limits would cut comes only as a change of the text.
    connect(this, &QSpinBox::valueChanged, this, [this] {
        // A handler that corrects the value changes it again from inside; the text being
        // reported stays the one that came.
        if (m_depth == 0)
            m_reported = cleanText();
        ++m_depth;
        emit typedValueChanged(typedValue());
        --m_depth;
    });
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString& text) {
        bool number = false;
        const int typed = text.trimmed().toInt(&number);
        if (!number || text.trimmed() == m_reported)
            return;
        m_reported = text.trimmed();
        emit typedValueChanged(typed);
    });
}

int SpinEdit::typedValue() const {
    bool number = false;
    const int typed = cleanText().toInt(&number);
    return number ? typed : minimum();
}

QValidator::State SpinEdit::validate(QString& text, int& /*pos*/) const {
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return QValidator::Intermediate;
    bool number = false;
    digits.toInt(&number);
    return number && !digits.startsWith('-') && !digits.startsWith('+') ? QValidator::Acceptable
                                                                        : QValidator::Invalid;
}

ArrowPair::ArrowPair(QWidget* parent) : QWidget(parent) {
    up = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    up->setGeometry(0, 0, 20, 12);
    down = new QToolButton(this);
    down->setArrowType(Qt::DownArrow);
    down->setGeometry(0, 12, 20, 12);
}

ClickableGroupBox::ClickableGroupBox(const QString& title, QWidget* parent)
    : QGroupBox(title, parent) {}

void ClickableGroupBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && childAt(event->position().toPoint()) == nullptr)
        emit clicked();
    event->accept();
}

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent) {}

void StatusPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

ColorPanel::ColorPanel(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ColorPanel::setColor(const QColor& c) {
    m_color = c;
    update();
}

void ColorPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_color);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColorPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

namespace panel {

QLabel* label(QWidget* parent, const QString& text, int x, int y, int w, int h) {
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    l->resize(std::max(w, l->sizeHint().width()), h);
    return l;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, int x, int y,
                    int w, int h) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    const int air = 2 * QFontMetrics(b->font()).horizontalAdvance(QLatin1Char(' '));
    b->setGeometry(x, y, std::max(w, b->sizeHint().width() + air), h);
    return b;
}

QGroupBox* group(QWidget* parent, const QString& title, int x, int y, int w, int h) {
    auto* g = new QGroupBox(title, parent);
    g->setGeometry(x, y, w, h);
    return g;
}

QComboBox* combo(QWidget* parent, const QString& name, const QStringList& items, int x, int y,
                 int w) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems(items);
    c->setGeometry(x, y, w, 22);
    return c;
}

QFont boldFont(const QWidget* w) {
    QFont f = w->font();
    f.setBold(true);
    return f;
}

} // namespace panel

} // namespace zarvik
