// The measurement's time: the day-count form, the DOS years and two-second steps, and the
// file's last-write time as local time.

#include "files/filetime.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

#include <sys/stat.h>

namespace zarvik {
namespace {

void expectTime(const LocalDateTime& t, int y, int mo, int d, int h, int mi, int s, int ms) {
    EXPECT_EQ(t.year, y);
    EXPECT_EQ(t.month, mo);
    EXPECT_EQ(t.day, d);
    EXPECT_EQ(t.hour, h);
    EXPECT_EQ(t.minute, mi);
    EXPECT_EQ(t.second, s);
    EXPECT_EQ(t.millisecond, ms);
}

TEST(MeasuredAt, DayCountsFromTheLastDaysOf1899) {
    EXPECT_EQ(encodeMeasuredAt({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_EQ(encodeMeasuredAt({2024, 3, 15, 12, 0, 0, 0}), 45366.5);
    EXPECT_EQ(encodeMeasuredAt({1900, 3, 1, 6, 0, 0, 0}), 61.25); // 1900 had no 29 February
    EXPECT_EQ(encodeMeasuredAt({1899, 12, 29, 6, 0, 0, 0}), -1.25);
    expectTime(decodeMeasuredAt(-1.25), 1899, 12, 29, 6, 0, 0, 0);
    expectTime(decodeMeasuredAt(45366.5), 2024, 3, 15, 12, 0, 0, 0);
    expectTime(decodeMeasuredAt(encodeMeasuredAt({2000, 2, 29, 23, 59, 58, 999})), 2000, 2, 29, 23,
               59, 58, 999);
    // Rounding to the millisecond carries into the next day.
    expectTime(decodeMeasuredAt(45366.9999999999), 2024, 3, 16, 0, 0, 0, 0);
}

TEST(MeasuredAt, DosYearsAndTwoSecondSteps) {
    EXPECT_FALSE(isDosTime(0.0));
    EXPECT_FALSE(isDosTime(encodeMeasuredAt({1979, 12, 31, 23, 59, 59, 0})));
    EXPECT_TRUE(isDosTime(encodeMeasuredAt({1980, 1, 1, 0, 0, 0, 0})));
    EXPECT_TRUE(isDosTime(encodeMeasuredAt({2107, 12, 31, 23, 59, 58, 0})));
    EXPECT_FALSE(isDosTime(encodeMeasuredAt({2108, 1, 1, 0, 0, 0, 0})));
    EXPECT_FALSE(isDosTime(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(isDosTime(1e300));
    EXPECT_EQ(toDosTime(encodeMeasuredAt({2020, 5, 6, 7, 8, 27, 600})),
              encodeMeasuredAt({2020, 5, 6, 7, 8, 26, 0}));
    EXPECT_EQ(toDosTime(encodeMeasuredAt({2020, 5, 6, 7, 8, 26, 999})),
              encodeMeasuredAt({2020, 5, 6, 7, 8, 26, 0}));
}

#ifndef _WIN32
// Runs the test body in a zone five hours east of UTC without summer time, so that local and
// universal time cannot be mixed up unnoticed.
class EastZone : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        m_hadZone = tz != nullptr;
        if (tz)
            m_zone = tz;
        setenv("TZ", "<+05>-5", 1);
        tzset();
    }
    void TearDown() override {
        if (m_hadZone)
            setenv("TZ", m_zone.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_hadZone = false;
    std::string m_zone;
};

std::time_t mtimeOf(const std::string& name) {
    struct stat st {};
    EXPECT_EQ(stat(name.c_str(), &st), 0);
    return st.st_mtime;
}

TEST_F(EastZone, LastWriteTimeIsLocalTimeInTwoSecondSteps) {
    test::TempDir dir;
    const std::string name = dir.file("t.d8c");
    test::writeBytes(name, {1});
    ASSERT_TRUE(setLastWriteTime(name, encodeMeasuredAt({2024, 3, 15, 10, 20, 31, 700})));
    EXPECT_EQ(mtimeOf(name), 1710480030); // 05:20:30 UTC
    EXPECT_EQ(lastWriteTime(name), encodeMeasuredAt({2024, 3, 15, 10, 20, 30, 0}));

    EXPECT_EQ(measuredAtFromTime(1710480031), encodeMeasuredAt({2024, 3, 15, 10, 20, 31, 0}));
    EXPECT_EQ(timeFromMeasuredAt(encodeMeasuredAt({2024, 3, 15, 10, 20, 31, 0})), 1710480031);
}

TEST_F(EastZone, TimesOutsideTheDosYearsLeaveTheFileAlone) {
    test::TempDir dir;
    const std::string name = dir.file("t.d8c");
    test::writeBytes(name, {1});
    ASSERT_TRUE(setLastWriteTime(name, encodeMeasuredAt({1985, 7, 1, 5, 0, 0, 0})));
    EXPECT_EQ(mtimeOf(name), 489024000);
    EXPECT_FALSE(setLastWriteTime(name, 0.0));
    EXPECT_FALSE(setLastWriteTime(name, encodeMeasuredAt({2108, 1, 1, 0, 0, 0, 0})));
    EXPECT_FALSE(setLastWriteTime(name, encodeMeasuredAt({1979, 6, 1, 0, 0, 0, 0})));
    EXPECT_EQ(mtimeOf(name), 489024000);

    EXPECT_FALSE(setLastWriteTime(dir.file("нет"), encodeMeasuredAt({2000, 1, 1, 0, 0, 0, 0})));
    EXPECT_FALSE(lastWriteTime(dir.file("нет")));
}
#endif

} // namespace
} // namespace zarvik
