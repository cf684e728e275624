// Which IDs form counted lists (data/README.md, "Lists"), and their check.
#include "list_check.h"

#include <cstdio>
#include <map>
#include <set>

namespace stdhost {
namespace {

struct ListKind {
  FileRole role;
  std::uint32_t prefix;  // the IDs of such lists: (id & 0xFFFF0000) == prefix
  bool allCounted;       // every record of the range is a head or an entry of one
  bool binaryCount;      // the head is one byte, else a decimal text
};

// A head may stand anywhere in its range (0x58200F50 heads the M7.9.7 converter names); it
// is the record that holds a count, its entries the records right after it.
constexpr ListKind kLists[] = {
    {FileRole::Texts, 0x58020000, true, false},    // ECU function menus
    {FileRole::Texts, 0x58030000, false, false},   // test menus (panel buttons share the range)
    {FileRole::Names, 0x58200000, true, false},    // data-stream and identification names
    {FileRole::Commands, 0x58300000, true, true},  // command lists (entries: frames of 2+ bytes)
};

std::string hexId(std::uint32_t id) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", id);
  return buf;
}

// The count a head holds; -1 when it is no count.
int countOf(const Record &head, bool binary) {
  if (binary) return head.binary && head.bytes.size() == 1 ? static_cast<unsigned char>(head.bytes[0]) : -1;
  if (head.binary || head.bytes.empty() || head.bytes.size() > 4) return -1;
  int n = 0;
  for (char c : head.bytes) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

void checkLists(const RecordFile &file, FileRole role, std::vector<std::string> &faults) {
  if (file.records.empty() && file.errors.empty()) {
    faults.push_back(file.path + ": no record at all (an empty text library file)");
    return;
  }
  auto at = [&](const Record &r) { return file.path + ":" + std::to_string(r.line) + ": "; };
  for (const ListKind &kind : kLists) {
    if (kind.role != role) continue;
    std::map<std::uint32_t, const Record *> range;  // in ID order
    for (const auto &[id, rec] : file.records)
      if ((id & 0xFFFF0000u) == kind.prefix) range.emplace(id, &rec);
    std::set<std::uint32_t> counted;
    std::uint32_t lastHead = 0;
    for (const auto &[id, rec] : range) {
      const int count = countOf(*rec, kind.binaryCount);
      if (count < 0) {
        if (kind.allCounted && !counted.count(id)) {
          faults.push_back(at(*rec) + "entry " + hexId(id) + " is counted by no list" +
                           (lastHead ? " (list " + hexId(lastHead) + " before it counts fewer entries)"
                                     : " (its list has no head with the count)"));
        }
        continue;
      }
      if (counted.count(id)) continue;  // a count-like text inside a list ("2111"): an entry
      lastHead = id;
      for (int n = 1; n <= count; ++n) {
        const std::uint32_t entry = id + static_cast<std::uint32_t>(n);
        auto it = range.find(entry);
        if (it == range.end() || (countOf(*it->second, kind.binaryCount) >= 0 && kind.binaryCount)) {
          faults.push_back(at(*rec) + "list " + hexId(id) + " counts " + std::to_string(count) + " entries but holds " +
                           std::to_string(n - 1) + "; " + hexId(entry) + " is missing");
          break;
        }
        counted.insert(entry);
      }
    }
  }
}

}  // namespace stdhost
