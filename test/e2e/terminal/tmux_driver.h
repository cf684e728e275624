// A private tmux server holding one shell in a pane of fixed size: the tests
// type into it and read the screen back as text.
#pragma once

#include <string>

class Tmux {
 public:
  static bool available();

  Tmux(int cols, int rows);
  ~Tmux();
  Tmux(const Tmux &) = delete;
  Tmux &operator=(const Tmux &) = delete;

  // tmux send-keys arguments, e.g. "Down Down Enter" or "-l 850".
  void keys(const std::string &args);
  // A line typed into the shell, with Enter.
  void type(const std::string &line);
  std::string screen();
  // Waits until the screen shows text; false after timeoutMs.
  bool waitFor(const std::string &text, int timeoutMs = 15000);
  // Waits until the screen no longer shows text.
  bool waitGone(const std::string &text, int timeoutMs = 15000);
  bool alternateScreen();
  void resize(int cols, int rows);

 private:
  std::string run(const std::string &args);
  std::string socket_;
};
