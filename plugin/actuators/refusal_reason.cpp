// Names the reason a Bosch ECU gave for refusing a command: the response code
// of its negative answer (7F) picks the message, so the user learns whether to
// stop the engine, try again or give up on the test.
#include "actuators/act_host.h"
#include "core/session_record.h"
#include "link/link_common.h"

namespace vaz::act {

namespace {

struct Reason {
  int code;
  u32 text;
};

// ISO 14230-3 response codes a diagnostic tester meets on these units.
constexpr Reason kReasons[] = {
    {0x10, 0xFE551040},  // general reject
    {0x11, 0xFE551041},  // service not supported
    {0x12, 0xFE551042},  // sub-function not supported or invalid format
    {0x21, 0xFE551043},  // busy, repeat request
    {0x22, 0xFE551044},  // conditions not correct or request sequence error
    {0x31, 0xFE551045},  // request out of range
    {0x33, 0xFE551046},  // security access denied
};

}  // namespace

u32 refusal_text() {
  const int code = link::answer_refusal_code(vaz::answer_buffer());
  for (const Reason &r : kReasons)
    if (r.code == code) return r.text;
  return kRefusedText;  // a code this tool does not know: the refusal itself is still true
}

}  // namespace vaz::act
