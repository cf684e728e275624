// Reading, showing and erasing the ECU's trouble codes, and the frame picker
// for answer buffers that hold several frames.
#include <cstring>

#include "core/host_call.h"
#include "core/session_record.h"
#include "formulas/dtc_record.h"

namespace {

constexpr u32 kReadNotice = 0xFE551009;
constexpr u32 kReadTitle = 0xFE55100B;
constexpr u32 kNoCodes = 0xFE551019;
constexpr u32 kEraseQuestion = 0xFE551017;
constexpr u32 kEraseTitle = 0xFE55100E;
constexpr u32 kEraseNotice = 0xFE551014;
constexpr u32 kEraseDone = 0xFE551016;

}  // namespace

extern "C" {

VAZ_EXPORT int TroubleCode_SingleCom(void) {
  vaz::show_box(kReadNotice, kReadTitle, VAZ_BOX_NOTICE);
  if (vaz::comm(vaz::function_code(), 0) <= 0) return VAZ_SERVICE_COMM_FAILED;
  if (pFCalcDTC) pFCalcDTC();
  // The table holds VAZ_DTC_MAX codes whatever count the decoder reports.
  const int count = vaz::dtc_count() < VAZ_DTC_MAX ? vaz::dtc_count() : VAZ_DTC_MAX;
  if (count == 0) {
    vaz::show_box(kNoCodes, kReadNotice, VAZ_BOX_DONE);
    return VAZ_SERVICE_DONE;
  }
  vaz::call_or(InitTroubleCode, 0);
  for (int i = 0; i < count; ++i) vaz::call_or(AddTroubleCode, 0, vaz::dtc_codes()[i], vaz::dtc_states()[i]);
  vaz::call_or(ShowTroubleCode, 0);
  return vaz::comm(FC_DONE, 0) <= 0 ? VAZ_SERVICE_COMM_FAILED : VAZ_SERVICE_DONE;
}

VAZ_EXPORT int EraseCode_SingleCom(void) {
  // Codes are never erased without the user's consent: no question box, no erase.
  if (vaz::call_or(ShowMessageBoxID, VAZ_BOX_DECLINED, kEraseQuestion, kEraseTitle, VAZ_BOX_CONFIRM) ==
      VAZ_BOX_DECLINED)
    return VAZ_SERVICE_DONE;
  vaz::show_box(kEraseNotice, kEraseTitle, VAZ_BOX_NOTICE);
  if (vaz::comm(vaz::function_code(), 0) <= 0) return VAZ_SERVICE_COMM_FAILED;
  vaz::comm(FC_DONE, 0);
  vaz::show_box(kEraseDone, kEraseTitle, VAZ_BOX_DONE);
  return VAZ_SERVICE_DONE;
}

// Copies frame k (from 1) of an answer buffer laid out as bAnsBuf, length
// byte included, and returns its size; -1 when the frame lies outside a
// buffer of bAnsBuf's size.
VAZ_EXPORT int Get_EcuAnsdata(int frameNumber, const u8 *answer, u8 *out) {
  if (frameNumber < 1) return -1;
  int pos = 1;
  for (int k = 1; k < frameNumber; ++k) {
    if (pos >= VAZ_ANS_SIZE) return -1;
    pos += answer[pos] + 1;
  }
  if (pos >= VAZ_ANS_SIZE) return -1;
  const int size = answer[pos] + 1;
  if (pos + size > VAZ_ANS_SIZE) return -1;
  std::memcpy(out, answer + pos, static_cast<size_t>(size));
  return size;
}

}  // extern "C"
