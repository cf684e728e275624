// Writing JSON by hand into a buffer that keeps its room, so a live-data pass can be
// turned into a message without touching the heap once the buffer has grown.
#pragma once

#include <string>
#include <string_view>

namespace webserve {

// Appends s as a JSON string, quotes included. Control characters, quotes, backslashes and
// '<' are escaped, so no text from the car or the files can end a string or a script.
void appendJsonString(std::string &out, std::string_view s);
void appendJsonInt(std::string &out, long long v);

}  // namespace webserve
