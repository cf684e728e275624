// What StdUseFullScreen asks of the language choice once it holds the terminal.
#pragma once

namespace stdhost {

class DisplaySession;

// A Russian session on a terminal whose character set is not UTF-8 falls back
// to English, with a notice, rather than print unreadable bytes.
void keepTextsLegible(DisplaySession &s);

}  // namespace stdhost
