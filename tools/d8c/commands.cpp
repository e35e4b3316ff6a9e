#include "commands.h"

#include "analysis/spectrum.h"
#include "analysis/trend.h"
#include "common/numtext.h"
#include "files/d8cfile.h"
#include "files/fileerror.h"
#include "files/filetime.h"
#include "fileview.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>

namespace zarvik::d8c {
namespace {

namespace fs = std::filesystem;

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------------------------------------
// Help texts

const char kMainHelp[] = R"(Usage: d8c COMMAND [OPTION...] FILE...

Reads the data files (.d8c) of the 8-channel converter board without a display.

Commands:
  info      header fields, channels, sampling, duration, titles, comment, measurement date
  export    the text table (.csv or .txt) the program's save writes for a view of the file
  spectrum  the spectrum listing the spectrum window copies to the clipboard
  trend     the trend line the trend command copies to the clipboard

Run "d8c COMMAND --help" for the options of a command.

Exit status: 0 when every file was done, 1 when some file failed (each failure is named on
standard error), 2 for a usage error (nothing is done).
)";

const char kViewHelp[] = R"(
The view (as the main window shows a file just opened; every option is one of its controls):
  --channels LIST   the channel columns, e.g. 1,3 (default: every channel of the file)
  --from MS         first time shown, ms (point i of a channel lies at (i + 1) x period)
  --to MS           last time shown, ms (default: the whole measurement)
  --units adc|physical
                    converter codes, or (code - Shift) x Scale with the file's own
                    calibration (default: physical); a data file brings its shifts,
                    scales and quantity name, so "scales.scl" plays no part
  --smooth N        the running average over N points, 2..512 (default: none)
)";

const char kLocaleHelp[] = R"(
Locale: numbers take the decimal separator of the system's locale, as in the program (on
Windows the user's regional settings; elsewhere LC_ALL, then LC_NUMERIC, then LANG), and
file times its short date and long time (LC_ALL, LC_TIME, LANG); locales outside the tool's
list read as "C". Fix them for scripts with:
  --decimal-separator C   e.g. --decimal-separator . or --decimal-separator ,
)";

const char kInfoHelp[] = R"(Usage: d8c info [--json] FILE...

Prints one block per file: the header fields, the channels, the sampling period and
frequency, the samples per channel and the duration, the axis titles, the calibration, the
comment and the measurement date (the file's last-write time, as the program reads it).
Numbers use a decimal point.

  --json    one JSON array with an object per file read
  --help    this text
)";

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
                    its long time)
)";

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

const char kTrendHelp[] = R"(Usage: d8c trend [--channel N] [OPTION...] FILE...

Prints the line the trend command copies to the clipboard for the shown stretch of one
channel: slope per ms, intercept, first and last time in ms, channel and file.

  --channel N    the channel analysed (default: the first channel of the file)
  --step S       every S-th point from the first is used: 1, 2, 4, 8, 16 or 32 (default: 1)
)";

// ---------------------------------------------------------------------------------------------
// Options

struct OptionSpec {
    const char* name;
    bool takesValue;
};

struct Parsed {
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    std::vector<std::string> files;

    bool has(const std::string& name) const { return values.count(name) || flags.count(name); }
    const std::string* value(const std::string& name) const {
        const auto it = values.find(name);
        return it == values.end() ? nullptr : &it->second;
    }
};

Parsed parseOptions(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs) {
    Parsed p;
    bool options = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!options || a.size() < 2 || a[0] != '-') {
            p.files.push_back(a);
            continue;
        }
        if (a == "--") {
            options = false;
            continue;
        }
        std::string name = a;
        std::optional<std::string> inlineValue;
        if (const auto eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            inlineValue = a.substr(eq + 1);
        }
        const auto option = std::find_if(specs.begin(), specs.end(),
                                         [&](const OptionSpec& s) { return name == s.name; });
        if (option == specs.end())
            throw UsageError("unknown option " + name);
        if (!option->takesValue) {
            if (inlineValue)
                throw UsageError("option " + name + " takes no value");
            p.flags.insert(name);
            continue;
        }
        if (inlineValue) {
            p.values[name] = *inlineValue;
        } else {
            if (i + 1 >= args.size())
                throw UsageError("option " + name + " needs a value");
            p.values[name] = args[++i];
        }
    }
    return p;
}

long wholeNumber(const std::string& option, const std::string& text, long low, long high) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || v < low || v > high)
        throw UsageError(option + " takes a whole number " + std::to_string(low) + ".." +
                         std::to_string(high) + ", not \"" + text + "\"");
    return v;
}

double milliseconds(const std::string& option, const std::string& text) {
    double v = 0.0;
    if (!parseDecimal(text, '.', v) || !std::isfinite(v))
        throw UsageError(option + " takes a time in ms such as 12.5, not \"" + text + "\"");
    return v;
}

int powerOfTwoStep(const Parsed& p) {
    const std::string* s = p.value("--step");
    if (s == nullptr)
        return 1;
    const long v = wholeNumber("--step", *s, 1, 32);
    if ((v & (v - 1)) != 0)
        throw UsageError("--step takes 1, 2, 4, 8, 16 or 32 (the window's step edit doubles and "
                         "halves), not " +
                         *s);
    return static_cast<int>(v);
}

int channelNumber(const std::string& option, const std::string& text) {
    return static_cast<int>(wholeNumber(option, text, 1, kChannels));
}

const std::vector<OptionSpec> kViewOptions = {{"--channels", true}, {"--from", true},
                                              {"--to", true},       {"--units", true},
                                              {"--smooth", true},   {"--decimal-separator", true},
                                              {"--help", false}};

ViewOptions viewOptions(const Parsed& p) {
    ViewOptions v;
    if (const std::string* list = p.value("--channels")) {
        std::set<int> channels;
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = list->find(',', start);
            channels.insert(channelNumber("--channels", list->substr(start, comma - start)));
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
        v.channels.assign(channels.begin(), channels.end());
    }
    if (const std::string* from = p.value("--from"))
        v.fromMs = milliseconds("--from", *from);
    if (const std::string* to = p.value("--to"))
        v.toMs = milliseconds("--to", *to);
    if (v.fromMs && v.toMs && *v.fromMs > *v.toMs)
        throw UsageError("--from is later than --to");
    if (const std::string* units = p.value("--units")) {
        if (*units != "adc" && *units != "physical")
            throw UsageError("--units takes adc or physical, not \"" + *units + "\"");
        v.physical = *units == "physical";
    }
    if (const std::string* n = p.value("--smooth"))
        v.smoothing = static_cast<int>(wholeNumber("--smooth", *n, 2, 512));
    return v;
}

char decimalSeparator(const Parsed& p, const Environment& env) {
    const std::string* s = p.value("--decimal-separator");
    if (s == nullptr)
        return env.locale.decimalSeparator;
    if (s->size() != 1 || static_cast<unsigned char>((*s)[0]) >= 0x80 || (*s)[0] == ' ')
        throw UsageError("--decimal-separator takes one character such as . or ,");
    return (*s)[0];
}

// ---------------------------------------------------------------------------------------------
// Messages and batches

std::string loadErrorText(const FileError& e) {
    switch (e.kind()) {
    case FileError::Kind::CannotOpen:
        return "cannot open the file";
    case FileError::Kind::NotDataFile:
        return "not a data file of the converter (.d8c)";
    case FileError::Kind::StreamRead:
        return "the file ends inside its sample block";
    case FileError::Kind::TooLarge:
        return "the sample block is larger than the " + std::to_string(kD8cMaxDataSize) +
               " bytes a data file may hold";
    default:
        return e.what();
    }
}

// Runs `work` on every file; a failure is named on `err` and the batch goes on.
int forEachFile(const std::vector<std::string>& files, std::ostream& err, const Environment& env,
                const std::function<void(const std::string&)>& work) {
    int failed = 0;
    const bool progress = env.progress && files.size() > 1;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (progress)
            env.progress(i, files.size(), files[i]);
        try {
            work(files[i]);
        } catch (const D8cLoadError& e) {
            ++failed;
            if (progress)
                env.progress(files.size(), files.size(), {});
            err << "d8c: " << files[i] << ": " << loadErrorText(e) << '\n';
        } catch (const FileError& e) {
            ++failed;
            if (progress)
                env.progress(files.size(), files.size(), {});
            err << "d8c: " << files[i] << ": "
                << (e.kind() == FileError::Kind::CannotOpen ? loadErrorText(e) : e.what()) << '\n';
        } catch (const std::exception& e) {
            ++failed;
            if (progress)
                env.progress(files.size(), files.size(), {});
            err << "d8c: " << files[i] << ": " << e.what() << '\n';
        }
    }
    if (progress)
        env.progress(files.size(), files.size(), {});
    return failed == 0 ? kExitDone : kExitSomeFailed;
}

// ---------------------------------------------------------------------------------------------
// info

std::string plain(double v) {
    return formatGeneral(v, '.');
}

std::string jsonNumber(double v) {
    return std::isfinite(v) ? formatGeneral(v, '.') : "null";
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string isoTime(double measuredAt) {
    const LocalDateTime t = decodeMeasuredAt(measuredAt);
    return formatDateTime("yyyy-MM-dd HH:mm:ss", t, {});
}

struct InfoFacts {
    D8cContents c;
    double measuredAt = 0.0;
    std::vector<int> channels;
    std::size_t samplesPerChannel = 0;
    double frequencyHz = 0.0;
    double durationMs = 0.0;
};

InfoFacts readFacts(const std::string& file) {
    LoadedD8c loaded = loadD8cFile(programFileName(file));
    InfoFacts f;
    f.c = std::move(loaded.contents);
    f.measuredAt = loaded.MeasuredAt;
    for (int n = 1; n <= kChannels; ++n)
        if (f.c.header.ChannelMask & (1u << (n - 1)))
            f.channels.push_back(n);
    // Only whole instants count, as the chart takes them.
    if (!f.channels.empty())
        f.samplesPerChannel = f.c.SampleData.size() / 2 / f.channels.size();
    f.frequencyHz = 1000000.0 / f.c.header.SamplePeriodUs;
    f.durationMs = static_cast<double>(f.samplesPerChannel) * f.c.header.SamplePeriodUs / 1000.0;
    return f;
}

template <typename T, typename F> std::string joined(const T& items, const char* sep, F each) {
    std::string out;
    for (const auto& item : items)
        out += (out.empty() ? "" : sep) + each(item);
    return out;
}

void printInfo(std::ostream& out, const std::string& file, const InfoFacts& f) {
    const D8cHeader& h = f.c.header;
    char format[8];
    std::snprintf(format, sizeof format, "0x%04X", static_cast<unsigned>(h.FormatWord));
    auto values = [](const ChannelValues& v) {
        std::string s;
        for (int n = 1; n <= kChannels; ++n)
            s += (n > 1 ? " " : "") + plain(v[n]);
        return s;
    };
    out << "file:                " << file << '\n'
        << "format:              " << format << ' ' << int(h.FormatByteA) << ' '
        << int(h.FormatByteB) << (h.FormatWord <= 0x00FF ? " (older format)" : "") << '\n'
        << "channels:            "
        << (f.channels.empty() ? std::string("none")
                               : joined(f.channels, " ", [](int n) { return std::to_string(n); }))
        << '\n'
        << "sampling period:     " << plain(h.SamplePeriodUs) << " us\n"
        << "sampling frequency:  " << plain(f.frequencyHz) << " Hz\n"
        << "samples per channel: " << f.samplesPerChannel << '\n'
        << "duration:            " << plain(f.durationMs) << " ms\n"
        << "data size:           " << h.DataSize << " bytes\n"
        << "x title:             " << f.c.XTitle << '\n'
        << "y title:             " << f.c.YTitle << '\n'
        << "scale:               " << values(f.c.Scale) << '\n'
        << "shift:               " << values(f.c.Shift) << '\n'
        << "measured:            " << isoTime(f.measuredAt) << '\n'
        << "comment:";
    for (std::size_t i = 0; i < f.c.Comment.size(); ++i)
        out << (i == 0 ? "             " : "\n                     ") << f.c.Comment[i];
    out << '\n';
}

std::string infoJson(const std::string& file, const InfoFacts& f) {
    const D8cHeader& h = f.c.header;
    auto values = [](const ChannelValues& v) {
        std::string s;
        for (int n = 1; n <= kChannels; ++n)
            s += (n > 1 ? ", " : "") + jsonNumber(v[n]);
        return "[" + s + "]";
    };
    std::string j = "  {\n";
    j += "    \"file\": " + jsonString(file) + ",\n";
    j += "    \"format_word\": " + std::to_string(h.FormatWord) + ",\n";
    j += "    \"format_bytes\": [" + std::to_string(h.FormatByteA) + ", " +
         std::to_string(h.FormatByteB) + "],\n";
    j += "    \"channels\": [" + joined(f.channels, ", ", [](int n) { return std::to_string(n); }) +
         "],\n";
    j += "    \"sample_period_us\": " + jsonNumber(h.SamplePeriodUs) + ",\n";
    j += "    \"sampling_frequency_hz\": " + jsonNumber(f.frequencyHz) + ",\n";
    j += "    \"samples_per_channel\": " + std::to_string(f.samplesPerChannel) + ",\n";
    j += "    \"duration_ms\": " + jsonNumber(f.durationMs) + ",\n";
    j += "    \"data_size\": " + std::to_string(h.DataSize) + ",\n";
    j += "    \"x_title\": " + jsonString(f.c.XTitle) + ",\n";
    j += "    \"y_title\": " + jsonString(f.c.YTitle) + ",\n";
    j += "    \"scale\": " + values(f.c.Scale) + ",\n";
    j += "    \"shift\": " + values(f.c.Shift) + ",\n";
    j += "    \"measured\": " + jsonString(isoTime(f.measuredAt)) + ",\n";
    j += "    \"comment\": [" + joined(f.c.Comment, ", ", jsonString) + "]\n";
    return j + "  }";
}

int infoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const Environment& env) {
    const Parsed p = parseOptions(args, {{"--json", false}, {"--help", false}});
    if (p.has("--help")) {
        out << kInfoHelp;
        return kExitDone;
    }
    if (p.files.empty())
        throw UsageError("info needs at least one data file");
    const bool json = p.has("--json");
    std::vector<std::string> objects;
    bool first = true;
    const int rc = forEachFile(p.files, err, env, [&](const std::string& file) {
        const InfoFacts f = readFacts(file);
        if (json) {
            objects.push_back(infoJson(file, f));
            return;
        }
        if (!first)
            out << '\n';
        first = false;
        printInfo(out, file, f);
    });
    if (json) {
        out << "[\n";
        for (std::size_t i = 0; i < objects.size(); ++i)
            out << objects[i] << (i + 1 < objects.size() ? ",\n" : "\n");
        out << "]\n";
    }
    return rc;
}

// ---------------------------------------------------------------------------------------------
// export

DateTimeFormatter fileTimeFormatter(const Parsed& p, const Environment& env) {
    if (const std::string* pattern = p.value("--date-format")) {
        const std::string pat = *pattern;
        return
            [pat](double t) { return formatDateTime(pat, decodeMeasuredAt(t), localZoneName(t)); };
    }
    const LocaleFormats l = env.locale;
    return [l](double t) {
        const LocalDateTime d = decodeMeasuredAt(t);
        const std::string zone = localZoneName(t);
        return formatDateTime(l.shortDate, d, zone) + ' ' + formatDateTime(l.longTime, d, zone);
    };
}

bool endsWithSeparator(const std::string& s) {
    return !s.empty() &&
           (s.back() == '/' || (fs::path::preferred_separator == '\\' && s.back() == '\\'));
}

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

// ---------------------------------------------------------------------------------------------
// spectrum and trend

int analysisChannel(const Parsed& p, const FileView& v) {
    if (const std::string* c = p.value("--channel"))
        return channelNumber("--channel", *c);
    if (v.channels.empty())
        throw ViewError("the file holds no channel");
    return v.channels.front();
}

std::vector<OptionSpec> analysisOptions(std::initializer_list<OptionSpec> own) {
    std::vector<OptionSpec> specs = kViewOptions;
    specs.erase(
        std::remove_if(specs.begin(), specs.end(),
                       [](const OptionSpec& s) { return std::string(s.name) == "--channels"; }),
        specs.end());
    specs.insert(specs.end(), own);
    return specs;
}

ViewOptions analysisView(const Parsed& p) {
    ViewOptions view = viewOptions(p);
    // The values do not depend on the X axis; an analysed channel must be in the file.
    if (const std::string* c = p.value("--channel"))
        view.channels = {channelNumber("--channel", *c)};
    return view;
}

// The spectrum and the trend both look at one channel of the visible stretch of a file.
template <typename Request> void aimAt(Request& r, const Parsed& p, const FileView& v) {
    r.channel = analysisChannel(p, v);
    r.visibleFirst = v.visibleFirst;
    r.visibleLast = v.visibleLast;
    r.samplePeriodUs = v.m.SamplePeriodUs;
    r.fileName = v.m.FileName;
}

const char kNothingToAnalyse[] =
    "nothing to analyse: no point lies between the times, or the file has no sampling period";

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
        throw UsageError("unknown command \"" + command + "\"");
    } catch (const UsageError& e) {
        err << "d8c: " << e.what() << "\nTry \"d8c --help\".\n";
        return kExitUsage;
    }
}

} // namespace zarvik::d8c
