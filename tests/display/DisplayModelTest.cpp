// The display model: the character rules over every 8-bit value, checked
// against the font strip's own order rather than character-code arithmetic,
// and how a row is written.
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

// Dashes until data comes; blanks when DISPLAY changes the type.
TEST(DisplayModel, ResetAndClear) {
  DisplayModel model;
  model.ResetDisplay();
  EXPECT_EQ(test::RowText(model, 8), "-----------");
  model.ClearCells();
  EXPECT_EQ(test::RowText(model, 8), "           ");
}

TEST(WriteRow, LabelsAndRightAlignedValues) {
  struct Case {
    const char* legend;
    int row;
    std::string label;
    std::string value;
    const char* before;  // row 4's cells before the write
    const char* after;   // the written row afterwards; every other row keeps its dashes
  };
  const std::string w40(40, 'W');
  const std::string n40(40, '9');
  const Case cases[] = {
      {"label, blank cell 7, value", 4, "Depth f  ", "7.8", "-----------", "Depth f 7.8"},
      {"blanks and commas take no cell", 4, "X", " 1 2,3,", "-----------", "X------ 123"},
      {"a value wider than the label's room overwrites it", 4, "ENGTMP3", "0071.5", "-----------", "ENGTM0071.5"},
      {"a long value keeps its rightmost glyphs", 4, "", "0123456789ABCDEF", "-----------", "56789ABCDEF"},
      {"8-bit characters: a blank cell in the label, none in the value", 4, "Te\xB0", "5\xB0" "4", "ABCDEFGHIJK",
       "Te DEFG  54"},
      {"the last row ends at the last cell", 8, w40, n40, "-----------", "99999999999"},
      {"row 9 is ignored", 9, "LABEL", "123", "-----------", nullptr},
      {"row -1 is ignored", -1, "LABEL", "123", "-----------", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.legend) + ": row " + std::to_string(c.row) + " label \"" +
                 test::Printable(c.label) + "\" value \"" + test::Printable(c.value) + "\"");
    DisplayModel model;
    model.ResetDisplay();
    for (int col = 0; col < kCols; ++col) {
      model.m_nGlyphOffset[4 * kCols + col] = GlyphOf(static_cast<unsigned char>(c.before[col])) * kGlyphWidth;
    }
    model.m_strRowLabel = c.label;
    model.m_strRowValue = c.value;
    model.WriteRow(c.row);
    for (int row = 0; row < kRows; ++row) {
      const char* expected = row == c.row ? c.after : row == 4 ? c.before : "-----------";
      EXPECT_EQ(test::RowText(model, row), expected) << "row " << row;
    }
  }
}

}  // namespace
}  // namespace orv
