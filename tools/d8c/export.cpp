#include "options.h"

#include "common/timepattern.h"
#include "files/d8cfile.h"
#include "files/filetime.h"
#include "files/textexport.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>

namespace zarvik::d8c {
namespace {

const char kExportHelp[] = R"(Usage: d8c export (--csv|--txt) [-o OUT] [OPTION...] FILE...

Writes the text table the program's save writes for the same view of each file: the source
line, the calibration block, the axis titles, the smoothing note, the comment and the rows,
in Windows-1251 with CR line ends. A file is replaced only once its new contents are
written whole, and takes the measurement's time as its last-write time, as in the program.

  --csv, --txt      ';' or TAB between the columns (default: from the extension of -o)
  -o OUT            "-": standard output (one file only); a folder (one that exists, a name
                    ending in a separator, or any name when several files are given): the
                    tables go there, named after the data files; otherwise the table's
                    name (one file only). Default: beside each data file, its extension
                    replaced.
  --x time|samples|none
                    the X axis and its column by time or by sample number; none leaves the
                    X column out, as "не сохранять" does, with the time axis (default: time)
  --time-unit us|ms|s
                    the time unit of the X axis (default: us, as the program starts)
  --date-format P   the file time of the source line in Qt's date-time pattern letters,
                    e.g. "dd.MM.yyyy HH:mm:ss" (default: the locale's short date, a blank and
                    its long time without the time zone)
)";

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
    specs.insert(specs.end(), {{"--csv", false},
                               {"--txt", false},
                               {"-o", true},
                               {"--x", true},
                               {"--time-unit", true},
                               {"--date-format", true}});
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
    std::string kind;
    if (p.has("--csv") && p.has("--txt"))
        throw UsageError("give one of --csv and --txt");
    if (p.has("--csv"))
        kind = ".csv";
    else if (p.has("--txt"))
        kind = ".txt";
    const bool toStdout = output && *output == "-";
    std::error_code ec;
    const bool toFolder = output && !toStdout &&
                          (p.files.size() > 1 || endsWithSeparator(*output) ||
                           fs::is_directory(fs::u8path(*output), ec));
    if (kind.empty()) {
        const std::string ext = output && !toStdout && !toFolder
                                    ? fs::u8path(*output).extension().u8string()
                                    : std::string();
        if (ext != ".csv" && ext != ".txt")
            throw UsageError("give --csv or --txt");
        kind = ext;
    }
    if (toStdout && p.files.size() > 1)
        throw UsageError("-o - writes one file's table to standard output; give one data file");
    const char separator = kind == ".txt" ? '\t' : ';';
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
            target = fs::u8path(*output) / fs::u8path(file).filename().replace_extension(kind);
        else if (output)
            target = fs::u8path(*output);
        else
            target = fs::u8path(file).replace_extension(kind);
        const std::string name = programFileName(target.u8string());
        if (name == v.m.FileName)
            throw ViewError("the table would replace the data file itself");
        if (const auto it = written.find(name); it != written.end())
            throw ViewError("the table " + target.u8string() + " was already written from " +
                            it->second);
        writeTextExport(v.m, target.u8string(), separator, v.m.Comment, e, decimal, env.now(),
                        format);
        written[name] = file;
    });
}

} // namespace zarvik::d8c
