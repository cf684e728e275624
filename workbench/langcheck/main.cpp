// vaz_langcheck: fails (status 1) when the Russian text library has drifted
// from the English one; the build runs it on build/data.
#include "language_check.h"

#include <cstdio>

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vaz_langcheck ENGLISH_DIR RUSSIAN_DIR\n");
    return 2;
  }
  const auto faults = langcheck::compareLanguages(argv[1], argv[2]);
  for (const auto &f : faults) std::fprintf(stderr, "vaz_langcheck: %s\n", f.c_str());
  return faults.empty() ? 0 : 1;
}
