// A settings file may hold any bytes: the main window made over it still has every control at
// a value it can hold, and the settings it writes at close read back into the same window.

#include "../tests/gui/shell/controlsinrange.h"
#include "ui/operatormessages.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct SilentMessages : zarvik::OperatorMessages {
    void information(const QString&) override {}
    void message(const QString&) override {}
    void error(const QString&) override {}
};

QTemporaryDir* g_folder = nullptr;

void check(const zarvik::TForm1& w, const char* when) {
    const auto bad = zarvik::test::controlsOutOfRange(w);
    if (bad.empty())
        return;
    std::fprintf(stderr, "%s: %s holds no value it can hold\n", when, bad.front().c_str());
    std::abort();
}

} // namespace

// The font library keeps a few hundred bytes past the end of the run in a way the leak check
// cannot follow; the program's own allocations are all checked.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The board is looked for at every start; no port keeps the fuzzer off the machine's own.
    qputenv("ZARVIK_PORT", "/nonexistent/zarvik-fuzz");
    new QApplication(*argc, *argv);
    zarvik::setOperatorMessages(std::make_unique<SilentMessages>());
    g_folder = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString folder = g_folder->path() + "/";
    QFile::remove(folder + "scales.scl");
    QFile f(folder + "Zarvik.ini");
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    f.close();
    {
        zarvik::TForm1 w(folder);
        check(w, "read");
        w.close();
    }
    // The settings the window wrote as it closed give a window as good.
    zarvik::TForm1 again(folder);
    check(again, "read back");
    return 0;
}
