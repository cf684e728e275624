// The front ends' words in the session's language, from the workbench's word files.
// Transcripts keep their English markup ("[menu]", "> back"): they are read by tests
// and tools.
#include "ui_words.h"

#include "display_session.h"

namespace stdhost {
namespace {

bool russian() { return session().library().language() == Language::Russian; }

}  // namespace

const char *say(Word word) { return words::text(word, russian() ? "ru" : "en"); }

std::string countOf(int n, Word one, Word many) {
  // Russian plural forms are avoided altogether: "Кодов: 2".
  if (russian()) return std::string(say(many)) + ": " + std::to_string(n);
  return std::to_string(n) + " " + say(n == 1 ? one : many);
}

}  // namespace stdhost
