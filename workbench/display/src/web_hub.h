// What the plug-in's thread and the web server's threads share: the screens as JSON
// messages in a ring (a browser that falls behind still gets every pass it can), the
// browsers connected and which one controls, and the answer the plug-in waits for.
// Publishing swaps buffers that keep their room, so a live-data pass costs no heap.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace stdhost {

struct WebAnswer {
  int screen = 0;
  std::string action;  // "choose", "back", "yes", "no", "ok", "tick", "enter", "cancel", "press", "leave", "record"
  long long value = 0;
  std::vector<bool> ticks;
  std::string address;  // the controlling browser's
};

// The kinds of answer each screen takes.
bool answerFits(const std::string &screenKind, const std::string &action);

class WebHub {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::size_t kRing = 256;

  explicit WebHub(std::chrono::seconds idleLimit) : idleLimit_(idleLimit), noBrowserSince_(Clock::now()) {}

  // ---- the plug-in's thread
  // The buffer to write the next message into (emptied, its room kept).
  std::string &staging() {
    staging_.clear();
    return staging_;
  }
  // The message being written.
  std::string &staged() { return staging_; }
  // Makes the staged message the current screen; kind names what it waits for.
  void publish(int screen, const char *kind);
  // The answer to this screen, waiting up to waitMs (< 0: until one comes or the session
  // ends for want of a browser). Nothing when none came.
  std::optional<WebAnswer> take(int screen, int waitMs);
  // No browser has been connected for the idle limit: the session is to end.
  bool abandoned();
  // Waits until a browser connects (or the idle limit passes); its Accept-Language.
  std::optional<std::string> waitForBrowser();
  // A language a browser asked for, once.
  std::optional<std::string> takeLanguage();

  // ---- the server's threads
  struct Client {
    std::string address;
    bool connected = true;
  };
  // A browser opened the event stream: its id. The first one while nobody controls takes
  // control.
  std::string connect(const std::string &address, const std::string &acceptLanguage);
  void disconnect(const std::string &client);
  // Where a browser that just connected starts reading: the current screen.
  std::uint64_t newest() const {
    const std::lock_guard l(m_);
    return head_ ? head_ - 1 : 0;
  }
  // Takes control for a browser that asked for it.
  bool takeOver(const std::string &client);
  enum class Given { Taken, NotController, Stale, Unknown };
  Given give(const std::string &client, WebAnswer answer);
  bool askLanguage(const std::string &client, const std::string &language);
  // Waits for messages after `seen` or a change of control (up to waitMs) and appends what
  // the browser has not had as event-stream text. false when the server is closing.
  bool nextEvents(const std::string &client, std::uint64_t &seen, std::uint64_t &controlSeen, std::string &out,
                  int waitMs);
  void close();

 private:
  bool controls(const std::string &client) const { return !client.empty() && client == controller_; }
  void controlChanged() {
    ++controlVersion_;
    changed_.notify_all();
  }

  std::chrono::seconds idleLimit_;
  std::string staging_;

  mutable std::mutex m_;
  std::condition_variable changed_;   // new message, control or close: the event streams
  std::condition_variable answered_;  // an answer or a browser: the plug-in
  std::array<std::string, kRing> ring_;
  std::uint64_t head_ = 0;  // messages published so far
  int screen_ = 0;
  std::string kind_;
  std::optional<WebAnswer> answer_;
  std::map<std::string, Client> clients_;
  int connected_ = 0;
  Clock::time_point noBrowserSince_;
  std::string controller_;
  std::uint64_t controlVersion_ = 1;
  std::string firstLanguage_;
  bool sawBrowser_ = false;
  std::optional<std::string> language_;
  bool closing_ = false;
};

}  // namespace stdhost
