// Bytes of a file become text and text becomes bytes at every file boundary: every
// Windows-1251 byte string comes back from UTF-8 unchanged, any UTF-8 (valid or not) encodes
// without fault, and a decimal read with either separator is a finite number or none.

#include "common/cp1251.h"
#include "common/numtext.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (zarvik::utf8ToCp1251(zarvik::cp1251ToUtf8(bytes)) != bytes)
        std::abort();
    const std::string encoded = zarvik::utf8ToCp1251(bytes);
    if (encoded.size() > bytes.size())
        std::abort();
    for (char separator : {'.', ','}) {
        double x = 0.0;
        if (zarvik::parseDecimal(bytes, separator, x) && !std::isfinite(x))
            std::abort();
    }
    return 0;
}
