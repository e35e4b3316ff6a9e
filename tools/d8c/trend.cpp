#include "options.h"

#include "analysis/trend.h"

#include <ostream>

namespace zarvik::d8c {
namespace {

const char kTrendHelp[] = R"(Usage: d8c trend [--channel N] [OPTION...] FILE...

Prints the line the trend command copies to the clipboard for the shown stretch of one
channel: slope per ms, intercept, first and last time in ms, channel and file.

  --channel N    the channel analysed (default: the first channel of the file)
  --step S       every S-th point from the first is used: 1, 2, 4, 8, 16 or 32 (default: 1)
)";

} // namespace

int trendCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const Environment& env) {
    const Parsed p = parseOptions(args, analysisOptions({{"--channel", true}, {"--step", true}}));
    if (p.has("--help")) {
        out << kTrendHelp << kViewHelp << kLocaleHelp;
        return kExitDone;
    }
    if (p.files.empty())
        throw UsageError("trend needs at least one data file");
    const ViewOptions view = analysisView(p);
    TrendRequest r;
    r.step = powerOfTwoStep(p);
    r.decimalSeparator = decimalSeparator(p, env);
    return forEachFile(p.files, err, env, [&](const std::string& file) {
        const FileView v = openFileView(file, view);
        aimAt(r, p, v);
        const auto result = fitTrend(v.points.channels[r.channel].y, r);
        if (!result)
            throw ViewError(kNothingToAnalyse);
        out << result->clipboardLine << '\n';
    });
}

} // namespace zarvik::d8c
