#pragma once
// A series of measurements as plain values: how many, the pause between them, where each is
// saved and under which name, and the texts that number them.

#include "common/uitext.h"

#include <string>

namespace zarvik {

constexpr int kSeriesCountMax = 10000;
constexpr int kSeriesPauseMaxSec = 24 * 60 * 60;

struct SeriesPlan {
    int count = 10;     // measurements, 1..10000; 0: until stopped
    int pauseSec = 0;   // between the end of one transfer and the next start, 0..24 h
    std::string folder; // UTF-8; the series is saved there when folder and name are both given
    std::string name;
};

bool operator==(const SeriesPlan& a, const SeriesPlan& b);

// "NAME_0001.d8c": the number in four digits at least, so the files sort in their order.
std::string seriesFileName(const std::string& name, int number);

// Whether `name` can begin a file name on every system the program runs on: not empty, none of
// \ / : * ? " < > | or a control character, not ending in a blank or a dot.
bool validSeriesName(const std::string& name);

// The line the comment of each file of the series ends with: "Серия 3 из 10", or "Серия 3"
// for a series until stopped.
std::string seriesCommentLine(int number, int count);

// The status while measurement `number` is taken: "Серия: 3 из 10" or "Серия: 3".
UiText seriesStatusText(int number, int count);
// The status during a pause before measurement `number`: "..., пуск через 5 с".
UiText seriesPauseText(int number, int count, int secondsLeft);
// Why a series ended early, with what it took.
UiText seriesBrokenText(int taken, int count);

} // namespace zarvik
