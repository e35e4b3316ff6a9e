#include "options.h"

#include "common/timepattern.h"
#include "files/analysisexport.h"
#include "files/d8cfile.h"
#include "files/filetime.h"
#include "files/textexport.h"
#ifdef ZARVIK_HDF5_MAT
#include "files/libraryexport.h"
#endif

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>

namespace zarvik::d8c {
namespace {

const char kExportHelp[] =
    R"(Usage: d8c export (--csv|--txt|--hdf5|--mat|--npy|--wav) [-o OUT] [OPTION...] FILE...

Writes the text table the program's save writes for the same view of each file: the source
line, the calibration block, the axis titles, the smoothing note, the comment and the rows,
in Windows-1251 with CR line ends; or the same view for analysis tools, as the program's
save writes it too. A file is replaced only once its new contents are written whole, and
takes the measurement's time as its last-write time, as in the program.

  --csv, --txt      ';' or TAB between the columns
  --hdf5            an HDF5 file (.h5): datasets codes, values and time, and the view's
                    channels, calibration, units, smoothing, titles, comment, time and
                    source file as attributes of the root group
  --mat             a MATLAB level-5 file (.mat) of the same names and contents
  --npy             the values alone as a NumPy array (.npy): float64, points x channels
  --wav             the converter codes as 16-bit sound (.wav), a sound channel per shown
                    channel at the sampling frequency, (code - 2048) x 16
                    (default for all: from the extension of -o)
  -o OUT            "-": standard output (one text table only); a folder (one that exists, a
                    name ending in a separator, or any name when several files are given):
                    the files go there, named after the data files; otherwise the file's
                    name (one data file only). Default: beside each data file, its extension
                    replaced.
  --x time|samples|none
                    the X axis and its column by time or by sample number; none leaves the
                    X column out, as "не сохранять" does, with the time axis (default: time)
  --time-unit us|ms|s
                    the time unit of the X axis (default: us, as the program starts)
  --date-format P   (tables) the file time of the source line in Qt's date-time pattern
                    letters, e.g. "dd.MM.yyyy HH:mm:ss" (default: the locale's short date, a
                    blank and its long time without the time zone)
)";

struct ExportFormat {
    const char* option;
    const char* extension;
    SaveFormat format;
    const char* name; // in messages
};

constexpr ExportFormat kFormats[] = {
    {"--csv", ".csv", SaveFormat::Csv, "table"},
    {"--txt", ".txt", SaveFormat::Text, "table"},
    {"--hdf5", ".h5", SaveFormat::Hdf5, "HDF5 file"},
    {"--mat", ".mat", SaveFormat::Mat, "MATLAB file"},
    {"--npy", ".npy", SaveFormat::Npy, "NumPy file"},
    {"--wav", ".wav", SaveFormat::Wav, "WAV file"},
};

AnalysisWriter writerOf(SaveFormat format) {
#ifdef ZARVIK_HDF5_MAT
    return analysisWriter(format);
#else
    return coreAnalysisWriter(format);
#endif
}

namespace fs = std::filesystem;

DateTimeFormatter fileTimeFormatter(const Parsed& p, const Environment& env) {
    if (const std::string* pattern = p.value("--date-format")) {
        const std::string pat = *pattern;
        return
            [pat](double t) { return formatDateTime(pat, decodeMeasuredAt(t), localZoneName(t)); };
    }
    const LocaleFormats l = env.locale;
    // The long time as the locale writes it, without its time zone.
    const std::string longTime = timePatternWithoutZone(l.longTime);
    return [l, longTime](double t) {
        const LocalDateTime d = decodeMeasuredAt(t);
        return formatDateTime(l.shortDate, d, {}) + ' ' + formatDateTime(longTime, d, {});
    };
}

bool endsWithSeparator(const std::string& s) {
    return !s.empty() &&
           (s.back() == '/' || (fs::path::preferred_separator == '\\' && s.back() == '\\'));
}

} // namespace

int exportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const Environment& env) {
    std::vector<OptionSpec> specs = kViewOptions;
    for (const ExportFormat& f : kFormats)
        specs.push_back({f.option, false});
    specs.insert(specs.end(),
                 {{"-o", true}, {"--x", true}, {"--time-unit", true}, {"--date-format", true}});
    const Parsed p = parseOptions(args, specs);
    if (p.has("--help")) {
        out << kExportHelp << kViewHelp << kLocaleHelp;
        return kExitDone;
    }
    if (p.files.empty())
        throw UsageError("export needs at least one data file");
    ViewOptions view = viewOptions(p);
    const char decimal = decimalSeparator(p, env);
    if (const std::string* x = p.value("--x")) {
        if (*x == "time")
            view.x = XColumn::Time;
        else if (*x == "samples")
            view.x = XColumn::Samples;
        else if (*x == "none")
            view.x = XColumn::None;
        else
            throw UsageError("--x takes time, samples or none, not \"" + *x + "\"");
    }
    if (const std::string* u = p.value("--time-unit")) {
        const std::vector<std::string> units = {"us", "ms", "s"};
        const auto it = std::find(units.begin(), units.end(), *u);
        if (it == units.end())
            throw UsageError("--time-unit takes us, ms or s, not \"" + *u + "\"");
        view.timeUnit = static_cast<int>(it - units.begin());
    }

    const std::string* output = p.value("-o");
    const ExportFormat* kind = nullptr;
    for (const ExportFormat& f : kFormats) {
        if (!p.has(f.option))
            continue;
        if (kind)
            throw UsageError("give one of --csv, --txt, --hdf5, --mat, --npy and --wav");
        kind = &f;
    }
    const bool toStdout = output && *output == "-";
    std::error_code ec;
    const bool toFolder = output && !toStdout &&
                          (p.files.size() > 1 || endsWithSeparator(*output) ||
                           fs::is_directory(fs::u8path(*output), ec));
    if (!kind) {
        const std::string ext = output && !toStdout && !toFolder
                                    ? fs::u8path(*output).extension().u8string()
                                    : std::string();
        for (const ExportFormat& f : kFormats)
            if (ext == f.extension)
                kind = &f;
        if (!kind)
            throw UsageError("give --csv, --txt, --hdf5, --mat, --npy or --wav");
    }
    const bool table = kind->format == SaveFormat::Csv || kind->format == SaveFormat::Text;
    const AnalysisWriter writer = table ? nullptr : writerOf(kind->format);
    if (!table && !writer)
        throw UsageError(std::string("this build of d8c writes no ") + kind->name +
                         "s: it was built without the HDF5 and MATLAB libraries");
    if (toStdout && !table)
        throw UsageError("-o - writes a text table; give the " + std::string(kind->name) +
                         " a name or a folder");
    if (!table && p.has("--date-format"))
        throw UsageError("--date-format is for the text tables");
    if (toStdout && p.files.size() > 1)
        throw UsageError("-o - writes one file's table to standard output; give one data file");
    const char separator = kind->format == SaveFormat::Text ? '\t' : ';';
    const DateTimeFormatter format = fileTimeFormatter(p, env);
    if (toFolder)
        fs::create_directories(fs::u8path(*output), ec);

    std::map<std::string, std::string> written; // output -> the data file it came from
    return forEachFile(p.files, err, env, [&](const std::string& file) {
        FileView v = openFileView(file, view);
        std::vector<double> xs;
        const ExportView e = exportViewOf(v, view, xs);
        if (toStdout) {
            const std::string text = buildTextExport(
                v.m, v.m.Comment, e, exportSourceLine(v.m, env.now(), format), separator, decimal);
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            return;
        }
        fs::path target;
        if (toFolder)
            target = fs::u8path(*output) /
                     fs::u8path(file).filename().replace_extension(kind->extension);
        else if (output)
            target = fs::u8path(*output);
        else
            target = fs::u8path(file).replace_extension(kind->extension);
        const std::string name = programFileName(target.u8string());
        if (name == v.m.FileName)
            throw ViewError(std::string("the ") + kind->name +
                            " would replace the data file itself");
        if (const auto it = written.find(name); it != written.end())
            throw ViewError(std::string("the ") + kind->name + " " + target.u8string() +
                            " was already written from " + it->second);
        if (kind->format == SaveFormat::Wav &&
            !wavSampleRate(v.m.SamplePeriodUs, v.channels.size()))
            throw ViewError("the file's sampling period gives no sample rate a WAV file can hold");
        if (writer)
            writeAnalysisExport(v.m, target.u8string(), v.m.Comment, e, writer);
        else
            writeTextExport(v.m, target.u8string(), separator, v.m.Comment, e, decimal, env.now(),
                            format);
        written[name] = file;
    });
}

} // namespace zarvik::d8c
