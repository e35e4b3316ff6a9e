#pragma once
// Windows-1251, the single-byte Cyrillic code page of every text inside our files.
// Text in the program is UTF-8; it crosses into Windows-1251 only at a file boundary.

#include <string>
#include <string_view>

namespace zarvik {

// Byte 0x98 is unassigned in Windows-1251; it decodes to U+FFFD so that nothing is lost
// silently, and U+FFFD (like any character without a byte) encodes as '?'.
constexpr char kCp1251Unmappable = '?';

// Windows-1251 bytes -> UTF-8.
std::string cp1251ToUtf8(std::string_view bytes);
// UTF-8 -> Windows-1251 bytes; characters with no byte (and malformed UTF-8) become '?'.
std::string utf8ToCp1251(std::string_view utf8);

// The Unicode code point of one Windows-1251 byte (0xFFFD for 0x98).
char32_t cp1251ToUnicode(unsigned char byte);

} // namespace zarvik
