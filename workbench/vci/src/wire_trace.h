// Text trace of everything on the simulated line, optionally kept in memory and optionally
// appended to a file. Line format: time stamp in ms with three decimals, then
// "T>" (tester frame), "E<" (ECU frame) or "--" (line event), then the bytes or the event.
// A frame is formatted only when someone reads the trace (kept or a file), so a long live-data
// session neither grows nor pays for a trace nobody asked for. The file is written through a
// buffer and flushed when it is closed or the trace is read, not line by line.
// A serial line's keep-alive thread writes to it too, so every access is locked.
#pragma once

#include "vci_control.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vci {

class WireTrace {
 public:
  ~WireTrace();
  void clear();
  void frame(double t_ms, std::string_view direction, const std::vector<std::uint8_t> &bytes);
  void event(double t_ms, std::string_view text);
  std::string text() const;
  // "82 10 F1 21 01 A5": bytes as the trace writes them.
  static std::string hex(const std::vector<std::uint8_t> &bytes);
  // Keep the lines in memory for text(): all of them (the default, up to 32 MB), only the
  // newest `limit` bytes, or none.
  void set_keep(bool keep, std::size_t limit = kKeepAll);
  static constexpr std::size_t kKeepAll = 32u << 20;
  // Hands every frame to the observer as bytes, whether or not the trace is kept; null stops it.
  void set_observer(VciFrameObserver observer, void *context);
  // Appends from now on to the file; an empty path stops writing (flushing what is buffered).
  // False when it cannot open.
  bool set_file(const std::string &path);
  // Writes out what the file buffer holds. False when the file could not take it.
  bool flush();
  // The first write error of the trace file since it was opened, "" when none.
  std::string write_error() const;

 private:
  void line(double t_ms, std::string_view tag, std::string_view body);
  void update_wanted() { wanted_ = keep_ || file_ != nullptr; }
  void note_write_error();
  void close_file();

  mutable std::mutex mutex_;
  std::string text_;
  std::string line_;  // the line being formatted, reused
  std::FILE *file_ = nullptr;
  std::string file_path_;
  std::string write_error_;
  bool keep_ = true;
  std::size_t keep_limit_ = kKeepAll;
  VciFrameObserver observer_ = nullptr;
  void *observer_context_ = nullptr;
  std::atomic<bool> wanted_{true};
};

}  // namespace vci
