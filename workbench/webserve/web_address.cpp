// Parsing HOST:PORT and listing the interfaces' addresses.
#include "web_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <charconv>

namespace webserve {

std::optional<WebAddress> parseWebAddress(const std::string &text, std::string &error) {
  WebAddress a;
  if (text.empty()) return a;
  std::string host = text, port;
  if (text.front() == '[') {  // [v6]:port
    const auto close = text.find(']');
    if (close == std::string::npos) {
      error = "an IPv6 address is written [ADDRESS]:PORT";
      return std::nullopt;
    }
    host = text.substr(1, close - 1);
    if (close + 1 < text.size()) {
      if (text[close + 1] != ':') {
        error = "an IPv6 address is written [ADDRESS]:PORT";
        return std::nullopt;
      }
      port = text.substr(close + 2);
    }
  } else if (const auto colon = text.rfind(':'); colon != std::string::npos) {
    if (text.find(':') != colon) {
      error = "an IPv6 address is written [ADDRESS]:PORT";
      return std::nullopt;
    }
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
  } else if (text.find_first_not_of("0123456789") == std::string::npos) {
    host.clear();
    port = text;
  }
  if (!host.empty()) a.host = host == "localhost" ? "127.0.0.1" : host;
  if (!port.empty() || (!text.empty() && text.back() == ':')) {
    int p = -1;
    auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), p);
    if (ec != std::errc() || end != port.data() + port.size() || p < 0 || p > 65535) {
      error = "the port is a number 0..65535, got '" + port + "'";
      return std::nullopt;
    }
    a.port = p;
  }
  // Only addresses: a name would have to be resolved, and a page must know its own Host.
  in6_addr v6{};
  in_addr v4{};
  if (inet_pton(AF_INET, a.host.c_str(), &v4) != 1 && inet_pton(AF_INET6, a.host.c_str(), &v6) != 1) {
    error = "'" + a.host + "' is not an IP address (127.0.0.1, 0.0.0.0, 192.168.1.5, ::1)";
    return std::nullopt;
  }
  return a;
}

bool isLoopback(const std::string &host) { return host.rfind("127.", 0) == 0 || host == "::1"; }

bool isWildcard(const std::string &host) { return host == "0.0.0.0" || host == "::"; }

std::vector<std::string> networkAddresses() {
  std::vector<std::string> v4, v6;
  ifaddrs *list = nullptr;
  if (getifaddrs(&list) != 0) return {};
  for (ifaddrs *i = list; i; i = i->ifa_next) {
    if (!i->ifa_addr || !(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) continue;
    char buf[INET6_ADDRSTRLEN] = {};
    if (i->ifa_addr->sa_family == AF_INET) {
      inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in *>(i->ifa_addr)->sin_addr, buf, sizeof buf);
      v4.push_back(buf);
    } else if (i->ifa_addr->sa_family == AF_INET6) {
      const auto *a = reinterpret_cast<sockaddr_in6 *>(i->ifa_addr);
      if (a->sin6_scope_id != 0) continue;  // link-local needs a zone a browser cannot carry
      inet_ntop(AF_INET6, &a->sin6_addr, buf, sizeof buf);
      v6.push_back(buf);
    }
  }
  freeifaddrs(list);
  v4.insert(v4.end(), v6.begin(), v6.end());
  return v4;
}

std::string hostPort(const std::string &host, int port) {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

}  // namespace webserve
