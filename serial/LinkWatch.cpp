#include "serial/LinkWatch.h"

#include <algorithm>

namespace orv::serial {
namespace {

bool IsHeaderChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

}  // namespace

bool HasSentenceStart(const char* data, int count) {
  for (int i = 0; i + 6 < count; ++i) {
    if (data[i] != '$' || data[i + 6] != ',') continue;
    if (std::all_of(data + i + 1, data + i + 6, IsHeaderChar)) return true;
  }
  return false;
}

LinkWatch::LinkWatch(int silentAfterMs, long long nowMs) : silentAfterMs_(silentAfterMs), lastArrivalMs_(nowMs) {}

void LinkWatch::Queued(long long nowMs, int queued) {
  if (queued > queued_) lastArrivalMs_ = nowMs;
  queued_ = queued;
}

void LinkWatch::Block(long long nowMs, int bytes, bool hasSentence) {
  lastArrivalMs_ = nowMs;
  queued_ = std::max(0, queued_ - bytes);
  sawSentence_ = hasSentence;
  blocksWithout_ = hasSentence ? 0 : blocksWithout_ + 1;
}

void LinkWatch::Hold(long long nowMs) { lastArrivalMs_ = nowMs; }

LinkState LinkWatch::State(long long nowMs) const {
  if (lost_) return LinkState::Lost;
  if (nowMs - lastArrivalMs_ >= silentAfterMs_) return LinkState::Silent;
  if (blocksWithout_ >= kNotNmeaBlocks) return LinkState::NotNmea;
  return sawSentence_ ? LinkState::Live : LinkState::Waiting;
}

}  // namespace orv::serial
