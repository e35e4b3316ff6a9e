#include "view/scalesfile.h"

namespace zarvik {

ScalesData::ScalesData() {
    for (int n = 1; n <= kChannels; ++n) {
        scaleK[n] = kDefaultScale;
        shiftScl[n] = kDefaultShift;
    }
}

ScalesData readScalesFile(const IniFile& file, char decimalSeparator) {
    ScalesData d;
    for (int n = 1; n <= kChannels; ++n)
        d.scaleK[n] =
            file.readDecimal(scl::kSecScale, std::to_string(n), kDefaultScale, decimalSeparator);
    for (int n = 1; n <= kChannels; ++n)
        d.shiftScl[n] =
            file.readDecimal(scl::kSecShift, std::to_string(n), kDefaultShift, decimalSeparator);
    d.yTitle = file.readString(scl::kSecYscale, scl::kKeyName, kDefaultYTitle.text);
    if (d.yTitle.empty())
        d.yTitle = kDefaultYTitle.text;
    return d;
}

bool writeZeroLevels(IniFile& file, const ChannelValues& zeroLevel, std::uint8_t channels,
                     char decimalSeparator) {
    for (int n = 1; n <= kChannels; ++n)
        if ((channels & (1u << (n - 1))) &&
            !file.writeDecimal(scl::kSecShift, std::to_string(n), zeroLevel[n], decimalSeparator))
            return false;
    return true;
}

} // namespace zarvik
