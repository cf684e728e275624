// The plug-in's version, as the build configured it, for a host to log or show.
#include "vaz_old.h"
#include "vaz_version.h"

extern "C" VAZ_EXPORT const char *VazOldVersion(void) { return VAZ_VERSION; }
