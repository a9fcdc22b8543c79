#pragma once
// Copies of the received blocks for those who watch or keep the raw stream
// (the raw monitor, the raw log), taken on the receive thread and handed
// to the window thread. The receive thread pays for a copy of the block
// and nothing more; everything done with it is done on the other side.
// While nobody watches, a block costs one atomic load.
//
// The queue is bounded: should the other side fall behind by more than its
// capacity, the oldest blocks go and are counted, so that whoever reads on
// knows the stream has a gap.
#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace orv::serial {

struct TappedBlock {
  std::string bytes;  // as read, zero bytes included
  long long wallMs;   // when it came, ms since the epoch
  long long steadyMs;
  unsigned stream;  // a new number for each connection
};

class BlockTap {
 public:
  // More than ten seconds of the stream at 230400 bit/s.
  static constexpr size_t kDefaultCapacity = 256 * 1024;

  explicit BlockTap(size_t capacityBytes = kDefaultCapacity) : capacity_(capacityBytes) {}

  // Whether blocks are taken at all; switching off empties the queue.
  void SetActive(bool active);
  bool Active() const { return active_; }

  // Receive thread.
  void Push(const char* data, int count, unsigned stream);

  // Window thread: the blocks queued so far, oldest first, and how many
  // bytes were dropped before them since the last call.
  std::vector<TappedBlock> Take(long long& droppedBytes);

 private:
  const size_t capacity_;
  std::atomic<bool> active_{false};
  std::mutex lock_;
  std::deque<TappedBlock> queue_;
  size_t queuedBytes_ = 0;
  long long dropped_ = 0;
};

}  // namespace orv::serial
