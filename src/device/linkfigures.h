#pragma once
// What a transfer cost on the line: the packets that came whole, those asked for again and why,
// the stalls, and the time it took against the time the line needs for it. A board whose link
// degrades shows here before a measurement is lost.

#include "common/uitext.h"

namespace zarvik {

struct TransferFigures {
    int packets = 0;         // packets received whole and stored
    int repeats = 0;         // "r" requests: rejected chunks and stalls
    int badChecksums = 0;    // whole packets whose sum did not match
    int fragments = 0;       // chunks of another length or first byte, dropped
    int stalls = 0;          // the board fell silent and was asked once more
    double transferMs = 0.0; // from the read command to the last packet
    double lineMs = 0.0;     // what the line needs for the packets received: 503 x 11 bits each
                             // at 921600 baud

    void add(const TransferFigures& other);
};

// The line time of `packets` packets, milliseconds.
double lineTimeMs(int packets);

// More than 1 packet in 20 had to be asked for again.
bool linkDegraded(const TransferFigures& f);

// One line for the operator: the counts and the two times, seconds with `decimalSeparator`.
UiText transferFiguresText(const TransferFigures& f, char decimalSeparator);
// The warning of a degraded link, with the figure.
UiText degradedLinkText(const TransferFigures& f);

} // namespace zarvik
