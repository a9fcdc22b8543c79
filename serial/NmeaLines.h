#pragma once
// The received stream as lines, for the eyes of a technician (the raw
// monitor) and for other NMEA tools (the raw log). The display's decoder
// takes its blocks whole and never sees any of this.
//
//   ...4.2,N*3C\r\n$SDMTW,12.5,C*02\r\n$PZTQS,ECO RUN,1\r\n$SDDB   <- one block
//   T,7.8,f,2.4,M,1.3,F*0D\r\n...                                   <- the next
//
// A line ends at CR or LF (CR LF is one end, and so is a lone CR); a line
// is carried over from one block to the next until its end comes. The
// sentence in a line runs from its last "$" or "!" to the line end:
// whatever came before it (line noise, the tail of a sentence the stream
// began in) is not part of it.
#include <string>
#include <string_view>
#include <vector>

#include "common/SentenceHeaders.h"

namespace orv::serial {

// Longer than any sentence (82 characters) with room to spare for
// proprietary ones; a line that grows past this without an end is cut, as
// the bytes of a line at the wrong rate would otherwise never show.
constexpr size_t kMaxLineBytes = 200;

struct StreamLine {
  std::string text;  // as received, without its line end
  bool ended = true;  // false: cut at kMaxLineBytes, no end seen
};

class LineSplitter {
 public:
  // Appends the lines that `data` completes to `lines`.
  void Feed(const char* data, size_t count, std::vector<StreamLine>& lines);
  // Forgets a partial line: the next bytes belong to another stream.
  void Restart() { partial_.clear(); }

 private:
  std::string partial_;
};

// The sentence at the end of a line that ended, or empty: "$" or "!", then
// printable ASCII only.
std::string_view SentenceIn(const StreamLine& line);

// The checksum of a sentence: "*" and two hex digits at its end, the XOR
// of every byte between the "$" and the "*".
enum class Checksum { Valid, Invalid, Absent, NotSentence };
Checksum ChecksumOf(std::string_view sentence);

// Which of the seven (kSentenceHeaders) a sentence is: its index, or -1. `otherTalker` says
// the type is one of the seven but the talker is not the one the display
// looks for ("$IIMTW," rather than "$SDMTW,"), which the display ignores.
int SentenceTypeOf(std::string_view sentence, bool& otherTalker);

}  // namespace orv::serial
