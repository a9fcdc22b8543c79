#include "display/DisplayModel.h"

#include <algorithm>

namespace orv {

const char* const kDisplayTypeName[kPages] = {" IIXDR0-8", " IIXDR9-15", " SONAR", " GPS"};

namespace {

// Columns 7 to 10 are where every value ends; they are rewritten on each row
// so that a shorter value does not leave digits of a longer one behind.
constexpr int kValueStart = 7;

// Keys of the built-in pages: a sentence header, and the slots it fills.
struct DefaultSlots {
  int page;
  int first;
  int last;
  const char* key;
};

constexpr DefaultSlots kDefaultSlots[] = {
    {0, 0, 9, "$IIXDR,"}, {1, 0, 9, "$IIXDR,"}, {2, 0, 3, "$SDVHW,"},
    {2, 4, 6, "$SDDBT,"}, {2, 7, 8, "$SDMTW,"}, {3, 0, 5, "$GPRMC,"},
};

}  // namespace

void DisplayModel::WriteRow(int row) {
  if (row < 0 || row >= kRows) return;
  int* cells = m_nGlyphOffset + row * kCols;

  // A label longer than the row is cut at the row's end.
  const int labelCells = static_cast<int>(std::min<size_t>(m_strRowLabel.size(), kCols));
  for (int i = 0; i < labelCells; ++i) {
    cells[i] = GlyphOf(static_cast<unsigned char>(m_strRowLabel[i])) * kGlyphWidth;
  }

  // The value is right-aligned by glyphs, not characters: blanks and commas
  // take no cell. A value wider than the row keeps its rightmost glyphs.
  int k = kCols - 1;
  for (auto it = m_strRowValue.rbegin(); it != m_strRowValue.rend() && k >= 0; ++it) {
    const int glyph = GlyphOf(static_cast<unsigned char>(*it));
    if (glyph > 0) cells[k--] = glyph * kGlyphWidth;
  }
  for (int i = kValueStart; i <= k; ++i) cells[i] = 0;
}

void DisplayModel::ResetDisplay() { std::fill(std::begin(m_nGlyphOffset), std::end(m_nGlyphOffset), kDashOffset); }

void DisplayModel::ClearCells() { std::fill(std::begin(m_nGlyphOffset), std::end(m_nGlyphOffset), 0); }

void DisplayModel::SetDefaultPages() {
  for (auto& page : m_strSlotKey) {
    for (auto& slot : page) slot.clear();
  }
  for (const DefaultSlots& d : kDefaultSlots) {
    for (int s = d.first; s <= d.last; ++s) m_strSlotKey[d.page][s] = d.key;
  }
}

}  // namespace orv
