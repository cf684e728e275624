// The header path of the full screen.
#include "screen_path.h"

namespace stdhost {

std::string ScreenPath::signature(const MenuScreen &m) {
  std::string s = m.title;
  for (const auto &e : m.entries) s += '\n' + e;
  return s;
}

void ScreenPath::menuShown(const MenuScreen &m) {
  const std::string sig = signature(m);
  for (std::size_t i = 0; i < frames_.size(); ++i)
    if (frames_[i].menu == sig) {
      frames_.resize(i);
      return;
    }
}

void ScreenPath::menuAnswered(const MenuScreen &m, int chosen) {
  if (chosen < 0 || chosen >= static_cast<int>(m.entries.size())) return;
  frames_.push_back({signature(m), m.entries[static_cast<std::size_t>(chosen)]});
}

std::string ScreenPath::header(const std::string &screenTitle, const std::string &separator) const {
  std::string out = title_;
  auto add = [&](const std::string &part) {
    if (part.empty()) return;
    out += (out.empty() ? "" : separator) + part;
  };
  for (const auto &f : frames_) add(f.chosen);
  if (frames_.empty()) add(screenTitle);
  return out;
}

}  // namespace stdhost
