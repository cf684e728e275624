// Runs one function code of a comm routine against its family table.
#include "link/comm_engine.h"

#include <algorithm>

namespace vaz::link {
namespace {

constexpr int kFastInitAttempts = 2;

void arm_keep_alive(const Family &f) {
  if (!f.keepAlive) return;
  // The interface keeps repeating this frame after the call returns, so it
  // lives in static storage of the family table.
  call_or(SetLinkKeep, 0, f.keepAlive + 1, static_cast<int>(f.keepAlive[0]), 5, 200);
}

bool fast_init(const Family &f) {
  for (int attempt = 0; attempt < kFastInitAttempts; ++attempt) {
    call_or(BeginCombination, 0);
    call_or(SetCommunicationLineVoltage, 0, 2, f.wakeLowMs, 25);
    const int r = send_kwp_direct(f.startComm);
    call_or(EndCombination, 0);
    if (r > 0) return true;
  }
  return false;
}

bool set_up_session(const Family &f) {
  switch (f.setup) {
    case Setup::None:
      return true;
    case Setup::FrameLayer:
      return send_kwp(f.session) > 0 && send_kwp(f.timing) > 0;
    case Setup::DirectRetryOnce:
      for (const u8 *frame : {f.session, f.timing}) {
        if (send_kwp_direct(frame) < 0 && send_kwp_direct(frame) < 0) return false;
      }
      return true;
  }
  return false;
}

int connect(const Family &f) {
  if (simulating()) return 1;
  if (!select_line()) return 0;
  call_or(EnableLLine, 0, 0);
  if (f.stopKeepAliveFirst) stop_keep_alive();
  apply_line_settings(f.line);
  if (f.startComm && !fast_init(f)) return -1;
  if (!set_up_session(f)) return -1;
  if (f.probe) return f.send(f.probe) > 0 ? 1 : -1;
  if (f.keepAlive) arm_keep_alive(f);
  return 1;
}

int disconnect(const Family &f) {
  for (const u8 *frame : f.disconnect) {
    if (f.send(frame) <= 0) {
      stop_keep_alive();
      return -1;
    }
  }
  return 1;
}

// A refused service request: its answer bytes are no data, so the service that
// asked for them must not show them (a refused clear would otherwise be
// reported as done).
bool refused_by_ecu() { return answer_refused(TOKEN_OLD.bAnsBuf); }

// The result of a service request: failed on the line, refused, or done.
int service_result(const Family &f, int sent) {
  if (sent <= 0) return -1;
  return f.send == send_kwp && refused_by_ecu() ? -1 : 1;
}

int library_command(u16 index) {
  if (index >= VAZ_CD_MAX) return -1;
  FrameBuf frame{};
  if (GetData_Cmd_fromtext(TOKEN_OLD.CdItem[index].dwCmdId, frame.data()) == -1) return -1;
  return SendRec_KWP2000(frame.data(), TOKEN_OLD.bAnsBuf);
}

}  // namespace

int run_comm(const Family &f, u8 code, u16 index) {
  const auto it = std::ranges::find(f.codes, code, &CodeAction::code);
  if (it == f.codes.end()) return 1;
  switch (it->action) {
    case Action::Connect:
      return connect(f);
    case Action::Disconnect:
      return disconnect(f);
    case Action::ArmKeepAlive:
      arm_keep_alive(f);
      return 1;
    case Action::StopKeepAlive:
      stop_keep_alive();
      return 1;
    case Action::ReadStrip:
      if (service_result(f, f.send(it->frame)) < 0) return -1;
      strip_first_answer();
      return 1;
    case Action::Send:
      return service_result(f, f.send(it->frame));
    case Action::LibCommand:
      return service_result(f, library_command(index));
  }
  return 1;
}

}  // namespace vaz::link
