// Counting stand-ins for the C library's allocator entry points (operator new calls malloc).
#include "alloc_counter.h"

#include <atomic>
#include <cstddef>

extern "C" {
void *__libc_malloc(std::size_t);
void *__libc_calloc(std::size_t, std::size_t);
void *__libc_realloc(void *, std::size_t);
}

namespace {
std::atomic<std::uint64_t> gCount{0};
}

#ifdef VAZ_NO_ALLOC_COUNT
// Under AddressSanitizer the allocator is the sanitizer's: memory from the C library's own
// malloc would be freed by it. Nothing is counted there.
std::uint64_t bench::allocations() { return 0; }
bool bench::counting() { return false; }
#else
std::uint64_t bench::allocations() { return gCount.load(std::memory_order_relaxed); }
bool bench::counting() { return true; }

extern "C" void *malloc(std::size_t n) {
  gCount.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(n);
}

extern "C" void *calloc(std::size_t n, std::size_t size) {
  gCount.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(n, size);
}

extern "C" void *realloc(void *p, std::size_t n) {
  gCount.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(p, n);
}
#endif
