// Loads an ECU's tables from a binary ECU parameter file into the session
// record: the directory record of the current ECU variant, the data-stream
// table and the actuator table. Every field is one positioned read; a read
// that fails leaves its field as it was.
#include <array>
#include <climits>
#include <cstdio>
#include <memory>

#include "host/regular_file.h"
#include "vaz_old.h"

namespace {

// Directory: 24-byte records from offset 0, ended by the key 0xFFFF.
constexpr long long kDirRecordSize = 24;
constexpr u16 kDirEnd = 0xFFFF;

struct DirField {
  int offset;
  u32 TOKEN_OLD_T::*field;
};
constexpr std::array kDirOffsets{
    DirField{4, &TOKEN_OLD_T::dwLibDtcAddr},  DirField{8, &TOKEN_OLD_T::dwLibCdAddr},
    DirField{12, &TOKEN_OLD_T::dwLibAddr2},   DirField{16, &TOKEN_OLD_T::dwLibAddr3},
    DirField{20, &TOKEN_OLD_T::dwLibActAddr},
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
    if (key != TOKEN_OLD.wEcuVariant) continue;
    read_le(path, record + kDirParamOffset, TOKEN_OLD.wLibParam);
    for (const DirField &f : kDirOffsets) read_le(path, record + f.offset, TOKEN_OLD.*f.field);
    return 0;
  }
}

// A count larger than CdItem loads only the records that fit, and wCdNum
// says how many that is.
VAZ_EXPORT int ECU_GetData_CD(const char *path, int offset) {
  const long long table = offset;
  read_le(path, table, TOKEN_OLD.wCdNum);
  if (TOKEN_OLD.wCdNum > VAZ_CD_MAX) TOKEN_OLD.wCdNum = VAZ_CD_MAX;
  read_le(path, table + 2, TOKEN_OLD.cCdHeadLen);
  const long long headLength = TOKEN_OLD.cCdHeadLen;
  if (table + kCdHeadOffset <= INT_MAX)
    ECU_move_lib_data(path, static_cast<int>(table + kCdHeadOffset), TOKEN_OLD.bCdHead, TOKEN_OLD.cCdHeadLen);

  const long long first = table + kCdHeadOffset + headLength;
  for (u32 i = 0; i < TOKEN_OLD.wCdNum; ++i) {
    CD_ITEM &item = TOKEN_OLD.CdItem[i];
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
  read_le(path, table, TOKEN_OLD.cActNum);
  if (TOKEN_OLD.cActNum > VAZ_ACT_MAX) TOKEN_OLD.cActNum = VAZ_ACT_MAX;
  for (u32 i = 0; i < TOKEN_OLD.cActNum; ++i)
    read_le(path, table + kActFirstRecord + kActRecordSize * i, TOKEN_OLD.ActItem[i].dwTextId);
  return 0;
}

// File offsets above the int range cannot be read; they arrive as negative
// offsets, which ECU_move_lib_data refuses.
VAZ_EXPORT int ECU_GetData(const char *path) {
  if (TOKEN_OLD.dwLibCdAddr != 0) ECU_GetData_CD(path, static_cast<int>(TOKEN_OLD.dwLibCdAddr));
  if (TOKEN_OLD.dwLibActAddr != 0) ECU_GetData_ACT(path, static_cast<int>(TOKEN_OLD.dwLibActAddr));
  return 0;
}

}  // extern "C"
