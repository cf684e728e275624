// Driver for the fuzz targets when no libFuzzer is at hand (gcc builds): runs
// the target over every file of a seed corpus, then over deterministic
// pseudo-random inputs (fresh bytes and mutated seeds), so that a sanitizer
// build turns each target into a quick regression test.
//
//   fuzz_<name> <corpus dir or one input file> [--runs N] [--max-len N] [--seed N]
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace {

using Bytes = std::vector<std::uint8_t>;

// Each input gets a heap block of exactly its size, so that the sanitizer
// catches a target reading past the end of its input.
void run_one(const Bytes &input) {
  std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[input.size() ? input.size() : 1]);
  if (!input.empty()) std::memcpy(copy.get(), input.data(), input.size());
  LLVMFuzzerTestOneInput(copy.get(), input.size());
}

// A directory gives all its files; a single file (a crash to reproduce) itself.
std::vector<Bytes> read_corpus(const std::filesystem::path &dir) {
  std::vector<std::filesystem::path> files;
  if (std::filesystem::is_regular_file(dir)) {
    files.push_back(dir);
  } else {
    for (const auto &entry : std::filesystem::directory_iterator(dir))
      if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());  // the same order on every machine
  std::vector<Bytes> seeds;
  for (const auto &f : files) {
    std::ifstream in(f, std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>{});
  }
  return seeds;
}

// A few cheap mutations in the manner of a coverage-guided fuzzer: flip,
// overwrite, insert, erase, and put in boundary bytes.
Bytes mutate(Bytes b, std::mt19937 &rng, std::size_t maxLen) {
  const int edits = 1 + static_cast<int>(rng() % 8);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = b.empty() ? 0 : rng() % b.size();
    switch (rng() % 5) {
      case 0:
        if (!b.empty()) b[at] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
        break;
      case 1:
        if (!b.empty()) b[at] = static_cast<std::uint8_t>(rng());
        break;
      case 2:
        if (b.size() < maxLen) b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::uint8_t>(rng()));
        break;
      case 3:
        if (!b.empty()) b.erase(b.begin() + static_cast<std::ptrdiff_t>(at));
        break;
      default: {
        static constexpr std::uint8_t kEdges[] = {0x00, 0x01, 0x0D, 0x40, 0x7F, 0x80, 0xCD, 0xFE, 0xFF};
        if (!b.empty()) b[at] = kEdges[rng() % std::size(kEdges)];
      }
    }
  }
  if (b.size() > maxLen) b.resize(maxLen);
  return b;
}

}  // namespace

int main(int argc, char **argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <corpus dir> [--runs N] [--max-len N] [--seed N]\n", argv[0]);
    return 2;
  }
  long runs = 1000;
  std::size_t maxLen = 1024;
  unsigned seed = 1;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string opt = argv[i];
    const long value = std::strtol(argv[i + 1], nullptr, 10);
    if (opt == "--runs")
      runs = value;
    else if (opt == "--max-len")
      maxLen = static_cast<std::size_t>(value);
    else if (opt == "--seed")
      seed = static_cast<unsigned>(value);
  }

  std::vector<Bytes> seeds;
  try {
    seeds = read_corpus(argv[1]);
  } catch (const std::filesystem::filesystem_error &e) {
    std::fprintf(stderr, "cannot read the corpus: %s\n", e.what());
    return 2;
  }
  for (const Bytes &s : seeds) run_one(s);

  std::mt19937 rng(seed);
  for (long n = 0; n < runs; ++n) {
    if (!seeds.empty() && n % 2 == 1) {
      run_one(mutate(seeds[rng() % seeds.size()], rng, maxLen));
    } else {
      Bytes b(rng() % (maxLen + 1));
      for (auto &x : b) x = static_cast<std::uint8_t>(rng());
      run_one(b);
    }
  }
  std::printf("%zu seeds and %ld generated inputs ran clean\n", seeds.size(), runs);
  return 0;
}
