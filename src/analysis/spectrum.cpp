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

std::optional<SpectrumListing> listSpectrum(const std::vector<double>& series,
                                            const SpectrumRequest& request) {
    std::vector<double> amplitude;
    return listSpectrum(series, request, amplitude);
}

std::optional<SpectrumListing> listSpectrum(const std::vector<double>& series,
                                            const SpectrumRequest& request,
                                            std::vector<double>& amplitude) {
    const double T = request.samplePeriodUs;
    if (request.step < 1 || !std::isfinite(T) || T <= 0.0)
        return std::nullopt;
    const auto size = static_cast<std::int64_t>(series.size());
    const std::int64_t first = request.visibleFirst;
    const std::int64_t last = std::min<std::int64_t>(request.visibleLast, size - 1);
    if (first < 0 || first > last)
        return std::nullopt;
    const auto N =
        static_cast<std::int32_t>(std::min<std::int64_t>(last - first + 1, kSpectrumMaxPoints));

    if (amplitude.size() < static_cast<std::size_t>(kSpectrumBins))
        amplitude.resize(kSpectrumBins);
    FFT(kSpectrumCount, series.data() + first, request.step, N, amplitude);

    const char sep = request.decimalSeparator;
    const double binWidth = 1000000.0 / 32768.0 / T;
    SpectrumListing out;
    for (int j = 0; j < kSpectrumBins; ++j) {
        const double f = j * binWidth / request.step;
        if (!(f <= request.fmaxHz))
            break;
        const double a = amplitude[static_cast<std::size_t>(j)];
        out.bins.push_back({j, f, a, formatGeneral(f, sep)});
        if (a > out.maxAmplitude) {
            out.maxAmplitude = a;
            out.maxFrequency = f;
        }
    }

    out.maxText = {ZARVIK_TR_NOOP("Spectrum", "F,Гц=%1;  Max=%2"),
                   {formatFixed(out.maxFrequency, 4, sep), formatFixed(out.maxAmplitude, 4, sep)}};

    const double firstMs = request.visibleFirst * T / 1000.0;
    const double lastMs = static_cast<double>(last) * T / 1000.0;
    out.clipboardLines.push_back("F,Hz\tAmplitude\tFirst Point\tLast Point\tChannel\tFile Name");
    out.clipboardLines.emplace_back();
    out.clipboardLines.push_back(formatGeneral(out.maxFrequency, sep) + '\t' +
                                 formatGeneral(out.maxAmplitude, sep) + '\t' +
                                 formatGeneral(firstMs, sep) + '\t' + formatGeneral(lastMs, sep) +
                                 '\t' + channelColumn(request.channel) + '\t' + request.fileName);
    if (request.binLines)
        for (const SpectrumBin& b : out.bins)
            out.clipboardLines.push_back(b.label + '\t' + formatGeneral(b.amplitude, sep));
    return out;
}

} // namespace zarvik
