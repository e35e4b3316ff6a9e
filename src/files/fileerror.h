#pragma once
// Errors of the data-file layer. Every failure is thrown as a FileError whose what() is the
// text the operator reads; kind() tells the window how to show it (an information box for a
// file that is not ours or a refused name, the default error display for the rest).

#include "common/uitext.h"

#include <string>

namespace zarvik {

class FileError : public UiError {
public:
    enum class Kind {
        CannotOpen,           // "Cannot open file %s"
        NotDataFile,          // wrong marker byte or a file too short for the fixed part
        StreamRead,           // "Stream read error": the file ends inside the sample block
        TooLarge,             // a sample block too large to hold and draw; the window words it
        CannotCreate,         // "Cannot create file %s"
        WriteFailed,          // "Unable to write to %s"
        UnsupportedExtension, // a save name whose extension names no format of the save
        FormatRefused         // the view does not fit the chosen format (a WAV without a rate)
    };

    FileError(Kind kind, const std::string& text) : UiError(text), m_kind(kind) {}
    // A message of the program's own, which the window translates; what() is its Russian.
    FileError(Kind kind, const UiText& text) : UiError(text), m_kind(kind) {}

    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

} // namespace zarvik
