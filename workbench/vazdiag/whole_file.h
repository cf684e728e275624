// Writing a file whole or not at all: the text goes to a temporary file beside it, renamed
// over the name only once it is complete, so a failed or interrupted write leaves the old
// file (or none) in place and never a truncated one.
#pragma once

#include <string>

namespace vazdiag {

// "" when written, else why. /dev/null is written directly (never replaced).
std::string write_whole_file(const std::string &path, const std::string &text);

// Whether two names are the same file (same device and inode; a link counts).
bool same_file(const std::string &a, const std::string &b);

}  // namespace vazdiag
