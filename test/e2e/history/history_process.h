// Running vazdiag (and the browser) as separate processes for the history tests.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace histtest {

// Starts a program with its output to outFile ("" = /dev/null); returns its pid.
pid_t start(const std::vector<std::string> &argv, const std::string &outFile = "");
// Waits for it; the exit status, or -signal when a signal ended it.
int finish(pid_t pid);
// start + finish.
int run(const std::vector<std::string> &argv, const std::string &outFile = "");

std::string vazdiag();  // the built program
std::string readFile(const std::filesystem::path &p);

// A fresh directory under the temporary directory, removed with the object.
struct TempDir {
  std::filesystem::path path;
  explicit TempDir(const std::string &name);
  ~TempDir();
  std::string operator/(const std::string &file) const { return (path / file).string(); }
};

}  // namespace histtest
