#include "serial/Drain.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace orv::serial {

Drain DrainOutput(Port& port, int leave) {
  using Clock = std::chrono::steady_clock;
  int inQueue = 0, outQueue = 0;
  if (!port.QueueCounts(inQueue, outQueue).ok()) return Drain::Failed;
  if (outQueue <= leave) return Drain::Empty;
  const int baud = port.BaudRate();
  const auto deadline = Clock::now() + std::chrono::milliseconds(DrainBoundMs(outQueue, baud));
  while (outQueue > leave) {
    if (Clock::now() >= deadline) return Drain::TimedOut;
    // Sleep about as long as what is left needs on the wire, never so long
    // that the exchange after it is held up noticeably.
    const long long us = std::clamp<long long>(WireUs(outQueue - leave, baud), 100, 2000);
    std::this_thread::sleep_for(std::chrono::microseconds(us));
    if (!port.QueueCounts(inQueue, outQueue).ok()) return Drain::Failed;
  }
  return Drain::Empty;
}

int ErrorNumberOf(Drain drain) {
  switch (drain) {
    case Drain::Empty: return 0;
    case Drain::TimedOut: return ETIMEDOUT;
    case Drain::Failed: return EIO;
  }
  return EIO;
}

}  // namespace orv::serial
