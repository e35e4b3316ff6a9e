#pragma once
// The recursive average of the channel lines: A := ((N - 1) * A + x) / N over the words of each
// channel, the first word starting A, the plotted value A rounded to an integer (halves to even)
// while A keeps its fraction.

#include <cstddef>
#include <cstdint>

namespace zarvik {

// What becomes of a rounded average before it is stored: with `values` set, (v - shift) * scale.
struct PlotScale {
    bool values = false;
    double shift = 0.0;
    double scale = 1.0;
};

// Smooths `count` channels (1..8) whose words alternate in `bytes`, `instants` words each, and
// stores the plotted values of instants 1 .. instants - 1 in ys[k][0 .. instants - 2] for the
// k-th channel of the stream. `n` is N, 2 or more.
//
// One channel's average is a chain in which every step waits for the one before, so a long
// channel is cut into segments run side by side. A segment starts `warmup` instants early from
// a guess (the word before it); the average forgets its start by a factor (N - 1) / N a step,
// so by the segment's first instant the guessed chain has almost always become, to the last
// bit, the chain that came from the start. That is checked for every segment, and a segment
// whose chain still differs is computed again from the true value, so the result is always
// the one of the plain step-by-step chain. `warmup` 0 takes a length chosen from N.
void smoothChannels(const std::uint8_t* bytes, int count, std::size_t instants, int n,
                    const PlotScale* scales, double* const* ys, std::size_t warmup = 0);

} // namespace zarvik
