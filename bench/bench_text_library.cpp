// Look-up speed of the display host's text library: IdSearch through an open
// handle and GetTextFromTextLib, on the shipped data and on synthetic files of
// 100 and 100000 records. The records are indexed by text ID, so the time per
// look-up must not grow with the file.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "std_control.h"

typedef unsigned char u8;
typedef unsigned int u32;

extern "C" {
void *SearchIdOpenFile(const char *path);
int SearchIdCloseFile(void *handle);
int IdSearch(const u8 *key, u8 *out, int maxLength, void *handle);
int GetTextFromTextLib(u32 textId, char *out, int size);
}

namespace {

namespace fs = std::filesystem;

// Keys visited per look-up run: the same number for every file size, taken in
// a fixed shuffled order so that the look-ups do not walk the table in sequence.
constexpr std::size_t kKeys = 4096;

std::vector<u32> ids_of(const fs::path &file) {
  std::vector<u32> ids;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("0x", 0) == 0 && line.size() >= 10)
      ids.push_back(static_cast<u32>(std::stoul(line.substr(2, 8), nullptr, 16)));
  }
  return ids;
}

std::vector<u32> sample(const std::vector<u32> &ids) {
  std::vector<u32> keys;
  if (ids.empty()) return keys;
  std::mt19937 rng(42);
  for (std::size_t i = 0; i < kKeys; ++i) keys.push_back(ids[rng() % ids.size()]);
  return keys;
}

// A scratch data directory per file size, removed when the program ends.
class SyntheticLibrary {
 public:
  explicit SyntheticLibrary(std::size_t records)
      : dir_(fs::temp_directory_path() / ("vaz_bench_" + std::to_string(records) + "_" + std::to_string(::getpid()))) {
    fs::create_directories(dir_);
    std::ofstream texts(dir_ / "TEXTLIB.TXT");
    for (std::size_t i = 0; i < records; ++i) {
      // IDs spread over the space the way families spread them, not one run; above the
      // ranges of the counted lists (menus, names, commands), whose records the library
      // checks as lists.
      const u32 id = 0x59000000u + static_cast<u32>(i) * 37u;
      ids_.push_back(id);
      char line[96];
      std::snprintf(line, sizeof line, "0x%08X Synthetic text number %zu of the library\n", id, i);
      texts << line;
    }
    texts.close();
    // The other standard files are the shipped ones (an empty file is a fault of the library).
    for (const char *name : {"DSNAMES.TXT", "DTCTEXT.TXT", "COMMAND.GAG"})
      fs::copy_file(fs::path(VAZ_DATA_DIR) / name, dir_ / name, fs::copy_options::overwrite_existing);
    keys_ = sample(ids_);
  }
  ~SyntheticLibrary() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string dir() const { return dir_.string(); }
  std::string texts() const { return (dir_ / "TEXTLIB.TXT").string(); }
  const std::vector<u32> &keys() const { return keys_; }

 private:
  fs::path dir_;
  std::vector<u32> ids_;
  std::vector<u32> keys_;
};

const SyntheticLibrary &synthetic(std::size_t records) {
  static SyntheticLibrary small(100);
  static SyntheticLibrary large(100000);
  return records <= 100 ? small : large;
}

void key_of(u32 id, u8 key[4]) {
  key[0] = static_cast<u8>(id >> 24);
  key[1] = static_cast<u8>(id >> 16);
  key[2] = static_cast<u8>(id >> 8);
  key[3] = static_cast<u8>(id);
}

void run_id_search(benchmark::State &state, const std::string &file, const std::vector<u32> &keys) {
  void *handle = SearchIdOpenFile(file.c_str());
  if (handle == nullptr || keys.empty()) {
    state.SkipWithError(("cannot open " + file).c_str());
    return;
  }
  std::vector<std::array<u8, 4>> packed(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) key_of(keys[i], packed[i].data());
  u8 out[256];
  std::size_t i = 0;
  long found = 0;
  for (auto _ : state) {
    found += IdSearch(packed[i].data(), out, sizeof out, handle);
    benchmark::DoNotOptimize(out);
    if (++i == packed.size()) i = 0;
  }
  SearchIdCloseFile(handle);
  if (found != static_cast<long>(state.iterations())) state.SkipWithError("a known ID was not found");
  state.SetItemsProcessed(state.iterations());
}

void run_get_text(benchmark::State &state, const std::string &dir, const std::vector<u32> &keys) {
  if (StdSetDataDir(dir.c_str()) != 0 || keys.empty()) {
    state.SkipWithError(StdLastError());
    return;
  }
  char out[256];
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(GetTextFromTextLib(keys[i], out, sizeof out));
    if (++i == keys.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_IdSearch_Shipped(benchmark::State &state) {
  const std::string dir = VAZ_DATA_DIR;
  StdSetDataDir(dir.c_str());
  run_id_search(state, dir + "/DTCTEXT.TXT", sample(ids_of(dir + "/DTCTEXT.TXT")));
}

void BM_GetText_Shipped(benchmark::State &state) {
  const std::string dir = VAZ_DATA_DIR;
  run_get_text(state, dir, sample(ids_of(dir + "/TEXTLIB.TXT")));
}

void BM_IdSearch_Synthetic(benchmark::State &state) {
  const SyntheticLibrary &lib = synthetic(static_cast<std::size_t>(state.range(0)));
  run_id_search(state, lib.texts(), lib.keys());
}

void BM_GetText_Synthetic(benchmark::State &state) {
  const SyntheticLibrary &lib = synthetic(static_cast<std::size_t>(state.range(0)));
  run_get_text(state, lib.dir(), lib.keys());
}

}  // namespace

BENCHMARK(BM_IdSearch_Shipped);
BENCHMARK(BM_GetText_Shipped);
BENCHMARK(BM_IdSearch_Synthetic)->Arg(100)->Arg(100000);
BENCHMARK(BM_GetText_Synthetic)->Arg(100)->Arg(100000);

BENCHMARK_MAIN();
