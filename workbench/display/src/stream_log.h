// Live-data recording: every refresh pass of a data stream becomes one CSV row
// (a time stamp, then one column per shown item). A pass whose items differ
// from the file's header goes on in a new file beside it (name-2.csv, ...),
// so every file keeps one set of columns; items shown again later go on in
// the file that already has their columns.
#pragma once

#include "screens.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace stdhost {

class StreamLog {
 public:
  // Starts recording to path (truncated). false and why when it cannot be written.
  bool start(const std::string &path, std::string &error);
  void stop();
  bool active() const { return !base_.empty(); }
  // The file rows go to now ("" when not recording).
  const std::string &currentFile() const { return current_; }
  long rows() const { return rows_; }

  // Writes one row for this pass; false when the file could not be written
  // (recording then stops, and lastError says why).
  bool record(const StreamScreen &s);
  const std::string &lastError() const { return error_; }

  // Header cells, from the item names with units: "Coolant temperature (°C)".
  static std::vector<std::string> header(const StreamScreen &s);
  // One CSV line, quoted where a cell needs it.
  static std::string csvLine(const std::vector<std::string> &cells);
  // The file of a recording started by a key: vazdiag-live-YYYYMMDD-HHMMSS.csv in the
  // recordings folder of vazdiag's data directory (made when missing), as a whole path.
  static std::string defaultName();

 private:
  struct Closer {
    void operator()(std::FILE *f) const {
      if (f) std::fclose(f);
    }
  };
  bool open(const std::string &path, const char *mode, std::string &error);
  std::string nextName();

  std::unique_ptr<std::FILE, Closer> file_;
  std::string base_, current_, error_;
  std::vector<std::string> columns_;                        // header of the open file, empty before its first row
  std::map<std::vector<std::string>, std::string> fileOf_;  // every file of this recording, by its header
  int files_ = 0;
  long rows_ = 0;
  std::vector<std::string> names_, cols_;  // the last pass's item names and their header cells
  std::string text_;                       // the row being written
};

}  // namespace stdhost
