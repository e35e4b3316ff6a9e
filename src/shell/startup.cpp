#include "shell/startup.h"

#include "shell/qttranslation.h"

#include <QApplication>

namespace zarvik {

QtTranslation::QtTranslation() {
    if (loadQtTranslation(m_translator))
        m_installed = QApplication::installTranslator(&m_translator);
}

QtTranslation::~QtTranslation() {
    if (m_installed)
        QApplication::removeTranslator(&m_translator);
}

ProgramWindows::ProgramWindows() : spectrum(form.Places) {
    form.setSpectrumWindow(&spectrum);
}

} // namespace zarvik
