// The screens as JSON messages, and the answers the plug-in's thread waits for.
#include "web_front_end.h"

#include "display_session.h"
#include "json_text.h"
#include "language_choice.h"
#include "line_clock.h"
#include "stream_log.h"
#include "ui_words.h"
#include "vaz_contracts.h"
#include "web_service.h"

#include <charconv>
#include <chrono>
#include <climits>
#include <thread>

namespace stdhost {
namespace {

using webserve::appendJsonInt;
using webserve::appendJsonString;

void appendLines(std::string &out, const char *key, const std::vector<NameValue> &lines) {
  out += ",\"";
  out += key;
  out += "\":[";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) out += ',';
    out += '[';
    appendJsonString(out, lines[i].name);
    out += ',';
    appendJsonString(out, lines[i].value);
    out += ']';
  }
  out += ']';
}

// Live-data lines as the display host read them: [shown name, value, name, unit, number or
// null]; identification fields keep their whole name and no unit.
void appendStreamLines(std::string &out, const StreamScreen &s) {
  out += ",\"lines\":[";
  for (std::size_t i = 0; i < s.lines.size(); ++i) {
    const LiveItem &item = s.items[i];
    if (i) out += ',';
    out += '[';
    appendJsonString(out, s.lines[i].name);
    out += ',';
    appendJsonString(out, s.lines[i].value);
    out += ',';
    appendJsonString(out, s.identification ? s.lines[i].name : item.label.name);
    out += ',';
    appendJsonString(out, s.identification ? "" : item.label.unit);
    out += ',';
    if (char buf[32]; item.number && !s.identification) {
      const auto r = std::to_chars(buf, buf + sizeof buf, *item.number);
      out.append(buf, r.ptr);
    } else {
      out += "null";
    }
    out += ']';
  }
  out += ']';
}

void appendTexts(std::string &out, const char *key, const std::vector<std::string> &texts) {
  out += ",\"";
  out += key;
  out += "\":[";
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i) out += ',';
    appendJsonString(out, texts[i]);
  }
  out += ']';
}

void appendField(std::string &out, const char *key, const std::string &text) {
  out += ",\"";
  out += key;
  out += "\":";
  appendJsonString(out, text);
}

long long msOf(std::chrono::system_clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
}

}  // namespace

WebFrontEnd::WebFrontEnd(StreamLog &log, std::chrono::seconds idleLimit)
    : log_(log), hub_(idleLimit), service_(std::make_unique<WebService>(hub_)) {}

WebFrontEnd::~WebFrontEnd() {
  hub_.close();
  service_.reset();  // the server's threads end before the hub they read goes
}

bool WebFrontEnd::start(const webserve::WebAddress &where, std::string &error) { return service_->start(where, error); }

std::string WebFrontEnd::url() const { return service_->url(); }

std::vector<std::string> WebFrontEnd::networkUrls() const { return service_->networkUrls(); }

std::string &WebFrontEnd::begin(const char *kind, bool newScreen, std::string_view title) {
  if (newScreen) {
    ++screen_;
    applyLanguage();
    header_ = session().path().header(std::string(title));
  }
  std::string &out = hub_.staging();
  out += "{\"id\":";
  appendJsonInt(out, screen_);
  out += ",\"kind\":\"";
  out += kind;
  out += "\",\"lang\":\"";
  out += languageCode(session().library().language());
  out += '"';
  appendField(out, "header", header_);
  return out;
}

void WebFrontEnd::send(const char *waits) {
  hub_.staged() += '}';
  hub_.publish(screen_, waits);
}

void WebFrontEnd::applyLanguage() {
  // Asked for by the controlling browser: the texts of the screens from the next one on.
  auto language = hub_.takeLanguage();
  if (!language) return;
  if (auto l = parseLanguage(*language)) {
    std::string ignored;
    session().library().chooseLanguage(*l, ignored);
  }
}

std::optional<WebAnswer> WebFrontEnd::await(int waitMs) {
  if (abandoned_) return std::nullopt;
  auto a = hub_.take(screen_, waitMs);
  if (!a && hub_.abandoned()) {
    abandoned_ = true;
    if (hook_) hook_("", "no browser for the idle limit: the session was ended", hookContext_);
  }
  return a;
}

void WebFrontEnd::told(const WebAnswer &a, const std::string &what) {
  if (hook_) hook_(a.address.c_str(), what.c_str(), hookContext_);
}

int WebFrontEnd::message(const MessageScreen &s) {
  const QuestionStyle *q = questionStyle(s.style);
  const bool wait = s.style == VAZ_BOX_NOTICE;  // shown while a request runs: nothing to answer
  std::string &out = begin("message", true, s.title);
  out += ",\"style\":";
  appendJsonInt(out, s.style);
  out += q ? ",\"question\":true" : wait ? ",\"wait\":true" : "";
  appendField(out, "title", s.title);
  appendField(out, "text", s.text);
  if (s.commFailure) appendField(out, "hint", say(Word::CommFailureHint));
  send(q ? "question" : wait ? "none" : "notice");
  if (wait) return 0;
  for (;;) {
    auto a = await();
    if (!a) return q ? q->no : 0;
    if (!q) return 0;
    if (a->action == "yes") told(*a, "yes: " + s.title);
    return a->action == "yes" ? q->yes : q->no;
  }
}

int WebFrontEnd::menu(const MenuScreen &s) {
  std::string &out = begin("menu", true, s.title);
  appendField(out, "title", s.title);
  appendTexts(out, "entries", s.entries);
  out += ",\"preselect\":";
  appendJsonInt(out, s.preselect);
  send("menu");
  for (;;) {
    auto a = await();
    if (!a || a->action == "back") return -1;
    if (a->value >= 0 && a->value < static_cast<long long>(s.entries.size())) {
      told(*a, "choose: " + s.entries[static_cast<std::size_t>(a->value)]);
      return static_cast<int>(a->value);
    }
  }
}

std::optional<std::vector<bool>> WebFrontEnd::select(const SelectScreen &s) {
  std::string &out = begin("select", true, say(Word::SelectItems));
  appendTexts(out, "items", s.items);
  out += ",\"ticked\":[";
  for (std::size_t i = 0; i < s.ticked.size(); ++i) out += i ? (s.ticked[i] ? ",1" : ",0") : (s.ticked[i] ? "1" : "0");
  out += ']';
  send("select");
  for (;;) {
    auto a = await();
    if (!a || a->action == "back") return std::nullopt;
    if (a->ticks.size() == s.items.size()) return a->ticks;
  }
}

void WebFrontEnd::toggleRecording() {
  if (log_.active()) {
    note_ = std::string(say(Word::RecordingStoppedNote)) + " " + std::to_string(log_.rows()) + " " + say(Word::RowsIn) +
            " " + log_.currentFile();
    log_.stop();
    return;
  }
  std::string error;
  const std::string name = StreamLog::defaultName();
  note_ = log_.start(name, error) ? say(Word::RecordingTo) + (" " + name) : error;
}

bool WebFrontEnd::stream(const StreamScreen &s) {
  if (s.pass == 1) note_.clear();
  std::string &out = begin("stream", s.pass == 1, say(Word::LiveData));
  out += ",\"pass\":";
  appendJsonInt(out, s.pass);
  out += s.identification ? ",\"ident\":true" : "";
  out += log_.active() ? ",\"rec\":true" : "";
  out += ",\"t\":";
  appendJsonInt(out, msOf(stampTime()));
  out += ",\"w\":";
  appendJsonInt(out, msOf(std::chrono::system_clock::now()));
  if (!note_.empty()) appendField(out, "note", note_);
  appendStreamLines(out, s);
  send("stream");
  // Live data never waits: an answer already given is taken, else the next pass runs.
  auto a = await(0);
  if (abandoned_) return true;
  if (!a) return false;
  if (a->action == "record" && !s.identification) toggleRecording();
  return a->action == "back";
}

void WebFrontEnd::codes(const CodeScreen &s) {
  std::string &out = begin("codes", true, say(Word::TroubleCodes));
  appendLines(out, "codes", s.codes);
  send("codes");
  await();
}

int WebFrontEnd::input(const InputScreen &s) {
  std::string &out = begin("input", true, s.title);
  appendField(out, "title", s.title);
  appendField(out, "prompt", s.prompt);
  // The box names the test it is for: the entry chosen last.
  appendField(out, "test", session().path().lastChosen());
  send("input");
  auto a = await();
  if (!a || a->action != "enter" || a->value < kLowestNumber || a->value > INT_MAX) return kNumberCancelled;
  told(*a, "enter " + std::to_string(a->value) + ": " + session().path().lastChosen());
  return static_cast<int>(a->value);
}

int WebFrontEnd::panel(const PanelScreen &s) {
  const int last = static_cast<int>(s.buttons.size()) - 1;
  std::string &out = begin("panel", s.pass == 1, say(Word::ActiveTest));
  out += ",\"pass\":";
  appendJsonInt(out, s.pass);
  appendTexts(out, "buttons", s.buttons);
  appendLines(out, "lines", s.lines);
  send("panel");
  auto a = await(kPanelWaitMs);
  if (abandoned_) return last;  // the finishing button, so the panel ends
  if (!a || a->value < 0 || a->value > last) return -1;
  told(*a, "press: " + s.buttons[static_cast<std::size_t>(a->value)]);
  return static_cast<int>(a->value);
}

void WebFrontEnd::finish() {
  std::string &out = begin("ended", true, "");
  appendField(out, "text", say(abandoned_ ? Word::NoBrowserConnected : Word::PageCanBeClosed));
  send("none");
  // The browsers get the last screen before the server goes.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  hub_.close();
  service_->stop();
}

}  // namespace stdhost
