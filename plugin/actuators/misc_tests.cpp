// The miscellaneous tests of the Bosch ECUs: small menus of ECU reset
// requests. Every reset is asked for first, as it throws away what the unit
// has learnt or restarts it under the user's hands. Some resets drop the
// K-line session, so those items wait for the ECU to restart and run the
// connection sequence again. A reset the ECU refuses did not happen: it is
// reported so, with no wait and no reconnect. An entry the unit has no
// request for says so instead of doing something else.
#include <unistd.h>

#include <array>

#include "actuators/act_catalogue.h"
#include "actuators/act_host.h"

namespace {

using namespace vaz::act;

constexpr unsigned kRestartWaitSeconds = 5;

struct ResetItem {
  bool present;  // false: the unit has no such request
  Frame frame;
  bool reconnect;
  u32 question;
};

struct MiscTest {
  u32 menu;
  std::array<ResetItem, 2> items;
};

constexpr ResetItem reset(u8 mode, bool reconnect, u32 question) {
  return {true, frame(0x82, 0x10, 0xF1, KWP_ECU_RESET, mode), reconnect, question};
}
constexpr ResetItem kNotAvailable{false, {}, false, kNoText};

// The M1.5.4 and M7.2 share a menu whose second entry, the adaptation reset,
// has a request only on the M7.9.7 (mode 0x90).
constexpr MiscTest kM154Misc{VAZ_MENU_MISC_M154, {reset(0x00, false, kAskResetText), kNotAvailable}};
constexpr MiscTest kM797Misc{VAZ_MENU_MISC_M797,
                             {reset(0x01, true, kAskResetText), reset(0x90, true, kAskAdaptationText)}};
constexpr MiscTest kM72Misc{VAZ_MENU_MISC_M154, {reset(0x01, true, kAskResetText), kNotAvailable}};

void reconnect() {
  sleep(kRestartWaitSeconds);
  u32 scratch = 0;
  if (pFComm) pFComm(FC_CONNECT, 0, &scratch);  // a refused connect shows on the next request
}

int run_misc(const MiscTest &test) {
  int choice = 0;
  for (;;) {
    if (open_menu(vaz::kMenuTitle) != 0) return -2;
    choice = SelectMenu(test.menu, choice);
    if (choice == kMenuBack) return 1;
    if (choice == kMenuRefused) return -2;
    if (choice < 0 || choice >= static_cast<int>(test.items.size())) continue;
    const ResetItem &item = test.items[static_cast<std::size_t>(choice)];
    if (!item.present) {
      report(kNotAvailableText);
      continue;
    }
    if (!caution_accepted(item.question)) continue;
    notice(kSendingText);
    Frame buffer = item.frame;
    const Sent r = send_command(Line::Kwp, buffer);
    if (r == Sent::Failed) {
      report(kSendFailedText);
      return -1;
    }
    if (r == Sent::Refused) {
      report_refusal();
      continue;
    }
    if (item.reconnect) reconnect();
    report(kDoneText);
  }
}

}  // namespace

extern "C" {

VAZ_EXPORT int BOSCH_M154_MISC_TEST(void) { return run_misc(kM154Misc); }
VAZ_EXPORT int BOSCH_M797_MISC_TEST(void) { return run_misc(kM797Misc); }
VAZ_EXPORT int BOSCH_M72_MISC_TEST(void) { return run_misc(kM72Misc); }

}  // extern "C"
