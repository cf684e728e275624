// Wire trace formatting, its in-memory copy and its buffered file copy.
#include "wire_trace.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace vci {
namespace {
// A trace file is written in blocks of this size: a request/answer pair is about 200 bytes,
// so a live-data pass costs no system call of its own.
constexpr std::size_t kFileBuffer = 64u << 10;
}  // namespace

WireTrace::~WireTrace() {
  std::lock_guard<std::mutex> g(mutex_);
  close_file();
}

void WireTrace::clear() {
  std::lock_guard<std::mutex> g(mutex_);
  text_.clear();
  text_.shrink_to_fit();
}

void WireTrace::set_observer(VciFrameObserver observer, void *context) {
  std::lock_guard<std::mutex> g(mutex_);
  observer_ = observer;
  observer_context_ = context;
}

std::string WireTrace::text() const {
  std::lock_guard<std::mutex> g(mutex_);
  return text_;
}

void WireTrace::set_keep(bool keep, std::size_t limit) {
  std::lock_guard<std::mutex> g(mutex_);
  keep_ = keep;
  keep_limit_ = limit;
  if (!keep) {
    text_.clear();
    text_.shrink_to_fit();
  }
  update_wanted();
}

void WireTrace::note_write_error() {
  if (write_error_.empty())
    write_error_ = "cannot write the trace to " + file_path_ + ": " + std::strerror(errno ? errno : EIO);
}

void WireTrace::close_file() {
  if (file_ == nullptr) return;
  errno = 0;
  if (std::fflush(file_) != 0) note_write_error();
  std::fclose(file_);
  file_ = nullptr;
}

bool WireTrace::set_file(const std::string &path) {
  std::lock_guard<std::mutex> g(mutex_);
  close_file();
  if (!path.empty()) {
    file_ = std::fopen(path.c_str(), "a");
    if (file_ != nullptr) {
      std::setvbuf(file_, nullptr, _IOFBF, kFileBuffer);
      file_path_ = path;
      write_error_.clear();
      // Appended to an earlier session's trace: a line between them says where this one
      // begins (a decoder shows it as it stands).
      struct stat st {};
      if (fstat(fileno(file_), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        const std::time_t t = std::time(nullptr);
        std::tm tm{};
        localtime_r(&t, &tm);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
        std::fprintf(file_, "\n==== new session, %s ====\n", stamp);
      }
    }
  }
  update_wanted();
  return path.empty() || file_ != nullptr;
}

bool WireTrace::flush() {
  std::lock_guard<std::mutex> g(mutex_);
  if (file_ == nullptr) return write_error_.empty();
  errno = 0;
  if (std::fflush(file_) != 0) note_write_error();
  return write_error_.empty();
}

std::string WireTrace::write_error() const {
  std::lock_guard<std::mutex> g(mutex_);
  return write_error_;
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
  VciFrameObserver observer = nullptr;
  void *context = nullptr;
  {
    std::lock_guard<std::mutex> g(mutex_);
    observer = observer_;
    context = observer_context_;
  }
  // Outside the lock: the observer may read the trace.
  if (observer != nullptr)
    observer(bytes.data(), static_cast<unsigned>(bytes.size()), direction == "T>" ? 1 : 0, t_ms, context);
  if (!wanted_) return;
  // Formatted straight into a fixed buffer: a frame is at most a few hundred bytes.
  static constexpr char kHex[] = "0123456789ABCDEF";
  char hex[3 * 512];
  std::size_t n = 0;
  for (auto v : bytes) {
    if (n + 3 > sizeof hex) break;
    if (n > 0) hex[n++] = ' ';
    hex[n++] = kHex[v >> 4];
    hex[n++] = kHex[v & 0xF];
  }
  line(t_ms, direction, std::string_view(hex, n));
}

void WireTrace::event(double t_ms, std::string_view text) {
  if (!wanted_) return;
  line(t_ms, "--", text);
}

void WireTrace::line(double t_ms, std::string_view tag, std::string_view body) {
  char stamp[32];
  const int sn = std::snprintf(stamp, sizeof stamp, "%10.3f ", t_ms);
  std::lock_guard<std::mutex> g(mutex_);
  line_.assign(stamp, sn > 0 ? static_cast<std::size_t>(sn) : 0);
  line_ += tag;
  line_ += ' ';
  line_ += body;
  line_ += '\n';
  if (keep_) {
    // Past the limit the older half goes, at a line end.
    if (text_.size() + line_.size() > keep_limit_) {
      auto cut = text_.find('\n', text_.size() / 2);
      text_.erase(0, cut == std::string::npos ? text_.size() : cut + 1);
    }
    text_ += line_;
  }
  if (file_ != nullptr && write_error_.empty()) {
    errno = 0;
    if (std::fwrite(line_.data(), 1, line_.size(), file_) != line_.size()) note_write_error();
  }
}

}  // namespace vci
