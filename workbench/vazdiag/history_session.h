// Keeps the session vazdiag runs in the history: opens the file, marks the session's
// start, listens to the screens through the display host's observer and marks a normal
// end. A history that fails is reported once and dropped; the session itself goes on.
#pragma once

#include "history_options.h"
#include "workbench.h"

#include <memory>
#include <string>

namespace vazdiag {

class SessionHistory {
 public:
  // Throws history::DbError when the file cannot be opened.
  SessionHistory(const HistoryOptions &options, const SessionSetup &setup, Workbench &bench);
  ~SessionHistory();
  SessionHistory(const SessionHistory &) = delete;
  SessionHistory &operator=(const SessionHistory &) = delete;
  // The session ended (not a crash): the normal way, or on a communication failure.
  void finish(bool commFailure = false);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vazdiag
