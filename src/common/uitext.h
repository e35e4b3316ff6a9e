#pragma once
// A text for the operator made below the windows, where there is no Qt: its translation
// context and Russian source text with places %1, %2... for the values that fill it. The
// windows translate the source before they fill it (ui/language.h); plain programs and
// tests read the Russian.

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Marks a source text for lupdate, which the build runs with
// -tr-function-alias QT_TRANSLATE_NOOP+=ZARVIK_TR_NOOP.
#define ZARVIK_TR_NOOP(context, text)                                                              \
    ::zarvik::UiSource {                                                                           \
        context, text                                                                              \
    }

namespace zarvik {

struct UiSource {
    const char* context = "";
    const char* text = ""; // UTF-8
};

struct UiText {
    UiText() = default;
    UiText(UiSource s, std::vector<std::string> values = {}) : source(s), args(std::move(values)) {}

    UiSource source;
    std::vector<std::string> args; // UTF-8, for %1, %2...

    bool empty() const { return *source.text == '\0'; }
    // The source text filled in: what the operator reads in Russian.
    std::string russian() const;
};

// An error raised below the windows: what() is the text in Russian; text() is the program's own
// message, which the windows translate, or empty for a platform's text, which reads the same in
// every language.
class UiError : public std::runtime_error {
public:
    explicit UiError(const std::string& platformText) : std::runtime_error(platformText) {}
    explicit UiError(const UiText& text) : std::runtime_error(text.russian()), m_text(text) {}

    const UiText& text() const { return m_text; }

private:
    UiText m_text;
};

// `text` with each %1..%9 replaced by args[0..8]; a place without a value stays as it is, and
// a value is never searched for places itself.
std::string fillPlaces(const std::string& text, const std::vector<std::string>& args);

} // namespace zarvik
