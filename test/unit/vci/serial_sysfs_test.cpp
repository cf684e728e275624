// USB serial chips read from a fake sysfs and /dev tree laid out as the kernel lays them out:
// chip detection, the rates a chip really produces, the latency timer, the port listing and
// the texts for a port that cannot be opened.
#include "serial_sysfs.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using vci::BreakKind;
using vci::LatencyMethod;

void write_file(const fs::path &p, const std::string &text) {
  fs::create_directories(p.parent_path());
  std::ofstream(p) << text << '\n';
}

// Relative links, as sysfs and udev make them, keep the tree movable.
void symlink_to(const fs::path &target, const fs::path &at) {
  fs::create_directories(at.parent_path());
  fs::create_symlink(fs::relative(target, at.parent_path()), at);
}

std::string slurp(const fs::path &p) {
  std::ifstream in(p);
  std::string s;
  std::getline(in, s);
  return s;
}

class SerialSysfsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "serial_sysfs_XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    root_ = tmpl;
    // usb-serial drivers: the tty's device is a ttyUSBn child of the USB interface, bound to
    // the usb-serial driver, whose name for CH34x is "ch341-uart" (the interface's is "ch341").
    add("ttyUSB0", "1-1", "usb-serial", "ftdi_sio", "0403", "6001", "FT232R USB UART");
    add("ttyUSB1", "1-2", "usb-serial", "cp210x", "10c4", "ea60", "CP2102 USB to UART Bridge Controller");
    add("ttyUSB2", "1-3", "usb-serial", "ch341-uart", "1a86", "7523", "USB Serial");
    // cdc_acm: the tty's device is the interface itself, bound to the USB driver.
    add("ttyACM0", "1-4", "usb", "cdc_acm", "2341", "0043", "Arduino Uno");
    write_file(port_dir("1-1", "ttyUSB0") / "latency_timer", "16");
    symlink_to(dev() / "ttyUSB0", dev() / "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path sys() const { return root_ / "sys"; }
  fs::path dev() const { return root_ / "dev"; }
  fs::path usb_dir(const std::string &usb) const { return sys() / "devices/pci0000:00/0000:00:14.0/usb1" / usb; }
  fs::path port_dir(const std::string &usb, const std::string &tty) const {
    const auto iface = usb_dir(usb) / (usb + ":1.0");
    return tty.starts_with("ttyUSB") ? iface / tty : iface;
  }
  void add(const std::string &tty, const std::string &usb, const std::string &bus, const std::string &driver,
           const std::string &vid, const std::string &pid, const std::string &product) {
    write_file(usb_dir(usb) / "idVendor", vid);
    write_file(usb_dir(usb) / "idProduct", pid);
    write_file(usb_dir(usb) / "product", product);
    symlink_to(usb_dir(usb), sys() / "bus/usb/devices" / usb);
    fs::create_directories(port_dir(usb, tty) / "tty" / tty);
    fs::create_directories(sys() / "bus" / bus / "drivers" / driver);
    symlink_to(sys() / "bus" / bus / "drivers" / driver, port_dir(usb, tty) / "driver");
    symlink_to(port_dir(usb, tty), sys() / "class/tty" / tty / "device");
    write_file(dev() / tty, "");  // a plain file: only root may make device nodes
  }
  vci::PortInfo port(const std::string &name) const { return vci::describe_port((dev() / name).string(), sys()); }

  fs::path root_;
};

TEST_F(SerialSysfsTest, DetectsEachChipFromSysfs) {
  struct Row {
    std::string device, name, driver, family, product_id;
    bool exact;
    BreakKind brk;
    int latency;
  };
  const Row rows[] = {
      {"serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB0", "ftdi_sio", "FTDI FT232R", "6001", true,
       BreakKind::Real, 16},
      {"ttyUSB1", "ttyUSB1", "cp210x", "Silicon Labs CP2101 / CP2102", "ea60", false, BreakKind::Real, -1},
      {"ttyUSB2", "ttyUSB2", "ch341-uart", "WCH CH340", "7523", true, BreakKind::Faked, -1},
      {"ttyACM0", "ttyACM0", "cdc_acm", "USB CDC-ACM", "0043", true, BreakKind::None, -1},
  };
  for (const auto &r : rows) {
    SCOPED_TRACE(r.device);
    const auto p = port(r.device);
    EXPECT_EQ(p.resolved, (dev() / r.name).string());
    EXPECT_EQ(p.name, r.name);
    EXPECT_EQ(p.driver, r.driver);
    EXPECT_EQ(p.product_id, r.product_id);
    ASSERT_NE(p.chip, nullptr);
    EXPECT_TRUE(p.chip->family.starts_with(r.family)) << p.chip->family;
    EXPECT_EQ(p.chip->exact_baud, r.exact);
    EXPECT_EQ(p.chip->break_kind, r.brk);
    EXPECT_EQ(p.latency_ms, r.latency);
    EXPECT_EQ(p.latency_timer.empty(), r.latency < 0);
  }
  // Both names of the CH34x driver find the chip; an unknown driver finds none.
  EXPECT_EQ(vci::find_chip("ch341"), vci::find_chip("ch341-uart"));
  EXPECT_EQ(vci::find_chip("8250"), nullptr);
  EXPECT_TRUE(port("missing").resolved.empty());
}

TEST(SerialChips, RateTheChipReallyProduces) {
  struct Row {
    const char *driver, *product;
    double requested, produced;
    bool usable;
  };
  const Row rows[] = {
      {"cp210x", "CP2102 USB to UART Bridge Controller", 10400, 14400, false},
      {"cp210x", "CP2102 USB to UART Bridge Controller", 8227, 9600, false},
      {"cp210x", "CP2102 USB to UART Bridge Controller", 9600, 9600, true},
      {"cp210x", "CP2102 USB to UART Bridge Controller", 2000000, 921600, false},
      {"cp210x", "Relabelled bridge", 8192, 9600, false},  // an unnamed part counts as the old one
      {"cp210x", "CP2102N USB to UART Bridge Controller", 10400, 10400, true},
      {"cp210x", "CP2104 USB to UART Bridge Controller", 8192, 8192, true},
      {"ftdi_sio", "FT232R USB UART", 10400, 10400, true},
      {"unknown", "", 10400, 10400, true},
  };
  for (const auto &r : rows) {
    SCOPED_TRACE(std::string(r.product) + " at " + std::to_string(r.requested));
    const double got = vci::produced_rate(vci::find_chip(r.driver, r.product), r.requested);
    EXPECT_EQ(got, r.produced);
    EXPECT_EQ(vci::rate_within(r.requested, got), r.usable);
  }
  EXPECT_TRUE(vci::rate_within(10400, 10417));   // a CH340's nearest divisor
  EXPECT_FALSE(vci::rate_within(10400, 10460));  // 0.58 % off
}

TEST_F(SerialSysfsTest, LatencyTimerLoweredThroughSysfs) {
  const auto file = port_dir("1-1", "ttyUSB0") / "latency_timer";
  auto out = vci::set_low_latency(port("ttyUSB0"), -1);
  EXPECT_EQ(out.method, LatencyMethod::Sysfs);
  EXPECT_EQ(out.before_ms, 16);
  EXPECT_EQ(out.after_ms, 1);
  EXPECT_EQ(out.trace, "latency timer 16 ms -> 1 ms (sysfs)");
  EXPECT_EQ(slurp(file), "1");
  EXPECT_TRUE(out.warning.empty());

  out = vci::set_low_latency(port("ttyUSB0"), -1);
  EXPECT_EQ(out.method, LatencyMethod::AlreadyLow);
  out = vci::set_low_latency(port("ttyUSB1"), -1);
  EXPECT_EQ(out.method, LatencyMethod::NotPresent);
  EXPECT_EQ(out.trace, "no latency timer on " + (dev() / "ttyUSB1").string() + ": nothing to lower");
}

TEST_F(SerialSysfsTest, UnwritableLatencyTimerWarnsWithTheUdevRule) {
  // Tests may run as root, which writes through any file mode, so a read-only file would not
  // fail. A directory in the timer's place refuses the write for everyone (EISDIR); with no
  // open port (fd -1) the low-latency flag fails too.
  fs::remove(port_dir("1-1", "ttyUSB0") / "latency_timer");
  fs::create_directory(port_dir("1-1", "ttyUSB0") / "latency_timer");
  const auto file = sys() / "class/tty/ttyUSB0/device/latency_timer";  // the path a user sees
  const auto out = vci::set_low_latency(port("ttyUSB0"), -1);
  EXPECT_EQ(out.method, LatencyMethod::Failed);
  EXPECT_FALSE(out.low());
  EXPECT_NE(out.warning.find("writing 1 to " + file.string() + " failed"), std::string::npos) << out.warning;
  EXPECT_NE(out.warning.find(R"(ACTION=="add", SUBSYSTEM=="usb-serial", DRIVER=="ftdi_sio", )"
                             R"(ATTR{latency_timer}="1")"),
            std::string::npos);
  EXPECT_NE(out.warning.find("/etc/udev/rules.d/99-ftdi-latency.rules"), std::string::npos);
  EXPECT_NE(out.warning.find("sudo udevadm control --reload && sudo udevadm trigger"), std::string::npos);
  EXPECT_EQ(out.trace.rfind("latency timer stays unchanged (cannot write ", 0), 0u) << out.trace;
}

TEST_F(SerialSysfsTest, ListsEachDeviceOnceWithItsByIdNames) {
  write_file(dev() / "ttyUSB10", "");  // no sysfs entry: an unknown driver
  write_file(dev() / "ttyS0", "");     // not a USB port
  write_file(dev() / "rfcomm0", "");   // a Bluetooth adapter bound to its serial channel
  const auto ports = vci::list_ports(dev(), sys());
  ASSERT_EQ(ports.size(), 6u);
  const char *order[] = {"rfcomm0", "ttyACM0", "ttyUSB0", "ttyUSB1", "ttyUSB2", "ttyUSB10"};
  for (std::size_t i = 0; i < ports.size(); ++i) EXPECT_EQ(ports[i].name, order[i]);
  ASSERT_EQ(ports[2].by_id.size(), 1u);

  const std::string text = vci::format_port_list(ports);
  for (const std::string &want : std::vector<std::string>{
           (dev() / "ttyUSB0").string() + "\n  by-id: " + ports[2].by_id[0] + "\n",
           "  driver ftdi_sio, chip FTDI FT232R / FT-X / FT232H / FT2232 / FT4232 (USB 0403:6001 \"FT232R USB "
           "UART\")\n  exact baud: yes; break: real (held as long as asked); latency timer: 16 ms now",
           "exact baud: no (10400 Bd comes out as 14400 Bd, 8192 Bd as 9600 Bd)",
           "break: faked (a fixed ~200 ms pulse, cannot be timed)",
           (dev() / "ttyUSB10").string() + "\n  unknown driver\n",
           (dev() / "rfcomm0").string() + "\n  Bluetooth serial link (rfcomm): an ELM327 adapter",
       })
    EXPECT_NE(text.find(want), std::string::npos) << want << "\nin:\n" << text;

  auto refused = ports[2];
  refused.may_open = false;
  refused.group = "dialout";
  EXPECT_NE(vci::format_port_list({refused}).find(
                "  permission denied: the device belongs to group dialout; add yourself with: sudo usermod -aG "
                "dialout $USER (then log in again)\n"),
            std::string::npos);
  const std::string none = vci::format_port_list({});
  for (const char *want : {"No USB serial adapter found", "dmesg | tail", "brltty", "ModemManager"})
    EXPECT_NE(none.find(want), std::string::npos) << want;
}

TEST_F(SerialSysfsTest, OpenErrorTextsSayWhatToDo) {
  // A CH340 on the bus whose ttyUSB went away: what brltty does to it.
  write_file(usb_dir("1-5") / "idVendor", "1a86");
  write_file(usb_dir("1-5") / "idProduct", "7523");
  fs::create_directories(usb_dir("1-5") / "1-5:1.0");
  symlink_to(usb_dir("1-5"), sys() / "bus/usb/devices/1-5");
  write_file(dev() / "notaport", "");
  fs::create_directories(root_ / "empty");

  struct Row {
    std::string device;
    int err;
    fs::path dev_root;
    std::vector<std::string> wants;
  };
  const std::string usb1 = (dev() / "ttyUSB1").string();
  const Row rows[] = {
      {"/dev/ttyUSB7",
       ENOENT,
       dev(),
       {"cannot open /dev/ttyUSB7: no such device\nSerial ports present:\n", usb1 + ": driver cp210x, chip",
        "USB 1a86:7523) but has no serial port", "sudo apt remove brltty", "85-brltty.rules"}},
      {"/dev/ttyUSB7", ENOENT, root_ / "empty", {"No USB serial adapter found", "dmesg | tail"}},
      {usb1, EACCES, dev(), {"cannot open " + usb1 + ": permission denied", "sudo usermod -aG"}},
      {usb1,
       EBUSY,
       dev(),
       {"it is busy", "fuser -v " + usb1, "sudo systemctl stop ModemManager",
        R"(ATTRS{idVendor}=="10c4", ATTRS{idProduct}=="ea60", ENV{ID_MM_DEVICE_IGNORE}="1")"}},
      {usb1, EWOULDBLOCK, dev(), {"it is busy"}},
      {(dev() / "notaport").string(), ENOTTY, dev(), {"it is not a serial device", usb1 + ": driver cp210x"}},
      {usb1, EIO, dev(), {"cannot open " + usb1 + ": Input/output error"}},
  };
  for (const auto &r : rows) {
    const std::string text = vci::open_error_text(r.device, r.err, sys(), r.dev_root);
    for (const auto &want : r.wants) EXPECT_NE(text.find(want), std::string::npos) << want << "\nin:\n" << text;
  }
  EXPECT_NE(vci::permission_advice("root").find("only root may open it"), std::string::npos);
  // Group tty may write to every terminal: the advice is a udev rule, never joining it.
  const std::string tty = vci::permission_advice("tty");
  EXPECT_NE(tty.find("belongs to group tty, which no user should join"), std::string::npos) << tty;
  EXPECT_NE(tty.find("GROUP=\"dialout\""), std::string::npos) << tty;
  EXPECT_EQ(tty.find("usermod -aG tty"), std::string::npos) << tty;
}

}  // namespace
