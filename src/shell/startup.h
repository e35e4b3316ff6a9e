#pragma once
// The program's windows, made in the order the program starts: Qt's own translation, the main
// window, then the spectrum window, hidden until the first spectrum or trend command.

#include "analysis/spectrumwindow.h"
#include "shell/tform1.h"

#include <QTranslator>

namespace zarvik {

// Installs Qt's translation for as long as it lives, when one is installed on the system.
class QtTranslation {
public:
    QtTranslation();
    ~QtTranslation();
    QtTranslation(const QtTranslation&) = delete;
    QtTranslation& operator=(const QtTranslation&) = delete;

private:
    QTranslator m_translator;
    bool m_installed = false;
};

struct ProgramWindows {
    ProgramWindows();

    QtTranslation qtTranslation;
    TForm1 form;
    TForm2 spectrum;
};

} // namespace zarvik
