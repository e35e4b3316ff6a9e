#pragma once
// The spectrum window's share of the settings: its bounds and the clipboard choice, which it
// hands back whenever it closes, and the three analysis options, which the main window keeps.

#include <optional>
#include <string>

namespace zarvik {

struct SpectrumSettings {
    int height = 515;
    int width = 794;
    int left = 0;
    int top = 0;
    int step = 1;
    int fmax = 35;
    int spectrumType = 0;
    bool spectrumSave = true;
    // The window function, the averaged segments and the decibels, which the window writes
    // itself; a file without one of these keys keeps without it until its control leaves
    // the default.
    std::optional<std::string> window;
    std::optional<int> average;
    std::optional<bool> decibels;
};

} // namespace zarvik
