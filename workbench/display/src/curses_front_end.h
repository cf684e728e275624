// Full-screen front end on a terminal (ncurses): menus and checklists driven by
// arrow keys, numbers and Enter (Esc or Backspace go back), a live table of the
// data stream with minimum, maximum, recording and a plot, code lists, message
// boxes, a number field and the active-test panel.
#pragma once

#include "curses_terminal.h"
#include "screens.h"
#include "stream_stats.h"

#include <map>
#include <string>
#include <vector>

namespace stdhost {

class StreamLog;

class CursesFrontEnd final : public FrontEnd {
 public:
  explicit CursesFrontEnd(StreamLog &log) : log_(log) {}

  // Takes the terminal; false when standard input and output cannot carry it.
  bool start() { return terminal_.open(); }

  int message(const MessageScreen &s) override;
  int menu(const MenuScreen &s) override;
  std::optional<std::vector<bool>> select(const SelectScreen &s) override;
  bool stream(const StreamScreen &s) override;
  void codes(const CodeScreen &s) override;
  int input(const InputScreen &s) override;
  int panel(const PanelScreen &s) override;
  const std::string &transcript() const override { return none_; }
  void finish() override { terminal_.close(); }

  // How long a live screen waits for a key before it hands control back for
  // the next pass: the stream follows the line's own pace, the panel (which
  // may not talk to the line between presses) is throttled.
  static constexpr int kStreamWaitMs = 0;
  static constexpr int kPanelWaitMs = 100;

 private:
  int key(int timeoutMs);
  int answerKey(int k);
  bool endConfirmed(const std::string &title);
  void toggleRecording();
  void drawStream(const StreamScreen &s);
  void drawPanel(const PanelScreen &s);

  CursesTerminal terminal_;
  StreamLog &log_;
  std::string none_;

  // Live-data screen state, kept across its refresh passes.
  StreamStats stats_;
  std::vector<bool> marked_;  // items chosen for the plot
  int streamCursor_ = 0;
  bool plotView_ = false;
  std::string note_;  // one-line status (recording started, errors)

  int panelButton_ = 0;
  // Ticks confirmed in each selection list (by its items) this session.
  std::map<std::vector<std::string>, std::vector<bool>> ticksOf_;
};

}  // namespace stdhost
