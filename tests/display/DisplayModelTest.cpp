#include <gtest/gtest.h>

#include <string>

#include "display/DisplayModel.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

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
      {"one glyph blanks cells 7 to 9", 4, "Depth f  ", "7", "-----------", "Depth f   7"},
      {"cells the label and value leave keep their glyph", 4, "AB", "1", "-----------", "AB-----   1"},
      {"blanks and commas take no cell", 4, "X", " 1 2,3,", "-----------", "X------ 123"},
      {"a value wider than the label's room overwrites it", 4, "ENGTMP3", "0071.5", "-----------", "ENGTM0071.5"},
      {"a long value keeps its rightmost glyphs", 4, "", "0123456789ABCDEF", "-----------", "56789ABCDEF"},
      {"a long label is cut at the row's end", 4, "ABCDEFGHIJKLMNOP", "", "-----------", "ABCDEFG    "},
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
