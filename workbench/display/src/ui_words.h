// The front ends' own words (key bars, column heads, prompts) in the session's
// language. The texts the plug-in shows come from the text library instead.
#pragma once

#include <string>

namespace stdhost {

// Shown under a message saying no control unit could be talked to.
inline constexpr const char *kCommFailureHint =
    "Check: ignition on, cable and connector plugged in, the right control unit type chosen.";

// The Russian counterpart of an English phrase of the front ends while the
// session is Russian; the phrase itself otherwise, or when it has none.
const char *say(const char *english);

// "2 codes" / "Кодов: 2": counts read differently in the two languages.
std::string countOf(int n, const char *one, const char *many);

}  // namespace stdhost
