#pragma once
// Time on the wire, and the waits it bounds: a port's output queue
// emptying (bounded by the queued bytes' own time plus an allowance, and
// sleeping, not spinning, for about as long as what is left needs) and a
// receive wait's sleep between counts of the input queue.
#include "serial/Port.h"

namespace orv::serial {

// Time for `bytes` on the wire at `baud`, 10 bit times a byte, rounded up.
constexpr long long WireUs(long long bytes, int baud) {
  return baud > 0 ? (bytes * 10 * 1000000 + baud - 1) / baud : bytes * 10 * 1000;
}
constexpr long long WireMs(long long bytes, int baud) { return (WireUs(bytes, baud) + 999) / 1000; }

// How long a receive wait sleeps before it counts the queue again: the time
// the missing bytes need on the wire, at least 1 ms, never past the time
// left (`leftMs` > 0). An unknown rate counts as the fastest, so that the
// wait never oversleeps.
constexpr int kFastestBaudRate = 230400;
constexpr int WaitSleepMs(int missingBytes, int baud, int leftMs) {
  const long long wire = WireMs(missingBytes, baud > 0 ? baud : kFastestBaudRate);
  const long long most = leftMs > 1 ? leftMs : 1;
  return static_cast<int>(wire < 1 ? 1 : (wire > most ? most : wire));
}

// The same in microseconds, for a port that can sleep that finely: rounding
// a short wait up to whole milliseconds would more than double it at 57600
// (an answer of six bytes takes 1.04 ms). A wait shorter than a millisecond
// starts at the missing bytes' own time (never below 100 us) and doubles
// after every look that found nothing new (`idleLooks`), up to the
// millisecond, so that waiting for a fast byte that does not come costs no
// more looks than it always did.
constexpr long long kMinWaitSleepUs = 100;
constexpr long long kShortWaitCeilingUs = 1000;
constexpr long long WaitSleepUs(int missingBytes, int baud, long long leftUs, int idleLooks = 0) {
  const long long wire = WireUs(missingBytes, baud > 0 ? baud : kFastestBaudRate);
  long long sleep = wire < kMinWaitSleepUs ? kMinWaitSleepUs : wire;
  for (int i = 0; i < idleLooks && sleep < kShortWaitCeilingUs; ++i) sleep *= 2;
  if (wire < kShortWaitCeilingUs && sleep > kShortWaitCeilingUs) sleep = kShortWaitCeilingUs;
  const long long most = leftUs > 1 ? leftUs : 1;
  return sleep > most ? most : sleep;
}

// An output queue drains in its bytes' wire time; the allowance covers a
// USB adapter's frame interval and the scheduler several times over.
constexpr int kDrainAllowanceMs = 300;
constexpr long long DrainBoundMs(int queued, int baud) { return kDrainAllowanceMs + WireMs(queued, baud); }

enum class Drain { Empty, TimedOut, Failed };

// Waits until at most `leave` bytes wait to be sent. Failed: the counts
// could not be read.
Drain DrainOutput(Port& port, int leave = 0);
// The same as the error number a writer reports: 0, ETIMEDOUT or EIO.
int ErrorNumberOf(Drain drain);

}  // namespace orv::serial
