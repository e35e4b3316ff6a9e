#include "ui/qttranslation.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace zarvik {

bool loadQtTranslation(QTranslator& translator) {
    // In the Russian interface Qt's dialogs and menus speak Russian too, whatever the system
    // locale's language.
    return translator.load(QStringLiteral("qtbase_ru"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

} // namespace zarvik
