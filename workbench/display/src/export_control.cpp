// The control interface (std_control.h): data directory, front end, live-data
// recording, transcript.
#include "curses_front_end.h"
#include "display_session.h"
#include "export_language.h"
#include "line_clock.h"
#include "script_front_end.h"
#include "std_control.h"
#include "std_export.h"
#include "terminal_front_end.h"

#include <unistd.h>

using stdhost::session;

namespace {
std::string gTranscriptCopy;  // what StdTranscript hands out, valid until the next call
}

STD_EXPORT int StdSetDataDir(const char *dir) {
  auto &s = session();
  if (dir == nullptr || *dir == '\0') {
    s.lastError() = "no data directory given";
    return -1;
  }
  std::string error;
  if (!s.library().setDirectory(dir, error)) {
    s.lastError() = error;
    return -1;
  }
  s.lastError().clear();
  return 0;
}

STD_EXPORT int StdUseScript(const char *scriptText) {
  auto &s = session();
  std::vector<stdhost::Step> steps;
  std::string error;
  if (!stdhost::parseScript(scriptText ? scriptText : "", steps, error)) {
    s.lastError() = error;
    return -1;
  }
  s.useFrontEnd(std::make_unique<stdhost::ScriptFrontEnd>(std::move(steps), s.transcriptOutput()));
  s.lastError().clear();
  return 0;
}

STD_EXPORT int StdUseTerminalOn(int inFd, int outFd) {
  if (inFd < 0 || outFd < 0) {
    session().lastError() = "bad file descriptor";
    return -1;
  }
  session().useFrontEnd(std::make_unique<stdhost::TerminalFrontEnd>(inFd, outFd));
  session().lastError().clear();
  return 0;
}

STD_EXPORT int StdUseTerminal(void) { return StdUseTerminalOn(STDIN_FILENO, STDOUT_FILENO); }

STD_EXPORT int StdUseFullScreen(void) {
  auto &s = session();
  s.lastError().clear();
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {
    auto fe = std::make_unique<stdhost::CursesFrontEnd>(s.streamLog());
    if (fe->start()) {
      s.useFrontEnd(std::move(fe));
      stdhost::keepTextsLegible(s);
      return 0;
    }
    s.lastError() = "the terminal cannot be driven full-screen (TERM?)";
  } else {
    s.lastError() = "standard input or output is not a terminal";
  }
  s.useFrontEnd(std::make_unique<stdhost::TerminalFrontEnd>(STDIN_FILENO, STDOUT_FILENO));
  return 1;
}

STD_EXPORT int StdSetLogFile(const char *path) {
  auto &s = session();
  if (path == nullptr || *path == '\0') {
    s.streamLog().stop();
    s.lastError().clear();
    return 0;
  }
  std::string error;
  if (!s.streamLog().start(path, error)) {
    s.lastError() = error;
    return -1;
  }
  s.lastError().clear();
  return 0;
}

STD_EXPORT void StdSetSessionTitle(const char *title) {
  auto &s = session();
  s.path().setSessionTitle(title ? title : "");
  s.path().clear();
  s.endedOnFailure = false;
}

STD_EXPORT int StdEndedOnFailure(void) { return session().endedOnFailure; }

STD_EXPORT int StdScriptMisfit(void) { return session().frontEnd().misfit() ? 1 : 0; }

STD_EXPORT void StdUseLineClock(double (*nowMs)(void)) { stdhost::useLineClock(nowMs); }

STD_EXPORT const char *StdLogWriteError(void) { return session().streamLog().lastError().c_str(); }

STD_EXPORT void StdEndSession(void) { session().frontEnd().finish(); }

STD_EXPORT void StdSetTranscriptOutput(int fd, int keep) { session().transcriptOutput() = {fd, keep != 0}; }

STD_EXPORT const char *StdTranscript(void) {
  gTranscriptCopy = session().frontEnd().transcript();
  return gTranscriptCopy.c_str();
}

STD_EXPORT const char *StdLastError(void) {
  auto &s = session();
  // Faults of a data directory loaded on first use, when no Std call set one.
  if (s.lastError().empty()) {
    s.library().directory();
    return s.library().loadError().c_str();
  }
  return s.lastError().c_str();
}
