#pragma once
// The floating panels of the main window and the little widgets they are built from. They
// only hold controls; the parts of the program that own the behaviour connect to them.

#include <QGroupBox>
#include <QSpinBox>
#include <array>

class QComboBox;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;
class QFrame;

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

// "Частота выборки / Время измерения": channel selection, F, T, sample count, start.
class FTPanel : public ClickableGroupBox {
    Q_OBJECT
public:
    explicit FTPanel(QWidget* parent = nullptr);
    std::array<QCheckBox*, 9> cbCh{}; // cbCh[1..8]
    SpinEdit* seF = nullptr;
    SpinEdit* seTime = nullptr;
    QSpinBox* seSamples = nullptr;
    ArrowPair* seRoot = nullptr;
    QPushButton* btStart = nullptr;
    QLabel* lbErrIn = nullptr;
    QLabel* lbTrueValues = nullptr;
    QLabel* lbF = nullptr;
    QLabel* lbT = nullptr;
    QLabel* lbMinutes = nullptr;
};

// "Опции" (olive): channel colours, time units, export, help, steps, language, converter range.
class OptionsPanel : public ClickableGroupBox {
    Q_OBJECT
public:
    explicit OptionsPanel(QWidget* parent = nullptr);
    std::array<ColorPanel*, 9> pColorCh{}; // pColorCh[1..8]
    std::array<QLabel*, 9> lbColorCh{};
    QComboBox* cbTimeunits = nullptr;
    QComboBox* cbStoreX = nullptr;
    QComboBox* cbHelp = nullptr;
    QComboBox* cbLanguage = nullptr; // system's, Russian, English
    QSpinBox* seFstep = nullptr;
    QSpinBox* seTstep = nullptr;
    QGroupBox* rgRefADC = nullptr;
    std::array<QRadioButton*, 2> rgRefADCItems{};
    int refAdcIndex() const;
    void setRefAdcIndex(int index);
};

// "График" (teal): axis mode, smoothing, zero levels.
class ChartPanel : public ClickableGroupBox {
    Q_OBJECT
public:
    explicit ChartPanel(QWidget* parent = nullptr);
    QComboBox* cbShowK = nullptr;
    QCheckBox* cbInt = nullptr;
    QSpinBox* seInt = nullptr;
    QPushButton* btZeros = nullptr;
    QCheckBox* cbRestoreParams = nullptr;
    QLabel* Label11 = nullptr;
    std::array<QLabel*, 9> lbCh{}; // lbCh[1..8]
    QPushButton* btSaveZeros = nullptr;
    QPushButton* btLoadScalesFile = nullptr;
};

} // namespace zarvik
