#include "options.h"

#include "analysis/statistics.h"

#include <ostream>

namespace zarvik::d8c {
namespace {

const char kStatsHelp[] = R"(Usage: d8c stats [OPTION...] FILE...

Prints the figures of each shown channel over exactly the points "d8c export" writes for
the same view: a header line, then one line per channel with its number, the points, the
smallest and the largest value, their difference (p-p), the mean, the root mean square and
the standard deviation (of the population). The values are those of the view: converter
codes or physical values, smoothed as asked; the window's cursors table writes the same
figures for the points between its cursors. Columns are separated by a TAB; numbers take
up to 15 significant digits. With several files, each file's table follows a line
"==> FILE <==" and an empty line separates the tables.
)";

} // namespace

int statsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const Environment& env) {
    const Parsed p = parseOptions(args, kViewOptions);
    if (p.has("--help")) {
        out << kStatsHelp << kViewHelp << kLocaleHelp;
        return kExitDone;
    }
    if (p.files.empty())
        throw UsageError("stats needs at least one data file");
    const ViewOptions view = viewOptions(p);
    const char decimal = decimalSeparator(p, env);
    bool firstTable = true;
    return forEachFile(p.files, err, env, [&](const std::string& file) {
        const FileView v = openFileView(file, view);
        if (v.visibleFirst < 0)
            throw ViewError(kNothingToAnalyse);
        std::string text;
        if (p.files.size() > 1)
            text += std::string(firstTable ? "" : "\n") + "==> " + v.m.FileName + " <==\n";
        text += "channel\tpoints\tmin\tmax\tp-p\tmean\trms\tstd\n";
        const auto first = static_cast<std::size_t>(v.visibleFirst);
        const auto count = static_cast<std::size_t>(v.visibleLast - v.visibleFirst + 1);
        for (int n : v.channels) {
            const StretchStatistics s =
                stretchStatistics(v.points.channels[n].y.data() + first, count);
            text += std::to_string(n);
            for (const std::string& column : statisticsColumns(s, decimal))
                text += '\t' + column;
            text += '\n';
        }
        out << text;
        firstTable = false;
    });
}

} // namespace zarvik::d8c
