#pragma once
// The three integer conversions the formulas of the program name: round (halves to the even
// neighbour), trunc (drop the fraction) and div (integer division toward zero).

#include <cmath>
#include <cstdint>

namespace zarvik {

// Nearest integer, halves to the even neighbour: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2. The
// floating-point environment's default rounding (to nearest, ties to even) does exactly this;
// the program never changes it.
inline std::int64_t roundHalfEven(double x) {
    return static_cast<std::int64_t>(std::nearbyint(x));
}

inline std::int64_t truncate(double x) {
    return static_cast<std::int64_t>(std::trunc(x));
}

// Integer division toward zero (C++ already truncates; named for the formulas that say "div").
inline std::int64_t idiv(std::int64_t a, std::int64_t b) {
    return a / b;
}

} // namespace zarvik
