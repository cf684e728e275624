// Turns the screens of a session (std_observer.h events) into history records. It knows
// the session's shape, not its words, so it works in every language: the menu at the top of
// the path is the function menu; a choice from any other menu is a test step; a clear is
// found on the wire. Live-data passes are kept while recording is on, or all of them with
// recordAll.
#pragma once

#include "history_writer.h"
#include "std_observer.h"
#include "wire_frames.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace history {

struct LineAccess {
  std::function<double()> clockMs;  // the line's clock
  const FrameLog &frames;           // what went over the wire
};

class HistoryRecorder {
 public:
  HistoryRecorder(HistoryWriter &writer, LineAccess line, bool recordAll);
  void shown(const StdShown &e);
  // The session is over: the last test gets what it sent; normal marks an end that was not
  // a crash, commFailure one on a communication failure with the unit.
  void finish(bool normal, bool commFailure = false);

 private:
  void startAction(const StdShown &menu);
  void closeTest();
  std::vector<Field> lines(const StdShown &e) const;
  // The pass's items in the reused buffer below: a live-data pass allocates nothing.
  std::span<const PassItem> passItems(const StdShown &e);
  void saveTest();

  HistoryWriter &writer_;
  LineAccess line_;
  bool recordAll_;

  std::vector<std::string> list_;  // entries of the first menu below the function menu
  std::string action_;             // the function chosen last
  std::string parent_;             // the list entry a deeper step belongs to
  bool sawIdentification_ = false, confirmed_ = false, clearSaved_ = false;
  std::uint64_t actionFrames_ = 0;  // frame mark when the action began

  std::int64_t test_ = 0;  // the open test step, 0 = none
  std::uint64_t testFrames_ = 0;
  std::vector<std::string> steps_;
  std::string outcome_;
  std::vector<PassItem> passItems_;
};

}  // namespace history
