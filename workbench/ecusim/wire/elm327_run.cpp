// The fake adapter's options and its loop over a pty or a loopback TCP socket.
#include "elm327_run.h"

#include "line_rate.h"
#include "link_guard.h"
#include "pty_port.h"
#include "unique_fd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>

namespace ecusim::wire {
namespace {

bool number(const std::string &s, long lo, long hi, long &out) {
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && out >= lo && out <= hi;
}

// The host side: the pty master, or the accepted TCP connection.
class HostSide {
 public:
  virtual ~HostSide() = default;
  virtual int fd() const = 0;  // what to poll: the connection, or the listener without one
  virtual bool connected() const = 0;
  virtual void accept_one(WireLog &log, double t) = 0;
  // Reads what is there; false when the host side is gone.
  virtual bool read(std::string &out) = 0;
  virtual void write(const std::string &text) = 0;
  virtual void drop() = 0;
  // One character's time (0: a network connection), and whether the line is at the rate.
  virtual double char_ms() const = 0;
  virtual bool at_rate(double baud) const = 0;
};

class PtySide final : public HostSide {
 public:
  explicit PtySide(WirePort port) : port_(std::move(port)) {}
  int fd() const override { return port_.fd(); }
  bool connected() const override { return true; }
  void accept_one(WireLog &, double) override {}
  bool read(std::string &out) override {
    while (auto b = port_.read_byte()) out += static_cast<char>(b->value);
    return !port_.failed();
  }
  void write(const std::string &text) override {
    for (char c : text) port_.write_byte(static_cast<std::uint8_t>(c));
  }
  void drop() override {}
  double char_ms() const override {
    const double r = port_.rate();
    return 10 * 1000.0 / (r > 50 ? r : 38400);
  }
  bool at_rate(double baud) const override { return std::fabs(port_.rate() - baud) <= baud * kBaudTolerance; }
  const std::string &path() const { return port_.path(); }

 private:
  WirePort port_;
};

class TcpSide final : public HostSide {
 public:
  explicit TcpSide(UniqueFd listener) : listener_(std::move(listener)) {}
  int fd() const override { return client_ ? client_.get() : listener_.get(); }
  bool connected() const override { return static_cast<bool>(client_); }
  void accept_one(WireLog &log, double t) override {
    const int c = ::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (c < 0) return;
    client_ = UniqueFd(c);
    const int one = 1;
    setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    log.line(t, "adapter: connection accepted");
  }
  bool read(std::string &out) override {
    char buf[512];
    while (true) {
      const ssize_t n = ::recv(client_.get(), buf, sizeof buf, MSG_DONTWAIT);
      if (n > 0) {
        out.append(buf, static_cast<std::size_t>(n));
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
      return false;
    }
  }
  void write(const std::string &text) override {
    if (client_) ::send(client_.get(), text.data(), text.size(), MSG_NOSIGNAL);
  }
  void drop() override { client_ = UniqueFd(); }
  double char_ms() const override { return 0; }
  bool at_rate(double) const override { return true; }

 private:
  UniqueFd listener_;
  UniqueFd client_;
};

std::optional<UniqueFd> listen_loopback(int port, int &bound, std::string &error) {
  UniqueFd s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!s) {
    error = std::string("no socket: ") + std::strerror(errno);
    return std::nullopt;
  }
  const int one = 1;
  setsockopt(s.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(s.get(), reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(s.get(), 1) != 0) {
    error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
    return std::nullopt;
  }
  socklen_t len = sizeof a;
  getsockname(s.get(), reinterpret_cast<sockaddr *>(&a), &len);
  bound = ntohs(a.sin_port);
  return s;
}

}  // namespace

const char *const kAdapterUsage =
    "  --adapter elm327     an ELM327 adapter in front of the (Bosch) ECU: the host speaks\n"
    "                       its AT commands on the pty, or with --tcp on the loopback address\n"
    "  --tcp PORT           with --adapter: listen on 127.0.0.1:PORT instead of a pty (0: a\n"
    "                       free port); prints tcp://127.0.0.1:PORT\n"
    "  --adapter-version TEXT   its ATI and reset banner (default \"ELM327 v1.5\")\n"
    "  --adapter-lacks LIST     AT commands it answers with ?, comma-separated (FI,SW,WM,AL,\n"
    "                       ST,AT,PC), and \"digit\" for the responses-expected digit\n"
    "  --adapter-forgets-al     a protocol change (ATSP) clears ATAL\n"
    "  --adapter-buffer N       print buffer of N characters (BUFFER FULL beyond)\n"
    "  --adapter-host-baud B    the host rate it answers at on the pty (default 38400)\n"
    "  --adapter-reset-after N  restarts itself at the N-th request\n"
    "  --adapter-drop-after N   drops the TCP connection at the N-th request\n"
    "  --ignition off       the ECU never answers (the adapter's fast init fails)\n";

bool take_adapter_options(std::vector<std::string> &args, AdapterOptions &out, std::string &error) {
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    const bool ours = a == "--adapter" || a == "--tcp" || a.rfind("--adapter-", 0) == 0 || a == "--ignition";
    if (!ours) {
      rest.push_back(a);
      continue;
    }
    if (a == "--adapter-forgets-al") {
      out.variant.forgets_al = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      error = "option " + a + " needs a value";
      return false;
    }
    const std::string v = args[++i];
    long n = 0;
    if (a == "--adapter") {
      if (v != "elm327") {
        error = "--adapter is elm327";
        return false;
      }
      out.enabled = true;
    } else if (a == "--tcp") {
      if (!number(v, 0, 65535, n)) {
        error = "--tcp needs a port number 0..65535";
        return false;
      }
      out.tcp_port = static_cast<int>(n);
    } else if (a == "--adapter-version") {
      out.variant.version = v;
    } else if (a == "--adapter-lacks") {
      std::size_t at = 0;
      while (at <= v.size()) {
        std::size_t comma = v.find(',', at);
        if (comma == std::string::npos) comma = v.size();
        std::string item = v.substr(at, comma - at);
        if (item.rfind("AT", 0) == 0 && item != "AT") item.erase(0, 2);
        if (!item.empty()) out.variant.lacks.insert(item);
        at = comma + 1;
      }
    } else if (a == "--adapter-buffer" || a == "--adapter-reset-after" || a == "--adapter-drop-after" ||
               a == "--adapter-host-baud") {
      if (!number(v, 1, 4000000, n)) {
        error = a + " needs a positive number";
        return false;
      }
      if (a == "--adapter-buffer") out.variant.buffer = static_cast<std::size_t>(n);
      if (a == "--adapter-reset-after") out.variant.reset_after = n;
      if (a == "--adapter-drop-after") out.variant.drop_after = n;
      if (a == "--adapter-host-baud") out.variant.host_baud = static_cast<double>(n);
    } else if (a == "--ignition") {
      if (v != "on" && v != "off") {
        error = "--ignition is on or off";
        return false;
      }
      out.variant.ignition = v == "on";
    } else {
      error = "unknown option '" + a + "'";
      return false;
    }
  }
  if (!out.enabled && (out.tcp_port || rest.size() != args.size())) {
    error = "--tcp, --ignition and the --adapter-... options need --adapter elm327";
    return false;
  }
  args = rest;
  return true;
}

int run_adapter(const AdapterOptions &options, ModelFront &front, WireLog &log, const WireClock &clock,
                const std::string &link, const volatile std::sig_atomic_t &stop, const sigset_t *poll_mask) {
  std::string error;
  std::unique_ptr<HostSide> host;
  std::string where;
  if (options.tcp_port) {
    int bound = 0;
    auto listener = listen_loopback(*options.tcp_port, bound, error);
    if (!listener) {
      std::fprintf(stderr, "vazdiag-ecu: %s\n", error.c_str());
      return 2;
    }
    host = std::make_unique<TcpSide>(std::move(*listener));
    where = "tcp://127.0.0.1:" + std::to_string(bound);
  } else {
    auto port = WirePort::open_pty(options.variant.host_baud, error);
    if (!port) {
      std::fprintf(stderr, "vazdiag-ecu: %s\n", error.c_str());
      return 2;
    }
    where = port->path();
    host = std::make_unique<PtySide>(std::move(*port));
  }
  const bool linked = !options.tcp_port && !link.empty();
  const auto guard = linked ? LinkGuard::make(link, where, error) : std::optional<LinkGuard>();
  if (linked && !guard) {
    std::fprintf(stderr, "vazdiag-ecu: %s\n", error.c_str());
    return 2;
  }
  std::printf("%s\n", where.c_str());
  std::fflush(stdout);
  log.line(clock.now_ms(),
           "vazdiag-ecu: " + options.variant.version + " adapter in front of " + front.describe() + " on " + where);

  FakeElm elm(front, log, options.variant);
  std::deque<ElmOutput> out;
  std::string line;
  bool rate_noted = false;
  while (!stop) {
    double now = clock.now_ms();
    while (!out.empty() && out.front().at_ms <= now) {
      host->write(out.front().text);
      out.pop_front();
    }
    const bool busy = !out.empty() || elm.monitoring();
    if (!busy)
      if (auto due = elm.wakeup_due(); due && *due <= now) elm.send_wakeup(now);
    front.settle(now);
    std::optional<double> deadline;
    auto earliest = [&deadline](std::optional<double> t) {
      if (t && (!deadline || *t < *deadline)) deadline = t;
    };
    if (!out.empty()) earliest(out.front().at_ms);
    if (!busy) earliest(elm.wakeup_due());
    earliest(front.sleep_due());
    timespec wait{};
    if (deadline) wait = clock.until(*deadline);
    pollfd p{host->fd(), POLLIN, 0};
    const int r = ppoll(&p, 1, deadline ? &wait : nullptr, poll_mask);
    if (r < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
    now = clock.now_ms();
    if (!host->connected()) {
      host->accept_one(log, now);
      continue;
    }
    std::string got;
    const bool alive = host->read(got);
    if (!host->at_rate(options.variant.host_baud)) {
      if (!got.empty() && !rate_noted) log.line(now, "adapter: characters at another host rate, not understood");
      rate_noted = !got.empty() || rate_noted;
      got.clear();
    } else {
      rate_noted = false;
    }
    for (char c : got) {
      if (!out.empty() || elm.monitoring()) {
        // Any character while it works stops it; the rest of the line is lost.
        out.clear();
        for (auto &o : elm.interrupt(now, host->char_ms())) out.push_back(o);
        line.clear();
        continue;
      }
      if (c != '\r') {
        if (line.size() < 128) line += c;
        continue;
      }
      for (auto &o : elm.command(line, now, host->char_ms())) out.push_back(o);
      line.clear();
      if (elm.take_drop()) {
        host->drop();
        out.clear();
        log.line(now, "adapter: connection dropped");
        break;
      }
    }
    if (!alive) {
      if (options.tcp_port) {
        host->drop();
        out.clear();
        log.line(now, "adapter: the host closed the connection");
        continue;
      }
      log.line(now, "line closed: " + where);
      return 1;
    }
  }
  return 0;
}

}  // namespace ecusim::wire
