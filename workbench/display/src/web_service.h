// The web front end's HTTP side: the page and its assets (compiled in), the event stream
// of screens, and the answers, takeovers and language requests of the browsers. Every
// request has passed the guarded server's checks (token, Host, Origin) first; a request
// that changes anything is taken only from the browser that controls the session.
#pragma once

#include "guarded_server.h"
#include "web_hub.h"

namespace stdhost {

class WebService {
 public:
  explicit WebService(WebHub &hub);
  bool start(const webserve::WebAddress &where, std::string &error) { return server_.start(where, error); }
  void stop() { server_.stop(); }
  std::string url() const { return server_.url(); }
  std::vector<std::string> networkUrls() const { return server_.networkUrls(); }

  // How often an idle event stream is written to, which is also how soon a closed tab
  // is noticed.
  static constexpr int kHeartbeatMs = 1000;

 private:
  void routes();
  WebHub &hub_;
  webserve::GuardedServer server_;
};

// The page's files by path ("/app.js"), compiled in.
struct WebAsset {
  const char *path;
  const char *type;
  const char *body;
};
const WebAsset *findWebAsset(const std::string &path);

}  // namespace stdhost
