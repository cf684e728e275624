// Bytes written as the traces write them ("84 10 F1"), both ways, for the line tests' tables.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline std::vector<std::uint8_t> hex(const std::string &text) {
  std::vector<std::uint8_t> b;
  for (std::size_t i = 0; i + 1 < text.size(); i += 3)
    b.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
  return b;
}

inline std::string text(const std::vector<std::uint8_t> &b) {
  std::string s;
  char x[4];
  for (auto v : b) {
    std::snprintf(x, sizeof x, "%s%02X", s.empty() ? "" : " ", v);
    s += x;
  }
  return s;
}
