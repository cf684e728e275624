// Small drawing helpers of the full-screen front end: bars, clipped text in
// display columns (texts are UTF-8), boxes and the scroll window of a list.
#pragma once

#include <string>
#include <vector>

namespace stdhost::draw {

constexpr int kMinCols = 40;
constexpr int kMinRows = 10;

// Display columns of a UTF-8 text: Cyrillic takes two bytes but one column.
int columns(const std::string &s);
// The text cut (never inside a character) or padded with blanks to exactly `width` columns.
std::string fit(const std::string &s, int width);

// Clears the screen and draws the title bar and the key bar. false, after
// drawing a notice instead, when the terminal is too small for any screen.
bool frame(const std::string &title, const std::string &keys);
void text(int row, int col, const std::string &s, int width, int attrs = 0);
// A centred box with a title and lines of text; returns its top row (and its left column).
int box(const std::string &title, const std::vector<std::string> &lines, int extraRows, int *leftColumn = nullptr);
// Word-wrapped lines of at most `width` columns (explicit line breaks kept).
std::vector<std::string> wrap(const std::string &s, int width);
// First visible row of a list of n rows with the cursor at `cursor`, for `rows` rows.
int scrollTop(int cursor, int n, int rows);
// Rows available between the bars.
int bodyRows();

}  // namespace stdhost::draw
