#include "shell/optionspanel.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>

namespace zarvik {

OptionsPanel::OptionsPanel(QWidget* parent) : ClickableGroupBox(tr("Опции"), parent) {
    setObjectName("gbOptions");
    resize(392, 212);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x00)); // olive
    setPalette(pal);

    auto* colours = panel::group(this, tr("ЦВЕТ канала"), 8, 18, 376, 46);
    for (int n = 1; n <= 8; ++n) {
        lbColorCh[n] = panel::label(colours, QString::number(n), 8 + (n - 1) * 46, 20, 10);
        lbColorCh[n]->setObjectName(QString("lbColorCh%1").arg(n));
        pColorCh[n] = new ColorPanel(colours);
        pColorCh[n]->setObjectName(QString("pColorCh%1").arg(n));
        pColorCh[n]->setGeometry(20 + (n - 1) * 46, 20, 24, 16);
    }
    auto* units = panel::group(this, tr("Ед.ВРЕМЕНИ"), 8, 68, 110, 50);
    cbTimeunits = panel::combo(units, "cbTimeunits", {tr("мкс"), tr("мс"), tr("с")}, 8, 20, 94);
    auto* store = panel::group(this, tr("csv и txt файлы"), 124, 68, 126, 50);
    cbStoreX = panel::combo(store, "cbStoreX", {tr("не сохранять"), tr("сохранять")}, 8, 20, 110);
    cbStoreX->setCurrentIndex(1);
    auto* help = panel::group(this, tr("HELP - файл"), 256, 68, 128, 68);
    cbHelp = panel::combo(help, "cbHelp", {tr("загружать"), tr("не загружать")}, 8, 20, 112);
    auto* atStart = panel::label(help, tr("при старте приложения"), 8, 42, 116, 24);
    atStart->setWordWrap(true);
    // Two lines of the font in use may be taller than the design's; the box and the range
    // group under it make room.
    atStart->resize(116, std::max(24, atStart->heightForWidth(116)));
    help->resize(help->width(), std::max(help->height(), atStart->geometry().bottom() + 3));

    auto* steps = panel::group(this, tr("Дискретность изменения"), 8, 122, 242, 80);
    panel::label(steps, "F", 10, 24);
    seFstep = panel::spin(steps, "seFstep", 1, 50000, 1, 26, 20, 100);
    panel::label(steps, "T", 10, 50);
    seTstep = panel::spin(steps, "seTstep", 1, 50000, 1, 26, 46, 100);

    auto* history =
        panel::group(this, tr("Журнал измерений"), 8, steps->geometry().bottom() + 5, 242, 50);
    auto* limit = panel::label(history, tr("Не более, МБ"), 10, 24);
    seHistoryLimit = panel::spin(history, "seHistoryLimit", 1, 1048576, 2048,
                                 std::max(130, limit->geometry().right() + 8), 20, 100);

    rgRefADC = panel::group(this, tr("Диапазон АЦП"), 256, help->geometry().bottom() + 3, 128, 64);
    rgRefADC->setObjectName("rgRefADC");
    rgRefADCItems[0] = new QRadioButton(tr("0...2,5В"), rgRefADC);
    rgRefADCItems[0]->setGeometry(8, 18, 112, 18);
    rgRefADCItems[1] = new QRadioButton(tr("0...5,0В"), rgRefADC);
    rgRefADCItems[1]->setGeometry(8, 38, 112, 18);
    rgRefADCItems[1]->setChecked(true);

    // Each language named in itself, so that an operator who cannot read the other finds it.
    auto* language =
        panel::group(this, tr("Язык"), 256, rgRefADC->geometry().bottom() + 3, 128, 48);
    cbLanguage = panel::combo(
        language, "cbLanguage",
        {tr("системный"), QStringLiteral("Русский"), QStringLiteral("English")}, 8, 20, 112);
    resize(width(), std::max({height(), language->geometry().bottom() + 11,
                              history->geometry().bottom() + 11}));
}

int OptionsPanel::refAdcIndex() const {
    return rgRefADCItems[0]->isChecked() ? 0 : 1;
}

void OptionsPanel::setRefAdcIndex(int index) {
    rgRefADCItems[index == 0 ? 0 : 1]->setChecked(true);
}

} // namespace zarvik
