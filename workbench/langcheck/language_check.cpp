// The comparison of the two languages of the text library.
#include "language_check.h"

#include "record_file.h"
#include "vaz_text_ids.h"
#include "workbench_words.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <string_view>

namespace langcheck {
namespace {

constexpr std::array kTextFiles{"TEXTLIB.TXT", "DSNAMES.TXT", "DTCTEXT.TXT", words::kWordsFile};

// Proper names, and the names of keys printed on the keyboard, that stay in Latin
// letters in Russian texts.
constexpr std::array kKeptNames{"Bosch", "Enter", "Esc", "Backspace", "Del"};

// The plug-in reads state texts into VAZ_STATE_TEXT_SIZE-byte buffers: longer
// Russian words would be cut on screen. 0xFE5520A1 and up are the CO
// adjustment's title and question, shown whole.
constexpr std::size_t kStateTextBytes = VAZ_STATE_TEXT_SIZE - 1;
bool isStateText(std::uint32_t id) { return id >= VAZ_STATE_TEXT_FIRST && id <= VAZ_STATE_TEXT_LAST; }

bool isCount(const std::string &text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isLatin(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string hexId(std::uint32_t id) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", id);
  return buf;
}

// Records in ID order, so that faults come out in a stable order.
std::map<std::uint32_t, const stdhost::Record *> sorted(const stdhost::RecordFile &f) {
  std::map<std::uint32_t, const stdhost::Record *> out;
  for (const auto &[id, r] : f.records) out.emplace(id, &r);
  return out;
}

}  // namespace

std::vector<std::string> englishWords(const std::string &text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size();) {
    if (!isLatin(text[i])) {
      ++i;
      continue;
    }
    // A word is a run of Latin letters and digits; one with a digit is a code.
    std::size_t end = i;
    bool digit = false, lower = false;
    for (; end < text.size() && (isLatin(text[end]) || (text[end] >= '0' && text[end] <= '9')); ++end) {
      digit = digit || (text[end] >= '0' && text[end] <= '9');
      lower = lower || (text[end] >= 'a' && text[end] <= 'z');
    }
    std::string word = text.substr(i, end - i);
    // A single letter is a key to press ("p график"); "{values}" is filled in where shown.
    const bool key = word.size() == 1;
    const bool placeholder = i > 0 && text[i - 1] == '{' && end < text.size() && text[end] == '}';
    if (lower && !digit && !key && !placeholder &&
        std::find(kKeptNames.begin(), kKeptNames.end(), word) == kKeptNames.end())
      out.push_back(word);
    i = end;
  }
  return out;
}

std::vector<std::string> compareLanguages(const std::string &englishDir, const std::string &russianDir) {
  std::vector<std::string> faults;
  for (const char *name : kTextFiles) {
    stdhost::RecordFile en, ru;
    const std::string enPath = englishDir + "/" + name, ruPath = russianDir + "/" + name;
    if (!stdhost::loadRecordFile(enPath, en)) faults.push_back(enPath + ": cannot read");
    if (!stdhost::loadRecordFile(ruPath, ru)) faults.push_back(ruPath + ": cannot read");
    for (const auto *f : {&en, &ru})
      for (const auto &e : f->errors) faults.push_back(e);
    const std::string file = std::string("ru/") + name;

    // The workbench asks for its words by ID: each must be there in English (and so,
    // by the comparison below, in Russian).
    if (std::string_view(name) == words::kWordsFile)
      for (const words::Word w : words::kAllWords)
        if (!en.find(static_cast<std::uint32_t>(w)))
          faults.push_back(std::string(name) + ": " + hexId(static_cast<std::uint32_t>(w)) +
                           ", a word the workbench shows, is missing");

    for (const auto &[id, r] : sorted(en))
      if (!ru.find(id)) faults.push_back(file + ": " + hexId(id) + " is missing (English: '" + r->bytes + "')");
    for (const auto &[id, r] : sorted(ru)) {
      const stdhost::Record *e = en.find(id);
      if (!e) {
        faults.push_back(file + ": " + hexId(id) + " has no English counterpart");
        continue;
      }
      if (r->binary) {
        faults.push_back(file + ": " + hexId(id) + " is a binary record: command lists exist once, in English");
        continue;
      }
      if ((isCount(e->bytes) || isCount(r->bytes)) && e->bytes != r->bytes) {
        faults.push_back(file + ": " + hexId(id) + " list count " + r->bytes + " differs from the English " + e->bytes);
        continue;
      }
      // Identical to the English text: untranslated, unless it holds no word at all.
      if (r->bytes == e->bytes && std::any_of(r->bytes.begin(), r->bytes.end(), isLatin))
        faults.push_back(file + ": " + hexId(id) + " is not translated: '" + r->bytes + "'");
      for (const auto &w : englishWords(r->bytes))
        faults.push_back(file + ": " + hexId(id) + " holds the English word '" + w + "': '" + r->bytes + "'");
      if (isStateText(id) && r->bytes.size() > kStateTextBytes)
        faults.push_back(file + ": " + hexId(id) + " state text '" + r->bytes + "' is longer than " +
                         std::to_string(kStateTextBytes) + " bytes");
    }
  }
  return faults;
}

}  // namespace langcheck
