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

}  // namespace
}  // namespace orv
