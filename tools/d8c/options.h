#pragma once
// What every d8c command shares: the parsing of options, the view options that pick channels,
// stretch, units and smoothing as the main window's controls do, the locale options, and the
// batch that runs a command over each file and names each failure.

#include "commands.h"
#include "fileview.h"

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace zarvik::d8c {

// A command line that cannot be carried out: nothing is done, the exit code is kExitUsage.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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

// `args` with the command's name first; an option not in `specs` is a usage error.
Parsed parseOptions(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs);

long wholeNumber(const std::string& option, const std::string& text, long low, long high);
int powerOfTwoStep(const Parsed& p); // --step: 1, 2, 4, 8, 16 or 32
int channelNumber(const std::string& option, const std::string& text);

// The view options and their help; --help too, which every command takes.
extern const std::vector<OptionSpec> kViewOptions;
extern const char kViewHelp[];
ViewOptions viewOptions(const Parsed& p);

// --decimal-separator and its help, with the locale's rules.
extern const char kLocaleHelp[];
char decimalSeparator(const Parsed& p, const Environment& env);

// The spectrum and the trend look at one channel (--channel) of the view instead of a list.
std::vector<OptionSpec> analysisOptions(std::initializer_list<OptionSpec> own);
ViewOptions analysisView(const Parsed& p);
int analysisChannel(const Parsed& p, const FileView& v);
extern const char kNothingToAnalyse[];

// Aims a spectrum or trend request at the analysed channel and the visible stretch of a file.
template <typename Request> void aimAt(Request& r, const Parsed& p, const FileView& v) {
    r.channel = analysisChannel(p, v);
    r.visibleFirst = v.visibleFirst;
    r.visibleLast = v.visibleLast;
    r.samplePeriodUs = v.m.SamplePeriodUs;
    r.fileName = v.m.FileName;
}

// Runs `work` on every file; a failure is named on `err` and the batch goes on. Returns
// kExitDone, or kExitSomeFailed when some file failed.
int forEachFile(const std::vector<std::string>& files, std::ostream& err, const Environment& env,
                const std::function<void(const std::string&)>& work);

// The commands; `args` starts with the command's name.
int infoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const Environment& env);
int exportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const Environment& env);
int spectrumCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const Environment& env);
int trendCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const Environment& env);
int statsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const Environment& env);

} // namespace zarvik::d8c
