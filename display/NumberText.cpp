#include "display/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace orv {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// from_chars leaves the value alone when a number is out of range, where atof
// gives HUGE_VAL for one too large and 0 for one too small. The decimal
// exponent of the leading nonzero digit tells the two apart.
bool TooLarge(const char* p, const char* end) {
  long magnitude = 0;
  bool point = false;
  bool nonzero = false;
  for (; p < end && (IsDigit(*p) || *p == '.'); ++p) {
    if (*p == '.') {
      point = true;
      continue;
    }
    nonzero = nonzero || *p != '0';
    if (nonzero && !point) ++magnitude;
    if (!nonzero && point) --magnitude;
  }
  long exponent = 0;
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '+' || *p == '-')) ++p;
    for (; p < end && IsDigit(*p); ++p) exponent = std::min(exponent * 10 + (*p - '0'), 100000L);
    if (negative) exponent = -exponent;
  }
  return magnitude + exponent > 0;
}

}  // namespace

// Hexadecimal, which atof also takes, reads as its leading "0" here: no
// instrument sends it.
double LeadingNumber(const std::string& text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end && IsSpace(*p)) ++p;
  const bool negative = p < end && *p == '-';
  if (p < end && (*p == '+' || *p == '-')) ++p;
  if (p == end || *p == '+' || *p == '-') return 0.0;
  double value = 0.0;
  const auto result = std::from_chars(p, end, value, std::chars_format::general);
  if (result.ec == std::errc::invalid_argument) return 0.0;
  if (result.ec == std::errc::result_out_of_range) value = TooLarge(p, result.ptr) ? HUGE_VAL : 0.0;
  return negative ? -value : value;
}

std::string FixedText(double value, int decimals) {
  char buffer[400];  // 309 integer digits at most, a sign, a point, the decimals
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return std::string();
  return std::string(buffer, result.ptr);
}

}  // namespace orv
