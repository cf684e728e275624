// Fuzz target of the display host's record parser: arbitrary text parsed as
// one source file of the text library, then every record it kept looked up
// again by its text ID.
#include <cstdint>
#include <string>
#include <string_view>

#include "record_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  const stdhost::RecordFile file = stdhost::parseRecordFile(text, "FUZZ.TXT");
  for (const auto &[id, record] : file.records) {
    // A kept record is never empty binary and is found under its own ID.
    if (record.binary && record.bytes.empty()) __builtin_trap();
    if (file.find(id) != &record) __builtin_trap();
  }
  for (const std::string &error : file.errors) {
    if (error.rfind("FUZZ.TXT:", 0) != 0) __builtin_trap();  // every fault names file:line
  }
  return 0;
}
