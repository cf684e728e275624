// Sends generic OBD frames (J1850 PWM and ISO) through the vehicle interface.
// Simulation value 2 belongs to these routines alone: it sends nothing and
// reports success.
#include <cstring>

#include "core/session_record.h"
#include "link/link_common.h"

namespace {

constexpr int kIsoAttempts = 4;
constexpr int kAnswerSize = 100;

bool simulating_obd() { return vaz::simulation_mode() == VAZ_SIMULATE_OBD; }

}  // namespace

extern "C" {

// The PWM answer is not checked: the exchange always counts as done, and an
// unbound service is simply not called.
VAZ_EXPORT int Send_Recv_PwmOBD_Frame(u8 *frame, u8 *answer) {
  if (simulating_obd()) return 1;
  if (PWM_SendDataToEcuGetAnswer != nullptr)
    PWM_SendDataToEcuGetAnswer(0xFF, answer, kAnswerSize, 1, frame[0], frame + 1);
  return 1;
}

// An unbound service counts as a failed attempt.
VAZ_EXPORT int Send_Recv_ISO_Frame(u8 *frame, u8 *answer) {
  if (simulating_obd()) return 1;
  for (int attempt = 0; attempt < kIsoAttempts; ++attempt) {
    const int result =
        OneToOne_SendDataToEcuGetAnswer == nullptr
            ? -1
            : OneToOne_SendDataToEcuGetAnswer(0xFF, answer, kAnswerSize, 1, frame[0], frame + 1, 0, -2, 1);
    if (result >= 0) {
      std::memmove(answer, answer + 2, answer[1]);  // drop the frame count and length byte
      return 1;
    }
  }
  return 0;
}

VAZ_EXPORT int Send_Recv_ISO_Frame_Multi(u8 *frame, int p, int q) {
  if (simulating_obd()) return 1;
  if (IsoInitSendDataToEcuGetAnswer == nullptr || IsoAddSendDataToEcuGetAnswer == nullptr ||
      IsoSendAndReceiveSendDataToEcuGetAnswer == nullptr)
    return -1;
  IsoInitSendDataToEcuGetAnswer(0, p, q);
  IsoAddSendDataToEcuGetAnswer(frame[0], frame + 1);
  return IsoSendAndReceiveSendDataToEcuGetAnswer(p, kAnswerSize) < 0 ? -1 : 1;
}

}  // extern "C"
