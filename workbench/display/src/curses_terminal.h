// Ownership of the terminal for the full-screen front end: curses mode is
// entered on demand and left on every way out of the process (a normal end,
// exit(), Ctrl-C and the other fatal signals), so the user's shell never stays
// without echo or in the alternate screen.
#pragma once

namespace stdhost {

class CursesTerminal {
 public:
  CursesTerminal() = default;
  ~CursesTerminal() { close(); }
  CursesTerminal(const CursesTerminal &) = delete;
  CursesTerminal &operator=(const CursesTerminal &) = delete;

  // Enters curses mode on standard input and output; false when they are not a
  // terminal curses can drive (TERM unknown, not a tty).
  bool open();
  void close();
  bool isOpen() const;

  // Whether the character type the terminal was opened with is UTF-8.
  static bool showsUtf8();
};

}  // namespace stdhost
