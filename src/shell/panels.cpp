#include "shell/panels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>

namespace zarvik {
namespace {

// The design's width, or wider where the font in use needs more for the caption.
QLabel* label(QWidget* parent, const QString& text, int x, int y, int w = -1, int h = 16) {
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    l->resize(std::max(w, l->sizeHint().width()), h);
    return l;
}

// A push button's caption keeps a blank's width of air on either side, as on a tool button.
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

template <class Edit = QSpinBox>
Edit* spin(QWidget* parent, const QString& name, int min, int max, int value, int x, int y, int w) {
    auto* s = new Edit(parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setValue(value);
    s->setGeometry(x, y, w, 22);
    return s;
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

} // namespace

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

FTPanel::FTPanel(QWidget* parent)
    : ClickableGroupBox(tr("Частота выборки / Время измерения"), parent) {
    setObjectName("gbFT");
    resize(400, 212);
    setAutoFillBackground(true);
    auto* channels = group(this, tr("Отобразить КАНАЛЫ"), 8, 18, 384, 42);
    for (int n = 1; n <= 8; ++n) {
        cbCh[n] = new QCheckBox(QString::number(n), channels);
        cbCh[n]->setObjectName(QString("cbCh%1").arg(n));
        cbCh[n]->setGeometry(12 + (n - 1) * 46, 18, 40, 18);
        cbCh[n]->setChecked(true);
    }
    auto* edits = group(this, QString(), 8, 62, 384, 62);
    label(edits, tr("Fвыборки, Гц"), 8, 6);
    seF = spin<SpinEdit>(edits, "seF", 1, 65535, 2048, 8, 24, 92);
    seF->setToolTip(tr("Частота выборки сигналов"));
    label(edits, "F", 104, 6);
    auto* two = label(edits, "2", 112, 2);
    two->setFont([&] {
        QFont f = two->font();
        f.setPixelSize(9);
        return f;
    }());
    seRoot = new ArrowPair(edits);
    seRoot->setObjectName("seRoot");
    seRoot->setGeometry(104, 23, 20, 24);
    label(edits, tr("Тизмерения, мс"), 132, 6);
    seTime = spin<SpinEdit>(edits, "seTime", 1, 2147483647, 10000, 132, 24, 100);
    seTime->setToolTip(tr("Время измерения"));
    label(edits, tr("Число выборок в серии"), 244, 6);
    seSamples = spin(edits, "seSamples", 30000, 240000, 240000, 244, 24, 130);
    seSamples->setSingleStep(30000);
    seSamples->setToolTip(tr("От 30000 до 240000, шаг изменения 30000"));

    lbErrIn = label(this, QString(), 8, 128, 384);
    lbErrIn->setObjectName("lbErrIn");
    // A palette colour, not a style sheet: the error blink alternates it.
    QPalette errPal = lbErrIn->palette();
    errPal.setColor(QPalette::WindowText, Qt::red);
    lbErrIn->setPalette(errPal);
    lbErrIn->hide();

    btStart = new QPushButton(tr("ПУСК ИЗМЕРЕНИЯ"), this);
    btStart->setObjectName("btStart");
    btStart->setFont(boldFont(btStart));
    btStart->setGeometry(8, 152, 160, 34);

    lbTrueValues = label(this, tr("ИСТИННЫЕ ЗНАЧЕНИЯ:"), 180, 146, 212);
    lbF = label(this, QString(), 180, 162, 212);
    lbT = label(this, QString(), 180, 176, 212);
    lbMinutes = label(this, QString(), 180, 190, 212);
    lbF->setObjectName("lbF");
    lbT->setObjectName("lbT");
    lbMinutes->setObjectName("lbMinutes");
}

OptionsPanel::OptionsPanel(QWidget* parent) : ClickableGroupBox(tr("Опции"), parent) {
    setObjectName("gbOptions");
    resize(392, 212);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x00)); // olive
    setPalette(pal);

    auto* colours = group(this, tr("ЦВЕТ канала"), 8, 18, 376, 46);
    for (int n = 1; n <= 8; ++n) {
        lbColorCh[n] = label(colours, QString::number(n), 8 + (n - 1) * 46, 20, 10);
        lbColorCh[n]->setObjectName(QString("lbColorCh%1").arg(n));
        pColorCh[n] = new ColorPanel(colours);
        pColorCh[n]->setObjectName(QString("pColorCh%1").arg(n));
        pColorCh[n]->setGeometry(20 + (n - 1) * 46, 20, 24, 16);
    }
    auto* units = group(this, tr("Ед.ВРЕМЕНИ"), 8, 68, 110, 50);
    cbTimeunits = combo(units, "cbTimeunits", {tr("мкс"), tr("мс"), tr("с")}, 8, 20, 94);
    auto* store = group(this, tr("csv и txt файлы"), 124, 68, 126, 50);
    cbStoreX = combo(store, "cbStoreX", {tr("не сохранять"), tr("сохранять")}, 8, 20, 110);
    cbStoreX->setCurrentIndex(1);
    auto* help = group(this, tr("HELP - файл"), 256, 68, 128, 68);
    cbHelp = combo(help, "cbHelp", {tr("загружать"), tr("не загружать")}, 8, 20, 112);
    auto* atStart = label(help, tr("при старте приложения"), 8, 42, 116, 24);
    atStart->setWordWrap(true);
    // Two lines of the font in use may be taller than the design's; the box and the range
    // group under it make room.
    atStart->resize(116, std::max(24, atStart->heightForWidth(116)));
    help->resize(help->width(), std::max(help->height(), atStart->geometry().bottom() + 3));

    auto* steps = group(this, tr("Дискретность изменения"), 8, 122, 242, 80);
    label(steps, "F", 10, 24);
    seFstep = spin(steps, "seFstep", 1, 50000, 1, 26, 20, 100);
    label(steps, "T", 10, 50);
    seTstep = spin(steps, "seTstep", 1, 50000, 1, 26, 46, 100);

    rgRefADC = group(this, tr("Диапазон АЦП"), 256, help->geometry().bottom() + 3, 128, 64);
    rgRefADC->setObjectName("rgRefADC");
    rgRefADCItems[0] = new QRadioButton(tr("0...2,5В"), rgRefADC);
    rgRefADCItems[0]->setGeometry(8, 18, 112, 18);
    rgRefADCItems[1] = new QRadioButton(tr("0...5,0В"), rgRefADC);
    rgRefADCItems[1]->setGeometry(8, 38, 112, 18);
    rgRefADCItems[1]->setChecked(true);

    // Each language named in itself, so that an operator who cannot read the other finds it.
    auto* language = group(this, tr("Язык"), 256, rgRefADC->geometry().bottom() + 3, 128, 48);
    cbLanguage =
        combo(language, "cbLanguage",
              {tr("системный"), QStringLiteral("Русский"), QStringLiteral("English")}, 8, 20, 112);
    resize(width(), std::max(height(), language->geometry().bottom() + 11));
}

int OptionsPanel::refAdcIndex() const {
    return rgRefADCItems[0]->isChecked() ? 0 : 1;
}

void OptionsPanel::setRefAdcIndex(int index) {
    rgRefADCItems[index == 0 ? 0 : 1]->setChecked(true);
}

ChartPanel::ChartPanel(QWidget* parent) : ClickableGroupBox(tr("График"), parent) {
    setObjectName("gbChart");
    resize(392, 250);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x80, 0x80)); // teal
    setPalette(pal);

    auto* axes = group(this, tr("Оси графика"), 8, 18, 186, 66);
    label(axes, tr("ось Y:        ось X:"), 8, 18, 170);
    cbShowK = combo(axes, "cbShowK",
                    {tr("ЗНАЧЕНИЯ, ВРЕМЯ"), tr("ед.АЦП,      ВЫБОРКИ"), tr("ЗНАЧЕНИЯ, ВЫБОРКИ"),
                     tr("ед.АЦП,      ВРЕМЯ")},
                    8, 36, 170);
    auto* smooth = group(this, tr("Интегрирование"), 200, 18, 184, 66);
    cbInt = new QCheckBox(tr("выполнить"), smooth);
    cbInt->setObjectName("cbInt");
    cbInt->setGeometry(8, 16, 150, 18);
    // The edit stands after its caption, the unit after the edit, however long the words.
    auto* over = label(smooth, tr("по"), 8, 40);
    seInt = spin(smooth, "seInt", 2, 512, 8, std::max(30, over->geometry().right() + 5), 36, 70);
    label(smooth, tr("точкам"), seInt->geometry().right() + 7, 40);

    auto* zeros = group(this, tr("Нулевые уровни"), 8, 88, 376, 154);
    btZeros = button(zeros, "btZeros", tr("Вычислить для выбранных каналов"), 8, 18, 210, 24);
    cbRestoreParams = new QCheckBox(tr("восстанавливать параметры"), zeros);
    cbRestoreParams->setObjectName("cbRestoreParams");
    cbRestoreParams->setToolTip(
        tr("Восстановить выбранные каналы, Fвыборки, параметры интегрирования..."));
    cbRestoreParams->setGeometry(8, 44, 210, 18);
    cbRestoreParams->setChecked(true);
    Label11 = label(zeros, tr("Смещение в ед.АЦП (данные    для файла scales.scl)"), 8, 64, 360);
    for (int n = 1; n <= 8; ++n) {
        lbCh[n] = label(zeros, tr("Канал %1=0").arg(n), 8 + ((n - 1) / 4) * 110,
                        82 + ((n - 1) % 4) * 16, 104);
        lbCh[n]->setObjectName(QString("lbCh%1").arg(n));
    }
    btSaveZeros = button(zeros, "btSaveZeros", tr("Сохранить в файл scales.scl"), 220, 84, 150, 24);
    btLoadScalesFile =
        button(zeros, "btLoadScalesFile", tr("Загрузить файл scales.scl"), 220, 114, 150, 24);
    // The file buttons stand as one column; where the font widens them, the zero-level group,
    // the smoothing group's right edge and the panel follow.
    const int columnWidth = std::max(btSaveZeros->width(), btLoadScalesFile->width());
    btSaveZeros->resize(columnWidth, btSaveZeros->height());
    btLoadScalesFile->resize(columnWidth, btLoadScalesFile->height());
    zeros->resize(std::max(zeros->width(), btSaveZeros->geometry().right() + 7), zeros->height());
    smooth->resize(zeros->geometry().right() + 1 - smooth->x(), smooth->height());
    resize(zeros->geometry().right() + 9, height());
}

} // namespace zarvik
