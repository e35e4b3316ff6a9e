#include "common/timepattern.h"

#include <cctype>
#include <vector>

namespace zarvik {
namespace {

enum class Kind { Field, Quoted, Other };

struct Token {
    Kind kind;
    std::string text;
};

std::vector<Token> tokens(const std::string& p) {
    std::vector<Token> out;
    for (std::size_t i = 0; i < p.size();) {
        const std::size_t start = i;
        if (p[i] == '\'') {
            // Up to the closing quote; '' inside is a quote.
            for (++i; i < p.size(); ++i) {
                if (p[i] != '\'')
                    continue;
                if (i + 1 < p.size() && p[i + 1] == '\'') {
                    ++i;
                    continue;
                }
                ++i;
                break;
            }
            out.push_back({Kind::Quoted, p.substr(start, i - start)});
        } else if (std::isalpha(static_cast<unsigned char>(p[i]))) {
            while (i < p.size() && p[i] == p[start])
                ++i;
            out.push_back({Kind::Field, p.substr(start, i - start)});
        } else {
            while (i < p.size() && p[i] != '\'' && !std::isalpha(static_cast<unsigned char>(p[i])))
                ++i;
            out.push_back({Kind::Other, p.substr(start, i - start)});
        }
    }
    return out;
}

} // namespace

std::string timePatternWithoutZone(const std::string& pattern) {
    std::vector<Token> t = tokens(pattern);
    for (std::size_t z = 0; z < t.size();) {
        if (t[z].kind != Kind::Field || t[z].text[0] != 't') {
            ++z;
            continue;
        }
        // The separators between the zone and its neighbours go with it: those before it too
        // when it ends the pattern, those after it otherwise.
        std::size_t from = z;
        std::size_t to = z + 1;
        while (to < t.size() && t[to].kind == Kind::Other)
            ++to;
        if (to == t.size())
            while (from > 0 && t[from - 1].kind == Kind::Other)
                --from;
        t.erase(t.begin() + static_cast<std::ptrdiff_t>(from),
                t.begin() + static_cast<std::ptrdiff_t>(to));
        z = from;
    }
    std::string out;
    for (const Token& k : t)
        out += k.text;
    return out;
}

} // namespace zarvik
