#include "files/filetime.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <mutex>

#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <sys/utime.h>
#else
#include <fcntl.h>
#endif

namespace zarvik {
namespace {

constexpr std::int64_t kMsPerDay = 86400000;

// Days from 1 January 1970 of a proleptic Gregorian date.
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t z, LocalDateTime& t) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
}

const std::int64_t kEpochDay = daysFromCivil(1899, 12, 30);

// The history writes file times on a thread of its own while a save may write one on the
// window's: the C library's zone rules, which these conversions load and reload, are kept
// behind one lock of our own.
std::mutex& zoneRules() {
    static std::mutex m;
    return m;
}

bool localTime(std::time_t t, std::tm& out) {
    const std::lock_guard<std::mutex> lock(zoneRules());
#ifdef _WIN32
    return localtime_s(&out, &t) == 0;
#else
    return localtime_r(&t, &out) != nullptr;
#endif
}

} // namespace

double encodeMeasuredAt(const LocalDateTime& t) {
    const double days = static_cast<double>(daysFromCivil(t.year, t.month, t.day) - kEpochDay);
    const double time =
        static_cast<double>(((t.hour * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond) /
        static_cast<double>(kMsPerDay);
    return days < 0 ? days - time : days + time;
}

LocalDateTime decodeMeasuredAt(double measuredAt) {
    std::int64_t day = static_cast<std::int64_t>(std::trunc(measuredAt));
    std::int64_t ms = std::llround(std::fabs(measuredAt - std::trunc(measuredAt)) *
                                   static_cast<double>(kMsPerDay));
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        ++day;
    }
    LocalDateTime t;
    civilFromDays(day + kEpochDay, t);
    t.millisecond = static_cast<int>(ms % 1000);
    t.second = static_cast<int>(ms / 1000 % 60);
    t.minute = static_cast<int>(ms / 60000 % 60);
    t.hour = static_cast<int>(ms / 3600000);
    return t;
}

double measuredAtFromTime(std::time_t t) {
    std::tm tm{};
    if (!localTime(t, tm))
        return 0.0;
    LocalDateTime l;
    l.year = tm.tm_year + 1900;
    l.month = tm.tm_mon + 1;
    l.day = tm.tm_mday;
    l.hour = tm.tm_hour;
    l.minute = tm.tm_min;
    l.second = tm.tm_sec;
    return encodeMeasuredAt(l);
}

std::optional<std::time_t> timeFromMeasuredAt(double measuredAt) {
    if (!std::isfinite(measuredAt) || std::fabs(measuredAt) > 3.0e6)
        return std::nullopt;
    const LocalDateTime l = decodeMeasuredAt(measuredAt);
    std::tm tm{};
    tm.tm_year = l.year - 1900;
    tm.tm_mon = l.month - 1;
    tm.tm_mday = l.day;
    tm.tm_hour = l.hour;
    tm.tm_min = l.minute;
    tm.tm_sec = l.second;
    tm.tm_isdst = -1; // let the zone rules decide summer time
    const std::time_t t = [&] {
        const std::lock_guard<std::mutex> lock(zoneRules());
        return std::mktime(&tm);
    }();
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return t;
}

double measuredAtNow() {
    return measuredAtFromTime(std::time(nullptr));
}

bool isDosTime(double measuredAt) {
    if (!std::isfinite(measuredAt) || std::fabs(measuredAt) > 3.0e6)
        return false;
    const int year = decodeMeasuredAt(measuredAt).year;
    return year >= 1980 && year <= 2107;
}

double toDosTime(double measuredAt) {
    LocalDateTime l = decodeMeasuredAt(measuredAt);
    l.second &= ~1;
    l.millisecond = 0;
    return encodeMeasuredAt(l);
}

bool setLastWriteTime(const std::string& fileName, double measuredAt) {
    if (!isDosTime(measuredAt))
        return false;
    const std::optional<std::time_t> t = timeFromMeasuredAt(toDosTime(measuredAt));
    if (!t)
        return false;
    const std::filesystem::path path = std::filesystem::u8path(fileName);
#ifdef _WIN32
    struct _stat64 st {};
    if (_wstat64(path.c_str(), &st) != 0)
        return false;
    struct __utimbuf64 times {};
    times.actime = st.st_atime; // only the last-write time belongs to the measurement
    times.modtime = *t;
    return _wutime64(path.c_str(), &times) == 0;
#else
    struct timespec times[2] = {};
    times[0].tv_nsec = UTIME_OMIT; // only the last-write time belongs to the measurement
    times[1].tv_sec = *t;
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
#endif
}

std::optional<double> lastWriteTime(const std::string& fileName) {
    const std::filesystem::path path = std::filesystem::u8path(fileName);
#ifdef _WIN32
    struct _stat64 st {};
    if (_wstat64(path.c_str(), &st) != 0)
        return std::nullopt;
#else
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return std::nullopt;
#endif
    return toDosTime(measuredAtFromTime(static_cast<std::time_t>(st.st_mtime)));
}

} // namespace zarvik
