// Character rules over every 8-bit value, checked against the font strip's
// own order rather than against character-code arithmetic.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "display/DisplayModel.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

// The position of `c` in `order`, or 0 when `c` is not in it (or is the
// blank that stands at position 0).
int PositionIn(const char* order, unsigned char c) {
  if (c == 0 || c == ' ' || c == '_') return 0;
  const char* at = std::strchr(order, c);
  return at ? static_cast<int>(at - order) : 0;
}

TEST(Glyphs, EveryByteHasTheGlyphOfItsPlaceInTheFontStrip) {
  for (int c = 0; c < 256; ++c) {
    SCOPED_TRACE(test::Printable(std::string(1, static_cast<char>(c))));
    EXPECT_EQ(GlyphOf(static_cast<unsigned char>(c)), PositionIn(test::kFontOrder, static_cast<unsigned char>(c)));
  }
}

TEST(Glyphs, HexDigitsAreCapitalsOnly) {
  constexpr const char* kHex = "0123456789ABCDEF";
  for (int c = 0; c < 256; ++c) {
    const auto u = static_cast<unsigned char>(c);
    SCOPED_TRACE(test::Printable(std::string(1, static_cast<char>(c))));
    const bool digit = c != 0 && std::strchr(kHex, c) != nullptr;
    EXPECT_EQ(HexDigitValue(u), digit ? static_cast<int>(std::strchr(kHex, c) - kHex) : 0);
    EXPECT_EQ(HexDigitGlyph(u), digit ? PositionIn(test::kFontOrder, u) : 0);
  }
}

TEST(Glyphs, LegendExamples) {
  struct Case {
    const char* legend;
    unsigned char c;
    int glyph;
  };
  const Case cases[] = {
      {"\"0\" is glyph 1", '0', 1},       {"\"A\" is glyph 14", 'A', 14},  {"\"a\" is glyph 40", 'a', 40},
      {"\".\" is glyph 11", '.', 11},     {"\"-\" is glyph 13", '-', 13},  {"\"z\" is the last glyph", 'z', 65},
      {"degree sign has none", 0xB0, 0},  {"comma has none", ',', 0},      {"\"*\" has none", '*', 0},
  };
  for (const Case& c : cases) EXPECT_EQ(GlyphOf(c.c), c.glyph) << c.legend;
}

TEST(DisplayTypes, CaptionsAreTheUnitsOwn) {
  EXPECT_STREQ(kDisplayTypeName[0], " IIXDR0-8");
  EXPECT_STREQ(kDisplayTypeName[1], " IIXDR9-15");
  EXPECT_STREQ(kDisplayTypeName[2], " SONAR");
  EXPECT_STREQ(kDisplayTypeName[3], " GPS");
}

}  // namespace
}  // namespace orv
