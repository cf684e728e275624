// The one engine behind every comm routine. A family table says how its line
// is brought up and which request answers each function code; the routines
// themselves are one-line calls with their table.
#ifndef VAZ_LINK_COMM_ENGINE_H
#define VAZ_LINK_COMM_ENGINE_H

#include <span>

#include "link/link_common.h"

namespace vaz::link {

enum class Action : u8 {
  Connect,        // select the line, wake the ECU, arm the keep-alive
  Disconnect,     // the family's stop requests, in order
  ArmKeepAlive,   // hand the TesterPresent frame to the interface
  StopKeepAlive,  // stop whatever keep-alive runs
  ReadStrip,      // one request, first answer frame moved to the buffer start
  Send,           // one request, answer left as received
  LibCommand      // the request of the indexed item, from the command library
};

struct CodeAction {
  u8 code;
  Action action;
  const u8 *frame;
};

// How the diagnostic session and timing are set after the wake-up.
enum class Setup : u8 { None, FrameLayer, DirectRetryOnce };

struct Family {
  int (*send)(const u8 *frame);  // the frame layer of the family's line
  LineSettings line;
  bool stopKeepAliveFirst = false;  // clear a keep-alive left by an earlier session
  const u8 *startComm = nullptr;    // fast-init request; null: the line needs no wake-up
  int wakeLowMs = 25;
  Setup setup = Setup::None;
  const u8 *session = nullptr;
  const u8 *timing = nullptr;
  const u8 *probe = nullptr;  // request whose result proves the link
  u8 *keepAlive = nullptr;    // TesterPresent held for the interface
  std::span<const u8 *const> disconnect{};
  std::span<const CodeAction> codes;
};

int run_comm(const Family &family, u8 code, u16 index);

}  // namespace vaz::link

#endif
