#include "serial/ReceiveLoop.h"

namespace orv::serial {

// A sketch of one pass, at 4800 bit/s (a block every 0.625 s):
//
//   wait up to 100 ms for 300 queued ---- timed out: count the queue, judge
//        |                                the silence, report a change
//        300 queued: read them, judge the block, hand it on
//
LoopEnd RunReceiveLoop(Port& port, const std::atomic<bool>& stop, ReceiveSink& sink, int silentAfterMs,
                       const std::function<long long()>& nowMs) {
  LinkWatch watch(silentAfterMs, nowMs());
  LinkState shown = watch.State(nowMs());
  char buffer[kBlockSize];
  while (!stop) {
    const Status wait = port.WaitForInput(kBlockSize, kWaitSliceMs);
    const long long now = nowMs();
    if (wait.code == Error::Timeout) {
      if (sink.Holding()) watch.Hold(now);
      int inQueue = 0, outQueue = 0;
      if (port.QueueCounts(inQueue, outQueue).ok()) watch.Queued(now, inQueue);
      const LinkState state = watch.State(now);
      if (state != shown) sink.OnLinkState(shown = state);
      continue;
    }
    // Cancelled: asked to stop. Anything else: the device went away.
    if (wait.code == Error::Cancelled) break;
    int got = 0;
    if (!wait.ok() || !port.Read(buffer, kBlockSize, got).ok()) {
      watch.Failed();
      sink.OnLinkState(watch.State(now));
      return LoopEnd::Lost;
    }
    // A read that succeeds with next to nothing found bytes that the window
    // thread's own exchange had taken meanwhile: not a failure, no block.
    if (got < 5) continue;
    watch.Block(now, got, HasSentenceStart(buffer, got));
    sink.OnBlock(buffer, got, shown = watch.State(now));
  }
  return LoopEnd::Stopped;
}

}  // namespace orv::serial
