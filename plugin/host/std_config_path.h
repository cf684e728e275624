// Where the host's standard configuration file lies, derived from the host's
// file directory. Shared by the configuration reader and the product-directory
// helper.
#ifndef VAZ_HOST_STD_CONFIG_PATH_H
#define VAZ_HOST_STD_CONFIG_PATH_H

#include <cstddef>

namespace vaz::config {

// The reader resolves the configuration path in one buffer of this size.
inline constexpr std::size_t kPathSize = 256;

// Product directory below "assets/" for a serial-number directory, or null for
// a serial that is too short or not known.
const char *product_dir(const char *serial);

// Rewrites the host directory held in `path` into the configuration file's
// path. False when the directory does not lead to a configuration file or the
// file name would not fit the buffer (a cut name could open another file).
bool std_cfg_path(char (&path)[kPathSize]);

}  // namespace vaz::config

#endif
