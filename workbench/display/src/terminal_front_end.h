// Interactive line front end: draws each screen on a text output and reads the
// user's answer from a text input (standard input and output by default).
#pragma once

#include "screens.h"
#include "workbench_words.h"

#include <string>

namespace stdhost {

// Lines from a file descriptor, with a wait that can time out so that live
// values keep refreshing while the user has not typed anything.
class LineReader {
 public:
  explicit LineReader(int fd) : fd_(fd) {}
  enum class Result { Line, Timeout, End };
  // timeoutMs < 0 waits without limit.
  Result read(std::string &line, int timeoutMs);

 private:
  int fd_;
  std::string buffer_;
  bool eof_ = false;
};

class TerminalFrontEnd final : public FrontEnd {
 public:
  TerminalFrontEnd(int inFd, int outFd) : in_(inFd), outFd_(outFd) {}

  int message(const MessageScreen &s) override;
  int menu(const MenuScreen &s) override;
  std::optional<std::vector<bool>> select(const SelectScreen &s) override;
  bool stream(const StreamScreen &s) override;
  void codes(const CodeScreen &s) override;
  int input(const InputScreen &s) override;
  int panel(const PanelScreen &s) override;
  const std::string &transcript() const override { return none_; }

  // An active-test panel waits this long for a button between passes (a data stream does
  // not wait: the line paces it).
  static constexpr int kRefreshMs = 300;

 private:
  void write(const std::string &text);
  // Prompts and reads one line; false at end of input.
  bool ask(words::Word prompt, std::string &line);

  LineReader in_;
  int outFd_;
  std::string page_;  // the data-stream pass being written
  std::string none_;
};

}  // namespace stdhost
