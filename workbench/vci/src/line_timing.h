// Timing of the simulated K line (ISO 14230 names), in milliseconds.
#pragma once

namespace vci {

inline constexpr double kEcuBaud = 10400.0;          // what the ECUs listen at
inline constexpr double kBaudTolerance = 0.02;       // relative deviation an ECU still decodes
inline constexpr double kBitsPerByte = 10.0;         // start, 8 data, stop
inline constexpr double kP2 = 25.0;                  // ECU answer delay after a request
inline constexpr double kP2Max = 50.0;               // the interface's wait for an answer
inline constexpr double kLateP2 = 70.0;              // a "late" fault's answer delay
inline constexpr double kP3Min = 55.0;               // quiet time before the next request
inline constexpr double kKeepAlivePeriod = 1000.0;   // idle time before each keep-alive
inline constexpr int kWakeMinMs = 24;                // accepted fast-init low / high times
inline constexpr int kWakeMaxMs = 26;
inline constexpr double kMaxTesterByteGap = 20.0;    // cap on the set inter-byte time P4

inline double byte_ms(double baud) { return kBitsPerByte * 1000.0 / baud; }

}  // namespace vci
