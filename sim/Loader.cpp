#include "sim/Loader.h"

#include <algorithm>

#include "common/HexRecord.h"

namespace orv::sim {

namespace {

constexpr char kRangeStart[] = "  *";
constexpr int kPages = 0x10000 / Loader::kPageSize;
// The longest record has 255 data bytes: 1 + 2 * 260 characters.
constexpr size_t kMaxLine = 600;

}  // namespace

void Loader::Open() {
  state_ = State::AwaitRange;
  recent_.clear();
  range_.clear();
  line_.clear();
  lineTooLong_ = false;
}

void Loader::Close() { state_ = State::Closed; }

void Loader::Answer(const std::string& received, std::string& reply) const {
  const std::string four = received.substr(3, 4);
  reply += options_.hashAck ? "##" + four : four + "\r\n";
}

void Loader::Feed(uint8_t byte, Memory& memory, std::string& reply) {
  answerDelayMs_ = 0;
  switch (state_) {
    case State::Closed:
    case State::Done:
      return;
    case State::AwaitRange:
      recent_ += static_cast<char>(byte);
      if (recent_.size() > 3) recent_.erase(0, recent_.size() - 3);
      if (recent_ == kRangeStart) {
        range_ = kRangeStart;
        state_ = State::RangeChars;
      }
      return;
    case State::RangeChars:
      range_ += static_cast<char>(byte);
      if (range_.size() == 7) TakeRange(memory, reply);
      return;
    case State::RangeLf:
      if (byte == '\n') {
        state_ = State::RangeCr;
        return;
      }
      state_ = State::Records;
      TakeRecordByte(byte, memory, reply);
      return;
    case State::RangeCr:
      state_ = State::Records;
      if (byte != '\r') TakeRecordByte(byte, memory, reply);
      return;
    case State::Records:
      TakeRecordByte(byte, memory, reply);
      return;
  }
}

void Loader::TakeRange(Memory& memory, std::string& reply) {
  int digits[4];
  for (int i = 0; i < 4; ++i) digits[i] = HexDigit(range_[static_cast<size_t>(3 + i)]);
  if (std::any_of(digits, digits + 4, [](int d) { return d < 0; })) {
    reply += kRefusal;
    recent_.clear();
    state_ = State::AwaitRange;
    return;
  }
  const int first = digits[0] * 16 + digits[1];
  const int last = std::min(digits[2] * 16 + digits[3], kPages - 1);
  for (int page = first; page <= last; ++page) {
    std::fill_n(memory.begin() + page * kPageSize, kPageSize, uint8_t{0xFF});
    ++pagesErased_;
    answerDelayMs_ += kPageEraseMs;
  }
  Answer(range_, reply);
  state_ = State::RangeLf;
}

void Loader::TakeRecordByte(uint8_t byte, Memory& memory, std::string& reply) {
  if (byte != '\n') {
    if (line_.size() < kMaxLine) {
      line_ += static_cast<char>(byte);
    } else {
      lineTooLong_ = true;
    }
    return;
  }
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  TakeRecord(memory, reply);
  line_.clear();
  lineTooLong_ = false;
}

void Loader::TakeRecord(Memory& memory, std::string& reply) {
  const bool answer = options_.stopAckAfter < 0 || recordsAnswered_ < options_.stopAckAfter;
  if (answer) ++recordsAnswered_;
  HexRecord record;
  if (lineTooLong_ || ParseHexRecord(line_, record) != HexRecordError::None) {
    ++recordsRefused_;
    if (answer) reply += kRefusal;
    return;
  }
  if (record.type == 0x00) {
    for (size_t i = 0; i < record.data.size(); ++i) {
      memory[static_cast<uint16_t>(record.address + i)] &= record.data[i];
    }
    ++recordsWritten_;
  }
  if (answer) Answer(line_, reply);
  if (record.type == 0x01) state_ = State::Done;
}

}  // namespace orv::sim
