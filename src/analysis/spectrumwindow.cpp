#include "analysis/spectrumwindow.h"

#include "analysis/spectrum.h"
#include "analysis/trend.h"
#include "analysis/windowfunctions.h"
#include "chart/chart.h"
#include "chart/chartpicture.h"
#include "chart/wincolor.h"
#include "ui/help.h"
#include "ui/language.h"
#include "ui/operatormessages.h"
#include "ui/systemlocale.h"
#include "ui/windowframe.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>
#include <utility>

namespace zarvik {
namespace {

constexpr int kDesignWidth = 694;
constexpr int kDesignHeight = 604;
constexpr int kSpectrumBufferValues = 32769;

const QColor kRed = colorFromWin(255);
const QColor kGreen = colorFromWin(0x008000);

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// The window functions' names in cbWindow, in the order of kWindowFunctions.
const char* const kWindowCaptions[] = {QT_TRANSLATE_NOOP("zarvik::TForm2", "Без окна"),
                                       QT_TRANSLATE_NOOP("zarvik::TForm2", "Окно Ханна"),
                                       QT_TRANSLATE_NOOP("zarvik::TForm2", "Окно Хэмминга"),
                                       QT_TRANSLATE_NOOP("zarvik::TForm2", "Окно Блэкмана"),
                                       QT_TRANSLATE_NOOP("zarvik::TForm2", "Плоская вершина")};

// A figure of the applied options, to four significant digits.
QString figure(double value) {
    return QString::number(value, 'g', 4).replace('.', QChar(localeDecimalSeparator()));
}

// Controls one above the other (QVBoxLayout) or side by side (QHBoxLayout), as one box of the
// row.
template <typename Layout>
QWidget* stacked(QWidget* parent, std::initializer_list<QWidget*> controls, int spacing = 2) {
    auto* box = new QWidget(parent);
    auto* layout = new Layout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* w : controls)
        layout->addWidget(w);
    return box;
}

} // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName("Form2");
    setWindowTitle(tr("Спектр/Тренд сигнала"));
    // The design's small dialog font, as on the main window.
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    resize(kDesignWidth - kFrameWidth, kDesignHeight - kFrameHeight);
    buildControls();
    buildCharts();
    setHelpTopics();
    FormCreate();
}

TForm2::~TForm2() = default;

void TForm2::buildControls() {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);

    btSaveCh = new QToolButton(this);
    setHelpContext(btSaveCh, 8);
    btSaveCh->setObjectName("btSaveCh");
    btSaveCh->setToolTip(tr("Копировать график в формате Windows MetaFile в буфер обмена"));
    btSaveCh->setIcon(QIcon(style()->standardPixmap(QStyle::SP_DialogSaveButton)));
    btSaveCh->setFixedSize(25, 25);
    row->addWidget(btSaveCh, 0, Qt::AlignBottom);

    lbStep = new QLabel(tr("Шаг выборки:"), this);
    seStep = new QSpinBox(this);
    seStep->setObjectName("seStep");
    seStep->setRange(1, 32);
    seStep->setValue(1);
    row->addWidget(stacked<QVBoxLayout>(this, {lbStep, seStep}), 0, Qt::AlignBottom);

    lbFmax = new QLabel(tr("Fmax,Гц"), this);
    seFmax = new QSpinBox(this);
    seFmax->setObjectName("seFmax");
    seFmax->setRange(1, 500);
    seFmax->setValue(35);
    row->addWidget(stacked<QVBoxLayout>(this, {lbFmax, seFmax}), 0, Qt::AlignBottom);

    rgSpEnv = new QGroupBox(this);
    rgSpEnv->setObjectName("rgSpEnv");
    auto* items = new QHBoxLayout(rgSpEnv);
    items->setContentsMargins(6, 2, 6, 2);
    auto* group = new QButtonGroup(rgSpEnv);
    const std::array<const char*, 2> captions = {QT_TR_NOOP("Огибающая"), QT_TR_NOOP("Спектр")};
    for (int i = 0; i < 2; ++i) {
        rgSpEnvItems[i] = new QRadioButton(tr(captions[i]), rgSpEnv);
        group->addButton(rgSpEnvItems[i], i);
        items->addWidget(rgSpEnvItems[i]);
    }
    rgSpEnvItems[0]->setChecked(true);
    row->addWidget(rgSpEnv, 0, Qt::AlignBottom);

    // The window function over the averaging and the decibels, in one column.
    cbWindow = new QComboBox(this);
    cbWindow->setObjectName("cbWindow");
    cbWindow->setToolTip(tr("Оконная функция; амплитуды поделены на её когерентное усиление"));
    for (const char* caption : kWindowCaptions)
        cbWindow->addItem(tr(caption));
    seAverage = new QSpinBox(this);
    seAverage->setObjectName("seAverage");
    seAverage->setToolTip(tr("Число сегментов с перекрытием наполовину, по которым усредняется "
                             "спектр (среднее квадратичное)"));
    seAverage->setSuffix(tr(" сегм."));
    seAverage->setRange(1, kSpectrumMaxSegments);
    seAverage->setValue(1);
    cbDecibels = new QCheckBox(tr("дБ"), this);
    cbDecibels->setObjectName("cbDecibels");
    cbDecibels->setToolTip(tr("Амплитуды в децибелах относительно единицы оси Y"));
    row->addWidget(stacked<QVBoxLayout>(
                       this, {cbWindow, stacked<QHBoxLayout>(this, {seAverage, cbDecibels}, 8)}),
                   0, Qt::AlignBottom);

    btSpGo = new QPushButton(tr("Спектр"), this);
    btSpGo->setObjectName("btSpGo");
    btTr = new QPushButton(tr("Тренд"), this);
    btTr->setObjectName("btTr");
    // One above the other, no wider than their captions need: the row holds three more
    // controls than it was made for.
    for (QPushButton* b : {btSpGo, btTr})
        b->setMaximumWidth(std::max(btSpGo->fontMetrics().horizontalAdvance(btSpGo->text()),
                                    btTr->fontMetrics().horizontalAdvance(btTr->text())) +
                           24);
    row->addWidget(stacked<QVBoxLayout>(this, {btSpGo, btTr}), 0, Qt::AlignBottom);

    cbSp2ClipBrd = new QCheckBox(tr("СПЕКТР в буфер"), this);
    cbSp2ClipBrd->setObjectName("cbSp2ClipBrd");
    lbSpectrumMax = new QLabel(this);
    lbSpectrumMax->setObjectName("lbSpectrumMax");
    QFont bold = lbSpectrumMax->font();
    bold.setBold(true);
    lbSpectrumMax->setFont(bold);
    row->addWidget(stacked<QVBoxLayout>(this, {cbSp2ClipBrd, lbSpectrumMax}), 1, Qt::AlignBottom);

    // Never shown: its click is the listing that the main window's spectrum command runs once
    // it has set the request.
    btSpectrum = new QPushButton(tr("Спектр"), this);
    setHelpContext(btSpectrum, 4);
    btSpectrum->setObjectName("btSpectrum");
    btSpectrum->hide();

    m_controlRow = new QWidget(this);
    m_controlRow->setObjectName("controlRow");
    m_controlRow->setLayout(row);

    connect(seStep, &QSpinBox::valueChanged, this, &TForm2::seStepChange);
    connect(btSaveCh, &QToolButton::clicked, this, &TForm2::btSaveChClick);
    connect(btSpGo, &QPushButton::clicked, this, [this] {
        if (spectrumCommand)
            spectrumCommand();
    });
    connect(btTr, &QPushButton::clicked, this, &TForm2::btTrClick);
    connect(btSpectrum, &QPushButton::clicked, this, &TForm2::btSpectrumClick);
}

void TForm2::buildCharts() {
    Chart1 = new Chart(this);
    Chart1->setObjectName("Chart1");
    Chart1->bottomAxis()->setTitle(tr("ГЕРЦЫ"));
    Chart1->leftAxis()->setTitle(tr("Амплитуда"));
    // The points' x are bin numbers; their labels read in hertz.
    Chart1->bottomAxis()->setShowPointLabels(true);
    Chart1->setLegendVisible(false);
    SpectArrows = Chart1->addArrowSeries(QString(), kRed);
    SpectArrows->setHeadSize(1, 1);
    Envelope = Chart1->addLineSeries(QString(), kGreen);

    Chart2 = new Chart(this);
    Chart2->setObjectName("Chart2");
    Chart2->leftAxis()->setTitle(tr("Тренд"));
    // The points' x are sample numbers; their labels read in milliseconds.
    Chart2->bottomAxis()->setShowPointLabels(true);
    Chart2->setLegendVisible(false);
    seriLn = Chart2->addLineSeries(QString(), kGreen);
    seriTrend = Chart2->addLineSeries(QString(), kRed);
    Chart2->hide();
}

void TForm2::setHelpTopics() {
    // The window's free area and the controls without a place of their own tell of the whole
    // window.
    setHelpTopic(this, "Idh_Spectrum");
    const std::pair<QWidget*, const char*> topics[] = {
        {btSaveCh, "Idh_Copy#btSaveCh"},
        {seStep, "Idh_Spectrum#seStep"},
        {seFmax, "Idh_Spectrum#seFmax"},
        {rgSpEnv, "Idh_Spectrum#rgSpEnv"},
        {cbWindow, "Idh_Spectrum#cbWindow"},
        {seAverage, "Idh_Spectrum#seAverage"},
        {cbDecibels, "Idh_Spectrum#cbDecibels"},
        {btSpGo, "Idh_Spectrum#btSpGo"},
        {btTr, "Idh_Spectrum#btTr"},
        {cbSp2ClipBrd, "Idh_Spectrum#cbSp2ClipBrd"},
        {Chart1, "Idh_Spectrum#Chart1"},
        {Chart2, "Idh_Spectrum#Chart2"},
    };
    for (const auto& [widget, topic] : topics)
        setHelpTopic(widget, topic);
    // A click on a chart takes the focus, so that F1 then tells of the chart.
    Chart1->setFocusPolicy(Qt::ClickFocus);
    Chart2->setFocusPolicy(Qt::ClickFocus);
}

void TForm2::FormCreate() {
    m_previousStep = seStep->value();
    // The settings of a file without the window's keys, until the stored ones come.
    applySettings(SpectrumSettings());
    m_spectrum.assign(kSpectrumBufferValues, 0.0);
}

void TForm2::applySettings(const SpectrumSettings& s) {
    setWindowBounds(s.height, s.width, s.left, s.top);
    // The step edit runs its doubling rule on the stored value, as on a change by hand.
    seStep->setValue(s.step);
    seFmax->setValue(s.fmax);
    setSpectrumType(s.spectrumType);
    cbSp2ClipBrd->setChecked(s.spectrumSave);
    // A name the list does not know shows as no window, and stays in the file until changed.
    setWindowFunction(windowFromName(s.window.value_or("")).value_or(WindowFunction::Rect));
    seAverage->setValue(s.average.value_or(1));
    cbDecibels->setChecked(s.decibels.value_or(false));
    m_stored = s;
    FormResize();
}

void TForm2::FormClose() {
    const SpectrumSettings s = settings();
    if (saveSettings && saveSettings(s))
        m_stored = s;
}

SpectrumSettings TForm2::settings() const {
    SpectrumSettings s;
    s.height = windowHeight();
    s.width = windowWidth();
    s.left = x();
    s.top = y();
    s.step = seStep->value();
    s.fmax = seFmax->value();
    s.spectrumType = spectrumType();
    s.spectrumSave = cbSp2ClipBrd->isChecked();
    // The keys of the options are written once the file has them or the controls leave their
    // defaults, so that a file of before stays as it was.
    const WindowFunction window = windowFunction();
    const bool storedWindowShown =
        windowFromName(m_stored.window.value_or("")).value_or(WindowFunction::Rect) == window;
    if (m_stored.window && storedWindowShown)
        s.window = m_stored.window;
    else if (m_stored.window || window != WindowFunction::Rect)
        s.window = windowName(window);
    if (m_stored.average || seAverage->value() != 1)
        s.average = seAverage->value();
    if (m_stored.decibels || cbDecibels->isChecked())
        s.decibels = cbDecibels->isChecked();
    return s;
}

int TForm2::windowHeight() const {
    return height() + kFrameHeight;
}

int TForm2::windowWidth() const {
    return width() + kFrameWidth;
}

void TForm2::setWindowBounds(int height, int width, int left, int top) {
    resize(width - kFrameWidth, height - kFrameHeight);
    move(left, top);
    // A hidden window gets its resize event only when shown; the charts follow at once.
    FormResize();
}

void TForm2::FormResize() {
    // The margins are taken from the inner area: counted from the outer size they would make
    // the charts wider than the window.
    const int chartWidth = std::max(width() - ChartWidthMargin, 1);
    const int chartHeight = std::max(height() - ChartHeightMargin, 1);
    const int left = ChartWidthMargin / 2;
    const int top = height() - chartHeight - left;
    m_controlRow->setGeometry(left, 2, chartWidth, top - 4);
    Chart1->setGeometry(left, top, chartWidth, chartHeight);
    Chart2->setGeometry(left, top, chartWidth, chartHeight);
}

int TForm2::spectrumType() const {
    return rgSpEnvItems[1]->isChecked() ? 1 : 0;
}

void TForm2::setSpectrumType(int index) {
    // A stored index past the list selects its last item, one below it the first.
    rgSpEnvItems[index >= 1 ? 1 : 0]->setChecked(true);
}

WindowFunction TForm2::windowFunction() const {
    const int index = std::max(cbWindow->currentIndex(), 0);
    return kWindowFunctions[index];
}

void TForm2::setWindowFunction(WindowFunction window) {
    const auto* found = std::find(std::begin(kWindowFunctions), std::end(kWindowFunctions), window);
    cbWindow->setCurrentIndex(static_cast<int>(found - std::begin(kWindowFunctions)));
}

void TForm2::setSpectrumOptionsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{lbFmax, seFmax, rgSpEnv, cbWindow, seAverage,
                                                      cbDecibels, cbSp2ClipBrd})
        w->setEnabled(enabled);
}

void TForm2::showApplied(const SpectrumApplied* applied) {
    Chart1->leftAxis()->setTitle(applied && applied->decibels ? tr("Амплитуда, дБ")
                                                              : tr("Амплитуда"));
    if (!applied) {
        Chart1->bottomAxis()->setTitle(tr("ГЕРЦЫ"));
        return;
    }
    // Under the frequencies, so that a copy of the chart tells what was applied too.
    const auto window =
        std::find(std::begin(kWindowFunctions), std::end(kWindowFunctions), applied->window);
    Chart1->bottomAxis()->setTitle(
        tr("ГЕРЦЫ") + QStringLiteral(" \u2014 ") +
        tr("%1: КУ %2; ЭШП %3 бин = %4 Гц; %5 сегм. × %6 отсч.; Δf %7 Гц")
            .arg(tr(kWindowCaptions[window - std::begin(kWindowFunctions)]),
                 figure(applied->figures.coherentGain), figure(applied->figures.noiseBandwidthBins),
                 figure(applied->noiseBandwidthHz))
            .arg(applied->segments)
            .arg(applied->segmentPoints)
            .arg(figure(applied->binWidthHz)));
}

void TForm2::showSpectrumChart() {
    Chart2->hide();
    Chart1->show();
    setSpectrumOptionsEnabled(true);
}

void TForm2::showTrendChart() {
    Chart1->hide();
    Chart2->show();
    setSpectrumOptionsEnabled(false);
}

void TForm2::setTrendAxisTitle(const QString& title) {
    Chart2->bottomAxis()->setTitle(title);
}

void TForm2::btSpectrumClick() {
    Chart2->hide();
    Chart1->show();

    SpectrumRequest r;
    r.visibleFirst = Request.visibleFirst;
    r.visibleLast = Request.visibleLast;
    r.samplePeriodUs = Request.samplePeriodUs;
    r.step = seStep->value();
    r.fmaxHz = seFmax->value();
    r.binLines = cbSp2ClipBrd->isChecked();
    r.channel = Request.channel;
    r.fileName = Request.fileName;
    r.decimalSeparator = localeDecimalSeparator();
    r.window = windowFunction();
    r.segments = seAverage->value();
    r.decibels = cbDecibels->isChecked();
    if (spectrumRefusal(Request.values, r) == SpectrumRefusal::ShortSegments) {
        // The last spectrum stays on the chart and on the clipboard.
        operatorMessages().message(
            tr("Усреднение по %1 сегментам оставляет в сегменте меньше %2 точек: уменьшите "
               "число сегментов или шаг выборки либо увеличьте участок графика")
                .arg(r.segments)
                .arg(kSpectrumMinSegmentPoints));
        return;
    }
    const auto listing = listSpectrum(Request.values, r, m_spectrum);

    SpectArrows->clear();
    Envelope->clear();
    if (!listing) {
        // Nothing visible on the main chart (or no sampling period): nothing to list.
        lbSpectrumMax->clear();
        showApplied(nullptr);
        return;
    }
    // Lines stand on the chart's floor: zero, or in decibels the lowest level listed.
    double floor = 0.0;
    if (r.decibels)
        for (const SpectrumBin& b : listing->bins)
            floor = std::min(floor, b.amplitude);
    const bool arrows = spectrumType() == 1;
    for (const SpectrumBin& b : listing->bins) {
        const auto x = static_cast<double>(b.bin);
        if (arrows)
            SpectArrows->append(x, b.amplitude, x, floor, qs(b.label), kRed);
        else
            Envelope->append(x, b.amplitude, qs(b.label), kRed);
    }
    lbSpectrumMax->setText(translated(listing->maxText));
    showApplied(listing->applied ? &*listing->applied : nullptr);

    QStringList lines;
    for (const std::string& line : listing->clipboardLines)
        lines << qs(line);
    if (copyText)
        copyText(lines);
}

void TForm2::showTrend(const TrendResult* result) {
    seriLn->clear();
    seriTrend->clear();
    if (!result) {
        lbSpectrumMax->clear();
        return;
    }
    for (const TrendPoint& p : result->points)
        seriLn->append(p.x, p.y, qs(p.label), kGreen);
    lbSpectrumMax->setText(qs(result->labelText));
    seriTrend->append(result->lineFirstX, result->lineFirstY);
    seriTrend->append(result->lineLastX, result->lineLastY);
}

void TForm2::btTrClick() {
    if (trendCommand)
        trendCommand();
}

void TForm2::seStepChange() {
    const int value = stepAfterChange(m_previousStep, seStep->value());
    // Setting the value runs this handler once more; that run finds nothing left to change.
    if (value != seStep->value())
        seStep->setValue(value);
    m_previousStep = seStep->value();
}

void TForm2::btSaveChClick() {
    // The chart the window shows, whether or not the window itself is on the screen.
    Chart* chart = Chart1->isHidden() ? Chart2 : Chart1;
    QGuiApplication::clipboard()->setMimeData(chartPictureOnWhite(*chart, windowTitle()));
}

bool TForm2::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        showHelp) {
        // With no control focused the key tells of the window itself.
        const QWidget* focus = QApplication::focusWidget();
        showHelp(helpTopicOf(focus ? focus : this, 4));
        return true;
    }
    return QWidget::event(event);
}

void TForm2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TForm2::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

} // namespace zarvik
