// Loads the plug-in and the two workbench host libraries from one directory and
// runs diagnostic sessions through them. vazdiag and the end-to-end tests share it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "std_observer.h"

namespace vazdiag {

// One fault the simulated line puts into its answers (see vci_control.h).
struct Fault {
  std::string kind;  // "no-answer", "negative", "bad-checksum", "late"
  int sid = -1;      // request service identifier, -1 = any
  int nrc = 0x22;    // negative response code for "negative"
  int skip = 0;      // matching requests let through first
  int count = -1;    // requests spoiled, -1 = all after
};

struct SessionSetup {
  int ecuType = 1;           // 1..11 as the host passes it
  std::string car = "m154";  // simulated ECU on the line, "none" = silent
  std::vector<std::pair<std::string, std::string>> carOptions;
  std::vector<Fault> faults;
  int functions = 0x40000000;  // function-availability bits
  int connector = 0;
  bool virtualClock = true;
  std::string script;        // script text; empty with interactive = terminal
  bool interactive = false;  // full screen on a terminal, else the line front end
  std::string port;          // a serial device instead of the simulated car
  std::string portOptions;   // "wakeup=byte,echo=off,..." (see vci_control.h)
  std::string traceFile;     // also write the wire trace here
  std::string logFile;       // record every live-data pass here as CSV
  std::string language;      // "ru" or "en"; empty: the display host's own choice
  // Keep the transcript and the wire trace whole for SessionResult (tests, and callers
  // that need them after the session). Off, a session of any length runs in constant
  // memory: the transcript only goes to transcriptFd, the trace only to traceFile.
  bool keepRecords = false;
  int transcriptFd = -1;  // the script front end writes each screen here as answered
  // The web front end instead of the terminal: served on webAddress ("" = 127.0.0.1, a free
  // port); webReady hears the address to open (token included) and where else on the
  // network it can be reached, before the session waits for the first browser.
  bool web = false;
  std::string webAddress;
  int webIdleSeconds = 600;  // without any browser this long, the session ends
  std::function<void(const std::string &url, const std::string &networkUrls)> webReady;
};

struct SessionResult {
  int returned = 0;                      // what DiagnoseMainOldPrtl returned
  std::string transcript;                // script front end's record of every screen (keepRecords)
  std::string trace;                     // the wire trace (keepRecords)
  std::string portNotes;                 // what the serial line wants the user to know
  bool commFailure = false;              // the session ended on "no control unit could be talked to"
  bool interfaceFailure = false;         // ... because the interface refused to open the line
  bool scriptMisfit = false;             // a script step did not fit its screen
  std::vector<std::string> writeErrors;  // the trace or the recording lost lines
};

// The libraries refused what the user asked for (a car, an option, a script);
// as opposed to a workbench that cannot be loaded at all.
class SetupError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Workbench {
 public:
  // Opens libSTD.so, libCOMM_ABSTRACT_LAYER.so and libVAZ_OLD.so from dir.
  // Throws std::runtime_error with a readable reason when one cannot be used.
  explicit Workbench(const std::string &dir);
  ~Workbench();
  Workbench(const Workbench &) = delete;
  Workbench &operator=(const Workbench &) = delete;

  // Runs one session; throws SetupError for a setup the libraries refuse.
  SessionResult run(const SessionSetup &setup);

  // The serial devices present, as `vazdiag --list-ports` prints them.
  std::string listPorts(const char *devRoot = nullptr, const char *sysfsRoot = nullptr);
  // The capability table of the ELM327 adapter on this port (probed, not read from its
  // version string), or a line saying why there is none.
  std::string adapterInfo(const std::string &port, const std::string &portOptions);

  // Screens of the sessions run from now on go to observer as well (null: to nobody).
  void observe(StdObserver observer, void *context);
  // What browsers do to the car in web sessions run from now on, with their addresses.
  using WebActionHook = void (*)(const char *address, const char *action, void *context);
  void observeWebActions(WebActionHook hook, void *context) {
    webHook_ = hook;
    webHookContext_ = context;
  }
  // The automatic detection reported the unit it found (its ECU type, 1..8): the
  // header already names it; also tell this callback (null: nobody).
  void onUnitDetected(std::function<void(int ecuType)> found);
  // The line's clock (ms), also while a session runs.
  double clockMs() const;
  // Every frame on the wire as bytes, as the session goes (null: nobody).
  using FrameObserver = void (*)(const unsigned char *bytes, unsigned count, int toEcu, double tMs, void *context);
  void observeFrames(FrameObserver observer, void *context);

  // Resolves a symbol of the plug-in (tests look at its exported record).
  void *pluginSymbol(const char *name) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  WebActionHook webHook_ = nullptr;
  void *webHookContext_ = nullptr;
};

// While a session runs on the virtual clock: moves the line's clock on by ms (the line idles
// meanwhile) and returns true. Otherwise false: the caller waits in real time.
bool advanceVirtualClock(unsigned ms);

// Directory of the running executable, with a trailing '/'.
std::string executableDir();

// Folder of the plug-in and the workbench libraries: the executable's own in the build
// tree, the install prefix's library folder in an installed tree; with a trailing '/'.
std::string librariesDir();

// VazOldVersion() of DIR/libVAZ_OLD.so, for --version; throws std::runtime_error when the
// library cannot be loaded or does not report one.
std::string pluginVersion(const std::string &dir);

}  // namespace vazdiag
