// Serial and TCP ways to an ELM327 adapter.
#include "elm327_transport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>

namespace vci {
namespace {

constexpr double kConnectTimeoutMs = 3000;
constexpr double kHostRateTolerance = 0.02;  // what a UART still reads

class SerialTransport final : public AdapterTransport {
 public:
  SerialTransport(std::string where, PortSettings settings, std::unique_ptr<SerialPort> port)
      : where_(std::move(where)), settings_(std::move(settings)), port_(std::move(port)) {}

  bool write(std::string_view text, std::string &error) override {
    if (!port_) return lost(error);
    return port_->write(reinterpret_cast<const std::uint8_t *>(text.data()), text.size(), error);
  }
  Read read(char *buf, std::size_t cap, std::size_t &got, double timeout_ms, std::string &error) override {
    got = 0;
    if (!port_) return lost(error), Read::Lost;
    switch (port_->read(reinterpret_cast<std::uint8_t *>(buf), cap, got, timeout_ms, error)) {
      case SerialPort::Read::Data: return Read::Data;
      case SerialPort::Read::Timeout: return Read::Timeout;
      case SerialPort::Read::Lost: break;
    }
    port_.reset();
    return Read::Lost;
  }
  std::size_t discard_input() override { return port_ ? port_->discard_input() : 0; }
  bool set_rate(double baud, std::string &error) override {
    if (!port_) return lost(error);
    double actual = 0;
    std::string how;
    if (!port_->set_rate(baud, actual, how, error)) return false;
    if (std::fabs(actual - baud) > baud * kHostRateTolerance) {
      error = "the port cannot make " + std::to_string(static_cast<long>(baud)) + " baud (it gives " +
              std::to_string(static_cast<long>(actual)) + ")";
      return false;
    }
    rate_ = baud;
    return true;
  }
  bool reconnect(std::string &error) override {
    port_.reset();
    port_ = SerialPort::open(where_, settings_, error);
    return port_ && (rate_ <= 0 || set_rate(rate_, error));
  }
  bool network() const override { return false; }
  const std::string &where() const override { return where_; }
  std::string open_notes() const override { return port_ ? port_->open_notes() : std::string(); }

 private:
  static bool lost(std::string &error) {
    error = "the adapter's port is gone";
    return false;
  }
  std::string where_;
  PortSettings settings_;
  std::unique_ptr<SerialPort> port_;
  double rate_ = 0;
};

class TcpTransport final : public AdapterTransport {
 public:
  explicit TcpTransport(std::string where) : where_(std::move(where)) {}
  ~TcpTransport() override { close_fd(); }

  bool connect_now(std::string &error) {
    close_fd();
    // "tcp://HOST:PORT", HOST an address (IPv6 in brackets); no name is looked up, so
    // only the address the user gave is ever contacted.
    std::string rest = where_.substr(6);
    std::string host, port;
    if (!rest.empty() && rest[0] == '[') {
      const auto close = rest.find("]:");
      if (close == std::string::npos) return bad(error);
      host = rest.substr(1, close - 1);
      port = rest.substr(close + 2);
    } else {
      const auto colon = rest.rfind(':');
      if (colon == std::string::npos) return bad(error);
      host = rest.substr(0, colon);
      port = rest.substr(colon + 1);
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo *found = nullptr;
    if (host.empty() || port.empty() || getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || !found)
      return bad(error);
    fd_ = socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) {
      freeaddrinfo(found);
      error = std::string("no socket: ") + std::strerror(errno);
      return false;
    }
    int r = ::connect(fd_, found->ai_addr, found->ai_addrlen);
    freeaddrinfo(found);
    if (r != 0 && errno != EINPROGRESS) return failed(error, errno);
    pollfd p{fd_, POLLOUT, 0};
    r = poll(&p, 1, static_cast<int>(kConnectTimeoutMs));
    if (r == 0) {
      close_fd();
      error = "no connection to " + where_ + " within 3 s: is this computer on the adapter's Wi-Fi network?";
      return false;
    }
    int so_error = 0;
    socklen_t len = sizeof so_error;
    getsockopt(fd_, SOL_SOCKET, SO_ERROR, &so_error, &len);
    if (so_error != 0) return failed(error, so_error);
    const int one = 1;
    // Each command line is a few bytes the adapter waits for: none may sit in a buffer.
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return true;
  }

  bool write(std::string_view text, std::string &error) override {
    while (!text.empty()) {
      if (fd_ < 0) return dropped(error);
      const ssize_t n = ::send(fd_, text.data(), text.size(), MSG_NOSIGNAL);
      if (n < 0 && errno == EAGAIN) {
        pollfd p{fd_, POLLOUT, 0};
        poll(&p, 1, 100);
        continue;
      }
      if (n <= 0) return dropped(error);
      text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }
  Read read(char *buf, std::size_t cap, std::size_t &got, double timeout_ms, std::string &error) override {
    got = 0;
    if (fd_ < 0) return dropped(error), Read::Lost;
    pollfd p{fd_, POLLIN, 0};
    const int r = poll(&p, 1, timeout_ms <= 0 ? 0 : static_cast<int>(std::ceil(timeout_ms)));
    if (r == 0) return Read::Timeout;
    if (r < 0) return errno == EINTR ? Read::Timeout : (dropped(error), Read::Lost);
    const ssize_t n = ::recv(fd_, buf, cap, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return Read::Timeout;
    if (n <= 0) return dropped(error), Read::Lost;
    got = static_cast<std::size_t>(n);
    return Read::Data;
  }
  std::size_t discard_input() override {
    std::size_t total = 0;
    char buf[256];
    while (fd_ >= 0) {
      const ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
      if (n <= 0) break;
      total += static_cast<std::size_t>(n);
    }
    return total;
  }
  bool set_rate(double, std::string &) override { return true; }
  bool reconnect(std::string &error) override { return connect_now(error); }
  bool network() const override { return true; }
  const std::string &where() const override { return where_; }

 private:
  bool bad(std::string &error) {
    error = "'" + where_ + "' is no address: tcp://ADDRESS:PORT, such as tcp://192.168.0.10:35000";
    return false;
  }
  bool failed(std::string &error, int e) {
    close_fd();
    error = "no connection to " + where_ + ": " + std::strerror(e);
    return false;
  }
  bool dropped(std::string &error) {
    close_fd();
    error = "the adapter at " + where_ + " dropped the connection";
    return false;
  }
  void close_fd() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  std::string where_;
  int fd_ = -1;
};

}  // namespace

bool is_tcp_address(std::string_view where) { return where.substr(0, 6) == "tcp://"; }

std::unique_ptr<AdapterTransport> open_transport(const std::string &where, const PortSettings &settings,
                                                 std::string &error) {
  if (is_tcp_address(where)) {
    auto t = std::make_unique<TcpTransport>(where);
    if (!t->connect_now(error)) return nullptr;
    return t;
  }
  auto port = SerialPort::open(where, settings, error);
  if (!port) return nullptr;
  return std::make_unique<SerialTransport>(where, settings, std::move(port));
}

}  // namespace vci
