// Opens a file for reading only after checking, on the opened descriptor, that
// it is a regular file. The open itself does not wait: a FIFO without a writer
// would otherwise hold it before the check could refuse it.
#include "host/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vaz {

File open_regular_file(const char *path) {
  if (path == nullptr) return nullptr;
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::fcntl(fd, F_SETFL, 0) != 0) {
    ::close(fd);
    return nullptr;
  }
  FILE *f = ::fdopen(fd, "rb");
  if (f == nullptr) ::close(fd);
  return File(f);
}

}  // namespace vaz
