// d8c: the data files of the converter board from the command line.

#include "commands.h"

#include "files/filetime.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// The arguments as UTF-8, the form every file name takes inside the program.
std::vector<std::string> arguments(int argc, char** argv) {
    std::vector<std::string> args;
#ifdef _WIN32
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide != nullptr && i < count; ++i) {
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string s(static_cast<std::size_t>(bytes > 0 ? bytes - 1 : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, s.data(), bytes, nullptr, nullptr);
        args.push_back(s);
    }
    LocalFree(wide);
    (void)argc;
#else
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
#endif
    return args;
}

bool stderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Tables go out byte for byte: CR stays CR.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    zarvik::d8c::Environment env;
    env.locale = zarvik::d8c::systemLocaleFormats();
    env.now = [] { return zarvik::measuredAtNow(); };
    if (stderrIsTerminal()) {
        env.progress = [](std::size_t index, std::size_t count, const std::string& file) {
            // Blanks over the last line clear it, on any console; messages follow a cleared one.
            static std::size_t shown = 0;
            std::fprintf(stderr, "\r%*s\r", static_cast<int>(shown), "");
            shown = 0;
            if (index < count) {
                const std::string line =
                    "d8c: " + std::to_string(index + 1) + "/" + std::to_string(count) + " " + file;
                std::fputs(line.c_str(), stderr);
                shown = line.size();
            }
            std::fflush(stderr);
        };
    }
    const int rc = zarvik::d8c::runD8c(arguments(argc, argv), std::cout, std::cerr, env);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "d8c: cannot write to standard output\n";
        return zarvik::d8c::kExitSomeFailed;
    }
    return rc;
}
