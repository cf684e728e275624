// The shape of an ECU function menu: which comm routine and variant the ECU
// uses and, per entry, what it installs and which service or test it runs.
#ifndef VAZ_SESSION_MENU_MODEL_H
#define VAZ_SESSION_MENU_MODEL_H

#include <span>

#include "vaz_old.h"

namespace vaz::menu {

using Routine = int (*)(void);

enum class Kind : u8 {
  List,   // identification or data list: formula, item list, then a list service
  Codes,  // read trouble codes with a decoder
  Erase,  // erase trouble codes
  Test    // actuator or special test routine
};

struct Entry {
  Kind kind;
  u8 code = 0;                    // function code stored in cFuncCode
  CALC_CD_FN calc = nullptr;      // List: formula or identification routine
  CALC_DTC_FN decoder = nullptr;  // Codes: decoder
  Routine routine = nullptr;      // List: the list service; Test: the test
  u32 names = 0;                  // List: name list; Codes: trouble-code text base
  u32 commands = VAZ_NO_LIST;     // List: command list
};

struct Menu {
  u16 variant;
  COMM_FN comm;
  u32 menuId;
  std::span<const Entry> entries;
};

constexpr Entry identification(CALC_CD_FN calc, u32 names, u32 commands) {
  return {.kind = Kind::List,
          .code = FC_LIBCMD,
          .calc = calc,
          .routine = INFO_SingleCom_SingleCalc,
          .names = names,
          .commands = commands};
}

constexpr Entry codes(u8 code, CALC_DTC_FN decoder, u32 base) {
  return {.kind = Kind::Codes, .code = code, .decoder = decoder, .names = base};
}

constexpr Entry erase() { return {.kind = Kind::Erase, .code = FC_ERASE}; }

constexpr Entry data_list(u8 code, CALC_CD_FN calc, u32 names, Routine engine, u32 commands = VAZ_NO_LIST) {
  return {.kind = Kind::List, .code = code, .calc = calc, .routine = engine, .names = names, .commands = commands};
}

constexpr Entry test(Routine routine) { return {.kind = Kind::Test, .routine = routine}; }

// Runs a whole menu session: connect, menu loop, disconnect. Results as the
// DIAG_* routines: 1 left normally, -1 failure, -2 menu could not be built.
int run_menu(const Menu &menu);

}  // namespace vaz::menu

#endif
