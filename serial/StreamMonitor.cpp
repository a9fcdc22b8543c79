#include "serial/StreamMonitor.h"

namespace orv::serial {
namespace {

// Rates are taken over this much of the stream: at 2400 bit/s a block comes
// every 1.25 s, so a shorter span would swing with each one.
constexpr long long kRateSpanMs = 5000;
// Longer than the gap between two blocks at 2400 bit/s: a stream that has
// gone quiet for this long shows its rate falling.
constexpr long long kQuietMs = 2000;

}  // namespace

std::string Printable(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u <= 0x7E) {
      out += c;
    } else {
      out += {'<', kHex[u >> 4], kHex[u & 15], '>'};
    }
  }
  return out;
}

void StreamMonitor::Feed(const char* data, size_t count, long long wallMs, long long steadyMs) {
  scratch_.clear();
  splitter_.Feed(data, count, scratch_);
  long long sentences = 0;
  for (StreamLine& line : scratch_) {
    const std::string_view sentence = SentenceIn(line);
    const Checksum checksum = ChecksumOf(sentence);
    if (!sentence.empty()) {
      ++sentences;
      bool otherTalker = false;
      const int type = SentenceTypeOf(sentence, otherTalker);
      if (type < 0) {
        ++counts_.otherSentences;
      } else {
        TypeCount& n = counts_.types[static_cast<size_t>(type)];
        ++(otherTalker ? n.otherTalker : n.known);
      }
      ++(checksum == Checksum::Valid ? counts_.valid : checksum == Checksum::Invalid ? counts_.invalid
                                                                                      : counts_.absent);
    }
    lines_.push_back({wallMs, std::move(line.text), checksum, line.ended});
    ++linesSeen_;
    if (lines_.size() > keep_) lines_.pop_front();
  }
  counts_.sentences += sentences;
  counts_.bytes += static_cast<long long>(count);
  arrivals_.push_back({steadyMs, static_cast<long long>(count), sentences});
  Prune(steadyMs);
}

void StreamMonitor::Prune(long long steadyNowMs) {
  while (!arrivals_.empty() && arrivals_.front().steadyMs < steadyNowMs - kRateSpanMs) arrivals_.pop_front();
}

void StreamMonitor::Restart(long long lostBytes) {
  splitter_.Restart();
  counts_.lostBytes += lostBytes;
}

// Arrivals at t0 < t1 < ... < tn: what came after t0, over tn - t0, so a
// steady stream shows its true rate whenever it is looked at.
double StreamMonitor::Rate(long long steadyNowMs, long long Arrival::*what) {
  Prune(steadyNowMs);
  if (arrivals_.size() < 2) return 0.0;
  long long sum = 0;
  for (size_t i = 1; i < arrivals_.size(); ++i) sum += arrivals_[i].*what;
  const long long newest = arrivals_.back().steadyMs;
  const long long end = steadyNowMs - newest > kQuietMs ? steadyNowMs : newest;
  const long long span = end - arrivals_.front().steadyMs;
  return span > 0 ? static_cast<double>(sum) * 1000.0 / static_cast<double>(span) : 0.0;
}

}  // namespace orv::serial
