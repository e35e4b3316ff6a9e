#pragma once
// Single-sided amplitude spectrum of a stretch of one channel's samples: decimation, mean
// removal, an optional window, zero padding to a power of two, a real-input transform (the D
// real points taken as D/2 complex ones, half the work of a complex transform) and scaling.

#include <cstdint>
#include <vector>

namespace zarvik {

constexpr int kFftMaxCount = 16;       // 2^16 points, the longest transform
constexpr int kFftMaxPoints = 65536;   // most decimated points taken from the input
constexpr int kFftScalePoints = 32768; // the length whose scale reads true amplitudes

// A window over the points that enter the transform: `values` holds one factor per point
// (none: every factor 1), and every amplitude is divided by `gain`, the window's coherent
// gain, so that a sine at a bin's frequency reads its amplitude whatever the window.
struct FftWindow {
    const double* values = nullptr;
    double gain = 1.0;
};

// Transforms D = 2^Count points taken from Input[0], Input[Step], Input[2*Step], ... below N
// (at most 65536 of them; the mean is taken over all of them, the first D enter the
// transform, each times its window factor, the rest of the D points are zero). Output[k],
// k = 0 .. D-1, receives the amplitude of bin k, which stands for the frequency
// k * Fs / (Step * D).
//
// Scaling: for D = 32768 a cosine of amplitude A at bin k0 over the whole stretch reads A at
// k0 and at D-k0 (the mirror half); another D reads A * 32768 / D. Bin 0 is halved. The
// scale is taken over the samples that the transformed points span, min(N, D * Step), so a
// stretch longer than the transform does not shrink the amplitudes.
//
// Working storage is kept per thread and reused from call to call.
// Output grows to D values when shorter; values past D are left alone. Returns false and
// leaves Output alone when the arguments describe no transform: Count above 16, Step or N
// below 1, no Input, or a gain that is not a positive number.
bool FFT(std::uint16_t Count, const double* Input, std::int32_t Step, std::int32_t N,
         std::vector<double>& Output, const FftWindow& window = {});

// The root mean square of the amplitudes of several stretches, bin by bin, each stretch
// transformed as FFT does with Count. Averaging this way takes one square root per bin for
// all the stretches instead of one per stretch.
class AmplitudeAverage {
public:
    explicit AmplitudeAverage(std::uint16_t Count);

    // Adds one stretch, with the arguments of FFT; false (and nothing added) when they
    // describe no transform.
    bool add(const double* Input, std::int32_t Step, std::int32_t N, const FftWindow& window);
    // The averaged amplitudes of bins 0 .. D-1 (zeros before any stretch was added); Output
    // grows to D values when shorter.
    void amplitudes(std::vector<double>& Output) const;

private:
    std::uint16_t m_count;
    std::vector<double> m_sums; // squared amplitudes in the transform's own order
    int m_added = 0;
};

} // namespace zarvik
