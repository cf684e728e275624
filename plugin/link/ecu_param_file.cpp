// Loads an ECU's tables from a binary ECU parameter file into the session
// record: the directory record of the current ECU variant, the data-stream
// table and the actuator table. Every field is one positioned read; a read
// that fails leaves its field as it was.
#include <array>
#include <climits>
#include <cstdio>
#include <memory>

#include "core/session_record.h"
#include "host/regular_file.h"
#include "link/item_record.h"
#include "vaz_old.h"

namespace {

// Directory: 24-byte records from offset 0, ended by the key 0xFFFF.
constexpr long long kDirRecordSize = 24;
constexpr u16 kDirEnd = 0xFFFF;

struct DirField {
  int offset;
  u32 &(*field)();
};
constexpr std::array kDirOffsets{
    DirField{4, vaz::dtc_table_at},    DirField{8, vaz::item_table_at},      DirField{12, vaz::second_table_at},
    DirField{16, vaz::third_table_at}, DirField{20, vaz::actuator_table_at},
};
constexpr int kDirParamOffset = 2;

// Data-stream table: count, header length, two unread bytes, header, records.
constexpr long long kCdHeadOffset = 5;
constexpr long long kCdRecordSize = 12;
// Actuator table: count, two unread bytes, 9-byte records led by a text ID.
constexpr long long kActFirstRecord = 3;
constexpr long long kActRecordSize = 9;

// Reads a little-endian unsigned field of sizeof(T) bytes at `offset`. Offsets
// beyond the int range of ECU_move_lib_data are a failed read.
template <typename T>
bool read_le(const char *path, long long offset, T &field) {
  if (offset < 0 || offset > INT_MAX) return false;
  std::array<u8, sizeof(T)> bytes{};
  if (ECU_move_lib_data(path, static_cast<int>(offset), bytes.data(), bytes.size()) != 0) return false;
  T value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) value = static_cast<T>(value << 8 | bytes[i]);
  field = value;
  return true;
}

}  // namespace

extern "C" {

VAZ_EXPORT int ECU_move_lib_data(const char *path, int offset, void *buffer, u32 size) {
  if (path == nullptr || buffer == nullptr) return -1;
  const vaz::File file = vaz::open_regular_file(path);
  if (!file) return -1;
  // A failed seek would read from the wrong place: that is a failed read too.
  if (std::fseek(file.get(), offset, SEEK_SET) != 0) return -1;
  if (std::fread(buffer, 1, size, file.get()) != size) return -1;
  return 0;
}

VAZ_EXPORT int ECU_GetDataAddr(const char *path) {
  for (long long record = 0;; record += kDirRecordSize) {
    u16 key = 0;
    if (!read_le(path, record, key) || key == kDirEnd) return -1;
    if (key != vaz::ecu_variant()) continue;
    read_le(path, record + kDirParamOffset, vaz::library_parameter());
    for (const DirField &f : kDirOffsets) read_le(path, record + f.offset, f.field());
    return 0;
  }
}

// A count larger than CdItem loads only the records that fit, and wCdNum
// says how many that is.
VAZ_EXPORT int ECU_GetData_CD(const char *path, int offset) {
  const long long table = offset;
  read_le(path, table, vaz::item_count());
  if (vaz::item_count() > VAZ_CD_MAX) vaz::item_count() = VAZ_CD_MAX;
  read_le(path, table + 2, vaz::item_head_length());
  const long long headLength = vaz::item_head_length();
  if (table + kCdHeadOffset <= INT_MAX)
    ECU_move_lib_data(path, static_cast<int>(table + kCdHeadOffset), vaz::item_head(), vaz::item_head_length());

  const long long first = table + kCdHeadOffset + headLength;
  for (u32 i = 0; i < vaz::item_count(); ++i) {
    CD_ITEM &item = vaz::items()[i];
    const long long record = first + kCdRecordSize * i;
    read_le(path, record, item.dwTextId);
    read_le(path, record + 4, item.cItemType);
    read_le(path, record + 5, item.wItemParam);
    read_le(path, record + 7, item.cItemParam2);
    read_le(path, record + 8, item.dwCmdId);
  }
  return 0;
}

VAZ_EXPORT int ECU_GetData_ACT(const char *path, int offset) {
  const long long table = offset;
  read_le(path, table, vaz::actuator_count());
  if (vaz::actuator_count() > VAZ_ACT_MAX) vaz::actuator_count() = VAZ_ACT_MAX;
  for (u32 i = 0; i < vaz::actuator_count(); ++i)
    read_le(path, table + kActFirstRecord + kActRecordSize * i, vaz::actuator_items()[i].dwTextId);
  return 0;
}

// File offsets above the int range cannot be read; they arrive as negative
// offsets, which ECU_move_lib_data refuses.
VAZ_EXPORT int ECU_GetData(const char *path) {
  if (vaz::item_table_at() != 0) ECU_GetData_CD(path, static_cast<int>(vaz::item_table_at()));
  if (vaz::actuator_table_at() != 0) ECU_GetData_ACT(path, static_cast<int>(vaz::actuator_table_at()));
  return 0;
}

}  // extern "C"
