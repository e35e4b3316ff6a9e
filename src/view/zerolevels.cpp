#include "view/zerolevels.h"

#include "common/inifile.h"
#include "shell/operatormessages.h"
#include "shell/systemlocale.h"
#include "view/scalesfile.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>

namespace zarvik {

ZeroLevels::ZeroLevels(const Controls& controls, TMeasurement& measurement, QObject* parent)
    : QObject(parent), m_c(controls), m_m(measurement) {
    connect(m_c.btLoadScalesFile, &QAbstractButton::clicked, this,
            &ZeroLevels::btLoadScalesFileClick);
    connect(m_c.btSaveZeros, &QAbstractButton::clicked, this, &ZeroLevels::btSaveZerosClick);
}

void ZeroLevels::GetScalesFileData() {
    const ScalesData d = readScalesFile(IniFile(readPath()), localeDecimalSeparator());
    m_m.ScaleK = d.scaleK;
    m_m.ShiftScl = d.shiftScl;
    // Also while a measurement from a data file is shown, whose own scales stay in force.
    m_m.YTitle = d.yTitle;
}

void ZeroLevels::btLoadScalesFileClick() {
    GetScalesFileData();
}

void ZeroLevels::btSaveZerosClick() {
    IniFile file(writePath());
    if (!writeZeroLevels(file, m_m.ZeroLevel, localeDecimalSeparator()))
        operatorMessages().error(
            QString("Unable to write to %1")
                .arg(QDir::toNativeSeparators(QString::fromStdString(file.path().u8string()))));
}

} // namespace zarvik
