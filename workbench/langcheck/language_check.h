// Keeps the Russian text library in step with the English one: the same IDs,
// the same list counts, every text translated.
#pragma once

#include <string>
#include <vector>

namespace langcheck {

// Compares the language-dependent files of `englishDir` with those of
// `russianDir` (TEXTLIB.TXT, DSNAMES.TXT, DTCTEXT.TXT, and WORDS.TXT, which must hold
// every word of the workbench); returns one line per fault, "FILE: what", empty when
// the two languages agree.
std::vector<std::string> compareLanguages(const std::string &englishDir, const std::string &russianDir);

// Latin words of a Russian text that read as untranslated English. Codes and
// abbreviations (P0102, CO, ECU, M1.5.4N) are written in capitals or hold
// digits and pass; so do the few proper names and key names of the allow list, single
// letters (keys to press) and {placeholders}.
std::vector<std::string> englishWords(const std::string &russianText);

}  // namespace langcheck
