// USB serial ports as sysfs and /dev show them, the FTDI latency timer, and the advice for a
// port that is missing, refused or busy.
//
// Kernel layout this relies on: <sys>/class/tty/<name>/device is the port's device (for a
// usb-serial driver a "ttyUSBn" child of the USB interface, for cdc_acm the interface
// itself); its driver link ends in the driver's name; the USB device with idVendor, idProduct
// and product is the first ancestor holding idVendor.
#include "serial_sysfs.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

namespace vci {
namespace fs = std::filesystem;
namespace {

constexpr const char *kNoAdapter =
    "No USB serial adapter found (looked for /dev/ttyUSB*, /dev/ttyACM*, /dev/rfcomm* and /dev/serial/by-id).\n"
    "Check that the cable is plugged in, then run `dmesg | tail` right after plugging it in to "
    "see what the kernel made of it.\n"
    "If the kernel saw a CH340 or CP210x that vanished again at once, the braille daemon brltty "
    "took it: sudo apt remove brltty\n"
    "ModemManager may also hold a freshly plugged adapter for a while: sudo systemctl stop "
    "ModemManager\n";

constexpr const char *kUdevReload = "sudo udevadm control --reload && sudo udevadm trigger";

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd &) = delete;
  Fd &operator=(const Fd &) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// First line of a small file (sysfs attributes end in a newline); nothing when unreadable.
std::optional<std::string> read_line(const fs::path &p) {
  std::ifstream in(p);
  std::string line;
  if (!in || !std::getline(in, line)) return std::nullopt;
  return line;
}

std::optional<int> read_int(const fs::path &p) {
  const auto line = read_line(p);
  if (!line) return std::nullopt;
  const char *b = line->data();
  const char *e = b + line->size();
  while (b < e && std::isspace(static_cast<unsigned char>(*b))) ++b;
  int v = 0;
  const auto [end, ec] = std::from_chars(b, e, v);
  if (ec != std::errc{} || end == b) return std::nullopt;
  return v;
}

// 0 when written, else the errno of the failing call (a sysfs store reports on write).
int write_text(const fs::path &p, std::string_view text) {
  Fd fd(::open(p.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (fd.get() < 0) return errno;
  const auto n = ::write(fd.get(), text.data(), text.size());
  if (n < 0) return errno;
  return static_cast<std::size_t>(n) == text.size() ? 0 : EIO;
}

std::string group_name(gid_t gid) {
  std::vector<char> buf(4096);
  for (;;) {
    group g{};
    group *found = nullptr;
    const int rc = ::getgrgid_r(gid, &g, buf.data(), buf.size(), &found);
    if (rc == ERANGE && buf.size() < (1u << 20)) {
      buf.resize(buf.size() * 4);
      continue;
    }
    if (rc == 0 && found != nullptr) return found->gr_name;
    return std::to_string(gid);
  }
}

// Directory entries without throwing: a missing directory simply has none.
std::vector<fs::path> entries(const fs::path &dir) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) out.push_back(it->path());
  return out;
}

bool all_digits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool is_port_name(std::string_view n) {
  for (std::string_view prefix : {"ttyUSB", "ttyACM", "rfcomm"})
    if (n.starts_with(prefix) && all_digits(n.substr(prefix.size()))) return true;
  return false;
}

// Digit runs compare as numbers, so ttyUSB2 sorts before ttyUSB10.
bool natural_less(std::string_view a, std::string_view b) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (digit(a[i]) && digit(b[j])) {
      std::size_t ie = i, je = j;
      while (ie < a.size() && digit(a[ie])) ++ie;
      while (je < b.size() && digit(b[je])) ++je;
      auto na = a.substr(i, ie - i), nb = b.substr(j, je - j);
      while (na.size() > 1 && na[0] == '0') na.remove_prefix(1);
      while (nb.size() > 1 && nb[0] == '0') nb.remove_prefix(1);
      if (na.size() != nb.size()) return na.size() < nb.size();
      if (na != nb) return na < nb;
      i = ie;
      j = je;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

// Walks up from the port's device to the USB device; stops at the sysfs root so a fake tree
// never reads the real one.
void read_usb_ids(const fs::path &device_link, const fs::path &sysfs_root, PortInfo &info) {
  std::error_code ec;
  fs::path dir = fs::canonical(device_link, ec);
  if (ec) return;
  const fs::path top = fs::canonical(sysfs_root, ec);
  for (int depth = 0; depth < 8 && dir != top && dir != dir.root_path(); ++depth, dir = dir.parent_path()) {
    if (!fs::exists(dir / "idVendor", ec)) continue;
    info.vendor_id = read_line(dir / "idVendor").value_or("");
    info.product_id = read_line(dir / "idProduct").value_or("");
    info.product = read_line(dir / "product").value_or("");
    return;
  }
}

std::string ms_text(int ms) { return ms >= 0 ? std::to_string(ms) + " ms" : "? ms"; }

std::string usb_text(const PortInfo &p) {
  if (p.vendor_id.empty()) return {};
  std::string s = " (USB " + p.vendor_id + ":" + p.product_id;
  if (!p.product.empty()) s += " \"" + p.product + "\"";
  return s + ")";
}

std::string driver_text(const PortInfo &p) {
  // A Bluetooth serial link has no device in sysfs: what is bound there is an ELM327.
  if (p.name.starts_with("rfcomm")) return "Bluetooth serial link (rfcomm): an ELM327 adapter (--adapter-info tells)";
  if (p.driver.empty()) return "unknown driver";
  if (p.chip == nullptr) return "driver " + p.driver + ", not a USB serial chip vazdiag knows";
  return "driver " + p.driver + ", chip " + std::string(p.chip->family);
}

std::string capability_text(const PortInfo &p) {
  const SerialChip &c = *p.chip;
  std::string s = "exact baud: ";
  if (c.exact_baud) {
    s += "yes";
  } else {
    s += "no (10400 Bd comes out as " + std::to_string(static_cast<int>(produced_rate(&c, 10400))) +
         " Bd, 8192 Bd as " + std::to_string(static_cast<int>(produced_rate(&c, 8192))) + " Bd)";
  }
  s += "; break: " + std::string(break_text(c.break_kind)) + "; latency timer: ";
  if (!p.latency_timer.empty())
    s += ms_text(p.latency_ms) + " now, lowered to 1 ms when the line opens";
  else
    s += c.latency_timer ? "not found in sysfs" : "none";
  return s;
}

std::string present_ports_text(const std::string &dev_root, const std::string &sysfs_root) {
  const auto ports = list_ports(dev_root, sysfs_root);
  if (ports.empty()) return kNoAdapter;
  std::string s = "Serial ports present:\n";
  for (const auto &p : ports) s += "  " + p.path + ": " + driver_text(p) + "\n";
  return s;
}

// A CH340 or CP210x on the bus without a ttyUSB under it: brltty's udev rules claim those ids
// as braille displays and unbind the serial driver right after it bound.
std::string brltty_text(const std::string &sysfs_root) {
  std::string found;
  for (const auto &dev : entries(fs::path(sysfs_root) / "bus" / "usb" / "devices")) {
    const auto vendor = read_line(dev / "idVendor");
    if (!vendor || (*vendor != "1a86" && *vendor != "10c4")) continue;
    bool has_port = false;
    for (const auto &iface : entries(dev))
      for (const auto &child : entries(iface)) has_port = has_port || child.filename().string().starts_with("ttyUSB");
    if (has_port) continue;
    found += (found.empty() ? "" : ", ") + *vendor + ":" + read_line(dev / "idProduct").value_or("?");
  }
  if (found.empty()) return {};
  return "A CH340/CP210x adapter is plugged in (USB " + found +
         ") but has no serial port: the braille daemon brltty most likely took it (dmesg: "
         "\"interface 0 claimed by ch341 while 'brltty' sets config\").\n"
         "Remove it: sudo apt remove brltty\n"
         "or, if you need it, disable its udev rules: sudo ln -s /dev/null "
         "/etc/udev/rules.d/85-brltty.rules && " +
         std::string(kUdevReload) + "\nthen plug the cable in again.\n";
}

std::string busy_text(const std::string &device, const PortInfo &p) {
  const std::string match =
      p.vendor_id.empty() ? "KERNEL==\"ttyUSB[0-9]*|ttyACM[0-9]*\""
                          : "ATTRS{idVendor}==\"" + p.vendor_id + "\", ATTRS{idProduct}==\"" + p.product_id + "\"";
  return "cannot open " + device +
         ": it is busy: another program holds it open, such as a second vazdiag, a terminal "
         "program, or ModemManager probing it (`fuser -v " +
         device +
         "` shows who).\n"
         "Stop ModemManager: sudo systemctl stop ModemManager\n"
         "or make it leave this adapter alone for good: put\n  " +
         match +
         ", ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n"
         "into /etc/udev/rules.d/99-vazdiag-modemmanager.rules, then run: " +
         kUdevReload + "\n";
}

}  // namespace

PortInfo describe_port(const std::string &device, const std::string &sysfs_root) {
  PortInfo info;
  info.path = device;
  std::error_code ec;
  const fs::path real = fs::canonical(device, ec);
  if (ec) return info;
  info.resolved = real.string();
  info.name = real.filename().string();
  struct stat st {};
  if (::stat(info.resolved.c_str(), &st) == 0) {
    info.is_char_device = S_ISCHR(st.st_mode);
    info.group = group_name(st.st_gid);
  }
  info.may_open = ::access(info.resolved.c_str(), R_OK | W_OK) == 0;

  const fs::path device_link = fs::path(sysfs_root) / "class" / "tty" / info.name / "device";
  const fs::path driver = fs::read_symlink(device_link / "driver", ec);
  if (!ec) info.driver = driver.filename().string();
  read_usb_ids(device_link, sysfs_root, info);
  info.chip = find_chip(info.driver, info.product);
  const fs::path latency = device_link / "latency_timer";
  if (fs::exists(latency, ec)) {
    info.latency_timer = latency.string();
    info.latency_ms = read_int(latency).value_or(-1);
  }
  return info;
}

std::vector<PortInfo> list_ports(const std::string &dev_root, const std::string &sysfs_root) {
  std::map<std::string, PortInfo> by_real;
  for (const auto &node : entries(dev_root)) {
    if (!is_port_name(node.filename().string())) continue;
    auto info = describe_port(node.string(), sysfs_root);
    if (!info.resolved.empty()) by_real.try_emplace(info.resolved, std::move(info));
  }
  for (const auto &link : entries(fs::path(dev_root) / "serial" / "by-id")) {
    std::error_code ec;
    const auto real = fs::canonical(link, ec).string();
    if (ec) continue;  // a stale link of an adapter that went away
    auto it = by_real.find(real);
    if (it == by_real.end()) it = by_real.emplace(real, describe_port(real, sysfs_root)).first;
    it->second.by_id.push_back(link.string());
  }
  std::vector<PortInfo> ports;
  for (auto &[real, info] : by_real) {
    std::sort(info.by_id.begin(), info.by_id.end());
    ports.push_back(std::move(info));
  }
  std::sort(ports.begin(), ports.end(),
            [](const PortInfo &a, const PortInfo &b) { return natural_less(a.path, b.path); });
  return ports;
}

std::string permission_advice(const std::string &group) {
  // Group tty may write to every terminal of every user: a port owned by it is handed to
  // dialout by a rule instead.
  if (group.empty() || group == "root" || group == "tty") {
    return std::string("permission denied: ") +
           (group == "tty" ? "the device belongs to group tty, which no user should join" : "only root may open it") +
           "; hand such ports to group dialout with the "
           "udev rule SUBSYSTEM==\"tty\", KERNEL==\"ttyUSB[0-9]*|ttyACM[0-9]*\", GROUP=\"dialout\", "
           "MODE=\"0660\" in /etc/udev/rules.d/99-usb-serial.rules, then add yourself with: sudo "
           "usermod -aG dialout $USER (then log in again)";
  }
  return "permission denied: the device belongs to group " + group + "; add yourself with: sudo usermod -aG " + group +
         " $USER (then log in again)";
}

std::string format_port_list(const std::vector<PortInfo> &ports) {
  if (ports.empty()) return kNoAdapter;
  std::string s;
  for (const auto &p : ports) {
    if (!s.empty()) s += '\n';
    s += p.path + '\n';
    for (const auto &id : p.by_id) s += "  by-id: " + id + '\n';
    s += "  " + driver_text(p) + usb_text(p) + '\n';
    if (p.chip != nullptr) {
      s += "  " + capability_text(p) + '\n';
      s += "  note: " + std::string(p.chip->notes) + '\n';
    }
    s += "  " + (p.may_open ? std::string("you may open it") : permission_advice(p.group)) + '\n';
  }
  return s;
}

LatencyOutcome set_low_latency(const PortInfo &port, int fd) {
  LatencyOutcome out;
  if (port.latency_timer.empty()) {
    out.trace = "no latency timer on " + port.path + ": nothing to lower";
    return out;
  }
  const fs::path file = port.latency_timer;
  out.before_ms = read_int(file).value_or(-1);
  if (out.before_ms == 0 || out.before_ms == 1) {
    out.method = LatencyMethod::AlreadyLow;
    out.after_ms = out.before_ms;
    out.trace = "latency timer already " + ms_text(out.before_ms);
    return out;
  }
  // An unreadable value is written anyway: a low timer is all that matters.
  const int write_err = write_text(file, "1");
  if (write_err == 0) {
    out.after_ms = read_int(file).value_or(-1);
    if (out.after_ms == 1) {
      out.method = LatencyMethod::Sysfs;
      out.trace = "latency timer " + ms_text(out.before_ms) + " -> 1 ms (sysfs)";
      return out;
    }
  }
  const std::string sysfs_why =
      write_err != 0 ? std::strerror(write_err) : "it reads " + ms_text(out.after_ms) + " afterwards";

  // Any user may set the low-latency flag on a port they opened; ftdi_sio then runs the
  // timer at 1 ms and shows 1 in sysfs.
  int flag_err = EBADF;
  if (fd >= 0) {
    serial_struct ss{};
    flag_err = 0;
    if (::ioctl(fd, TIOCGSERIAL, &ss) != 0) {
      flag_err = errno;
    } else {
      ss.flags |= ASYNC_LOW_LATENCY;
      if (::ioctl(fd, TIOCSSERIAL, &ss) != 0) flag_err = errno;
    }
  }
  if (flag_err == 0) {
    out.after_ms = read_int(file).value_or(1);
    if (out.after_ms <= 1) {
      out.method = LatencyMethod::SerialFlag;
      out.trace = "latency timer " + ms_text(out.before_ms) + " -> 1 ms (low-latency flag; sysfs: " + sysfs_why + ")";
      return out;
    }
  }
  const std::string flag_why =
      flag_err != 0 ? std::strerror(flag_err) : "the timer still reads " + ms_text(out.after_ms);
  out.method = LatencyMethod::Failed;
  out.after_ms = out.before_ms;
  const std::string stays = out.before_ms >= 0 ? "stays at " + ms_text(out.before_ms) : "stays unchanged";
  out.trace = "latency timer " + stays + " (cannot write " + file.string() + ": " + sysfs_why + ")";
  out.warning = "The latency timer of " + port.path + " " + stays + ": writing 1 to " + file.string() + " failed (" +
                sysfs_why + ") and the low-latency flag did not take (" + flag_why +
                "). Answers then reach vazdiag up to that much later, which upsets the line timing.\n"
                "Fix it for good with the udev rule\n"
                "  ACTION==\"add\", SUBSYSTEM==\"usb-serial\", DRIVER==\"ftdi_sio\", "
                "ATTR{latency_timer}=\"1\"\n"
                "in /etc/udev/rules.d/99-ftdi-latency.rules, then run: " +
                std::string(kUdevReload) + "\n";
  return out;
}

std::string open_error_text(const std::string &device, int err, const std::string &sysfs_root,
                            const std::string &dev_root) {
  switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO: {
      std::string s = "cannot open " + device +
                      (err == ENOENT ? ": no such device\n"
                                     : ": the device node is there but no adapter answers behind it "
                                       "(unplugged?)\n");
      return s + present_ports_text(dev_root, sysfs_root) + brltty_text(sysfs_root);
    }
    case EACCES:
    case EPERM:
      return "cannot open " + device + ": " + permission_advice(describe_port(device, sysfs_root).group) + "\n";
    case EBUSY:
    case EWOULDBLOCK: return busy_text(device, describe_port(device, sysfs_root));
    case ENOTTY:
      return "cannot use " + device + ": it is not a serial device (the kernel does not treat it as a terminal)\n" +
             present_ports_text(dev_root, sysfs_root);
    default: return "cannot open " + device + ": " + std::strerror(err) + "\n";
  }
}

}  // namespace vci
