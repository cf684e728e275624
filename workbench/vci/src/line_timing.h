// Timing of the simulated K line (ISO 14230 names), in milliseconds.
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
inline constexpr double kP1Max = 20.0;                                // longest gap between two answer bytes
inline constexpr double kPendingWait = 5000.0;                        // wait after "response pending" (7F xx 78)
inline constexpr double kIdleBeforeInit = 300.0;                      // idle line before the fast-init pattern
inline constexpr double kEchoWait = 30.0;                             // echo of a byte, past its byte time
inline constexpr double kWakeByteBaud = 360.0;                        // 0x00 at this rate: 25 ms low
inline constexpr double kWakeByteLowMs = 9 * 1000.0 / kWakeByteBaud;  // start bit + 8 zeros
inline constexpr double kRateTolerance = 0.005;                       // deviation of a port's rate still used
inline constexpr double kSerialAldlQuiet = 15.0;                      // quiet gap before an ALDL request
inline constexpr double kSerialQuietLimit = 1000.0;                   // a line that never pauses: give up
inline constexpr double kSerialAldlWait = 100.0;                      // wait for an ALDL answer to begin

inline double byte_ms(double baud) { return kBitsPerByte * 1000.0 / baud; }

}  // namespace vci
