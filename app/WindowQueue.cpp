#include "app/WindowQueue.h"

#include <QSocketNotifier>
#include <fcntl.h>
#include <unistd.h>

WindowQueue::WindowQueue(QObject* parent) : QObject(parent) {
  if (pipe2(fds_, O_CLOEXEC | O_NONBLOCK) == 0) {
    notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &WindowQueue::RunPending);
  }
}

WindowQueue::~WindowQueue() {
  delete notifier_;
  for (int fd : fds_) {
    if (fd >= 0) ::close(fd);
  }
}

void WindowQueue::Post(std::function<void()> fn) {
  {
    std::lock_guard<std::mutex> lock(lock_);
    pending_.push_back(std::move(fn));
  }
  // A full pipe already holds a wake-up, so a failed write loses nothing.
  const char wake = 1;
  [[maybe_unused]] const ssize_t n = ::write(fds_[1], &wake, 1);
}

void WindowQueue::RunPending() {
  char drain[64];
  while (::read(fds_[0], drain, sizeof drain) > 0) {
  }
  std::deque<std::function<void()>> work;
  {
    std::lock_guard<std::mutex> lock(lock_);
    work.swap(pending_);
  }
  for (auto& fn : work) fn();
}
