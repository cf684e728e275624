// The symbols of lists A and B that the plug-in binds but never calls. They
// exist so that the plug-in's checked binding succeeds; each does nothing.
#include "std_export.h"

#define STD_UNUSED(name) \
  STD_EXPORT int name(void) { return 0; }

VAZ_LIST_A_BY(VAZ_SKIP, STD_UNUSED)
VAZ_LIST_B_BY(VAZ_SKIP, STD_UNUSED)
