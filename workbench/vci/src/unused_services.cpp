// Services of the interface's binary contract that the plug-in binds but never calls.
// Transfers and protocol entries report failure (-1); queries and settings report 0.
#include "vci_instance.h"

#include "vaz_host_types.h"

#define VCI_FAILS(name) \
  VCI_EXPORT int name(void) { return -1; }
#define VCI_NOOP(name) \
  VCI_EXPORT int name(void) { return 0; }

// Declared with the plug-in's slot types first, so that a definition of another type fails.
#define VCI_DECLARE(name) VCI_EXPORT name##_ft name;
VAZ_LIST_C_BY(VAZ_SKIP, VCI_DECLARE, VCI_DECLARE)
#undef VCI_DECLARE

VAZ_LIST_C_BY(VAZ_SKIP, VCI_NOOP, VCI_FAILS)
