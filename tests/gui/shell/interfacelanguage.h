#pragma once
// The interface's language for one test: the translation the program would install, taken
// away again at the end so that the other tests see the Russian source texts.

#include "ui/language.h"

#include <QCoreApplication>
#include <QTranslator>
#include <gtest/gtest.h>

namespace zarvik::test {

class InterfaceLanguage {
public:
    explicit InterfaceLanguage(const QString& language) {
        // The Russian interface is the program's own texts; Qt's Russian is for its dialogs.
        if (language != kLanguageEnglish)
            return;
        EXPECT_TRUE(loadInterfaceTranslation(m_translator, language));
        QCoreApplication::installTranslator(&m_translator);
    }
    ~InterfaceLanguage() { QCoreApplication::removeTranslator(&m_translator); }
    InterfaceLanguage(const InterfaceLanguage&) = delete;
    InterfaceLanguage& operator=(const InterfaceLanguage&) = delete;

private:
    QTranslator m_translator;
};

} // namespace zarvik::test
