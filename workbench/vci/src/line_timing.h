// Timing of the K line and the ALDL line, in milliseconds, in one place: the figures of
// ISO 14230-2 (normal timing set), what the simulated lines use of them, and the budget a
// real cable's waits are made of.
//
// ISO 14230-2 figures:
//   P1   0..20      ECU inter-byte time within one answer
//   P2   25..50     end of a request to the start of its answer (also between two answers)
//   P2*  ..5000     after a "response pending" answer (7F sid 78)
//   P3   55..5000   end of the answers to the start of the next request
//   P4   0..20      tester inter-byte time within a request
//   W5   300        idle line before a fast init; TiniL 25 +-1 low, TWuP 50 whole pattern
//
// A real cable sees every byte only once its stop bit is in, and then only when the adapter
// and the kernel hand it over. So a wait that the standard sets on the wire is kept here as
//   the standard's figure + one byte time at the line's rate + the delivery allowance,
// where the delivery allowance is the port's own (the USB adapter's latency timer as it is
// in force after opening, read from sysfs, or the port option allowance=MS for chips that
// buffer without telling: serial_port.h) plus kSystemAllowance for the kernel and this
// process. Frame end is such a silence after P1max; the answer wait such a time after P2max.
// The simulated lines compute every moment and need none of the allowances.
#pragma once

namespace vci {

inline constexpr double kEcuBaud = 10400.0;         // what the ECUs listen at
inline constexpr double kBaudTolerance = 0.02;      // relative deviation an ECU still decodes
inline constexpr double kBitsPerByte = 10.0;        // start, 8 data, stop
inline constexpr double kP2 = 25.0;                 // ECU answer delay after a request
inline constexpr double kP2Max = 50.0;              // the interface's wait for an answer
inline constexpr double kLateP2 = 70.0;             // a "late" fault's answer delay
inline constexpr double kP3Min = 55.0;              // quiet time before the next request
inline constexpr double kKeepAlivePeriod = 1000.0;  // idle time before each keep-alive
inline constexpr int kWakeMinMs = 24;               // accepted fast-init low / high times
inline constexpr int kWakeMaxMs = 26;
inline constexpr double kMaxTesterByteGap = 20.0;  // cap on the set inter-byte time P4

// The serial line adds what only a real wire needs.
inline constexpr double kP1Max = 20.0;            // longest gap between two answer bytes
inline constexpr double kPendingWait = 5000.0;    // P2*: wait after 7F xx 78
inline constexpr double kIdleBeforeInit = 300.0;  // W5: idle line before the fast-init pattern
// The echo of a byte, past its byte time. A cable hands it back within the delivery
// allowance; the wait is long so that a tester held up by its machine does not call a
// late echo a bus fault (a request delayed that much is lost at the ECU instead, and sent
// again).
inline constexpr double kEchoWait = 100.0;
// After a request given up half sent (its echo missing or wrong), the line stays quiet this
// much longer before the next one: an ECU keeps a partial request through any pause the
// tester itself allows between its bytes (kEchoWait), and must see the end of it first.
inline constexpr double kAfterCutRequest = kEchoWait;
inline constexpr double kWakeByteBaud = 360.0;                        // 0x00 at this rate: 25 ms low
inline constexpr double kWakeByteLowMs = 9 * 1000.0 / kWakeByteBaud;  // start bit + 8 zeros
inline constexpr double kRateTolerance = 0.005;                       // deviation of a port's rate still used
inline constexpr double kSerialAldlQuiet = 15.0;                      // quiet gap before an ALDL request
inline constexpr double kSerialQuietLimit = 1000.0;                   // a line that never pauses: give up
inline constexpr double kSerialAldlWait = 100.0;                      // wait for an ALDL answer to begin
// The kernel's hand-over of received bytes (tty flip buffer work) and this process's wake-up
// on a busy machine; measured at under 1 ms on an idle one, kept at a few times that.
inline constexpr double kSystemAllowance = 4.0;
// A USB adapter with a latency timer whose value cannot be read: the FTDI default.
inline constexpr double kUnknownLatency = 16.0;
// One request's collection never outlasts the last response-pending extension by more than
// P2max: a chattering ECU cannot hold the line. Nor may it send more frames than the
// caller's answer layout holds (kAnswerBufferSize, line.h).
inline constexpr int kMaxPendingAnswers = 3;  // 7F xx 78 answers taken per request
// Requests that only read are sent again after a lost, cut or spoilt answer, this often.
inline constexpr int kRepeats = 2;
// Keep-alive retries after a failure wait this long, doubling to the last.
inline constexpr double kKeepAliveBackoff[] = {1000.0, 2000.0, 4000.0};
// tcdrain never holds the line longer than this past the bytes' own time.
inline constexpr double kDrainLimit = 200.0;

inline double byte_ms(double baud) { return kBitsPerByte * 1000.0 / baud; }

// The waits of a real cable at one line rate with one delivery allowance (see above).
struct WireBudget {
  double byte_ms = 0;   // one byte at the line's rate
  double delivery = 0;  // the port's delivery allowance + kSystemAllowance

  // Silence after the last byte read that ends a frame.
  double frame_end() const { return kP1Max + byte_ms + delivery; }
  // From the end of a request (its last echo read) to the first answer byte read.
  double answer_wait(double p2max = kP2Max) const { return p2max + byte_ms + delivery; }
};

inline WireBudget wire_budget(double baud, double port_allowance) {
  return {baud > 0 ? byte_ms(baud) : 0.0, port_allowance + kSystemAllowance};
}

}  // namespace vci
