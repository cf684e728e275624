// The item picker of the data-stream screens and the decoding of its
// selection bitmap (item n in byte n / 8, most significant bit first).
#include "core/host_call.h"
#include "link/item_record.h"

namespace {

constexpr int kBitmapBits = VAZ_SELECT_BITMAP_SIZE * 8;

}  // namespace

extern "C" {

VAZ_EXPORT int CurrentData_OneToOne_SelectFunc(u8 *bitmap) {
  vaz::call_or(InitStreamSelectedBox, 0, bitmap);
  for (u32 n = 0; n < vaz::item_count() && n < VAZ_CD_MAX; ++n)
    vaz::call_or(AddStreamSelectBox, 0, vaz::items()[n].dwTextId);
  // Without a selection box there is nothing to pick: the user is sent back.
  return vaz::call_or(ShowStreamSelectBox, 1, 0, bitmap);
}

// `indices` has room for `itemCount` entries; items past the bitmap's 320 bits
// cannot be selected.
VAZ_EXPORT int Get_CurrentData_OneToOne_Selected(u16 itemCount, const u8 *bitmap, u16 *indices) {
  int k = 0;
  for (int n = 0; n < itemCount && n < kBitmapBits; ++n) {
    if (bitmap[n / 8] & (0x80 >> (n % 8))) indices[k++] = static_cast<u16>(n);
  }
  return k;
}

}  // extern "C"
