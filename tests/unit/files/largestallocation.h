#pragma once
// The test program replaces the global operator new to record the largest single request,
// so that a test can tell whether a buffer was sized from an unchecked length, and to refuse
// requests above a limit, as a system short of memory would.

#include <cstddef>

namespace zarvik::test {
extern std::size_t largestAllocation;
extern std::size_t allocationLimit; // no limit unless a test sets one
} // namespace zarvik::test
