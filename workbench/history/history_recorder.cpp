// Screens to history records.
#include "history_recorder.h"

#include "vaz_contracts.h"

#include <algorithm>

namespace history {

HistoryRecorder::HistoryRecorder(HistoryWriter &writer, LineAccess line, bool recordAll)
    : writer_(writer), line_(std::move(line)), recordAll_(recordAll) {}

std::vector<Field> HistoryRecorder::lines(const StdShown &e) const {
  std::vector<Field> out;
  out.reserve(static_cast<std::size_t>(e.lineCount));
  for (int i = 0; i < e.lineCount; ++i) out.emplace_back(e.lines[i].name, e.lines[i].value);
  return out;
}

std::span<const PassItem> HistoryRecorder::passItems(const StdShown &e) {
  const auto n = static_cast<std::size_t>(std::max(e.lineCount, 0));
  if (passItems_.size() < n) passItems_.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const StdShownLine &l = e.lines[i];
    PassItem &item = passItems_[i];
    item.shown = l.name;
    item.name = l.item;
    item.unit = l.unit;
    item.value = l.value;
    item.number = l.isNumber ? std::optional<double>(l.number) : std::nullopt;
  }
  return {passItems_.data(), n};
}

void HistoryRecorder::saveTest() {
  std::string steps;
  for (const auto &s : steps_) steps += (steps.empty() ? "" : "; ") + s;
  const std::string sent = sentText(line_.frames.since(testFrames_));
  writer_.updateTest(test_, steps, sent, outcome_);
}

void HistoryRecorder::closeTest() {
  if (test_ == 0) return;
  saveTest();
  test_ = 0;
  steps_.clear();
  outcome_.clear();
}

void HistoryRecorder::startAction(const StdShown &menu) {
  closeTest();
  if (menu.answer < 0) return;
  std::vector<std::string> entries;
  for (int i = 0; i < menu.lineCount; ++i) entries.emplace_back(menu.lines[i].name);
  if (menu.pathLength == 0) {
    action_ = menu.text;
    list_.clear();
    parent_.clear();
    sawIdentification_ = confirmed_ = clearSaved_ = false;
    actionFrames_ = line_.frames.position();
    return;
  }
  // Below the function menu every choice is a test step, named with the list entry it
  // belongs to when it comes from a deeper menu ("Injectors / Switch off").
  if (list_.empty()) list_ = entries;
  std::string name = menu.text;
  if (entries == list_)
    parent_ = menu.text;
  else if (!parent_.empty())
    name = parent_ + " / " + menu.text;
  testFrames_ = line_.frames.position();
  test_ = writer_.startTest(name);
}

void HistoryRecorder::shown(const StdShown &e) {
  switch (e.kind) {
    case STD_SHOWN_MENU: startAction(e); break;
    case STD_SHOWN_IDENTIFICATION:
      // Kept as first shown; its refreshes repeat it.
      if (!sawIdentification_) writer_.identification(lines(e));
      sawIdentification_ = true;
      break;
    case STD_SHOWN_STREAM: {
      if (test_ != 0) {
        outcome_.clear();
        for (const auto &[n, v] : lines(e)) outcome_ += (outcome_.empty() ? "" : "; ") + n + ": " + v;
        if (e.pass == 1) saveTest();
      }
      if (e.recording || recordAll_) writer_.pass(line_.clockMs(), passItems(e));
      break;
    }
    case STD_SHOWN_CODES: writer_.codeList(action_, lines(e)); break;
    case STD_SHOWN_MESSAGE: {
      const bool question = e.style == VAZ_BOX_QUESTION || e.style == VAZ_BOX_CONFIRM;
      if (question) {
        const bool yes = e.style == VAZ_BOX_QUESTION ? e.answer != 0 : e.answer == 1;
        confirmed_ = confirmed_ || yes;
        if (test_ != 0) steps_.push_back(std::string(e.text) + " " + (yes ? "yes" : "no"));
        break;
      }
      if (e.style == VAZ_BOX_NOTICE) break;  // "please wait": progress, not a result
      if (test_ != 0) {
        outcome_ = e.text;
        saveTest();
      } else {
        writer_.notice(action_, e.text);
      }
      if (confirmed_ && !clearSaved_ && test_ == 0) {
        ClearOutcome c = findClear(line_.frames.since(actionFrames_));
        if (c.found) {
          writer_.clear(c.ok, e.text, c.sent);
          clearSaved_ = true;
        }
      }
      break;
    }
    case STD_SHOWN_INPUT:
      if (test_ != 0) steps_.push_back(std::string(e.text) + " " + std::to_string(e.answer));
      break;
    case STD_SHOWN_PANEL:
      if (test_ == 0) break;
      outcome_.clear();
      for (const auto &[n, v] : lines(e)) outcome_ += (outcome_.empty() ? "" : "; ") + n + ": " + v;
      if (e.answer >= 0) {
        steps_.push_back(std::string("pressed ") + e.text);
        saveTest();
      }
      break;
    default: break;
  }
}

void HistoryRecorder::finish(bool normal, bool commFailure) {
  closeTest();
  if (normal) writer_.endSession(commFailure);
}

}  // namespace history
