#include "view/zerolevels.h"

#include "chart/chartseries.h"
#include "common/inifile.h"
#include "common/rounding.h"
#include "ui/operatormessages.h"
#include "ui/systemlocale.h"
#include "view/scalesfile.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QSpinBox>

namespace zarvik {
namespace {

// The zero run's settings: 30000 words of all channels, 3750 instants each at 8192 Hz, in
// converter units against samples, smoothed over 512 points.
constexpr int kZeroSamples = 30000;
constexpr int kZeroFrequency = 8192;
constexpr int kZeroAxisMode = 1;
constexpr int kZeroSmoothing = 512;

// SavedParams holds check boxes as -1 checked, 0 unchecked.
std::int32_t boxState(const QCheckBox* box) {
    return box->isChecked() ? -1 : 0;
}

} // namespace

ZeroLevels::ZeroLevels(const Controls& controls, TMeasurement& measurement, QObject* parent)
    : QObject(parent), m_c(controls), m_m(measurement) {
    connect(m_c.btLoadScalesFile, &QAbstractButton::clicked, this,
            &ZeroLevels::btLoadScalesFileClick);
    connect(m_c.btSaveZeros, &QAbstractButton::clicked, this, &ZeroLevels::btSaveZerosClick);
    connect(m_c.btZeros, &QAbstractButton::clicked, this,
            [this] { guarded([this] { btZerosClick(); }); });
    // Nothing to save before a zero run has measured a level.
    m_c.btSaveZeros->setEnabled(false);
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

void ZeroLevels::btZerosClick() {
    auto& saved = m_m.SavedParams;
    for (int n = 1; n <= kChannels; ++n)
        saved[n - 1] = boxState(m_c.cbCh[n]);
    saved[8] = m_c.seSamples->value();
    saved[9] = m_c.seF->value();
    saved[10] = m_c.seInt->value();
    saved[11] = m_c.cbShowK->currentIndex();
    saved[12] = boxState(m_c.cbInt);

    for (int n = 1; n <= kChannels; ++n)
        m_c.cbCh[n]->setChecked(true);
    m_c.seSamples->setValue(kZeroSamples);
    m_c.seF->setValue(kZeroFrequency);
    m_c.cbShowK->setCurrentIndex(kZeroAxisMode);
    m_c.seInt->setValue(kZeroSmoothing);
    m_c.cbInt->setChecked(true);

    m_m.ZeroRun = true;
    if (startMeasurement && startMeasurement())
        return;
    // No measurement will bring a zero step: the operator's settings come back now.
    m_m.ZeroRun = false;
    if (m_c.cbRestoreParams->isChecked())
        restoreParams();
}

void ZeroLevels::zeroStep() {
    m_m.ZeroRun = false;
    for (int n = 1; n <= kChannels; ++n) {
        const LineSeries* line = series ? series(n) : nullptr;
        // A line too short for the settled point (a file, fewer channels) keeps its old level.
        if (!line || line->count() <= kZeroPoint)
            continue;
        const std::int64_t z = roundHalfEven(line->y(kZeroPoint));
        m_c.lbCh[n]->setText(tr("Канал %1=").arg(n) + QString::number(z));
        m_m.ZeroLevel[n] = static_cast<double>(z);
        m_measured = static_cast<std::uint8_t>(m_measured | (1u << (n - 1)));
    }
    m_c.btSaveZeros->setEnabled(m_measured != 0);
    if (m_c.cbRestoreParams->isChecked())
        restoreParams();
}

void ZeroLevels::restoreParams() {
    const auto& saved = m_m.SavedParams;
    for (int n = 1; n <= kChannels; ++n)
        m_c.cbCh[n]->setChecked(saved[n - 1] != 0);
    m_c.seSamples->setValue(saved[8]);
    m_c.seF->setValue(saved[9]);
    m_c.cbShowK->setCurrentIndex(saved[11]);
    m_c.seInt->setValue(saved[10]);
    m_c.cbInt->setChecked(saved[12] != 0);
}

void ZeroLevels::btSaveZerosClick() {
    if (m_measured == 0)
        return;
    IniFile file(writePath());
    if (!writeZeroLevels(file, m_m.ZeroLevel, m_measured, localeDecimalSeparator()))
        operatorMessages().error(
            QString("Unable to write to %1")
                .arg(QDir::toNativeSeparators(QString::fromStdString(file.path().u8string()))));
}

} // namespace zarvik
