/*
 * A stand-in host library for the loader tests: every display or vehicle-interface
 * symbol as a function returning 0. The build renames one symbol away
 * (-DName=Name_absent) to make a library that lacks it, and FAKE_OPEN_RESULT sets
 * what OpenStdCommDll answers.
 */
#include "vaz_host_symbols.h"

#ifndef FAKE_OPEN_RESULT
#define FAKE_OPEN_RESULT 0
#endif

#define FAKE_SYMBOL(name) \
  int name(void) { return 0; }

#ifdef FAKE_DISPLAY
VAZ_LIST_DISPLAY(FAKE_SYMBOL)
#endif

#ifdef FAKE_VCI
#define OpenStdCommDll OpenStdCommDll_replaced
VAZ_LIST_C(FAKE_SYMBOL)
#undef OpenStdCommDll
int OpenStdCommDll(void) { return FAKE_OPEN_RESULT; }
#endif
