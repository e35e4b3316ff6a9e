#pragma once
// The d8c commands: info, export, spectrum, trend and stats over data files, with the options,
// messages and exit codes a script relies on.

#include "d8clocale.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace zarvik::d8c {

// Exit codes.
constexpr int kExitDone = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;

struct Environment {
    LocaleFormats locale;        // the system's formats, unless options say otherwise
    std::function<double()> now; // MeasuredAt of the present moment
    // Called before each file of a batch (index from 0) and once with index == count at the
    // end; empty: no progress is shown.
    std::function<void(std::size_t index, std::size_t count, const std::string& file)> progress;
};

// Runs `d8c args...` (args without the program's name); data go to `out`, every message to
// `err`. Returns the exit code.
int runD8c(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const Environment& env);

} // namespace zarvik::d8c
