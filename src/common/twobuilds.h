// Builds the loops of the header named by ZARVIK_LOOPS twice: in namespace `any` for any
// processor, and, for ZARVIK_WIDE_VECTORS, in namespace `wide` for processors with 256-bit
// vectors. Include it where the loops are used, after common/widevectors.h; no include guard.

namespace any {
#include ZARVIK_LOOPS
} // namespace any

#if ZARVIK_WIDE_VECTORS
#pragma GCC push_options
#pragma GCC target("avx2")
namespace wide {
#include ZARVIK_LOOPS
} // namespace wide
#pragma GCC pop_options
#endif

#undef ZARVIK_LOOPS
