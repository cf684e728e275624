// The data-stream engines: pick items (or take them all), then request,
// convert and show them pass after pass until the user presses Back.
#include <array>
#include <cassert>

#include "core/session_record.h"
#include "link/item_record.h"
#include "services/stream_display.h"

namespace {

using vaz::comm;
using namespace vaz::services;

constexpr u32 kTooManyText = 0xFE55101F;
constexpr u32 kTooManyTitle = 0xFE55100F;

using Bitmap = std::array<u8, VAZ_SELECT_BITMAP_SIZE>;

struct Selection {
  std::array<u16, VAZ_CD_MAX> index{};
  int count = 0;
};

// Shows the picker; false when the user pressed Back there.
bool pick(Bitmap &bitmap, Selection &sel) {
  sel.index.fill(0);
  if (CurrentData_OneToOne_SelectFunc(bitmap.data()) == 1) return false;
  sel.count = Get_CurrentData_OneToOne_Selected(vaz::item_count(), bitmap.data(), sel.index.data());
  if (sel.count > VAZ_SELECT_SHOWN_MAX) {
    vaz::show_box(kTooManyText, kTooManyTitle, VAZ_BOX_REPORT);
    sel.count = VAZ_SELECT_SHOWN_MAX;
  }
  return true;
}

}  // namespace

extern "C" {

// One request per pass; every shown item is computed from that one answer.
VAZ_EXPORT int CurrentData_SingleCom_Allcal(void) {
  Bitmap bitmap{};
  Selection sel;
  for (;;) {
    bitmap.fill(0);
    if (!pick(bitmap, sel)) break;
    // The request index is the first selected item, then the entry just past
    // the shown ones; only a comm routine that picks its frame by item uses it.
    u16 requestIndex = sel.index[0];
    do {
      begin_pass();
      if (comm(vaz::function_code(), requestIndex) <= 0) return VAZ_SERVICE_COMM_FAILED;
      for (int i = 0; i < sel.count; ++i)
        if (!show_item(sel.index[i])) return VAZ_SERVICE_DISPLAY_REFUSED;
      assert(sel.count < static_cast<int>(sel.index.size()));
      requestIndex = sel.index[sel.count];
    } while (!user_left());
    comm(FC_DONE, 0);
  }
  comm(FC_DONE, 0);
  return VAZ_SERVICE_DONE;
}

// One request per shown item; the last selection is offered again.
VAZ_EXPORT int CurrentData_SingleCom_SingleCalc(void) {
  Bitmap bitmap{};
  Selection sel;
  for (;;) {
    if (!pick(bitmap, sel)) break;
    do {
      begin_pass();
      for (int i = 0; i < sel.count; ++i) {
        if (comm(vaz::function_code(), sel.index[i]) <= 0) return VAZ_SERVICE_COMM_FAILED;
        if (!show_item(sel.index[i])) return VAZ_SERVICE_DISPLAY_REFUSED;
      }
    } while (!user_left());
    comm(FC_DONE, 0);
  }
  comm(FC_DONE, 0);
  return VAZ_SERVICE_DONE;
}

// Every item of the list, no picking and no cap; one request per pass.
VAZ_EXPORT int CurrentData_SingleCom_Allcal_DisplayAll(void) {
  do {
    begin_pass();
    if (comm(vaz::function_code(), 0) <= 0) return VAZ_SERVICE_COMM_FAILED;
    for (u16 n = 0; n < vaz::item_count() && n < VAZ_CD_MAX; ++n)
      if (!show_item(n)) return VAZ_SERVICE_DISPLAY_REFUSED;
  } while (!user_left());
  comm(FC_DONE, 0);
  return VAZ_SERVICE_DONE;
}

}  // extern "C"
