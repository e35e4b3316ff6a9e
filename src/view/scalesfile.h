#pragma once
// The calibration file "scales.scl": per channel the scale and the shift of
// physical = (code - shift) * scale, and the name of the physical quantity. Numbers are
// decimal text with the locale's separator; a number written with the other separator, an
// empty value or a missing one reads as its default.

#include "common/inifile.h"
#include "common/measurement.h"
#include "common/uitext.h"

#include <string>

namespace zarvik {

namespace scl {
inline constexpr char kFileName[] = "scales.scl";
// The section names are literals: whatever unit they name, the scale multiplies converter
// units.
inline constexpr char kSecScale[] = "K, (cm/s/s)/mA";
inline constexpr char kSecShift[] = "Shift (ADC units)";
inline constexpr char kSecYscale[] = "Yscale";
inline constexpr char kKeyName[] = "Name";
} // namespace scl

constexpr double kDefaultScale = 250.0;
constexpr double kDefaultShift = 2047.0; // the middle of the 12-bit range, rounded down
// The last letter is a Latin c, as the title has always read.
// Files keep it in Russian; the chart shows it in the interface's language.
inline constexpr UiSource kDefaultYTitle = ZARVIK_TR_NOOP("Axes", "Ускорение, см/с/c");

struct ScalesData {
    ChannelValues scaleK{};   // [1..8]
    ChannelValues shiftScl{}; // [1..8]
    std::string yTitle = kDefaultYTitle.text;
    ScalesData();
};

// The whole file, each entry with its default; a missing file gives all defaults.
ScalesData readScalesFile(const IniFile& file, char decimalSeparator);

// The zero levels as the new shifts of the channels of `channels` (bit n-1 = channel n), in
// ascending order and in place: every other line of the file stays as it was. Stops at the
// first key that cannot be written and returns false (the keys before it stay written).
bool writeZeroLevels(IniFile& file, const ChannelValues& zeroLevel, std::uint8_t channels,
                     char decimalSeparator);

} // namespace zarvik
