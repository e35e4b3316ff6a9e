#include "analysis/spectrum.h"

#include "analysis/fft.h"
#include "common/numtext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zarvik {

std::string channelColumn(int channel) {
    return std::to_string(channel) + (channel <= 2 ? "1" : "2");
}

int stepAfterChange(int previous, int value) {
    if (previous < 32 && value > previous)
        return 2 * previous;
    if (previous > 1 && value < previous)
        return previous / 2;
    return value;
}

bool plainSpectrum(const SpectrumRequest& request) {
    return request.window == WindowFunction::Rect && request.segments == 1 && !request.decibels;
}

int segmentPoints(int points, int segments) {
    return 2 * points / (segments + 1);
}

namespace {

// The visible stretch as the transform takes it.
struct Stretch {
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int32_t samples = 0; // N: at most 65536
    int points = 0;           // the decimated points among them
};

std::optional<Stretch> visibleStretch(const std::vector<double>& series,
                                      const SpectrumRequest& request) {
    const double T = request.samplePeriodUs;
    if (request.step < 1 || !std::isfinite(T) || T <= 0.0)
        return std::nullopt;
    Stretch s;
    s.first = request.visibleFirst;
    s.last =
        std::min<std::int64_t>(request.visibleLast, static_cast<std::int64_t>(series.size()) - 1);
    if (s.first < 0 || s.first > s.last)
        return std::nullopt;
    s.samples =
        static_cast<std::int32_t>(std::min<std::int64_t>(s.last - s.first + 1, kSpectrumMaxPoints));
    s.points = (s.samples - 1) / request.step + 1;
    return s;
}

// The factors of the window last used and their figures, kept per thread: a spectrum is run
// again and again with the same window and length, and the cosines of a window cost more than
// the transform.
struct LastWindow {
    WindowFunction function = WindowFunction::Rect;
    int points = 0;
    std::vector<double> values; // none for "rect"
    WindowFigures figures;
};

const LastWindow& lastWindow(WindowFunction function, int points) {
    thread_local LastWindow last;
    if (last.function != function || last.points != points) {
        last.function = function;
        last.points = points;
        last.values = function == WindowFunction::Rect ? std::vector<double>()
                                                       : windowValues(function, points);
        last.figures = windowFigures(last.values);
    }
    return last;
}

// The amplitudes of the stretch into `amplitude` with the request's window and averaging;
// returns what was applied.
SpectrumApplied transform(const std::vector<double>& series, const Stretch& s,
                          const SpectrumRequest& request, std::vector<double>& amplitude) {
    SpectrumApplied applied;
    applied.window = request.window;
    applied.segments = request.segments;
    applied.decibels = request.decibels;
    const int length = request.segments == 1 ? s.points : segmentPoints(s.points, request.segments);
    applied.segmentPoints = std::min(length, kSpectrumBins);
    // A single point has nothing left once its mean is removed, whatever its window.
    const WindowFunction function =
        applied.segmentPoints >= 2 ? request.window : WindowFunction::Rect;
    const LastWindow& window = lastWindow(function, applied.segmentPoints);
    applied.figures = window.figures;
    const FftWindow w{window.values.empty() ? nullptr : window.values.data(),
                      window.figures.coherentGain};

    const double* stretch = series.data() + s.first;
    if (request.segments == 1) {
        FFT(kSpectrumCount, stretch, request.step, s.samples, amplitude, w);
    } else {
        // Half-overlapping segments, each scaled for the samples of its own points.
        AmplitudeAverage average(kSpectrumCount);
        const std::int64_t advance = static_cast<std::int64_t>(length / 2) * request.step;
        for (int k = 0; k < request.segments; ++k)
            average.add(stretch + k * advance, request.step, length * request.step, w);
        average.amplitudes(amplitude);
    }
    const double decimatedRate = 1000000.0 / (request.samplePeriodUs * request.step);
    applied.noiseBandwidthHz =
        applied.figures.noiseBandwidthBins * decimatedRate / applied.segmentPoints;
    return applied;
}

} // namespace

std::optional<SpectrumRefusal> spectrumRefusal(const std::vector<double>& series,
                                               const SpectrumRequest& request) {
    if (request.segments < 1 || request.segments > kSpectrumMaxSegments)
        return SpectrumRefusal::BadOptions;
    const auto stretch = visibleStretch(series, request);
    if (!stretch)
        return SpectrumRefusal::NothingToAnalyse;
    if (request.segments > 1 &&
        segmentPoints(stretch->points, request.segments) < kSpectrumMinSegmentPoints)
        return SpectrumRefusal::ShortSegments;
    return std::nullopt;
}

std::optional<SpectrumListing> listSpectrum(const std::vector<double>& series,
                                            const SpectrumRequest& request) {
    std::vector<double> amplitude;
    return listSpectrum(series, request, amplitude);
}

std::optional<SpectrumListing> listSpectrum(const std::vector<double>& series,
                                            const SpectrumRequest& request,
                                            std::vector<double>& amplitude) {
    if (spectrumRefusal(series, request))
        return std::nullopt;
    const Stretch s = *visibleStretch(series, request);
    if (amplitude.size() < static_cast<std::size_t>(kSpectrumBins))
        amplitude.resize(kSpectrumBins);
    const SpectrumApplied applied = transform(series, s, request, amplitude);

    const double T = request.samplePeriodUs;
    const char sep = request.decimalSeparator;
    const double binWidth = 1000000.0 / 32768.0 / T;
    auto shown = [&request](double a) {
        return request.decibels ? 20.0 * std::log10(std::max(a, kSpectrumDecibelFloor)) : a;
    };
    SpectrumListing out;
    double strongest = 0.0;
    for (int j = 0; j < kSpectrumBins; ++j) {
        const double f = j * binWidth / request.step;
        if (!(f <= request.fmaxHz))
            break;
        const double a = amplitude[static_cast<std::size_t>(j)];
        out.bins.push_back({j, f, shown(a), formatGeneral(f, sep)});
        // The strongest line by its amplitude: decibels below one unit are negative.
        if (a > strongest) {
            strongest = a;
            out.maxFrequency = f;
        }
    }
    out.maxAmplitude = shown(strongest);

    // In the units of the amplitude axis, decibels included.
    out.maxText = {ZARVIK_TR_NOOP("Spectrum", "F,Гц=%1;  Max=%2"),
                   {formatFixed(out.maxFrequency, 4, sep), formatFixed(out.maxAmplitude, 4, sep)}};

    const double firstMs = request.visibleFirst * T / 1000.0;
    const double lastMs = static_cast<double>(s.last) * T / 1000.0;
    std::string header = request.decibels ? "F,Hz\tAmplitude,dB" : "F,Hz\tAmplitude";
    header += "\tFirst Point\tLast Point\tChannel\tFile Name";
    std::string summary = formatGeneral(out.maxFrequency, sep) + '\t' +
                          formatGeneral(out.maxAmplitude, sep) + '\t' +
                          formatGeneral(firstMs, sep) + '\t' + formatGeneral(lastMs, sep) + '\t' +
                          channelColumn(request.channel) + '\t' + request.fileName;
    if (!plainSpectrum(request)) {
        out.applied = applied;
        out.applied->binWidthHz = binWidth / request.step;
        header += "\tWindow\tCoherent Gain\tENBW,bins\tENBW,Hz\tSegments\tSegment Points\tBin "
                  "Width,Hz";
        summary += std::string("\t") + windowName(applied.window) + '\t' +
                   formatGeneral(applied.figures.coherentGain, sep) + '\t' +
                   formatGeneral(applied.figures.noiseBandwidthBins, sep) + '\t' +
                   formatGeneral(applied.noiseBandwidthHz, sep) + '\t' +
                   std::to_string(applied.segments) + '\t' + std::to_string(applied.segmentPoints) +
                   '\t' + formatGeneral(out.applied->binWidthHz, sep);
    }
    out.clipboardLines.push_back(header);
    out.clipboardLines.emplace_back();
    out.clipboardLines.push_back(summary);
    if (request.binLines)
        for (const SpectrumBin& b : out.bins)
            out.clipboardLines.push_back(b.label + '\t' + formatGeneral(b.amplitude, sep));
    return out;
}

} // namespace zarvik
