// The engine of every ECU function menu: connects, shows the menu, runs the
// chosen entry and ends the session when the user backs out.
#include "core/host_call.h"
#include "core/session_record.h"
#include "formulas/dtc_record.h"
#include "session/menu_model.h"

namespace vaz::menu {
namespace {

constexpr u32 kConnectNotice = 0xFE551006;
constexpr u32 kNoLineText = VAZ_TEXT_NO_LINE;
// A menu that keeps failing to build ends the menu instead of looping for ever.
constexpr int kMenuBuildAttempts = 3;

// False when the entry failed; the session then ends.
bool run_entry(const Entry &e) {
  switch (e.kind) {
    case Kind::List:
      vaz::function_code() = e.code;
      pFCalcCD = e.calc;
      if (GetData_ECU_CD(e.names, e.commands) == VAZ_LOOKUP_MISSING) return false;
      return e.routine() == VAZ_SERVICE_DONE;
    case Kind::Codes:
      vaz::function_code() = e.code;
      pFCalcDTC = e.decoder;
      vaz::dtc_base() = e.names;
      return TroubleCode_SingleCom() == VAZ_SERVICE_DONE;
    case Kind::Erase: vaz::function_code() = e.code; return EraseCode_SingleCom() == VAZ_SERVICE_DONE;
    case Kind::Test: return e.routine() > 0;
  }
  return false;
}

}  // namespace

int run_menu(const Menu &menu) {
  vaz::ecu_variant() = menu.variant;
  pFComm = menu.comm;
  show_box(kConnectNotice, kConnectNotice, VAZ_BOX_NOTICE);
  const int connected = comm(FC_CONNECT, 0);
  if (connected == VAZ_COMM_FAILED) return VAZ_MENU_FAILED;
  // The interface would not select the line: nothing reached the car, so no
  // menu of its services, and the fault named is the interface's.
  if (connected == VAZ_COMM_NO_LINE) {
    show_box(kNoLineText, kFailureTitle, VAZ_BOX_REPORT);
    return VAZ_MENU_LEFT;
  }

  const int entryCount = static_cast<int>(menu.entries.size());
  int preselect = 0;
  int buildFailures = 0;
  for (;;) {
    if (call_or(InitMenuID, -1, kMenuTitle) != 0) return VAZ_MENU_UNBUILT;
    const int chosen = SelectMenu_menu(menu.menuId, preselect);
    if (chosen == VAZ_SELECT_BACK) {
      comm(FC_DISCONNECT, 0);
      return VAZ_MENU_LEFT;
    }
    if (chosen < 0) {
      if (++buildFailures >= kMenuBuildAttempts) return VAZ_MENU_UNBUILT;
      continue;
    }
    buildFailures = 0;
    if (chosen >= entryCount) continue;
    preselect = chosen;
    if (!run_entry(menu.entries[static_cast<size_t>(chosen)])) return VAZ_MENU_FAILED;
  }
}

}  // namespace vaz::menu
