#include "common/numtext.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zarvik {
namespace {

void stripTrailingZeros(std::string& digits) {
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
}

} // namespace

std::string formatGeneral(double x, char decimalSeparator) {
    if (std::isnan(x))
        return "NAN";
    if (std::isinf(x))
        return x > 0 ? "INF" : "-INF";
    if (x == 0.0)
        return "0";

    // 15 significant digits; the exponent is taken after rounding, so 999999999999999.9
    // becomes 1E15 as it should.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(x));
    std::string text(buf);
    const auto ePos = text.find('e');
    const int exponent = std::atoi(text.c_str() + ePos + 1);
    std::string digits = text.substr(0, 1) + text.substr(2, ePos - 2); // 15 digits
    stripTrailingZeros(digits);

    std::string out = x < 0 ? "-" : "";
    if (exponent < -5 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) {
            out += decimalSeparator;
            out += digits.substr(1);
        }
        out += 'E';
        out += std::to_string(exponent);
        return out;
    }
    if (exponent < 0) {
        out += '0';
        out += decimalSeparator;
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
        return out;
    }
    const auto intDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
        out += digits;
        out.append(intDigits - digits.size(), '0');
    } else {
        out += digits.substr(0, intDigits);
        out += decimalSeparator;
        out += digits.substr(intDigits);
    }
    return out;
}

std::string formatFixed(double x, int decimals, char decimalSeparator) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, x);
    // The C library writes the separator of the process's numeric locale, which a Qt program
    // has taken from the system; whichever it wrote, the caller's goes in its place.
    std::string out(buf);
    const auto separator = out.find_first_of(".,");
    if (separator != std::string::npos)
        out[separator] = decimalSeparator;
    return out;
}

bool parseDecimal(const std::string& text, char decimalSeparator, double& out) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return false;
    const auto last = text.find_last_not_of(" \t");
    std::string s = text.substr(first, last - first + 1);

    // Only digits, one sign, the locale's separator and an exponent are a number here; a
    // point where the locale has a comma (or the other way round) is not.
    for (char& c : s) {
        if (c == decimalSeparator) {
            c = '.';
        } else if (c == '.' || c == ',') {
            return false;
        } else if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' ||
                     c == 'e' || c == 'E')) {
            return false;
        }
    }
    const char* begin = s.c_str();
    if (*begin == '+')
        ++begin;
    double value = 0;
    const char* end = s.c_str() + s.size();
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end)
        return false;
    out = value;
    return true;
}

} // namespace zarvik
