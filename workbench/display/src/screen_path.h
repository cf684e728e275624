// Where the user is: the control unit of the session and the menu entries
// chosen on the way to the screen shown now ("Bosch M1.5.4 › Actuator tests ›
// Injectors"). The plug-in shows a menu again when the entry chosen in it has
// finished, so seeing a menu again is what pops the path back to it.
#pragma once

#include "screens.h"

#include <string>
#include <vector>

namespace stdhost {

class ScreenPath {
 public:
  void setSessionTitle(std::string title) { title_ = std::move(title); }
  const std::string &sessionTitle() const { return title_; }

  // A menu is about to be shown: the path drops whatever was chosen in it or
  // below it earlier.
  void menuShown(const MenuScreen &m);
  // The user chose this entry of the menu just shown (-1: back).
  void menuAnswered(const MenuScreen &m, int chosen);
  // The entry chosen last ("" at the top): the test a number box is for.
  std::string lastChosen() const { return frames_.empty() ? "" : frames_.back().chosen; }
  // Nothing chosen yet: the menu shown is the session's top menu.
  bool atTop() const { return frames_.empty(); }
  // The entries chosen on the way, outermost first.
  std::size_t depth() const { return frames_.size(); }
  const std::string &chosen(std::size_t i) const { return frames_[i].chosen; }
  // A new session starts from the top.
  void clear() { frames_.clear(); }

  // The header: session title and the chosen entries; `screenTitle` ends it
  // when nothing has been chosen yet (the top menu's own title).
  std::string header(const std::string &screenTitle, const std::string &separator = " \u203A ") const;

 private:
  struct Frame {
    std::string menu;    // the menu's title and entries, which tell menus apart
    std::string chosen;  // entry text
  };
  static std::string signature(const MenuScreen &m);
  std::string title_;
  std::vector<Frame> frames_;
};

}  // namespace stdhost
