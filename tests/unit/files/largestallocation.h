#pragma once
// The test program replaces the global operator new to record the largest single request,
// so that a test can tell whether a buffer was sized from an unchecked length.

#include <cstddef>

namespace zarvik::test {
extern std::size_t largestAllocation;
}
