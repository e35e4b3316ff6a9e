#pragma once
// The program's windows, made in the order the program starts: the interface's language first,
// since the windows make their captions as they are built; then the main window, and the
// spectrum window, hidden until the first spectrum or trend command.

#include "analysis/spectrumwindow.h"
#include "shell/tform1.h"

#include <QString>

namespace zarvik {

struct ProgramWindows {
    ProgramWindows();

    // "ru" or "en": from the settings file's choice, or else from the system's languages.
    const QString language;
    TForm1 form;
    TForm2 spectrum;
};

} // namespace zarvik
