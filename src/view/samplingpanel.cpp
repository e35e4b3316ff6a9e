#include "view/samplingpanel.h"

#include "ui/language.h"
#include "ui/systemlocale.h"
#include "ui/widgets.h"
#include "view/sampling.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>

namespace zarvik {
namespace {

constexpr int kErrorBlinkMs = 300;

// Leaving an edit counts when the focus moves to another control, not when the whole window
// loses the focus to another program or to a pop-up.
bool leavesControl(const QEvent* event) {
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

void setCaption(QAbstractButton* button, const QString& caption, Qt::GlobalColor colour) {
    button->setText(caption);
    QPalette pal = button->palette();
    pal.setColor(QPalette::ButtonText, colour);
    button->setPalette(pal);
}

} // namespace

SamplingPanel::SamplingPanel(const Controls& controls, TMeasurement& measurement, QObject* parent)
    : QObject(parent), m_c(controls), m_m(measurement) {
    connect(m_c.btChooseF, &QAbstractButton::clicked, this, &SamplingPanel::btChooseFClick);
    // The handlers see F and T as typed, also outside the limits, which they correct.
    connect(m_c.seF, &SpinEdit::typedValueChanged, this, &SamplingPanel::seFChange);
    connect(m_c.seTime, &SpinEdit::typedValueChanged, this, &SamplingPanel::seTimeChange);
    connect(m_c.seSamples, &QSpinBox::valueChanged, this, &SamplingPanel::seSamplesChange);
    connect(m_c.seRootUp, &QAbstractButton::clicked, this, &SamplingPanel::seRootUpClick);
    connect(m_c.seRootDown, &QAbstractButton::clicked, this, &SamplingPanel::seRootDownClick);
    // The arrows must leave the focus where it is: with it in the frequency edit, the new F
    // passes through that edit's check.
    m_c.seRootUp->setFocusPolicy(Qt::NoFocus);
    m_c.seRootDown->setFocusPolicy(Qt::NoFocus);

    for (QObject* watched :
         {static_cast<QObject*>(m_c.seF), static_cast<QObject*>(m_c.seTime),
          static_cast<QObject*>(m_c.seSamples), static_cast<QObject*>(m_c.seFstep),
          static_cast<QObject*>(m_c.seTstep)})
        watched->installEventFilter(this);
    // Mouse clicks land on the text inside a spin edit.
    for (QSpinBox* edit : {m_c.seF, m_c.seTime})
        if (auto* text = edit->findChild<QLineEdit*>())
            text->installEventFilter(this);

    TimErrBlink = new QTimer(this);
    TimErrBlink->setInterval(kErrorBlinkMs);
    connect(TimErrBlink, &QTimer::timeout, this, &SamplingPanel::TimErrBlinkTimer);
    TimErrBlink->start();
}

void SamplingPanel::applyStoredValues(int sramBlocks, int time4allSRAM, int frequency) {
    m_m.SRAMblocks = blocksFromSetting(sramBlocks);
    m_c.seSamples->setValue(m_m.SRAMblocks * kWordsPerBlock);
    m_m.Time4allSRAM = time4allSRAM;
    // Set first and tested afterwards: a value the edit clamps to its minimum is too low too.
    m_c.seF->setValue(frequency);
    if (m_c.seF->value() < kMinFrequencyHz)
        m_c.seF->setValue(kDefaultFrequencyHz);
}

void SamplingPanel::setStartLimits() {
    const auto limits = channelsCounted(m_m.ChannelCount, m_c.seF->value(), m_c.seF->minimum(),
                                        m_m.SRAMblocks, localeDecimalSeparator());
    if (!limits)
        return;
    m_c.seF->setMaximum(limits->frequencyMaximum);
    m_c.seTime->setRange(limits->timeMinimum, limits->timeMaximum);
    m_c.seTime->setValue(limits->timeMaximum);
}

void SamplingPanel::btChooseFClick() {
    if (m_c.gbFT->isVisible()) {
        m_c.gbFT->hide();
        setCaption(m_c.btChooseF, tr("Выбор F/T"), Qt::black);
        return;
    }
    m_c.gbFT->show();
    setCaption(m_c.btChooseF, tr("Закрыть"), Qt::red);
    m_c.seF->setFocus();
    // The edit has just been given the focus (it gets it for real only in the active window).
    checkFrequency(m_c.seF->value());
    m_c.gbFT->raise();
}

void SamplingPanel::seFChange() {
    const int F = m_c.seF->typedValue();
    if (m_settingF || !m_c.seF->hasFocus() || F <= 0)
        return;
    checkFrequency(F);
}

void SamplingPanel::checkFrequency(int F) {
    const auto edit = frequencyEdited(F, m_c.seFstep->value(), m_m.SRAMblocks, m_m.ChannelCount,
                                      localeDecimalSeparator());
    if (!edit)
        return;
    hideError();
    m_settingF = true;
    m_c.seF->setValue(edit->frequency);
    m_settingF = false;
    if (!edit->error.empty())
        showError(edit->error);
    if (edit->time4allSRAM)
        m_m.Time4allSRAM = *edit->time4allSRAM;
    showTrueValues(edit->trueValues);
    if (edit->time)
        m_c.seTime->setValue(*edit->time);
}

void SamplingPanel::seFExit() {
    hideError();
}

void SamplingPanel::seTimeChange() {
    const int T = m_c.seTime->typedValue();
    if (m_settingT || !m_c.seTime->hasFocus() || T <= 0)
        return;
    const auto edit = timeEdited(T, m_c.seTstep->value(), m_c.seF->value(), m_c.seF->maximum(),
                                 m_m.SRAMblocks, m_m.ChannelCount, localeDecimalSeparator());
    if (!edit)
        return;
    hideError();
    m_settingT = true;
    m_c.seTime->setValue(edit->time);
    m_settingT = false;
    if (!edit->error.empty())
        showError(edit->error);
    m_m.Time4allSRAM = edit->time4allSRAM;
    if (edit->frequency)
        m_c.seF->setValue(*edit->frequency);
    showTrueValues(edit->trueValues);
}

void SamplingPanel::seTimeExit() {
    const auto leave =
        timeLeft(m_c.seF->value(), m_m.SRAMblocks, m_m.ChannelCount, localeDecimalSeparator());
    if (leave) {
        m_m.Time4allSRAM = leave->time4allSRAM;
        if (leave->time)
            m_c.seTime->setValue(*leave->time);
        showTrueValues(leave->trueValues);
    }
    hideError();
}

void SamplingPanel::seSamplesChange() {
    const auto change = samplesChanged(m_c.seSamples->value(), m_c.seF->value(), m_m.ChannelCount,
                                       localeDecimalSeparator());
    if (!change)
        return;
    m_m.SRAMblocks = change->blocks;
    m_c.seTime->setMinimum(change->timeMinimum);
    seTimeExit();
}

void SamplingPanel::seRootUpClick() {
    rootStep(true);
}

void SamplingPanel::seRootDownClick() {
    rootStep(false);
}

void SamplingPanel::rootStep(bool up) {
    const RootStep step = rootStepped(up, m_c.seF->value(), m_c.seF->maximum(), m_m.SRAMblocks,
                                      m_m.ChannelCount, localeDecimalSeparator());
    m_c.seF->setValue(step.frequency);
    // With the focus in the frequency edit its check has already cut or raised the value and
    // brought T and the true values after it.
    if (m_c.seF->value() != step.frequency)
        return;
    if (step.time4allSRAM)
        m_m.Time4allSRAM = *step.time4allSRAM;
    showTrueValues(step.trueValues);
    if (step.time)
        m_c.seTime->setValue(*step.time);
}

void SamplingPanel::seFstepExit() {
    const int step = stepFromEdit(m_c.seFstep->value());
    m_c.seFstep->setValue(step);
    m_c.seF->setSingleStep(step);
}

void SamplingPanel::seTstepExit() {
    const int step = stepFromEdit(m_c.seTstep->value());
    m_c.seTstep->setValue(step);
    m_c.seTime->setSingleStep(step);
}

void SamplingPanel::seFDblClick() {
    if (!m_c.gbOptions->isVisible())
        m_c.btOptions->click();
    m_c.seFstep->setFocus();
}

void SamplingPanel::seTimeDblClick() {
    if (!m_c.gbOptions->isVisible())
        m_c.btOptions->click();
    m_c.seTstep->setFocus();
}

void SamplingPanel::CalcUseChnl() {
    int n = 0;
    for (int c = 1; c <= kChannels; ++c)
        n += m_c.cbCh[c]->isChecked();
    m_m.ChannelCount = static_cast<std::uint8_t>(n);
    const auto limits = channelsCounted(n, m_c.seF->value(), m_c.seF->minimum(), m_m.SRAMblocks,
                                        localeDecimalSeparator());
    if (!limits)
        return;
    m_c.seF->setMaximum(limits->frequencyMaximum);
    m_c.seTime->setRange(limits->timeMinimum, limits->timeMaximum);
    showTrueValues(limits->trueValues);
    if (limits->time)
        m_c.seTime->setValue(*limits->time);
}

void SamplingPanel::showFTlbl() {
    showTrueValues(
        trueValues(m_c.seF->value(), m_m.SRAMblocks, m_m.ChannelCount, localeDecimalSeparator()));
}

void SamplingPanel::showTrueValues(const std::optional<TrueValues>& values) {
    // Without a checked channel (or a whole memory block) there are none: the labels keep
    // what they show.
    if (!values)
        return;
    m_c.lbF->setText(translated(values->frequencyText));
    m_c.lbT->setText(translated(values->timeText));
    m_c.lbMinutes->setText(translated(values->minutesText));
}

void SamplingPanel::showError(const UiText& text) {
    m_c.lbErrIn->setText(translated(text));
    m_c.lbErrIn->show();
}

void SamplingPanel::hideError() {
    m_c.lbErrIn->hide();
}

void SamplingPanel::hideGroup() {
    // The tool-bar button keeps its caption: only the button itself resets it.
    m_c.gbFT->hide();
}

void SamplingPanel::TimErrBlinkTimer() {
    m_errorYellow = !m_errorYellow;
    QPalette pal = m_c.lbErrIn->palette();
    pal.setColor(QPalette::WindowText, m_errorYellow ? Qt::yellow : Qt::red);
    m_c.lbErrIn->setPalette(pal);
}

bool SamplingPanel::seFKeyPress(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (startMeasurement)
            startMeasurement();
        return true;
    }
    return seTimeKeyPress(key);
}

bool SamplingPanel::seTimeKeyPress(int key) {
    if (key == Qt::Key_Escape) {
        hideGroup();
        return true;
    }
    return false;
}

bool SamplingPanel::seSamplesKeyPress(const QKeyEvent& key) {
    // The sample count moves only by its arrows, in whole memory blocks.
    const QString typed = key.text();
    return key.key() == Qt::Key_Backspace || (!typed.isEmpty() && typed.at(0).isPrint());
}

bool SamplingPanel::eventFilter(QObject* watched, QEvent* event) {
    const auto* keyPress =
        event->type() == QEvent::KeyPress ? static_cast<const QKeyEvent*>(event) : nullptr;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;

    if (watched == m_c.seF) {
        if (keyPress && seFKeyPress(keyPress->key()))
            return true;
        if (leavesControl(event))
            seFExit();
    } else if (watched == m_c.seTime) {
        if (keyPress && seTimeKeyPress(keyPress->key()))
            return true;
        if (leavesControl(event))
            seTimeExit();
    } else if (watched == m_c.seSamples) {
        if (keyPress && seSamplesKeyPress(*keyPress))
            return true;
    } else if (watched == m_c.seFstep) {
        if (leavesControl(event))
            seFstepExit();
    } else if (watched == m_c.seTstep) {
        if (leavesControl(event))
            seTstepExit();
    } else if (doubleClick && watched->parent() == m_c.seF) {
        seFDblClick();
    } else if (doubleClick && watched->parent() == m_c.seTime) {
        seTimeDblClick();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zarvik
