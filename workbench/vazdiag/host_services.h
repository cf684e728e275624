// The services the plug-in binds from the two host libraries, checked before a session:
// without one the plug-in runs a silently degraded session (a menu that never shows, a
// line that is never opened) that still ends with status 0.
#pragma once

#include <string>

namespace vazdiag {

// The display services missing from the display host (handle of libSTD.so) and the line
// services missing from the vehicle interface, as "libSTD.so lacks ShowDataStream, ..."
// lines; "" when both have all.
std::string missing_host_services(void *display, const std::string &displayFile, void *vci, const std::string &vciFile);

}  // namespace vazdiag
