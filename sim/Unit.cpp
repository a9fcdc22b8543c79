#include "sim/Unit.h"

#include <algorithm>

namespace orv::sim {

namespace {

// A quarter second of the unit's line: enough for a host that was held up
// to catch up, short enough that nothing bursts after a pause.
constexpr int64_t kStreamCapUs = 250000;

// The cable joins the PC's transmit line to its receive line: what comes
// back under the bad-echo fault is still one byte per byte, but not the one
// that was sent.
constexpr uint8_t kBadEchoMask = 0xA5;

}  // namespace

const Unit::CommandRule Unit::kCommands[] = {
    {'S', &Unit::OnSelect},
    {'N', &Unit::OnScroll},
    {'P', &Unit::OnProgram},
    {'G', &Unit::OnGo},
};

Unit::Unit(UnitOptions options)
    : options_(std::move(options)),
      memory_(),
      ocd_(memory_),
      loader_(LoaderOptions{options_.faults.hashAck, options_.faults.stopAckAfter}),
      stream_(options_.seed),
      budget_(options_.unitBaud, kStreamCapUs),
      garbage_(0x6761726261676500ULL ^ options_.seed),
      noise_(0x6E6F697365000000ULL ^ options_.seed) {
  memory_.fill(0xFF);
  ocd_.SetEraseHang(options_.faults.eraseHang);
  dead_ = options_.faults.dropAfter == 0;
}

void Unit::ObserveRate(int pcBaud) {
  if (pcBaud == lastPcBaud_) return;
  if (lastPcBaud_ >= 0 && options_.cable == Cable::Flash) ocd_.Break();
  lastPcBaud_ = pcBaud;
}

void Unit::Queue(const std::string& bytes, int64_t dueMs, int rate) {
  Queue(std::vector<uint8_t>(bytes.begin(), bytes.end()), dueMs, rate);
}

void Unit::Queue(const std::vector<uint8_t>& bytes, int64_t dueMs, int rate) {
  // Keep the queue ordered by due time; equal times keep their order.
  auto at = std::upper_bound(pending_.begin(), pending_.end(), dueMs,
                             [](int64_t due, const Pending& p) { return due < p.dueMs; });
  for (const uint8_t b : bytes) {
    at = pending_.insert(at, Pending{dueMs, b, rate});
    ++at;
  }
}

void Unit::Receive(const uint8_t* data, size_t size, int pcBaud, int64_t nowMs) {
  if (dead_) return;
  ObserveRate(pcBaud);
  bytesReceived_ += static_cast<int64_t>(size);
  for (size_t i = 0; i < size; ++i) {
    if (options_.cable == Cable::Flash) {
      ReceiveFlash(data[i], pcBaud, nowMs);
    } else {
      ReceiveData(data[i], pcBaud, nowMs);
    }
  }
}

void Unit::ReceiveFlash(uint8_t byte, int pcBaud, int64_t nowMs) {
  if (!options_.faults.noEcho) {
    Queue(std::vector<uint8_t>{options_.faults.badEcho ? uint8_t(byte ^ kBadEchoMask) : byte},
          nowMs, 0);
  }
  // At any other rate the debugger sees framing errors, not bytes.
  if (pcBaud != kOcdBaud) return;
  answer_.clear();
  ocd_.Receive(byte, nowMs, answer_);
  if (!answer_.empty()) Queue(answer_, nowMs + options_.faults.lateReplyMs, kOcdBaud);
}

void Unit::ReceiveData(uint8_t byte, int pcBaud, int64_t nowMs) {
  if (pcBaud != options_.unitBaud) {
    scanner_.Reset();
    return;
  }
  if (loader_.IsOpen()) {
    std::string reply;
    loader_.Feed(byte, memory_, reply);
    if (!reply.empty()) {
      Queue(reply, nowMs + loader_.AnswerDelayMs() + options_.faults.lateReplyMs, options_.unitBaud);
    }
  }
  const char letter = scanner_.Feed(byte);
  for (const CommandRule& rule : kCommands) {
    if (rule.letter == letter) (this->*rule.handler)();
  }
}

void Unit::OnSelect() { menu_.Select(); }

void Unit::OnScroll() { menu_.Scroll(); }

void Unit::OnProgram() {
  streaming_ = false;
  noiseNext_ = false;
  loader_.Open();
}

void Unit::OnGo() {
  loader_.Close();
  if (!streaming_) {
    streaming_ = true;
    // A sentence cut by "$PZTQC,P" is not finished later: the stream
    // resumes with a whole one. A replay goes on where it stopped.
    sentence_.clear();
    sentencePos_ = 0;
  }
  if (options_.replay && !replayStarted_) {
    replayStarted_ = true;
    replayPos_ = 0;
  }
}

void Unit::Hangup() {
  pending_.clear();
  scanner_.Reset();
  replayStarted_ = false;
  replayPos_ = 0;
  if (options_.cable == Cable::Flash) ocd_.Break();
}

void Unit::SetReplay(std::optional<std::vector<uint8_t>> replay) {
  options_.replay = std::move(replay);
  replayStarted_ = true;
  replayPos_ = 0;
}

bool Unit::StreamHasMore() const {
  if (options_.cable != Cable::Data || !streaming_) return false;
  if (noiseNext_ || !options_.replay) return true;
  const size_t size = options_.replay->size();
  return replayStarted_ && size > 0 && (replayPos_ < size || options_.loop);
}

int Unit::NextStreamByte(int64_t nowMs) {
  if (!StreamHasMore()) return -1;
  if (noiseNext_) {
    noiseNext_ = false;
    return noise_.Byte();
  }
  uint8_t byte;
  if (options_.replay) {
    const std::vector<uint8_t>& replay = *options_.replay;
    if (replayPos_ >= replay.size()) replayPos_ = 0;  // looping
    byte = replay[replayPos_++];
  } else {
    if (sentencePos_ >= sentence_.size()) {
      sentence_ = stream_.Next(nowMs, menu_);
      sentencePos_ = 0;
    }
    byte = static_cast<uint8_t>(sentence_[sentencePos_++]);
  }
  if (options_.faults.noiseEvery > 0 && noise_.OneIn(static_cast<uint32_t>(options_.faults.noiseEvery))) {
    noiseNext_ = true;
  }
  return byte;
}

size_t Unit::Transmit(uint8_t* out, size_t max, int pcBaud, int64_t nowMs) {
  if (dead_) return 0;
  ObserveRate(pcBaud);
  size_t limit = max;
  if (options_.faults.dropAfter >= 0) {
    limit = std::min<size_t>(limit, static_cast<size_t>(options_.faults.dropAfter - bytesSent_));
  }
  size_t n = 0;
  while (n < limit && !pending_.empty() && pending_.front().dueMs <= nowMs) {
    const Pending p = pending_.front();
    pending_.pop_front();
    out[n++] = p.rate != 0 && p.rate != pcBaud ? garbage_.Byte() : p.byte;
  }
  budgetUs_ = std::max(budgetUs_, nowMs * 1000);
  budget_.Advance(budgetUs_);
  while (n < limit && (!options_.pacedStream || budget_.Available() > 0)) {
    const int byte = NextStreamByte(nowMs);
    if (byte < 0) break;
    if (options_.pacedStream) budget_.Consume(1);
    out[n++] = pcBaud != options_.unitBaud ? garbage_.Byte() : static_cast<uint8_t>(byte);
  }
  bytesSent_ += static_cast<int64_t>(n);
  if (options_.faults.dropAfter >= 0 && bytesSent_ >= options_.faults.dropAfter) {
    dead_ = true;
    pending_.clear();
  }
  return n;
}

int64_t Unit::MsUntilReady(int64_t nowMs) const {
  if (dead_) return -1;
  int64_t best = -1;
  if (!pending_.empty()) best = std::max<int64_t>(0, pending_.front().dueMs - nowMs);
  if (StreamHasMore() && !options_.pacedStream) return 0;
  if (StreamHasMore()) {
    const int64_t dueUs = budgetUs_ + budget_.UsUntilNext();
    const int64_t ms = std::max<int64_t>(0, (dueUs - nowMs * 1000 + 999) / 1000);
    best = best < 0 ? ms : std::min(best, ms);
  }
  return best;
}

}  // namespace orv::sim
