#include "options.h"

#include "common/numtext.h"
#include "files/d8cfile.h"
#include "files/fileerror.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <ostream>

namespace zarvik::d8c {

extern const char kViewHelp[] = R"(
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

extern const char kLocaleHelp[] = R"(
Locale: numbers take the decimal separator of the system's locale, as in the program (on
Windows the user's regional settings; elsewhere LC_ALL, then LC_NUMERIC, then LANG), and
file times its short date and long time without the time zone (LC_ALL, LC_TIME, LANG);
locales outside the tool's list read as "C". Fix them for scripts with:
  --decimal-separator C   e.g. --decimal-separator . or --decimal-separator ,
)";

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

namespace {

double milliseconds(const std::string& option, const std::string& text) {
    double v = 0.0;
    if (!parseDecimal(text, '.', v) || !std::isfinite(v))
        throw UsageError(option + " takes a time in ms such as 12.5, not \"" + text + "\"");
    return v;
}

} // namespace

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

int analysisChannel(const Parsed& p, const FileView& v) {
    if (const std::string* c = p.value("--channel"))
        return channelNumber("--channel", *c);
    if (v.channels.empty())
        throw ViewError("the file holds no channel");
    return v.channels.front();
}

extern const char kNothingToAnalyse[] =
    "nothing to analyse: no point lies between the times, or the file has no sampling period";

namespace {

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

} // namespace

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

} // namespace zarvik::d8c
