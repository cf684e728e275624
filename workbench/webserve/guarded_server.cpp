// The token, the checks every request passes, and the server's own thread.
#include "guarded_server.h"

#include <sys/random.h>

#include <cerrno>
#include <stdexcept>

namespace webserve {

std::string randomToken() {
  unsigned char bytes[16];
  std::size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("no random bytes for the access token");
    got += static_cast<std::size_t>(n);
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string t;
  for (unsigned char b : bytes) {
    t += kHex[b >> 4];
    t += kHex[b & 15];
  }
  return t;
}

namespace {

std::string cookieValue(const httplib::Request &req, const std::string &name) {
  const std::string header = req.get_header_value("Cookie");
  std::size_t at = 0;
  while (at < header.size()) {
    std::size_t end = header.find(';', at);
    if (end == std::string::npos) end = header.size();
    std::size_t b = at;
    while (b < end && header[b] == ' ') ++b;
    const std::string part = header.substr(b, end - b);
    if (part.size() > name.size() && part.compare(0, name.size(), name) == 0 && part[name.size()] == '=')
      return part.substr(name.size() + 1);
    at = end + 1;
  }
  return "";
}

void refuse(httplib::Response &res, int status, const char *why) {
  res.status = status;
  res.set_content(why, "text/plain; charset=utf-8");
}

}  // namespace

GuardedServer::GuardedServer() : token_(randomToken()) {
  http_.set_pre_routing_handler(
      [this](const httplib::Request &req, httplib::Response &res) { return check(req, res); });
  http_.set_post_routing_handler([](const httplib::Request &, httplib::Response &res) {
    if (!res.has_header("Content-Security-Policy")) res.set_header("Content-Security-Policy", kPolicy);
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Referrer-Policy", "no-referrer");
    res.set_header("X-Frame-Options", "DENY");
    res.set_header("Cross-Origin-Opener-Policy", "same-origin");
    res.set_header("Cross-Origin-Resource-Policy", "same-origin");
    if (!res.has_header("Cache-Control")) res.set_header("Cache-Control", "no-store");
  });
  // Live pages hold a connection each; a few browsers and their requests fit easily.
  http_.new_task_queue = [] { return new httplib::ThreadPool(24); };
  http_.set_keep_alive_timeout(2);
}

GuardedServer::~GuardedServer() { stop(); }

bool GuardedServer::sameToken(const std::string &presented, const std::string &right) {
  // Every byte of the right token is looked at whatever was presented, so the time taken
  // tells nothing of how much of it matched.
  unsigned diff = presented.size() == right.size() ? 0u : 1u;
  for (std::size_t i = 0; i < right.size(); ++i) {
    const unsigned char p = i < presented.size() ? static_cast<unsigned char>(presented[i]) : 0;
    diff |= static_cast<unsigned>(p ^ static_cast<unsigned char>(right[i]));
  }
  return diff == 0;
}

bool GuardedServer::allowedHost(const std::string &host) const {
  for (const auto &h : hosts_)
    if (h == host) return true;
  return false;
}

httplib::Server::HandlerResponse GuardedServer::check(const httplib::Request &req, httplib::Response &res) {
  using R = httplib::Server::HandlerResponse;
  const std::string host = req.get_header_value("Host");
  if (!allowedHost(host)) {
    refuse(res, 421, "This server answers only under its own address.\n");
    return R::Handled;
  }
  if (req.method != "GET" && req.method != "HEAD") {
    const std::string origin = req.get_header_value("Origin");
    if (origin != "http://" + host) {
      refuse(res, 403, "Requests from other sites are refused.\n");
      return R::Handled;
    }
  }
  const std::string fromUrl = req.method == "GET" && req.path == "/" ? req.get_param_value("t") : "";
  const std::string presented = fromUrl.empty() ? cookieValue(req, cookieName()) : fromUrl;
  if (presented.empty()) {
    refuse(res, 401, "Open the address vazdiag printed (it holds the access token).\n");
    return R::Handled;
  }
  if (!sameToken(presented, token_)) {
    const std::lock_guard one(slow_);
    std::this_thread::sleep_for(kWrongTokenDelay);
    refuse(res, 401, "Wrong access token.\n");
    return R::Handled;
  }
  if (!fromUrl.empty()) {
    // The token leaves the address bar (and the browser's history) for a cookie scripts
    // cannot read and other sites cannot send.
    res.set_header("Set-Cookie", cookieName() + "=" + token_ + "; HttpOnly; SameSite=Strict; Path=/");
    res.set_redirect("/", 303);
    return R::Handled;
  }
  return R::Unhandled;
}

bool GuardedServer::start(const WebAddress &where, std::string &error) {
  bindHost_ = where.host;
  port_ = where.port == 0 ? http_.bind_to_any_port(where.host)
                          : (http_.bind_to_port(where.host, where.port) ? where.port : -1);
  if (port_ <= 0) {
    error = "cannot listen on " + hostPort(where.host, where.port) + " (in use, or not an address of this machine)";
    return false;
  }
  hosts_.clear();
  if (isWildcard(where.host)) {
    for (const auto &a : networkAddresses()) hosts_.push_back(hostPort(a, port_));
    hosts_.push_back(hostPort("127.0.0.1", port_));
    hosts_.push_back(hostPort("::1", port_));
  } else {
    hosts_.push_back(hostPort(where.host, port_));
  }
  if (isLoopback(where.host) || isWildcard(where.host)) hosts_.push_back("localhost:" + std::to_string(port_));
  thread_ = std::thread([this] { http_.listen_after_bind(); });
  return true;
}

void GuardedServer::stop() {
  if (!thread_.joinable()) return;
  http_.stop();
  thread_.join();
}

std::string GuardedServer::url() const {
  const std::string host = isWildcard(bindHost_) ? "127.0.0.1" : bindHost_;
  return "http://" + hostPort(host, port_) + "/?t=" + token_;
}

std::vector<std::string> GuardedServer::networkUrls() const {
  std::vector<std::string> v;
  if (!isWildcard(bindHost_) && isLoopback(bindHost_)) return v;
  if (isWildcard(bindHost_)) {
    for (const auto &a : networkAddresses()) v.push_back("http://" + hostPort(a, port_) + "/");
  } else {
    v.push_back("http://" + hostPort(bindHost_, port_) + "/");
  }
  return v;
}

}  // namespace webserve
