// Front end that lets a script play the user and writes every screen, with
// the answer given, to a readable transcript.
#pragma once

#include "screens.h"
#include "script.h"

#include <string>
#include <vector>

namespace stdhost {

class ScriptFrontEnd final : public FrontEnd {
 public:
  explicit ScriptFrontEnd(std::vector<Step> steps) : steps_(std::move(steps)) {}

  int message(const MessageScreen& s) override;
  int menu(const MenuScreen& s) override;
  std::optional<std::vector<bool>> select(const SelectScreen& s) override;
  bool stream(const StreamScreen& s) override;
  void codes(const CodeScreen& s) override;
  int input(const InputScreen& s) override;
  int panel(const PanelScreen& s) override;
  const std::string& transcript() const override { return transcript_; }

 private:
  // The step that answers a screen of this kind, or null when the script is
  // exhausted or its next step does not fit (noted in the transcript).
  const Step* take(ScreenKind kind);
  void fault(const Step& step, ScreenKind kind, const std::string& why);

  std::vector<Step> steps_;
  std::size_t at_ = 0;
  bool endNoted_ = false;
  const Step* running_ = nullptr;  // a stay/idle step still counting passes
  ScreenKind runningKind_ = kMenuScreen;
  long remaining_ = 0;
  std::string transcript_;
};

}  // namespace stdhost
