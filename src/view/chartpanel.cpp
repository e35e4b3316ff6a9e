#include "view/chartpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace zarvik {

ChartPanel::ChartPanel(QWidget* parent) : ClickableGroupBox(tr("График"), parent) {
    setObjectName("gbChart");
    resize(392, 250);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x80, 0x80)); // teal
    setPalette(pal);

    auto* axes = panel::group(this, tr("Оси графика"), 8, 18, 186, 66);
    panel::label(axes, tr("ось Y:        ось X:"), 8, 18, 170);
    cbShowK = panel::combo(axes, "cbShowK",
                           {tr("ЗНАЧЕНИЯ, ВРЕМЯ"), tr("ед.АЦП,      ВЫБОРКИ"),
                            tr("ЗНАЧЕНИЯ, ВЫБОРКИ"), tr("ед.АЦП,      ВРЕМЯ")},
                           8, 36, 170);
    auto* smooth = panel::group(this, tr("Интегрирование"), 200, 18, 184, 66);
    cbInt = new QCheckBox(tr("выполнить"), smooth);
    cbInt->setObjectName("cbInt");
    cbInt->setGeometry(8, 16, 150, 18);
    // The edit stands after its caption, the unit after the edit, however long the words.
    auto* over = panel::label(smooth, tr("по"), 8, 40);
    seInt =
        panel::spin(smooth, "seInt", 2, 512, 8, std::max(30, over->geometry().right() + 5), 36, 70);
    panel::label(smooth, tr("точкам"), seInt->geometry().right() + 7, 40);

    auto* zeros = panel::group(this, tr("Нулевые уровни"), 8, 88, 376, 154);
    btZeros =
        panel::button(zeros, "btZeros", tr("Вычислить для выбранных каналов"), 8, 18, 210, 24);
    cbRestoreParams = new QCheckBox(tr("восстанавливать параметры"), zeros);
    cbRestoreParams->setObjectName("cbRestoreParams");
    cbRestoreParams->setToolTip(
        tr("Восстановить выбранные каналы, Fвыборки, параметры интегрирования..."));
    cbRestoreParams->setGeometry(8, 44, 210, 18);
    cbRestoreParams->setChecked(true);
    Label11 =
        panel::label(zeros, tr("Смещение в ед.АЦП (данные    для файла scales.scl)"), 8, 64, 360);
    for (int n = 1; n <= 8; ++n) {
        lbCh[n] = panel::label(zeros, tr("Канал %1=0").arg(n), 8 + ((n - 1) / 4) * 110,
                               82 + ((n - 1) % 4) * 16, 104);
        lbCh[n]->setObjectName(QString("lbCh%1").arg(n));
    }
    btSaveZeros =
        panel::button(zeros, "btSaveZeros", tr("Сохранить в файл scales.scl"), 220, 84, 150, 24);
    btLoadScalesFile = panel::button(zeros, "btLoadScalesFile", tr("Загрузить файл scales.scl"),
                                     220, 114, 150, 24);
    // The file buttons stand as one column; where the font widens them, the zero-level group,
    // the smoothing group's right edge and the panel follow.
    const int columnWidth = std::max(btSaveZeros->width(), btLoadScalesFile->width());
    btSaveZeros->resize(columnWidth, btSaveZeros->height());
    btLoadScalesFile->resize(columnWidth, btLoadScalesFile->height());
    zeros->resize(std::max(zeros->width(), btSaveZeros->geometry().right() + 7), zeros->height());
    smooth->resize(zeros->geometry().right() + 1 - smooth->x(), smooth->height());

    // Measuring on the chart, in a column of its own beside the others.
    auto* measure = panel::group(this, tr("Курсоры и опорные файлы"), zeros->geometry().right() + 9,
                                 18, 200, zeros->geometry().bottom() + 1 - 18);
    cbCursors = new QCheckBox(tr("Курсоры (F8)"), measure);
    cbCursors->setObjectName("cbCursors");
    cbCursors->setToolTip(tr("Два курсора на графике и таблица значений между ними"));
    cbCursors->setGeometry(8, 18, 184, 18);
    btOverlay = panel::button(measure, "btOverlay", tr("Наложить файл…"), 8, 42, 184, 24);
    btOverlay->setToolTip(tr("Наложить на график опорный файл данных (до трёх)"));
    for (int k = 0; k < kReferenceRows; ++k) {
        btRemoveReference[k] = panel::button(measure, QString("btRemoveReference%1").arg(k + 1),
                                             tr("Убрать"), 0, 76 + 28 * k, 60, 24);
        lbReference[k] = panel::label(measure, QString(), 8, 80 + 28 * k, 100);
        lbReference[k]->setObjectName(QString("lbReference%1").arg(k + 1));
    }
    // The names take what the buttons leave; a wider font widens the column.
    const int buttonWidth = btRemoveReference[0]->width();
    measure->resize(std::max(measure->width(), btOverlay->width() + 16), measure->height());
    for (int k = 0; k < kReferenceRows; ++k) {
        btRemoveReference[k]->move(measure->width() - 8 - buttonWidth, btRemoveReference[k]->y());
        lbReference[k]->resize(btRemoveReference[k]->x() - 4 - 8, lbReference[k]->height());
        lbReference[k]->hide();
        btRemoveReference[k]->hide();
    }
    resize(measure->geometry().right() + 9, height());
}

} // namespace zarvik
