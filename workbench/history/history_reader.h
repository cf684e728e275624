// Reading the history back: the session list of `vazdiag history` and everything one
// session holds, for `vazdiag report`.
#pragma once

#include "sqlite_db.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace history {

struct SessionSummary {
  std::int64_t id = 0;
  std::string startedAt, endedAt;
  bool endedNormally = false;
  std::string ecu, car, port, language;
  std::string firstField;  // the first identification value, "" when none was shown
  int codes = 0;           // distinct codes in the lists shown
};

struct Code {
  std::string code, text, status;
};
struct CodeList {
  std::string title, shownAt;
  std::vector<Code> codes;
};
struct Clear {
  std::string doneAt, result, sent;
  bool ok = false;
};
struct Test {
  std::string startedAt, name, steps, sent, outcome;
};
struct Notice {
  std::string action, text;
};
struct Series {
  std::string name, unit;
  std::vector<std::pair<double, double>> points;  // engine time in s, value
  std::vector<std::string> texts;                 // the values shown, for items that are not numbers
};

struct SessionRecord {
  SessionSummary summary;
  std::vector<std::pair<std::string, std::string>> identification;
  std::vector<CodeList> codeLists;
  std::vector<Clear> clears;
  std::vector<Test> tests;
  std::vector<Notice> notices;
  std::vector<Series> series;  // in the order the items were first shown
  int passes = 0;
};

// Opens an existing history (read-only use; its schema is brought up to date).
Db openHistory(const std::string &path);

// Newest first; carFilter keeps sessions with an identification value containing it.
std::vector<SessionSummary> listSessions(Db &db, const std::string &carFilter = "");

std::optional<SessionRecord> loadSession(Db &db, std::int64_t id);

}  // namespace history
