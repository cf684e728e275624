// The fake trouble-code text file of the decoder and lookup tests.
#include "dtc_fakes.h"

#include <cstring>

namespace vaz::test {
namespace {

FakeCodeFile *current = nullptr;
int handleToken = 0;

char *file_name(int kind) {
  if (kind != 6 || current->nullPath) return nullptr;
  return current->path.data();
}

void *open_file(const char *path) {
  ++current->opens;
  current->openedPath = path;
  return current->openFails ? nullptr : &handleToken;
}

int search(const u8 *key, u8 *out, int maxLength, void *handle) {
  ++current->searches;
  std::memcpy(current->lastKey, key, 4);
  current->lastMaxLength = maxLength;
  current->lastOutByte = out[0];
  if (handle != &handleToken) return 0;
  const u32 id = (u32{key[0]} << 24) | (u32{key[1]} << 16) | (u32{key[2]} << 8) | key[3];
  if (current->known.count(id) == 0) return 0;
  out[0] = 'R';
  return 1;
}

int close_file(void *) {
  ++current->closes;
  return 0;
}

}  // namespace

void FakeCodeFile::bind() {
  current = this;
  GetFileNameText = file_name;
  SearchIdOpenFile = open_file;
  IdSearch = search;
  SearchIdCloseFile = close_file;
}

void FakeCodeFile::unbind() {
  GetFileNameText = nullptr;
  SearchIdOpenFile = nullptr;
  IdSearch = nullptr;
  SearchIdCloseFile = nullptr;
  current = nullptr;
}

}  // namespace vaz::test
