#pragma once
// Numbers in received text, read the way atof reads them and printed the way
// printf prints them, both in the "C" locale, without calling either: a Qt
// program on Linux takes the user's locale at start-up, and with a decimal
// comma atof("12.5") gives 12 and "%5.1f" prints "54,5", whose comma has no
// glyph on the display.
#include <string>

namespace orv {

// The leading numeric part of the text (after blanks, an optional sign,
// digits with an optional "." and exponent); text without one reads as 0.
double LeadingNumber(const std::string& text);

// The value as "%.<decimals>f" prints it.
std::string FixedText(double value, int decimals);

}  // namespace orv
