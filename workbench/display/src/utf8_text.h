// UTF-8 texts as the screens need them: width in terminal columns, cutting to a
// width without splitting a character, and case folding for matching names.
#pragma once

#include <string>
#include <string_view>

namespace stdhost::utf8 {

// Terminal columns of the text: combining marks take none, East Asian wide
// characters two, everything else (Latin, Cyrillic, °, µ) one. A byte that
// starts no valid character counts as one column.
int width(std::string_view s);

// The text cut to at most `columns` columns (never inside a character), then
// padded with blanks to exactly that width.
std::string fit(std::string_view s, int columns);

// Lower case of Latin and Cyrillic letters (А..Я, Ё), the rest unchanged:
// enough to match menu entries and buttons typed in either case.
std::string fold(std::string_view s);

}  // namespace stdhost::utf8
