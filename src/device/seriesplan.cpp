#include "device/seriesplan.h"

#include <cstdio>

namespace zarvik {

bool operator==(const SeriesPlan& a, const SeriesPlan& b) {
    return a.count == b.count && a.pauseSec == b.pauseSec && a.folder == b.folder &&
           a.name == b.name;
}

std::string seriesFileName(const std::string& name, int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", number);
    return name + "_" + digits + ".d8c";
}

bool validSeriesName(const std::string& name) {
    if (name.empty() || name.back() == ' ' || name.back() == '.')
        return false;
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string("\\/:*?\"<>|").find(c) != std::string::npos)
            return false;
    return true;
}

std::string seriesCommentLine(int number, int count) {
    return count > 0 ? "Серия " + std::to_string(number) + " из " + std::to_string(count)
                     : "Серия " + std::to_string(number);
}

UiText seriesStatusText(int number, int count) {
    if (count > 0)
        return {ZARVIK_TR_NOOP("Series", "Серия: %1 из %2"),
                {std::to_string(number), std::to_string(count)}};
    return {ZARVIK_TR_NOOP("Series", "Серия: %1"), {std::to_string(number)}};
}

UiText seriesPauseText(int number, int count, int secondsLeft) {
    if (count > 0)
        return {ZARVIK_TR_NOOP("Series", "Серия: %1 из %2, пуск через %3 с"),
                {std::to_string(number), std::to_string(count), std::to_string(secondsLeft)}};
    return {ZARVIK_TR_NOOP("Series", "Серия: %1, пуск через %2 с"),
            {std::to_string(number), std::to_string(secondsLeft)}};
}

UiText seriesBrokenText(int taken, int count) {
    if (count > 0)
        return {ZARVIK_TR_NOOP("Series", "Серия остановлена: снято измерений %1 из %2, все они "
                                         "сохранены."),
                {std::to_string(taken), std::to_string(count)}};
    return {ZARVIK_TR_NOOP("Series", "Серия остановлена: снято измерений %1, все они сохранены."),
            {std::to_string(taken)}};
}

} // namespace zarvik
