// Text trace of everything on the simulated line, kept in memory and optionally appended
// to a file line by line. Line format: time stamp in ms with three decimals, then
// "T>" (tester frame), "E<" (ECU frame) or "--" (line event), then the bytes or the event.
// A serial line's keep-alive thread writes to it too, so every access is locked.
#pragma once

#include <cstdint>
#include <fstream>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vci {

class WireTrace {
 public:
  void clear();
  void frame(double t_ms, std::string_view direction, const std::vector<std::uint8_t> &bytes);
  void event(double t_ms, std::string_view text);
  std::string text() const;
  // "82 10 F1 21 01 A5": bytes as the trace writes them.
  static std::string hex(const std::vector<std::uint8_t> &bytes);
  // Appends from now on to the file; an empty path stops writing. False when it cannot open.
  bool set_file(const std::string &path);

 private:
  void line(double t_ms, std::string_view tag, std::string_view body);

  mutable std::mutex mutex_;
  std::string text_;
  std::ofstream file_;
};

}  // namespace vci
