// The plug-in's entry: binds the host libraries, takes the user's choices
// from the host context record, runs the chosen ECU's menu (or detects the
// Bosch unit first) and always stops the keep-alive on the way out.
#include <cstddef>
#include <cstring>
#include <iterator>

#include "core/host_call.h"
#include "core/session_record.h"
#include "session/detection_report.h"

namespace {

constexpr u32 kDetectNotice = 0xFE551025;
constexpr u32 kDetectTitle = 0xFE551024;
constexpr u32 kNoEcuFound = VAZ_TEXT_NO_ECU_FOUND;
constexpr u32 kEcuNotRecognised = VAZ_TEXT_NOT_RECOGNISED;  // a unit answered, with a refusal

using MenuRoutine = int (*)(void);

// Host ECU type VAZ_ECU_TYPE_M154..VAZ_ECU_TYPE_GM_ISFI.
constexpr MenuRoutine kMenuOfType[] = {
    nullptr,        DIAG_BOSCH_M154,    DIAG_BOSCH_M154_ADD, DIAG_BOSCH_M154N, DIAG_BOSCH_M70_E2, DIAG_BOSCH_M70_E3,
    DIAG_BOSCH_M72, DIAG_BOSCH_M797_E2, DIAG_BOSCH_M797_E3,  DIAG_GM_EFI,      DIAG_GM_ISFI,
};

// Detection result VAZ_DETECT_M797_E3..VAZ_DETECT_LAST.
constexpr MenuRoutine kMenuOfDetected[] = {
    nullptr,         DIAG_BOSCH_M797_E3, DIAG_BOSCH_M797_E2, DIAG_BOSCH_M154N,  DIAG_BOSCH_M154N,
    DIAG_BOSCH_M154, DIAG_BOSCH_M154,    DIAG_BOSCH_M70_E3,  DIAG_BOSCH_M70_E2, DIAG_BOSCH_M72,
};

constexpr int kTypeCount = static_cast<int>(std::size(kMenuOfType));
constexpr int kDetectedCount = static_cast<int>(std::size(kMenuOfDetected));
static_assert(kTypeCount == VAZ_ECU_TYPE_GM_ISFI + 1 && kDetectedCount == VAZ_DETECT_LAST + 1);

int read_int(const u8 *record, size_t offset) {
  int value = 0;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

void show_failure() { vaz::show_box(vaz::kFailureText, vaz::kFailureTitle, VAZ_BOX_REPORT); }

void run_menu_of(MenuRoutine menu) {
  if (menu() < 0) show_failure();
}

void run_detection() {
  vaz::show_box(kDetectNotice, kDetectTitle, VAZ_BOX_NOTICE);
  const vaz::session::Detected found = vaz::session::detect_and_report();
  if (found.result < VAZ_DETECT_NONE) {
    show_failure();
  } else if (found.result == VAZ_DETECT_NONE) {
    vaz::show_box(found.sawRefusal ? kEcuNotRecognised : kNoEcuFound, kDetectTitle, VAZ_BOX_REPORT);
  } else if (found.result < kDetectedCount) {
    run_menu_of(kMenuOfDetected[found.result]);
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
  OldConnectType = record ? record[VAZ_CTX_CONNECTOR_AT] : 0;
  iFuncConfig_vaz = record ? read_int(record, VAZ_CTX_FUNCTIONS_AT) : 0;
  vaz::clear_session_record();

  const int ecuType = record ? read_int(record, VAZ_CTX_ECU_TYPE_AT) : 0;
  if (ecuType >= VAZ_ECU_TYPE_M154 && ecuType < kTypeCount) {
    run_menu_of(kMenuOfType[ecuType]);
  } else if (ecuType == VAZ_ECU_TYPE_AUTO) {
    run_detection();
  }
  vaz::stop_keep_alive();
  return 1;
}

}  // extern "C"
