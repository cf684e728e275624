// The history of the running session, fed by the display host's screen observer.
#include "history_session.h"

#include "history_recorder.h"
#include "options.h"
#include "server_options.h"
#include "workbench/ecu_names.h"

#include <iostream>

#include "workbench/printable.h"

namespace vazdiag {

struct SessionHistory::Impl {
  Workbench &bench;
  history::FrameLog frames;
  history::HistoryWriter writer;
  history::HistoryRecorder recorder;
  bool failed = false;
  std::unique_ptr<SessionCopy> copy;  // to the history server, when one is named
  std::string serverNote;             // why the server does not hold the session

  Impl(const std::string &file, Workbench &b, bool recordAll)
      : bench(b), writer(file), recorder(writer, {[this] { return bench.clockMs(); }, frames}, recordAll) {}

  static void frame(const unsigned char *bytes, unsigned count, int toEcu, double tMs, void *context) {
    static_cast<Impl *>(context)->frames.add(tMs, toEcu != 0, bytes, count);
  }

  void fail(const std::exception &e) {
    failed = true;
    bench.observe(nullptr, nullptr);  // the detection callback checks `failed` itself
    std::cerr << "vazdiag: history: " << e.what() << "; this session is no longer recorded\n";
  }

  // What a browser did to the car, with its address; "" when the session ended for want of one.
  static void webAction(const char *address, const char *action, void *context) {
    auto *self = static_cast<Impl *>(context);
    if (self->failed) return;
    try {
      self->writer.notice(*address ? std::string("browser ") + address : std::string("web session"), action);
    } catch (const std::exception &e) { self->fail(e); }
  }

  static void shown(const StdShown *event, void *context) {
    auto *self = static_cast<Impl *>(context);
    if (self->failed) return;
    try {
      self->recorder.shown(*event);
    } catch (const std::exception &e) { self->fail(e); }
  }
};

SessionHistory::SessionHistory(const HistoryOptions &options, const SessionSetup &setup, Workbench &bench)
    : impl_(std::make_unique<Impl>(history_file(options), bench, options.recordAll)) {
  history::SessionInfo info;
  info.ecuType = setup.ecuType;
  info.ecu = setup.ecuType == 11 ? "auto" : default_car_for(setup.ecuType);
  info.car = setup.port.empty() ? setup.car : "";
  info.port = setup.port;
  info.language = setup.language == "ru" ? "ru" : "en";
  if (!impl_->writer.movedAside().empty())
    std::cerr << "vazdiag: history " << workbench::printable(history_file(options), 400) << " was damaged ("
              << workbench::printable(impl_->writer.damage(), 200) << "); it is kept as "
              << workbench::printable(impl_->writer.movedAside(), 400) << " and a new history is started\n";
  info.station = station_name(options);
  impl_->writer.beginSession(info);
  if (const std::string server = history_server(options); !server.empty()) {
    impl_->serverNote = server_address_problem(server);
    if (impl_->serverNote.empty())
      impl_->copy = start_session_copy(history_file(options), server, impl_->writer.session());
  }
  bench.observe(&Impl::shown, impl_.get());
  bench.observeWebActions(&Impl::webAction, impl_.get());
  bench.onUnitDetected([impl = impl_.get()](int ecuType) {
    if (impl->failed) return;
    const workbench::EcuName *e = workbench::ecu_by_type(ecuType);
    try {
      impl->writer.unitFound(e ? e->name : "auto", ecuType);
    } catch (const std::exception &ex) { impl->fail(ex); }
  });
  bench.observeFrames(&Impl::frame, impl_.get());  // what a test sent and a clear
}

SessionHistory::~SessionHistory() {
  impl_->bench.observe(nullptr, nullptr);
  impl_->bench.observeWebActions(nullptr, nullptr);
  impl_->bench.onUnitDetected(nullptr);
  impl_->bench.observeFrames(nullptr, nullptr);
}

void SessionHistory::finish(bool commFailure) {
  if (impl_->failed) return;
  try {
    impl_->recorder.finish(true, commFailure);
  } catch (const std::exception &e) { impl_->fail(e); }
  // Said after the screens: the copier's thread never writes to the terminal.
  if (impl_->copy) impl_->serverNote = impl_->copy->finish();
  if (!impl_->serverNote.empty())
    std::cerr << "vazdiag: history server: " << impl_->serverNote
              << "\nvazdiag: the session is kept in the local history; 'vazdiag history sync' copies it later\n";
}

}  // namespace vazdiag
