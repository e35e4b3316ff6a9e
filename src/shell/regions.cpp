// The main window's regions: the header, the tool bars with their buttons, the file group with
// the comment, the chart with the progress panel and the comment browser over it, the floating
// panels and the status bar; and the layout rule that fits them to the window's size.

#include "shell/regions.h"
#include "shell/tform1.h"

#include "chart/chart.h"
#include "chart/wincolor.h"
#include "ui/help.h"
#include "view/cursortable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <algorithm>

namespace zarvik {

using namespace regions;

QToolButton* TForm1::addButton(QFrame* bar, const QString& name, const QString& caption,
                               const QString& hint, int helpContext,
                               const QStringList& otherCaptions) {
    auto* b = new QToolButton(bar);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setFixedHeight(21);
    if (!caption.isEmpty()) {
        b->setText(caption);
        QFont f = b->font();
        f.setBold(true);
        b->setFont(f);
        const QFontMetrics fm(f);
        int widest = fm.horizontalAdvance(caption);
        for (const QString& c : otherCaptions)
            widest = std::max(widest, fm.horizontalAdvance(c));
        QStyleOptionToolButton opt;
        opt.initFrom(b);
        opt.text = caption;
        b->setFixedWidth(
            b->style()
                ->sizeFromContents(QStyle::CT_ToolButton, &opt, QSize(widest, fm.height()), b)
                .width());
    }
    b->setAutoRaise(true);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    b->setIconSize(QSize(16, 16));
    // A picture alone takes a square as high as the bar's buttons: the three bars then hold
    // every button at the window's first size.
    if (caption.isEmpty())
        b->setFixedWidth(21);
    setHelpContext(b, helpContext);
    bar->layout()->addWidget(b);
    return b;
}

void TForm1::buildRegions() {
    // Header captions over the three tool bars; they follow the bars' places (eventFilter).
    Header = new QWidget(this);
    Header->setObjectName("Header");
    Header->setAttribute(Qt::WA_NoMousePropagation);
    const std::array<const char*, 3> sections = {
        QT_TR_NOOP("Файл"), QT_TR_NOOP("Управление контроллером"), QT_TR_NOOP("Опции")};
    for (std::size_t i = 0; i < sections.size(); ++i) {
        m_headerCaptions[i] = new QLabel(tr(sections[i]), Header);
        m_headerCaptions[i]->setAlignment(Qt::AlignCenter);
        m_headerCaptions[i]->setFrameStyle(QFrame::Panel | QFrame::Raised);
    }

    ctlBar = new QWidget(this);
    ctlBar->setObjectName("ctlBar");
    ctlBar->setAttribute(Qt::WA_NoMousePropagation);
    ctlBar->installEventFilter(this);
    auto* barLayout = new QHBoxLayout(ctlBar);
    barLayout->setContentsMargins(0, 7, 0, 7);
    barLayout->setSpacing(0);
    // Tool bars that never wrap and never hide a button behind an overflow arrow: each as wide
    // as its buttons in the font in use (the design's widths held them in a narrower font).
    auto makeBar = [&](const char* name) {
        auto* bar = new QFrame(ctlBar);
        bar->setObjectName(name);
        bar->setFrameStyle(QFrame::Panel | QFrame::Raised);
        bar->setFixedHeight(27);
        bar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        bar->installEventFilter(this);
        auto* layout = new QHBoxLayout(bar);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->setSpacing(1);
        barLayout->addWidget(bar);
        return bar;
    };
    tbFile = makeBar("tbFile");
    tbMCctl = makeBar("tbMCctl");
    tbOptions = makeBar("tbOptions");
    barLayout->addStretch();

    // The style's 16-pixel pictures, the size the bars show: its icons would read every size
    // of every picture, a tenth of the start-up.
    QStyle* st = style();
    auto icon = [st](QStyle::StandardPixmap which) { return QIcon(st->standardPixmap(which)); };
    btSave = addButton(tbFile, "btSave", {}, tr("Сохранить данные в файл"), 7);
    btSave->setIcon(icon(QStyle::SP_DialogSaveButton));
    btLoadFile = addButton(tbFile, "btLoadFile", {}, tr("Открыть файл данных"), 7);
    btLoadFile->setIcon(icon(QStyle::SP_DialogOpenButton));
    btCopy = addButton(tbFile, "btCopy", {}, tr("Копировать комментарий в буфер обмена"), 8);
    btCopy->setIcon(icon(QStyle::SP_FileDialogDetailedView));
    btShowCmnt = addButton(tbFile, "btShowCmnt", {},
                           tr("Просмотреть комментарии ко всем  файлам в папке"), 7);
    btShowCmnt->setIcon(icon(QStyle::SP_FileDialogContentsView));
    btPrevFile = addButton(tbFile, "btPrevFile", {}, tr("Предыдущий файл в папке"), 7);
    btPrevFile->setIcon(icon(QStyle::SP_ArrowLeft));
    btNextFile = addButton(tbFile, "btNextFile", {}, tr("Следующий файл в папке"), 7);
    btNextFile->setIcon(icon(QStyle::SP_ArrowRight));
    btHistory = addButton(tbFile, "btHistory", {}, tr("Журнал измерений (Ctrl+H)"), 7);
    btHistory->setIcon(icon(QStyle::SP_FileDialogInfoView));
    btPrint = addButton(tbFile, "btPrint", {}, tr("Печать графика"), 7);
    btPrint->setIcon(icon(QStyle::SP_FileIcon));
    btShowCmnt->setEnabled(false);
    btPrevFile->setEnabled(false);
    btNextFile->setEnabled(false);

    btUSB = addButton(tbMCctl, "btUSB", {}, tr("Подключить АЦП к компьютеру"), 4);
    btUSB->setIcon(icon(QStyle::SP_DriveNetIcon));
    btStartMode = addButton(tbMCctl, "btStartMode", {}, {}, 4);
    btChooseF = addButton(tbMCctl, "btChooseF", tr("Выбор F/T"),
                          tr("Выбрать частоту выборки / время измерения"), 4, {tr("Закрыть")});
    btStartPlus = addButton(tbMCctl, "btStartPlus", tr("ПУСК ИЗМЕРЕНИЯ"), tr("Запуск измерения"), 4,
                            {tr("Стоп серии")});
    btSpectrGo = addButton(tbMCctl, "btSpectrGo", tr("Спектр"), tr("Построение спектра"), 4);
    btTrend = addButton(tbMCctl, "btTrend", tr("Тренд"), tr("Определение тренда"), 4);
    btSpectrGo->setEnabled(false);
    btTrend->setEnabled(false);

    btChart =
        addButton(tbOptions, "btChart", tr("График"), tr("Параметры графика"), 5, {tr("Закрыть")});
    btOptions = addButton(tbOptions, "btOptions", tr("Опции"),
                          tr("Цвет графика, единицы времени..."), 5, {tr("Закрыть"), tr("ОПЦИИ")});
    btRead = addButton(tbOptions, "btRead", tr("Повтор чтения"),
                       tr("Повторное считывание массива из памяти платы АЦП"), 5);
    btBoot = addButton(tbOptions, "btBoot", tr("Boot"), tr("Внешний генератор"), 4);
    btBoot->hide();

    gbFile = new QGroupBox(tr("Комментарий"), this);
    gbFile->setObjectName("gbFile");
    setHelpContext(gbFile, 2);
    mComment = new QPlainTextEdit(gbFile);
    mComment->setObjectName("mComment");
    mComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mComment->move(8, 15);
    setHelpContext(mComment, 2);
    mClipBoard = new QPlainTextEdit(gbFile);
    mClipBoard->setObjectName("mClipBoard");
    mClipBoard->hide();

    Chart1 = new Chart(this);
    Chart1->setObjectName("Chart1");
    Chart1->setMargins(QMargins(0, 0, 0, 0));
    Chart1->setLegendColor(colorFromWin(13290186));
    Chart1->setToolTip(tr("Увеличение: протяните мышь с левой кнопкой вправо-вниз; возврат: "
                          "влево-вверх; сдвиг: правой кнопкой"));
    setHelpContext(Chart1, 7);
    // A click on the chart takes the focus, so that F1 then tells of the chart.
    Chart1->setFocusPolicy(Qt::ClickFocus);

    gbAllCmnt = new QGroupBox(Chart1);
    gbAllCmnt->setObjectName("gbAllCmnt");
    gbAllCmnt->move(0, 0);
    MAllCmnt = new QPlainTextEdit(gbAllCmnt);
    MAllCmnt->setObjectName("MAllCmnt");
    MAllCmnt->move(8, 8);
    setHelpContext(MAllCmnt, 3);
    pSearch = new QWidget(gbAllCmnt);
    pSearch->setObjectName("pSearch");
    pSearch->setGeometry(10, 0, 100, 30);
    setHelpContext(pSearch, 3);
    gbAllCmnt->hide();

    pnlChart = new QFrame(Chart1);
    pnlChart->setObjectName("pnlChart");
    pnlChart->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlChart->setAutoFillBackground(true); // over the chart, not through it
    pnlChart->setGeometry(0, 0, 100, 60);
    progressBar = new QProgressBar(pnlChart);
    progressBar->setObjectName("progressBar");
    progressBar->setGeometry(10, 34, 80, 16);
    // Total, elapsed and rest, each a fixed caption and its value; the percentages follow the
    // elapsed and the rest time.
    auto* figures = new QWidget(pnlChart);
    auto* figuresLayout = new QHBoxLayout(figures);
    figuresLayout->setContentsMargins(0, 0, 0, 0);
    figuresLayout->setSpacing(6);
    const auto figure = [&](const char* name) {
        auto* l = new QLabel(figures);
        l->setObjectName(name);
        l->setMinimumWidth(QFontMetrics(l->font()).horizontalAdvance("100%") + 4);
        return l;
    };
    const auto caption = [&](const QString& text) {
        figuresLayout->addSpacing(12);
        figuresLayout->addWidget(new QLabel(text, figures));
    };
    lbAll = figure("lbAll");
    lbElapsedVal = figure("lbElapsedVal");
    lbRestVal = figure("lbRestVal");
    lbPercent = figure("lbPercent");
    lbRestPercent = figure("lbRestPercent");
    caption(tr("Продолжительность:"));
    figuresLayout->addWidget(lbAll);
    caption(tr("Прошло:"));
    figuresLayout->addWidget(lbElapsedVal);
    figuresLayout->addWidget(lbPercent);
    caption(tr("Осталось:"));
    figuresLayout->addWidget(lbRestVal);
    figuresLayout->addWidget(lbRestPercent);
    figuresLayout->addStretch();
    figures->setGeometry(0, 8, figures->sizeHint().width() + 40, 20);
    pnlChart->hide();

    btSaveChart = new QToolButton(Chart1);
    btSaveChart->setObjectName("btSaveChart");
    btSaveChart->setIcon(icon(QStyle::SP_DialogSaveButton));
    btSaveChart->setGeometry(2, 0, 24, 24);
    setHelpContext(btSaveChart, 8);

    status = new QStatusBar(this);
    status->setObjectName("status");
    status->setSizeGripEnabled(false);
    status->setToolTip(tr("Щелкнуть для отображения/скрытия X,Y и цифровых сигналов"));
    setHelpContext(status, 6);
    const std::array<int, 3> panelWidths = {200, 200, 50};
    for (int i = 0; i < 3; ++i) {
        m_statusPanels[i] = new StatusPanel(status);
        m_statusPanels[i]->setFixedWidth(panelWidths[i]);
        m_statusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        status->addWidget(m_statusPanels[i]);
    }

    gbFT = new FTPanel(this);
    gbOptions = new OptionsPanel(this);
    gbChart = new ChartPanel(this);
    for (QWidget* panel : {static_cast<QWidget*>(gbFT), static_cast<QWidget*>(gbOptions),
                           static_cast<QWidget*>(gbChart)}) {
        panel->move(kChartLeft + 40, kChartTop + 8);
        panel->hide();
    }
    gbOptions->move(kChartLeft + 60, kChartTop + 12);
    gbChart->move(kChartLeft + 80, kChartTop + 16);
    setHelpContext(gbFT, 4);
    setHelpContext(gbOptions, 5);
    setHelpContext(gbChart, 5);
    setHelpContext(gbOptions->seFstep, 4);
    setHelpContext(gbOptions->seTstep, 4);

    connect(btOptions, &QToolButton::clicked, this, &TForm1::btOptionsClick);
    connect(btChart, &QToolButton::clicked, this, &TForm1::btChartClick);
    connect(gbOptions, &ClickableGroupBox::clicked, this, &TForm1::gbOptionsClick);
    connect(gbChart, &ClickableGroupBox::clicked, this, &TForm1::gbOptionsClick);
    connect(gbOptions->cbLanguage, &QComboBox::activated, this, &TForm1::cbLanguageChange);
}

void TForm1::placeHeaderCaption(QWidget* toolBar) {
    const std::array<QWidget*, 3> bars = {tbFile, tbMCctl, tbOptions};
    for (std::size_t i = 0; i < bars.size(); ++i)
        if (bars[i] == toolBar) {
            const QPoint at = Header->mapFrom(this, toolBar->mapTo(this, QPoint(0, 0)));
            m_headerCaptions[i]->setGeometry(at.x(), 0, toolBar->width(), kHeaderHeight);
        }
}

void TForm1::FormResize() {
    const int chartWidth = windowWidth() - ChartWidthMargin;
    int chartHeight = windowHeight() - ChartHeightMargin;
    // The cursors table takes the bottom of the chart's room, up to a third of it.
    if (m_cursorTable && !m_cursorTable->isHidden()) {
        const int tableHeight = m_cursorTable->heightFor(chartHeight / 3);
        chartHeight -= tableHeight + 2;
        m_cursorTable->setGeometry(kChartLeft, kChartTop + chartHeight + 2, chartWidth,
                                   tableHeight);
    }
    const int clientWidth = width();

    Header->setGeometry(0, 0, clientWidth, kHeaderHeight);
    ctlBar->setGeometry(0, kCtlBarTop, clientWidth, kCtlBarHeight);
    gbFile->setGeometry(kChartLeft, kFileTop, chartWidth, kFileHeight);
    mComment->resize(gbFile->width() - 16, kFileHeight - 19);
    Chart1->setGeometry(kChartLeft, kChartTop, chartWidth, chartHeight);
    pnlChart->resize(Chart1->width(), pnlChart->height());
    progressBar->resize(Chart1->width() - 20, progressBar->height());
    gbAllCmnt->resize(Chart1->width(), Chart1->height());
    MAllCmnt->resize(mComment->width(),
                     gbAllCmnt->height() - pSearch->height() - MAllCmnt->y() - 10);
    pSearch->setGeometry(pSearch->x(), gbAllCmnt->height() - pSearch->height() - 5,
                         gbAllCmnt->width() - 20, pSearch->height());
    btSaveChart->move(btSaveChart->x(), Chart1->height() - kSaveChartAboveBottom);
    status->setGeometry(0, height() - kStatusHeight, clientWidth, kStatusHeight);
}

} // namespace zarvik
