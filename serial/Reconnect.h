#pragma once
// When to try the lost device again. A USB adapter pulled and put back
// comes back under the same by-id path within seconds; a unit switched off
// may take longer. The tries are spaced out and stop once the time allowed
// after the loss has run out, so a device that never returns costs nothing
// after that.
#include "serial/LinkWatch.h"

namespace orv::serial {

class ReconnectSchedule {
 public:
  ReconnectSchedule(const LinkTimings& timings, long long lostAtMs) : timings_(timings), lostAtMs_(lostAtMs) {}

  // Milliseconds from the loss to the first try.
  int FirstDelayMs() const { return timings_.reconnectFirstMs; }
  // Milliseconds from a try that failed at nowMs to the next, or -1 when
  // the time allowed is used up. The last try falls on the bound itself.
  int NextDelayMs(long long nowMs) const;

 private:
  LinkTimings timings_;
  long long lostAtMs_;
};

}  // namespace orv::serial
