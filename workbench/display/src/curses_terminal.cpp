// Entering and leaving curses mode, with the signal and exit hooks that give
// the terminal back however the process ends.
#include "curses_terminal.h"

#include <langinfo.h>
#include <ncurses.h>
#include <term.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>

namespace stdhost {
namespace {

// The one curses screen of the process; the hooks below reach it without an object.
SCREEN *gScreen = nullptr;
bool gHooksInstalled = false;

constexpr int kFatalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT, SIGSEGV};
// What each signal did before curses came: the serial port's own hook, which puts the
// port back, or the default. Taken before newterm, whose SIGINT/SIGTERM handler would end
// the process with exit status 1 instead of the signal.
struct sigaction gBefore[std::size(kFatalSignals)];

void restore() {
  if (gScreen == nullptr) return;
  endwin();
  gScreen = nullptr;  // the SCREEN itself is left to process exit: freeing it here is not signal-safe
}

void onFatalSignal(int sig) {
  restore();
  for (std::size_t i = 0; i < std::size(kFatalSignals); ++i)
    if (kFatalSignals[i] == sig) sigaction(sig, &gBefore[i], nullptr);
  // Blocked until this handler returns; then the earlier disposition takes it.
  std::raise(sig);
}

void rememberDispositions() {
  if (gHooksInstalled) return;
  for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) {
    sigaction(kFatalSignals[i], nullptr, &gBefore[i]);
    // Ignored before, the signal still ends the process once curses answered it.
    if (gBefore[i].sa_handler == SIG_IGN) {
      gBefore[i] = {};
      gBefore[i].sa_handler = SIG_DFL;
    }
  }
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

// The environment's locale names UTF-8 ("ru_RU.UTF-8", "en_US.utf8").
bool environmentSaysUtf8() {
  for (const char *name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char *v = std::getenv(name);
    if (v == nullptr || *v == '\0') continue;
    return strcasestr(v, "utf-8") != nullptr || strcasestr(v, "utf8") != nullptr;
  }
  return false;
}

// TERM names a terminal that can place the cursor: "dumb", an unknown type or
// a printing terminal would leave a blank or garbled full screen.
bool canAddressCursor() {
  int error = 0;
  if (setupterm(nullptr, STDOUT_FILENO, &error) != OK) return false;
  const char *cup = tigetstr(const_cast<char *>("cup"));
  const char *clear = tigetstr(const_cast<char *>("clear"));
  const bool ok = cup != nullptr && cup != reinterpret_cast<char *>(-1) && clear != nullptr &&
                  clear != reinterpret_cast<char *>(-1);
  del_curterm(cur_term);
  return ok;
}

}  // namespace

bool CursesTerminal::showsUtf8() {
  const char *codeset = nl_langinfo(CODESET);
  return codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
}

bool CursesTerminal::open() {
  if (gScreen != nullptr) return true;
  // Only the character type: a numeric locale would change how the plug-in
  // formats its values. A UTF-8 locale that is not installed on this machine
  // (ru_RU.UTF-8 on a bare system) still means a UTF-8 terminal: C.UTF-8 then.
  if (std::setlocale(LC_CTYPE, "") == nullptr && environmentSaysUtf8()) std::setlocale(LC_CTYPE, "C.UTF-8");
  if (!canAddressCursor()) return false;
  rememberDispositions();
  SCREEN *s = newterm(nullptr, stdout, stdin);
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
    init_pair(1, COLOR_BLACK, COLOR_CYAN);  // title and key bars
    init_pair(2, COLOR_RED, -1);            // recording mark, errors
    init_pair(3, COLOR_GREEN, -1);          // values
  }
  return true;
}

void CursesTerminal::close() {
  if (gScreen == nullptr) return;
  SCREEN *s = gScreen;
  restore();
  delscreen(s);
}

bool CursesTerminal::isOpen() const { return gScreen != nullptr; }

}  // namespace stdhost
