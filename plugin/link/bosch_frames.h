// The constant K-line requests that both the Bosch comm routines and the
// automatic detection send: one copy, so a checksum fixed in one place holds
// for both. Each starts with its length byte and ends with its checksum.
#ifndef VAZ_LINK_BOSCH_FRAMES_H
#define VAZ_LINK_BOSCH_FRAMES_H

#include "vaz_old.h"

namespace vaz::link::bosch {

// ECU address 0x10: M1.5.4 family, M7.2, M7.9.7.
inline constexpr u8 kIdent10[] = {0x06, 0x82, 0x10, 0xF1, KWP_READ_ECU_IDENT, 0x9A, 0x37};
inline constexpr u8 kReadData01_10[] = {0x06, 0x82, 0x10, 0xF1, KWP_READ_DATA_BY_LOCAL_ID, 0x01, 0xA5};
inline constexpr u8 kStopSession10[] = {0x05, 0x81, 0x10, 0xF1, KWP_STOP_DIAG_SESSION, 0xA2};
inline constexpr u8 kStopComm10[] = {0x05, 0x81, 0x10, 0xF1, KWP_STOP_COMMUNICATION, 0x04};

// ECU address 0x11: M7.0.
inline constexpr u8 kIdent11[] = {0x06, 0x82, 0x11, 0xF1, KWP_READ_ECU_IDENT, 0x9A, 0x38};
inline constexpr u8 kReadData01_11[] = {0x06, 0x82, 0x11, 0xF1, KWP_READ_DATA_BY_LOCAL_ID, 0x01, 0xA6};
inline constexpr u8 kStopComm11[] = {0x05, 0x81, 0x11, 0xF1, KWP_STOP_COMMUNICATION, 0x05};

// How the M1.5.4 family leaves a session; the other units only stop talking.
inline constexpr const u8 *kCloseM154[] = {kStopSession10, kStopComm10};
inline constexpr const u8 *kClose10[] = {kStopComm10};
inline constexpr const u8 *kClose11[] = {kStopComm11};

}  // namespace vaz::link::bosch

#endif
