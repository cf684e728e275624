// What vazdiag checks of its command line before a session.
#include "input_checks.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "workbench/printable.h"

namespace vazdiag {
namespace {

// "" for an ordinary file, else what it is instead.
std::string not_a_file(const std::string &path, const struct stat &st) {
  if (S_ISREG(st.st_mode)) return "";
  // Reads empty and takes anything: harmless, and the usual way to say "nothing".
  if (path == "/dev/null") return "";
  if (S_ISDIR(st.st_mode)) return "is a directory";
  if (S_ISFIFO(st.st_mode)) return "is a FIFO";
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "is a device";
  if (S_ISSOCK(st.st_mode)) return "is a socket";
  return "is not an ordinary file";
}

std::string named(const std::string &what, const std::string &path) {
  return what + " " + workbench::printable(path, 200);
}

// The menu entries' availability bits, as the host documents them: read codes, erase codes,
// live data, actuator tests, identification (Bosch ECUs only), special functions.
constexpr int kAllOffered = 0x40000000;
constexpr int kGmEntryBits = 0x001 | 0x002 | 0x004 | 0x008 | 0x800;
constexpr int kBoschEntryBits = kGmEntryBits | 0x020;
constexpr bool is_gm(int ecuType) { return ecuType == 9 || ecuType == 10; }

}  // namespace

std::string check_input_file(const std::string &what, const std::string &path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return "cannot read " + named(what, path) + ": " + std::strerror(errno);
  if (const std::string kind = not_a_file(path, st); !kind.empty())
    return named(what, path) + " " + kind + ", not a file";
  return "";
}

std::string read_input_file(const std::string &what, const std::string &path, std::string &text) {
  if (std::string e = check_input_file(what, path); !e.empty()) return e;
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot read " + named(what, path) + ": " + std::strerror(errno);
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return "";
}

std::string check_output_file(const std::string &what, const std::string &path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return "";  // created by the session (or refused then)
  if (const std::string kind = not_a_file(path, st); !kind.empty())
    return named(what, path) + " " + kind + ", not a file";
  return "";
}

std::string check_functions(int functions, int ecuType) {
  if (functions == kAllOffered) return "";
  const int bits = is_gm(ecuType) ? kGmEntryBits : kBoschEntryBits;
  if ((functions & bits) != 0) return "";
  char text[320];
  std::snprintf(text, sizeof text,
                "--functions 0x%X offers no menu entry of this ECU: give 0x40000000 for every entry, or "
                "any of 0x1 read codes, 0x2 erase codes, 0x4 live data, 0x8 actuator tests, %s0x800 special "
                "functions",
                static_cast<unsigned>(functions), is_gm(ecuType) ? "" : "0x20 identification, ");
  return text;
}

}  // namespace vazdiag
