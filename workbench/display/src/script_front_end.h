// Front end that lets a script play the user and writes every screen, with
// the answer given, to a readable transcript: each screen goes out to the
// transcript's descriptor as soon as it is answered, and is kept in memory only
// when asked for (tests read it whole; a long session must not grow).
#pragma once

#include "screens.h"
#include "script.h"

#include <string>
#include <vector>

namespace stdhost {

// Where the transcript goes: a descriptor written per screen (-1 = none) and/or memory.
struct TranscriptOutput {
  int fd = -1;
  bool keep = true;
};

class ScriptFrontEnd final : public FrontEnd {
 public:
  explicit ScriptFrontEnd(std::vector<Step> steps, TranscriptOutput out = {}) : steps_(std::move(steps)), out_(out) {}

  int message(const MessageScreen &s) override;
  int menu(const MenuScreen &s) override;
  std::optional<std::vector<bool>> select(const SelectScreen &s) override;
  bool stream(const StreamScreen &s) override;
  bool misfit() const override { return misfit_; }
  void codes(const CodeScreen &s) override;
  int input(const InputScreen &s) override;
  int panel(const PanelScreen &s) override;
  const std::string &transcript() const override { return transcript_; }

 private:
  // The step that answers a screen of this kind, or null when the script is
  // exhausted or its next step does not fit (noted in the transcript).
  const Step *take(ScreenKind kind);
  void fault(const Step &step, ScreenKind kind, const std::string &why);
  // The screen is answered: its text goes out (and is kept when asked for).
  void emit();

  std::vector<Step> steps_;
  std::size_t at_ = 0;
  bool endNoted_ = false;
  bool misfit_ = false;
  const Step *running_ = nullptr;  // a stay/idle step still counting passes
  ScreenKind runningKind_ = kMenuScreen;
  long remaining_ = 0;
  TranscriptOutput out_;
  std::string page_;        // the screen being written, reused
  std::string transcript_;  // every screen, only with out_.keep
};

}  // namespace stdhost
