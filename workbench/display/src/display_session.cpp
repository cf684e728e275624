// Display host state and the display look-up of text IDs.
#include "display_session.h"

#include "script_front_end.h"
#include "ui_words.h"

#include <cstdio>

namespace stdhost {
DisplaySession &session() {
  static DisplaySession s;
  return s;
}

FrontEnd &DisplaySession::frontEnd() {
  // Nobody chose a front end: an empty script answers Back to everything,
  // so an unattended session still ends.
  if (!frontEnd_) frontEnd_ = std::make_unique<ScriptFrontEnd>(std::vector<Step>{}, transcriptOutput_);
  return *frontEnd_;
}

void DisplaySession::useFrontEnd(std::unique_ptr<FrontEnd> frontEnd) {
  frontEnd_ = std::move(frontEnd);
  otherScreen();
}

const std::string &DisplaySession::missing(std::uint32_t id) {
  auto [it, fresh] = missing_.try_emplace(id);
  if (fresh) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "<text 0x%08X missing>", id);
    it->second = buf;
  }
  return it->second;
}

const std::string &DisplaySession::messageText(std::uint32_t id) {
  const std::string *t = library_.find(id, {FileRole::Texts, FileRole::Names, FileRole::TroubleCodes});
  return t ? *t : missing(id);
}

const std::string &DisplaySession::itemName(std::uint32_t id) {
  const std::string *t = library_.find(id, {FileRole::Names, FileRole::Texts, FileRole::TroubleCodes});
  return t ? *t : missing(id);
}

namespace {

// Whether the trouble-code file numbers the block of `id` (its high 16 bits) by
// P-code: its texts then lead with the P-code of their own ID, as
// 0x58200102 "P0102 ...". Other blocks (current-fault bits, GM codes) do not.
bool pCodeBlock(const RecordFile *file, std::uint32_t id) {
  if (!file) return false;
  for (const auto &[rid, r] : file->records) {
    if ((rid >> 16) != (id >> 16) || r.binary) continue;
    char code[8];
    std::snprintf(code, sizeof code, "P%04X", static_cast<unsigned>(rid & 0xFFFFu));
    if (r.bytes.compare(0, 5, code) == 0) return true;
  }
  return false;
}

}  // namespace

std::string DisplaySession::troubleCode(std::uint32_t id) {
  if (const std::string *t = library_.find(id, {FileRole::TroubleCodes, FileRole::Texts, FileRole::Names})) return *t;
  // A code the text files do not know is still the car's code: say it, and
  // that it is unknown, in the session's language.
  char buf[24];
  const auto file = library_.standard(FileRole::TroubleCodes);
  if (pCodeBlock(file.get(), id)) {
    std::snprintf(buf, sizeof buf, "P%04X ", static_cast<unsigned>(id & 0xFFFFu));
    return buf + std::string(say(Word::UnknownCode));
  }
  std::snprintf(buf, sizeof buf, " (0x%08X)", static_cast<unsigned>(id));
  return say(Word::UnknownCode) + std::string(buf);
}

bool DisplaySession::addStreamLine(const std::string &name, const char *value, std::size_t limit) {
  if (streamUsed_ >= limit) return false;
  if (streamUsed_ == stream.lines.size()) {
    stream.lines.emplace_back();
    stream.items.emplace_back();
  }
  NameValue &line = stream.lines[streamUsed_];
  LiveItem &item = stream.items[streamUsed_++];
  // Pass after pass the names repeat: each is split once, when it first stands here.
  if (line.name != name) {
    line.name = name;  // assignments reuse the strings' room
    item.label = workbench::split_unit(name);
  }
  line.value = value ? value : "";
  item.number = workbench::number_of(line.value);
  return true;
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
