#pragma once
// Single-sided amplitude spectrum of a stretch of one channel's samples: decimation, mean
// removal, zero padding to a power of two, an in-place radix-2 decimation-in-frequency
// transform on separate real and imaginary arrays, bit-reversal reordering and scaling.

#include <cstdint>
#include <vector>

namespace zarvik {

constexpr int kFftMaxCount = 16;       // 2^16 points, the longest transform
constexpr int kFftMaxPoints = 65536;   // most decimated points taken from the input
constexpr int kFftScalePoints = 32768; // the length whose scale reads true amplitudes

// Transforms D = 2^Count points taken from Input[0], Input[Step], Input[2*Step], ... below N
// (at most 65536 of them; the mean is taken over all of them, the first D enter the
// transform, the rest of the D points are zero). Output[k], k = 0 .. D-1, receives the
// amplitude of bin k, which stands for the frequency k * Fs / (Step * D).
//
// Scaling: for D = 32768 a cosine of amplitude A at bin k0 over the whole stretch reads A at
// k0 and at D-k0 (the mirror half); another D reads A * 32768 / D. Bin 0 is halved. The
// scale is taken over the samples that the transformed points span, min(N, D * Step), so a
// stretch longer than the transform does not shrink the amplitudes.
//
// Working storage is kept per thread and reused from call to call.
// Output grows to D values when shorter; values past D are left alone. Returns false and
// leaves Output alone when the arguments describe no transform: Count above 16, Step or N
// below 1, or no Input.
bool FFT(std::uint16_t Count, const double* Input, std::int32_t Step, std::int32_t N,
         std::vector<double>& Output);

} // namespace zarvik
