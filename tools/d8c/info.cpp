#include "options.h"

#include "common/numtext.h"
#include "files/d8cfile.h"
#include "files/filetime.h"

#include <cmath>
#include <cstdio>
#include <ostream>

namespace zarvik::d8c {
namespace {

const char kInfoHelp[] = R"(Usage: d8c info [--json] FILE...

Prints one block per file: the header fields, the channels, the sampling period and
frequency, the samples per channel and the duration, the axis titles, the calibration, the
comment and the measurement date (the file's last-write time, as the program reads it).
Numbers use a decimal point.

  --json    one JSON array with an object per file read
  --help    this text
)";

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

} // namespace

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

} // namespace zarvik::d8c
