#include "d8clocale.h"

#include <cstdlib>
#include <ctime>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zarvik::d8c {
namespace {

struct KnownLocale {
    const char* name;
    char decimalSeparator;
    const char* shortDate;
    const char* longTime;
};

// Qt 6's short date and long time of these locales (its data from the common locale
// repository); the test of the list holds every entry against Qt.
constexpr KnownLocale kKnownLocales[] = {
    {"C", '.', "d MMM yyyy", "HH:mm:ss t"},     {"ru", ',', "dd.MM.yyyy", "HH:mm:ss t"},
    {"uk", ',', "dd.MM.yy", "HH:mm:ss t"},      {"be", ',', "d.MM.yy", "HH:mm:ss, t"},
    {"kk", ',', "dd.MM.yy", "HH:mm:ss t"},      {"en", '.', "M/d/yy", "h:mm:ss AP t"},
    {"en_GB", '.', "dd/MM/yyyy", "HH:mm:ss t"}, {"en_AU", '.', "d/M/yy", "h:mm:ss AP t"},
    {"de", ',', "dd.MM.yy", "HH:mm:ss t"},      {"de_CH", '.', "dd.MM.yy", "HH:mm:ss t"},
    {"fr", ',', "dd/MM/yyyy", "HH:mm:ss t"},    {"it", ',', "dd/MM/yy", "HH:mm:ss t"},
    {"es", ',', "d/M/yy", "H:mm:ss (t)"},       {"pl", ',', "d.MM.yyyy", "HH:mm:ss t"},
    {"cs", ',', "dd.MM.yy", "H:mm:ss t"},       {"lv", ',', "dd.MM.yy", "HH:mm:ss t"},
    {"lt", ',', "yyyy-MM-dd", "HH:mm:ss t"},    {"et", ',', "dd.MM.yy", "HH:mm:ss t"},
    {"fi", ',', "d.M.yyyy", "H.mm.ss t"},       {"sv", ',', "yyyy-MM-dd", "HH:mm:ss t"},
    {"nl", ',', "dd-MM-yyyy", "HH:mm:ss t"},    {"pt", ',', "dd/MM/yyyy", "HH:mm:ss t"},
    {"tr", ',', "d.MM.yyyy", "HH:mm:ss t"},
};

const KnownLocale* findLocale(const std::string& name) {
    for (const KnownLocale& l : kKnownLocales)
        if (name == l.name)
            return &l;
    return nullptr;
}

constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

std::string padded(int value, std::size_t width) {
    std::string s = std::to_string(value);
    return s.size() < width ? std::string(width - s.size(), '0') + s : s;
}

// Sakamoto's rule; 0 is Sunday.
int weekday(int y, int m, int d) {
    static constexpr int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (m < 3)
        y -= 1;
    return (y + y / 4 - y / 100 + y / 400 + offsets[m - 1] + d) % 7;
}

#ifndef _WIN32
// The program's own look-up: LC_ALL, then the category's variable, then LANG.
std::string localeName(const char* category) {
    for (const char* var : {"LC_ALL", category, "LANG"}) {
        const char* v = std::getenv(var);
        if (v != nullptr && *v != '\0')
            return v;
    }
    return "C";
}

LocaleFormats formatsOf(const std::string& name) {
    LocaleFormats f;
    knownLocaleFormats(name, f);
    return f;
}
#else
std::string localeInfo(LCTYPE type) {
    wchar_t buf[128];
    const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buf, 128);
    if (n <= 1)
        return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, buf, n - 1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, buf, n - 1, out.data(), bytes, nullptr, nullptr);
    return out;
}

// Windows writes "t" and "tt" for the AM/PM mark where Qt writes "AP".
std::string fromWindowsPattern(const std::string& p) {
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (p[i] == '\'')
            quoted = !quoted;
        if (!quoted && p[i] == 't') {
            while (i + 1 < p.size() && p[i + 1] == 't')
                ++i;
            out += "AP";
            continue;
        }
        out += p[i];
    }
    return out;
}
#endif

} // namespace

bool knownLocaleFormats(const std::string& name, LocaleFormats& out) {
    std::string bare = name.substr(0, name.find_first_of(".@"));
    if (bare == "POSIX")
        bare = "C";
    const KnownLocale* l = findLocale(bare);
    if (l == nullptr)
        l = findLocale(bare.substr(0, bare.find('_')));
    if (l == nullptr)
        return false;
    out.decimalSeparator = l->decimalSeparator;
    out.shortDate = l->shortDate;
    out.longTime = l->longTime;
    return true;
}

LocaleFormats systemLocaleFormats() {
    LocaleFormats f;
#ifdef _WIN32
    const std::string point = localeInfo(LOCALE_SDECIMAL);
    if (point.size() == 1)
        f.decimalSeparator = point[0];
    const std::string date = localeInfo(LOCALE_SSHORTDATE);
    const std::string time = localeInfo(LOCALE_STIMEFORMAT);
    if (!date.empty())
        f.shortDate = fromWindowsPattern(date);
    if (!time.empty())
        f.longTime = fromWindowsPattern(time);
#else
    const LocaleFormats numbers = formatsOf(localeName("LC_NUMERIC"));
    const LocaleFormats dates = formatsOf(localeName("LC_TIME"));
    f.decimalSeparator = numbers.decimalSeparator;
    f.shortDate = dates.shortDate;
    f.longTime = dates.longTime;
#endif
    return f;
}

std::string formatDateTime(const std::string& pattern, const LocalDateTime& t,
                           const std::string& zoneName) {
    std::string out;
    std::size_t i = 0;
    auto run = [&](char c) {
        std::size_t n = 0;
        while (i + n < pattern.size() && pattern[i + n] == c)
            ++n;
        return n;
    };
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'') {
            if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
                out += '\'';
                i += 2;
                continue;
            }
            // Quoted text runs to the next lone quote; '' inside it is a quote too.
            for (++i; i < pattern.size(); ++i) {
                if (pattern[i] != '\'') {
                    out += pattern[i];
                } else if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
                    out += '\'';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
            continue;
        }
        if ((c == 'A' || c == 'a') && i + 1 < pattern.size() &&
            (pattern[i + 1] == 'P' || pattern[i + 1] == 'p')) {
            out += c == 'A' ? (t.hour < 12 ? "AM" : "PM") : (t.hour < 12 ? "am" : "pm");
            i += 2;
            continue;
        }
        std::size_t n = run(c);
        const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        switch (c) {
        case 'd':
            n = std::min<std::size_t>(n, 4);
            out += n <= 2 ? padded(t.day, n)
                          : std::string(kDays[weekday(t.year, t.month, t.day)])
                                .substr(0, n == 3 ? 3 : std::string::npos);
            break;
        case 'M':
            n = std::min<std::size_t>(n, 4);
            out +=
                n <= 2
                    ? padded(t.month, n)
                    : std::string(kMonths[t.month - 1]).substr(0, n == 3 ? 3 : std::string::npos);
            break;
        case 'y':
            if (n >= 4) {
                n = 4;
                out += padded(t.year, 4);
            } else if (n >= 2) {
                n = 2;
                out += padded(t.year % 100, 2);
            } else {
                out += c;
            }
            break;
        case 'H':
        case 'h':
            n = std::min<std::size_t>(n, 2);
            out += padded(c == 'H' ? t.hour : hour12, n);
            break;
        case 'm':
            n = std::min<std::size_t>(n, 2);
            out += padded(t.minute, n);
            break;
        case 's':
            n = std::min<std::size_t>(n, 2);
            out += padded(t.second, n);
            break;
        case 'z':
            n = n >= 3 ? 3 : 1;
            out += n == 3 ? padded(t.millisecond, 3) : std::to_string(t.millisecond);
            break;
        case 'A':
        case 'a':
            n = 1;
            out += c == 'A' ? (t.hour < 12 ? "AM" : "PM") : (t.hour < 12 ? "am" : "pm");
            break;
        case 't':
            n = 1;
            out += zoneName;
            break;
        default:
            n = 1;
            out += c;
        }
        i += n;
    }
    return out;
}

std::string localZoneName(double measuredAt) {
    const std::optional<std::time_t> when = timeFromMeasuredAt(measuredAt);
    if (!when)
        return {};
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &*when) != 0)
        return {};
#else
    if (localtime_r(&*when, &tm) == nullptr)
        return {};
#endif
    char buf[128];
    const std::size_t n = std::strftime(buf, sizeof buf, "%Z", &tm);
    return std::string(buf, n);
}

} // namespace zarvik::d8c
