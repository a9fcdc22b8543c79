#include "common/LineReader.h"

namespace orv {

LineStatus NextLine(const std::string& text, size_t& pos, std::string& line, int maxChars) {
  line.clear();
  if (pos >= text.size()) return LineStatus::End;
  while (pos < text.size() && static_cast<int>(line.size()) < maxChars) {
    char c = text[pos++];
    if (c == '\r' && pos < text.size() && text[pos] == '\n') {
      ++pos;
      c = '\n';
    }
    line.push_back(c);
    if (c == '\n') break;
  }
  return LineStatus::Line;
}

LineStatus LineReader::Next(std::string& line) {
  line.clear();
  while (static_cast<int>(line.size()) < maxChars_) {
    int c = std::fgetc(file_);
    if (c == EOF) break;
    if (c == '\r') {
      const int next = std::fgetc(file_);
      if (next == '\n') {
        c = '\n';
      } else if (next != EOF) {
        std::ungetc(next, file_);
      }
    }
    line.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  if (std::ferror(file_)) return LineStatus::Error;
  return line.empty() ? LineStatus::End : LineStatus::Line;
}

}  // namespace orv
