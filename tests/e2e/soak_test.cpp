// Many measurements in a row, each saved and read back, some over a faulty line or cut off by
// an unplugged board: every one arrives whole, and the program holds no more memory, files or
// threads at the end than after the first few. ZARVIK_SOAK_COUNT sets how many (10 by default;
// scripts/soak runs 100).

#include "device/boardprotocol.h"
#include "files/datafilehandlers.h"
#include "mainwindowboard.h"

#include <QDir>
#include <QFile>
#include <QToolButton>
#include <cstdio>
#include <unistd.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

using zarvik::test::MainWindowWithBoard;
namespace sim = zarvik::boardsim;

struct Resources {
    long residentKb = 0;
    int files = 0;
    int threads = 0;
};

Resources resources() {
    Resources r;
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    r.residentKb = resident * (::sysconf(_SC_PAGESIZE) / 1024);
    r.files = static_cast<int>(QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot).size());
    QFile status("/proc/self/status");
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Threads:"))
                r.threads = line.mid(8).trimmed().toInt();
    return r;
}

TEST_F(MainWindowWithBoard, ManyMeasurementsInARowEachSavedAndReadBack) {
    const int total = qEnvironmentVariableIsSet("ZARVIK_SOAK_COUNT")
                          ? std::max(4, qEnvironmentVariableIntValue("ZARVIK_SOAK_COUNT"))
                          : 10;
    // Every tenth is faulty, by turns a bad checksum and an unplugged board; a short run still
    // meets both. Resources are compared from the tenth (the third in a short run) on.
    const int faultEvery = std::min(10, total / 2);
    const int settleAt = total >= 20 ? 10 : 3;
    enum Line { Clean, BadChecksums, HangUp };
    const auto options = [](Line line) {
        sim::BoardOptions o;
        o.timeScale = 0;
        o.badChecksumEvery = line == BadChecksums ? 7 : 0;
        o.hangUpAfterPackets = line == HangUp ? 400 : 0;
        o.reopenAfterMs = line == HangUp ? 300 : -1;
        return o;
    };
    Line current = Clean;
    plugIn(options(current));
    openWindow();
    auto& files = *form->dataFiles();
    Resources settled;

    for (int i = 1; i <= total; ++i) {
        const Line line = i % faultEvery != 0    ? Clean
                          : (i / faultEvery) % 2 ? BadChecksums
                                                 : HangUp;
        if (line != current) {
            // Another board on the same port; the operator reconnects by button.
            current = line;
            plugIn(options(line));
            form->btUSB->click();
            ASSERT_TRUE(waitFor([&] { return linkUp(); }, 3000)) << i;
        }
        // A different rate each time: the data of each measurement is its own.
        const int F = 4096 + 16 * i;
        choose(0xFF, 240000, F);
        zarvik::test::messages().log.clear();
        form->gbFT->btStart->click();
        ASSERT_TRUE(measured(15000)) << i;
        if (line == HangUp) {
            // Cut off mid-transfer: told, and fetched again once the board is back.
            ASSERT_EQ(log().size(), 1) << i;
            ASSERT_TRUE(waitFor([&] { return linkUp(); }, 6000)) << i;
            form->btRead->click();
            ASSERT_TRUE(measured(15000)) << i;
        }
        const auto divisor = static_cast<std::uint32_t>(*zarvik::startDivisor(F));
        const auto expected = boardArray(0xFF, divisor, 8);
        ASSERT_EQ(form->Measurement.SampleData, expected) << i;

        const QString name = dir.path() + QString("/m%1.d8c").arg(i % 3);
        files.SaveDlg.prompt = [&](const zarvik::FileDialog&) { return name; };
        files.btSaveClick();
        form->Measurement.SampleData.clear();
        files.OpenDlg.prompt = [&](const zarvik::FileDialog&) { return name; };
        files.btLoadFileClick();
        ASSERT_EQ(form->Measurement.SampleData, expected) << i;
        ASSERT_TRUE(form->Measurement.FromFile) << i;

        if (i == settleAt)
            settled = resources();
    }
    const Resources end = resources();
    std::printf("after %d measurements: resident %ld kB (%ld kB after %d), %d open files (%d), "
                "%d threads (%d)\n",
                total, end.residentKb, settled.residentKb, settleAt, end.files, settled.files,
                end.threads, settled.threads);
    // Under AddressSanitizer freed memory is held back on purpose, and LeakSanitizer looks for
    // what is lost instead.
    if (!kAddressSanitizer) {
        EXPECT_LE(end.residentKb, settled.residentKb + 8 * 1024) << "memory grows";
    }
    EXPECT_LE(end.files, settled.files) << "files are left open";
    EXPECT_LE(end.threads, settled.threads) << "threads are left running";
}

} // namespace
