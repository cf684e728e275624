// Tells the registered screen observer (std_observer.h) what was shown. Called from the
// display services, where every front end meets, so that no front end has to know of it.
#pragma once

#include "screens.h"

namespace stdhost {

void observeMessage(const MessageScreen &s, int answer, unsigned textId);
void observeMenu(const MenuScreen &s, int chosen);
void observeSelect(const SelectScreen &s, const std::optional<std::vector<bool>> &ticks);
void observeStream(const StreamScreen &s, bool recording);
void observeCodes(const CodeScreen &s);
void observeInput(const InputScreen &s, int value);
void observePanel(const PanelScreen &s, int button);

}  // namespace stdhost
