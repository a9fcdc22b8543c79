#pragma once
// The picture of the unit's screen as data: 9 rows of 11 cells, each the x
// offset of its glyph in the font strip; the page table that tells the
// decoder which sentences each display type asks for; the raw sentence of
// every channel for the capture records. No I/O and no Qt: the window owns
// one of these under its lock and draws it.
#include <string>

namespace orv {

constexpr int kRows = 9;
constexpr int kCols = 11;
constexpr int kCells = kRows * kCols;
constexpr int kPages = 4;
constexpr int kSlots = 16;
constexpr int kGlyphWidth = 20;
constexpr int kGlyphHeight = 25;
constexpr int kGlyphCount = 66;
constexpr int kDashOffset = 260;  // glyph 13, "-": the fill while there is no data

// Character rules of the display font (glyph numbers, not offsets).
int GlyphOf(unsigned char c);
int HexDigitValue(unsigned char c);
int HexDigitGlyph(unsigned char c);

// Captions of the four display types, as DISPLAY shows them.
extern const char* const kDisplayTypeName[kPages];

struct DisplayModel {
  int m_nGlyphOffset[kCells] = {};
  std::string m_strSlotKey[kPages][kSlots];
  std::string m_strPageName[kPages];
  std::string m_strSlotSentence[kSlots];
  std::string m_strRowLabel;
  std::string m_strRowValue;
  int m_nDisplayType = 0;

  // Decodes one received block (bytes; the caller has cut it at its first
  // zero byte). Always true.
  bool DecodeBlock(std::string block);
  // Writes m_strRowLabel and m_strRowValue into row `row`; rows 9 and up are ignored.
  void WriteRow(int row);
  // Every cell to the dash glyph.
  void ResetDisplay();
  // Every cell to the blank glyph.
  void ClearCells();
  // The built-in page table used when there is no page file.
  void SetDefaultPages();
};

}  // namespace orv
