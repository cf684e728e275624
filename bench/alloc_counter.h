// Heap allocations of the whole process, counted: the benchmark executable exports its own
// malloc, calloc and realloc (bench_exports.list), which every library binds before the C
// library's, and each counts one call before handing over to the C library.
#pragma once

#include <cstdint>

namespace bench {
std::uint64_t allocations();
bool counting();  // false in a sanitizer build, whose allocator must not be replaced
}  // namespace bench
