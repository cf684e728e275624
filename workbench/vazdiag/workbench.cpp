// Loading the three libraries and running a session through their C interfaces.
#include "workbench.h"

#include "ecu_title.h"
#include "host_services.h"
#include "std_control.h"
#include "vaz_contracts.h"
#include "vci_control.h"
#include "workbench/install_layout.h"
#include "workbench/printable.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <stdexcept>

// The control functions vazdiag binds, by name; their types come from the declarations.
#define VAZ_DISPLAY_CONTROL(X) \
  X(StdSetDataDir)             \
  X(StdUseScript)              \
  X(StdUseFullScreen)          \
  X(StdSetLogFile)             \
  X(StdSetLanguage)            \
  X(StdEndSession)             \
  X(StdSetSessionTitle)        \
  X(StdEndedOnFailure)         \
  X(StdScriptMisfit)           \
  X(StdTranscript)             \
  X(StdSetTranscriptOutput)    \
  X(StdLastError)              \
  X(StdSetObserver)            \
  X(StdLogWriteError)          \
  X(StdUseLineClock)           \
  X(StdUseWeb)                 \
  X(StdWebUrl)                 \
  X(StdWebNetworkUrls)         \
  X(StdWebWaitForBrowser)      \
  X(StdSetWebActionHook)
#define VAZ_VCI_CONTROL(X) \
  X(VciReset)              \
  X(VciSelectCar)          \
  X(VciCarOption)          \
  X(VciUseVirtualClock)    \
  X(VciAdvanceClock)       \
  X(VciClockMs)            \
  X(VciInjectFault)        \
  X(VciTraceText)          \
  X(VciSetTraceFile)       \
  X(VciKeepTrace)          \
  X(VciSetFrameObserver)   \
  X(VciTraceWriteError)    \
  X(VciLastError)          \
  X(VciUsePort)            \
  X(VciListPorts)          \
  X(VciPortNotes)          \
  X(VciAdapterInfo)

namespace vazdiag {

namespace {

constexpr int kDetectType = VAZ_ECU_TYPE_AUTO;

struct LibraryCloser {
  void operator()(void *h) const {
    if (h != nullptr) dlclose(h);
  }
};
using Library = std::unique_ptr<void, LibraryCloser>;

Library open_library(const std::string &path) {
  // RTLD_LOCAL: the plug-in must find the hosts by their file names, never by
  // symbols leaking into the global scope.
  Library lib(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!lib) throw std::runtime_error("cannot load " + path + ": " + dlerror());
  return lib;
}

template <typename Fn>
Fn symbol(const Library &lib, const char *name, const std::string &file) {
  void *p = dlsym(lib.get(), name);
  if (p == nullptr) throw std::runtime_error(file + " lacks " + name);
  return reinterpret_cast<Fn>(p);
}

// The running session's clock, while it is virtual (see advanceVirtualClock).
void (*gVirtualAdvance)(unsigned) = nullptr;

struct VirtualWaits {
  VirtualWaits(bool on, void (*advance)(unsigned)) { gVirtualAdvance = on ? advance : nullptr; }
  ~VirtualWaits() { gVirtualAdvance = nullptr; }
  VirtualWaits(const VirtualWaits &) = delete;
  VirtualWaits &operator=(const VirtualWaits &) = delete;
};

}  // namespace

std::string pluginVersion(const std::string &dir) {
  // The plug-in alone: the display host and the vehicle interface are not needed for this.
  const std::string file = dir + "libVAZ_OLD.so";
  const Library lib = open_library(file);
  // Copied before the library goes: the text lives in it.
  return symbol<const char *(*)()>(lib, "VazOldVersion", file)();
}

bool advanceVirtualClock(unsigned ms) {
  if (gVirtualAdvance == nullptr) return false;
  if (ms > 0) gVirtualAdvance(ms);
  return true;
}

struct Workbench::Impl {
  Library display, vci, plugin;
  std::string displayFile, vciFile;

  // The control functions, typed by their own headers: a prototype that changes there
  // changes here, so a call that no longer fits does not compile.
#define VAZ_SLOT(name) decltype(&::name) name = nullptr;
  VAZ_DISPLAY_CONTROL(VAZ_SLOT)
  VAZ_VCI_CONTROL(VAZ_SLOT)
#undef VAZ_SLOT
  // the plug-in (vaz_old.h declares it with the plug-in's own types)
  int (*DiagnoseMainOldPrtl)(void *) = nullptr;

  // Screens go through here first: the header follows the unit the detection
  // found, then the caller's observer hears of them.
  StdObserver observer = nullptr;
  void *observerContext = nullptr;
  std::function<void(int)> unitDetected;

  static void shown(const StdShown *e, void *context) {
    auto &m = *static_cast<Impl *>(context);
    if (e->kind == STD_SHOWN_MESSAGE)
      if (const int type = detected_ecu_type(e->textId); type != 0) {
        m.StdSetSessionTitle(ecu_title(type).c_str());
        if (m.unitDetected) m.unitDetected(type);
      }
    if (m.observer) m.observer(e, m.observerContext);
  }
};

Workbench::Workbench(const std::string &dir) : impl_(std::make_unique<Impl>()) {
  Impl &m = *impl_;
  m.displayFile = dir + "libSTD.so";
  m.vciFile = dir + "libCOMM_ABSTRACT_LAYER.so";
  const std::string pluginFile = dir + "libVAZ_OLD.so";
  // The hosts go first so that the plug-in's own opens by bare name find them.
  m.display = open_library(m.displayFile);
  m.vci = open_library(m.vciFile);
  m.plugin = open_library(pluginFile);

#define VAZ_BIND(lib, name, file) m.name = symbol<decltype(m.name)>(lib, #name, file);
#define VAZ_BIND_DISPLAY(name) VAZ_BIND(m.display, name, m.displayFile)
#define VAZ_BIND_VCI(name) VAZ_BIND(m.vci, name, m.vciFile)
  VAZ_DISPLAY_CONTROL(VAZ_BIND_DISPLAY)
  VAZ_VCI_CONTROL(VAZ_BIND_VCI)
  VAZ_BIND(m.plugin, DiagnoseMainOldPrtl, pluginFile)
#undef VAZ_BIND_VCI
#undef VAZ_BIND_DISPLAY
#undef VAZ_BIND
  if (const std::string lacking = missing_host_services(m.display.get(), m.displayFile, m.vci.get(), m.vciFile);
      !lacking.empty())
    throw std::runtime_error(lacking);

  if (m.StdSetDataDir(workbench::data_dir(dir).c_str()) != 0)
    throw std::runtime_error(std::string("text library: ") + m.StdLastError());
}

Workbench::~Workbench() = default;

void Workbench::observe(StdObserver observer, void *context) {
  impl_->observer = observer;
  impl_->observerContext = context;
  impl_->StdSetObserver(observer ? &Impl::shown : nullptr, impl_.get());
}

void Workbench::onUnitDetected(std::function<void(int ecuType)> found) { impl_->unitDetected = std::move(found); }

double Workbench::clockMs() const { return impl_->VciClockMs(); }

void Workbench::observeFrames(FrameObserver observer, void *context) { impl_->VciSetFrameObserver(observer, context); }

void *Workbench::pluginSymbol(const char *name) const { return dlsym(impl_->plugin.get(), name); }

SessionResult Workbench::run(const SessionSetup &s) {
  Impl &m = *impl_;
  m.VciReset();
  m.VciKeepTrace(s.keepRecords ? 1 : 0);
  m.StdSetTranscriptOutput(s.transcriptFd, s.keepRecords ? 1 : 0);
  m.VciUseVirtualClock(s.virtualClock ? 1 : 0);
  // The trace file first, so that it also holds what opening a port found out.
  if (!s.traceFile.empty() && m.VciSetTraceFile(s.traceFile.c_str()) != 0)
    throw SetupError("cannot write the trace to " + s.traceFile);
  if (!s.port.empty()) {
    if (m.VciUsePort(s.port.c_str(), s.portOptions.c_str()) != 0) throw SetupError(m.VciLastError());
  } else if (m.VciSelectCar(s.car.c_str()) != 0) {
    throw SetupError(m.VciLastError());
  }
  for (const auto &[key, value] : s.carOptions)
    if (m.VciCarOption(key.c_str(), value.c_str()) != 0)
      throw SetupError("car option " + workbench::printable(key + "=" + value, 80) + ": " + m.VciLastError());
  for (const Fault &f : s.faults)
    if (m.VciInjectFault(f.kind.c_str(), f.sid, f.nrc, f.skip, f.count) != 0)
      throw SetupError("fault " + f.kind + ": " + m.VciLastError());

  if (!s.language.empty() && m.StdSetLanguage(s.language.c_str()) != 0)
    throw SetupError(std::string("language: ") + m.StdLastError());
  m.StdUseLineClock(m.VciClockMs);  // rows stamped with the line's time
  if (m.StdSetLogFile(s.logFile.c_str()) != 0) throw SetupError(std::string("log: ") + m.StdLastError());
  // Interactive: full screen on a terminal; the host falls back to the line
  // front end by itself when standard output is not one.
  if (s.web) {
    if (m.StdUseWeb(s.webAddress.c_str(), s.webIdleSeconds) != 0)
      throw SetupError(std::string("web: ") + m.StdLastError());
    m.StdSetWebActionHook(webHook_, webHookContext_);
    if (s.webReady) s.webReady(m.StdWebUrl(), m.StdWebNetworkUrls());
    // The session starts with the first browser, which also picks the language when none was.
    if (m.StdWebWaitForBrowser(s.language.empty() ? 0 : 1) != 0)
      throw SetupError("no browser opened the page within " + std::to_string(s.webIdleSeconds) + " s");
  } else if (s.interactive) {
    m.StdUseFullScreen();
  } else if (m.StdUseScript(s.script.c_str()) != 0) {
    throw SetupError(std::string("script: ") + m.StdLastError());
  }

  m.StdSetSessionTitle(ecu_title(s.ecuType).c_str());
  // Only a detecting session needs to hear of screens for itself: without a
  // history, the others are not observed at all (a pass costs nothing).
  m.StdSetObserver(s.ecuType == kDetectType || m.observer ? &Impl::shown : nullptr, &m);

  // The three fields the plug-in reads from the host context record.
  std::array<unsigned char, VAZ_CTX_SIZE> context{};
  std::memcpy(&context[VAZ_CTX_FUNCTIONS_AT], &s.functions, sizeof s.functions);
  context[VAZ_CTX_CONNECTOR_AT] = static_cast<unsigned char>(s.connector);
  std::memcpy(&context[VAZ_CTX_ECU_TYPE_AT], &s.ecuType, sizeof s.ecuType);

  SessionResult r;
  {
    const VirtualWaits waits(s.virtualClock && s.port.empty(), m.VciAdvanceClock);
    r.returned = m.DiagnoseMainOldPrtl(context.data());
  }
  m.StdEndSession();
  if (!s.logFile.empty())
    if (const std::string e = m.StdLogWriteError(); !e.empty()) r.writeErrors.push_back("log: " + e);
  m.StdSetLogFile(nullptr);
  const int failure = m.StdEndedOnFailure();
  r.commFailure = failure != 0;
  r.interfaceFailure = failure == STD_ENDED_ON_INTERFACE_FAILURE;
  r.scriptMisfit = m.StdScriptMisfit() != 0;
  if (s.keepRecords) {
    r.transcript = m.StdTranscript();
    r.trace = m.VciTraceText();
  }
  if (!s.traceFile.empty()) {
    m.VciSetTraceFile(nullptr);  // writes out what the buffer holds
    if (const std::string e = m.VciTraceWriteError(); !e.empty()) r.writeErrors.push_back(e);
  }
  r.portNotes = m.VciPortNotes();
  return r;
}

std::string Workbench::listPorts(const char *devRoot, const char *sysfsRoot) {
  return impl_->VciListPorts(devRoot, sysfsRoot);
}

std::string librariesDir() { return workbench::libraries_dir(executableDir()); }
std::string Workbench::adapterInfo(const std::string &port, const std::string &portOptions) {
  return impl_->VciAdapterInfo(port.c_str(), portOptions.c_str());
}

std::string executableDir() {
  std::array<char, 4096> buf{};
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return "./";
  std::string path(buf.data(), static_cast<size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

}  // namespace vazdiag
