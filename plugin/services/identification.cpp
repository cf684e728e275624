// The ECU identification screen: one library-command request per field, each
// answer turned into text by the family's identification routine.
#include "core/session_record.h"
#include "link/item_record.h"
#include "services/stream_display.h"

namespace {

constexpr u32 kReadingText = 0xFE551018;

}  // namespace

extern "C" {

VAZ_EXPORT int INFO_SingleCom_SingleCalc(void) {
  using namespace vaz::services;
  vaz::show_box(kReadingText, vaz::kIdentificationTitle, VAZ_BOX_NOTICE);
  do {
    begin_pass();
    for (u16 n = 0; n < vaz::item_count() && n < VAZ_CD_MAX; ++n) {
      if (vaz::comm(vaz::function_code(), n) <= 0) return VAZ_SERVICE_COMM_FAILED;
      if (!show_item(n)) return VAZ_SERVICE_DISPLAY_REFUSED;
    }
  } while (!user_left());
  vaz::comm(FC_DONE, 0);
  return VAZ_SERVICE_DONE;
}

}  // extern "C"
