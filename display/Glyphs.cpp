#include "display/DisplayModel.h"

// The font strip holds, from the left: blank, "0" to "9", ".", a second
// blank, "-", "A" to "Z", "a" to "z". Everything else, the 8-bit characters
// included, has no glyph and shows as the blank.
namespace orv {

int GlyphOf(unsigned char c) {
  if (c >= '0' && c <= '9') return c - 47;
  if (c >= 'A' && c <= 'Z') return c - 51;
  if (c >= 'a' && c <= 'z') return c - 57;
  if (c == '.') return 11;
  if (c == '-') return 13;
  return 0;
}

// Transducer indexes and flash addresses are written with capital hex
// digits only; a small letter is not a digit here.
int HexDigitValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

int HexDigitGlyph(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) return GlyphOf(c);
  return 0;
}

}  // namespace orv
