// One source file of the text library, parsed: the records stored under their
// 32-bit text IDs, and the faults found in the file, each named by file:line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace stdhost {

struct Record {
  std::string bytes;  // the text (UTF-8, no terminator) or the binary record bytes
  bool binary = false;
  int line = 0;  // where it stands in its file
};

struct RecordFile {
  std::string path;
  std::unordered_map<std::uint32_t, Record> records;
  std::vector<std::string> errors;

  const Record *find(std::uint32_t id) const {
    auto it = records.find(id);
    return it == records.end() ? nullptr : &it->second;
  }
};

// Parses the text of one source file; `name` starts every error message.
RecordFile parseRecordFile(std::string_view text, const std::string &name);

// Reads and parses the file at `path`; false when it cannot be read.
bool loadRecordFile(const std::string &path, RecordFile &out);

}  // namespace stdhost
