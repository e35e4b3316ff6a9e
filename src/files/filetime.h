#pragma once
// The date and time of a measurement travel as the data file's last-write time, in the file
// system's DOS form: local time, two-second steps, years 1980 to 2107. In memory the time is
// `MeasuredAt`, days since 30 December 1899 with the time of day as the fraction.

#include <ctime>
#include <optional>
#include <string>

namespace zarvik {

struct LocalDateTime {
    int year = 1899;
    int month = 12; // 1..12
    int day = 30;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Before the epoch day the time of day counts away from zero, as the date type always did:
// -1.25 is 29 December 1899, 06:00.
double encodeMeasuredAt(const LocalDateTime& t);
// Rounds to the nearest millisecond.
LocalDateTime decodeMeasuredAt(double measuredAt);

// The local time of an instant, to the second.
double measuredAtFromTime(std::time_t t);
// The instant of a local time (milliseconds dropped); empty when the system cannot represent it.
std::optional<std::time_t> timeFromMeasuredAt(double measuredAt);
double measuredAtNow();

// True when the local date lies in the years 1980..2107 that a DOS file time can hold.
bool isDosTime(double measuredAt);
// The value a DOS file time keeps of it: odd seconds and milliseconds dropped.
double toDosTime(double measuredAt);

// Sets the file's last-write time to `measuredAt` in DOS form. Returns false, changing
// nothing, when the time lies outside the DOS years (such as the empty value 0) or the file
// system refuses; callers ignore that, the file keeps the time it was written at.
bool setLastWriteTime(const std::string& fileName, double measuredAt);
// The file's last-write time as local time in DOS form (even seconds); empty when the file
// cannot be found.
std::optional<double> lastWriteTime(const std::string& fileName);

} // namespace zarvik
