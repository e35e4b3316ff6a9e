#include "device/serial/serutils.h"

#include <system_error>

namespace zarvik {

std::string SystemErrorText(int code) {
    return std::system_category().message(code);
}

std::string FillMessage(const std::string& format, const std::vector<std::string>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '%' && i + 1 < format.size()) {
            const char kind = format[i + 1];
            if (kind == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (kind == 's' || kind == 'd') {
                if (next < args.size()) {
                    out += args[next];
                }
                ++next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string ErrorMessage(const char* format, int code) {
    return FillMessage(format, {std::to_string(code), SystemErrorText(code)});
}

std::string FormatDeviceName(const std::string& format, int portNum) {
    for (std::size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        const char kind = format[i + 1];
        if (kind == 'd' || kind == 'u' || kind == 'i') {
            return format.substr(0, i) + std::to_string(portNum) + format.substr(i + 2);
        }
        if (kind == '%') {
            ++i;
        }
    }
    return format;
}

} // namespace zarvik
