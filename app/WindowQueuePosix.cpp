// The POSIX wake-up: one byte on a pipe that a socket notifier on the
// owning thread listens to.
#include <QSocketNotifier>
#include <fcntl.h>
#include <unistd.h>

#include "app/WindowQueue.h"

namespace {

class PipeWake final : public WindowQueue::Wake {
 public:
  explicit PipeWake(WindowQueue* owner) {
    if (pipe2(fds_, O_CLOEXEC | O_NONBLOCK) == 0) {
      notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, owner);
      QObject::connect(notifier_, &QSocketNotifier::activated, owner, &WindowQueue::RunPending);
    }
  }

  ~PipeWake() override {
    delete notifier_;
    for (int fd : fds_) {
      if (fd >= 0) ::close(fd);
    }
  }

  PipeWake(const PipeWake&) = delete;
  PipeWake& operator=(const PipeWake&) = delete;

  void Signal() override {
    // A full pipe already holds a wake-up, so a failed write loses nothing.
    const char wake = 1;
    [[maybe_unused]] const ssize_t n = ::write(fds_[1], &wake, 1);
  }

  void Drain() override {
    char drain[64];
    while (::read(fds_[0], drain, sizeof drain) > 0) {
    }
  }

 private:
  int fds_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace

std::unique_ptr<WindowQueue::Wake> WindowQueue::MakeWake(WindowQueue* owner) {
  return std::make_unique<PipeWake>(owner);
}
