// The shared state of the web front end.
#include "web_hub.h"

#include "guarded_server.h"

namespace stdhost {

bool answerFits(const std::string &kind, const std::string &a) {
  struct Fit {
    const char *kind;
    const char *actions[4];
  };
  static constexpr Fit kFits[] = {
      {"question", {"yes", "no"}},    {"notice", {"ok"}},
      {"menu", {"choose", "back"}},   {"select", {"tick", "back"}},
      {"stream", {"back", "record"}}, {"codes", {"leave"}},
      {"input", {"enter", "cancel"}}, {"panel", {"press"}},
  };
  for (const Fit &f : kFits)
    if (kind == f.kind)
      for (const char *x : f.actions)
        if (x && a == x) return true;
  return false;
}

void WebHub::publish(int screen, const char *kind) {
  {
    const std::lock_guard l(m_);
    ring_[head_ % kRing].swap(staging_);
    ++head_;
    if (screen != screen_) answer_.reset();  // an answer to an earlier screen is void
    screen_ = screen;
    kind_ = kind;  // a literal: assigning it reuses the room
  }
  changed_.notify_all();
}

bool WebHub::abandoned() {
  const std::lock_guard l(m_);
  return connected_ == 0 && Clock::now() - noBrowserSince_ >= idleLimit_;
}

std::optional<WebAnswer> WebHub::take(int screen, int waitMs) {
  std::unique_lock l(m_);
  const auto until = Clock::now() + std::chrono::milliseconds(waitMs < 0 ? 0 : waitMs);
  for (;;) {
    if (answer_ && answer_->screen == screen) {
      auto a = std::move(answer_);
      answer_.reset();
      return a;
    }
    if (closing_ || (connected_ == 0 && Clock::now() - noBrowserSince_ >= idleLimit_)) return std::nullopt;
    const auto now = Clock::now();
    if (waitMs >= 0 && now >= until) return std::nullopt;
    // Wakes at least once a second to see whether the last browser has been gone too long.
    auto next = now + std::chrono::seconds(1);
    if (waitMs >= 0 && until < next) next = until;
    answered_.wait_until(l, next);
  }
}

std::optional<std::string> WebHub::waitForBrowser() {
  std::unique_lock l(m_);
  while (!sawBrowser_ && !closing_ && Clock::now() - noBrowserSince_ < idleLimit_)
    answered_.wait_for(l, std::chrono::seconds(1));
  if (!sawBrowser_) return std::nullopt;
  return firstLanguage_;
}

std::optional<std::string> WebHub::takeLanguage() {
  const std::lock_guard l(m_);
  auto v = std::move(language_);
  language_.reset();
  return v;
}

std::string WebHub::connect(const std::string &address, const std::string &acceptLanguage) {
  std::string id = webserve::randomToken();
  {
    const std::lock_guard l(m_);
    clients_[id] = {address, true};
    ++connected_;
    if (!sawBrowser_) firstLanguage_ = acceptLanguage;
    sawBrowser_ = true;
    if (controller_.empty()) controller_ = id;
    controlChanged();
  }
  answered_.notify_all();
  return id;
}

void WebHub::disconnect(const std::string &client) {
  const std::lock_guard l(m_);
  auto it = clients_.find(client);
  if (it == clients_.end() || !it->second.connected) return;
  clients_.erase(it);
  if (--connected_ == 0) noBrowserSince_ = Clock::now();
  // Control is free again: the next browser to open the page takes it, or one that asks.
  if (controller_ == client) controller_.clear();
  controlChanged();
}

bool WebHub::takeOver(const std::string &client) {
  const std::lock_guard l(m_);
  if (!clients_.count(client)) return false;
  controller_ = client;
  controlChanged();
  return true;
}

WebHub::Given WebHub::give(const std::string &client, WebAnswer answer) {
  {
    const std::lock_guard l(m_);
    auto it = clients_.find(client);
    if (it == clients_.end()) return Given::Unknown;
    if (!controls(client)) return Given::NotController;
    if (answer.screen != screen_ || !answerFits(kind_, answer.action)) return Given::Stale;
    answer.address = it->second.address;
    answer_ = std::move(answer);
  }
  answered_.notify_all();
  return Given::Taken;
}

bool WebHub::askLanguage(const std::string &client, const std::string &language) {
  const std::lock_guard l(m_);
  if (!controls(client)) return false;
  language_ = language;
  return true;
}

bool WebHub::nextEvents(const std::string &client, std::uint64_t &seen, std::uint64_t &controlSeen, std::string &out,
                        int waitMs) {
  std::unique_lock l(m_);
  changed_.wait_for(l, std::chrono::milliseconds(waitMs),
                    [&] { return closing_ || head_ > seen || controlVersion_ != controlSeen; });
  if (closing_) return false;
  if (controlVersion_ != controlSeen) {
    controlSeen = controlVersion_;
    out += "event: control\ndata: {\"you\":";
    out += controls(client) ? "true" : "false";
    out += ",\"browsers\":" + std::to_string(connected_) + ",\"free\":";
    out += controller_.empty() ? "true" : "false";
    out += "}\n\n";
  }
  // A browser further behind than the ring holds skips to the newest screen: each message
  // is a whole screen.
  if (head_ - seen > kRing) seen = head_ - 1;
  for (; seen < head_; ++seen) {
    out += "data: ";
    out += ring_[seen % kRing];
    out += "\n\n";
  }
  return true;
}

void WebHub::close() {
  {
    const std::lock_guard l(m_);
    closing_ = true;
  }
  changed_.notify_all();
  answered_.notify_all();
}

}  // namespace stdhost
