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

// The same for 0 <= x < 2^52, as a double and without a library call: adding 2^52 leaves no
// bits for a fraction, so the sum is rounded to an integer the same way, and taking 2^52 off
// again is exact.
inline double roundHalfEvenSmall(double x) {
    return (x + 0x1p52) - 0x1p52;
}

inline std::int64_t truncate(double x) {
    return static_cast<std::int64_t>(std::trunc(x));
}

// Integer division toward zero (C++ already truncates; named for the formulas that say "div").
inline std::int64_t idiv(std::int64_t a, std::int64_t b) {
    return a / b;
}

} // namespace zarvik
