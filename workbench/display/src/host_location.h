// Where libSTD.so itself lies: its directory decides the default data directory
// and what DiagGetFilePath reports.
#pragma once

#include <string>

namespace stdhost {

// Directory of the loaded libSTD.so, with a trailing '/'.
std::string hostDirectory();

}  // namespace stdhost
