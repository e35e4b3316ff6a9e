#pragma once
// Windows-1251, the single-byte Cyrillic code page of every text inside our files.
// Text in the program is UTF-8; it crosses into Windows-1251 only at a file boundary.

#include <string>
#include <string_view>

namespace zarvik {

// Byte 0x98 is unassigned in Windows-1251; it decodes to the control character U+0098, so
// that a comment holding it is written back byte for byte. Characters without a byte encode
// as '?'.
constexpr char kCp1251Unmappable = '?';

// Windows-1251 bytes -> UTF-8.
std::string cp1251ToUtf8(std::string_view bytes);
// UTF-8 -> Windows-1251 bytes; characters with no byte (and malformed UTF-8) become '?'.
std::string utf8ToCp1251(std::string_view utf8);

// The Unicode code point of one Windows-1251 byte (U+0098 for 0x98).
char32_t cp1251ToUnicode(unsigned char byte);

// UTF-8 -> UTF-16 code units, for files that keep their texts so (MATLAB's characters);
// malformed UTF-8 becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);

} // namespace zarvik
