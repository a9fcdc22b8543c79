#pragma once
// Test views of the display model: rows as the characters their glyphs
// show, and received bytes made printable for legends and golden files.
#include <string>

#include "display/DisplayModel.h"

namespace orv::test {

// The font strip in glyph order; glyph 12 is a second blank that no rule
// produces, shown as "_" so that a test notices it.
constexpr const char kFontOrder[] = " 0123456789._-ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// One cell as the character its glyph shows; "?" for a value that is not a
// glyph offset.
char CellChar(int offset);

// Row `row` as 11 characters.
std::string RowText(const DisplayModel& model, int row);

// All 9 rows, each between "|" and "|", one per line.
std::string GridText(const DisplayModel& model);

// Printable ASCII as is, "\\" doubled, CR and LF as \r and \n, every other
// byte as \xHH.
std::string Printable(const std::string& bytes);

}  // namespace orv::test
