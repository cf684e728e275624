// Web front end: the screens go to browsers as JSON messages over an event stream and the
// answers come back as small JSON requests (web_service.*). A screen that waits for the
// user blocks the plug-in's thread until the controlling browser answers, however long
// that takes; live data and the active-test panel never wait for a browser. After the
// idle limit without any browser every screen is answered as Back would be, so the
// plug-in ends the session the normal way.
#pragma once

#include "screens.h"
#include "web_hub.h"

#include <memory>
#include <string>
#include <string_view>

namespace webserve {
struct WebAddress;
}

namespace stdhost {

class StreamLog;
class WebService;

// Told of every answer a browser gave that acts on the car (a choice, a yes, a number, a
// button), with the browser's address; and of a session ended for want of a browser
// (address "").
using WebActionHook = void (*)(const char *address, const char *action, void *context);

class WebFrontEnd final : public FrontEnd {
 public:
  WebFrontEnd(StreamLog &log, std::chrono::seconds idleLimit);
  ~WebFrontEnd() override;

  // Starts serving; false and why when the address cannot be had.
  bool start(const webserve::WebAddress &where, std::string &error);
  std::string url() const;
  std::vector<std::string> networkUrls() const;
  // Blocks until a browser opens the page; its preferred language ("" when it names
  // none). Nothing when none came within the idle limit.
  std::optional<std::string> waitForBrowser() { return hub_.waitForBrowser(); }
  void setActionHook(WebActionHook hook, void *context) {
    hook_ = hook;
    hookContext_ = context;
  }

  int message(const MessageScreen &s) override;
  int menu(const MenuScreen &s) override;
  std::optional<std::vector<bool>> select(const SelectScreen &s) override;
  bool stream(const StreamScreen &s) override;
  void codes(const CodeScreen &s) override;
  int input(const InputScreen &s) override;
  int panel(const PanelScreen &s) override;
  const std::string &transcript() const override { return none_; }
  void finish() override;

  // How long a panel pass waits for a button before the plug-in's next pass.
  static constexpr int kPanelWaitMs = 100;

 private:
  // Opens a message for a new screen (or the next pass of this one) in the staging buffer.
  std::string &begin(const char *kind, bool newScreen, std::string_view title);
  void send(const char *waits);
  // The answer to the current screen; nothing when the session was abandoned.
  std::optional<WebAnswer> await(int waitMs = -1);
  void applyLanguage();
  void told(const WebAnswer &a, const std::string &what);
  void toggleRecording();

  StreamLog &log_;
  WebHub hub_;
  std::unique_ptr<WebService> service_;
  int screen_ = 0;
  std::string header_;  // of the current screen
  std::string note_;    // recording started or stopped, on the live-data screen
  bool abandoned_ = false;
  WebActionHook hook_ = nullptr;
  void *hookContext_ = nullptr;
  std::string none_;
};

}  // namespace stdhost
