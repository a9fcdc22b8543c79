#pragma once
// The receive loop: the only reader of the unit's stream. It takes the
// stream in blocks of 300 bytes (the window thread's own exchanges read
// their short replies themselves, and never find 300 queued), sleeps in the
// kernel while fewer are queued, and watches the link as it goes. What a
// block means (status text, decoding, recording) is the sink's business.
#include <atomic>
#include <chrono>
#include <functional>

#include "serial/LinkWatch.h"
#include "serial/Port.h"

namespace orv::serial {

constexpr int kBlockSize = 300;

// What the loop reports to, on its own thread.
class ReceiveSink {
 public:
  virtual ~ReceiveSink() = default;
  // A block of `count` (5 to 300) bytes as read, zero bytes included;
  // `state` is the link's after it. The place to tee raw blocks off.
  virtual void OnBlock(const char* data, int count, LinkState state) = 0;
  // The link state changed while no block came: a silence began or ended,
  // or the port failed (Lost, the last report before the loop ends).
  virtual void OnLinkState(LinkState state) = 0;
  // True while another user owns the line and expects it to be quiet.
  virtual bool Holding() = 0;
};

enum class LoopEnd { Stopped, Lost };

inline long long SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Runs until `stop` is set (with Port::Cancel() to cut a wait short) or the
// port fails. Every wait is bounded by kWaitSliceMs, so `stop` is seen
// within one slice even without a Cancel.
LoopEnd RunReceiveLoop(Port& port, const std::atomic<bool>& stop, ReceiveSink& sink, int silentAfterMs,
                       const std::function<long long()>& nowMs = SteadyMs);

// The longest the loop sleeps before it looks at `stop` and the clock again.
constexpr int kWaitSliceMs = 100;

}  // namespace orv::serial
