#include "tests/display/GridText.h"

#include "common/Text.h"

namespace orv::test {

char CellChar(int offset) {
  if (offset < 0 || offset % kGlyphWidth != 0 || offset / kGlyphWidth >= kGlyphCount) return '?';
  return kFontOrder[offset / kGlyphWidth];
}

std::string RowText(const DisplayModel& model, int row) {
  std::string text;
  for (int col = 0; col < kCols; ++col) text += CellChar(model.m_nGlyphOffset[row * kCols + col]);
  return text;
}

std::string GridText(const DisplayModel& model) {
  std::string text;
  for (int row = 0; row < kRows; ++row) text += "|" + RowText(model, row) + "|\n";
  return text;
}

std::string Printable(const std::string& bytes) {
  std::string text;
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\') {
      text += "\\\\";
    } else if (c == '\r') {
      text += "\\r";
    } else if (c == '\n') {
      text += "\\n";
    } else if (c >= 0x20 && c < 0x7F) {
      text += static_cast<char>(c);
    } else {
      text += Format("\\x%02X", c);
    }
  }
  return text;
}

}  // namespace orv::test
