// Looks the workbench's words up in the word files compiled into the program, read by
// the text library's own record parser.
#include "workbench_words.h"

#include "record_file.h"

#include <cstdio>
#include <string>

namespace words {

// The word files as they stand in data/ (words_files.cpp, generated at configure time).
extern const char *const kEnglishWords;
extern const char *const kRussianWords;

namespace {

const stdhost::RecordFile &parsed(bool russian) {
  static const stdhost::RecordFile english = stdhost::parseRecordFile(kEnglishWords, kWordsFile);
  static const stdhost::RecordFile russianWords = stdhost::parseRecordFile(kRussianWords, "ru/WORDS.TXT");
  return russian ? russianWords : english;
}

}  // namespace

const char *text(Word word, std::string_view code) {
  const auto id = static_cast<std::uint32_t>(word);
  if (const stdhost::Record *r = parsed(code == "ru").find(id)) return r->bytes.c_str();
  if (const stdhost::Record *r = parsed(false).find(id)) return r->bytes.c_str();
  // The language check fails the build before a word can go missing; this is for a
  // hand-edited build only.
  return "<workbench word missing>";
}

}  // namespace words
