// vazdiag-ecu as a tester meets it on a pty: the fast-init wake-up at 360 baud, a request
// sent byte by byte against its echo, the answer after it; and at a foreign rate only the
// echo. Waits are generous (a loaded machine); only the bytes are checked exactly.
#include "line_rate.h"
#include "unique_fd.h"

#include "ecusim/kwp_frame.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace ecusim::wire {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kWaitMs = 2000;  // for any byte the ECU owes us

// The program, started with its standard output on a pipe; killed if the test ends early.
class EcuProgram {
 public:
  explicit EcuProgram(const std::vector<std::string> &args) {
    int out[2];
    if (pipe(out) != 0) return;
    stdout_ = UniqueFd(out[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string path = std::string(VAZ_BUILD_DIR) + "vazdiag-ecu";
    std::vector<char *> argv{const_cast<char *>(path.c_str())};
    for (const auto &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
  }
  ~EcuProgram() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  EcuProgram(const EcuProgram &) = delete;
  EcuProgram &operator=(const EcuProgram &) = delete;

  // The first line it prints (the pty slave's path); empty when none comes in time.
  std::string first_line(int timeout_ms) {
    std::string line;
    char c = 0;
    pollfd p{stdout_.get(), POLLIN, 0};
    while (poll(&p, 1, timeout_ms) == 1 && read(stdout_.get(), &c, 1) == 1) {
      if (c == '\n') return line;
      line += c;
    }
    return {};
  }

  // SIGTERM; the exit status, or -1 when it does not end in time or not normally.
  int stop(std::chrono::milliseconds timeout) {
    kill(pid_, SIGTERM);
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < until) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(10ms);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  UniqueFd stdout_;
};

std::optional<std::uint8_t> read_byte(int fd, int timeout_ms) {
  pollfd p{fd, POLLIN, 0};
  std::uint8_t b = 0;
  if (poll(&p, 1, timeout_ms) != 1 || read(fd, &b, 1) != 1) return std::nullopt;
  return b;
}

Bytes read_bytes(int fd, std::size_t count, int timeout_ms) {
  Bytes got;
  while (got.size() < count)
    if (auto b = read_byte(fd, timeout_ms))
      got.push_back(*b);
    else
      break;
  return got;
}

// Sends the bytes as the tester does: each one, its echo, then P4 (2 ms).
Bytes send_with_echo(int fd, const Bytes &bytes) {
  Bytes echoes;
  for (auto b : bytes) {
    if (write(fd, &b, 1) != 1) break;
    if (auto e = read_byte(fd, kWaitMs)) echoes.push_back(*e);
    std::this_thread::sleep_for(2ms);
  }
  return echoes;
}

void drain(int fd) {
  while (read_byte(fd, 200)) {}
}

std::string file_text(const fs::path &path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(WireEcuOnPty, WakesUpAndAnswersAtItsRateAndOnlyEchoesAtAnother) {
  const fs::path dir = fs::temp_directory_path() / ("ecuwire_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path link = dir / "line", log = dir / "ecu.log";
  EcuProgram ecu({"--car", "m154", "--pty", "--link", link.string(), "--log", log.string()});
  const std::string slave = ecu.first_line(10000);
  ASSERT_FALSE(slave.empty()) << "vazdiag-ecu printed no pty path";
  EXPECT_EQ(fs::read_symlink(link).string(), slave);

  UniqueFd line(open(link.c_str(), O_RDWR | O_NOCTTY));
  ASSERT_TRUE(line);
  ASSERT_TRUE(make_raw(line.get(), 10416, false));

  const Bytes start{0x81, 0x10, 0xF1, 0x81, 0x03};
  const Bytes key_bytes{0x83, 0xF1, 0x10, 0xC1, 0xEF, 0x8F, 0xC3};
  Bytes answer;
  // A second try only for a machine so loaded that a 25 ms pause fell inside the request.
  for (int attempt = 0; attempt < 3 && answer != key_bytes; ++attempt) {
    if (attempt > 0) drain(line.get());
    ASSERT_TRUE(set_line_rate(line.get(), 360));
    EXPECT_EQ(send_with_echo(line.get(), {0x00}), Bytes{0x00});
    ASSERT_TRUE(set_line_rate(line.get(), 10416));
    std::this_thread::sleep_for(25ms);
    EXPECT_EQ(send_with_echo(line.get(), start), start);
    answer = read_bytes(line.get(), key_bytes.size(), kWaitMs);
  }
  EXPECT_EQ(answer, key_bytes);

  // ReadDataByLocalIdentifier at 9600 baud: echoed, never answered.
  std::this_thread::sleep_for(60ms);
  ASSERT_TRUE(set_line_rate(line.get(), 9600));
  const Bytes read_block{0x82, 0x10, 0xF1, 0x21, 0x01, 0xA5};
  EXPECT_EQ(send_with_echo(line.get(), read_block), read_block);
  EXPECT_FALSE(read_byte(line.get(), 300));

  EXPECT_EQ(ecu.stop(5000ms), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "the link outlived the program";
  const std::string events = file_text(log);
  for (const char *text : {"wake-up pattern (0x00 at 360 baud)", "request 81 10 F1 81 03", " awake\n",
                           "answer 83 F1 10 C1 EF 8F C3", "ignored: rate 9600 baud outside 10400 +-2 %"})
    EXPECT_NE(events.find(text), std::string::npos) << text << " not in the log:\n" << events;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace ecusim::wire
