// Child processes and files for the history tests.
#include "history_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace histtest {

pid_t start(const std::vector<std::string> &argv, const std::string &outFile) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int out = open(outFile.empty() ? "/dev/null" : outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int in = open("/dev/null", O_RDONLY);
  dup2(in, 0);
  dup2(out, 1);
  dup2(out, 2);
  std::vector<char *> args;
  for (const auto &a : argv) args.push_back(const_cast<char *>(a.c_str()));
  args.push_back(nullptr);
  execv(args[0], args.data());
  _exit(127);
}

int finish(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1000;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

int run(const std::vector<std::string> &argv, const std::string &outFile) { return finish(start(argv, outFile)); }

std::string vazdiag() { return std::string(VAZ_BUILD_DIR) + "vazdiag"; }

std::string readFile(const std::filesystem::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TempDir::TempDir(const std::string &name)
    : path(std::filesystem::temp_directory_path() / (name + "_" + std::to_string(getpid()))) {
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
}

}  // namespace histtest
