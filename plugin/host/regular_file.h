// Opening of the files the configuration and parameter readers read whole or
// at offsets. Only a regular file is opened: a directory of that name would
// report a size of 2^63 bytes, and a FIFO would block the reader for good.
#ifndef VAZ_HOST_REGULAR_FILE_H
#define VAZ_HOST_REGULAR_FILE_H

#include <cstdio>
#include <memory>

namespace vaz {

struct FileCloser {
  void operator()(FILE *f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// The file opened for binary reading, or null when it is missing, unreadable
// or anything but a regular file.
File open_regular_file(const char *path);

}  // namespace vaz

#endif
