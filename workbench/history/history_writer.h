// Writes one session into the history as it goes: every call is its own short
// transaction, so whatever was shown before a crash or a pulled cable is kept.
#pragma once

#include "sqlite_db.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace history {

using Field = std::pair<std::string, std::string>;  // name or code text, value or status

struct SessionInfo {
  std::string ecu;  // as named on the command line: "m154"
  int ecuType = 0;
  std::string car;   // the simulated car, "" on a port
  std::string port;  // the serial device, "" for a simulated car
  std::string language = "en";
};

class HistoryWriter {
 public:
  // Opens or creates the file (and its directory) and brings its schema up to date.
  explicit HistoryWriter(const std::string &path);

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
  // One live-data pass: the line's clock and each item's name (with unit) and value text.
  void pass(double engineMs, const std::vector<Field> &items);
  // The session ended the normal way; a session never ended stays marked as cut short.
  void endSession();

  Db &db() { return db_; }

 private:
  void touch();  // the session's end moves to now inside every write
  std::int64_t itemId(const std::string &shownName);

  Db db_;
  std::int64_t session_ = 0;
  std::map<std::string, std::int64_t> items_;  // shown name -> items.id of this session
  Statement touch_, pass_, value_;
};

// "Coolant temperature, °C" -> {"Coolant temperature", "°C"}.
Field splitUnit(const std::string &shownName);
// Local time as "YYYY-MM-DD HH:MM:SS".
std::string now();

}  // namespace history
