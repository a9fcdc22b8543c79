#include <gtest/gtest.h>

#include <string>

#include "display/DisplayModel.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

using test::Printable;
using test::RowText;

TEST(WriteRow, LabelsAndRightAlignedValues) {
  struct Case {
    const char* legend;
    std::string label;
    std::string value;
    const char* before;  // the row's cells before the write
    const char* row;     // and after it
  };
  const Case cases[] = {
      {"label, blank cell 7, value", "Depth f  ", "7.8", "-----------", "Depth f 7.8"},
      {"one glyph blanks cells 7 to 9", "Depth f  ", "7", "-----------", "Depth f   7"},
      {"empty value blanks cells 7 to 10", "HEAD T  ", "", "-----------", "HEAD T     "},
      {"cells the label and value leave keep their glyph", "AB", "1", "-----------", "AB-----   1"},
      {"blanks and commas take no cell", "X", " 1 2,3,", "-----------", "X------ 123"},
      {"a value wider than the label's room overwrites it", "ENGTMP3", "0071.5", "-----------", "ENGTM0071.5"},
      {"a long value keeps its rightmost glyphs", "", "0123456789ABCDEF", "-----------", "56789ABCDEF"},
      {"a value of exactly 11 glyphs fills the row", "LABEL", "01234567890", "-----------", "01234567890"},
      {"a long label is cut at the row's end", "ABCDEFGHIJKLMNOP", "", "-----------", "ABCDEFG    "},
      {"8-bit characters of the label blank their cell", "Temp\xB0" "F   ", " 54.5", "-----------", "Temp F 54.5"},
      {"8-bit characters of the value take no cell", "", "5\xB0" "4", "ABCDEFGHIJK", "ABCDEFG  54"},
      {"nothing to write still blanks the value area", "", "", "ABCDEFGHIJK", "ABCDEFG    "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.legend) + ": label \"" + Printable(c.label) + "\" value \"" + Printable(c.value) + "\"");
    DisplayModel model;
    model.ResetDisplay();
    for (int col = 0; col < kCols; ++col) {
      model.m_nGlyphOffset[4 * kCols + col] = GlyphOf(static_cast<unsigned char>(c.before[col])) * kGlyphWidth;
    }
    model.m_strRowLabel = c.label;
    model.m_strRowValue = c.value;
    model.WriteRow(4);
    EXPECT_EQ(RowText(model, 4), c.row);
    for (int row = 0; row < kRows; ++row) {
      if (row != 4) {
        EXPECT_EQ(RowText(model, row), "-----------") << "row " << row;
      }
    }
  }
}

TEST(WriteRow, RowsOutsideTheGridAreIgnored) {
  for (const int row : {9, 10, 1000, -1, -100}) {
    DisplayModel model;
    model.ResetDisplay();
    model.m_strRowLabel = "LABEL";
    model.m_strRowValue = "123";
    model.WriteRow(row);
    for (const int cell : model.m_nGlyphOffset) ASSERT_EQ(cell, kDashOffset) << "row " << row;
  }
}

TEST(WriteRow, LastRowEndsAtTheLastCell) {
  DisplayModel model;
  model.ResetDisplay();
  model.m_strRowLabel = std::string(40, 'W');
  model.m_strRowValue = std::string(40, '9');
  model.WriteRow(8);
  EXPECT_EQ(RowText(model, 8), "99999999999");
  EXPECT_EQ(RowText(model, 7), "-----------");
}

TEST(DisplayModel, ResetFillsDashesAndClearBlanks) {
  DisplayModel model;
  model.ResetDisplay();
  for (const int cell : model.m_nGlyphOffset) EXPECT_EQ(cell, 260);
  model.ClearCells();
  for (const int cell : model.m_nGlyphOffset) EXPECT_EQ(cell, 0);
}

TEST(DisplayModel, DefaultPages) {
  struct Case {
    const char* legend;
    int page;
    int first;
    int last;
    const char* key;
  };
  const Case cases[] = {
      {"transducers 0-8", 0, 0, 9, "$IIXDR,"},   {"transducers 0-8, rest", 0, 10, 15, ""},
      {"transducers 9-15", 1, 0, 9, "$IIXDR,"},  {"transducers 9-15, rest", 1, 10, 15, ""},
      {"sonar: speed", 2, 0, 3, "$SDVHW,"},      {"sonar: depth", 2, 4, 6, "$SDDBT,"},
      {"sonar: temperature", 2, 7, 8, "$SDMTW,"}, {"sonar: rest", 2, 9, 15, ""},
      {"gps: RMC", 3, 0, 5, "$GPRMC,"},          {"gps: rest", 3, 6, 15, ""},
  };
  DisplayModel model;
  model.m_strSlotKey[3][10] = "left over";
  model.SetDefaultPages();
  for (const Case& c : cases) {
    for (int slot = c.first; slot <= c.last; ++slot) {
      EXPECT_EQ(model.m_strSlotKey[c.page][slot], c.key) << c.legend << ", slot " << slot;
    }
  }
}

}  // namespace
}  // namespace orv
