// The browser page's words, handed to it by the server as a small script, so that the page
// shows the same language files' texts as every other front end.
#pragma once

#include <string>

namespace stdhost {

// "window.VAZ_WORDS = {...};": the page's words by its own keys, in English and Russian.
std::string pageWordsScript();

}  // namespace stdhost
