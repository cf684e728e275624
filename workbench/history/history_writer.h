// Writes one session into the history as it goes: every call is its own short
// transaction, so whatever was shown before a crash or a pulled cable is kept. Live-data
// passes are the exception: they are kept in reused buffers and committed together at
// most once a second, so a crash loses at most that second and a pass costs no
// transaction and no heap allocation of its own.
#pragma once

#include "sqlite_db.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace history {

using Field = std::pair<std::string, std::string>;  // name or code text, value or status

// One item of a live-data pass as the display host read it (std_observer.h).
struct PassItem {
  std::string shown;  // the name as shown, unit and all: the item's key within the session
  std::string name, unit;
  std::string value;
  std::optional<double> number;
};

struct SessionInfo {
  std::string ecu;  // as named on the command line: "m154"
  int ecuType = 0;
  std::string car;   // the simulated car, "" on a port
  std::string port;  // the serial device, "" for a simulated car
  std::string language = "en";
  std::string station;  // the bay that records it, "" = unnamed
};

class HistoryWriter {
 public:
  // Opens or creates the file (and its directory) and brings its schema up to date. A file
  // that fails its check is moved aside (movedAside() says where) and a new one started.
  explicit HistoryWriter(const std::string &path);
  ~HistoryWriter();
  HistoryWriter(const HistoryWriter &) = delete;
  HistoryWriter &operator=(const HistoryWriter &) = delete;

  // Where a damaged file was moved, and what was wrong with it; "" when the file was sound.
  const std::string &movedAside() const { return movedAside_; }
  const std::string &damage() const { return damage_; }

  void beginSession(const SessionInfo &info);
  std::int64_t session() const { return session_; }
  // The automatic detection found this unit: the session is recorded under it.
  void unitFound(const std::string &ecu, int ecuType);
  void identification(const std::vector<Field> &fields);
  // codes: code text as shown ("P0102 Mass air flow ...") and status.
  void codeList(const std::string &title, const std::vector<Field> &codes);
  void clear(bool ok, const std::string &result, const std::string &sent);
  std::int64_t startTest(const std::string &name);
  void updateTest(std::int64_t test, const std::string &steps, const std::string &sent, const std::string &outcome);
  void notice(const std::string &action, const std::string &text);
  // One live-data pass: the line's clock and its items.
  void pass(double engineMs, std::span<const PassItem> items);
  // Commits the passes not yet written.
  void flush();
  // The session ended: the normal way, or on a communication failure with the unit. A
  // session never ended stays marked as cut short.
  void endSession(bool commFailure = false);

  Db &db() { return db_; }

 private:
  void touch();  // the session's end moves to now inside every write
  std::int64_t itemId(const PassItem &item);

  std::string movedAside_, damage_;
  Db db_;
  std::int64_t session_ = 0;
  std::map<std::string, std::int64_t, std::less<>> items_;  // shown name -> items.id of this session
  Statement touch_, pass_, value_;

  // The passes not yet committed; the buffers keep their room from batch to batch.
  struct PendingPass {
    double engineMs;
    std::size_t values;  // how many of the values below are this pass's
  };
  struct PendingValue {
    std::int64_t item;
    std::string value;  // a value text is short: kept in place, no allocation of its own
    std::optional<double> number;
  };
  std::vector<PendingPass> passes_;
  std::vector<PendingValue> values_;
  std::size_t valueCount_ = 0;  // values_ in use
  std::chrono::steady_clock::time_point batchStart_;
};

// Local time as "YYYY-MM-DD HH:MM:SS".
std::string now();

}  // namespace history
