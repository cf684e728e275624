// Helpers of the end-to-end tests.
#include "e2e_support.h"

#include <sstream>

namespace e2e {

vazdiag::Workbench &bench() {
  static vazdiag::Workbench instance(VAZ_BUILD_DIR);
  return instance;
}

vazdiag::SessionSetup session(int ecuType, const std::string &car, const std::string &script) {
  vazdiag::SessionSetup s;
  s.ecuType = ecuType;
  s.car = car;
  s.script = script;
  s.carOptions = {{"engine", "idle-fixed"}};
  s.keepRecords = true;
  return s;
}

namespace {
std::vector<std::string> lines(const std::string &text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}
}  // namespace

std::vector<std::string> frames(const std::string &trace) {
  std::vector<std::string> out;
  for (const std::string &line : lines(trace)) {
    auto at = line.find("T> ");
    if (at == std::string::npos) at = line.find("E< ");
    if (at != std::string::npos) out.push_back(line.substr(at));
  }
  return out;
}

std::vector<std::string> sent(const std::string &trace) {
  std::vector<std::string> out;
  for (const std::string &f : frames(trace))
    if (f.rfind("T> ", 0) == 0) out.push_back(f.substr(3));
  return out;
}

int times_sent(const std::string &trace, const std::string &frame) {
  int n = 0;
  for (const std::string &f : sent(trace)) n += f == frame;
  return n;
}

std::vector<std::string> blocks(const std::string &transcript, const std::string &head) {
  std::vector<std::string> out;
  std::string current;
  for (const std::string &line : lines(transcript)) {
    if (line.empty()) {
      if (current.rfind(head, 0) == 0) out.push_back(current);
      current.clear();
    } else {
      current += current.empty() ? line : "\n" + line;
    }
  }
  if (!current.empty() && current.rfind(head, 0) == 0) out.push_back(current);
  return out;
}

std::vector<std::string> messages(const std::string &transcript) {
  std::vector<std::string> out;
  for (const std::string &b : blocks(transcript, "[message")) {
    auto parts = lines(b);
    out.push_back(parts[0] + (parts.size() > 1 ? " | " + parts[1] : ""));
  }
  return out;
}

std::vector<std::string> stream_pass(const std::string &transcript, int pass) {
  auto passes = blocks(transcript, "[data stream");
  if (passes.empty()) return {};
  const std::string &b = pass == 0 ? passes.back() : passes.at(static_cast<size_t>(pass - 1));
  std::vector<std::string> out;
  for (const std::string &line : lines(b))
    if (line.rfind("  ", 0) == 0) out.push_back(line.substr(2));
  return out;
}

}  // namespace e2e
