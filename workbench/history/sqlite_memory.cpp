// Size-class free lists behind sqlite3_config(SQLITE_CONFIG_MALLOC).
#include "sqlite_memory.h"

#include <sqlite3.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace history {
namespace {

// Each block starts with a header holding its size class (or its whole size when it is
// larger than the largest class), aligned for anything SQLite stores.
struct alignas(16) Header {
  std::size_t size;  // usable bytes
};
struct FreeBlock {
  FreeBlock *next;
};

constexpr int kClasses = 13;  // 16 bytes to 64 KiB
constexpr std::size_t classSize(int c) { return std::size_t{16} << c; }

std::mutex gMutex;
std::array<FreeBlock *, kClasses> gFree{};

int classOf(std::size_t n) {
  for (int c = 0; c < kClasses; ++c)
    if (n <= classSize(c)) return c;
  return -1;
}

void *take(int n) {
  if (n <= 0) return nullptr;
  const auto want = static_cast<std::size_t>(n);
  const int c = classOf(want);
  if (c >= 0) {
    std::lock_guard<std::mutex> g(gMutex);
    if (FreeBlock *b = gFree[static_cast<std::size_t>(c)]) {
      gFree[static_cast<std::size_t>(c)] = b->next;
      return b;
    }
  }
  const std::size_t size = c >= 0 ? classSize(c) : want;
  auto *h = static_cast<Header *>(std::malloc(sizeof(Header) + size));
  if (h == nullptr) return nullptr;
  h->size = size;
  return h + 1;
}

Header *headerOf(void *p) { return static_cast<Header *>(p) - 1; }

void give(void *p) {
  if (p == nullptr) return;
  Header *h = headerOf(p);
  const int c = classOf(h->size);
  if (c < 0 || classSize(c) != h->size) {
    std::free(h);
    return;
  }
  std::lock_guard<std::mutex> g(gMutex);
  auto *b = static_cast<FreeBlock *>(p);
  b->next = gFree[static_cast<std::size_t>(c)];
  gFree[static_cast<std::size_t>(c)] = b;
}

int sizeOf(void *p) { return p ? static_cast<int>(headerOf(p)->size) : 0; }

void *resize(void *p, int n) {
  if (p == nullptr) return take(n);
  if (n <= sizeOf(p)) return p;
  void *q = take(n);
  if (q == nullptr) return nullptr;
  std::memcpy(q, p, static_cast<std::size_t>(sizeOf(p)));
  give(p);
  return q;
}

int roundUp(int n) {
  const int c = classOf(static_cast<std::size_t>(n > 0 ? n : 1));
  return c >= 0 ? static_cast<int>(classSize(c)) : n;
}

int init(void *) { return SQLITE_OK; }
void shutdown(void *) {}

}  // namespace

void useSqliteMemoryPool() {
  static std::once_flag once;
  std::call_once(once, [] {
    static const sqlite3_mem_methods kMethods{take, give, resize, sizeOf, roundUp, init, shutdown, nullptr};
    sqlite3_config(SQLITE_CONFIG_MALLOC, &kMethods);  // SQLITE_MISUSE when SQLite already runs: then not ours
  });
}

}  // namespace history
