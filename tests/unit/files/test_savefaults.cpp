// A save that runs out of room, is killed halfway or meets a read-only folder never harms the
// file it replaces, and the next save leaves nothing of it behind: for data files, the
// settings file and the calibration file alike. Each fault happens in a child process.

#include "common/inifile.h"
#include "files/d8cfile.h"
#include "tempdir.h"
#include "view/scalesfile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zarvik::test {
namespace {

namespace fs = std::filesystem;

// Runs `save` in a child set up by `setUp`; true when the child said the save failed (exit 1)
// or was killed, false when it reported success.
bool saveFailsInChild(const std::function<bool()>& save, const std::function<void()>& setUp) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        setUp();
        ::_exit(save() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Files may grow to `limit` bytes: past it a write fails as on a full disk, or the child dies
// at that byte.
std::function<void()> sizeLimit(rlim_t limit, bool killAtLimit) {
    return [=] {
        std::signal(SIGXFSZ, killAtLimit ? SIG_DFL : SIG_IGN);
        const rlimit r{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &r);
    };
}

// The superuser writes into any folder: the child then saves as the unprivileged user.
void asOrdinaryUser() {
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
        ::_exit(2);
}

struct Writer {
    const char* name;
    const char* file;
    // Writes the file anew; false when the save reports a failure.
    std::function<bool(const std::string& path, int generation)> save;
};

TMeasurement measurement(int generation) {
    TMeasurement m;
    m.ChannelMask = 0x01;
    m.SamplePeriodUs = 100.0;
    m.XTitle = "Время, мкс";
    m.SampleData.assign(6000, static_cast<std::uint8_t>(generation));
    return m;
}

const Writer kWriters[] = {
    {"data file", "run.d8c",
     [](const std::string& path, int generation) {
         TMeasurement m = measurement(generation);
         try {
             saveD8cFile(m, path, {"Стенд 2"}, std::nullopt);
             return true;
         } catch (const std::exception&) {
             return false;
         }
     }},
    {"settings", "Zarvik.ini",
     [](const std::string& path, int generation) {
         IniFile ini(path);
         return ini.writeString("Options", "Padding", std::string(3000, 'a' + generation % 20));
     }},
    {"calibration", "scales.scl",
     [](const std::string& path, int generation) {
         IniFile ini(path);
         ChannelValues levels{};
         for (int n = 1; n <= kChannels; ++n)
             levels[n] = 1000 + generation;
         return ini.writeString("Yscale", "Name", std::string(3000, 'x')) &&
                writeZeroLevels(ini, levels, 0xFF, ',');
     }},
};

class SaveFaultsTest : public ::testing::TestWithParam<Writer> {};

TEST_P(SaveFaultsTest, AFullDiskAKilledSaveOrAReadOnlyFolderLeaveTheOldFileAndNoStrayFile) {
    const Writer& w = GetParam();
    TempDir dir;
    const std::string path = dir.file(w.file);
    ASSERT_TRUE(w.save(path, 1));
    const std::vector<std::uint8_t> old = readBytes(path);
    ASSERT_GT(old.size(), 3000u);

    // Full: every write past the limit fails, and the save says so.
    for (rlim_t room : {rlim_t{0}, rlim_t{100}, rlim_t{old.size() - 1}}) {
        EXPECT_TRUE(saveFailsInChild([&] { return w.save(path, 2); }, sizeLimit(room, false)))
            << room;
        EXPECT_EQ(readBytes(path), old) << room;
    }
    EXPECT_EQ(dir.names(), std::vector<std::string>{w.file}) << "a failed save cleans up";

    // Killed at several points of the write.
    for (rlim_t at : {rlim_t{1}, rlim_t{old.size() / 2}, rlim_t{old.size() - 2}}) {
        EXPECT_TRUE(saveFailsInChild([&] { return w.save(path, 3); }, sizeLimit(at, true))) << at;
        EXPECT_EQ(readBytes(path), old) << at;
    }

    ASSERT_TRUE(w.save(path, 4));
    EXPECT_NE(readBytes(path), old);
    EXPECT_EQ(dir.names(), std::vector<std::string>{w.file})
        << "the next save leaves no stray file";

    // A folder that may not be written.
    const std::vector<std::uint8_t> saved = readBytes(path);
    fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_TRUE(saveFailsInChild([&] { return w.save(path, 5); }, asOrdinaryUser));
    EXPECT_EQ(readBytes(path), saved);
    EXPECT_EQ(dir.names(), std::vector<std::string>{w.file});
    fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::add);
}

INSTANTIATE_TEST_SUITE_P(Writers, SaveFaultsTest, ::testing::ValuesIn(kWriters),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             std::replace(n.begin(), n.end(), ' ', '_');
                             return n;
                         });

} // namespace
} // namespace zarvik::test
