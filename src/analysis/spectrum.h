#pragma once
// The spectrum listing of the visible stretch of one channel: the bins up to Fmax with their
// frequencies, the strongest of them, the result label and the lines for the clipboard.
// Everything the spectrum window shows or copies, computed without a window.

#include "analysis/windowfunctions.h"
#include "common/uitext.h"

#include <optional>
#include <string>
#include <vector>

namespace zarvik {

constexpr int kSpectrumCount = 15;        // the window always transforms 2^15 points
constexpr int kSpectrumBins = 32768;      // bins of that transform
constexpr int kSpectrumMaxPoints = 65536; // longest stretch taken from the chart
constexpr int kSpectrumMaxSegments = 64;  // most segments averaged
constexpr int kSpectrumMinSegmentPoints = 16;
constexpr double kSpectrumDecibelFloor = 1e-12; // amplitudes below read as this in decibels

struct SpectrumRequest {
    int visibleFirst = 0; // first and last visible point of the main chart
    int visibleLast = -1;
    double samplePeriodUs = 0.0; // one channel's sampling period
    int step = 1;                // seStep: every step-th point is taken
    int fmaxHz = 35;             // seFmax: highest frequency listed
    bool binLines = false;       // cbSp2ClipBrd: one clipboard line per listed bin
    int channel = 1;             // analysed channel, 1..8
    std::string fileName;        // the file last chosen in the open dialog, or empty
    char decimalSeparator = '.';
    // Beyond the plain spectrum; at these defaults the listing is the plain one.
    WindowFunction window = WindowFunction::Rect;
    int segments = 1;      // amplitudes averaged over this many half-overlapping segments
    bool decibels = false; // amplitudes as 20 log10(A), in dB relative to one unit
};

// Whether the request asks for the plain spectrum: no window, no averaging, no decibels.
bool plainSpectrum(const SpectrumRequest& request);

// What a listing with any option away from its default applied.
struct SpectrumApplied {
    WindowFunction window = WindowFunction::Rect;
    WindowFigures figures;         // of the window over a segment's transformed points
    double noiseBandwidthHz = 0.0; // the noise bandwidth in hertz
    int segments = 1;              // averaged segments
    int segmentPoints = 0;         // decimated points of a segment that enter the transform
    double binWidthHz = 0.0;       // the frequency step of the listing
    bool decibels = false;
};

struct SpectrumBin {
    int bin = 0;            // the point's x on the spectrum chart
    double frequency = 0.0; // Hz
    double amplitude = 0.0; // in decibels when the request asks for them
    std::string label;      // the frequency as the bottom axis shows it
};

struct SpectrumListing {
    std::vector<SpectrumBin> bins; // bin 0 upwards, while the frequency is at most Fmax
    double maxFrequency = 0.0;     // the strongest bin; the lower frequency wins a tie
    double maxAmplitude = 0.0;
    UiText maxText; // "F,Гц=...;  Max=..."
    // Header, an empty line, the summary line, then (with binLines) "frequency\tamplitude"
    // per listed bin. With any option away from its default, the header and the summary go
    // on with the columns Window, Coherent Gain, ENBW,bins, ENBW,Hz, Segments, Segment
    // Points and Bin Width,Hz, and in decibels the amplitude column is "Amplitude,dB".
    std::vector<std::string> clipboardLines;
    std::optional<SpectrumApplied> applied; // with any option away from its default
};

// The segments' length for averaging `segments` segments over `points` decimated points:
// L = floor(2 points / (segments + 1)), each starting floor(L / 2) points after the one before.
int segmentPoints(int points, int segments);

// Why a request gives no listing.
enum class SpectrumRefusal {
    NothingToAnalyse, // an empty or inverted stretch, a step below 1, no sampling period
    ShortSegments,    // the averaging leaves fewer than 16 points in a segment
    BadOptions,       // segments outside 1..64
};

// Why `request` gives no listing of `series`, or nothing when it gives one.
std::optional<SpectrumRefusal> spectrumRefusal(const std::vector<double>& series,
                                               const SpectrumRequest& request);

// Transforms the visible stretch of `series` (the channel's values as drawn, indexed by
// point) and lists it. The stretch is cut to the series and to 65536 points. The listing
// ends at Fmax or at the last bin of the transform, whichever comes first. Returns nothing
// when spectrumRefusal names a reason.
std::optional<SpectrumListing> listSpectrum(const std::vector<double>& series,
                                            const SpectrumRequest& request);
// The same, transforming into `amplitude` (grown to 32768 values when shorter), so that a
// caller that keeps its spectrum buffer lists without allocating one per run.
std::optional<SpectrumListing> listSpectrum(const std::vector<double>& series,
                                            const SpectrumRequest& request,
                                            std::vector<double>& amplitude);

// The "Channel" column of the clipboard lines: the channel number followed by the group of
// its input, "1" for channels 1 and 2 and "2" for channels 3 to 8.
std::string channelColumn(int channel);

// The step edit moves in powers of two: a change away from `previous` goes one doubling or
// halving in its direction, within 1..32. Returns the value the edit should show.
int stepAfterChange(int previous, int value);

} // namespace zarvik
