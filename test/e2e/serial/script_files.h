// Where the serial sessions' scripts lie: beside the tests, or among the shipped examples.
#pragma once

#include <string>

namespace serial_e2e {

// "examples/NAME" is a shipped example; any other name a file of this folder.
inline std::string script_path(const std::string &name) {
  return name.rfind("examples/", 0) == 0 ? std::string(VAZ_EXAMPLES_DIR) + name.substr(9)
                                         : std::string(VAZ_SERIAL_DIR) + name;
}

}  // namespace serial_e2e
