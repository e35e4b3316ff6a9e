#include "commands.h"

#include "options.h"

#include <ostream>

namespace zarvik::d8c {
namespace {

const char kMainHelp[] = R"(Usage: d8c COMMAND [OPTION...] FILE...

Reads the data files (.d8c) of the 8-channel converter board without a display.

Commands:
  info      header fields, channels, sampling, duration, titles, comment, measurement date
  export    the text table (.csv or .txt) the program's save writes for a view of the file
  spectrum  the spectrum listing the spectrum window copies to the clipboard
  trend     the trend line the trend command copies to the clipboard
  stats     min, max, p-p, mean, rms and std of each channel over the shown stretch

Run "d8c COMMAND --help" for the options of a command.

Exit status: 0 when every file was done, 1 when some file failed (each failure is named on
standard error), 2 for a usage error (nothing is done).
)";

} // namespace

int runD8c(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const Environment& env) {
    try {
        if (args.empty()) {
            err << kMainHelp;
            return kExitUsage;
        }
        const std::string& command = args.front();
        if (command == "--help" || command == "-h" || command == "help") {
            out << kMainHelp;
            return kExitDone;
        }
        if (command == "info")
            return infoCommand(args, out, err, env);
        if (command == "export")
            return exportCommand(args, out, err, env);
        if (command == "spectrum")
            return spectrumCommand(args, out, err, env);
        if (command == "trend")
            return trendCommand(args, out, err, env);
        if (command == "stats")
            return statsCommand(args, out, err, env);
        throw UsageError("unknown command \"" + command + "\"");
    } catch (const UsageError& e) {
        err << "d8c: " << e.what() << "\nTry \"d8c --help\".\n";
        return kExitUsage;
    }
}

} // namespace zarvik::d8c
