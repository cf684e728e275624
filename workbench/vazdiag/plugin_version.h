// The version the plug-in next to vazdiag reports, for --version.
#pragma once

#include <string>

namespace vazdiag {

// VazOldVersion() of DIR/libVAZ_OLD.so; throws std::runtime_error when the library
// cannot be loaded or does not report one.
std::string pluginVersion(const std::string &dir);

}  // namespace vazdiag
