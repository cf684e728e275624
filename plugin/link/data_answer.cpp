// The check that a data answer belongs to the data request: the positive answer
// of the request's service, its local identifier (K line) or mode (ALDL), and as
// many bytes as the variant's formulas read. Anything else is a failed request.
#include "link/data_answer.h"
#include "core/session_record.h"

#include <algorithm>
#include <iterator>

namespace vaz::link {
namespace {

constexpr u8 kAldlDevice = 0xF4;
constexpr u8 kAldlLengthBase = 0x55;
constexpr u8 kAldlReadData = 0x01;

// How many bytes from the answer's service byte (or ALDL mode byte) on the
// variant's formulas read, per data record. A record that is not listed needs
// only its service byte and identifier; a longer answer is fine.
struct Record {
  u16 variant;
  u8 id;  // local identifier; the mode byte on ALDL
  u8 bytes;
};

constexpr Record kRecords[] = {
    {VAZ_VARIANT_GM_ISFI, kAldlReadData, 65}, {VAZ_VARIANT_GM_EFI, kAldlReadData, 66},
    {VAZ_VARIANT_M154, 0x01, 0x22},           {VAZ_VARIANT_M154, 0x03, 9},
    {VAZ_VARIANT_M154_ADD, 0x01, 0x22},       {VAZ_VARIANT_M154_ADD, 0x03, 9},
    {VAZ_VARIANT_M154N, 0x01, 0x24},          {VAZ_VARIANT_M154N, 0x03, 9},
    {VAZ_VARIANT_M70_E2, 0x01, 0x2C},         {VAZ_VARIANT_M70_E3, 0x01, 0x55},
    {VAZ_VARIANT_M797_E2, 0x01, 0x43},        {VAZ_VARIANT_M797_E3, 0x01, 0x4A},
    {VAZ_VARIANT_M797_E2, 0x03, 0x15},        {VAZ_VARIANT_M797_E3, 0x03, 0x15},
    {VAZ_VARIANT_M797_E2, 0xA0, 7},           {VAZ_VARIANT_M797_E3, 0xA0, 7},
};

int bytes_needed(u8 id, int least) {
  const auto it =
      std::ranges::find_if(kRecords, [id](const Record &r) { return r.variant == vaz::ecu_variant() && r.id == id; });
  return it == std::end(kRecords) ? least : it->bytes;
}

// The first answer frame: its length as received (checksum included) and its bytes.
struct Frame {
  int length;
  const u8 *bytes;
};

Frame first_frame(const u8 *answer) { return {answer[0] == 0 ? 0 : answer[1], answer + 2}; }

bool kwp_matches(const u8 *request, const u8 *answer) {
  const Frame f = first_frame(answer);
  if (f.length < 1 || (f.bytes[0] & 0xC0) != 0x80) return false;
  const bool longForm = f.bytes[0] == KWP_FORMAT_LONG;
  const int header = longForm ? 4 : 3;
  if (f.length < header) return false;
  const int count = longForm ? f.bytes[3] : f.bytes[0] & 0x3F;
  // The service bytes the header announces, then the checksum, all received.
  if (count < 2 || header + count + 1 > f.length) return false;
  const u8 *service = f.bytes + header;
  return service[0] == (request[4] | KWP_POSITIVE_OFFSET) && service[1] == request[5] &&
         count >= bytes_needed(request[5], 2);
}

bool aldl_matches(const u8 *answer) {
  const Frame f = first_frame(answer);
  if (f.length < 3 || f.bytes[0] != kAldlDevice || f.bytes[1] < kAldlLengthBase) return false;
  const int count = f.bytes[1] - kAldlLengthBase;  // mode and data
  return count >= 1 && count + 3 <= f.length && f.bytes[2] == kAldlReadData && count >= bytes_needed(kAldlReadData, 1);
}

}  // namespace

bool data_answer_matches(const u8 *request, const u8 *answer) {
  const int len = request[0];
  if (len >= 6 && (request[1] & 0xC0) == 0x80 && request[4] == KWP_READ_DATA_BY_LOCAL_ID)
    return kwp_matches(request, answer);
  if (len >= 3 && request[1] == kAldlDevice && request[3] == kAldlReadData) return aldl_matches(answer);
  return true;
}

}  // namespace vaz::link
