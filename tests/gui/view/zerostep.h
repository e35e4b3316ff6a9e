#pragma once
// The chart build of a zero run over steady inputs: its zero step measures every checked
// channel at the given level (converter units), as a zero run's measurement would. The
// operator's settings stay as they are.

#include "shell/tform1.h"
#include "view/chartview.h"

#include <QCheckBox>
#include <QComboBox>
#include <array>

namespace zarvik::test {

inline void zeroStepOver(TForm1& f, const std::array<int, 9>& levels) {
    std::vector<int> channels;
    for (int n = 1; n <= kChannels; ++n)
        if (f.cbCh[n]->isChecked())
            channels.push_back(n);
    auto& data = f.Measurement.SampleData;
    data.clear();
    for (int instant = 0; instant < 3750; ++instant)
        for (int n : channels) {
            data.push_back(static_cast<std::uint8_t>(levels[n] & 0xFF));
            data.push_back(static_cast<std::uint8_t>(levels[n] >> 8));
        }
    // The zero run reads converter units.
    const bool restore = f.gbChart->cbRestoreParams->isChecked();
    const int mode = f.gbChart->cbShowK->currentIndex();
    f.gbChart->cbRestoreParams->setChecked(false);
    f.gbChart->cbShowK->setCurrentIndex(1);
    f.Measurement.ZeroRun = true;
    f.chartView()->ShowChart();
    f.gbChart->cbShowK->setCurrentIndex(mode);
    f.gbChart->cbRestoreParams->setChecked(restore);
}

} // namespace zarvik::test
