// Character rules over every 8-bit value, checked against the font strip's
// own order rather than against character-code arithmetic.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "display/DisplayModel.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

TEST(Glyphs, EveryByteValue) {
  constexpr const char* kHex = "0123456789ABCDEF";
  for (int c = 0; c < 256; ++c) {
    SCOPED_TRACE(test::Printable(std::string(1, static_cast<char>(c))));
    const auto u = static_cast<unsigned char>(c);
    // The blank at place 0 and the unused "_" have no glyph of their own.
    const char* place = c == 0 || c == ' ' || c == '_' ? nullptr : std::strchr(test::kFontOrder, c);
    const int glyph = place ? static_cast<int>(place - test::kFontOrder) : 0;
    const char* digit = c == 0 ? nullptr : std::strchr(kHex, c);
    EXPECT_EQ(GlyphOf(u), glyph);
    EXPECT_EQ(HexDigitValue(u), digit ? static_cast<int>(digit - kHex) : 0);
    EXPECT_EQ(HexDigitGlyph(u), digit ? glyph : 0);
  }
}

}  // namespace
}  // namespace orv
