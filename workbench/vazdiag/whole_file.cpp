// Whole-file writes through a temporary file and a rename.
#include "whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vazdiag {
namespace {

bool write_all(int fd, const std::string &text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool same_file(const std::string &a, const std::string &b) {
  struct stat sa {
  }, sb{};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string write_whole_file(const std::string &path, const std::string &text) {
  if (path == "/dev/null") return "";
  const auto slash = path.rfind('/');
  std::string temp = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".vazdiag-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return std::string("cannot write beside it: ") + std::strerror(errno);
  // mkstemp makes a private file; the report gets the permissions of any new file.
  const mode_t mask = umask(0);
  umask(mask);
  bool ok = fchmod(fd, 0666 & ~mask) == 0 && write_all(fd, text);
  const int writeErrno = errno;
  ok = (::close(fd) == 0) && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return "";
  const int why = ok ? errno : writeErrno;
  ::unlink(temp.c_str());
  return std::strerror(why != 0 ? why : EIO);
}

}  // namespace vazdiag
