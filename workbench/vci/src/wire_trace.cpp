// Wire trace formatting and its optional file copy.
#include "wire_trace.h"

#include <cstdio>

namespace vci {
namespace {
// The in-memory copy keeps the newest part when a very long run would exhaust memory.
constexpr std::size_t kMaxTraceBytes = 32u << 20;
}

void WireTrace::clear() {
  std::lock_guard<std::mutex> g(mutex_);
  text_.clear();
}

std::string WireTrace::text() const {
  std::lock_guard<std::mutex> g(mutex_);
  return text_;
}

bool WireTrace::set_file(const std::string &path) {
  std::lock_guard<std::mutex> g(mutex_);
  if (file_.is_open()) file_.close();
  if (path.empty()) return true;
  file_.open(path, std::ios::app);
  return file_.is_open();
}

std::string WireTrace::hex(const std::vector<std::uint8_t> &bytes) {
  std::string text;
  text.reserve(bytes.size() * 3);
  char b[4];
  for (auto v : bytes) {
    std::snprintf(b, sizeof b, "%02X", v);
    if (!text.empty()) text += ' ';
    text += b;
  }
  return text;
}

void WireTrace::frame(double t_ms, std::string_view direction, const std::vector<std::uint8_t> &bytes) {
  line(t_ms, direction, hex(bytes));
}

void WireTrace::event(double t_ms, std::string_view text) { line(t_ms, "--", text); }

void WireTrace::line(double t_ms, std::string_view tag, std::string_view body) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%10.3f ", t_ms);
  std::string l = stamp;
  l += tag;
  l += ' ';
  l += body;
  l += '\n';
  std::lock_guard<std::mutex> g(mutex_);
  if (text_.size() + l.size() > kMaxTraceBytes) {
    auto cut = text_.find('\n', text_.size() / 2);
    text_.erase(0, cut == std::string::npos ? text_.size() : cut + 1);
  }
  text_ += l;
  if (file_.is_open()) file_ << l << std::flush;
}

}  // namespace vci
