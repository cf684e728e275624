// The plug-in's entry: binds the host libraries, takes the user's choices
// from the host context record, runs the chosen ECU's menu (or detects the
// Bosch unit first) and always stops the keep-alive on the way out.
#include <cstddef>
#include <cstring>
#include <iterator>

#include "link/auto_detect.h"
#include "core/host_call.h"

namespace {

// Fields of the host context record, by byte offset.
constexpr size_t kFuncConfigAt = 3476;
constexpr size_t kConnectorAt = 3484;
constexpr size_t kEcuTypeAt = 3488;

constexpr int kAutoDetect = 11;
constexpr u32 kDetectNotice = 0xFE551025;
constexpr u32 kDetectTitle = 0xFE551024;
constexpr u32 kNoEcuFound = 0xFE551026;
constexpr u32 kEcuNotRecognised = 0xFE551034;  // a unit answered, with a refusal

using MenuRoutine = int (*)(void);

// Host ECU type 1..10.
constexpr MenuRoutine kMenuOfType[] = {
    nullptr,         DIAG_BOSCH_M154,    DIAG_BOSCH_M154_ADD, DIAG_BOSCH_M154N, DIAG_BOSCH_M70_E2, DIAG_BOSCH_M70_E3,
    DIAG_BOSCH_M72,  DIAG_BOSCH_M797_E2, DIAG_BOSCH_M797_E3,  DIAG_GM_EFI,      DIAG_GM_ISFI,
};

// Detection result 1..9.
constexpr MenuRoutine kMenuOfDetected[] = {
    nullptr,          DIAG_BOSCH_M797_E3, DIAG_BOSCH_M797_E2, DIAG_BOSCH_M154N,  DIAG_BOSCH_M154N,
    DIAG_BOSCH_M154,  DIAG_BOSCH_M154,    DIAG_BOSCH_M70_E3,  DIAG_BOSCH_M70_E2, DIAG_BOSCH_M72,
};

constexpr int kTypeCount = static_cast<int>(std::size(kMenuOfType));
constexpr int kDetectedCount = static_cast<int>(std::size(kMenuOfDetected));

int read_int(const u8 *record, size_t offset) {
  int value = 0;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

void show_failure() { vaz::show_box(vaz::kFailureText, vaz::kFailureTitle, 1); }

void run_menu_of(MenuRoutine menu) {
  if (menu() < 0) show_failure();
}

void run_detection() {
  vaz::show_box(kDetectNotice, kDetectTitle, 5);
  const int found = Comm_BOSCH_AUTO_ENG();
  if (found < 0) {
    show_failure();
  } else if (found == 0) {
    vaz::show_box(vaz::link::detection_saw_refusal() ? kEcuNotRecognised : kNoEcuFound, kDetectTitle, 1);
  } else if (found < kDetectedCount) {
    run_menu_of(kMenuOfDetected[found]);
  }
}

}  // namespace

extern "C" {

VAZ_EXPORT int DiagnoseMainOldPrtl(void *hostContext) {
  OpenSearchIDDLL();
  OpenShowInterfaceDLL();
  OpenAbstractCommDll();
  OpenLanguageDLL();
  OpenDiagReadFileDll();

  // No record is a session with nothing chosen.
  const auto *record = static_cast<const u8 *>(hostContext);
  OldConnectType = record ? record[kConnectorAt] : 0;
  iFuncConfig_vaz = record ? read_int(record, kFuncConfigAt) : 0;
  std::memset(&TOKEN_OLD, 0, sizeof TOKEN_OLD);

  const int ecuType = record ? read_int(record, kEcuTypeAt) : 0;
  if (ecuType >= 1 && ecuType < kTypeCount) {
    run_menu_of(kMenuOfType[ecuType]);
  } else if (ecuType == kAutoDetect) {
    run_detection();
  }
  vaz::stop_keep_alive();
  return 1;
}

}  // extern "C"
