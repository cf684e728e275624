// Reading a configuration or data file that must be an ordinary file. The file is opened
// without waiting and checked on the opened descriptor: a FIFO of that name (with nobody
// writing it), a directory or a device is refused at once instead of stalling the reader,
// and a file larger than a reader can mean is refused too. Shared by the workbench's
// libraries and vazdiag.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string>

namespace workbench {

// The whole file into text; false (text untouched) when it is missing, not an ordinary
// file, larger than maxBytes or unreadable.
inline bool read_regular_file(const std::string &path, std::string &text, std::size_t maxBytes = 1 << 20) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  std::string all;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) <= maxBytes;
  if (ok) {
    all.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < all.size()) {
      const ssize_t n = ::read(fd, all.data() + done, all.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ok = false;
      if (n <= 0) break;  // or shorter than it said: it was cut while we read
      done += static_cast<std::size_t>(n);
    }
    all.resize(done);
  }
  ::close(fd);
  if (ok) text = std::move(all);
  return ok;
}

}  // namespace workbench
