// An HTTP server on one address that answers only the browser holding its token. The
// token (128 random bits) comes in the printed address once and moves into an HttpOnly,
// SameSite=Strict cookie; every request is checked before any route sees it:
//   - Host must be the server's own address (a DNS-rebinding page names another) -> 421;
//   - a state-changing request (POST) must carry the server's own Origin -> 403;
//   - the token must be present -> 401, and right: a wrong one is answered slowly, one
//     at a time, so it cannot be guessed -> 401.
// Every answer carries a strict Content-Security-Policy and no CORS header.
#pragma once

#include "web_address.h"

#include <httplib.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace webserve {

// 128 random bits as 32 hex digits.
std::string randomToken();

class GuardedServer {
 public:
  GuardedServer();
  ~GuardedServer();
  GuardedServer(const GuardedServer &) = delete;
  GuardedServer &operator=(const GuardedServer &) = delete;

  // Routes go here before start().
  httplib::Server &http() { return http_; }

  // Binds and starts serving on its own threads. false and why when it cannot bind.
  bool start(const WebAddress &where, std::string &error);
  void stop();

  int port() const { return port_; }
  // The address to open, token included.
  std::string url() const;
  // Where else a server bound to every interface can be reached ("http://192.168.1.5:8080/").
  std::vector<std::string> networkUrls() const;

  // How long a wrong token waits for its answer.
  static constexpr std::chrono::milliseconds kWrongTokenDelay{1000};
  // The Content-Security-Policy of the pages: scripts, styles and connections from this
  // server only, nothing inline, no frames, no forms elsewhere.
  static constexpr const char *kPolicy =
      "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; connect-src 'self'; "
      "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

  // Constant-time comparison of a presented token with the right one.
  static bool sameToken(const std::string &presented, const std::string &right);

 private:
  httplib::Server::HandlerResponse check(const httplib::Request &req, httplib::Response &res);
  bool allowedHost(const std::string &host) const;
  std::string cookieName() const { return "vazdiag_" + std::to_string(port_); }

  httplib::Server http_;
  std::thread thread_;
  std::string token_;
  std::string bindHost_;
  int port_ = 0;
  std::vector<std::string> hosts_;  // Host header values that name this server
  std::mutex slow_;                 // wrong tokens wait in line behind it
};

}  // namespace webserve
