// The pieces of a test over a real serial line: vazdiag-ecu started on a pseudo-terminal
// (its slave linked at a temporary path, its log in a file, ended when the test ends), and
// vazdiag run as a user runs it, with its output, status and run time.
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace serial_e2e {

class EcuProcess {
 public:
  // args: --car NAME and any further options of vazdiag-ecu; --pty, --link and --log are
  // added here (with --tcp only --log: port() is then the address it printed).
  explicit EcuProcess(const std::vector<std::string> &args);
  ~EcuProcess();
  EcuProcess(const EcuProcess &) = delete;
  EcuProcess &operator=(const EcuProcess &) = delete;

  const std::string &port() const { return link_; }  // the link to the slave side
  std::string log() const;
  void kill_now();  // SIGKILL, as a pulled cable or a crashed interface

 private:
  pid_t pid_ = -1;
  std::string dir_, link_, log_;
};

struct Outcome {
  int status = -1;
  std::string out, err;
  double seconds = 0;
};

// Runs build/vazdiag with these arguments (a shell command line), standard input empty.
// A session on the serial line runs at a real-time priority where the machine allows it;
// anything else (a session on the virtual clock is all computing) does not.
Outcome vazdiag(const std::string &args);

// A temporary directory removed at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string &path() const { return path_; }

 private:
  std::string path_;
};

std::string read_file(const std::string &path);
int count(const std::string &text, const std::string &what);

}  // namespace serial_e2e
