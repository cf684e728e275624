// The history of the running session, fed by the display host's screen observer.
#include "history_session.h"

#include "history_recorder.h"
#include "options.h"
#include "workbench/ecu_names.h"

#include <iostream>

namespace vazdiag {

struct SessionHistory::Impl {
  Workbench &bench;
  history::HistoryWriter writer;
  history::HistoryRecorder recorder;
  bool failed = false;

  Impl(const std::string &file, Workbench &b, bool recordAll)
      : bench(b),
        writer(file),
        recorder(writer,
                 {[this] { return bench.clockMs(); }, [this] { return bench.tracePosition(); },
                  [this](std::uint64_t mark) { return bench.traceSince(mark); }},
                 recordAll) {}

  void fail(const std::exception &e) {
    failed = true;
    bench.observe(nullptr, nullptr);  // the detection callback checks `failed` itself
    std::cerr << "vazdiag: history: " << e.what() << "; this session is no longer recorded\n";
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
  impl_->writer.beginSession(info);
  bench.observe(&Impl::shown, impl_.get());
  bench.onUnitDetected([impl = impl_.get()](int ecuType) {
    if (impl->failed) return;
    const workbench::EcuName *e = workbench::ecu_by_type(ecuType);
    try {
      impl->writer.unitFound(e ? e->name : "auto", ecuType);
    } catch (const std::exception &ex) { impl->fail(ex); }
  });
  bench.followTrace(true);  // what a test sent is read from the trace's newest lines
}

SessionHistory::~SessionHistory() {
  impl_->bench.observe(nullptr, nullptr);
  impl_->bench.onUnitDetected(nullptr);
  impl_->bench.followTrace(false);
}

void SessionHistory::finish() {
  if (impl_->failed) return;
  try {
    impl_->recorder.finish(true);
  } catch (const std::exception &e) { impl_->fail(e); }
}

}  // namespace vazdiag
