#pragma once
// Comment text as it is stored in files: lines joined by CR LF with no line end after the
// last one; on reading, a line ends at CR LF, a lone CR or a lone LF.

#include <string>
#include <string_view>
#include <vector>

namespace zarvik {

// A line end after the last line does not start another (empty) line.
std::vector<std::string> splitLines(std::string_view text);

std::string joinLines(const std::vector<std::string>& lines);

} // namespace zarvik
