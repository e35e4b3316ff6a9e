#include "shell/qttranslation.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace zarvik {

bool loadQtTranslation(QTranslator& translator) {
    // The program speaks Russian whatever the system's language, so Qt's dialogs and menus
    // speak Russian always, not the system locale's language.
    return translator.load(QStringLiteral("qtbase_ru"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

} // namespace zarvik
