// The registry of opened ports and the signal handler that puts them back.
#include "port_restore.h"

#include <sys/ioctl.h>

#include <atomic>
#include <csignal>
#include <mutex>

namespace vci {
namespace {

struct Slot {
  std::atomic<int> fd{-1};
  PortState state;
};
Slot g_slots[4];
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_previous[std::size(kSignals)];

void put_back(int fd, const PortState &state) {
  restore_port_state(fd, state);
  ioctl(fd, TIOCCBRK);  // never leave the line held low
  // The exclusive flag lives on the tty, not on the descriptor: left set, the tty would
  // stay closed to everyone but root.
  ioctl(fd, TIOCNXCL);
}

void on_signal(int sig) {
  for (Slot &s : g_slots) {
    const int fd = s.fd.load();
    if (fd >= 0) put_back(fd, s.state);
  }
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    if (kSignals[i] == sig) sigaction(sig, &g_previous[i], nullptr);
  // Blocked until this handler returns; then the earlier disposition takes it.
  raise(sig);
}

void install_handler() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
      struct sigaction sa {};
      sa.sa_handler = on_signal;
      sigemptyset(&sa.sa_mask);
      sigaction(kSignals[i], nullptr, &g_previous[i]);
      // An ignored signal stays ignored: nobody is about to end the process with it.
      if (g_previous[i].sa_handler == SIG_IGN) continue;
      sigaction(kSignals[i], &sa, nullptr);
    }
  });
}

}  // namespace

int remember_port(int fd, const PortState &state) {
  install_handler();
  for (int i = 0; i < static_cast<int>(std::size(g_slots)); ++i) {
    Slot &s = g_slots[i];
    if (s.fd.load() >= 0) continue;
    s.state = state;  // written before the descriptor makes the slot live
    int free = -1;
    if (s.fd.compare_exchange_strong(free, fd)) return i;
  }
  return -1;
}

void restore_and_forget_port(int slot) {
  if (slot < 0) return;
  Slot &s = g_slots[slot];
  const int fd = s.fd.exchange(-1);
  if (fd >= 0) put_back(fd, s.state);
}

}  // namespace vci
