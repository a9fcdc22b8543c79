#include "serial/NmeaLines.h"

#include "common/HexRecord.h"

namespace orv::serial {

void LineSplitter::Feed(const char* data, size_t count, std::vector<StreamLine>& lines) {
  for (size_t i = 0; i < count; ++i) {
    const char c = data[i];
    if (c == '\r' || c == '\n') {
      // CR LF, and the empty line between two ends, give no line.
      if (!partial_.empty()) lines.push_back({std::move(partial_), true});
      partial_.clear();
      continue;
    }
    partial_ += c;
    if (partial_.size() == kMaxLineBytes) {
      lines.push_back({std::move(partial_), false});
      partial_.clear();
    }
  }
}

std::string_view SentenceIn(const StreamLine& line) {
  if (!line.ended) return {};
  const size_t start = line.text.find_last_of("$!");
  if (start == std::string::npos) return {};
  const std::string_view sentence = std::string_view(line.text).substr(start);
  if (sentence.size() < 2) return {};
  for (char c : sentence) {
    if (c < 0x20 || c > 0x7E) return {};
  }
  return sentence;
}

Checksum ChecksumOf(std::string_view sentence) {
  if (sentence.empty()) return Checksum::NotSentence;
  const size_t star = sentence.rfind('*');
  if (star == std::string_view::npos) return Checksum::Absent;
  // A "*" without two hex digits after it is a checksum spoilt on the way.
  if (sentence.size() - star != 3) return Checksum::Invalid;
  const int high = HexDigit(sentence[star + 1]);
  const int low = HexDigit(sentence[star + 2]);
  if (high < 0 || low < 0) return Checksum::Invalid;
  unsigned char sum = 0;
  for (size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(sentence[i]);
  return sum == high * 16 + low ? Checksum::Valid : Checksum::Invalid;
}

int SentenceTypeOf(std::string_view sentence, bool& otherTalker) {
  otherTalker = false;
  // "$" + talker (2) + type (3) + ","
  if (sentence.size() < 7 || sentence[0] != '$' || sentence[6] != ',') return -1;
  const std::string_view header = sentence.substr(0, 7);
  for (int i = 0; i < kSentenceTypes; ++i) {
    const std::string_view known = kSentenceHeaders[static_cast<size_t>(i)];
    if (header == known) return i;
    if (header.substr(3) == known.substr(3)) {
      otherTalker = true;
      return i;
    }
  }
  return -1;
}

}  // namespace orv::serial
