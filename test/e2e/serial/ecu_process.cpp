// Starting vazdiag-ecu and vazdiag for the serial tests.
#include "ecu_process.h"

#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace serial_e2e {

namespace fs = std::filesystem;

namespace {

// Both ends of the line run at a real-time priority where the machine allows it (root, or
// CAP_SYS_NICE), so that a loaded machine cannot stretch the wire timing (P1, P2, the echo)
// past what the protocol allows; elsewhere they run as they are. Both mostly wait, so they
// never hold a processor for long; a computing program must not get this priority, or it
// would starve the lines of the other tests running beside it.
void real_time_priority() {
  sched_param p{};
  p.sched_priority = 10;
  sched_setscheduler(0, SCHED_FIFO, &p);
}

void normal_priority() {
  sched_param p{};
  sched_setscheduler(0, SCHED_OTHER, &p);
}

}  // namespace

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "vazdiag-serial-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string read_file(const std::string &path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int count(const std::string &text, const std::string &what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

EcuProcess::EcuProcess(const std::vector<std::string> &args) {
  char pattern[] = "/tmp/vazdiag-ecu-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
  dir_ = pattern;
  link_ = dir_ + "/ttyECU";
  log_ = dir_ + "/ecu.log";
  std::vector<std::string> all{std::string(VAZ_BUILD_DIR) + "vazdiag-ecu"};
  all.insert(all.end(), args.begin(), args.end());
  // An adapter on TCP prints its address instead of making a pty.
  const bool tcp = std::find(args.begin(), args.end(), "--tcp") != args.end();
  const std::string printed = dir_ + "/address";
  if (!tcp) all.insert(all.end(), {"--pty", "--link", link_});
  all.insert(all.end(), {"--log", log_});
  pid_ = fork();
  if (pid_ == 0) {
    real_time_priority();
    std::vector<char *> argv;
    for (auto &a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (!freopen(tcp ? printed.c_str() : "/dev/null", "w", stdout)) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (tcp) {
    for (int i = 0; i < 500 && link_.find('\n') == std::string::npos; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      link_ = read_file(printed);
    }
    if (link_.find('\n') == std::string::npos) throw std::runtime_error("vazdiag-ecu did not start: " + log());
    link_.pop_back();
    return;
  }
  // Ready once the link to its pseudo-terminal exists.
  for (int i = 0; i < 500 && !fs::is_symlink(link_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (!fs::is_symlink(link_)) throw std::runtime_error("vazdiag-ecu did not start: " + log());
}

EcuProcess::~EcuProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

std::string EcuProcess::log() const { return read_file(log_); }

void EcuProcess::kill_now() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

Outcome vazdiag(const std::string &args) {
  TempDir tmp;
  const std::string out = tmp.path() + "/out", err = tmp.path() + "/err";
  const std::string command = std::string(VAZ_BUILD_DIR) + "vazdiag " + args + " </dev/null >" + out + " 2>" + err;
  const auto start = std::chrono::steady_clock::now();
  const bool on_the_wire = args.find("--port ") != std::string::npos;
  if (on_the_wire) real_time_priority();  // inherited by the shell and vazdiag
  const int raw = std::system(command.c_str());
  if (on_the_wire) normal_priority();
  Outcome r;
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = read_file(out);
  r.err = read_file(err);
  return r;
}

}  // namespace serial_e2e
