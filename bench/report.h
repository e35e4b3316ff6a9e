#pragma once
// Every benchmark program states each of its figures in one line of the same form, which
// scripts/bench gathers into the report's table:
//   figure: <what> | <subject> | <baseline> | <ratio> | <goal>
// The subject and the baseline are times in the same unit, measured in the same run.

#include <cstdio>

namespace zarvik::bench {

inline void reportFigure(const char* what, double subject, double baseline, const char* goal) {
    if (!(subject > 0.0) || !(baseline > 0.0))
        return;
    std::printf("figure: %s | %.4g | %.4g | %.3f | %s\n", what, subject, baseline,
                subject / baseline, goal);
}

} // namespace zarvik::bench
