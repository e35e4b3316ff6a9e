#include "view/ftpanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace zarvik {

FTPanel::FTPanel(QWidget* parent)
    : ClickableGroupBox(tr("Частота выборки / Время измерения"), parent) {
    setObjectName("gbFT");
    resize(400, 212);
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
}

} // namespace zarvik
