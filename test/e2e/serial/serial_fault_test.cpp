// What goes wrong on a real wire, provoked on the pseudo-terminal: echoes that are wrong or
// missing, answers that are corrupt, pending or late, a port that is busy, missing or too
// slow for the ECU's rate, and an FTDI latency timer to lower. Each case checks what the
// user sees (transcript, messages on standard error) and what the wire trace shows.
#include "ecu_process.h"

#include <gmock/gmock.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

extern char **environ;

namespace {

namespace fs = std::filesystem;
using namespace serial_e2e;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char *kIdentify = "choose Identification\nstay 1\nback\n";
constexpr const char *kFailed = "Communication with the control unit failed";
constexpr const char *kIdentified = "Firmware identification";

struct Fault {
  const char *name;
  std::vector<std::string> ecu;    // vazdiag-ecu options beside --car m154
  const char *port_options;        // vazdiag options beside --port
  const char *out;                 // the transcript shows this
  std::vector<std::string> trace;  // the wire trace shows these
  const char *err;                 // standard error shows this ("" = nothing at all)
};

const Fault kFaults[] = {
    // The third byte on the line (0x10 of the first StartCommunication) comes back
    // inverted: that request is cut off and sent again after P3, and connects. The
    // cable is named, so no adapter probe comes before it on the line.
    {"CorruptedEcho",
     {"--echo", "corrupt:3"},
     "--adapter kline",
     kIdentified,
     {"echo wrong: sent 10, line gave back EF", "repeat 1 of 2 (echo missing or wrong)\n", "T> 81 10 F1 81 03\n"},
     ""},
    {"NoEcho", {"--echo", "off"}, "", kFailed, {"no echo of byte 81"}, "the interface does not echo"},
    {"NoEchoExpected", {"--echo", "off"}, "--port-option echo=off", kIdentified, {"E< 83 F1 10 C1 EF 8F C3"}, ""},
    // A spoilt or late answer to a reading request is asked for again after P3.
    {"BadChecksum",
     {"--fault", "bad-checksum:1A:0:1"},
     "",
     kIdentified,
     {"answer checksum wrong: discarded", "repeat 1 of 2 (answer checksum wrong)\n"},
     ""},
    {"ResponsePending",
     {"--fault", "pending:1A:0:1"},
     "",
     kIdentified,
     {"E< 83 F1 10 7F 1A 78 95", "response pending: waiting up to 5000 ms"},
     ""},
    {"LateAnswer",
     {"--fault", "late:1A:0:1"},
     "",
     kIdentified,
     {"no answer within 50 ms", "repeat 1 of 2 (no answer)\n"},
     ""},
    // Every identification request lost: the failure, after two repeats each.
    {"NoAnswer",
     {"--fault", "no-answer:1A"},
     "",
     kFailed,
     {"repeat 2 of 2 (no answer)\n", "repeats failed: the ECU is woken again"},
     "ignition is on"},
};

void PrintTo(const Fault &f, std::ostream *os) { *os << f.name; }

class WireFault : public ::testing::TestWithParam<Fault> {};

TEST_P(WireFault, IsSeenAndTold) {
  const Fault &f = GetParam();
  std::vector<std::string> args{"--car", "m154", "--car-option", "engine=idle-fixed"};
  args.insert(args.end(), f.ecu.begin(), f.ecu.end());
  EcuProcess ecu(args);
  TempDir tmp;
  const std::string script = tmp.path() + "/s.txt", trace = tmp.path() + "/wire.txt";
  std::ofstream(script) << kIdentify;
  const Outcome r =
      vazdiag("--ecu m154 --port " + ecu.port() + " " + f.port_options + " --trace " + trace + " --script " + script);
  EXPECT_EQ(r.status, f.out == kFailed ? 3 : 0) << r.err;  // 3: the session ended on the failure
  EXPECT_THAT(r.out, HasSubstr(f.out));
  const std::string wire = serial_e2e::read_file(trace);
  for (const std::string &t : f.trace) EXPECT_THAT(wire, HasSubstr(t)) << wire;
  if (*f.err)
    EXPECT_THAT(r.err, HasSubstr(f.err));
  else
    EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(Wire, WireFault, ::testing::ValuesIn(kFaults),
                         [](const auto &p) { return std::string(p.param.name); });

TEST(SerialPort, ASecondVazdiagOnTheSamePortIsToldItIsBusy) {
  EcuProcess ecu({"--car", "m154"});
  TempDir tmp;
  const std::string script = tmp.path() + "/s.txt";
  std::ofstream(script) << "wait 3\nback\n";
  Outcome first;
  std::thread holder([&] { first = vazdiag("--ecu m154 --port " + ecu.port() + " --script " + script); });
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const Outcome second = vazdiag("--ecu m154 --port " + ecu.port() + " --script " + script);
  holder.join();
  EXPECT_EQ(second.status, 2);
  EXPECT_THAT(second.err, HasSubstr("busy"));
  EXPECT_EQ(first.status, 0) << first.err;
}

// The port is handed back as it was found, however the session ends: its termios settings
// (raw at another rate while vazdiag holds it) and no exclusive flag left on the tty, also
// in the full-screen mode, whose terminal hooks answer the signal first.
struct Ending {
  const char *name;
  int signal;                // sent 1.5 s into the session; 0: the script ends it
  bool full_screen = false;  // on a terminal of its own, no script
};

void PrintTo(const Ending &e, std::ostream *os) { *os << e.name; }

class PortAfterSession : public ::testing::TestWithParam<Ending> {};

std::string termios_text(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return "unreadable";
  std::string s = std::to_string(t.c_iflag) + " " + std::to_string(t.c_oflag) + " " + std::to_string(t.c_cflag) + " " +
                  std::to_string(t.c_lflag) + " " + std::to_string(cfgetispeed(&t)) + " " +
                  std::to_string(cfgetospeed(&t));
  for (cc_t c : t.c_cc) s += " " + std::to_string(c);
  int exclusive = 0;
  ioctl(fd, TIOCGEXCL, &exclusive);
  return s + (exclusive ? " exclusive" : "");
}

TEST_P(PortAfterSession, IsAsItWasBefore) {
  EcuProcess ecu({"--car", "m154", "--car-option", "engine=idle-fixed"});
  TempDir tmp;
  const std::string script = tmp.path() + "/s.txt";
  std::ofstream(script) << "choose Identification\nwait 3\nback\n";
  const int fd = ::open(ecu.port().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  const std::string before = termios_text(fd);
  const std::string program = std::string(VAZ_BUILD_DIR) + "vazdiag";
  std::vector<std::string> args{program, "--ecu", "m154", "--port", ecu.port()};
  if (!GetParam().full_screen) args.insert(args.end(), {"--script", script});
  std::vector<char *> argv;
  for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  // The full screen's terminal: a pseudo-terminal whose screen output nobody needs.
  const int screen = GetParam().full_screen ? posix_openpt(O_RDWR | O_NOCTTY) : -1;
  const std::string screen_tty = screen >= 0 && grantpt(screen) == 0 && unlockpt(screen) == 0 ? ptsname(screen) : "";
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  const char *in = screen_tty.empty() ? "/dev/null" : screen_tty.c_str();
  posix_spawn_file_actions_addopen(&quiet, STDIN_FILENO, in, O_RDONLY | O_NOCTTY, 0);
  posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, screen_tty.empty() ? "/dev/null" : in, O_WRONLY | O_NOCTTY,
                                   0);
  posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> env_text{"TERM=xterm"};
  for (char **e = environ; *e != nullptr; ++e)
    if (std::string(*e).rfind("TERM=", 0) != 0) env_text.emplace_back(*e);
  std::vector<char *> env;
  for (const std::string &e : env_text) env.push_back(const_cast<char *>(e.c_str()));
  env.push_back(nullptr);
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv.data(), env.data()), 0);
  posix_spawn_file_actions_destroy(&quiet);
  std::thread drain([screen] {
    char buf[4096];
    while (screen >= 0 && ::read(screen, buf, sizeof buf) > 0) {}
  });
  if (GetParam().signal != 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_NE(termios_text(fd), before) << "the session holds the port";
    ::kill(pid, GetParam().signal);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  drain.join();  // the terminal's last holder is gone: the reader sees the end
  if (screen >= 0) ::close(screen);
  if (GetParam().signal != 0) {
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == GetParam().signal) << status;
  } else {
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  EXPECT_EQ(termios_text(fd), before);
  ::close(fd);
}

INSTANTIATE_TEST_SUITE_P(Serial, PortAfterSession,
                         ::testing::Values(Ending{"NormalEnd", 0}, Ending{"Sigint", SIGINT}, Ending{"Sigterm", SIGTERM},
                                           Ending{"Sighup", SIGHUP}, Ending{"FullScreenSigint", SIGINT, true},
                                           Ending{"FullScreenSigterm", SIGTERM, true}),
                         [](const auto &p) { return std::string(p.param.name); });

TEST(SerialPort, ADeviceThatDoesNotExistIsNamed) {
  const Outcome r = vazdiag("--ecu m154 --port /dev/ttyUSB97 --script /dev/null");
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("/dev/ttyUSB97"));
  EXPECT_THAT(r.err, HasSubstr("no such device"));
}

// A fake sysfs tree that makes the pseudo-terminal look like a USB adapter.
struct FakeAdapter {
  std::string root;
  std::string port_dir;  // where the latency timer sits
  FakeAdapter(const std::string &dir, const std::string &tty, const std::string &driver, const std::string &product,
              const std::string &latency) {
    root = dir + "/sys";
    const fs::path usb = fs::path(root) / "devices/pci0000:00/usb1/1-1";
    port_dir = (usb / "1-1:1.0" / "ttyUSB0").string();
    fs::create_directories(port_dir);
    fs::create_directories(fs::path(root) / "bus/usb-serial/drivers" / driver);
    fs::create_directories(fs::path(root) / "class/tty" / tty);
    fs::create_directory_symlink(port_dir, fs::path(root) / "class/tty" / tty / "device");
    fs::create_directory_symlink(fs::path(root) / "bus/usb-serial/drivers" / driver, fs::path(port_dir) / "driver");
    std::ofstream(usb / "idVendor") << (driver == "ftdi_sio" ? "0403\n" : "10c4\n");
    std::ofstream(usb / "idProduct") << (driver == "ftdi_sio" ? "6001\n" : "ea60\n");
    std::ofstream(usb / "product") << product << "\n";
    if (!latency.empty()) std::ofstream(fs::path(port_dir) / "latency_timer") << latency << "\n";
  }
};

std::string tty_name(const std::string &link) { return fs::read_symlink(link).filename().string(); }

TEST(SerialPort, ARateTheChipCannotMakeIsRefusedAndSaid) {
  EcuProcess ecu({"--car", "m154"});
  TempDir tmp;
  FakeAdapter cp2102(tmp.path(), tty_name(ecu.port()), "cp210x", "CP2102 USB to UART Bridge Controller", "");
  const Outcome r =
      vazdiag("--ecu m154 --port " + ecu.port() + " --port-option sysfs=" + cp2102.root + " --script /dev/null");
  EXPECT_EQ(r.status, 3);
  EXPECT_THAT(r.out, HasSubstr(kFailed));
  EXPECT_THAT(r.err, HasSubstr("cannot make 10416 baud: it gives 14400"));
  EXPECT_THAT(ecu.log(), Not(HasSubstr("request")));  // nothing went out at the wrong rate
}

TEST(SerialPort, TheFtdiLatencyTimerIsLoweredToOneMillisecond) {
  EcuProcess ecu({"--car", "m154"});
  TempDir tmp;
  FakeAdapter ftdi(tmp.path(), tty_name(ecu.port()), "ftdi_sio", "FT232R USB UART", "16");
  const std::string trace = tmp.path() + "/wire.txt";
  const Outcome r = vazdiag("--ecu m154 --port " + ecu.port() + " --port-option sysfs=" + ftdi.root + " --trace " +
                            trace + " --script /dev/null");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(serial_e2e::read_file(ftdi.port_dir + "/latency_timer"), "1");
  EXPECT_THAT(serial_e2e::read_file(trace), HasSubstr("latency timer 16 ms -> 1 ms"));
}

}  // namespace
