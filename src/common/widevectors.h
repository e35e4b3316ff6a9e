#pragma once
// The loops that go over a whole measurement are built twice: for any x86-64 processor, and for
// processors with 256-bit vectors, which run them in fewer instructions (common/twobuilds.h
// builds them). Both builds do the same arithmetic element by element (no fused multiply-add),
// so they give the same numbers.

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define ZARVIK_WIDE_VECTORS 1
#else
#define ZARVIK_WIDE_VECTORS 0
#endif

#if defined(_MSC_VER)
#define ZARVIK_OUT_OF_LINE __declspec(noinline)
#else
#define ZARVIK_OUT_OF_LINE __attribute__((noinline))
#endif

#include <atomic>

namespace zarvik {

namespace detail {

inline bool processorHasWideVectors() {
#if ZARVIK_WIDE_VECTORS
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

// One switch for the whole program (an inline function's static is one object).
inline std::atomic<bool>& wideVectorsSwitch() {
    static std::atomic<bool> inUse{processorHasWideVectors()};
    return inUse;
}

} // namespace detail

// Whether the 256-bit builds run: where the processor has such vectors, unless the baseline
// was asked for.
inline bool wideVectorsInUse() {
    return detail::wideVectorsSwitch().load(std::memory_order_relaxed);
}

// true runs the builds for any processor everywhere (for comparing the two); false returns to
// the processor's choice.
inline void useBaselineLoops(bool baseline) {
    detail::wideVectorsSwitch().store(!baseline && detail::processorHasWideVectors(),
                                      std::memory_order_relaxed);
}

// W doubles side by side; the compiler gives their operators as vector instructions.
template <int W> struct DoubleLanes;
template <> struct DoubleLanes<2> { typedef double type __attribute__((vector_size(16))); };
template <> struct DoubleLanes<4> { typedef double type __attribute__((vector_size(32))); };

} // namespace zarvik
