// Runs one function code of a comm routine against its family table.
#include "link/comm_engine.h"

#include "core/session_record.h"
#include "link/data_answer.h"
#include "link/item_record.h"

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
    case Setup::None: return true;
    case Setup::FrameLayer: return send_kwp(f.session) > 0 && send_kwp(f.timing) > 0;
    case Setup::DirectRetryOnce:
      for (const u8 *frame : {f.session, f.timing}) {
        if (send_kwp_direct(frame) < 0 && send_kwp_direct(frame) < 0) return false;
      }
      return true;
  }
  return false;
}

int connect(const Family &f) {
  if (simulating()) return VAZ_COMM_OK;
  if (!select_line()) return VAZ_COMM_NO_LINE;
  call_or(EnableLLine, 0, 0);
  if (f.stopKeepAliveFirst) stop_keep_alive();
  apply_line_settings(f.line);
  if (f.startComm && !fast_init(f)) return VAZ_COMM_FAILED;
  if (!set_up_session(f)) return VAZ_COMM_FAILED;
  if (f.probe) return f.send(f.probe) > 0 ? 1 : -1;
  if (f.keepAlive) arm_keep_alive(f);
  return VAZ_COMM_OK;
}

int disconnect(const Family &f) {
  for (const u8 *frame : f.disconnect) {
    if (f.send(frame) <= 0) {
      stop_keep_alive();
      return VAZ_COMM_FAILED;
    }
  }
  return VAZ_COMM_OK;
}

// A refused service request: its answer bytes are no data, so the service that
// asked for them must not show them (a refused clear would otherwise be
// reported as done).
bool refused_by_ecu() { return answer_refused(vaz::answer_buffer()); }

// The result of a service request: failed on the line, refused, an answer that
// is not the one to this data request, or done.
int service_result(const Family &f, const u8 *request, int sent) {
  if (sent <= 0) return VAZ_COMM_FAILED;
  if (f.send == send_kwp && refused_by_ecu()) return VAZ_COMM_FAILED;
  if (!simulating() && !data_answer_matches(request, vaz::answer_buffer())) return VAZ_COMM_FAILED;
  return VAZ_COMM_OK;
}

int library_command(const Family &f, u16 index) {
  if (index >= VAZ_CD_MAX) return VAZ_COMM_FAILED;
  FrameBuf frame{};
  if (GetData_Cmd_fromtext(vaz::items()[index].dwCmdId, frame.data()) == VAZ_LOOKUP_MISSING) return VAZ_COMM_FAILED;
  return service_result(f, frame.data(), SendRec_KWP2000(frame.data(), vaz::answer_buffer()));
}

}  // namespace

int run_comm(const Family &f, u8 code, u16 index) {
  const auto it = std::ranges::find(f.codes, code, &CodeAction::code);
  if (it == f.codes.end()) return VAZ_COMM_OK;
  switch (it->action) {
    case Action::Connect: return connect(f);
    case Action::Disconnect: return disconnect(f);
    case Action::ArmKeepAlive: arm_keep_alive(f); return VAZ_COMM_OK;
    case Action::StopKeepAlive: stop_keep_alive(); return VAZ_COMM_OK;
    case Action::ReadStrip:
      if (service_result(f, it->frame, f.send(it->frame)) < 0) return VAZ_COMM_FAILED;
      strip_first_answer();
      return VAZ_COMM_OK;
    case Action::Send: return service_result(f, it->frame, f.send(it->frame));
    case Action::LibCommand: return library_command(f, index);
  }
  return VAZ_COMM_OK;
}

}  // namespace vaz::link
