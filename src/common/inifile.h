#pragma once
// Private-profile ("INI") files on Windows-1251 bytes: "[Section]" lines and "Key=Value"
// lines. Names match without regard to letter case; values are returned as UTF-8.
// Every write replaces the file as a whole (temporary file, then rename), keeping every other
// line, comment and order byte for byte, so a crash never leaves half a settings file.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace zarvik {

// Creates or empties a file for writing bytes; null when it cannot. On Windows a narrow name
// goes through the system's code page, which cannot name a folder outside it (a Cyrillic user
// name on a Latin system), so the wide-character call is used there.
std::FILE* createBinaryFile(const std::filesystem::path& path);

class IniFile {
public:
    // Reads the file if it exists; a missing or unreadable file reads as all defaults.
    explicit IniFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return m_path; }

    // Whole value must be a decimal integer (optional sign), else the default.
    int readInteger(const std::string& section, const std::string& key, int def) const;
    // Any non-zero integer is true.
    bool readBool(const std::string& section, const std::string& key, bool def) const;
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // A number written with the locale's separator; anything else gives the default.
    double readDecimal(const std::string& section, const std::string& key, double def,
                       char decimalSeparator) const;
    bool hasKey(const std::string& section, const std::string& key) const;

    // Each write sets one key in place (appending the key or the section when missing) and
    // replaces the file. Returns false, leaving the file as it was, when it cannot be written.
    bool writeString(const std::string& section, const std::string& key, const std::string& value);
    bool writeInteger(const std::string& section, const std::string& key, int value);
    bool writeBool(const std::string& section, const std::string& key, bool value);
    bool writeDecimal(const std::string& section, const std::string& key, double value,
                      char decimalSeparator);

private:
    bool lookup(const std::string& section, const std::string& key, std::string& value) const;
    bool setValue(const std::string& section, const std::string& key, const std::string& value);
    bool save() const;

    std::filesystem::path m_path;
    // Windows-1251 bytes of each line without its '\n' (a CR of a CR LF end stays on the line,
    // so lines we do not touch are written back exactly as read).
    std::vector<std::string> m_lines;
    std::string m_newLineEnd = "\r"; // what a line we add carries before its '\n'
    bool m_finalNewline = true;
};

} // namespace zarvik
