// The engines of the actuator tests: the actuator list and the four test
// shapes (switch, guarded switch, value, guarded value), each driven by one
// catalogue record.
#include "tests/act_catalogue.h"
#include "tests/act_host.h"

namespace vaz::act {

namespace {

// Read of local identifier 0x01; its byte 12 in bAnsBuf says whether the
// ECU allows the guarded outputs to be driven.
constexpr Frame kGuardRead = frame(0x82, 0x10, 0xF1, 0x21, 0x01);
constexpr int kGuardByte = 12;

// Hands the outputs back to the ECU when the user leaves a Bosch list.
constexpr Frame kReturnControl = frame(0x83, 0x10, 0xF1, 0x30, 0x01, 0x00);

enum class Guard { Open, Refused, Failed };

Guard check_guard(u32 refusalText) {
  Frame read = kGuardRead;
  if (send(Line::Kwp, read) <= 0) return Guard::Failed;
  if (TOKEN_OLD.bAnsBuf[kGuardByte] == 0) {
    report(refusalText);
    return Guard::Refused;
  }
  return Guard::Open;
}

// One request with its in-progress notice; the completion report is the caller's.
int send_with_notice(Line line, Frame &buffer) {
  notice(kSendingText);
  return send(line, buffer);
}

// The two-item menu of a switch test; every choice sends that item's frame.
int switch_menu(const Test &test) {
  Frame items[2] = {test.first, test.second};
  int choice = 0;
  for (;;) {
    if (open_menu(kTestTitle) != 0) return -2;
    choice = SelectMenu(kSwitchMenu, choice);
    if (choice == kMenuBack) return 1;
    if (choice == kMenuRefused) return -2;
    if (choice != 0 && choice != 1) continue;
    if (send_with_notice(test.line, items[choice]) <= 0) return -1;
    report(kDoneText);
  }
}

// Asks for the number, sends it converted and shows the ECU's live data.
int value_request(const Test &test, Frame &buffer) {
  if (!InputIntegerID) return -1;
  const int n = InputIntegerID(kTestTitle, kNumberPrompt);
  buffer.bytes[test.valueIndex] = convert(test.conversion, n);
  if (send_with_notice(test.line, buffer) <= 0) return -1;
  act_cd_function();  // the value is already set; a display failure does not undo it
  report(kDoneText);
  return 1;
}

}  // namespace

int send(Line line, Frame &buffer) {
  u8 *answer = TOKEN_OLD.bAnsBuf;
  return line == Line::Gm ? SendRec_GM(buffer.bytes.data(), answer) : SendRec_KWP2000(buffer.bytes.data(), answer);
}

int run_test(const Test &test) {
  const bool guarded = test.shape == Shape::GuardedSwitch || test.shape == Shape::GuardedValue;
  // Prepared before the guard read, as the value byte is filled in later.
  Frame buffer = test.first;
  if (guarded) {
    const Guard g = check_guard(test.text);
    if (g == Guard::Failed) return -1;
    if (g == Guard::Refused) return 1;
  } else if (test.text != kNoText && !caution_accepted(test.text)) {
    return 1;
  }
  if (test.shape == Shape::Switch || test.shape == Shape::GuardedSwitch) return switch_menu(test);
  return value_request(test, buffer);
}

int run_list(const List &list) {
  int choice = 0;
  for (;;) {
    if (open_menu(kTestTitle) != 0) return -2;
    choice = SelectMenu(list.menu, choice);
    if (choice == kMenuBack) {
      if (!list.returnControl) return 1;
      Frame rc = kReturnControl;
      return send(Line::Kwp, rc) > 0 ? 1 : -1;
    }
    // A display that refuses the menu's items would refuse them again.
    if (choice == kMenuRefused) return -2;
    if (choice < 0 || static_cast<std::size_t>(choice) >= list.members.size()) continue;
    if (list.members[static_cast<std::size_t>(choice)]() < 0) return -1;
  }
}

}  // namespace vaz::act
