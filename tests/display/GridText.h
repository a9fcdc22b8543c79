#pragma once
// Test views of the display model: rows as the characters their glyphs
// show, and received bytes made printable for legends and golden files.
#include <string>

#include "common/Text.h"
#include "display/DisplayModel.h"

namespace orv::test {

// The font strip in glyph order; glyph 12 is a second blank that no rule
// produces, shown as "_" so that a test notices it.
constexpr const char kFontOrder[] = " 0123456789._-ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// Row `row` as 11 characters; "?" for a cell that holds no glyph offset.
inline std::string RowText(const DisplayModel& model, int row) {
  std::string text;
  for (int col = 0; col < kCols; ++col) {
    const int offset = model.m_nGlyphOffset[row * kCols + col];
    const bool glyph = offset >= 0 && offset % kGlyphWidth == 0 && offset / kGlyphWidth < kGlyphCount;
    text += glyph ? kFontOrder[offset / kGlyphWidth] : '?';
  }
  return text;
}

// Printable ASCII as is, "\\" doubled, CR and LF as \r and \n, every other
// byte as \xHH.
inline std::string Printable(const std::string& bytes) {
  std::string text;
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\' || c == '\r' || c == '\n') {
      text += c == '\\' ? "\\\\" : c == '\r' ? "\\r" : "\\n";
    } else {
      text += c >= 0x20 && c < 0x7F ? std::string(1, ch) : Format("\\x%02X", c);
    }
  }
  return text;
}

}  // namespace orv::test
