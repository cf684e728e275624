// The interactive CO adjustment of the Bosch M1.5.4: the user steps the CO
// trim up and down on an active-test panel while one live value is shown,
// then either stores the value byte 1 or simply hands control back. The steps
// start from the trim the ECU reports, so that opening the panel changes
// nothing and the panel shows what live data shows. A step the ECU refuses is
// reported and undone on the panel; a step past 0 or 255 is refused before it
// is sent, as the byte would wrap round.
#include <array>
#include <cstring>

#include "actuators/act_catalogue.h"
#include "actuators/act_host.h"
#include "actuators/co_record.h"
#include "core/session_record.h"
#include "link/item_record.h"
#include "link/link_common.h"

namespace {

using namespace vaz::act;

constexpr Frame kCoWrite = frame(0x84, 0x10, 0xF1, 0x30, 0x61, 0x08, 0x64);
constexpr Frame kCoRestore = frame(0x83, 0x10, 0xF1, 0x30, 0x61, 0x00);
constexpr u32 kCoValuePos = 7;
constexpr int kTrimByte = 14;  // of the data block: the trim as the write frame carries it

constexpr u32 kM154Names = 0x58200400;
constexpr int kShownItem = 1;  // the second item of the M1.5.4 data list

constexpr int kLower = 0;
constexpr int kRaise = 1;
constexpr int kFinish = 2;

constexpr u32 kKeepQuestion = 0xFE5520A2;
constexpr u32 kKeepTitle = 0xFE5520A1;
constexpr int kMaxFailures = 3;
constexpr u8 kStoredOnFinish = 1;

constexpr std::size_t kCoFrameSize = sizeof(vaz::co_frame());

// The panel works on state any caller may have left in the record: both frames
// must fit their buffers with the checksum slot, and the value byte must lie
// inside the write frame, or a send would write past them.
bool co_state_sound() {
  const u8 writeLen = vaz::co_frame()[0];
  const u8 restoreLen = vaz::co_restore_frame()[0];
  return writeLen >= 2 && writeLen < kCoFrameSize && restoreLen >= 2 && restoreLen < kCoFrameSize &&
         vaz::co_value_at() >= 1 && vaz::co_value_at() < writeLen;
}

Sent send_state_frame(u8 *frame) {
  if (SendRec_KWP2000(frame, vaz::answer_buffer()) <= 0) return Sent::Failed;
  return !vaz::link::simulating() && vaz::link::answer_refused(vaz::answer_buffer()) ? Sent::Refused : Sent::Done;
}

// The panel's result when the user finished but the ECU refused a finishing
// command: the completion message must not follow.
constexpr int kFinishRefused = 1;

// How the last panel ended: the CO value set to its base before control was
// handed back, or handed back as last set. The completion message says which.
bool coFinishedAtBase = false;

// The trim byte of the data block in bAnsBuf, or -1 when the answer is too
// short to hold it. The block's bytes count from the answer's first byte, or
// from its length byte in the long form (format byte 0x80).
int reported_trim() {
  const u8 *ans = vaz::answer_buffer();
  const int start = ans[2] == KWP_FORMAT_LONG ? 1 : 0;  // frame byte of block byte 0
  if (!vaz::link::answer_reaches(ans, start + kTrimByte)) return -1;
  return ans[2 + start + kTrimByte];
}

int panel_failed() {
  report(vaz::kFunctionStoppedText, vaz::kFailureTitle);
  return -2;
}

}  // namespace

extern "C" {

VAZ_EXPORT int CurrentData_SingleCom_Allcal_DisplayCO(void) {
  if (!co_state_sound()) return panel_failed();
  u8 *value = &vaz::co_frame()[vaz::co_value_at()];
  *value = vaz::co_value();
  int failures = 0;
  for (;;) {
    vaz::call_or(InitActiveTest, 0, 3, VAZ_BUTTON_CO_LOWER, VAZ_BUTTON_CO_RAISE, VAZ_BUTTON_CO_FINISH);
    u32 scratch = 0;
    if (!pFComm || pFComm(vaz::function_code(), 0, &scratch) <= 0) return -1;

    const CD_ITEM &item = vaz::items()[kShownItem];
    vaz::value_text()[0] = '\0';
    if (pFCalcCD) pFCalcCD(kShownItem + 1, vaz::answer_buffer(), vaz::value_text(), item.cItemType, item.wItemParam);
    if (vaz::call_or(AddActiveTestItem, 1, item.dwTextId, static_cast<const char *>(vaz::value_text())) != 0)
      return panel_failed();

    // Without a panel no button can ever be pressed.
    if (!ShowActiveTestItem) return panel_failed();
    const int button = ShowActiveTestItem();
    if (button == kLower || button == kRaise) {
      const u8 before = vaz::co_value();
      if ((button == kLower && before == 0x00) || (button == kRaise && before == 0xFF)) {
        report(kOutOfRangeText);
        continue;
      }
      vaz::co_value() = static_cast<u8>(before + (button == kRaise ? 1 : -1));
      *value = vaz::co_value();
      const Sent r = send_state_frame(vaz::co_frame());
      if (r == Sent::Refused) {
        // The ECU kept the old value; so does the panel.
        report_refusal();
        vaz::co_value() = before;
        *value = before;
      } else if (r == Sent::Failed && ++failures >= kMaxFailures) {
        return panel_failed();
      }
    } else if (button == kFinish) {
      u32 refusal = 0;  // the first refusal's reason, read before the next answer replaces it
      const bool toBase = vaz::call_or(ShowMessageBoxID, 0, kKeepQuestion, kKeepTitle, kStyleQuestion) != 0;
      if (toBase) {
        *value = kStoredOnFinish;
        if (send_state_frame(vaz::co_frame()) == Sent::Refused) refusal = refusal_text();
      }
      if (send_state_frame(vaz::co_restore_frame()) == Sent::Refused && refusal == 0) refusal = refusal_text();
      coFinishedAtBase = toBase;
      if (refusal == 0) return 0;
      report(refusal);
      return kFinishRefused;
    }
  }
}

VAZ_EXPORT int ACT_BOSCH_M154_ENG_CO_X(void) {
  Frame write = kCoWrite;
  std::memset(vaz::co_frame(), 0, sizeof vaz::co_frame());
  std::memset(vaz::co_restore_frame(), 0, sizeof vaz::co_restore_frame());
  std::memcpy(vaz::co_frame(), kCoWrite.bytes.data(), sizeof vaz::co_frame());
  std::memcpy(vaz::co_restore_frame(), kCoRestore.bytes.data(), sizeof vaz::co_restore_frame());
  vaz::co_value_at() = kCoValuePos;

  vaz::function_code() = FC_STREAM;
  pFCalcCD = CalCd_BOSCH_M154_ENG;
  if (GetData_ECU_CD(kM154Names, VAZ_NO_LIST) == -1) return -1;
  // Take control at the trim the ECU holds; an answer without it leaves the base value.
  u32 scratch = 0;
  if (!pFComm || pFComm(vaz::function_code(), 0, &scratch) <= 0) return -1;
  if (const int trim = reported_trim(); trim >= 0) {
    write.bytes[kCoValuePos] = static_cast<u8>(trim);
    vaz::co_frame()[kCoValuePos] = static_cast<u8>(trim);
  }
  vaz::co_value() = vaz::co_frame()[kCoValuePos];

  notice(kSendingText);
  const Sent first = send_command(Line::Kwp, write);
  if (first == Sent::Failed) return -1;
  if (first == Sent::Refused) {
    report_refusal();
    return 1;
  }

  const int panel = CurrentData_SingleCom_Allcal_DisplayCO();
  if (panel == kFinishRefused) return 1;  // the refusal is already reported
  if (panel != 0) return -1;
  report(coFinishedAtBase ? kCoBaseStoredText : kCoKeptText);
  return 1;
}

}  // extern "C"
