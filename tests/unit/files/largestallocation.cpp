#include "largestallocation.h"

#include <cstdlib>
#include <limits>
#include <new>

namespace zarvik::test {
std::size_t largestAllocation = 0;
std::size_t allocationLimit = std::numeric_limits<std::size_t>::max();
} // namespace zarvik::test

void* operator new(std::size_t size) {
    if (size > zarvik::test::largestAllocation)
        zarvik::test::largestAllocation = size;
    if (size > zarvik::test::allocationLimit)
        throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
