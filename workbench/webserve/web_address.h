// Where a browser page is served: "HOST:PORT" as the user writes it, and the addresses of
// this machine a page bound to every interface can be reached on.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace webserve {

struct WebAddress {
  std::string host = "127.0.0.1";
  int port = 0;  // 0: a free one
};

// "HOST:PORT", "[::1]:PORT", "HOST" or ":PORT" and "PORT"; "" gives the default. Nothing and
// error set when it cannot be one.
std::optional<WebAddress> parseWebAddress(const std::string &text, std::string &error);

bool isLoopback(const std::string &host);
bool isWildcard(const std::string &host);

// The non-loopback addresses of this machine's interfaces (IPv4, then IPv6 without scope).
std::vector<std::string> networkAddresses();

// "127.0.0.1:8080", "[::1]:8080": the Host header a browser sends for it.
std::string hostPort(const std::string &host, int port);

}  // namespace webserve
