// Entering and leaving curses mode, with the signal and exit hooks that give
// the terminal back however the process ends.
#include "curses_terminal.h"

#include <ncurses.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace stdhost {
namespace {

// The one curses screen of the process; the hooks below reach it without an object.
SCREEN* gScreen = nullptr;
bool gHooksInstalled = false;

constexpr int kFatalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT, SIGSEGV};

void restore() {
  if (gScreen == nullptr) return;
  endwin();
  gScreen = nullptr;  // the SCREEN itself is left to process exit: freeing it here is not signal-safe
}

void onFatalSignal(int sig) {
  restore();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void installHooks() {
  if (gHooksInstalled) return;
  gHooksInstalled = true;
  std::atexit(restore);
  for (int sig : kFatalSignals) {
    struct sigaction sa {};
    sa.sa_handler = onFatalSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    sigaction(sig, &sa, nullptr);
  }
}

}  // namespace

bool CursesTerminal::open() {
  if (gScreen != nullptr) return true;
  // Only the character type: a numeric locale would change how the plug-in
  // formats its values.
  std::setlocale(LC_CTYPE, "");
  SCREEN* s = newterm(nullptr, stdout, stdin);
  if (s == nullptr) return false;
  set_term(s);
  gScreen = s;
  installHooks();
  cbreak();  // keeps Ctrl-C a signal, which the hooks answer
  noecho();
  keypad(stdscr, TRUE);
  set_escdelay(25);
  curs_set(0);
  if (has_colors()) {
    start_color();
    use_default_colors();
    init_pair(1, COLOR_BLACK, COLOR_CYAN);   // title and key bars
    init_pair(2, COLOR_RED, -1);             // recording mark, errors
    init_pair(3, COLOR_GREEN, -1);           // values
  }
  return true;
}

void CursesTerminal::close() {
  if (gScreen == nullptr) return;
  SCREEN* s = gScreen;
  restore();
  delscreen(s);
}

bool CursesTerminal::isOpen() const { return gScreen != nullptr; }

}  // namespace stdhost
