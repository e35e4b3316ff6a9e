#include "options.h"

#include "analysis/spectrum.h"

#include <ostream>

namespace zarvik::d8c {
namespace {

const char kSpectrumHelp[] = R"(Usage: d8c spectrum [--channel N] [OPTION...] FILE...

Prints the lines the spectrum window copies to the clipboard for the shown stretch of one
channel: the header, an empty line, the strongest bin with the stretch's times, the
channel and the file, then one line per bin up to Fmax.

  --channel N    the channel analysed (default: the first channel of the file, the first
                 shown one)
  --step S       every S-th point is taken: 1, 2, 4, 8, 16 or 32 (default: 1)
  --fmax HZ      the highest frequency listed, 1..500 (default: 35)
  --no-bins      the summary line only, as with "СПЕКТР в буфер" cleared
)";

} // namespace

int spectrumCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const Environment& env) {
    const Parsed p = parseOptions(
        args, analysisOptions(
                  {{"--channel", true}, {"--step", true}, {"--fmax", true}, {"--no-bins", false}}));
    if (p.has("--help")) {
        out << kSpectrumHelp << kViewHelp << kLocaleHelp;
        return kExitDone;
    }
    if (p.files.empty())
        throw UsageError("spectrum needs at least one data file");
    const ViewOptions view = analysisView(p);
    SpectrumRequest r;
    r.step = powerOfTwoStep(p);
    if (const std::string* f = p.value("--fmax"))
        r.fmaxHz = static_cast<int>(wholeNumber("--fmax", *f, 1, 500));
    r.binLines = !p.has("--no-bins");
    r.decimalSeparator = decimalSeparator(p, env);
    std::vector<double> amplitude;
    return forEachFile(p.files, err, env, [&](const std::string& file) {
        const FileView v = openFileView(file, view);
        aimAt(r, p, v);
        const auto listing = listSpectrum(v.points.channels[r.channel].y, r, amplitude);
        if (!listing)
            throw ViewError(kNothingToAnalyse);
        std::string text;
        for (const std::string& line : listing->clipboardLines)
            text += line + '\n';
        out << text;
    });
}

} // namespace zarvik::d8c
