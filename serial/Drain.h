#pragma once
// Waiting for a port's output queue to empty, bounded by the queued bytes'
// own time on the wire plus an allowance, and sleeping (not spinning) for
// about as long as what is left needs.
#include "serial/Port.h"

namespace orv::serial {

// Time for `bytes` on the wire at `baud`, 10 bit times a byte, rounded up.
constexpr long long WireUs(long long bytes, int baud) {
  return baud > 0 ? (bytes * 10 * 1000000 + baud - 1) / baud : bytes * 10 * 1000;
}
constexpr long long WireMs(long long bytes, int baud) { return (WireUs(bytes, baud) + 999) / 1000; }

// An output queue drains in its bytes' wire time; the allowance covers a
// USB adapter's frame interval and the scheduler several times over.
constexpr int kDrainAllowanceMs = 300;
constexpr long long DrainBoundMs(int queued, int baud) { return kDrainAllowanceMs + WireMs(queued, baud); }

enum class Drain { Empty, TimedOut, Failed };

// Waits until at most `leave` bytes wait to be sent. Failed: the counts
// could not be read.
Drain DrainOutput(Port& port, int leave = 0);

}  // namespace orv::serial
