/*
 * The plug-in's host-function slots: one exported function pointer per symbol
 * of the display host and the vehicle interface, named exactly as the symbol.
 * The loader (host/host_loader.cpp) fills them; every other routine calls the
 * hosts only through them, so a test can put its own functions in the slots.
 */
#ifndef VAZ_HOST_SLOTS_H
#define VAZ_HOST_SLOTS_H

#ifdef __cplusplus
extern "C" {
#endif

#include "vaz_host_types.h"

#define VAZ_DECLARE_SLOT(name) extern VAZ_EXPORT name##_fn name;
VAZ_LIST_A(VAZ_DECLARE_SLOT)
VAZ_LIST_B(VAZ_DECLARE_SLOT)
VAZ_LIST_C(VAZ_DECLARE_SLOT)
VAZ_LIST_D(VAZ_DECLARE_SLOT)
VAZ_LIST_EXTRA(VAZ_DECLARE_SLOT)
#undef VAZ_DECLARE_SLOT

#ifdef __cplusplus
}
#endif

#endif
