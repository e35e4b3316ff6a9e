#include "device/portfinder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#ifndef NOMINMAX
#define NOMINMAX
#endif
#endif
#include <windows.h>
#endif

namespace zarvik {
namespace fs = std::filesystem;

std::string usbDeviceKey(std::uint16_t vendorId, std::uint16_t productId,
                         const std::string& instance) {
    char ids[40];
    std::snprintf(ids, sizeof ids, "Vid_%04X&Pid_%04X&Mi_00\\", vendorId, productId);
    return ids + instance + "_00\\Device Parameters\\";
}

int portNumberFromName(const std::string& portName) {
    if (portName.size() <= 3 || portName.size() > 12) {
        return -1;
    }
    int number = 0;
    for (std::size_t i = 3; i < portName.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(portName[i]))) {
            return -1;
        }
        number = number * 10 + (portName[i] - '0');
    }
    return number;
}

namespace {

std::string ReadTrimmed(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.pop_back();
    }
    return text;
}

bool HexEquals(const std::string& text, std::uint16_t value) {
    if (text.empty() || text.size() > 4) {
        return false;
    }
    unsigned long parsed = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        parsed = parsed * 16 + static_cast<unsigned long>(
                                   std::isdigit(static_cast<unsigned char>(c))
                                       ? c - '0'
                                       : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
    }
    return parsed == value;
}

// A tty name split into its stem and trailing number (-1 without one): ttyUSB12 = ttyUSB, 12.
std::pair<std::string, int> SplitTtyName(const std::string& name) {
    std::size_t start = name.size();
    while (start > 0 && std::isdigit(static_cast<unsigned char>(name[start - 1]))) {
        --start;
    }
    if (start == name.size() || name.size() - start > 9) {
        return {name, -1};
    }
    return {name.substr(0, start), std::stoi(name.substr(start))};
}

struct Candidate {
    std::string tty;
    bool instanceMatches;
};

// The board registered with the instance first, then in tty order (ttyUSB2 before ttyUSB10).
bool Before(const Candidate& a, const Candidate& b) {
    if (a.instanceMatches != b.instanceMatches) {
        return a.instanceMatches;
    }
    return SplitTtyName(a.tty) < SplitTtyName(b.tty);
}

// The USB interface a tty hangs below: the nearest ancestor that has an interface number.
bool FindInterface(const fs::path& sysfs, fs::path device, fs::path& interfaceDir) {
    std::error_code ec;
    for (int depth = 0; depth < 8 && !device.empty() && device != sysfs; ++depth) {
        if (fs::exists(device / "bInterfaceNumber", ec)) {
            interfaceDir = device;
            return true;
        }
        device = device.parent_path();
    }
    return false;
}

std::string StableName(const UsbPortRoots& roots, const std::string& tty) {
    std::error_code ec;
    // The rule's link is the name the operator knows; it may point to another of several boards.
    const fs::path linked = fs::read_symlink(roots.boardLink, ec);
    if (!ec && linked.filename() == tty) {
        return roots.boardLink.string();
    }
    std::vector<std::string> names;
    for (fs::directory_iterator it(roots.byId, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (!linkError && target.filename() == tty) {
            names.push_back(it->path().string());
        }
    }
    if (names.empty()) {
        return (roots.dev / tty).string();
    }
    std::sort(names.begin(), names.end());
    return names.front();
}

UsbComPort BoardLinkAlone(const UsbPortRoots& roots) {
    std::error_code ec;
    const fs::path target = fs::canonical(roots.boardLink, ec);
    if (ec) {
        return {};
    }
    return {std::max(SplitTtyName(target.filename().string()).second, 0), roots.boardLink.string()};
}

} // namespace

UsbComPort FindUsbComPort(std::uint16_t vendorId, std::uint16_t productId,
                          const std::string& instance, const UsbPortRoots& roots) {
    std::vector<Candidate> candidates;
    std::error_code ec;
    const fs::path sysfs = fs::weakly_canonical(roots.sysfs, ec);
    for (fs::directory_iterator it(roots.sysfs / "class" / "tty", ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code linkError;
        const fs::path device = fs::canonical(it->path() / "device", linkError);
        fs::path interfaceDir;
        if (linkError || !FindInterface(sysfs, device, interfaceDir)) {
            continue;
        }
        if (ReadTrimmed(interfaceDir / "bInterfaceNumber") != "00") {
            continue;
        }
        const fs::path usbDevice = interfaceDir.parent_path();
        if (!HexEquals(ReadTrimmed(usbDevice / "idVendor"), vendorId) ||
            !HexEquals(ReadTrimmed(usbDevice / "idProduct"), productId)) {
            continue;
        }
        const std::string tty = it->path().filename().string();
        candidates.push_back({tty, ReadTrimmed(usbDevice / "serial") == instance});
    }
    if (candidates.empty()) {
        return BoardLinkAlone(roots);
    }
    const Candidate best = *std::min_element(candidates.begin(), candidates.end(), Before);
    return {SplitTtyName(best.tty).second, StableName(roots, best.tty)};
}

#ifdef _WIN32

UsbComPort FindUsbComPort(std::uint16_t vendorId, std::uint16_t productId,
                          const std::string& instance) {
    UsbComPort result;
    HKEY root = nullptr;
    HKEY usb = nullptr;
    HKEY device = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\", 0, KEY_READ, &root) ==
            ERROR_SUCCESS &&
        RegOpenKeyExA(root, "Enum\\USB\\", 0, KEY_READ, &usb) == ERROR_SUCCESS &&
        RegOpenKeyExA(usb, usbDeviceKey(vendorId, productId, instance).c_str(), 0, KEY_READ,
                      &device) == ERROR_SUCCESS) {
        char value[101] = {};
        DWORD size = sizeof value - 1;
        DWORD type = 0;
        if (RegQueryValueExA(device, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(value),
                             &size) == ERROR_SUCCESS &&
            type == REG_SZ) {
            const std::string name(value);
            result.PortNumber = portNumberFromName(name);
            if (result.PortNumber >= 0) {
                result.DeviceName = "COM" + std::to_string(result.PortNumber);
            }
        }
    }
    for (HKEY key : {device, usb, root}) {
        if (key != nullptr) {
            RegCloseKey(key);
        }
    }
    return result;
}

#else

UsbComPort FindUsbComPort(std::uint16_t vendorId, std::uint16_t productId,
                          const std::string& instance) {
    return FindUsbComPort(vendorId, productId, instance, UsbPortRoots{});
}

#endif

} // namespace zarvik
