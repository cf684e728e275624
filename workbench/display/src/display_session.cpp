// Display host state and the display look-up of text IDs.
#include "display_session.h"

#include "script_front_end.h"

#include <cstdio>

namespace stdhost {
namespace {

std::string missing(std::uint32_t id) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "<text 0x%08X missing>", id);
  return buf;
}

}  // namespace

DisplaySession& session() {
  static DisplaySession s;
  return s;
}

FrontEnd& DisplaySession::frontEnd() {
  // Nobody chose a front end: an empty script answers Back to everything,
  // so an unattended session still ends.
  if (!frontEnd_) frontEnd_ = std::make_unique<ScriptFrontEnd>(std::vector<Step>{}, transcriptOutput_);
  return *frontEnd_;
}

void DisplaySession::useFrontEnd(std::unique_ptr<FrontEnd> frontEnd) {
  frontEnd_ = std::move(frontEnd);
  otherScreen();
}

std::string DisplaySession::messageText(std::uint32_t id) {
  return library_.text(id, {FileRole::Texts, FileRole::Names, FileRole::TroubleCodes}).value_or(missing(id));
}

std::string DisplaySession::itemName(std::uint32_t id) {
  return library_.text(id, {FileRole::Names, FileRole::Texts, FileRole::TroubleCodes}).value_or(missing(id));
}

std::string DisplaySession::codeText(std::uint32_t id) {
  return library_.text(id, {FileRole::TroubleCodes, FileRole::Texts, FileRole::Names}).value_or(missing(id));
}

int DisplaySession::nextStreamPass() {
  panelPasses_ = 0;
  return ++streamPasses_;
}

int DisplaySession::nextPanelPass() {
  streamPasses_ = 0;
  return ++panelPasses_;
}

}  // namespace stdhost
