// Reading the history back: the session list of `vazdiag history` and everything one
// session holds, for `vazdiag report`. Live data is read as a stream and kept only as far
// as a chart draws it, so a report of a long recording costs the memory of a short one.
#pragma once

#include "sqlite_db.h"
#include "svg_chart.h"

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
  bool commFailure = false;  // ended, on a communication failure with the control unit
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
  ChartData chart;                 // engine time in s, value; thinned to the chart's columns
  std::vector<std::string> texts;  // the distinct values shown, for items that are not numbers
  bool moreTexts = false;          // more distinct values than kept
};

// Distinct shown values kept per item: beyond this a list of words says nothing more.
inline constexpr std::size_t kMaxTexts = 32;

struct SessionRecord {
  SessionSummary summary;
  std::vector<std::pair<std::string, std::string>> identification;
  std::vector<CodeList> codeLists;
  std::vector<Clear> clears;
  std::vector<Test> tests;
  std::vector<Notice> notices;
  std::vector<Series> series;  // in the order the items were first shown
  std::int64_t passes = 0;
};

// Opens an existing history for reading. The file is opened read-only and left as it is;
// only a file of an earlier schema is brought up to date first (when it can be written:
// else it is read as it stands). A missing file throws NoHistory; a file that fails its
// check throws DbError.
Db openHistory(const std::string &path);

class NoHistory : public DbError {
 public:
  using DbError::DbError;
};

// Newest first; carFilter keeps sessions with an identification value containing it.
std::vector<SessionSummary> listSessions(Db &db, const std::string &carFilter = "");

std::optional<SessionRecord> loadSession(Db &db, std::int64_t id);

}  // namespace history
