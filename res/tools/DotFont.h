#pragma once
// The unit's character generator: a 5 x 7 dot matrix with one more row below
// for descenders, as on a character LCD.
#include <array>
#include <string>

namespace art {

constexpr int kDotColumns = 5;
constexpr int kDotRows = 8;

// Row r, column c lit: rows[r][c] == '#'.
using DotRows = std::array<const char*, kDotRows>;

// The dot pattern of `c`, or nullptr when the font has no dots for it (the
// blank, and any character outside the font).
const DotRows* DotsOf(char c);

// The characters of the display font strip, glyph n at position n.
const std::string& StripCharacters();

// Empty when every pattern is 8 rows of 5 '#'/'.' and every strip character
// other than the blank has one; otherwise what is wrong.
std::string CheckDotFont();

}  // namespace art
