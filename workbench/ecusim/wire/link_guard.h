// The symbolic link --link PATH to the pty's slave: made (replacing an older link) when the
// line opens, removed again when the program ends, so scripts can use a fixed name.
#pragma once

#include <optional>
#include <string>

namespace ecusim::wire {

class LinkGuard {
 public:
  // Nullopt with a reason when PATH is something other than a link or cannot be made.
  static std::optional<LinkGuard> make(const std::string &link, const std::string &target, std::string &error);

  LinkGuard(LinkGuard &&other) noexcept;
  LinkGuard &operator=(LinkGuard &&) = delete;
  LinkGuard(const LinkGuard &) = delete;
  LinkGuard &operator=(const LinkGuard &) = delete;
  // Removes the link unless someone has pointed it elsewhere meanwhile.
  ~LinkGuard();

 private:
  LinkGuard(std::string link, std::string target) : link_(std::move(link)), target_(std::move(target)) {}
  std::string link_, target_;
};

}  // namespace ecusim::wire
