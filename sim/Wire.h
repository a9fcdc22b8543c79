#pragma once
// One direction of a serial line, timed as a UART times it: a byte handed
// to the line at t is at the far end once its 10 bits have gone by, and a
// byte that finds the line busy waits for the one before it. Idle time is
// never banked: after a pause the next byte still takes its whole wire
// time, so a far end that answers late stays late. A host that looks at
// the line late loses nothing either: each byte keeps the arrival time the
// line gave it, however late it is collected.
#include <cstddef>
#include <cstdint>
#include <deque>

namespace orv::sim {

class Wire {
 public:
  // Bytes handed over from now on go at this rate; 0 (unknown) carries
  // them at once.
  void SetBaud(int baud) { byteNs_ = baud > 0 ? 10 * kNsPerSecond / baud : 0; }

  void Push(const uint8_t* data, size_t size, int64_t nowNs) {
    for (size_t i = 0; i < size; ++i) {
      busyUntilNs_ = (busyUntilNs_ > nowNs ? busyUntilNs_ : nowNs) + byteNs_;
      bytes_.push_back({busyUntilNs_, data[i]});
    }
  }

  // Takes the bytes that have arrived by nowNs, up to `max`, in order;
  // `arrivedNs` gets the arrival time of the last one taken.
  size_t Pop(int64_t nowNs, uint8_t* out, size_t max, int64_t& arrivedNs) {
    size_t n = 0;
    while (n < max && !bytes_.empty() && bytes_.front().arrivesNs <= nowNs) {
      arrivedNs = bytes_.front().arrivesNs;
      out[n++] = bytes_.front().byte;
      bytes_.pop_front();
    }
    return n;
  }

  bool Empty() const { return bytes_.empty(); }
  // Line time still to go by nowNs for what is on the line.
  int64_t BacklogNs(int64_t nowNs) const { return busyUntilNs_ > nowNs ? busyUntilNs_ - nowNs : 0; }
  // When to look at the line again: the bytes may be collected in batches
  // up to `batchNs` late, but the last byte on the line (the end of an
  // answer, which the far end waits for) exactly when it arrives. -1 when
  // nothing is on the line.
  int64_t WakeNs(int64_t batchNs) const {
    if (bytes_.empty()) return -1;
    const int64_t batchEnd = bytes_.front().arrivesNs + batchNs;
    return batchEnd < bytes_.back().arrivesNs ? batchEnd : bytes_.back().arrivesNs;
  }
  void Clear() { bytes_.clear(); }

  static constexpr int64_t kNsPerSecond = 1000000000;

 private:
  struct Byte {
    int64_t arrivesNs;
    uint8_t byte;
  };
  std::deque<Byte> bytes_;
  int64_t byteNs_ = 0;
  int64_t busyUntilNs_ = 0;
};

}  // namespace orv::sim
