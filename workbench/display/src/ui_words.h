// The front ends' own words (key bars, column heads, prompts) in the session's
// language. The texts the plug-in shows come from the text library instead.
#pragma once

#include "workbench_words.h"

#include <string>

namespace stdhost {

using words::Word;

// The word in the session's language.
const char *say(Word word);

// "2 codes" / "Кодов: 2": counts read differently in the two languages.
std::string countOf(int n, Word one, Word many);

}  // namespace stdhost
