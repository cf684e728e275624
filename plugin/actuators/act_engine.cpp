// The engines of the actuator tests: the actuator list and the four test
// shapes (switch, guarded switch, value, guarded value), each driven by one
// catalogue record. A command the ECU refuses (answer 7F) is reported with
// the ECU's reason and leaves the user where he was; only a line failure ends
// the test.
#include <unistd.h>

#include "actuators/act_catalogue.h"
#include "actuators/act_host.h"
#include "core/session_record.h"
#include "link/link_common.h"

namespace vaz::act {

namespace {

// Read of local identifier 0x01; its byte 12 in bAnsBuf (frame byte 10) says
// whether the ECU allows the guarded outputs to be driven.
constexpr Frame kGuardRead = frame(0x82, 0x10, 0xF1, 0x21, 0x01);
constexpr int kGuardByte = 12;
constexpr int kAnswerStart = 2;  // bAnsBuf: frame count, length, then the frame

// Hands the outputs back to the ECU when the user leaves a Bosch list.
constexpr Frame kReturnControl = frame(0x83, 0x10, 0xF1, 0x30, 0x01, 0x00);

enum class Guard { Open, Refused, Failed };

// A refused read, or an answer too short to hold the guard byte, proves
// nothing about the ECU's state: the test is refused as for a closed guard.
Guard check_guard(u32 refusalText) {
  Frame read = kGuardRead;
  switch (send_command(Line::Kwp, read)) {
    case Sent::Failed: return Guard::Failed;
    case Sent::Refused: report_refusal(); return Guard::Refused;
    case Sent::Done: break;
  }
  const u8 *ans = vaz::answer_buffer();
  // The byte must lie inside the frame the ECU sent, before its checksum.
  if (!link::answer_reaches(ans, kGuardByte - kAnswerStart + 1) || ans[kGuardByte] == 0) {
    report(refusalText);
    return Guard::Refused;
  }
  return Guard::Open;
}

// One request with its in-progress notice; the completion report is the caller's.
Sent send_with_notice(Line line, Frame &buffer) {
  notice(kSendingText);
  return send_command(line, buffer);
}

// Hands a pulsed output back to the ECU; false when the line failed.
bool release(const Test &test) {
  Frame rc = test.release;
  const Sent r = send_command(test.line, rc);
  if (r == Sent::Refused) report_refusal();
  return r != Sent::Failed;
}

// The two-item menu of a switch test; every choice sends that item's frame.
// A pulsed output is handed back after its pulse and, if the user switched it
// off meanwhile, when he leaves the test.
int switch_menu(const Test &test) {
  Frame items[2] = {test.first, test.second};
  const bool pulsed = test.pulseSeconds != 0;
  bool held = false;
  int choice = 0;
  for (;;) {
    if (open_menu(kTestTitle) != 0) return -2;
    choice = SelectMenu(kSwitchMenu, choice);
    if (choice == kMenuBack) return pulsed && held && !release(test) ? -1 : 1;
    if (choice == kMenuRefused) return -2;
    if (choice != 0 && choice != 1) continue;
    const Sent r = send_with_notice(test.line, items[choice]);
    if (r == Sent::Failed) return -1;
    if (r == Sent::Refused) {
      report_refusal();
      continue;
    }
    held = true;
    if (pulsed && choice == 0) {
      sleep(test.pulseSeconds);
      if (!release(test)) return -1;
      held = false;
    }
    report(kDoneText);
  }
}

// Asks for the number, sends it converted and shows the ECU's live data. A
// number the value byte cannot carry, or a refused command, sends nothing more
// and goes back to the list, where the user may choose the test again.
int value_request(const Test &test, Frame &buffer) {
  if (!InputIntegerID) return -1;
  const int n = InputIntegerID(kTestTitle, kNumberPrompt);
  if (n == kInputCancelled) return 1;  // the user changed his mind: nothing to say
  const std::optional<u8> value = convert(test.conversion, n);
  if (!value) {
    report(range_of(test.conversion).text);
    return 1;
  }
  buffer.bytes[test.valueIndex] = *value;
  const Sent r = send_with_notice(test.line, buffer);
  if (r == Sent::Failed) return -1;
  if (r == Sent::Refused) {
    report_refusal();
    return 1;
  }
  act_cd_function();  // the value is already set; a display failure does not undo it
  report(kDoneText);
  return 1;
}

}  // namespace

int send(Line line, Frame &buffer) {
  u8 *answer = vaz::answer_buffer();
  return line == Line::Gm ? SendRec_GM(buffer.bytes.data(), answer) : SendRec_KWP2000(buffer.bytes.data(), answer);
}

// ALDL has no negative answer; only KWP2000 answers can refuse.
Sent send_command(Line line, Frame &buffer) {
  if (send(line, buffer) <= 0) return Sent::Failed;
  if (line == Line::Kwp && !link::simulating() && link::answer_refused(vaz::answer_buffer())) return Sent::Refused;
  return Sent::Done;
}

int run_test(const Test &test) {
  const bool guarded = test.shape == Shape::GuardedSwitch || test.shape == Shape::GuardedValue;
  // Prepared before the guard read, as the value byte is filled in later.
  Frame buffer = test.first;
  if (guarded) {
    if (test.warning != kNoText && !caution_accepted(test.warning)) return 1;
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
      const Sent r = send_command(Line::Kwp, rc);
      if (r == Sent::Failed) return -1;
      // The user still leaves (a list that refused to let go would trap him),
      // but knows that the ECU kept the outputs as they were set.
      if (r == Sent::Refused) report_refusal();
      return 1;
    }
    // A display that refuses the menu's items would refuse them again.
    if (choice == kMenuRefused) return -2;
    if (choice < 0 || static_cast<std::size_t>(choice) >= list.members.size()) continue;
    if (list.members[static_cast<std::size_t>(choice)]() < 0) return -1;
  }
}

}  // namespace vaz::act
