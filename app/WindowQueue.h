#pragma once
// Work the receive thread hands to the window thread: caption changes,
// repaints, message boxes. A queue under a mutex, and a wake-up that has the
// window thread empty it. On POSIX the wake-up is one byte on a pipe that a
// socket notifier on the window thread listens to: the pipe rather than a
// posted Qt event keeps the hand-over in plain system calls, which race
// checkers see as the synchronisation they are (WindowQueuePosix.cpp). On
// Windows it is a queued call (WindowQueueWin32.cpp).
#include <QObject>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class WindowQueue : public QObject {
  Q_OBJECT
 public:
  explicit WindowQueue(QObject* parent = nullptr);
  ~WindowQueue() override;

  // Any thread: runs `fn` on the thread that owns this object, soon.
  void Post(std::function<void()> fn);
  // Owning thread: runs whatever is queued now.
  void RunPending();

  // How a Post wakes the owning thread; one kind per platform.
  class Wake {
   public:
    virtual ~Wake() = default;
    // Any thread, once the work is queued.
    virtual void Signal() = 0;
    // Owning thread, before the queue is emptied.
    virtual void Drain() = 0;
  };

 private:
  static std::unique_ptr<Wake> MakeWake(WindowQueue* owner);

  std::unique_ptr<Wake> wake_;
  std::mutex lock_;
  std::deque<std::function<void()>> pending_;
};
