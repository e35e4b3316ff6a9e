#include "device/serial/serutils.h"

#ifdef _WIN32
#ifndef NOMINMAX
#ifndef NOMINMAX
#define NOMINMAX
#endif
#endif
#include <windows.h>
#else
#include <system_error>
#endif

namespace zarvik {

std::string SystemErrorText(int code) {
#ifdef _WIN32
    char text[512] = {};
    const DWORD n =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    std::string message(text, n);
    // The system's texts end with a line break.
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
#else
    return std::system_category().message(code);
#endif
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
