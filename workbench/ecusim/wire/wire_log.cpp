// Time-stamped, line-flushed event log.
#include "wire_log.h"

namespace ecusim::wire {

void WireLog::Closer::operator()(std::FILE *f) const { std::fclose(f); }

WireLog::WireLog() : out_(stderr) {}

WireLog::WireLog(const std::string &path) : owned_(std::fopen(path.c_str(), "a")), out_(owned_.get()) {}

void WireLog::line(double t_ms, std::string_view text) {
  if (!out_) return;
  std::fprintf(out_, "%10.3f %.*s\n", t_ms, static_cast<int>(text.size()), text.data());
  std::fflush(out_);
}

std::string hex_bytes(const Bytes &bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(bytes.size() * 3);
  for (auto b : bytes) {
    if (!s.empty()) s += ' ';
    s += kDigits[b >> 4];
    s += kDigits[b & 0x0F];
  }
  return s;
}

}  // namespace ecusim::wire
