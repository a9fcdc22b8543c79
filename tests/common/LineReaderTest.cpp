// The page and flash files are read 59 characters at a time with CR LF and
// LF both ending a line; the string and the stream forms must agree.
#include "common/LineReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

std::vector<std::string> ReadText(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  std::string line;
  while (orv::NextLine(text, pos, line) == orv::LineStatus::Line) lines.push_back(line);
  return lines;
}

std::vector<std::string> ReadStream(const std::string& text) {
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  orv::LineReader reader(file);
  std::vector<std::string> lines;
  std::string line;
  while (reader.Next(line) == orv::LineStatus::Line) lines.push_back(line);
  std::fclose(file);
  return lines;
}

struct LineCase {
  const char* legend;
  std::string text;
  std::vector<std::string> lines;
};

TEST(LineReader, PiecesAsTheFilesAreRead) {
  const std::string long60(60, 'x');
  const std::string crlfAt59 = std::string(58, 'y') + "\r\nz";
  const LineCase cases[] = {
      {"CR LF becomes LF", "a,b\r\nc\r\n", {"a,b\n", "c\n"}},
      {"last line without an end", "a\nb", {"a\n", "b"}},
      {"a lone CR is a character", "a\rb\n", {"a\rb\n"}},
      {"60 characters come in two pieces", long60 + "\n", {std::string(59, 'x'), "x\n"}},
      {"CR LF counts as one character at the limit", crlfAt59, {std::string(58, 'y') + "\n", "z"}},
      {"blank lines", "\n\r\n", {"\n", "\n"}},
  };
  for (const LineCase& c : cases) {
    EXPECT_EQ(ReadText(c.text), c.lines) << c.legend;
    EXPECT_EQ(ReadStream(c.text), c.lines) << c.legend << " (stream)";
  }
}

TEST(LineReader, ReadErrorIsReported) {
  // A directory opens for reading on POSIX, but every read of it fails.
  std::FILE* dir = std::fopen(".", "r");
  if (!dir) GTEST_SKIP() << "this platform does not open directories as files";
  orv::LineReader reader(dir);
  std::string line;
  EXPECT_EQ(reader.Next(line), orv::LineStatus::Error);
  std::fclose(dir);
}

}  // namespace
