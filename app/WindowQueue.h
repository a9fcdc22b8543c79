#pragma once
// Work the receive thread hands to the window thread: caption changes,
// repaints, message boxes. A queue under a mutex and one byte on a pipe that
// a socket notifier on the window thread listens to. The pipe rather than a
// posted Qt event keeps the hand-over in plain system calls, which race
// checkers see as the synchronisation they are.
#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

class QSocketNotifier;

class WindowQueue : public QObject {
  Q_OBJECT
 public:
  explicit WindowQueue(QObject* parent = nullptr);
  ~WindowQueue() override;

  // Any thread: runs `fn` on the thread that owns this object, soon.
  void Post(std::function<void()> fn);
  // Owning thread: runs whatever is queued now.
  void RunPending();

 private:
  int fds_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  std::mutex lock_;
  std::deque<std::function<void()>> pending_;
};
