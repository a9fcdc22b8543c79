#pragma once
// How many bytes a serial line can have carried by now: 10 bit times a byte
// (start bit, 8 data bits, stop bit) at `baud`. Credit that is not used is
// kept only for `capUs` worth of line time, so a line that was idle does not
// burst afterwards.
#include <algorithm>
#include <cstdint>

namespace orv::sim {

class ByteBudget {
 public:
  ByteBudget(int baud, int64_t capUs) : baud_(baud), capUs_(capUs) {}

  // Moves the line's clock to `nowUs` (microseconds, any origin; an earlier
  // time is ignored). The first call only sets the origin.
  void Advance(int64_t nowUs) {
    if (!started_) {
      started_ = true;
      lastUs_ = nowUs;
      return;
    }
    if (nowUs <= lastUs_) return;
    // Credit counts bits in millionths: microseconds times bits per second.
    const int64_t cap = std::max<int64_t>(kByte, capUs_ * baud_);
    credit_ = std::min(cap, credit_ + (nowUs - lastUs_) * static_cast<int64_t>(baud_));
    lastUs_ = nowUs;
  }
  int64_t Available() const { return baud_ > 0 ? credit_ / kByte : 0; }
  void Consume(int64_t bytes) { credit_ -= bytes * kByte; }
  // Microseconds until the next whole byte is due (0 if one is); a line
  // without a rate carries nothing, and is looked at again in a second.
  int64_t UsUntilNext() const {
    if (baud_ <= 0) return 1000000;
    if (credit_ >= kByte) return 0;
    return (kByte - credit_ + baud_ - 1) / baud_;
  }
  void SetBaud(int baud) { baud_ = baud; }

 private:
  static constexpr int64_t kByte = 10 * 1000000;  // one byte's 10 bits, in millionths
  int baud_;
  int64_t capUs_;
  int64_t credit_ = 0;
  int64_t lastUs_ = 0;
  bool started_ = false;
};

}  // namespace orv::sim
