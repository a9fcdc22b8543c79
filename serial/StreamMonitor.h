#pragma once
// What the raw monitor shows of the stream: the last few hundred lines as
// received, each with the time its block came and its checksum verdict; how
// many bytes and sentences a second arrive; how many of each of the seven
// sentence types came. Fed copies of the received blocks, away from the
// receive thread; what the display decodes never passes through here.
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "serial/NmeaLines.h"

namespace orv::serial {

constexpr size_t kMonitorLines = 400;

struct MonitorLine {
  long long wallMs;  // when the block that ended it came, ms since the epoch
  std::string text;
  Checksum checksum;
  bool ended;
};

struct TypeCount {
  long long known = 0;        // with the header the display looks for
  long long otherTalker = 0;  // same type, another talker: not decoded
};

struct MonitorCounts {
  std::array<TypeCount, kSentenceTypes> types{};
  long long sentences = 0;
  long long otherSentences = 0;  // not one of the seven
  long long valid = 0, invalid = 0, absent = 0;
  long long bytes = 0;
  long long lostBytes = 0;  // dropped before the monitor saw them
};

// A line as a person can read it: bytes outside printable ASCII (a zero
// byte, the degree sign, line noise) as "<hh>".
std::string Printable(const std::string& text);

class StreamMonitor {
 public:
  explicit StreamMonitor(size_t keepLines = kMonitorLines) : keep_(keepLines) {}

  // One received block; `steadyMs` is a monotonic time for the rates.
  void Feed(const char* data, size_t count, long long wallMs, long long steadyMs);
  // The stream started again (a new connection) or lost `lostBytes` on the
  // way here: a line begun before does not go on.
  void Restart(long long lostBytes = 0);

  // The kept lines, oldest first, and how many lines there have been in
  // all (so a view knows how many are new since it last looked).
  const std::deque<MonitorLine>& Lines() const { return lines_; }
  unsigned long long LinesSeen() const { return linesSeen_; }
  const MonitorCounts& Counts() const { return counts_; }

  // Over the last few seconds before `steadyNowMs`.
  double BytesPerSecond(long long steadyNowMs) { return Rate(steadyNowMs, &Arrival::bytes); }
  double SentencesPerSecond(long long steadyNowMs) { return Rate(steadyNowMs, &Arrival::sentences); }

 private:
  struct Arrival {
    long long steadyMs;
    long long bytes;
    long long sentences;
  };
  double Rate(long long steadyNowMs, long long Arrival::*what);
  void Prune(long long steadyNowMs);

  size_t keep_;
  LineSplitter splitter_;
  std::vector<StreamLine> scratch_;
  std::deque<MonitorLine> lines_;
  unsigned long long linesSeen_ = 0;
  MonitorCounts counts_;
  std::deque<Arrival> arrivals_;
};

}  // namespace orv::serial
