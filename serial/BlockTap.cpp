#include "serial/BlockTap.h"

#include <chrono>

#include "serial/ReceiveLoop.h"

namespace orv::serial {
namespace {

long long WallMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

void BlockTap::SetActive(bool active) {
  std::lock_guard<std::mutex> lock(lock_);
  active_ = active;
  if (active) return;
  queue_.clear();
  queuedBytes_ = 0;
  dropped_ = 0;
}

void BlockTap::Push(const char* data, int count, unsigned stream) {
  if (!active_ || count <= 0) return;
  TappedBlock block{std::string(data, static_cast<size_t>(count)), WallMs(), SteadyMs(), stream};
  std::lock_guard<std::mutex> lock(lock_);
  if (!active_) return;
  queuedBytes_ += block.bytes.size();
  queue_.push_back(std::move(block));
  while (queuedBytes_ > capacity_) {
    queuedBytes_ -= queue_.front().bytes.size();
    dropped_ += static_cast<long long>(queue_.front().bytes.size());
    queue_.pop_front();
  }
}

std::vector<TappedBlock> BlockTap::Take(long long& droppedBytes) {
  std::lock_guard<std::mutex> lock(lock_);
  std::vector<TappedBlock> out(std::make_move_iterator(queue_.begin()), std::make_move_iterator(queue_.end()));
  queue_.clear();
  queuedBytes_ = 0;
  droppedBytes = dropped_;
  dropped_ = 0;
  return out;
}

}  // namespace orv::serial
