#include "ui/language.h"

#include "ui/qttranslation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>
#include <array>

namespace zarvik {
namespace {

QString& current() {
    static QString language = kLanguageRussian;
    return language;
}

bool readsRussian(const QString& language) {
    static const std::array<QLatin1String, 4> languages = {
        QLatin1String("ru"), QLatin1String("uk"), QLatin1String("be"), QLatin1String("kk")};
    for (const QLatin1String& l : languages)
        if (language == l)
            return true;
    return false;
}

} // namespace

QString interfaceLanguage() {
    return current();
}

std::string languageSetting(const std::string& stored) {
    // A value written by hand may have capitals or blanks.
    const QString value = QString::fromStdString(stored).trimmed().toLower();
    for (const char* language : {kLanguageRussian, kLanguageEnglish})
        if (value == QLatin1String(language))
            return language;
    return {};
}

QString chooseInterfaceLanguage(const std::string& setting, const QStringList& uiLanguages) {
    const std::string stored = languageSetting(setting);
    if (!stored.empty())
        return QString::fromStdString(stored);
    bool namesOne = false;
    for (const QString& entry : uiLanguages) {
        // "en-US", "ru_RU", "uk": the language is the part before the territory.
        const QString language = entry.section(QRegularExpression("[-_]"), 0, 0).toLower();
        if (readsRussian(language))
            return kLanguageRussian;
        if (language == QLatin1String("en"))
            return kLanguageEnglish;
        namesOne = namesOne ||
                   (language != QLatin1String("c") && language != "posix" && !language.isEmpty());
    }
    return namesOne ? kLanguageEnglish : kLanguageRussian;
}

bool loadInterfaceTranslation(QTranslator& translator, const QString& language) {
    return language == kLanguageEnglish ? translator.load(QStringLiteral(":/i18n/zarvik_en.qm"))
                                        : loadQtTranslation(translator);
}

QString installInterfaceLanguage(const std::string& setting) {
    const QString language = chooseInterfaceLanguage(setting, QLocale::system().uiLanguages());
    auto* translator = new QTranslator(QCoreApplication::instance());
    const bool loaded = loadInterfaceTranslation(*translator, language);
    if (loaded)
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    // Without its translation the program still speaks Russian.
    current() = loaded || language == kLanguageRussian ? language : QString(kLanguageRussian);
    return current();
}

QString translated(const UiText& text) {
    const QString source = QCoreApplication::translate(text.source.context, text.source.text);
    return QString::fromStdString(fillPlaces(source.toStdString(), text.args));
}

} // namespace zarvik
