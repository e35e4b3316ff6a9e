#pragma once
// What every main window must show whatever its settings file held: each control at a value
// it can hold. Shared by the randomized settings test and the settings fuzzer.

#include "shell/tform1.h"
#include "view/startmode.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>

#include <string>
#include <vector>

namespace zarvik::test {

// The controls of `w` that hold no value they could hold, by name; empty when all do.
inline std::vector<std::string> controlsOutOfRange(const TForm1& w) {
    std::vector<std::string> bad;
    bool anyChannel = false;
    for (int n = 1; n <= 8; ++n)
        anyChannel = anyChannel || w.cbCh[n]->isChecked();
    if (!anyChannel)
        bad.push_back("no channel box checked");
    for (const QSpinBox* s :
         {static_cast<const QSpinBox*>(w.gbFT->seF), static_cast<const QSpinBox*>(w.gbFT->seTime),
          static_cast<const QSpinBox*>(w.gbFT->seSamples),
          static_cast<const QSpinBox*>(w.gbChart->seInt)})
        if (s->value() < s->minimum() || s->value() > s->maximum())
            bad.push_back(s->objectName().toStdString());
    if (w.gbFT->seF->value() < 225)
        bad.push_back("seF below the board's least frequency");
    if (w.gbFT->seSamples->value() % 30000 != 0 ||
        w.Measurement.SRAMblocks * 30000 != w.gbFT->seSamples->value())
        bad.push_back("seSamples not whole memory blocks");
    for (const QComboBox* c : {w.gbOptions->cbTimeunits, w.gbChart->cbShowK, w.gbOptions->cbHelp})
        if (c->currentIndex() < 0)
            bad.push_back(c->objectName().toStdString());
    if (w.startMode()->StartMode != 0 && w.startMode()->StartMode != 16)
        bad.push_back("StartMode");
    if (w.gbOptions->refAdcIndex() != 0 && w.gbOptions->refAdcIndex() != 1)
        bad.push_back("rgRefADC");
    if (w.windowWidth() < 1 || w.windowHeight() < 1)
        bad.push_back("window size");
    return bad;
}

} // namespace zarvik::test
