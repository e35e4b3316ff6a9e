#pragma once
// Qt's own words (the file, colour and print dialogs, the edits' context menus) in the
// program's language.

class QTranslator;

namespace zarvik {

// Loads Qt's Russian translation from Qt's translations folder, for the Russian interface;
// false when it is not installed, and Qt then speaks English.
bool loadQtTranslation(QTranslator& translator);

} // namespace zarvik
