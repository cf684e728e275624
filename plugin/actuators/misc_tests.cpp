// The miscellaneous tests of the Bosch ECUs: small menus of ECU reset
// requests. Some resets drop the K-line session, so those items wait for the
// ECU to restart and run the connection sequence again. A reset the ECU
// refuses did not happen: it is reported so, with no wait and no reconnect.
#include <unistd.h>

#include <array>

#include "actuators/act_catalogue.h"
#include "actuators/act_host.h"

namespace {

using namespace vaz::act;

constexpr unsigned kRestartWaitSeconds = 5;

struct ResetItem {
  bool present;
  Frame frame;
  bool reconnect;
};

struct MiscTest {
  u32 menu;
  std::array<ResetItem, 2> items;
};

constexpr ResetItem reset(u8 mode, bool reconnect) {
  return {true, frame(0x82, 0x10, 0xF1, KWP_ECU_RESET, mode), reconnect};
}
constexpr ResetItem kNoItem{false, {}, false};

// The M1.5.4 menu offers a second item that sends nothing.
constexpr MiscTest kM154Misc{VAZ_MENU_MISC_M154, {reset(0x00, false), kNoItem}};
constexpr MiscTest kM797Misc{VAZ_MENU_MISC_M797, {reset(0x01, true), reset(0x90, true)}};
constexpr MiscTest kM72Misc{VAZ_MENU_MISC_M154, {reset(0x01, true), reset(0x00, false)}};

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
    if (!item.present) continue;
    notice(kSendingText);
    Frame buffer = item.frame;
    const Sent r = send_command(Line::Kwp, buffer);
    if (r == Sent::Failed) {
      report(kSendFailedText);
      return -1;
    }
    if (r == Sent::Refused) {
      report(kRefusedText);
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
