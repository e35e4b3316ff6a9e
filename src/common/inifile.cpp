#include "common/inifile.h"

#include "common/cp1251.h"
#include "common/numtext.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace zarvik {
namespace {

// Letter case folding on Windows-1251 bytes: Latin, the Cyrillic alphabet and the letters
// of the 0x80..0xBF block that have a case pair.
unsigned char foldByte(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDF)
        return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x80:
        return 0x90;
    case 0x81:
        return 0x83;
    case 0x8A:
        return 0x9A;
    case 0x8C:
        return 0x9C;
    case 0x8D:
        return 0x9D;
    case 0x8E:
        return 0x9E;
    case 0x8F:
        return 0x9F;
    case 0xA1:
        return 0xA2;
    case 0xA3:
        return 0xBC;
    case 0xA5:
        return 0xB4;
    case 0xA8:
        return 0xB8;
    case 0xAA:
        return 0xBA;
    case 0xAF:
        return 0xBF;
    case 0xB2:
        return 0xB3;
    case 0xBD:
        return 0xBE;
    default:
        return c;
    }
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldByte(static_cast<unsigned char>(a[i])) !=
            foldByte(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// "[Name]" -> true with the trimmed name.
bool sectionName(const std::string& line, std::string& name) {
    const std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    const auto close = t.find(']');
    if (close == std::string::npos)
        return false;
    name = trim(t.substr(1, close - 1));
    return true;
}

// "Key=Value" -> true with the trimmed key and value; comments and other lines -> false.
bool keyValue(const std::string& line, std::string& key, std::string& value) {
    const std::string t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[')
        return false;
    const auto eq = t.find('=');
    if (eq == std::string::npos)
        return false;
    key = trim(t.substr(0, eq));
    value = trim(t.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return true;
}

bool parseInteger(const std::string& text, int& out) {
    const std::string t = trim(text);
    if (t.empty())
        return false;
    std::size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (i == t.size())
        return false;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            return false;
        v = v * 10 + (t[i] - '0');
        if (v > 2147483648LL)
            return false;
    }
    if (t[0] == '-')
        v = -v;
    if (v > 2147483647LL)
        return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

std::FILE* createBinaryFile(const std::filesystem::path& path) {
#ifdef _WIN32
    return ::_wfopen(path.c_str(), L"wb");
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

IniFile::IniFile(std::filesystem::path path) : m_path(std::move(path)) {
    std::ifstream in(m_path, std::ios::binary);
    if (!in)
        return;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty())
        return;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto nl = bytes.find('\n', start);
        if (nl == std::string::npos) {
            m_lines.push_back(bytes.substr(start));
            m_finalNewline = false;
            break;
        }
        m_lines.push_back(bytes.substr(start, nl - start));
        start = nl + 1;
    }
    const bool crlf =
        !m_lines.empty() && !m_lines.front().empty() && m_lines.front().back() == '\r';
    m_newLineEnd = (crlf || bytes.find('\n') == std::string::npos) ? "\r" : "";
}

bool IniFile::lookup(const std::string& section, const std::string& key, std::string& value) const {
    const std::string sec = utf8ToCp1251(section);
    const std::string k = utf8ToCp1251(key);
    bool inSection = false;
    std::string name, lineKey, lineValue;
    for (const auto& line : m_lines) {
        if (sectionName(line, name)) {
            inSection = sameName(name, sec);
            continue;
        }
        if (inSection && keyValue(line, lineKey, lineValue) && sameName(lineKey, k)) {
            value = cp1251ToUtf8(lineValue);
            return true;
        }
    }
    return false;
}

int IniFile::readInteger(const std::string& section, const std::string& key, int def) const {
    std::string text;
    int v = def;
    if (lookup(section, key, text) && parseInteger(text, v))
        return v;
    return def;
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::hasKey(const std::string& section, const std::string& key) const {
    std::string value;
    return lookup(section, key, value);
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    std::string text;
    return lookup(section, key, text) ? text : def;
}

double IniFile::readDecimal(const std::string& section, const std::string& key, double def,
                            char decimalSeparator) const {
    std::string text;
    double v = def;
    if (lookup(section, key, text) && parseDecimal(text, decimalSeparator, v))
        return v;
    return def;
}

bool IniFile::setValue(const std::string& section, const std::string& key,
                       const std::string& value) {
    const std::string sec = utf8ToCp1251(section);
    const std::string k = utf8ToCp1251(key);
    const std::string newLine = k + "=" + utf8ToCp1251(value) + m_newLineEnd;
    std::vector<std::string> before = m_lines;
    const bool finalBefore = m_finalNewline;

    bool inSection = false;
    std::ptrdiff_t lastInSection = -1; // last non-blank line of the wanted section
    std::string name, lineKey, lineValue;
    bool done = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (sectionName(m_lines[i], name)) {
            if (inSection)
                break; // the wanted section ended without the key
            inSection = sameName(name, sec);
            if (inSection)
                lastInSection = static_cast<std::ptrdiff_t>(i);
            continue;
        }
        if (!inSection)
            continue;
        if (keyValue(m_lines[i], lineKey, lineValue) && sameName(lineKey, k)) {
            m_lines[i] = newLine;
            done = true;
            break;
        }
        if (!trim(m_lines[i]).empty())
            lastInSection = static_cast<std::ptrdiff_t>(i);
    }
    if (!done) {
        if (lastInSection >= 0) {
            m_lines.insert(m_lines.begin() + lastInSection + 1, newLine);
            if (static_cast<std::size_t>(lastInSection) + 2 == m_lines.size())
                m_finalNewline = true;
        } else {
            m_lines.push_back("[" + sec + "]" + m_newLineEnd);
            m_lines.push_back(newLine);
            m_finalNewline = true;
        }
    }
    if (save())
        return true;
    m_lines = std::move(before);
    m_finalNewline = finalBefore;
    return false;
}

bool IniFile::save() const {
    std::string bytes;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        bytes += m_lines[i];
        if (i + 1 < m_lines.size() || m_finalNewline)
            bytes += '\n';
    }
    std::filesystem::path tmp = m_path;
    tmp += ".~new";
    std::FILE* f = createBinaryFile(tmp);
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
#ifndef _WIN32
    ok = ::fsync(fileno(f)) == 0 && ok;
#endif
    ok = std::fclose(f) == 0 && ok;
    std::error_code ec;
    if (ok)
        std::filesystem::rename(tmp, m_path, ec);
    if (!ok || ec) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

bool IniFile::writeString(const std::string& section, const std::string& key,
                          const std::string& value) {
    return setValue(section, key, value);
}

bool IniFile::writeInteger(const std::string& section, const std::string& key, int value) {
    return setValue(section, key, std::to_string(value));
}

bool IniFile::writeBool(const std::string& section, const std::string& key, bool value) {
    return setValue(section, key, value ? "1" : "0");
}

bool IniFile::writeDecimal(const std::string& section, const std::string& key, double value,
                           char decimalSeparator) {
    return setValue(section, key, formatGeneral(value, decimalSeparator));
}

} // namespace zarvik
