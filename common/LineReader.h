#pragma once
// Reads text the way the page and flash files are read: at most 59
// characters a read (a longer line comes back in pieces), the line end
// included. CR LF and LF both end a line and come back as a single LF on
// every platform; a CR not followed by LF is an ordinary character.
#include <cstdio>
#include <string>

namespace orv {

constexpr int kLineChars = 59;

enum class LineStatus { Line, End, Error };

// Pure form: takes the next piece out of `text` starting at `pos`.
LineStatus NextLine(const std::string& text, size_t& pos, std::string& line,
                    int maxChars = kLineChars);

// Stream form, over an open FILE* (binary or text mode alike).
class LineReader {
 public:
  explicit LineReader(std::FILE* file, int maxChars = kLineChars)
      : file_(file), maxChars_(maxChars) {}
  LineStatus Next(std::string& line);

 private:
  std::FILE* file_;
  int maxChars_;
};

}  // namespace orv
