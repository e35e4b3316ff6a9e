// A settings or calibration file may hold any bytes. Reading it gives each entry or its
// default, the calibration reads as finite numbers or its defaults, and a value written into
// it reads back as written while the file keeps every line it had.

#include "common/inifile.h"
#include "view/scalesfile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::filesystem::path scratch() {
    static const std::filesystem::path p = std::filesystem::temp_directory_path() /
                                           ("zarvik-fuzz-" + std::to_string(::getpid()) + ".ini");
    return p;
}

std::size_t lines(const std::string& bytes) {
    std::size_t n = 0;
    for (char c : bytes)
        n += c == '\n';
    return n;
}

std::string contents(const std::filesystem::path& p) {
    std::string s;
    if (std::FILE* f = std::fopen(p.c_str(), "rb")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            s.append(buf, n);
        std::fclose(f);
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (std::FILE* f = std::fopen(scratch().c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    zarvik::IniFile ini(scratch());
    const zarvik::ScalesData scales = zarvik::readScalesFile(ini, ',');
    for (int n = 1; n <= zarvik::kChannels; ++n)
        if (!std::isfinite(scales.scaleK[n]) || !std::isfinite(scales.shiftScl[n]))
            std::abort();
    ini.readInteger("Окно F/T", "F", 2048);

    if (!ini.writeString("Options", "Zarvik", "fuzz value"))
        std::abort();
    if (zarvik::IniFile(scratch()).readString("Options", "Zarvik", "") != "fuzz value")
        std::abort();
    // The lines there were stay, one or two are added.
    const std::size_t after = lines(contents(scratch()));
    if (after + 1 < lines(bytes) || after > lines(bytes) + 3)
        std::abort();
    return 0;
}
