// The customer's report of one session: a single self-contained HTML file (inline CSS and
// SVG, nothing fetched, no script) that reads on screen and prints on A4.
#pragma once

#include "history_reader.h"

#include <string>

namespace history {

// The page's fixed words are picked by the session's language ("en", "ru"; English for
// any other); texts the session showed are kept as shown.
std::string htmlReport(const SessionRecord &session);

}  // namespace history
