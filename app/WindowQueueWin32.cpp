// The Windows wake-up: a queued call of RunPending on the owning thread.
// Every Post queues one; a call that finds the queue already emptied by an
// earlier one runs nothing.
#include "app/WindowQueue.h"

namespace {

class QueuedCallWake final : public WindowQueue::Wake {
 public:
  explicit QueuedCallWake(WindowQueue* owner) : owner_(owner) {}

  void Signal() override { QMetaObject::invokeMethod(owner_, &WindowQueue::RunPending, Qt::QueuedConnection); }

  void Drain() override {}

 private:
  WindowQueue* owner_;
};

}  // namespace

std::unique_ptr<WindowQueue::Wake> WindowQueue::MakeWake(WindowQueue* owner) {
  return std::make_unique<QueuedCallWake>(owner);
}
