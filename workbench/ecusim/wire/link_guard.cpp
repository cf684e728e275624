// Making and removing the symbolic link to the pty slave.
#include "link_guard.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace ecusim::wire {

std::optional<LinkGuard> LinkGuard::make(const std::string &link, const std::string &target, std::string &error) {
  struct stat st {};
  if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    error = link + " exists and is not a symbolic link; not replacing it";
    return std::nullopt;
  }
  // Made under a temporary name and renamed over the old link: whoever waits for the link
  // never sees it missing or half made.
  const std::string temporary = link + ".new-" + std::to_string(getpid());
  unlink(temporary.c_str());
  if (symlink(target.c_str(), temporary.c_str()) != 0 || rename(temporary.c_str(), link.c_str()) != 0) {
    error = "cannot make the link " + link + ": " + std::strerror(errno);
    unlink(temporary.c_str());
    return std::nullopt;
  }
  return LinkGuard(link, target);
}

LinkGuard::LinkGuard(LinkGuard &&other) noexcept : link_(std::move(other.link_)), target_(std::move(other.target_)) {
  other.link_.clear();
}

LinkGuard::~LinkGuard() {
  if (link_.empty()) return;
  std::array<char, 512> now{};
  const ssize_t n = readlink(link_.c_str(), now.data(), now.size() - 1);
  if (n >= 0 && target_ == std::string(now.data(), static_cast<std::size_t>(n))) unlink(link_.c_str());
}

}  // namespace ecusim::wire
