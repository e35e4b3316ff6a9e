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
  --window NAME  the window over the points of each transform: rect (default), hann,
                 hamming, blackman or flattop; every amplitude is divided by the
                 window's coherent gain, so that a sine at a bin's frequency reads its
                 amplitude
  --average K    the root mean square of K spectra, 1..64 (default: 1), of segments of
                 2n/(K+1) of the n decimated points, each starting half a segment after
                 the one before; a K that leaves fewer than 16 points in a segment fails
                 for that file
  --db           amplitudes as 20 log10(A), in dB relative to one unit of the values
                 (converter codes or the physical unit); an amplitude below 1e-12 reads
                 as -240

With any of the last three away from its default, the header and the summary line go on
with the columns Window, Coherent Gain, ENBW,bins (the equivalent noise bandwidth in
bins of a segment, its sampling rate over its points), ENBW,Hz, Segments, Segment
Points (the points of a segment that enter the transform) and Bin Width,Hz, and with
--db the amplitude column is named "Amplitude,dB".
)";

} // namespace

int spectrumCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const Environment& env) {
    const Parsed p = parseOptions(args, analysisOptions({{"--channel", true},
                                                         {"--step", true},
                                                         {"--fmax", true},
                                                         {"--no-bins", false},
                                                         {"--window", true},
                                                         {"--average", true},
                                                         {"--db", false}}));
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
    if (const std::string* w = p.value("--window")) {
        const auto window = windowFromName(*w);
        if (!window)
            throw UsageError("--window takes rect, hann, hamming, blackman or flattop, not \"" +
                             *w + "\"");
        r.window = *window;
    }
    if (const std::string* k = p.value("--average"))
        r.segments = static_cast<int>(wholeNumber("--average", *k, 1, kSpectrumMaxSegments));
    r.decibels = p.has("--db");
    r.decimalSeparator = decimalSeparator(p, env);
    std::vector<double> amplitude;
    return forEachFile(p.files, err, env, [&](const std::string& file) {
        const FileView v = openFileView(file, view);
        aimAt(r, p, v);
        const std::vector<double>& values = v.points.channels[r.channel].y;
        if (spectrumRefusal(values, r) == SpectrumRefusal::ShortSegments)
            throw ViewError("--average " + std::to_string(r.segments) + " leaves fewer than " +
                            std::to_string(kSpectrumMinSegmentPoints) +
                            " points in a segment of the stretch: average fewer segments, take "
                            "a smaller --step or a longer stretch");
        const auto listing = listSpectrum(values, r, amplitude);
        if (!listing)
            throw ViewError(kNothingToAnalyse);
        std::string text;
        for (const std::string& line : listing->clipboardLines)
            text += line + '\n';
        out << text;
    });
}

} // namespace zarvik::d8c
