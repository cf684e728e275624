// Build step: loads the assembled text library as the display host does at start, and fails
// the build with its faults (FILE:LINE: what), so that a list whose count disagrees with its
// entries never reaches a session.
#include <cstdio>

#include "std_control.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vaz_data_check DATA_DIR\n");
    return 2;
  }
  if (StdSetDataDir(argv[1]) != 0) {
    std::fprintf(stderr, "%s\n", StdLastError());
    return 1;
  }
  return 0;
}
