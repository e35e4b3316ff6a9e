#pragma once
// The small widgets the panels of the windows are made of, and the builders that place
// controls on a panel at the design's positions.

#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QStringList>

class QComboBox;
class QPushButton;
class QToolButton;

namespace zarvik {

// A group box whose free area reports clicks (the panels hide each other that way).
class ClickableGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ClickableGroupBox(const QString& title, QWidget* parent = nullptr);
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// A status bar panel that reports clicks.
class StatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget* parent = nullptr);
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A small coloured panel that reports clicks (channel colours).
class ColorPanel : public QWidget {
    Q_OBJECT
public:
    explicit ColorPanel(QWidget* parent = nullptr);
    QColor color() const { return m_color; }
    void setColor(const QColor& c);
signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QColor m_color;
};

// A spin edit that takes any whole number typed or pasted into it and reports it as it
// stands: its handler corrects a value outside the limits and says so, where a plain spin edit
// would refuse the text.
class SpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit SpinEdit(QWidget* parent = nullptr);
    // The number in the text, before the limits; the minimum when the text is none.
    int typedValue() const;
signals:
    // Every change of the text to a number, whether typed or set by the program.
    void typedValueChanged(int value);

protected:
    QValidator::State validate(QString& text, int& pos) const override;

private:
    QString m_reported; // the text last reported
    int m_depth = 0;
};

// The two arrow buttons next to F that step it through powers of two.
class ArrowPair : public QWidget {
    Q_OBJECT
public:
    explicit ArrowPair(QWidget* parent = nullptr);
    QToolButton* up = nullptr;
    QToolButton* down = nullptr;
};

// Builders of panel controls at the design's places: each takes the design's size, or more
// where the font in use needs more for the caption.
namespace panel {

QLabel* label(QWidget* parent, const QString& text, int x, int y, int w = -1, int h = 16);
// A push button's caption keeps a blank's width of air on either side, as on a tool button.
QPushButton* button(QWidget* parent, const QString& name, const QString& caption, int x, int y,
                    int w, int h);
QGroupBox* group(QWidget* parent, const QString& title, int x, int y, int w, int h);
QComboBox* combo(QWidget* parent, const QString& name, const QStringList& items, int x, int y,
                 int w);
QFont boldFont(const QWidget* w);

template <class Edit = QSpinBox>
Edit* spin(QWidget* parent, const QString& name, int min, int max, int value, int x, int y, int w) {
    auto* s = new Edit(parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setValue(value);
    s->setGeometry(x, y, w, 22);
    return s;
}

} // namespace panel

} // namespace zarvik
