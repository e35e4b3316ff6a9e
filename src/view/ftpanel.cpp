#include "view/ftpanel.h"

#include "device/seriesplan.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace zarvik {

FTPanel::FTPanel(QWidget* parent)
    : ClickableGroupBox(tr("Частота выборки / Время измерения"), parent) {
    setObjectName("gbFT");
    resize(400, 292);
    setAutoFillBackground(true);
    auto* channels = panel::group(this, tr("Отобразить КАНАЛЫ"), 8, 18, 384, 42);
    for (int n = 1; n <= 8; ++n) {
        cbCh[n] = new QCheckBox(QString::number(n), channels);
        cbCh[n]->setObjectName(QString("cbCh%1").arg(n));
        cbCh[n]->setGeometry(12 + (n - 1) * 46, 18, 40, 18);
        cbCh[n]->setChecked(true);
    }
    auto* edits = panel::group(this, QString(), 8, 62, 384, 62);
    panel::label(edits, tr("Fвыборки, Гц"), 8, 6);
    seF = panel::spin<SpinEdit>(edits, "seF", 1, 65535, 2048, 8, 24, 92);
    seF->setToolTip(tr("Частота выборки сигналов"));
    panel::label(edits, "F", 104, 6);
    auto* two = panel::label(edits, "2", 112, 2);
    two->setFont([&] {
        QFont f = two->font();
        f.setPixelSize(9);
        return f;
    }());
    seRoot = new ArrowPair(edits);
    seRoot->setObjectName("seRoot");
    seRoot->setGeometry(104, 23, 20, 24);
    panel::label(edits, tr("Тизмерения, мс"), 132, 6);
    seTime = panel::spin<SpinEdit>(edits, "seTime", 1, 2147483647, 10000, 132, 24, 100);
    seTime->setToolTip(tr("Время измерения"));
    panel::label(edits, tr("Число выборок в серии"), 244, 6);
    seSamples = panel::spin(edits, "seSamples", 30000, 240000, 240000, 244, 24, 130);
    seSamples->setSingleStep(30000);
    seSamples->setToolTip(tr("От 30000 до 240000, шаг изменения 30000"));

    lbErrIn = panel::label(this, QString(), 8, 128, 384);
    lbErrIn->setObjectName("lbErrIn");
    // A palette colour, not a style sheet: the error blink alternates it.
    QPalette errPal = lbErrIn->palette();
    errPal.setColor(QPalette::WindowText, Qt::red);
    lbErrIn->setPalette(errPal);
    lbErrIn->hide();

    btStart = new QPushButton(tr("ПУСК ИЗМЕРЕНИЯ"), this);
    btStart->setObjectName("btStart");
    btStart->setFont(panel::boldFont(btStart));
    btStart->setGeometry(8, 152, 160, 34);

    lbTrueValues = panel::label(this, tr("ИСТИННЫЕ ЗНАЧЕНИЯ:"), 180, 146, 212);
    lbF = panel::label(this, QString(), 180, 162, 212);
    lbT = panel::label(this, QString(), 180, 176, 212);
    lbMinutes = panel::label(this, QString(), 180, 190, 212);
    lbF->setObjectName("lbF");
    lbT->setObjectName("lbT");
    lbMinutes->setObjectName("lbMinutes");

    auto* series = panel::group(this, tr("Серия измерений"), 8, 208, 384, 76);
    series->setObjectName("gbSeries");
    auto* count = panel::label(series, tr("Измерений"), 8, 22);
    seSeriesCount = panel::spin(series, "seSeriesCount", 0, kSeriesCountMax, 10,
                                count->geometry().right() + 6, 18, 110);
    seSeriesCount->setSpecialValueText(tr("до остановки"));
    seSeriesCount->setToolTip(tr("Число измерений серии, 0 - до остановки"));
    auto* pause = panel::label(series, tr("Пауза, с"), seSeriesCount->geometry().right() + 10, 22);
    seSeriesPause = panel::spin(series, "seSeriesPause", 0, kSeriesPauseMaxSec, 0,
                                pause->geometry().right() + 6, 18, 70);
    seSeriesPause->setToolTip(tr("Пауза от конца передачи до следующего пуска, до 24 часов"));
    btSeriesFolder = panel::button(series, "btSeriesFolder", tr("Папка..."), 8, 46, 70, 24);
    btSeriesFolder->setToolTip(tr("Папка, в которую сохраняется каждое измерение серии"));
    lbSeriesFolder =
        panel::label(series, QString(), btSeriesFolder->geometry().right() + 6, 50, 110);
    lbSeriesFolder->setObjectName("lbSeriesFolder");
    eSeriesName = new QLineEdit(series);
    eSeriesName->setObjectName("eSeriesName");
    eSeriesName->setPlaceholderText(tr("имя файлов"));
    eSeriesName->setToolTip(tr("Файлы серии: ИМЯ_0001.d8c, ИМЯ_0002.d8c..."));
    eSeriesName->setGeometry(lbSeriesFolder->geometry().right() + 6, 47, 90, 22);
    btSeries = panel::button(series, "btSeries", tr("Серия"), 290, 18, 86, 52);
    btSeries->setFont(panel::boldFont(btSeries));
    btSeries->setToolTip(tr("Запуск серии измерений с текущими параметрами"));
    // The start of the series stands to the right of its settings however the font widens them.
    const int right = std::max(seSeriesPause->geometry().right(), eSeriesName->geometry().right());
    btSeries->move(std::max(btSeries->x(), right + 8), btSeries->y());
    series->resize(std::max(series->width(), btSeries->geometry().right() + 8), series->height());
    resize(std::max(width(), series->geometry().right() + 8), height());
}

} // namespace zarvik
