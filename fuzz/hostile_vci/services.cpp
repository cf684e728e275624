// The services of libCOMM_ABSTRACT_LAYER.so the plug-in binds, for the session fuzz
// target: settings succeed and do nothing; every request is answered from the fuzz
// input (answer_chunks.cpp). Services no route of the plug-in calls fail as on the
// workbench interface.
#include "../../workbench/vci/include/vci_services.h"

#include <cstddef>

namespace hostile {
int answer_request(unsigned char *answer, std::size_t room);
int answer_without_buffer();
}  // namespace hostile

#define HOSTILE_EXPORT extern "C" __attribute__((visibility("default")))
#define HOSTILE_FAILS(name) \
  HOSTILE_EXPORT int name(void) { return -1; }
#define HOSTILE_NOOP(name) \
  HOSTILE_EXPORT int name(void) { return 0; }

namespace {
constexpr std::size_t kLayoutRoom = 344;  // what the interface writes whatever room it is told
}

int OpenStdCommDll(void) { return 0; }
int CloseStdCommDll(void) { return 0; }
int SelectPIN(unsigned char, int, int, int, int) { return 0; }
int EnableLLine(int) { return 0; }
int BeginCombination(void) { return 0; }
int EndCombination(void) { return 0; }
int SetCommunicationMaximumWaitTime(int) { return 0; }
int SetEcuCommunicationVoltageLogic(int, int) { return 0; }
int SetEcuBaudRate(float) { return 0; }
int SetCommunicationParameter(int, int, int, int) { return 0; }
int SetEcuCommTimeInterval(float, int, int) { return 0; }
int SetCommunicationLineVoltage(int, int, int) { return 0; }
int SetLinkKeep(unsigned char *, int, int, int) { return 0; }

int KwpSendDataToEcuGetAnswer(int, unsigned char *answer, int, int, unsigned char *) {
  return hostile::answer_request(answer, kLayoutRoom);
}
int OneToOne_SendDataToEcuGetAnswer(int, unsigned char *answer, int, int, int, unsigned char *, int, int, int) {
  return hostile::answer_request(answer, kLayoutRoom);
}
// These two are told the room of their answer buffer and keep to it.
int GMSendMultiFrameToECUGetAnswer(int, unsigned char *, unsigned char *answer, int size) {
  return hostile::answer_request(answer, size > 0 ? static_cast<std::size_t>(size) : 0);
}
int PWM_SendDataToEcuGetAnswer(int, unsigned char *answer, int size, int, int, unsigned char *) {
  return hostile::answer_request(answer, size > 0 ? static_cast<std::size_t>(size) : 0);
}
int IsoInitSendDataToEcuGetAnswer(int, int, int) { return 0; }
int IsoAddSendDataToEcuGetAnswer(int, unsigned char *) { return 0; }
int IsoSendAndReceiveSendDataToEcuGetAnswer(int, int) { return hostile::answer_without_buffer(); }

VAZ_LIST_C_BY(VAZ_SKIP, HOSTILE_NOOP, HOSTILE_FAILS)
