// The text helpers clamp where std::string would throw: a failed search
// gives -1, and -1 used as a count or position must give nothing, never the
// whole text (a header field without its "]" would otherwise be read on to
// the line's end).
#include "common/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, SearchesAndSubstringsClampToTheText) {
  const std::string text = "[1A00]";
  const struct {
    const char* legend;
    std::string actual;
    std::string expected;
  } cases[] = {
      {"Find gives -1 when nothing is found", std::to_string(orv::Find(text, 'x')), "-1"},
      {"Find from past the end", std::to_string(orv::Find(text, ']', 7)), "-1"},
      {"Left of a failed search", orv::Left(text, orv::Find(text, 'x')), ""},
      {"Mid from a negative position starts at 0", orv::Mid(text, -3, 2), "[1"},
      {"Mid without a count takes the rest", orv::Mid(text, 1), "1A00]"},
      {"Mid past the end", orv::Mid(text, 6), ""},
      {"a block is cut at its first zero byte", orv::UpToNul("$GP\0RMC", 7), "$GP"},
      {"a block without one is taken whole", orv::UpToNul("$GPRMC", 6), "$GPRMC"},
      {"Format", orv::Format("%02X%c", 0xA, 'x'), "0Ax"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.legend;
}

}  // namespace
