// tmux commands through the shell.
#include "tmux_driver.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

std::string capture(const std::string &command) {
  std::string out;
  if (FILE *p = popen(command.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

}  // namespace

bool Tmux::available() { return std::system("command -v tmux >/dev/null 2>&1") == 0; }

Tmux::Tmux(int cols, int rows) : socket_("vazdiag-test-" + std::to_string(::getpid())) {
  run("kill-server");
  run("-f /dev/null new-session -d -s t -x " + std::to_string(cols) + " -y " + std::to_string(rows) +
      " \"env -i PATH=/usr/bin:/bin TERM=screen HOME=/tmp LANG=C.UTF-8 PS1='$ ' bash --norc --noprofile -i\"");
  run("set-option -t t status off");
  waitFor("$");
}

Tmux::~Tmux() { run("kill-server"); }

std::string Tmux::run(const std::string &args) { return capture("tmux -L " + socket_ + " " + args + " 2>&1"); }

void Tmux::keys(const std::string &args) { run("send-keys -t t " + args); }

void Tmux::type(const std::string &line) {
  std::string quoted = "'";
  for (char c : line) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  run("send-keys -t t -l " + quoted + "'");
  run("send-keys -t t Enter");
}

std::string Tmux::screen() { return run("capture-pane -p -t t"); }

bool Tmux::waitFor(const std::string &text, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 50) {
    if (screen().find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

bool Tmux::waitGone(const std::string &text, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 50) {
    if (screen().find(text) == std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

bool Tmux::alternateScreen() { return run("display-message -p -t t '#{alternate_on}'").rfind("1", 0) == 0; }

void Tmux::resize(int cols, int rows) {
  run("resize-window -t t -x " + std::to_string(cols) + " -y " + std::to_string(rows));
}
