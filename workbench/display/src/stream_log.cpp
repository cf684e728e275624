// CSV recording of live data.
#include "stream_log.h"

#include "line_clock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string_view>

#include "workbench/data_home.h"

namespace stdhost {
namespace {

// The wall-clock time of a row, "2024-05-01T10:00:00.123", written into buf.
std::string_view timeStamp(char (&buf)[40]) {
  using namespace std::chrono;
  auto now = stampTime();
  std::time_t t = system_clock::to_time_t(now);
  auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&t, &tm);
  std::size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
  const int more = std::snprintf(buf + n, sizeof buf - n, ".%03d", static_cast<int>(ms));
  return {buf, n + static_cast<std::size_t>(std::max(more, 0))};
}

// One CSV cell, quoted where it needs it, appended in place.
void appendCell(std::string &line, std::string_view c) {
  if (c.find_first_of(",\"\r\n") == std::string_view::npos && (c.empty() || (c.front() != ' ' && c.back() != ' '))) {
    line += c;
    return;
  }
  line += '"';
  for (char ch : c) {
    if (ch == '"') line += '"';
    line += ch;
  }
  line += '"';
}

}  // namespace

bool StreamLog::open(const std::string &path, const char *mode, std::string &error) {
  std::unique_ptr<std::FILE, Closer> f(std::fopen(path.c_str(), mode));
  if (!f) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  file_ = std::move(f);
  current_ = path;
  columns_.clear();
  return true;
}

bool StreamLog::start(const std::string &path, std::string &error) {
  if (path.empty()) {
    error = "no log file given";
    return false;
  }
  if (!open(path, "w", error)) return false;
  fileOf_.clear();
  base_ = path;
  files_ = 1;
  rows_ = 0;
  error_.clear();
  return true;
}

void StreamLog::stop() {
  file_.reset();
  base_.clear();
  current_.clear();
  columns_.clear();
}

std::string StreamLog::nextName() {
  ++files_;
  auto dot = base_.rfind('.');
  auto slash = base_.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return base_ + "-" + std::to_string(files_);
  return base_.substr(0, dot) + "-" + std::to_string(files_) + base_.substr(dot);
}

bool StreamLog::record(const StreamScreen &s) {
  if (!active()) return true;
  // The columns are worked out again only when the items shown change: a steady pass
  // compares names and writes its row into a reused buffer, with no allocation.
  bool sameItems = names_.size() == s.lines.size();
  for (std::size_t i = 0; sameItems && i < names_.size(); ++i) sameItems = names_[i] == s.lines[i].name;
  if (!sameItems) {
    names_.clear();
    for (const auto &l : s.lines) names_.push_back(l.name);
    cols_ = header(s);
  }
  if (!columns_.empty() && cols_ != columns_) {
    auto known = fileOf_.find(cols_);
    const bool ok = known != fileOf_.end() ? open(known->second, "a", error_) : open(nextName(), "w", error_);
    if (!ok) {
      stop();
      return false;
    }
    if (known != fileOf_.end()) columns_ = cols_;  // its header is written already
  }
  text_.clear();
  if (columns_.empty()) {
    std::vector<std::string> head{"time"};
    head.insert(head.end(), cols_.begin(), cols_.end());
    text_ = csvLine(head);
    columns_ = cols_;
    fileOf_[cols_] = current_;
  }
  char stamp[40];
  appendCell(text_, timeStamp(stamp));
  for (const auto &l : s.lines) {
    text_ += ',';
    appendCell(text_, l.value);
  }
  text_ += '\n';
  // Flushed per row: a session that is cut short keeps every pass it showed.
  if (std::fwrite(text_.data(), 1, text_.size(), file_.get()) != text_.size() || std::fflush(file_.get()) != 0) {
    error_ = "cannot write " + current_ + ": " + std::strerror(errno);
    stop();
    return false;
  }
  ++rows_;
  return true;
}

std::vector<std::string> StreamLog::header(const StreamScreen &s) {
  std::vector<std::string> out;
  for (const auto &item : s.items)
    out.push_back(item.label.unit.empty() ? item.label.name : item.label.name + " (" + item.label.unit + ")");
  return out;
}

std::string StreamLog::csvLine(const std::vector<std::string> &cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i) line += ',';
    appendCell(line, cells[i]);
  }
  return line + "\n";
}

std::string StreamLog::defaultName() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[64];
  std::strftime(buf, sizeof buf, "vazdiag-live-%Y%m%d-%H%M%S.csv", &tm);
  const std::string dir = workbench::data_home() + "/recordings";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);  // when it cannot be made, the start says why
  return dir + "/" + buf;
}

}  // namespace stdhost
