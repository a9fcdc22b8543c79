#include "app/WindowQueue.h"

WindowQueue::WindowQueue(QObject* parent) : QObject(parent), wake_(MakeWake(this)) {}

WindowQueue::~WindowQueue() = default;

void WindowQueue::Post(std::function<void()> fn) {
  {
    std::lock_guard<std::mutex> lock(lock_);
    pending_.push_back(std::move(fn));
  }
  wake_->Signal();
}

void WindowQueue::RunPending() {
  wake_->Drain();
  std::deque<std::function<void()>> work;
  {
    std::lock_guard<std::mutex> lock(lock_);
    work.swap(pending_);
  }
  for (auto& fn : work) fn();
}
